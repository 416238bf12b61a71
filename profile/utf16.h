// Conversions between the UTF-8 strings of the program and the UTF-16 text that records,
// files and the device hold. Malformed input never fails: each bad sequence becomes U+FFFD.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace vantor {

// UTF-16 of `text`, cut to at most `maxUnits` units without splitting a surrogate pair.
std::u16string Utf8ToUtf16(std::string_view text, std::size_t maxUnits = std::u16string::npos);

// UTF-8 of the units up to the first zero unit (or all of them).
std::string Utf16ToUtf8(std::span<const char16_t> units);

}  // namespace vantor
