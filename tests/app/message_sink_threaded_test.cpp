#include "base/message_sink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vantor {
namespace {

// Counts the posts and lets the test wait for them.
class CountingPoster : public MessagePoster {
  public:
    void Post(std::uint32_t message, std::uintptr_t, std::intptr_t) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (message == WM_SHOW_POSTED_MESSAGES) ++posts_;
        }
        posted_.notify_all();
    }
    int Posts() {
        std::lock_guard<std::mutex> lock(mutex_);
        return posts_;
    }
    // True once `count` posts have arrived; false after 10 seconds.
    bool WaitPosts(int count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return posted_.wait_for(lock, std::chrono::seconds(10), [&] { return posts_ >= count; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable posted_;
    int posts_ = 0;
};

// The window side: its poster and its own (modal) sink.
class PostingMessageSinkTest : public ::testing::Test {
  protected:
    CountingPoster window;
    RecordingMessageSink boxes;
    PostingMessageSink sink{window, boxes};
};

TEST_F(PostingMessageSinkTest, OnTheWindowThreadTheMessageIsShownAtOnce) {
    sink.ShowMessage("now", "Error");
    EXPECT_EQ(boxes.Messages(),
              (std::vector<std::pair<std::string, std::string>>{{"now", "Error"}}));
    EXPECT_EQ(window.Posts(), 0);
}

TEST_F(PostingMessageSinkTest, WorkerWaitsUntilTheWindowThreadHasShownItsMessages) {
    std::atomic<int> returned{0};
    std::thread worker([&] {
        sink.ShowMessage("first", "Error");
        ++returned;
        sink.ShowMessage("second", "Warning");
        ++returned;
    });
    // Each message is posted once, and its caller stays until the window thread shows it.
    ASSERT_TRUE(window.WaitPosts(1));
    EXPECT_EQ(returned.load(), 0);
    sink.ShowWaitingMessages();
    ASSERT_TRUE(window.WaitPosts(2));
    sink.ShowWaitingMessages();  // the second, unless the first call found it waiting too
    worker.join();
    EXPECT_EQ(boxes.Messages(), (std::vector<std::pair<std::string, std::string>>{
                                    {"first", "Error"}, {"second", "Warning"}}));
    EXPECT_EQ(window.Posts(), 2);
}

TEST_F(PostingMessageSinkTest, ClosingReleasesAWaitingWorkerAndDropsLaterMessages) {
    std::thread worker([&] { sink.ShowMessage("never shown", "Error"); });
    ASSERT_TRUE(window.WaitPosts(1));
    sink.Close();
    worker.join();
    std::thread late([&] { sink.ShowMessage("too late", "Error"); });
    late.join();
    sink.ShowWaitingMessages();
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_EQ(window.Posts(), 1);
}

}  // namespace
}  // namespace vantor
