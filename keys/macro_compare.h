// Comparing macros and checking their events.
#pragma once

#include <cstdint>
#include <string_view>

#include "keys/macro_record.h"

namespace vantor {

// Names equal ignoring case (ASCII and Latin-1 letters), comparing at most the 40 units of
// the name field.
bool MacroNamesEqual(const MacroRecord& a, const MacroRecord& b);
bool MacroNameIs(const MacroRecord& record, std::string_view utf8Name);

// Same name ignoring case, same number of events, and every event with equal code, kind
// and delay. Recognises a device macro that is already in the library.
bool MacrosEqual(const MacroRecord& a, const MacroRecord& b);

// True when a key or button event uses a mouse code 0xF0-0xF6 whose bit (code - 0xF0) is 0
// in `supportedMask`. Movement events are not button events, whatever their X and Y.
bool HasUnsupportedMouseButton(const MacroRecord& record, std::uint32_t supportedMask);

constexpr const char* kUnsupportedKeyMessage = "This macro contains unsupported key.";

}  // namespace vantor
