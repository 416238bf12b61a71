#include "device/usb_driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/device/fake_hid.h"

namespace vantor {
namespace {

using test::CountingSleeper;
using test::EchoReply;
using test::FakeHidHandle;
using test::LogCapture;
using test::MakeReply;

TEST(SendDataTest, RefusesMissingOrOversizedPayload) {
    LogCapture log;
    FakeHidHandle cmd;
    const std::uint8_t payload[16] = {3};
    EXPECT_EQ(SendData(&cmd, nullptr, 1), 0);
    EXPECT_EQ(SendData(&cmd, payload, 16), 0);
    EXPECT_EQ(log.Count("SendData Err: nSize>PER_PAYLOAD!"), 2);
    EXPECT_TRUE(cmd.Written().empty());

    ASSERT_EQ(SendData(&cmd, payload, 1), 1);  // a short payload is padded with zeros
    EXPECT_EQ(cmd.Written()[0][16], 0x4A);
}

TEST(SendDataTest, FailedWriteReportsTheError) {
    LogCapture log;
    FakeHidHandle cmd;
    cmd.failWrites = 1;
    const std::uint8_t payload[1] = {3};
    std::uint32_t error = 0;
    EXPECT_EQ(SendData(&cmd, payload, 1, &error), 0);
    EXPECT_EQ(error, kHidDeviceNotConnected);
    EXPECT_TRUE(log.Has("SendData Err=0x48f"));
    EXPECT_EQ(SendData(nullptr, payload, 1), 0);
}

TEST(GetDataTest, CopiesPayloadAfterTheReportId) {
    FakeHidHandle notify;
    notify.PushInput(MakeReply(0x03, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    std::uint8_t out[20] = {};
    ASSERT_EQ(GetData(&notify, out, 20, kGetDataTimeoutMs), 1);  // at most 16 bytes
    EXPECT_EQ(out[0], 0x03);
    EXPECT_EQ(out[5], 1);
    EXPECT_EQ(out[14], 10);
    EXPECT_EQ(out[16], 0);
}

TEST(GetDataTest, FailuresAndTheirLogLines) {
    LogCapture log;
    FakeHidHandle notify;
    std::uint8_t out[15] = {};
    EXPECT_EQ(GetData(&notify, out, 15, kGetDataTimeoutMs), 0);
    EXPECT_TRUE(log.Has("GetData TimeOut, hNotify="));
    notify.PushReadError(kHidDeviceNotConnected);
    EXPECT_EQ(GetData(&notify, out, 15, kGetDataTimeoutMs), 0);
    EXPECT_TRUE(log.Has("GetData Err, dev is plugout"));
    notify.PushReadError(kHidGenericFailure);
    EXPECT_EQ(GetData(&notify, out, 15, kGetDataTimeoutMs), 0);
    EXPECT_TRUE(log.Has("GetData Err=0x1f"));  // any other error with its code
    EXPECT_EQ(log.Lines().size(), 3u);
}

TEST(SendCommandTest, ThreeAttempts50msApartThenTheErrorLine) {
    LogCapture log;
    CountingSleeper sleeper;
    FakeHidHandle cmd;
    cmd.failWrites = 2;
    EXPECT_EQ(SendCommand(&cmd, MakePayload(kCmdGetPower), sleeper), 1);
    EXPECT_EQ(sleeper.Sleeps(), (std::vector<std::uint32_t>{50, 50}));
    EXPECT_FALSE(log.Has("SendCommand err"));

    cmd.failWrites = -1;
    cmd.writeError = kHidGenericFailure;
    std::uint32_t error = 0;
    EXPECT_EQ(SendCommand(&cmd, MakePayload(kCmdGetPower), sleeper, &error), 0);
    EXPECT_EQ(error, kHidGenericFailure);
    EXPECT_EQ(sleeper.Sleeps().size(), 5u);
    EXPECT_TRUE(log.Has("SendCommand err=0x1f"));
}

class DriverTest : public ::testing::Test {
  protected:
    DriverTest() {
        cmd->answerQueue = &queue;
        driver.SetHandles(cmd, notify);
    }
    LogCapture log;
    CountingSleeper sleeper;
    ReplyQueue queue{sleeper};
    CUSBDriver driver{3, queue, sleeper};
    std::shared_ptr<FakeHidHandle> cmd = std::make_shared<FakeHidHandle>("/dev/hidraw3");
    std::shared_ptr<FakeHidHandle> notify = std::make_shared<FakeHidHandle>("/dev/hidraw4");
};

TEST_F(DriverTest, SendCMDCarriesDataOnlyForTheStatusNotice) {
    cmd->responder = [](const CommandReport& r) {
        return std::vector<ReplyPayload>{EchoReply(r, 0)};
    };
    EXPECT_EQ(driver.SendCMD(kCmdTellDrvStatus, 0x01), 1);
    EXPECT_EQ(driver.SendCMD(kCmdResetDevice, 0x55), 1);
    const auto written = cmd->Written();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(test::ReportLength(written[0]), 1);
    EXPECT_EQ(written[0][6], 0x01);
    EXPECT_EQ(test::ReportLength(written[1]), 0);
    EXPECT_EQ(written[1][6], 0);
    EXPECT_TRUE(log.Has("SendCMD: nCmdID=0x2, bData=0x1"));
    EXPECT_TRUE(log.Has("SendCMD: hDev=0x"));
}

TEST_F(DriverTest, RetriesOnNonZeroStatusUpToRetry) {
    int answered = 0;
    cmd->responder = [&answered](const CommandReport& r) {
        return std::vector<ReplyPayload>{MakeReply(r[1], ++answered < 3 ? 1 : 0)};
    };
    EXPECT_EQ(driver.SendCMD(kCmdResetDevice, 0), 1);
    EXPECT_EQ(cmd->Written().size(), 3u);

    answered = 0;
    driver.SetRetry(2);
    EXPECT_EQ(driver.SendCMD(kCmdResetDevice, 0), 0);
    EXPECT_EQ(cmd->Written().size(), 5u);

    driver.SetRetry(0);  // a broken configuration still makes one attempt
    EXPECT_EQ(driver.Retry(), 1);
}

TEST_F(DriverTest, SendCMDLogsTheWriteError) {
    cmd->failWrites = -1;
    EXPECT_EQ(driver.SendCMD(kCmdResetDevice, 0), 0);
    EXPECT_TRUE(log.Has("SendCMD: err=0x48f"));
}

TEST_F(DriverTest, StaleReplyIsNotTakenForTheNextCommand) {
    const ReplyPayload stale = MakeReply(kCmdGetCurProfile, 0, {3});
    queue.Append(stale.bytes.data());
    cmd->responder = [](const CommandReport& r) {
        return std::vector<ReplyPayload>{MakeReply(r[1], 0, {1})};
    };
    EXPECT_EQ(driver.GetCurProfile(), 1);
}

TEST_F(DriverTest, ClearHandleForgetsTheDeviceAndRunsTheHook) {
    EXPECT_EQ(driver.CmdPath(), "/dev/hidraw3");
    EXPECT_EQ(driver.NotifyPath(), "/dev/hidraw4");
    driver.bFlags[0] = 1;
    int hookRuns = 0;
    driver.SetClearCandidatesHook([&hookRuns] { ++hookRuns; });
    driver.ClearHandle();
    EXPECT_EQ(hookRuns, 1);
    EXPECT_EQ(driver.CmdHandle(), nullptr);
    EXPECT_EQ(driver.NotifyHandle(), nullptr);
    EXPECT_EQ(driver.CmdPath(), "");
    EXPECT_EQ(driver.bFlags[0], 0);
    EXPECT_TRUE(log.Has("ClearHandle"));
    driver.SetClearCandidatesHook(nullptr);
}

}  // namespace
}  // namespace vantor
