#include "device/device_commands.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <utility>
#include <vector>

#include "device/usb_driver.h"
#include "tests/device/fake_hid.h"

namespace vantor {
namespace {

using test::CountingSleeper;
using test::EchoReply;
using test::FakeHidHandle;
using test::FakeMemory;
using test::LogCapture;
using test::MakeReply;
using test::ReportAddress;
using test::ReportLength;

using Replies = std::vector<ReplyPayload>;

// A connected driver whose command interface answers straight into the reply queue.
class CommandsTest : public ::testing::Test {
  protected:
    CommandsTest() {
        cmd->answerQueue = &queue;
        cmd->responder = memory.Responder();
        driver.SetHandles(cmd, std::make_shared<FakeHidHandle>());
    }
    // Every command gets `status` and `data` as its answer.
    void AnswerAll(std::uint8_t status, std::initializer_list<std::uint8_t> data = {}) {
        std::vector<std::uint8_t> bytes(data);
        cmd->responder = [status, bytes](const CommandReport& r) {
            ReplyPayload reply = EchoReply(r, status);
            std::copy(bytes.begin(), bytes.end(), reply.bytes.begin() + kPayloadData);
            return Replies{reply};
        };
    }
    void Silence() {
        cmd->responder = [](const CommandReport&) { return Replies{}; };
    }

    LogCapture log;
    CountingSleeper sleeper;
    ReplyQueue queue{sleeper};
    CUSBDriver driver{3, queue, sleeper};
    FakeMemory memory;
    std::shared_ptr<FakeHidHandle> cmd = std::make_shared<FakeHidHandle>();
};

struct ChunkCase {
    std::size_t chunk;
    std::size_t length;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> reports;  // (address, length)
};

TEST_F(CommandsTest, WriteEEPROMSplitsIntoChunks) {
    const ChunkCase cases[] = {
        {0, 23, {{0x100, 10}, {0x10A, 10}, {0x114, 3}}},
        {8, 32, {{0x100, 8}, {0x108, 8}, {0x110, 8}, {0x118, 8}}},
        {10, 20, {{0x100, 10}, {0x10A, 10}}},  // no empty tail chunk
        {12, 12, {{0x100, 10}, {0x10A, 2}}},   // a chunk never exceeds one report
        {0, 0, {}},
    };
    std::vector<std::uint8_t> data(40);
    std::iota(data.begin(), data.end(), std::uint8_t{1});
    for (const ChunkCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "chunk " << c.chunk << " length " << c.length);
        memory.bytes.assign(memory.bytes.size(), 0);
        const std::size_t before = cmd->Written().size();
        EXPECT_EQ(driver.WriteEEPROM(c.chunk, c.length, 0x100, data.data()), 1);
        const auto written = cmd->Written();
        std::vector<std::pair<std::uint16_t, std::uint8_t>> reports;
        for (std::size_t i = before; i < written.size(); ++i) {
            EXPECT_EQ(written[i][1], kCmdWriteEEPROM);
            reports.emplace_back(ReportAddress(written[i]), ReportLength(written[i]));
        }
        EXPECT_EQ(reports, c.reports);
        EXPECT_TRUE(
            std::equal(data.begin(), data.begin() + c.length, memory.bytes.begin() + 0x100));
        EXPECT_EQ(memory.bytes[0x100 + c.length], 0);
    }
    EXPECT_TRUE(log.Has("\nWriteEEPROM( Addr=0x100 ):  01 02 03"));
}

// The rest of the write still goes out, but the caller learns that the memory does not
// hold what it asked for.
TEST_F(CommandsTest, WriteEEPROMWritesPastARefusedChunkAndReportsTheFailure) {
    cmd->responder = [this](const CommandReport& r) {
        if (ReportAddress(r) == 0x20A) return Replies{EchoReply(r, 1)};
        return memory.Answer(r);
    };
    const std::vector<std::uint8_t> data(25, 0xAB);
    EXPECT_EQ(driver.WriteEEPROM(0, data.size(), 0x200, data.data()), 0);
    EXPECT_EQ(cmd->Written().size(), 1u + 3u + 1u);  // the refused chunk is tried Retry times
    EXPECT_EQ(memory.bytes[0x209], 0xAB);
    EXPECT_EQ(memory.bytes[0x20A], 0);
    EXPECT_EQ(memory.bytes[0x218], 0xAB);
    EXPECT_EQ(log.Count("WriteEEPROM Failed"), 3);
    EXPECT_TRUE(log.Has("nRetry=3"));
    EXPECT_TRUE(log.Has("WriteEEPROM Err: 1 chunk(s) not taken, Addr=0x200"));
}

TEST_F(CommandsTest, WriteEEPROMFailsOnlyWhenAReportCannotBeWritten) {
    const std::vector<std::uint8_t> data(30, 0xAB);
    cmd->responder = [this](const CommandReport& r) {
        if (ReportAddress(r) == 0x20A) cmd->failWrites = -1;  // gone after the second chunk
        return memory.Answer(r);
    };
    EXPECT_EQ(driver.WriteEEPROM(0, data.size(), 0x200, data.data()), 0);
    EXPECT_EQ(cmd->Written().size(), 2u);
    EXPECT_TRUE(log.Has("WriteEEPROM Err, i=2"));
}

TEST_F(CommandsTest, ReadEEPROMCopiesTheReplyDataAndRetries) {
    for (std::uint8_t i = 0; i < 10; ++i) memory.bytes[0x54 + i] = static_cast<std::uint8_t>(i + 1);
    int answered = 0;
    cmd->responder = [this, &answered](const CommandReport& r) {
        return ++answered == 1 ? Replies{EchoReply(r, 2)} : memory.Answer(r);
    };
    std::uint8_t buffer[10] = {};
    ASSERT_EQ(driver.ReadEEPROM(0x54, buffer, 10), 1);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[9], 10);
    EXPECT_EQ(log.Count("ReadEEPROM Failed"), 1);
    const auto written = cmd->Written();
    EXPECT_EQ(written.size(), 2u);
    EXPECT_EQ(ReportAddress(written[0]), 0x54);
    EXPECT_EQ(ReportLength(written[0]), 10);

