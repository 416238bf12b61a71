#include "sim/sim_firmware.h"

#include <gtest/gtest.h>

#include <numeric>
#include <span>

#include "tests/sim/sim_test_support.h"

namespace vantor {
namespace {

using test::CommandFor;
using test::Sealed;
using test::SimpleCommand;

class SimFirmwareTest : public ::testing::Test {
  protected:
    SimFirmwareTest() : firmware(test::SmallFactoryImage(), 0x01, 0x02) {
        firmware.SetEventSink([this](const SimInputReport& r) { events.push_back(r); });
    }

    SimInputReport Send(const CommandReport& report) {
        auto out = firmware.HandleReport(report.data(), report.size());
        EXPECT_FALSE(out.empty());
        return out.empty() ? SimInputReport{} : out.front();
    }
    std::uint8_t Write(std::uint16_t address, const std::vector<std::uint8_t>& data) {
        CommandPayload payload =
            MakeMemoryPayload(kCmdWriteEEPROM, address, data.data(), data.size());
        return Send(BuildCommandReport(payload))[kSimReplyStatus];
    }
    // Writes `data` in chunks of `chunk` bytes; the statuses of the chunks.
    std::vector<std::uint8_t> WriteChunked(std::uint16_t address,
                                           const std::vector<std::uint8_t>& data,
                                           std::size_t chunk) {
        std::vector<std::uint8_t> statuses;
        for (std::size_t i = 0; i < data.size(); i += chunk) {
            const std::size_t n = std::min(chunk, data.size() - i);
            statuses.push_back(Write(static_cast<std::uint16_t>(address + i),
                                     {data.begin() + static_cast<std::ptrdiff_t>(i),
                                      data.begin() + static_cast<std::ptrdiff_t>(i + n)}));
        }
        return statuses;
    }
    std::vector<std::uint8_t> Bytes(std::size_t address, std::size_t length, int profile = 0) {
        const SimProfileImage m = firmware.Memory(profile);
        return {m.begin() + static_cast<std::ptrdiff_t>(address),
                m.begin() + static_cast<std::ptrdiff_t>(address + length)};
    }

    SimFirmware firmware;
    std::vector<SimInputReport> events;
};

int Sum(const SimInputReport& r) {
    return std::accumulate(r.begin(), r.end(), 0) & 0xFF;
}

TEST_F(SimFirmwareTest, RepliesEchoTheCommandAndCloseWithTheDeviceCheckByte) {
    const SimInputReport reply = Send(CommandFor(kCmdReadEEPROM, 0x0002, {}, 2));
    EXPECT_EQ(reply[0], kReplyReportId);
    EXPECT_EQ(reply[kSimReplyCommand], kCmdReadEEPROM);
    EXPECT_EQ(reply[kSimReplyStatus], kSimOk);
    EXPECT_EQ(reply[3], 0x00);  // address high, low, length
    EXPECT_EQ(reply[4], 0x02);
    EXPECT_EQ(reply[5], 2);
    EXPECT_EQ(reply[kSimReplyData], 3);
    EXPECT_EQ(reply[kSimReplyData + 1], 0x52);
    EXPECT_EQ(Sum(reply), 0x55);
}

TEST_F(SimFirmwareTest, MalformedCommandReportsAreRefusedAndChangeNothing) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> report;
        std::uint8_t status;
    };
    CommandReport write = CommandFor(kCmdWriteEEPROM, 0x00A9, {20, 0x55 - 20});
    CommandReport wrongId = write;
    wrongId[0] = 7;
    wrongId[16] = static_cast<std::uint8_t>(wrongId[16] + 1);  // still adds up
    CommandReport wrongCheck = write;
    wrongCheck[16] = static_cast<std::uint8_t>(wrongCheck[16] + 1);
    const Case cases[] = {
        {"report id", {wrongId.begin(), wrongId.end()}, kSimBadReport},
        {"check byte", {wrongCheck.begin(), wrongCheck.end()}, kSimBadReport},
        {"short report", {write.begin(), write.begin() + 16}, kSimBadReport},
        {"unknown command",
         [] {
             auto r = SimpleCommand(0x05);
             return std::vector<std::uint8_t>(r.begin(), r.end());
         }(),
         kSimBadCommand},
        {"event id from the PC",
         [] {
             auto r = SimpleCommand(kCmdDeviceEvent);
             return std::vector<std::uint8_t>(r.begin(), r.end());
         }(),
         kSimBadCommand},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto out = firmware.HandleReport(c.report.data(), c.report.size());
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0][kSimReplyStatus], c.status);
        EXPECT_EQ(Sum(out[0]), 0x55);
    }
    EXPECT_EQ(Bytes(0x00A9, 2), (std::vector<std::uint8_t>{12, 0x55 - 12}));
    EXPECT_TRUE(firmware.HandleReport(write.data(), 1).empty());
}

