#include "platform/hidraw_handle.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <string>
#include <thread>

namespace vantor {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A sequenced-packet socket pair stands in for a hidraw node: one write is one report and
// a read returns exactly one, cut to the buffer, as hidraw does.
class HidrawHandleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
        handle_ = std::make_unique<HidrawHandle>("/dev/hidraw7", fds[0], 0x0102);
        device_ = fds[1];
    }
    void TearDown() override {
        if (device_ >= 0) close(device_);
    }

    void SendReport(std::uint8_t id, std::size_t length = 17) {
        std::array<std::uint8_t, 64> report{};
        report[0] = id;
        for (std::size_t i = 1; i < report.size(); ++i) report[i] = static_cast<std::uint8_t>(i);
        ASSERT_EQ(write(device_, report.data(), length), static_cast<ssize_t>(length));
    }

    HidReadResult Read(int timeoutMs, std::uint32_t* error = nullptr) {
        std::uint32_t ignored = 0;
        return handle_->Read(buffer_.data(), buffer_.size(), timeoutMs,
                             error != nullptr ? error : &ignored);
    }

    // Starts `read` on a thread of its own and returns once that thread sleeps in the kernel
    // inside poll, where a read without a report waits (its /proc state and wait channel).
    template <typename Read>
    auto StartBlockedRead(Read read) {
        std::atomic<pid_t> tid{0};
        auto result = std::async(std::launch::async, [&tid, read] {
            tid = static_cast<pid_t>(syscall(SYS_gettid));
            return read();
        });
        const auto limit = Clock::now() + 10s;
        while (tid == 0 && Clock::now() < limit) std::this_thread::yield();
        EXPECT_TRUE(WaitsInPoll(tid, limit));
        return result;
    }
    static bool WaitsInPoll(pid_t tid, Clock::time_point limit) {
        const std::string task = "/proc/self/task/" + std::to_string(tid);
        for (; Clock::now() < limit; std::this_thread::yield()) {
            std::string stat;
            std::string wchan;
            std::getline(std::ifstream(task + "/stat"), stat);
            std::getline(std::ifstream(task + "/wchan"), wchan);
            const std::size_t name = stat.rfind(')');
            const bool sleeping =
                name != std::string::npos && name + 2 < stat.size() && stat[name + 2] == 'S';
            // A kernel that hides wait channels shows "0"; the sleep state then has to do.
            const bool inPoll = wchan.find("poll") != std::string::npos || wchan == "0";
            if (sleeping && inPoll) return true;
        }
        return false;
    }

    std::unique_ptr<HidrawHandle> handle_;
    int device_ = -1;
    std::array<std::uint8_t, 17> buffer_{};
};

TEST_F(HidrawHandleTest, ReadsOneReportPerCallCutToTheBuffer) {
    SendReport(9);
    SendReport(9, 40);  // longer than the buffer: only the first 17 bytes arrive
    SendReport(7, 3);
    std::uint32_t error = 99;
    ASSERT_EQ(Read(1000, &error), HidReadResult::kOk);
    EXPECT_EQ(error, kHidOk);
    EXPECT_EQ(buffer_[0], 9);
    EXPECT_EQ(buffer_[16], 16);
    ASSERT_EQ(Read(1000), HidReadResult::kOk);
    EXPECT_EQ(buffer_[16], 16);
    ASSERT_EQ(Read(1000), HidReadResult::kOk);
    EXPECT_EQ(buffer_[0], 7);  // the rest of the long report was dropped, as hidraw does
}

TEST_F(HidrawHandleTest, TimesOutAfterTheGivenTime) {
    auto start = Clock::now();
    EXPECT_EQ(Read(80), HidReadResult::kTimeout);
    EXPECT_GE(Clock::now() - start, 80ms);
    EXPECT_EQ(Read(0), HidReadResult::kTimeout);
}

TEST_F(HidrawHandleTest, StopIsConsumedOnceLikeAnAutoResetEvent) {
    handle_->SignalStop();
    handle_->SignalStop();  // two signals before a read still end only one read
    EXPECT_EQ(Read(-1), HidReadResult::kStopped);
    EXPECT_EQ(Read(20), HidReadResult::kTimeout);

    // A pending stop wins over a waiting report; the report stays for the next read.
    SendReport(9);
    handle_->SignalStop();
    EXPECT_EQ(Read(1000), HidReadResult::kStopped);
    EXPECT_EQ(Read(1000), HidReadResult::kOk);
}

