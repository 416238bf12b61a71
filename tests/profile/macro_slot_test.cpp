#include "profile/macro_slot.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "profile/check_byte.h"
#include "tests/profile/codec_test_support.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::EventSpec;
using test::MakeMacro;

constexpr std::uint16_t kPress = kMacroKindPress;
constexpr std::uint16_t kRelease = kMacroKindRelease;
constexpr std::uint16_t kMove = kMacroKindMove;

// The events of an image (from byte 32) for `count` events.
Bytes Events(const HdMacroImage& image, int count) {
    return Bytes(image.begin() + 32, image.begin() + 32 + 5 * count);
}

TEST(MacroSlotTest, CtrlCBecomesTheSlotImage) {
    const MacroRecord macro = MakeMacro(
        1, "Copy",
        {{0xA2, kPress, 10}, {0x43, kPress, 20}, {0x43, kRelease, 30}, {0xA2, kRelease, 0}});
    HdMacroImage image{};
    ASSERT_EQ(StMacro_To_HdMacro(&macro, &image), 52);
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 31), Bytes(31, 0));
    EXPECT_EQ(image[31], 4);
    EXPECT_EQ(Events(image, 4), (Bytes{0x80, 0x01, 0, 0, 10, 0x81, 0x06, 0, 0, 20,
                                       0x41, 0x06, 0, 0, 30, 0x40, 0x01, 0, 0, 0}));

    const Bytes slot = BuildMacroSlot(macro);
    ASSERT_EQ(slot.size(), 56u);  // image, check byte at 52, three zeros
    EXPECT_EQ(slot[0], 8);        // name length in bytes
    EXPECT_EQ(Bytes(slot.begin() + 1, slot.begin() + 9), (Bytes{'C', 0, 'o', 0, 'p', 0, 'y', 0}));
    EXPECT_EQ(slot[52], CheckByte(std::span<const std::uint8_t>(slot).subspan(31, 21)));
    EXPECT_EQ(Bytes(slot.begin() + 53, slot.end()), (Bytes{0, 0, 0}));
}

TEST(MacroSlotTest, CodesGoBothWays) {
    struct Case {
        EventSpec event;
        Bytes device;  // the five device bytes
        EventSpec readBack;
    };
    const Case cases[] = {
        {{0x5C, kPress, 0}, {0x80, 0x08, 0, 0, 0}, {0x5B, kPress, 0}},  // right Win
        {{0x11, kRelease, 5}, {0x40, 0x01, 0, 0, 5}, {0xA2, kRelease, 5}},
        {{0x10, kPress, 0}, {0x80, 0x02, 0, 0, 0}, {0xA0, kPress, 0}},
        {{0x12, kPress, 0}, {0x80, 0x04, 0, 0, 0}, {0xA4, kPress, 0}},
        {{0xA3, kPress, 0}, {0x80, 0x10, 0, 0, 0}, {0xA3, kPress, 0}},
        {{0xA1, kPress, 0}, {0x80, 0x20, 0, 0, 0}, {0xA1, kPress, 0}},
        {{0xA5, kPress, 0}, {0x80, 0x40, 0, 0, 0}, {0xA5, kPress, 0}},
        {{0xF0, kPress, 0}, {0x84, 0x01, 0, 0, 0}, {0xF0, kPress, 0}},
        {{0xF1, kPress, 0}, {0x84, 0x02, 0, 0, 0}, {0xF1, kPress, 0}},
        {{0xF2, kPress, 0}, {0x84, 0x04, 0, 0, 0}, {0xF2, kPress, 0}},
        {{0xF4, kPress, 0}, {0x84, 0x08, 0, 0, 0}, {0xF4, kPress, 0}},
        {{0xF3, kRelease, 0}, {0x44, 0x10, 0, 0, 0}, {0xF3, kRelease, 0}},
        {{0x0D, kPress, 0x1234}, {0x81, 0x28, 0, 0x12, 0x34}, {0x0D, kPress, 0x1234}},
        // Movement X = -1, Y = 2.
        {{0x02FF, kMove, 7}, {0x05, 0xFF, 0x02, 0, 7}, {0x02FF, kMove, 7}},
        // The delay is cut to 16 bits: 70000 goes out as 4464.
        {{0x41, kPress, 70000}, {0x81, 0x04, 0, 0x11, 0x70}, {0x41, kPress, 4464}},
    };
    for (const Case& c : cases) {
        const MacroRecord macro = MakeMacro(1, "m", {c.event});
        HdMacroImage image{};
        ASSERT_EQ(StMacro_To_HdMacro(&macro, &image), 37);
        EXPECT_EQ(Events(image, 1), c.device) << std::hex << c.event.code;

        MacroRecord back{};
        HdMacro_To_StMacro(&back, std::span<const std::uint8_t>(image).subspan(31), 0x42);
        EXPECT_EQ(back.stEvents[0].wCode, c.readBack.code) << std::hex << c.event.code;
        EXPECT_EQ(back.stEvents[0].wKind, c.readBack.kind);
        EXPECT_EQ(back.stEvents[0].dwDelay, c.readBack.delay);
        EXPECT_EQ(MacroEventCount(back), 1);
    }
}

TEST(MacroSlotTest, SeventyEventsAtMost) {
    std::vector<EventSpec> events(75, EventSpec{0x41, kPress, 1});
    const MacroRecord macro = MakeMacro(1, "long", events);
    HdMacroImage image{};
    EXPECT_EQ(StMacro_To_HdMacro(&macro, &image), 382);
    EXPECT_EQ(image[31], 70);
    const Bytes slot = BuildMacroSlot(macro);
    EXPECT_EQ(slot.size(), 383u);  // no room for the three zeros after the check byte

    // A count above 70 on the device reads 70 events.
    image[31] = 200;
    MacroRecord back{};
    HdMacro_To_StMacro(&back, std::span<const std::uint8_t>(image).subspan(31, 353), 0x42);
    EXPECT_EQ(MacroEventCount(back), 70);
}