// The connection test written out byte for byte: it adds up to 0x55 with the check 0x4A.
TEST_F(SimFirmwareTest, TakesACommandReportWrittenOutByHand) {
    const std::uint8_t report[17] = {0x08, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x4A};
    const auto out = firmware.HandleReport(report, sizeof report);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0][kSimReplyStatus], kSimOk);
    EXPECT_EQ(out[0][kSimReplyData], 1);
}

TEST_F(SimFirmwareTest, NonZeroBytesAfterACommandsDataAreRefused) {
    const auto spoil = [](CommandReport r, std::size_t at) {
        r[at] = 0x01;
        r[16] = ReportCheckByte(r.data());
        return r;
    };
    const CommandReport cases[] = {
        spoil(CommandFor(kCmdWriteEEPROM, 0x00A9, {20, 0x55 - 20}), 8),  // after 2 bytes
        spoil(CommandFor(kCmdWriteEEPROM, 0x00A9, {20, 0x55 - 20}), 15),
        spoil(SimpleCommand(kCmdGetPower), 6),
        spoil(CommandFor(kCmdSetCurProfile, 0, {1}), 7),
    };
    for (const CommandReport& report : cases) {
        EXPECT_EQ(Send(report)[kSimReplyStatus], kSimBadArgument);
    }
    EXPECT_EQ(Bytes(0x00A9, 2), (std::vector<std::uint8_t>{12, 0x55 - 12}));
    EXPECT_EQ(firmware.ActiveProfile(), 0);
}

// Settings a firmware would not take are refused, and the memory keeps its bytes. DPI
// entries: X code low, Y code low, then for the 0x3395 bit 0 X doubling, bits 2-3 X code
// bits 8-9, bit 4 Y doubling, bits 6-7 Y code bits 8-9.
TEST(SimFirmwareValues, SettingsTheMouseCannotTakeAreRefused) {
    struct Case {
        const char* name;
        std::uint16_t sensor;
        std::uint16_t address;
        std::vector<std::uint8_t> body;
        bool taken;
    };
    const Case cases[] = {
        {"report rate 1", 0, 0x0000, {1}, true},
        {"report rate 3", 0, 0x0000, {3}, false},
        {"report rate 16", 0, 0x0000, {16}, false},
        {"8 levels", 0, 0x0002, {8}, true},
        {"0 levels", 0, 0x0002, {0}, false},
        {"9 levels", 0, 0x0002, {9}, false},
        {"3395 26000 (code 519)", 0x3395, 0x000C, {0x07, 0x07, 0x88}, true},
        {"3395 code 520", 0x3395, 0x000C, {0x08, 0x08, 0x88}, false},
        {"3395 32000 doubled (code 319)", 0x3395, 0x0010, {0x3F, 0x3F, 0x55}, true},
        {"3395 doubled code 320", 0x3395, 0x0010, {0x40, 0x40, 0x55}, false},
        {"3395 doubled code 259", 0x3395, 0x0010, {0x03, 0x03, 0x55}, false},
        {"3395 multiplier bit 1", 0x3395, 0x000C, {0x07, 0x07, 0x02}, false},
        {"3395 Y not a step", 0x3395, 0x000C, {0x07, 0x08, 0x80}, false},
        {"3335 400 (code 04)", 0x3335, 0x000C, {0x04, 0x04, 0x00}, true},
        {"3335 16000 (code BD)", 0x3335, 0x0028, {0xBD, 0xBD, 0x00}, true},
        {"3335 code 01", 0x3335, 0x000C, {0x01, 0x04, 0x00}, false},
        {"3335 multiplier", 0x3335, 0x000C, {0x04, 0x04, 0x01}, false},
        {"unknown sensor", 0, 0x000C, {0xFF, 0xFF, 0xFF}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimFirmware firmware(test::SmallFactoryImage(), 1, 1, c.sensor);
        const auto before = firmware.Memory(0);
        const std::vector<std::uint8_t> data = Sealed(c.body);
        const CommandReport write = BuildCommandReport(
            MakeMemoryPayload(kCmdWriteEEPROM, c.address, data.data(), data.size()));
        const auto out = firmware.HandleReport(write.data(), write.size());
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0][kSimReplyStatus], c.taken ? kSimOk : kSimBadValue);
        if (!c.taken) {
            EXPECT_EQ(firmware.Memory(0), before);
        }
    }
}