TEST_F(HidrawHandleTest, StopFromAnotherThreadEndsAWaitWithoutLimit) {
    auto read = StartBlockedRead([this] { return Read(-1); });
    handle_->SignalStop();
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(read.get(), HidReadResult::kStopped);
}

TEST_F(HidrawHandleTest, CloseFromAnotherThreadEndsTheReadAndEveryLaterCall) {
    std::uint32_t readError = 0;
    auto read = StartBlockedRead([this, &readError] { return Read(-1, &readError); });
    handle_->Close();
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(read.get(), HidReadResult::kError);
    EXPECT_EQ(readError, kHidInvalidHandle);
    EXPECT_FALSE(handle_->IsOpen());

    std::uint32_t error = 0;
    EXPECT_EQ(Read(0, &error), HidReadResult::kError);
    EXPECT_EQ(error, kHidInvalidHandle);
    const std::uint8_t report[17] = {8};
    EXPECT_FALSE(handle_->SetFeature(report, sizeof report, &error));
    EXPECT_EQ(error, kHidInvalidHandle);
    HidAttributes attributes;
    EXPECT_FALSE(handle_->GetAttributes(&attributes, &error));
    EXPECT_EQ(error, kHidInvalidHandle);
    handle_->SignalStop();  // harmless after close
    handle_->Close();
}

TEST_F(HidrawHandleTest, DeviceGoneEndsTheReadAsNotConnected) {
    auto read = StartBlockedRead([this] {
        std::uint32_t error = 0;
        HidReadResult result = Read(-1, &error);
        return std::make_pair(result, error);
    });
    close(device_);
    device_ = -1;
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
    auto [result, error] = read.get();
    EXPECT_EQ(result, HidReadResult::kError);
    EXPECT_EQ(error, kHidDeviceNotConnected);
}

TEST_F(HidrawHandleTest, RefusesBadArgumentsAndReportsFailedIoctls) {
    std::uint32_t error = 0;
    const std::uint8_t report[17] = {8};
    EXPECT_FALSE(handle_->SetFeature(nullptr, 17, &error));
    EXPECT_EQ(error, kHidGenericFailure);
    EXPECT_FALSE(handle_->SetFeature(report, 0, &error));
    EXPECT_EQ(handle_->Read(nullptr, 17, 0, &error), HidReadResult::kError);
    EXPECT_EQ(handle_->Read(buffer_.data(), 0, 0, &error), HidReadResult::kError);
    // A socket knows no hidraw ioctls: the failure is reported, not taken for success.
    EXPECT_FALSE(handle_->SetFeature(report, sizeof report, &error));
    EXPECT_EQ(error, kHidGenericFailure);
    HidAttributes attributes;
    EXPECT_FALSE(handle_->GetAttributes(&attributes, &error));
    EXPECT_TRUE(handle_->IsOpen());
}

// A reader that keeps reading while another thread closes the handle must never reach a
// file that reuses the closed descriptor's number.
TEST(HidrawHandleRaceTest, ClosedDescriptorNumberIsNeverReadAfterClose) {
    for (int round = 0; round < 50; ++round) {
        int fds[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
        HidrawHandle handle("/dev/hidraw7", fds[0], 0);
        std::atomic<bool> readAfterClose{false};
        std::atomic<bool> closed{false};
        std::thread reader([&] {
            std::uint8_t buffer[17];
            std::uint32_t error = 0;
            for (;;) {
                HidReadResult result = handle.Read(buffer, sizeof buffer, 1, &error);
                if (result == HidReadResult::kOk && closed.load()) readAfterClose = true;
                if (result == HidReadResult::kError) break;
            }
        });
        std::this_thread::sleep_for(std::chrono::microseconds(200 * (round % 5)));
        handle.Close();
        closed = true;
        // New sockets most likely take the number just freed; give them data to read.
        int others[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, others), 0);
        const std::uint8_t report[17] = {9};
        ASSERT_EQ(write(others[1], report, sizeof report), 17);
        ASSERT_EQ(write(others[0], report, sizeof report), 17);
        reader.join();
        EXPECT_FALSE(readAfterClose) << "round " << round;
        close(others[0]);
        close(others[1]);
        close(fds[1]);
    }
}

}  // namespace
}  // namespace vantor
