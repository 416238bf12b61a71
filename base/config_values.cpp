#include "base/config_values.h"

#include <cstdio>

#include <string>

#include "base/message_sink.h"

namespace vantor {
namespace {

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// One token as strtoul reads it (saturating at 32 bits, "-" negating); nothing when the
// token holds anything besides the number.
std::optional<std::uint32_t> ParseUnsignedToken(std::string_view token, unsigned base) {
    token = TrimSpaces(token);
    bool negative = false;
    if (!token.empty() && (token.front() == '-' || token.front() == '+')) {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    if (base == 16 && token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X'))
        token.remove_prefix(2);
    if (token.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : token) {
        int digit = DigitValue(c);
        if (digit >= static_cast<int>(base)) return std::nullopt;
        value = value * base + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu) value = 0xFFFFFFFFu + std::uint64_t{1};  // saturated, stays big
    }
    auto result = value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
    return negative ? 0u - result : result;
}

// Reads `expected` decimal numbers; nothing when the value holds another count.
std::optional<std::vector<std::uint32_t>> ReadExactly(const IniFile& ini, std::string_view section,
                                                      std::string_view key, std::size_t expected,
                                                      bool* empty) {
    std::string text = ini.GetString(section, key, "", kListValueChars);
    *empty = text.empty();
    if (text.empty()) return std::nullopt;
    auto values = ParseNumberList(text, 10, expected + 1);
    if (values.size() != expected) return std::nullopt;
    return values;
}

}  // namespace

std::vector<std::uint32_t> ParseNumberList(std::string_view text, unsigned base, std::size_t max) {
    std::vector<std::uint32_t> values;
    while (values.size() < max) {
        std::size_t comma = text.find(',');
        auto value = ParseUnsignedToken(text.substr(0, comma), base);
        if (!value) break;
        values.push_back(*value);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return values;
}

std::vector<std::uint32_t> ReadList(const IniFile& ini, std::string_view section,
                                    std::string_view key, unsigned base, std::size_t max,
                                    std::size_t bufferChars) {
    return ParseNumberList(ini.GetString(section, key, "", bufferChars), base, max);
}

std::vector<std::uint8_t> ReadByteList(const IniFile& ini, std::string_view section,
                                       std::string_view key, std::size_t max) {
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t value : ReadList(ini, section, key, 10, max, kByteListValueChars)) {
        bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    }
    return bytes;
}

std::uint32_t ReadColour(const IniFile& ini, std::string_view section, std::string_view key,
                         std::uint32_t defaultValue) {
    if (ini.GetString(section, key, "", kByteListValueChars).empty()) return defaultValue;
    std::uint8_t rgb[3] = {0, 0, 0};
    auto bytes = ReadByteList(ini, section, key, 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) rgb[i] = bytes[i];
    return Rgb(rgb[0], rgb[1], rgb[2]);
}

Point ReadPoint(const IniFile& ini, std::string_view section, std::string_view key,
                Point defaultValue) {
    bool empty = false;
    auto values = ReadExactly(ini, section, key, 2, &empty);
    if (!values) {
        if (!empty) ShowSystemMessage("Wrong POINT num", "Error");
        return defaultValue;
    }
    return {static_cast<int>((*values)[0]), static_cast<int>((*values)[1])};
}

Rect ReadRect(const IniFile& ini, std::string_view section, std::string_view key,
              Rect defaultValue) {
    bool empty = false;
    auto values = ReadExactly(ini, section, key, 4, &empty);
    if (!values) {
        if (!empty) ShowSystemMessage("Wrong rect num", "Error");
        return defaultValue;
    }
    const auto& v = *values;
    return {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
            static_cast<int>(v[3])};
}

std::string ReadTextValue(const IniFile& ini, std::string_view section, std::string_view key,
                          std::size_t n) {
    return ini.GetString(section, key, "", n);
}

std::string FormatColour(std::uint32_t colour) {
    return std::to_string(colour & 0xFF) + "," + std::to_string((colour >> 8) & 0xFF) + "," +
           std::to_string((colour >> 16) & 0xFF);
}

std::string FormatPoint(Point point) {
    return std::to_string(point.x) + "," + std::to_string(point.y);
}

std::string FormatRect(Rect rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

std::string FormatHexList(const std::vector<std::uint32_t>& values) {
    std::string text;
    char buffer[16];
    for (std::uint32_t value : values) {
        std::snprintf(buffer, sizeof buffer, "%s%X", text.empty() ? "" : ",", value);
        text += buffer;
    }
    return text;
}

}  // namespace vantor