    EXPECT_EQ(driver.ReadEEPROM(0x54, buffer, 11), 0);  // more than one report holds
    EXPECT_EQ(driver.ReadEEPROM(0x54, buffer, 0), 0);
    driver.ClearHandle();
    EXPECT_EQ(driver.ReadEEPROM(0x54, buffer, 10), 0);
    EXPECT_EQ(cmd->Written().size(), 2u);
}

TEST_F(CommandsTest, ReadROMReadsInChunksAndStopsOnThePredicate) {
    for (std::size_t i = 0; i < 30; ++i) memory.bytes[0x300 + i] = static_cast<std::uint8_t>(i + 1);
    std::vector<std::uint8_t> buffer(30, 0);
    ASSERT_EQ(driver.ReadROM(0x300, 25, buffer.data()), 1);
    EXPECT_EQ(buffer[24], 25);
    EXPECT_EQ(buffer[25], 0);
    EXPECT_EQ(cmd->Written().size(), 3u);
    EXPECT_EQ(ReportLength(cmd->Written()[2]), 5);

    memory.bytes[0x300] = 0xFF;
    memory.bytes[0x301] = 0xFF;
    ASSERT_EQ(driver.ReadROM(0x300, 30, buffer.data(), IsEmptyName), 1);
    EXPECT_EQ(cmd->Written().size(), 4u);  // stopped after the first chunk

    Silence();
    EXPECT_EQ(driver.ReadROM(0x300, 30, buffer.data()), 0);
    EXPECT_TRUE(log.Has("ReadROM Failed at 0: nAddr=0x300"));
}

