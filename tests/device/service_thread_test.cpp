#include "device/service_thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/device/fake_hid.h"

namespace vantor {
namespace {

using test::CountingSleeper;
using test::FakeHidHandle;
using test::LogCapture;
using test::MakeEvent;
using test::MakeReply;
using Message = test::RecordingPoster::Message;

// The dispatch rules, driven without the reader thread.
class DispatchTest : public ::testing::Test {
  protected:
    void Dispatch(const ReplyPayload& payload) { reader.Dispatch(payload.bytes.data()); }

    LogCapture log;
    CountingSleeper sleeper;
    ReplyQueue queue{sleeper};
    test::RecordingPoster poster;
    ServiceThread reader{std::make_shared<FakeHidHandle>(), {}, queue, &poster};
};

TEST_F(DispatchTest, DpiAndMainLightingBitsPostTwoMessagesDpiFirst) {
    Dispatch(MakeEvent(0x81, {2}));
    const std::vector<Message> expected = {{WM_DEVICE_BEHAVIOR, 2, 1}, {WM_DEVICE_BEHAVIOR, 0, 4}};
    EXPECT_EQ(poster.Messages(), expected);
    EXPECT_EQ(queue.Size(), 0u);
}

TEST_F(DispatchTest, AllEventBitsInTheirOrderWithTheirValues) {
    // p[6] DPI level 5, p[7] rate 0x38 (only the low nibble counts), p[9] reset value 7.
    Dispatch(MakeEvent(0xFF, {5, 0x38, 0xAA, 7}));
    const std::vector<Message> expected = {
        {WM_DEVICE_BEHAVIOR, 5, 1}, {WM_DEVICE_BEHAVIOR, 8, 2}, {WM_DEVICE_BEHAVIOR, 7, 3},
        {WM_DEVICE_BEHAVIOR, 0, 4}, {WM_DEVICE_BEHAVIOR, 0, 5}, {WM_DEVICE_BEHAVIOR, 0, 6},
    };
    EXPECT_EQ(poster.Messages(), expected);
    EXPECT_EQ(WM_DEVICE_BEHAVIOR, 0x7EBu);
}

TEST_F(DispatchTest, EventWithoutAValidWindowIsDroppedNotQueued) {
    poster.valid = false;
    Dispatch(MakeEvent(0x81, {2}));
    EXPECT_TRUE(poster.Messages().empty());
    EXPECT_EQ(queue.Size(), 0u);

    ServiceThread noWindow{std::make_shared<FakeHidHandle>(), {}, queue, nullptr};
    const ReplyPayload event = MakeEvent(0x01, {1});
    noWindow.Dispatch(event.bytes.data());
    EXPECT_EQ(queue.Size(), 0u);
}

TEST_F(DispatchTest, RepliesAreQueuedAndLogged) {
    Dispatch(MakeReply(0x08, 0, {0xAB}));
    CRetParam reply;
    ASSERT_TRUE(queue.PopFront(&reply));
    EXPECT_EQ(reply.reply.DataByte(0), 0xAB);
    EXPECT_TRUE(poster.Messages().empty());
    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("Read(", 0), 0u);
    EXPECT_NE(lines[0].find("):  08 00 00 00 00 ab 00"), std::string::npos);
}

}  // namespace
}  // namespace vantor
