// Turning the bytes of a document file into UTF-16 text. Every function takes untrusted bytes:
// invalid sequences are replaced or reported, never read past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/utf.h"

namespace vantor {

struct DecodedDocument {
    std::u16string text;
    // How the bytes were read, e.g. "UTF-8 BOM + length 12 to 9 wide chars"; for the log.
    std::string description;
};

// Chooses the encoding (byte-order mark, then a declared encoding, then UTF-8 when the text
// starts with '<', else UTF-8 when the bytes are valid UTF-8 and Windows-1252 otherwise),
// decodes to UTF-16 and removes NUL characters.
DecodedDocument DecodeDocument(std::string_view bytes);

// Bytes 0x80-0x9F follow Windows-1252 (its five unassigned bytes map to the same code point),
// the rest is Latin-1.
std::u16string Windows1252ToUtf16(std::string_view bytes);

}  // namespace vantor
