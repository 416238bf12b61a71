#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "device/service_thread.h"
#include "device/usb_driver.h"
#include "tests/device/fake_hid.h"

namespace vantor {
namespace {

using test::FakeHidHandle;
using test::LogCapture;
using test::MakeEvent;
using test::MakeReply;

// The reader thread on a fake notification interface; the fake command interface sends
// its answers there, as the mouse does.
class ReaderThreadTest : public ::testing::Test {
  protected:
    ReaderThreadTest() {
        cmd->answerTo = notify.get();
        cmd->responder = memory.Responder();
        driver.SetHandles(cmd, notify);
    }

    LogCapture log;
    ReplyQueue queue;  // real sleeps: replies come from another thread
    CUSBDriver driver{3, queue};
    test::FakeMemory memory;
    test::RecordingPoster poster;
    std::shared_ptr<FakeHidHandle> cmd = std::make_shared<FakeHidHandle>();
    std::shared_ptr<FakeHidHandle> notify = std::make_shared<FakeHidHandle>();
    ServiceThread reader{notify, {0x5678, 0x12, 0x34}, queue, &poster};
};

TEST_F(ReaderThreadTest, StopEndsTheThreadWithItsLogLines) {
    reader.Start();
    ASSERT_TRUE(notify->WaitForIdleReader());
    reader.RequestStop();
    reader.Join();
    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("ServiceThread start, hNotify=", 0), 0u);
    EXPECT_NE(lines[0].find(", PID=5678, CID=12, MID=34, ThreadId=0x"), std::string::npos);
    EXPECT_EQ(lines[1], "hObject[1] is signal");
    EXPECT_EQ(lines[2].rfind("ServiceThread exit, hNotify=", 0), 0u);
    EXPECT_NE(lines[2].find(", PID=5678, CID=12, MID=34"), std::string::npos);
}

TEST_F(ReaderThreadTest, UnplugEndsTheThreadAfterOtherErrorsDidNot) {
    reader.Start();
    notify->PushReadError(kHidGenericFailure);
    notify->PushInput(MakeReply(0x04, 0, {80}));
    notify->PushReadError(kHidDeviceNotConnected);
    reader.Join();  // ends by itself
    EXPECT_EQ(queue.Size(), 1u);
    EXPECT_EQ(log.Count("ServiceThread ReadFile Err=31\n"), 1);
    EXPECT_EQ(log.Count("ServiceThread ReadFile Err=1167\n"), 1);
    EXPECT_TRUE(log.Has("ServiceThread exit"));

    // A stop asked of the ended reader is not left pending for the next user of the handle.
    reader.RequestStop();
    notify->PushInput(MakeReply(0x03, 0, {1}));
    std::uint8_t out[15] = {};
    EXPECT_EQ(GetData(notify.get(), out, sizeof out, kGetDataTimeoutMs), 1);
}

TEST_F(ReaderThreadTest, ClosedHandleEndsTheThread) {
    reader.Start();
    ASSERT_TRUE(notify->WaitForIdleReader());
    notify->Close();
    reader.Join();
    EXPECT_TRUE(log.Has("ServiceThread ReadFile Err=6\n"));
}

TEST_F(ReaderThreadTest, EventsArePostedWhileCommandsRun) {
    reader.Start();
    notify->PushInput(MakeEvent(0x81, {3}));
    for (std::size_t i = 0; i < 12; ++i) memory.bytes[0xA0 + i] = static_cast<std::uint8_t>(i);
    std::uint8_t buffer[12] = {};
    ASSERT_EQ(driver.ReadROM(0xA0, sizeof buffer, buffer), 1);
    EXPECT_EQ(buffer[11], 11);
    ASSERT_TRUE(notify->WaitForIdleReader());
    const std::vector<test::RecordingPoster::Message> expected = {{WM_DEVICE_BEHAVIOR, 3, 1},
                                                                  {WM_DEVICE_BEHAVIOR, 0, 4}};
    EXPECT_EQ(poster.Messages(), expected);
}

TEST_F(ReaderThreadTest, CommandsOfSeveralThreadsNeverTakeEachOthersReply) {
    reader.Start();
    // Each thread writes its own area and reads it back; interleaved exchanges would mix
    // replies up and read back the wrong bytes.
    auto worker = [this](std::uint16_t base, std::uint8_t value, bool* ok) {
        const std::vector<std::uint8_t> data(20, value);
        std::uint8_t back[20] = {};
        *ok = true;
        for (int round = 0; round < 3 && *ok; ++round) {
            *ok = driver.WriteEEPROM(0, data.size(), base, data.data()) == 1 &&
                  driver.ReadROM(base, sizeof back, back) == 1 &&
                  std::all_of(back, back + sizeof back,
                              [value](std::uint8_t b) { return b == value; });
        }
    };
    bool ok1 = false, ok2 = false;
    std::thread first(worker, 0x100, 0x11, &ok1);
    std::thread second(worker, 0x200, 0x22, &ok2);
    first.join();
    second.join();
    EXPECT_TRUE(ok1);
    EXPECT_TRUE(ok2);
    EXPECT_FALSE(log.Has("WaitNotify TimeOut"));
}

}  // namespace
}  // namespace vantor