TEST_F(SimFirmwareTest, MemoryCommandsKeepTheirLengthAndAddressBounds) {
    struct Case {
        std::uint8_t command;
        std::uint16_t address;
        int length;
        bool accepted;
    };
    const Case cases[] = {
        {kCmdReadEEPROM, 0x0000, 0, false},   {kCmdReadEEPROM, 0x0000, 11, false},
        {kCmdReadEEPROM, 0x1AFF, 1, true},    {kCmdReadEEPROM, 0x1AFF, 2, false},
        {kCmdReadEEPROM, 0x1AF6, 10, true},   {kCmdReadEEPROM, 0x1B00, 1, false},
        {kCmdReadEEPROM, 0xFFFF, 1, false},   {kCmdWriteEEPROM, 0x1AFF, 1, true},
        {kCmdWriteEEPROM, 0x1AFF, 2, false},  {kCmdWriteEEPROM, 0x0006, 0, false},
        {kCmdWriteEEPROM, 0xFFF8, 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << int{c.command} << " @" << c.address
                                          << " len " << std::dec << c.length);
        const auto reply = Send(CommandFor(c.command, c.address, {}, c.length));
        EXPECT_EQ(reply[kSimReplyStatus] == kSimOk, c.accepted);
    }
    // The last byte of the memory is an ordinary byte: it can be written and read back.
    ASSERT_EQ(Write(0x1AFF, {0xA5}), kSimOk);
    EXPECT_EQ(Send(CommandFor(kCmdReadEEPROM, 0x1AFF, {}, 1))[kSimReplyData], 0xA5);
}

