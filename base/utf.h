// Conversions between the UTF-8 strings of the program and the UTF-16 text that records,
// files, language documents and the device hold. Input is untrusted: invalid sequences
// become U+FFFD and nothing is read past the end.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace vantor {

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// UTF-16 of `bytes`, cut to at most `maxUnits` units without splitting a surrogate pair.
// Each invalid byte becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes, std::size_t maxUnits = std::u16string::npos);

// UTF-8 of all the units; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// UTF-8 of a fixed-size text field: the units up to the first zero unit, or all of them.
std::string Utf16FieldToUtf8(std::span<const char16_t> units);

// Appends one code point (at most U+10FFFF, not a surrogate) as UTF-16.
void AppendUtf16(std::u16string& out, char32_t codePoint);

}  // namespace vantor
