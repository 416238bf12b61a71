#include "device/report.h"

#include <gtest/gtest.h>

#include <numeric>

namespace vantor {
namespace {

unsigned Sum(const CommandReport& report) {
    return std::accumulate(report.begin(), report.end(), 0u) & 0xFF;
}

TEST(ReportTest, ConnectStatusReportHasCheckByte4A) {
    const CommandReport report = BuildCommandReport(MakePayload(kCmdGetConnectStatus));
    CommandReport expected{};
    expected[0] = 0x08;
    expected[1] = 0x03;
    expected[16] = 0x4A;
    EXPECT_EQ(report, expected);
}

TEST(ReportTest, EveryReportAddsUpTo55) {
    const std::uint8_t ff[10] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const std::uint8_t small[3] = {1, 2, 3};
    const CommandPayload payloads[] = {
        MakePayload(0),
        MakeMemoryPayload(kCmdWriteEEPROM, 0xFFFF, ff, 10),  // the sum wraps several times
        MakeMemoryPayload(kCmdReadEEPROM, 0x00A0, nullptr, 8),
        MakeMemoryPayload(kCmdWriteEEPROM, 0x1234, small, 3),
    };
    for (const CommandPayload& payload : payloads) {
        EXPECT_EQ(Sum(BuildCommandReport(payload)), 0x55u) << int{payload[0]};
    }
}

TEST(ReportTest, MemoryPayloadLayoutAndLengthCut) {
    std::uint8_t data[12];
    std::iota(data, data + 12, std::uint8_t{1});
    const CommandPayload p = MakeMemoryPayload(kCmdWriteEEPROM, 0x12AB, data, 12);
    const CommandPayload expected = {0x07, 0, 0x12, 0xAB, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(p, expected);  // bytes 11 and 12 do not fit one command and are not taken

    const CommandPayload read = MakeMemoryPayload(kCmdReadEEPROM, 0x0054, nullptr, 10);
    const CommandPayload expectedRead = {0x08, 0, 0x00, 0x54, 10};
    EXPECT_EQ(read, expectedRead);
}

TEST(ReportTest, ReplyDataStartsAtByteFiveAndIsBounded) {
    ReplyPayload reply;
    for (std::size_t i = 0; i < reply.bytes.size(); ++i) {
        reply.bytes[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    EXPECT_EQ(reply.CommandId(), 0xA0);
    EXPECT_EQ(reply.Status(), 0xA1);
    EXPECT_EQ(reply.DataByte(0), 0xA5);
    EXPECT_EQ(reply.DataByte(9), 0xAE);
    EXPECT_EQ(reply.DataByte(10), 0);  // the device's check byte is not data
}

}  // namespace
}  // namespace vantor
