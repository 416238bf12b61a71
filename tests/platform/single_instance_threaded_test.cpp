#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <vector>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

TEST(SingleInstanceTest, SecondCopyHandsItsMessageToTheFirst) {
    test::TempDir dir;
    SingleInstance first("MUTEX_QX_WIRELESS", dir.path());
    ASSERT_TRUE(first.Acquire());

    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<InstanceMessage> received;
    ASSERT_TRUE(first.Listen([&](const InstanceMessage& message) {
        std::lock_guard<std::mutex> lock(mutex);
        received.push_back(message);
        arrived.notify_one();
    }));

    SingleInstance second("MUTEX_QX_WIRELESS", dir.path());
    EXPECT_FALSE(second.Acquire());
    EXPECT_EQ(second.Notify({"Vantor Mouse Center", 1132, 0, 514}), getpid());

    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(5), [&] { return !received.empty(); }));
    EXPECT_EQ(received[0].title, "Vantor Mouse Center");
    EXPECT_EQ(received[0].message, 1132u);
    EXPECT_EQ(received[0].wParam, 0u);
    EXPECT_EQ(received[0].lParam, 514u);
}

TEST(SingleInstanceTest, NoHolderMeansNobodyAnswers) {
    test::TempDir dir;
    SingleInstance lone("MUTEX_QX_WIRELESS", dir.path());
    EXPECT_EQ(lone.Notify({"x", 1132, 0, 514}), 0);
}

TEST(SingleInstanceTest, LockOfACrashedCopyDoesNotBlock) {
    test::TempDir dir;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child takes the lock and the socket, then dies without cleaning up.
        SingleInstance holder("MUTEX_QX_WIRELESS", dir.path());
        if (!holder.Acquire() || !holder.Listen([](const InstanceMessage&) {})) _exit(1);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    SingleInstance next("MUTEX_QX_WIRELESS", dir.path());
    EXPECT_TRUE(next.Acquire());
    EXPECT_TRUE(next.Listen([](const InstanceMessage&) {}));
    next.StopListening();
}

}  // namespace
}  // namespace vantor
