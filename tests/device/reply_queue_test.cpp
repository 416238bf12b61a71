#include "device/reply_queue.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/device/fake_hid.h"

namespace vantor {
namespace {

using test::CountingSleeper;
using test::LogCapture;
using test::MakeReply;

class ReplyQueueTest : public ::testing::Test {
  protected:
    void Append(const ReplyPayload& payload) { queue.Append(payload.bytes.data()); }

    LogCapture log;
    CountingSleeper sleeper;
    ReplyQueue queue{sleeper};
    CRetParam reply;
};

TEST_F(ReplyQueueTest, ForeignReplyIsDroppedAndTheWaitGoesOn) {
    Append(MakeReply(0x08, 0, {0x11}));
    Append(MakeReply(0x07, 0, {0x22}));
    Append(MakeReply(0x07, 0, {0x33}));
    EXPECT_EQ(queue.WaitNotify(0x07, &reply), 1);
    EXPECT_EQ(reply.reply.DataByte(0), 0x22);
    EXPECT_EQ(queue.Size(), 1u);  // only the foreign reply before it was consumed
    EXPECT_EQ(sleeper.Sleeps(), std::vector<std::uint32_t>{10});
}

TEST_F(ReplyQueueTest, LateMemoryReplyForAnotherAddressIsDropped) {
    ReplyPayload late = MakeReply(0x07, 0);
    late.bytes[kPayloadAddressHigh] = 0x01;  // answers the chunk at 0x0100
    late.bytes[kPayloadLengthByte] = 10;
    ReplyPayload current = late;
    current.bytes[kPayloadAddressLow] = 0x0A;  // the chunk at 0x010A being waited for
    current.bytes[kPayloadData] = 0x44;
    Append(late);
    Append(current);
    const std::uint8_t echo[3] = {0x01, 0x0A, 10};
    EXPECT_EQ(queue.WaitNotify(0x07, &reply, echo), 1);
    EXPECT_EQ(reply.reply.DataByte(0), 0x44);
    EXPECT_EQ(queue.Size(), 0u);
}

TEST_F(ReplyQueueTest, GivesUpAfter51EmptyPollsWithTheLogLine) {
    Append(MakeReply(0x08, 0));                      // dropped, and it does not restart the count
    EXPECT_EQ(queue.WaitNotify(0x107, &reply), -1);  // only the low byte names the command
    std::vector<std::uint32_t> expected(52, 20);
    expected[0] = 10;
    EXPECT_EQ(sleeper.Sleeps(), expected);
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_EQ(log.Count("WaitNotify TimeOut for nCmdID=7, ThreadId=0x"), 1);
    EXPECT_EQ(queue.WaitCount(), 1u);
}

TEST_F(ReplyQueueTest, ReplyArrivingDuringThePollsIsTaken) {
    sleeper.onSleep = [this](std::size_t index) {
        if (index == 30) Append(MakeReply(0x0E, 0, {2}));
    };
    EXPECT_EQ(queue.WaitNotify(0x0E, &reply), 1);
    EXPECT_EQ(reply.reply.DataByte(0), 2);
    EXPECT_EQ(sleeper.Sleeps().size(), 31u);
    EXPECT_FALSE(log.Has("WaitNotify TimeOut"));
}

TEST_F(ReplyQueueTest, FloodKeepsOnlyTheNewestReplies) {
    for (unsigned i = 0; i < ReplyQueue::kMaxQueued + 10; ++i) {
        Append(MakeReply(0x08, 0, {static_cast<std::uint8_t>(i)}));
    }
    EXPECT_EQ(queue.Size(), ReplyQueue::kMaxQueued);
    ASSERT_TRUE(queue.PopFront(&reply));
    EXPECT_EQ(reply.reply.DataByte(0), 10);
    queue.Clear();
    EXPECT_FALSE(queue.PopFront(&reply));
}

}  // namespace
}  // namespace vantor