TEST_F(SimFirmwareTest, EveryKnownGroupIsVerifiedWhenWritten) {
    struct Case {
        const char* name;
        std::uint16_t address;
        std::vector<std::uint8_t> body;  // without check byte
    };
    const Case cases[] = {
        {"report rate", 0x0000, {8}},         {"debounce", 0x00A9, {4}},
        {"sensor mode", 0x00B7, {0}},         {"DPI entry 7", 0x0028, {0x10, 0x10, 0x00}},
        {"DPI colour 0", 0x002C, {1, 2, 3}},  {"DPI effect speed", 0x0050, {3}},
        {"logo colour", 0x0054, {9, 8, 7}},   {"logo mode", 0x0058, {2}},
        {"key matrix 15", 0x009C, {1, 1, 0}}, {"main lighting", 0x00A0, {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = Bytes(c.address, c.body.size() + 1);
        EXPECT_NE(Write(c.address, Sealed(c.body, /*broken=*/true)), kSimOk);
        EXPECT_EQ(Bytes(c.address, c.body.size() + 1), before);
        EXPECT_EQ(Write(c.address, Sealed(c.body)), kSimOk);
        EXPECT_EQ(Bytes(c.address, c.body.size() + 1), Sealed(c.body));
    }
}

TEST_F(SimFirmwareTest, AWriteWithOneBadGroupIsRefusedAsAWhole) {
    // Two DPI colour entries in one 8-byte chunk, the second one broken.
    std::vector<std::uint8_t> chunk = Sealed({1, 2, 3});
    const auto bad = Sealed({4, 5, 6}, /*broken=*/true);
    chunk.insert(chunk.end(), bad.begin(), bad.end());
    EXPECT_EQ(Write(0x002C, chunk), kSimBadGroupCheck);
    EXPECT_EQ(Bytes(0x002C, 8), std::vector<std::uint8_t>(8, 0));
}

TEST_F(SimFirmwareTest, BulkGroupWritesInChunksOfEightAreAccepted) {
    std::vector<std::uint8_t> entries;
    for (std::uint8_t i = 0; i < 8; ++i) {
        const auto e = Sealed({i, i, 0});
        entries.insert(entries.end(), e.begin(), e.end());
    }
    EXPECT_EQ(WriteChunked(0x000C, entries, 8), std::vector<std::uint8_t>(4, kSimOk));
    EXPECT_EQ(Bytes(0x000C, 32), entries);
}

TEST_F(SimFirmwareTest, AGroupSplitAcrossWritesIsHeldBackUntilItsLastByte) {
    // Chunks of 10 from 0x000C cut the third DPI entry (0x0014-0x0017) in two.
    std::vector<std::uint8_t> entries;
    for (std::uint8_t i = 1; i <= 4; ++i) {
        const auto e = Sealed({i, i, 0});
        entries.insert(entries.end(), e.begin(), e.end());
    }
    EXPECT_EQ(Write(0x000C, {entries.begin(), entries.begin() + 10}), kSimOk);
    EXPECT_EQ(Bytes(0x0014, 4), std::vector<std::uint8_t>(4, 0)) << "half a group is not visible";
    EXPECT_EQ(Write(0x0016, {entries.begin() + 10, entries.end()}), kSimOk);
    EXPECT_EQ(Bytes(0x000C, 16), entries);
}

// A macro slot as the profile writer builds it: name length and name, event count,
// events, check byte over count and events, three zeros.
std::vector<std::uint8_t> MacroSlot(int events, bool broken) {
    std::vector<std::uint8_t> slot(31, 0);
    slot[0] = 4;
    slot[1] = 'M';
    slot[3] = '1';
    std::vector<std::uint8_t> group = {static_cast<std::uint8_t>(events)};
    for (int e = 0; e < events; ++e) {
        for (int b : {0x81, 0x06, 0x00, 0x00, 0x0A}) group.push_back(static_cast<std::uint8_t>(b));
    }
    group = Sealed(group, broken);
    slot.insert(slot.end(), group.begin(), group.end());
    if (slot.size() + 3 <= 384) slot.insert(slot.end(), 3, 0);
    return slot;
}

TEST_F(SimFirmwareTest, MacroSlotsAreCheckedWhenTheirCheckByteArrives) {
    const std::uint16_t slot3 = 0x0300 + 3 * 384;
    const auto good = MacroSlot(4, false);
    ASSERT_EQ(good.size(), 56u);
    EXPECT_EQ(WriteChunked(slot3, good, 10), std::vector<std::uint8_t>(6, kSimOk));
    EXPECT_EQ(Bytes(slot3, good.size()), good);

    // The broken image is refused at the chunk that holds its check byte (offset 52), and
    // the events already sent never reach the memory.
    auto broken = MacroSlot(7, true);
    const auto statuses = WriteChunked(slot3, broken, 10);
    const std::size_t checkChunk = (32 + 5 * 7) / 10;
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        EXPECT_EQ(statuses[i] == kSimOk, i != checkChunk) << "chunk " << i;
    }
    EXPECT_EQ(Bytes(slot3 + 31, 25), std::vector<std::uint8_t>(good.begin() + 31, good.end()));

    // 70 events fill the slot up to byte 382; the trailing zeros are left out.
    const auto full = MacroSlot(70, false);
    ASSERT_EQ(full.size(), 383u);
    for (std::uint8_t s : WriteChunked(slot3, full, 10)) EXPECT_EQ(s, kSimOk);
    EXPECT_EQ(Bytes(slot3, 383), full);
}

TEST_F(SimFirmwareTest, SlotCountsThatRunPastTheirSlotAreRefused) {
    EXPECT_EQ(Write(0x0100, {11, 0x81, 0x04}), kSimBadGroupCheck);       // combination: 10 fit
    EXPECT_EQ(Write(0x0300 + 31, {71, 0x81, 0x04}), kSimBadGroupCheck);  // macro: 70 fit
    EXPECT_EQ(Bytes(0x0100, 1)[0], 0);

    // A combination slot of two events in two chunks of 10; bytes after the group are free.
    const auto combo = Sealed({2, 0x81, 0x06, 0x00, 0x41, 0x06, 0x00});
    EXPECT_EQ(Write(0x0120, combo), kSimOk);
    EXPECT_EQ(Bytes(0x0120, combo.size()), combo);
    EXPECT_EQ(Write(0x0120 + 8, {0xEE, 0xEE}), kSimOk);
}

TEST_F(SimFirmwareTest, ProfilesSwitchAndKeepTheirOwnMemory) {
    EXPECT_EQ(Send(CommandFor(kCmdSetCurProfile, 0, {2}))[kSimReplyStatus], kSimOk);
    EXPECT_EQ(Send(SimpleCommand(kCmdGetCurProfile))[kSimReplyData], 2);
    ASSERT_EQ(Write(0x00A9, Sealed({30})), kSimOk);
    EXPECT_EQ(Bytes(0x00A9, 1, 2)[0], 30);
    EXPECT_EQ(Bytes(0x00A9, 1, 0)[0], 12);

    // A half-written group does not survive a profile change: the rest that would
    // complete it (5 + 5 + 0 + 0x4B = 0x55) no longer adds up.
    ASSERT_EQ(Write(0x000C, {5, 5}), kSimOk);
    ASSERT_EQ(Send(CommandFor(kCmdSetCurProfile, 0, {0}))[kSimReplyStatus], kSimOk);
    ASSERT_EQ(Send(CommandFor(kCmdSetCurProfile, 0, {2}))[kSimReplyStatus], kSimOk);
    EXPECT_EQ(Write(0x000E, {0, 0x4B}), kSimBadGroupCheck);
    EXPECT_EQ(Bytes(0x000C, 4, 2), std::vector<std::uint8_t>(4, 0));

    for (int bad : {4, 255}) {
        EXPECT_EQ(Send(CommandFor(kCmdSetCurProfile, 0,
                                  {static_cast<std::uint8_t>(bad)}))[kSimReplyStatus],
                  kSimBadArgument);
    }
    EXPECT_EQ(firmware.ActiveProfile(), 2);
}

TEST_F(SimFirmwareTest, StatusCommandsReportIdentityBatteryReadinessAndDriverStatus) {
    firmware.SetBattery(37, true);
    const auto power = Send(SimpleCommand(kCmdGetPower));
    EXPECT_EQ(power[kSimReplyData], 37);
    EXPECT_EQ(power[kSimReplyData + 1], 1);

    firmware.SetReady(false);
    EXPECT_EQ(Send(SimpleCommand(kCmdQueryApplyBusy))[kSimReplyData], 0);
    firmware.SetReady(true);
    EXPECT_EQ(Send(SimpleCommand(kCmdQueryApplyBusy))[kSimReplyData], 1);

    EXPECT_EQ(Send(CommandFor(kCmdTellDrvStatus, 0, {1}))[kSimReplyStatus], kSimOk);
    EXPECT_EQ(firmware.LastDriverStatus(), 1);

    const auto psd = CommandFor(kCmdCheckPsd, 0, {17, 42, 99, 3, 0, 0, 0, 0});
    auto reply = Send(psd);
    EXPECT_EQ(reply[kSimReplyData], 0x01);
    EXPECT_EQ(reply[kSimReplyData + 1], 0x02);
    firmware.SetIdentity(0, 0);
    reply = Send(psd);
    EXPECT_EQ(reply[kSimReplyStatus], kSimOk);
    EXPECT_EQ(reply[kSimReplyData] | reply[kSimReplyData + 1], 0);
    EXPECT_EQ(Send(CommandFor(kCmdCheckPsd, 0, {1, 2, 3, 4}))[kSimReplyStatus], kSimBadArgument);
}

TEST_F(SimFirmwareTest, ASwitchedOffMouseAnswersOnlyTheConnectionTest) {
    EXPECT_EQ(Send(SimpleCommand(kCmdGetConnectStatus))[kSimReplyData], 1);
    firmware.SetMouseConnected(false);
    const auto connect = Send(SimpleCommand(kCmdGetConnectStatus));
    EXPECT_EQ(connect[kSimReplyStatus], kSimOk);
    EXPECT_EQ(connect[kSimReplyData], 0);
    EXPECT_EQ(Send(SimpleCommand(kCmdGetPower))[kSimReplyStatus], kSimNotConnected);
    EXPECT_EQ(Write(0x00A9, Sealed({30})), kSimNotConnected);
    EXPECT_EQ(Bytes(0x00A9, 1)[0], 12);
}

TEST_F(SimFirmwareTest, DpiButtonCyclesWithinTheLevelCount) {
    // Three levels, level 1 active.
    for (std::uint8_t expected : std::vector<std::uint8_t>{2, 0, 1}) {
        firmware.PressDpiButton();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back()[kSimReplyCommand], kCmdDeviceEvent);
        EXPECT_EQ(events.back()[kSimEventBits], kSimEventDpiLevel);
        EXPECT_EQ(events.back()[kSimEventDpiValue], expected);
        EXPECT_EQ(Bytes(0x0004, 2), (std::vector<std::uint8_t>{
                                        expected, static_cast<std::uint8_t>(0x55 - expected)}));
        EXPECT_EQ(Sum(events.back()), 0x55);
    }
}

