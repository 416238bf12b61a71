#include "base/text_decoding.h"

#include <algorithm>
#include <array>
#include <optional>

namespace vantor {

namespace {

// Windows-1252 for 0x80-0x9F; unassigned bytes keep their own value like the system
// conversion does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

enum class Encoding { kUtf8, kUtf16Le, kUtf16Be, kAnsi };

const char* EncodingName(Encoding encoding) {
    switch (encoding) {
        case Encoding::kUtf8:
            return "UTF-8";
        case Encoding::kUtf16Le:
            return "UTF-16LE";
        case Encoding::kUtf16Be:
            return "UTF-16BE";
        case Encoding::kAnsi:
            break;
    }
    return "ANSI ";
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The value of `name="..."` (or '...', or for charset an unquoted word) inside `tag`.
std::optional<std::string> AttributeValue(std::string_view tag, std::string_view name) {
    std::size_t pos = tag.find(name);
    while (pos != std::string_view::npos) {
        std::size_t at = pos + name.size();
        while (at < tag.size() && IsSpace(tag[at])) ++at;
        if (at < tag.size() && tag[at] == '=') {
            ++at;
            while (at < tag.size() && IsSpace(tag[at])) ++at;
            if (at >= tag.size()) return std::nullopt;
            const char quote = tag[at];
            if (quote == '"' || quote == '\'') {
                const std::size_t close = tag.find(quote, at + 1);
                if (close == std::string_view::npos) return std::nullopt;
                return std::string(tag.substr(at + 1, close - at - 1));
            }
            std::size_t end = at;
            while (end < tag.size() && !IsSpace(tag[end]) && tag[end] != '>' && tag[end] != ';' &&
                   tag[end] != '/') {
                ++end;
            }
            return std::string(tag.substr(at, end - at));
        }
        pos = tag.find(name, pos + 1);
    }
    return std::nullopt;
}

// How far into the file a declaration is looked for.
constexpr std::size_t kDeclarationScanBytes = 64 * 1024;

// The charset of <meta http-equiv="Content-Type" content="...; charset=..."> inside <head>.
std::optional<std::string> HtmlMetaCharset(std::string_view lower) {
    const std::size_t head = lower.find("<head");
    if (head == std::string_view::npos) return std::nullopt;
    const std::size_t headEnd = std::min(lower.find("</head", head), lower.size());
    std::size_t meta = lower.find("<meta", head);
    while (meta != std::string_view::npos && meta < headEnd) {
        const std::size_t close = lower.find('>', meta);
        if (close == std::string_view::npos) return std::nullopt;
        const std::string_view tag = lower.substr(meta, close - meta);
        const auto equiv = AttributeValue(tag, "http-equiv");
        if (equiv && *equiv == "content-type") {
            if (const auto content = AttributeValue(tag, "content")) {
                return AttributeValue(*content, "charset");
            }
        }
        meta = lower.find("<meta", close);
    }
    return std::nullopt;
}

// The declared encoding of 8-bit text: UTF-8 or, for any other single- or multi-byte
// name, the 8-bit fallback. A UTF-16 name cannot be right for text in which it was found
// byte by byte, so it counts as no declaration.
std::optional<Encoding> DeclaredEncoding(std::string_view bytes) {
    const std::string lower = AsciiLower(bytes.substr(0, kDeclarationScanBytes));
    std::optional<std::string> name;
    if (lower.starts_with("<?xml")) {
        const std::size_t end = lower.find("?>");
        if (end != std::string::npos) {
            name = AttributeValue(std::string_view(lower).substr(0, end), "encoding");
        }
    } else {
        name = HtmlMetaCharset(lower);
    }
    if (!name || name->empty()) return std::nullopt;
    if (*name == "utf-8" || *name == "utf8") return Encoding::kUtf8;
    if (name->starts_with("utf-16") || name->starts_with("ucs-2")) return std::nullopt;
    return Encoding::kAnsi;
}

std::u16string Utf16BytesToText(std::string_view bytes, bool bigEndian) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        const unsigned unit = bigEndian ? (first << 8u) | second : (second << 8u) | first;
        text.push_back(static_cast<char16_t>(unit));
    }
    return text;
}

}  // namespace

std::u16string Windows1252ToUtf16(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.push_back(byte >= 0x80 && byte <= 0x9F ? kCp1252High[byte - 0x80u]
                                                    : static_cast<char16_t>(byte));
    }
    return text;
}

DecodedDocument DecodeDocument(std::string_view bytes) {
    DecodedDocument result;
    if (bytes.empty()) {
        result.description = "0 length";
        return result;
    }

    std::optional<Encoding> encoding;
    bool hasBom = false;
    bool usedDetection = false;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        encoding = Encoding::kUtf8;
        bytes.remove_prefix(3);
    } else if (bytes.starts_with("\xFF\xFE")) {
        encoding = Encoding::kUtf16Le;
        bytes.remove_prefix(2);
    } else if (bytes.starts_with("\xFE\xFF")) {
        encoding = Encoding::kUtf16Be;
        bytes.remove_prefix(2);
    }
    hasBom = encoding.has_value();
    if (!encoding) encoding = DeclaredEncoding(bytes);
    if (!encoding && bytes.front() == '<') encoding = Encoding::kUtf8;
    if (!encoding) {
        usedDetection = true;
        encoding = IsValidUtf8(bytes) ? Encoding::kUtf8 : Encoding::kAnsi;
    }

    switch (*encoding) {
        case Encoding::kUtf8:
            result.text = Utf8ToUtf16(bytes);
            break;
        case Encoding::kAnsi:
            result.text = Windows1252ToUtf16(bytes);
            break;
        case Encoding::kUtf16Le:
        case Encoding::kUtf16Be:
            result.text = Utf16BytesToText(bytes, *encoding == Encoding::kUtf16Be);
            break;
    }
    const std::size_t wideChars = result.text.size();
    const auto nulls = std::erase(result.text, u'\0');

    std::string& d = result.description;
    d = EncodingName(*encoding);
    if (hasBom) d += " BOM +";
    if (usedDetection) d += " (used UTF-8 detection)";
    if (*encoding == Encoding::kUtf16Be) d += " endian swap";
    d += " length " + std::to_string(bytes.size()) + " to " + std::to_string(wideChars) +
         " wide chars";
    if (nulls != 0) d += " (" + std::to_string(nulls) + " nulls removed)";
    return result;
}

}  // namespace vantor