TEST(MacroSlotTest, CodesWithoutCounterpartAreLogged) {
    test::LogCapture log;
    const MacroRecord wheel = MakeMacro(1, "w", {{0xF5, kRelease, 0}, {0xF6, kPress, 0}});
    HdMacroImage image{};
    ASSERT_EQ(StMacro_To_HdMacro(&wheel, &image), 42);
    EXPECT_EQ(Events(image, 2), (Bytes{0x41, 0, 0, 0, 0, 0x81, 0, 0, 0, 0}));
    EXPECT_TRUE(log.Contains("StMacro_To_HdMacro: get wrong hid"));

    const Bytes data = {5,    0xC1, 0x04, 0, 0, 1,  // neither press nor release
                        0x80, 0x80, 0,    0, 2,     // modifier bit without row
                        0x81, 0x03, 0,    0, 3,     // HID usage without key
                        0x83, 0x04, 0,    0, 4,     // unknown type
                        0x84, 0x20, 0,    0, 5};    // mouse bit without row
    MacroRecord back{};
    HdMacro_To_StMacro(&back, data, 0x42);
    EXPECT_EQ(MacroEventCount(back), 5);  // events stay, with code 0
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(back.stEvents[i].dwDelay, static_cast<std::uint32_t>(i + 1));
        if (i > 0) {
            EXPECT_EQ(back.stEvents[i].wCode, 0);
        }
    }
    EXPECT_EQ(back.stEvents[0].wKind, kRelease);
    EXPECT_TRUE(log.Contains("HdMacro_To_StMacro: convert err, i=0"));
    EXPECT_TRUE(log.Contains("HdMacro_To_StMacro: convert err, i=1, nHid=80"));
    EXPECT_TRUE(log.Contains("HdMacro_To_StMacro: convert err, i=2, nHid=3"));
    EXPECT_TRUE(log.Contains("HdMacro_To_StMacro: convert err, nKeyFalg=3"));
}

TEST(MacroSlotTest, ReadMacroIsANewRecord) {
    // A record full of old content: conversion starts it afresh.
    MacroRecord back = MakeMacro(7, "old", std::vector<EventSpec>(91, EventSpec{0x41, kPress, 9}));
    back.dwLoopMode = 2;
    back.nLoopCount = 9;
    const Bytes data = {9, 0x81, 0x04, 0, 0, 1};  // count says more than the data holds
    HdMacro_To_StMacro(&back, data, 0x4242);
    EXPECT_EQ(back.dwMagicNumber, kMacroMagicNumber);
    EXPECT_EQ(back.dwMacroID, 0x4242u);
    EXPECT_EQ(back.dwAuto, 1u);
    EXPECT_EQ(back.dwLoopMode, 0u);
    EXPECT_EQ(back.nLoopCount, 1);
    EXPECT_EQ(MacroName(back), "");
    EXPECT_EQ(MacroEventCount(back), 1);

    HdMacro_To_StMacro(nullptr, data, 1);  // nothing happens
    EXPECT_EQ(StMacro_To_HdMacro(nullptr, nullptr), 0);
}

TEST(MacroSlotTest, NamesInTheSlot) {
    // Longer names keep their first 15 characters, never half a surrogate pair.
    const MacroRecord longName = MakeMacro(1, "ABCDEFGHIJKLMNOPQRS", {{0x41, kPress, 0}});
    EXPECT_EQ(BuildMacroSlot(longName)[0], 30);
    const MacroRecord pair = MakeMacro(1, "ABCDEFGHIJKLMN\xF0\x9F\x98\x80", {{0x41, kPress, 0}});
    EXPECT_EQ(BuildMacroSlot(pair)[0], 28);

    MacroNameTable names{};
    const char16_t text[] = u"Fire!";
    for (int i = 0; i < 5; ++i) names[15][2 * i] = static_cast<std::uint8_t>(text[i]);
    EXPECT_EQ(MacroSlotName(names, 15), "Fire!");
    names[3].fill('A');  // a full entry without terminator still ends in the entry
    EXPECT_EQ(MacroSlotName(names, 3).size(), 15u * 3u);  // U+4141 is three UTF-8 bytes
    EXPECT_EQ(MacroSlotName(names, 16), "");
    EXPECT_EQ(MacroSlotName(names, -1), "");
}

TEST(MacroSlotTest, RepeatModeTravelsInOneByte) {
    struct Case {
        std::uint32_t loopMode;
        std::uint8_t loopCount;
        std::uint8_t byte;
    };
    const Case cases[] = {{1, 5, 0xFF}, {2, 5, 0xFE}, {0, 7, 7}, {0, 250, 250}};
    for (const Case& c : cases) {
        MacroRecord m = MakeMacro(1, "r", {});
        m.dwLoopMode = c.loopMode;
        m.nLoopCount = c.loopCount;
        EXPECT_EQ(MacroRepeatByte(m), c.byte);
        MacroRecord back = MakeMacro(1, "r", {});
        SetMacroRepeatFromByte(back, c.byte);
        EXPECT_EQ(back.dwLoopMode, c.loopMode);
        if (c.loopMode == 0) {
            EXPECT_EQ(back.nLoopCount, c.loopCount);
        }
    }
}

}  // namespace
}  // namespace vantor
