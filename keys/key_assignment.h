// What one mouse button does: a 24-byte record kept in profiles, files and the defaults
// of each device model.
#pragma once

#include <cstdint>

#include "base/le.h"

namespace vantor {

struct KeyAssignment {
    LeU32 dwFunID;       // bits 24-31 function class, bits 0-23 function code
    LeU32 nMatrixIndex;  // position in the device key matrix counted from 1; 0 = none
    LeU32 dwMacroID;     // class 5: id of the assigned macro
    LeU32 stCombo;       // class 2: byte 0 modifier bits, bytes 1-3 virtual-key codes
    LeU32 dwParameter;   // fire key, DPI lock, custom or extra key parameter
    LeU32 dwReserved;    // copied with the record, never interpreted

    std::uint32_t FunctionClass() const { return dwFunID >> 24; }
    std::uint32_t FunctionCode() const { return dwFunID & 0x00FFFFFFu; }
};

static_assert(sizeof(KeyAssignment) == 24);

}  // namespace vantor
