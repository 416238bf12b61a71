// Combination-key slots: what a keyboard, application or multimedia key sends, kept in the
// 32-byte slot of the key's matrix position. Byte 0 is the number of events n, then n events
// of three bytes (flags, code, 0), then a check byte over the 1 + 3n bytes before it.
// Flags: 0x80 press, 0x40 release; low nibble 0 modifier bit, 1 HID keyboard usage,
// 2 consumer usage (16 bits, low byte first, in the two bytes after the flags).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "keys/key_assignment.h"

namespace vantor {

constexpr std::size_t kComboSlotSize = 32;
// Events that fit a slot together with the count and check bytes.
constexpr int kComboSlotMaxEvents = 10;

using ComboSlot = std::array<std::uint8_t, kComboSlotSize>;

// HID consumer usage of an application or multimedia key (classes 3 and 4); 0xFFFF for a
// code of those classes without a usage, none for any other function.
std::optional<std::uint16_t> ConsumerUsageOf(std::uint32_t funId);
// The function id of a consumer usage; none when no key has it.
std::optional<std::uint32_t> FunctionOfConsumerUsage(std::uint16_t usage);

// Writes the events of a keyboard (class 2) or consumer (classes 3, 4) assignment into
// `slot` (the rest of the slot is zeroed) and returns their length in bytes without the
// check byte; 0 for other classes. A keyboard combination of more presses than fit the
// slot (four modifiers and three keys make seven) keeps its first five presses in press
// order, each with its release, so no key is left pressed on the PC.
std::size_t EncodeComboSlot(const KeyAssignment& key, ComboSlot& slot);

// Reads a slot (the bytes the device returned, usually the first 20) into `key`: a consumer
// key, or a keyboard combination (dwFunID 0x02000000) from the presses before the first
// release. 1 on success, 0 for an empty slot, an unknown usage or an unknown event type.
[[nodiscard]] int DecodeComboSlot(std::span<const std::uint8_t> slot, KeyAssignment& key);

}  // namespace vantor