TEST(StopPredicateTest, EmptyNameAndEndOfMacro) {
    struct Case {
        std::vector<std::uint8_t> chunk;
        bool emptyName;
        bool endOfMacro;
    };
    const Case cases[] = {
        {{0x00, 0x00, 0x00}, true, true},   {{0xFF, 0xFF, 0x41}, true, false},
        {{0x00, 0x00, 0x01}, true, false},  {{0xFF, 0x00, 0x00}, false, false},
        {{0x41, 0x00, 0x00}, false, false}, {{0x00}, false, false},  // too short to tell
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsEmptyName(c.chunk.data(), c.chunk.size()), c.emptyName);
        EXPECT_EQ(IsEndOfMacro(c.chunk.data(), c.chunk.size()), c.endOfMacro);
    }
}

TEST_F(CommandsTest, QueriesReturnReplyDataOrTheirFailure) {
    AnswerAll(0, {2, 1});
    EXPECT_EQ(driver.GetCurProfile(), 2);
    EXPECT_EQ(driver.GetConnectStatus(), 2);
    std::uint8_t power = 0, charging = 0;
    EXPECT_EQ(driver.GetPower(&power, &charging), 1);
    EXPECT_EQ(power, 2);
    EXPECT_EQ(charging, 1);

    Silence();
    const std::size_t before = cmd->Written().size();
    EXPECT_EQ(driver.GetCurProfile(), -1);
    EXPECT_EQ(cmd->Written().size(), before + 3);  // Retry attempts
    EXPECT_TRUE(log.Has("GetCurProfile Failed"));
    EXPECT_EQ(driver.GetConnectStatus(), -1);
    EXPECT_TRUE(log.Has("GetConnectStatus Failed"));
    std::uint8_t out[10] = {7, 7};
    EXPECT_EQ(driver.QueryDevice(kCmdGetPower, out), 0);
    EXPECT_EQ(out[0], 7);  // untouched on failure
    EXPECT_EQ(driver.GetPower(&power, &charging), 0);

    driver.ClearHandle();
    EXPECT_EQ(driver.GetConnectStatus(), 0);
    EXPECT_EQ(driver.TellDrvStatus(1), 0);
}

TEST_F(CommandsTest, SingleAttemptCommands) {
    AnswerAll(1);
    const std::size_t before = cmd->Written().size();
    EXPECT_EQ(driver.SetCurProfile(3), 0);
    int busy = -1;
    EXPECT_EQ(driver.QueryApplyBusy(&busy), 0);
    std::uint8_t power = 0;
    std::uint8_t charging = 0;
    EXPECT_EQ(driver.GetPower(&power, &charging), 0);
    EXPECT_EQ(cmd->Written().size(), before + 3);
    // Every failure names its operation in the log.
    EXPECT_TRUE(log.Has("QueryApplyBusy Failed"));
    EXPECT_TRUE(log.Has("GetPower Failed"));

    AnswerAll(0);
    EXPECT_EQ(driver.SetCurProfile(3), 1);
    const CommandReport set = cmd->Written().back();
    EXPECT_EQ(set[1], kCmdSetCurProfile);
    EXPECT_EQ(ReportLength(set), 1);
    EXPECT_EQ(set[6], 3);

    EXPECT_EQ(driver.QueryApplyBusy(&busy), 1);
    EXPECT_EQ(busy, 1);  // data byte 0 = 0: the device cannot take a lighting change now
    AnswerAll(0, {5});
    EXPECT_EQ(driver.QueryApplyBusy(&busy), 1);
    EXPECT_EQ(busy, 0);
}

TEST_F(CommandsTest, StatusNoticeAndReset) {
    AnswerAll(0);
    EXPECT_EQ(driver.TellDrvStatus(1), 1);
    EXPECT_TRUE(log.Has("TellDrvStatus= 1"));
    EXPECT_EQ(driver.ResetDevice(), 1);
    EXPECT_EQ(cmd->Written().back()[1], kCmdResetDevice);
}

// The direct exchange: the notification handle holds the replies the device sent.
class DirectTest : public ::testing::Test {
  protected:
    LogCapture log;
    FakeHidHandle cmd;
    FakeHidHandle notify;
    std::uint8_t cid = 0xEE;
    std::uint8_t mid = 0xEE;
};

