// The text form of a default key entry in the device sections of cfg.ini: four
// comma-separated hexadecimal numbers "class,code,param,matrix".
#pragma once

#include <string_view>

#include "keys/key_assignment.h"

namespace vantor {

// Fills `entry` from the text and returns true; a text that is not exactly four numbers
// leaves `entry` untouched and returns false.
//   dwFunID = class << 24 | code & 0xFF, nMatrixIndex = matrix & 0xFF;
//   class 8, code 0xA4 (fire key): dwParameter = param, or 0x0A03 (3 shots, interval 10)
//   when param is 0; class 8, codes 0xA6, 0xAD, 0xC0: dwParameter = param;
//   class 2: stCombo = modifier bits 0-3 of param, key 1 = code & 0xFF,
//   key 2 = (code >> 8) & 0xFF, and dwFunID = 0x020000A1 whatever the code.
[[nodiscard]] bool ParseDefaultKeyEntry(std::string_view text, KeyAssignment& entry);

}  // namespace vantor
