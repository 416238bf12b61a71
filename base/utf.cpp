#include "base/utf.h"

#include <optional>
#include <utility>

namespace vantor {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Length of the UTF-8 sequence starting at `pos` and its code point, or nothing when the
// sequence is invalid or cut off.
std::optional<std::pair<std::size_t, char32_t>> DecodeUtf8At(std::string_view bytes,
                                                             std::size_t pos) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    if (lead < 0x80) return std::make_pair(std::size_t{1}, char32_t{lead});
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1Fu;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0Fu;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (bytes.size() - pos < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[pos + i]);
        if ((next & 0xC0u) != 0x80u) return std::nullopt;
        value = (value << 6) | (next & 0x3Fu);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    return std::make_pair(length, value);
}

void AppendUtf8(std::string& out, char32_t value) {
    if (value < 0x80) {
        out.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (value >> 6)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (value >> 12)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (value >> 18)));
        out.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
}

}  // namespace

void AppendUtf16(std::u16string& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    const char32_t offset = codePoint - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto decoded = DecodeUtf8At(bytes, pos);
        if (!decoded) return false;
        pos += decoded->first;
    }
    return true;
}

std::u16string Utf8ToUtf16(std::string_view bytes, std::size_t maxUnits) {
    std::u16string text;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        char32_t codePoint = kReplacement;
        std::size_t length = 1;
        if (const auto decoded = DecodeUtf8At(bytes, pos)) {
            codePoint = decoded->second;
            length = decoded->first;
        }
        if (text.size() + (codePoint >= 0x10000 ? 2 : 1) > maxUnits) break;
        AppendUtf16(text, codePoint);
        pos += length;
    }
    return text;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t value = text[i];
        if (value >= 0xD800 && value <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            value = 0x10000 + ((value - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (value >= 0xD800 && value <= 0xDFFF) {
            value = kReplacement;
        }
        AppendUtf8(out, value);
    }
    return out;
}

std::string Utf16FieldToUtf8(std::span<const char16_t> units) {
    std::size_t length = 0;
    while (length < units.size() && units[length] != 0) ++length;
    return Utf16ToUtf8(std::u16string_view(units.data(), length));
}

}  // namespace vantor