TEST_F(DirectTest, CheckPsdSendsTheIdentityQueryAndReadsTheIds) {
    notify.PushInput(MakeReply(0x03, 0));  // foreign: logged and read again
    notify.PushInput(MakeReply(kCmdCheckPsd, 0, {0x12, 0x34}));
    EXPECT_EQ(CheckPsd(&cmd, &notify, &cid, &mid), 1);
    EXPECT_EQ(cid, 0x12);
    EXPECT_EQ(mid, 0x34);
    EXPECT_TRUE(log.Has("CheckPsd Err=3 0 0, ThreadId=0x"));
    EXPECT_TRUE(log.Has("CheckPsd: cid=12, mid=34"));
    const CommandReport sent = cmd.Written().at(0);
    EXPECT_EQ(sent[1], kCmdCheckPsd);
    EXPECT_EQ(ReportLength(sent), 8);
    for (int i = 6; i < 10; ++i) EXPECT_TRUE(sent[i] >= 1 && sent[i] <= 100) << i;
    for (int i = 10; i < 16; ++i) EXPECT_EQ(sent[i], 0) << i;
}

TEST_F(DirectTest, CheckPsdFailures) {
    struct Case {
        const char* name;
        std::vector<ReplyPayload> replies;
        int result;
        const char* line;
    };
    const ReplyPayload foreign = MakeReply(0x08, 0);
    const Case cases[] = {
        {"not identified", {MakeReply(kCmdCheckPsd, 0, {0, 0})}, -1, "CheckPsd: cid=0, mid=0"},
        {"refused", {MakeReply(kCmdCheckPsd, 4, {9})}, 0, "CheckPsd Err=1 4 9"},
        {"three foreign",
         {foreign, foreign, foreign, MakeReply(kCmdCheckPsd, 0, {1})},
         0,
         "CheckPsd Err=8 0 0"},
        {"silent", {}, 0, "CheckPsd GetData Err"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHidHandle input;
        for (const ReplyPayload& reply : c.replies) input.PushInput(reply);
        EXPECT_EQ(CheckPsd(&cmd, &input, &cid, &mid), c.result);
        EXPECT_TRUE(log.Has(c.line));
        EXPECT_EQ(cid, 0xEE);  // ids are stored only on success
    }
    cmd.failWrites = 1;
    EXPECT_EQ(CheckPsd(&cmd, &notify, &cid, &mid), 0);
    EXPECT_TRUE(log.Has("CheckPsd SendData Err=0x48f"));
}

TEST_F(DirectTest, ConnectionTest) {
    notify.PushInput(MakeReply(0x01, 0));
    notify.PushInput(MakeReply(kCmdGetConnectStatus, 0, {1}));
    EXPECT_EQ(TestConnectDirect(&cmd, &notify), 1);
    EXPECT_EQ(cmd.Written().at(0)[16], 0x4A);
    EXPECT_TRUE(log.Has("GetConnectStatus Err=1 0 0, ThreadId=0x"));

    notify.PushInput(MakeReply(kCmdGetConnectStatus, 2, {1}));
    EXPECT_EQ(TestConnectDirect(&cmd, &notify), 0);
    EXPECT_TRUE(log.Has("GetConnectStatus Err=3 2 1"));
    EXPECT_EQ(TestConnectDirect(&cmd, &notify), 0);
    EXPECT_TRUE(log.Has("GetConnectStatus GetData Err"));
    cmd.failWrites = 1;
    EXPECT_EQ(TestConnectDirect(&cmd, &notify), -1);
}

TEST_F(DirectTest, DeviceVersion) {
    std::uint16_t version = 0;
    EXPECT_EQ(GetDevVersion(&cmd, &version), 1);
    EXPECT_EQ(version, 0x0102);
    cmd.Close();
    EXPECT_EQ(GetDevVersion(&cmd, &version), 0);
}

}  // namespace
}  // namespace vantor
