#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <atomic>
#include <thread>
#include <vector>

#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

// Keeps the numbers of the window messages it receives.
class Receiver : public QObject {
  public:
    bool event(QEvent* event) override {
        if (event->type() != WindowMessageEvent::EventType()) return QObject::event(event);
        received.push_back(static_cast<WindowMessageEvent*>(event)->message);
        return true;
    }
    std::vector<std::uint32_t> received;
};

TEST(QtMessagePosterTest, PostsFromAWorkerArriveInOrderOnTheTargetsThread) {
    Receiver target;
    QtMessagePoster poster(&target);
    std::thread worker([&] {
        for (std::uint32_t m = 1; m <= 3; ++m) poster.Post(m, 0, 0);
    });
    worker.join();
    EXPECT_TRUE(target.received.empty());  // posted, not sent
    QCoreApplication::sendPostedEvents(&target);
    EXPECT_EQ(target.received, (std::vector<std::uint32_t>{1, 2, 3}));
}

TEST(QtMessagePosterTest, NothingIsPostedOnceTheTargetIsDetachedOrGone) {
    auto target = std::make_unique<Receiver>();
    QtMessagePoster poster(target.get());
    EXPECT_TRUE(poster.IsValid());
    poster.Detach();
    poster.Post(1, 0, 0);
    QCoreApplication::sendPostedEvents(target.get());
    EXPECT_TRUE(target->received.empty());
    EXPECT_FALSE(poster.IsValid());

    auto second = std::make_unique<Receiver>();
    QtMessagePoster secondPoster(second.get());
    second.reset();
    EXPECT_FALSE(secondPoster.IsValid());
    std::thread worker([&] { secondPoster.Post(2, 0, 0); });
    worker.join();
    QCoreApplication::sendPostedEvents();
}

// A worker that keeps posting while the window thread destroys the target: the posts up to
// the destruction are dropped with the target, none reaches freed memory (AddressSanitizer).
TEST(QtMessagePosterTest, TargetMayBeDestroyedWhileAWorkerPosts) {
    for (int round = 0; round < 20; ++round) {
        auto target = std::make_unique<Receiver>();
        QtMessagePoster poster(target.get());
        std::atomic<bool> stop{false};
        std::atomic<int> posts{0};
        std::thread worker([&] {
            while (!stop) {
                poster.Post(7, 0, 0);
                ++posts;
            }
        });
        while (posts < 50) std::this_thread::yield();
        target.reset();
        stop = true;
        worker.join();
        EXPECT_FALSE(poster.IsValid());
        QCoreApplication::sendPostedEvents();
    }
}

}  // namespace
}  // namespace vantor
