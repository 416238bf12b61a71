// The value forms of cfg.ini: number lists, byte lists, colours, points, rectangles and
// texts, each with the cut lengths and messages the configuration relies on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/ini.h"

namespace vantor {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
    bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
};

// Colours are window-system RGB values: red in bits 0-7, green 8-15, blue 16-23.
constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16;
}

// Buffer sizes, in characters, with which the values are read.
constexpr std::size_t kDefaultValueChars = 260;
constexpr std::size_t kListValueChars = 1024;  // lists keep at most 1023 characters
constexpr std::size_t kByteListValueChars = 512;

// Splits at commas and reads each token as an unsigned number in `base` (10 or 16; a "-"
// wraps, so "-1" gives 0xFFFFFFFF). Reading stops at the first token that is not a number
// alone, and after `max` values.
std::vector<std::uint32_t> ParseNumberList(std::string_view text, unsigned base, std::size_t max);

// list(base, max): the key's value (cut to 1023 characters, or to `bufferChars` - 1) as
// numbers; empty when the key is missing.
std::vector<std::uint32_t> ReadList(const IniFile& ini, std::string_view section,
                                    std::string_view key, unsigned base, std::size_t max,
                                    std::size_t bufferChars = kListValueChars);

// bytes(max): decimal numbers, each cut to a byte (text cut to 511 characters).
std::vector<std::uint8_t> ReadByteList(const IniFile& ini, std::string_view section,
                                       std::string_view key, std::size_t max);

// colour: "R,G,B"; missing components are 0; a missing or empty value gives the default.
std::uint32_t ReadColour(const IniFile& ini, std::string_view section, std::string_view key,
                         std::uint32_t defaultValue);

// point: "x,y"; anything but exactly two numbers shows "Wrong POINT num" and keeps the
// default; a missing or empty value keeps it silently.
Point ReadPoint(const IniFile& ini, std::string_view section, std::string_view key,
                Point defaultValue);

// rect: "left,top,right,bottom"; anything but exactly four numbers shows "Wrong rect num";
// a missing, empty or wrong value gives the default.
Rect ReadRect(const IniFile& ini, std::string_view section, std::string_view key,
              Rect defaultValue);

// text(n): at most n - 1 characters.
std::string ReadTextValue(const IniFile& ini, std::string_view section, std::string_view key,
                          std::size_t n);

// The written forms of values, as a cfg.ini would hold them.
std::string FormatColour(std::uint32_t colour);                       // "R,G,B"
std::string FormatPoint(Point point);                                 // "x,y"
std::string FormatRect(Rect rect);                                    // "left,top,right,bottom"
std::string FormatHexList(const std::vector<std::uint32_t>& values);  // "FA70,FA7B"

// Tables of keys read straight into a record's fields, in table order.
template <typename Record>
struct IntField {
    const char* key;
    int Record::*field;
    int defaultValue;
};

template <typename Record>
struct PointField {
    const char* key;
    Point Record::*field;
    Point defaultValue;
};

template <typename Record, std::size_t N>
void ReadIntFields(const IniFile& ini, std::string_view section,
                   const IntField<Record> (&fields)[N], Record& record) {
    for (const auto& f : fields) record.*(f.field) = ini.GetInt(section, f.key, f.defaultValue);
}

template <typename Record, std::size_t N>
void ReadPointFields(const IniFile& ini, std::string_view section,
                     const PointField<Record> (&fields)[N], Record& record) {
    for (const auto& f : fields) record.*(f.field) = ReadPoint(ini, section, f.key, f.defaultValue);
}

// A key name built from a stem and a number, e.g. "Lang" and 2 give "Lang2".
inline std::string NumberedKey(std::string_view stem, int number) {
    return std::string(stem) + std::to_string(number);
}

}  // namespace vantor
