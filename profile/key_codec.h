// Key matrix codes: the 24-bit code of each key function as the device's key matrix holds
// it, and the way back. Byte 0 of a code is its type: 1 mouse button, 2 DPI function,
// 4 rapid fire, 5 combination slot, 6 macro slot, 7 report rate, 8 lighting, 9 profile,
// 0x0A DPI lock; 0 disables the key.
#pragma once

#include <cstdint>
#include <span>

#include "keys/key_assignment.h"
#include "keys/macro_library_access.h"
#include "profile/macro_slot.h"

namespace vantor {

// A function without a device code; written into the matrix as FF FF FF.
constexpr std::int32_t kNoKeyCode = -1;

constexpr std::uint8_t kKeyCodeTypeCombo = 0x05;
constexpr std::uint8_t kKeyCodeTypeMacro = 0x06;

// Macro ids given to keys whose device macro has no library macro: this base + slot.
constexpr std::uint32_t kUnknownMacroIdBase = 0xFFEE00;

// The key code of an assignment, or kNoKeyCode. A macro key gets type 6, its slot
// (nMatrixIndex - 1) in byte 1 and its repeat byte in byte 2; a macro id that `macros`
// does not know (or a null `macros`) is logged and gives kNoKeyCode. A DPI lock takes the
// code of the DPI at its step in the sensor's list.
std::int32_t keyinfo_to_hardware_code(const KeyAssignment& key, std::uint32_t sensor,
                                      const MacroLibraryAccess* macros);

// What decoding a key code may need besides the code.
struct KeyCodeSources {
    std::uint32_t sensor = 0;
    // The 16 combination slots as read (32 bytes apart; only the first 20 of each are used).
    std::span<const std::uint8_t> comboSlots;
    const MacroNameTable* macroNames = nullptr;
    const MacroLibraryAccess* macros = nullptr;
};

// Fills `key` from a key code: every field but nMatrixIndex is cleared first. 1 on
// success; 0 when the code has no rule, or it needs a slot the key's nMatrixIndex does
// not name (0 or above 16).
[[nodiscard]] int hardware_code_to_keyinfo(const KeyCodeSources& sources, std::uint32_t code,
                                           KeyAssignment& key);

}  // namespace vantor
