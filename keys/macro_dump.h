// The macro dump "mac.dct": MacroMaxCount slots of one plain (not rotated) macro record
// each, filled from slot 0 with the playable macros in list order, zero after them. The
// file is always 1,668,000 bytes. The program writes it when the session ends and never
// reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "keys/macro_list.h"

namespace vantor {

constexpr std::size_t kMacroDumpSize = kMacroRecordSize * MacroMaxCount;

// The bytes of the dump: macros with an id and a first event code that is not 0.
std::vector<std::uint8_t> BuildMacroDump(const MacroList& macros);

// Writes dataDir + "mac.dct". Failures are logged; returns whether the file was written.
[[nodiscard]] bool SaveMacroDump(const MacroList& macros, const std::string& dataDir);

}  // namespace vantor
