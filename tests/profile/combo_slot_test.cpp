#include "profile/combo_slot.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "keys/key_functions.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;

KeyAssignment Keyboard(std::uint8_t modifiers, std::uint8_t k1, std::uint8_t k2 = 0,
                       std::uint8_t k3 = 0) {
    KeyAssignment k{};
    k.dwFunID = KF_KEY_COMBO;
    k.stCombo = modifiers | k1 << 8 | k2 << 16 | static_cast<std::uint32_t>(k3) << 24;
    return k;
}

KeyAssignment Function(std::uint32_t funId) {
    KeyAssignment k{};
    k.dwFunID = funId;
    return k;
}

Bytes Encoded(const KeyAssignment& key) {
    ComboSlot slot{};
    slot.fill(0xCC);  // encoding clears what it does not use
    const std::size_t length = EncodeComboSlot(key, slot);
    for (std::size_t i = length; i < slot.size(); ++i) EXPECT_EQ(slot[i], 0) << i;
    return Bytes(slot.begin(), slot.begin() + static_cast<long>(length));
}

TEST(ComboSlotTest, KeyboardCombinationsEncodePressesThenReleases) {
    struct Case {
        KeyAssignment key;
        Bytes bytes;
    };
    const Case cases[] = {
        // Ctrl+C.
        {Keyboard(0x01, 0x43), {4, 0x80, 0x01, 0, 0x81, 0x06, 0, 0x40, 0x01, 0, 0x41, 0x06, 0}},
        // Keys are released in reverse; modifiers in press order.
        {Keyboard(0x06, 0x41, 0x42),
         {8,    0x80, 0x02, 0,    0x80, 0x04, 0,    0x81, 0x04, 0,    0x81, 0x05, 0,
          0x40, 0x02, 0,    0x40, 0x04, 0,    0x41, 0x05, 0,    0x41, 0x04, 0}},
        // Right-hand modifier bits are not written; a key without HID usage goes out as 0.
        {Keyboard(0xF0, 0xFE), {2, 0x81, 0x00, 0, 0x41, 0x00, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(Encoded(c.key), c.bytes);
}

TEST(ComboSlotTest, CombinationTooLongForTheSlotKeepsFiveBalancedPresses) {
    // Four modifiers and three keys would be 14 events and 44 bytes.
    const Bytes bytes = Encoded(Keyboard(0x0F, 0x41, 0x42, 0x43));
    ASSERT_EQ(bytes.size(), 31u);  // count + 10 events: the check byte is the slot's last
    EXPECT_EQ(bytes, (Bytes{10,   0x80, 0x01, 0,    0x80, 0x02, 0,    0x80, 0x04, 0,    0x80,
                            0x08, 0,    0x81, 0x04, 0,    0x40, 0x01, 0,    0x40, 0x02, 0,
                            0x40, 0x04, 0,    0x40, 0x08, 0,    0x41, 0x04, 0}));
}

TEST(ComboSlotTest, ConsumerKeysBothWays) {
    EXPECT_EQ(Encoded(Function(KF_VOLUME_UP)), (Bytes{2, 0x82, 0xE9, 0x00, 0x42, 0xE9, 0x00}));
    EXPECT_EQ(Encoded(Function(KF_APP_FAVORITES)), (Bytes{2, 0x82, 0x2A, 0x02, 0x42, 0x2A, 0x02}));
    // A consumer code without usage goes out as 0xFFFF.
    EXPECT_EQ(Encoded(Function(0x0300002A)), (Bytes{2, 0x82, 0xFF, 0xFF, 0x42, 0xFF, 0xFF}));

    for (std::uint32_t funId : {KF_VOLUME_UP, KF_MUTE, KF_MEDIA_SELECT, KF_APP_MAIL, KF_APP_STOP}) {
        const Bytes bytes = Encoded(Function(funId));
        KeyAssignment back{};
        ASSERT_EQ(DecodeComboSlot(bytes, back), 1);
        EXPECT_EQ(back.dwFunID, funId);
    }
}

TEST(ComboSlotTest, KeyboardSlotDecodesThePressesBeforeTheFirstRelease) {
    struct Case {
        Bytes slot;
        std::uint32_t combo;
    };
    const Case cases[] = {
        {{4, 0x80, 0x01, 0, 0x81, 0x06, 0, 0x40, 0x01, 0, 0x41, 0x06, 0}, 0x4301},
        // Only modifier bits 0x01-0x08 are taken.
        {{2, 0x80, 0x31, 0, 0x81, 0x04, 0}, 0x4101},
        // A fourth key is dropped.
        {{4, 0x81, 0x04, 0, 0x81, 0x05, 0, 0x81, 0x06, 0, 0x81, 0x07, 0}, 0x43424100},
        // The count ends the events even before a release.
        {{1, 0x81, 0x04, 0, 0x81, 0x05, 0}, 0x4100},
        // Events beyond the bytes that were read are not looked at.
        {{9, 0x81, 0x04, 0, 0x81}, 0x4100},
    };
    for (const Case& c : cases) {
        KeyAssignment k{};
        ASSERT_EQ(DecodeComboSlot(c.slot, k), 1);
        EXPECT_EQ(k.dwFunID, KF_KEY_FROM_DEVICE);
        EXPECT_EQ(k.stCombo, c.combo) << std::hex << c.combo;
    }
}

TEST(ComboSlotTest, SlotsThatDoNotDecode) {
    const Bytes cases[] = {
        {},
        {0, 0x81, 0x04, 0},                       // no events
        {2, 0x82, 0x34, 0x12, 0x42, 0x34, 0x12},  // usage of no key
        {1, 0x83, 0x04, 0},                       // unknown event type
        {2, 0x81, 0x04, 0, 0x85, 0x04, 0},        // unknown type in a later event
        {1, 0x82, 0xE9},                          // usage cut off
    };
    for (const Bytes& slot : cases) {
        KeyAssignment k{};
        EXPECT_EQ(DecodeComboSlot(slot, k), 0);
    }
}

TEST(ComboSlotTest, OtherFunctionsHaveNoSlot) {
    EXPECT_TRUE(Encoded(Function(KF_LEFT_CLICK)).empty());
    EXPECT_TRUE(Encoded(Function(KF_MACRO)).empty());
}

}  // namespace
}  // namespace vantor
