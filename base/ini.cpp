#include "base/ini.h"

#include <cstdint>

#include "base/file_io.h"
#include "base/text_decoding.h"
#include "base/utf.h"

namespace vantor {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The private-profile reader removes one pair of matching quotes around a value.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return value;
}

// One line of a text: [begin, end) is the content, `next` the start of the following line.
struct LineSpan {
    std::size_t begin;
    std::size_t end;
    std::size_t next;
};

// Lines end at "\r\n", "\n" or a lone "\r".
std::vector<LineSpan> SplitLines(std::string_view text) {
    std::vector<LineSpan> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back({pos, text.size(), text.size()});
            break;
        }
        std::size_t next = end + 1;
        if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

// The section name of a header line, or nothing for other lines: the text up to the line's
// last ']', as Windows reads it, so a name may hold ']' (KDE writes nested groups as
// "[Libinput][1133][49291][Name]"). A '[' without a ']' makes no header: such a line is
// read like any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    std::size_t close = line.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(0, close));
}

// The key of a "key=value" line, or nothing for other lines (comments included).
std::optional<std::string_view> KeyName(std::string_view line) {
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    std::size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return Trim(trimmed.substr(0, eq));
}

std::string_view ValueOf(std::string_view line) {
    return Unquote(Trim(line.substr(line.find('=') + 1)));
}

std::string_view WithoutBom(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return text;
}

// How a file holds its text: 8-bit (UTF-8, with or without its BOM) or, as Windows editors
// save "Unicode", UTF-16 with a byte-order mark.
enum class IniEncoding { k8Bit, kUtf16Le, kUtf16Be };

IniEncoding EncodingOf(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) return IniEncoding::kUtf16Le;
    if (bytes.starts_with("\xFE\xFF")) return IniEncoding::kUtf16Be;
    return IniEncoding::k8Bit;
}

// The file's text as UTF-8.
std::string TextOfBytes(std::string_view bytes, IniEncoding encoding) {
    if (encoding == IniEncoding::k8Bit) return std::string(bytes);
    return Utf16ToUtf8(DecodeDocument(bytes).text);
}

// The bytes that store `text` in the file's encoding (with its byte-order mark).
std::string BytesOfText(const std::string& text, IniEncoding encoding) {
    if (encoding == IniEncoding::k8Bit) return text;
    const bool bigEndian = encoding == IniEncoding::kUtf16Be;
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : Utf8ToUtf16(text)) {
        const char high = static_cast<char>(unit >> 8u);
        const char low = static_cast<char>(unit & 0xFFu);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

std::string_view LineEndingOf(std::string_view text) {
    std::size_t pos = text.find_first_of("\r\n");
    if (pos == std::string_view::npos) return "\n";
    if (text[pos] == '\n') return "\n";
    if (pos + 1 < text.size() && text[pos + 1] == '\n') return "\r\n";
    return "\r";
}

}  // namespace

std::optional<int> ParseProfileInt(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    std::size_t digits = 0;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
        digits = 1;  // the leading 0 already is a number
    }
    std::uint32_t value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            break;
        }
        value = value * base + digit;  // unsigned: wraps like the 32-bit original
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

std::string CutToChars(std::string_view text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0u) == 0x80u;
        if (continuation) continue;
        if (chars == maxChars) return std::string(text.substr(0, i));
        ++chars;
    }
    return std::string(text);
}

IniFile IniFile::Load(const std::string& path, int* error) {
    auto bytes = ReadWholeFile(path, kMaxIniFileBytes, error);
    if (!bytes) return IniFile{};
    const std::string_view raw(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return Parse(TextOfBytes(raw, EncodingOf(raw)));
}

IniFile IniFile::Parse(std::string_view text) {
    text = WithoutBom(text);
    IniFile ini;
    Section* current = nullptr;
    for (const LineSpan& span : SplitLines(text)) {
        std::string_view line = text.substr(span.begin, span.end - span.begin);
        if (auto name = SectionName(line)) {
            ini.sections_.push_back({Lower(*name), {}});
            current = &ini.sections_.back();
        } else if (auto key = KeyName(line); key && current != nullptr) {
            current->entries.push_back({Lower(*key), std::string(ValueOf(line))});
        }
    }
    return ini;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    for (const Section& s : sections_) {
        if (!EqualNoCase(s.name, section)) continue;
        for (const Entry& e : s.entries) {
            if (EqualNoCase(e.key, key)) return e.value;
        }
        return std::nullopt;  // only the first section of a name counts
    }
    return std::nullopt;
}

int IniFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    auto value = Get(section, key);
    if (!value) return defaultValue;
    return ParseProfileInt(*value).value_or(defaultValue);
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue, std::size_t bufferChars) const {
    if (bufferChars == 0) return {};
    auto value = Get(section, key);
    return CutToChars(value ? std::string_view(*value) : defaultValue, bufferChars - 1);
}

bool WriteIniString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value) {
    const std::optional<std::string> bytes = IniWithString(path, section, key, value);
    return bytes && WriteFileAtomic(path, *bytes);
}

std::optional<std::string> IniWithString(const std::string& path, std::string_view section,
                                         std::string_view key, std::string_view value) {
    auto hasBreak = [](std::string_view s) {
        return s.find_first_of("\r\n") != std::string_view::npos;
    };
    if (hasBreak(section) || hasBreak(key) || hasBreak(value)) return std::nullopt;
    if (Trim(section).empty()) return std::nullopt;
    if (Trim(key).empty() || key.find('=') != std::string_view::npos || Trim(key).front() == ';' ||
        Trim(key).front() == '[') {
        return std::nullopt;
    }

    std::string text;
    IniEncoding encoding = IniEncoding::k8Bit;
    if (FileExists(path)) {
        auto bytes = ReadWholeFile(path, kMaxIniFileBytes);
        if (!bytes) return std::nullopt;
        const std::string_view raw(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        encoding = EncodingOf(raw);
        text = TextOfBytes(raw, encoding);
    }
    const std::string eol(LineEndingOf(text));
    const std::string entry = std::string(Trim(key)) + "=" + std::string(value);

    bool inSection = false;
    std::optional<std::size_t> insertAt;  // after the last non-blank line of the section
    bool insertNeedsBreak = false;
    for (const LineSpan& span : SplitLines(text)) {
        std::string_view line = std::string_view(text).substr(span.begin, span.end - span.begin);
        if (auto name = SectionName(line)) {
            if (inSection) break;  // left the section without finding the key
            if (!insertAt && EqualNoCase(*name, Trim(section))) {
                inSection = true;
                insertAt = span.next;
                insertNeedsBreak = span.next == span.end;
            }
            continue;
        }
        if (!inSection) continue;
        if (auto k = KeyName(line); k && EqualNoCase(*k, Trim(key))) {
            text.replace(span.begin, span.end - span.begin, entry);
            return BytesOfText(text, encoding);
        }
        if (!Trim(line).empty()) {
            insertAt = span.next;
            insertNeedsBreak = span.next == span.end;
        }
    }
    if (insertAt) {
        text.insert(*insertAt, insertNeedsBreak ? eol + entry + eol : entry + eol);
    } else {
        if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += eol;
        text += "[" + std::string(Trim(section)) + "]" + eol + entry + eol;
    }
    return BytesOfText(text, encoding);
}

}  // namespace vantor
