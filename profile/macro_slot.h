// Hardware macros: the macro slot image that a key assigned a macro plays from, and the
// conversions between it and the PC's macro record.
//
// Slot image (384 bytes at most): byte 0 name length in bytes, bytes 1-30 the name (UTF-16,
// up to 15 characters), byte 31 event count n (at most 70), 5-byte events from byte 32, a
// check byte over bytes 31 to 32 + 5n - 1, and three zero bytes when they still fit.
// Event: flags (0x80 press / 0x40 release, OR type 0 modifier, 1 key, 4 mouse button) or
// 0x05 for a movement, code or X step, 0 or Y step, delay bits 8-15, delay bits 0-7.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "keys/macro_record.h"
#include "profile/memory_map.h"

namespace vantor {

constexpr std::size_t kMacroSlotImageSize = memory_map::kMacroSlotStride;
constexpr int kHdMacroEventSize = 5;
constexpr int kHdMacroEventsOffset = 32;  // first event in the slot image

using HdMacroImage = std::array<std::uint8_t, kMacroSlotImageSize>;

// Names read from the 16 macro slots: 30 name bytes and a spare zero byte each, so a name
// always ends within its entry.
constexpr std::size_t kMacroNameEntrySize = 31;
using MacroNameTable = std::array<std::array<std::uint8_t, kMacroNameEntrySize>, 16>;

// Name `slot` of the table as UTF-8 (at most 15 characters); empty for a slot outside 0-15.
std::string MacroSlotName(const MacroNameTable& names, int slot);

// Fills `image` (cleared first) with the events of `macro` from byte 32 and the count at
// byte 31; bytes 0-30 stay 0. Returns the length 32 + 5n; 0 when an argument is missing.
[[nodiscard]] int StMacro_To_HdMacro(const MacroRecord* macro, HdMacroImage* image);

// Fills `macro` from slot data that starts at the event count (slot offset 31). The record
// gets a fresh identity `macroId`, auto option 1, loop mode 0, loop count 1, no name. Data
// shorter than its count says ends the event list early. Nothing when `macro` is null.
void HdMacro_To_StMacro(MacroRecord* macro, std::span<const std::uint8_t> data,
                        std::uint32_t macroId);
// The same with an id from NewMacroId (waits 20 ms).
void HdMacro_To_StMacro(MacroRecord* macro, std::span<const std::uint8_t> data);

// The bytes written into a macro slot for `macro`: name length, name, events, check byte
// and, when they fit, three zero bytes.
std::vector<std::uint8_t> BuildMacroSlot(const MacroRecord& macro);

// The macro's repeat mode as byte 2 of its key matrix code: loop mode 1 -> 0xFF, loop mode
// 2 -> 0xFE, otherwise the loop count (kept at most 250, so it never reads back as one of
// the two other modes).
std::uint8_t MacroRepeatByte(const MacroRecord& macro);
// The repeat mode that byte 2 of a key matrix code gives a macro read from the device.
void SetMacroRepeatFromByte(MacroRecord& macro, std::uint8_t repeat);

}  // namespace vantor
