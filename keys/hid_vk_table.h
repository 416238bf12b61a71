// The bridge between the PC's key codes (Windows virtual-key codes, kept in combinations
// and macro events) and the device's key codes (HID keyboard usages).
#pragma once

#include <array>
#include <cstdint>

namespace vantor {

struct HidVkPair {
    std::uint8_t hid;  // HID keyboard usage
    std::uint8_t vk;   // virtual-key code
};

// 104 rows. Lookups take the first matching row, so the order decides which of two rows
// wins: keypad Enter (HID 0x58) reads back as the main Enter key, and virtual-key 0x0D
// always goes out as the main Enter key (HID 0x28).
extern const std::array<HidVkPair, 104> HidVkTable;

// Virtual-key code of the first row with this HID usage; 0 when none.
std::uint8_t HidToVk(std::uint8_t hid);

// HID usage of the first row with this virtual-key code; 0 when none.
std::uint8_t VkToHid(std::uint8_t vk);

}  // namespace vantor