TEST_F(SimFirmwareTest, ReportRateSwitchWritesTheCodeAndTellsThePc) {
    ASSERT_TRUE(firmware.SwitchReportRate(8));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0][kSimEventBits], kSimEventReportRate);
    EXPECT_EQ(events[0][kSimEventRateValue], 8);
    EXPECT_EQ(Bytes(0x0000, 2), (std::vector<std::uint8_t>{8, 0x4D}));
    EXPECT_FALSE(firmware.SwitchReportRate(3));
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(SimFirmwareTest, ProfileSwitchAndResetOnTheMouseAnnounceAReset) {
    ASSERT_EQ(Write(0x00A9, Sealed({30})), kSimOk);
    ASSERT_TRUE(firmware.SelectProfileOnMouse(2));
    EXPECT_EQ(firmware.ActiveProfile(), 2);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0][kSimEventBits], kSimEventReset);
    EXPECT_EQ(Bytes(0x00A9, 1, 0)[0], 30);  // the left profile keeps its change

    EXPECT_FALSE(firmware.SelectProfileOnMouse(4));
    EXPECT_EQ(firmware.ActiveProfile(), 2);
    EXPECT_EQ(events.size(), 1u);

    ASSERT_TRUE(firmware.SelectProfileOnMouse(0));
    firmware.ResetOnMouse();
    EXPECT_EQ(Bytes(0x00A9, 1)[0], 12);  // factory state again
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2][kSimEventBits], kSimEventReset);
}

TEST_F(SimFirmwareTest, LightingKeysChangeTheirGroupAndSendTheirBit) {
    struct Case {
        SimLightingZone zone;
        std::uint8_t bit;
        std::size_t address;
        std::size_t length;
    };
    const Case cases[] = {{SimLightingZone::kMain, kSimEventMainLighting, 0x00A0, 7},
                          {SimLightingZone::kLogo, kSimEventLogoLighting, 0x0054, 10},
                          {SimLightingZone::kDpiIndicator, kSimEventDpiIndicator, 0x004C, 6}};
    // Start from lit groups so that a brightness step shows.
    ASSERT_EQ(Write(0x00A0, Sealed({1, 255, 0, 0, 150, 100})), kSimOk);
    std::vector<std::uint8_t> logo = Sealed({255, 0, 0});
    for (std::uint8_t value : std::vector<std::uint8_t>{1, 100, 150}) {
        const auto pair = Sealed({value});
        logo.insert(logo.end(), pair.begin(), pair.end());
    }
    ASSERT_EQ(Write(0x0054, logo), kSimOk);
    ASSERT_EQ(Write(0x004C, {1, 0x54, 60, 0x55 - 60, 3, 0x52}), kSimOk);
    for (const Case& c : cases) {
        const auto before = Bytes(c.address, c.length);
        events.clear();
        firmware.PressLightingKey(c.zone);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0][kSimEventBits], c.bit);
        EXPECT_NE(Bytes(c.address, c.length), before);
    }
}

TEST_F(SimFirmwareTest, ResetRestoresTheActiveProfileThenSendsTheResetEvent) {
    ASSERT_EQ(Write(0x00A9, Sealed({30})), kSimOk);
    ASSERT_EQ(Send(CommandFor(kCmdSetCurProfile, 0, {1}))[kSimReplyStatus], kSimOk);
    ASSERT_EQ(Write(0x00A9, Sealed({40})), kSimOk);

    const auto reset = SimpleCommand(kCmdResetDevice);
    const auto out = firmware.HandleReport(reset.data(), reset.size());
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0][kSimReplyCommand], kCmdResetDevice);
    EXPECT_EQ(out[0][kSimReplyStatus], kSimOk);
    EXPECT_EQ(out[1][kSimReplyCommand], kCmdDeviceEvent);
    EXPECT_EQ(out[1][kSimEventBits], kSimEventReset);
    EXPECT_EQ(firmware.Memory(1), test::SmallFactoryImage());
    EXPECT_EQ(Bytes(0x00A9, 1, 0)[0], 30) << "other profiles keep their settings";
}

TEST_F(SimFirmwareTest, StateRestoresEverything) {
    ASSERT_EQ(Write(0x00A9, Sealed({30})), kSimOk);
    firmware.SetBattery(5, true);
    SimFirmwareState state = firmware.State();
    state.activeProfile = 3;
    SimFirmware other(SimProfileImage{}, 9, 9);
    other.Restore(state);
    EXPECT_EQ(other.ActiveProfile(), 3);
    const SimFirmwareState back = other.State();
    EXPECT_EQ(back.profiles, state.profiles);
    EXPECT_EQ(back.cid, 0x01);
    EXPECT_EQ(back.batteryLevel, 5);
    EXPECT_TRUE(back.charging);
}

}  // namespace
}  // namespace vantor
