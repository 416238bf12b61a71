#include "profile/dpi_codec.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <string>

#include "base/log.h"
#include "profile/check_byte.h"
#include "profile/memory_map.h"
#include "profile/sensor_tables.h"

namespace vantor {
namespace {

constexpr std::uint32_t kMaskAll = 255;
constexpr std::uint32_t kSensor3395 = 0x3395;
constexpr std::size_t kBulkChunk = 8;
constexpr std::size_t kSingleChunk = 10;

using EntryQuad = std::array<std::uint8_t, 4>;  // three data bytes and the check byte

int ClampedDpi(std::uint32_t dpi) {
    return static_cast<int>(std::min<std::uint32_t>(dpi, 0x7FFFFFFF));
}

// Code bits 8-9 of an axis; the entry has room for no more.
std::uint8_t HighCodeBits(std::uint16_t code) {
    return static_cast<std::uint8_t>((code >> 8) & 0x03);
}

// Index of the lowest set bit of `mask` below `limit`, or -1.
int LowestLevel(std::uint32_t mask, int limit) {
    if (mask == 0) return -1;
    const int bit = std::countr_zero(mask);
    return bit < limit ? bit : -1;
}

FailedWriteStep Refuse(const char* writer, std::uint32_t mask) {
    char text[96];
    std::snprintf(text, sizeof text, "%s: no entry for mask 0x%x", writer, mask);
    DbgLog("%s", text);
    return FailedWriteStep{text};
}

// Write steps for fixed-size entries: all of them at `base` in chunks of 8, or the one of
// the lowest set bit of `mask`.
template <typename Entry>
WriteSteps WriteEntries(const char* writer, std::uint32_t mask, std::uint16_t base,
                        std::span<const Entry> entries) {
    if (mask == kMaskAll) {
        MemoryWriteStep write{base, {}, kBulkChunk};
        for (const Entry& e : entries) write.bytes.insert(write.bytes.end(), e.begin(), e.end());
        return {write};
    }
    const int index = LowestLevel(mask, static_cast<int>(entries.size()));
    if (index < 0) return {Refuse(writer, mask)};
    const Entry& e = entries[static_cast<std::size_t>(index)];
    const auto address = static_cast<std::uint16_t>(base + e.size() * static_cast<unsigned>(index));
    return {MemoryWriteStep{address, {e.begin(), e.end()}, kSingleChunk}};
}

}  // namespace

DpiEntryFields UnpackDpiEntry(std::span<const std::uint8_t, 4> e) {
    DpiEntryFields f;
    f.xCode = static_cast<std::uint16_t>(((e[2] & 0x0C) << 6) | e[0]);
    f.yCode = static_cast<std::uint16_t>(((e[2] & 0xC0) << 2) | e[1]);
    f.xFlags = static_cast<std::uint8_t>(e[2] & 0x03);
    f.yFlags = static_cast<std::uint8_t>((e[2] >> 4) & 0x03);
    return f;
}

DpiEntryBytes PackDpiEntry(std::uint32_t sensor, std::uint32_t dpiX, std::uint32_t dpiY) {
    std::uint8_t xFlags = 0;
    std::uint8_t yFlags = 0;
    const std::uint16_t xCode = CodeFromDpi(sensor, ClampedDpi(dpiX), &xFlags);
    const std::uint16_t yCode = CodeFromDpi(sensor, ClampedDpi(dpiY), &yFlags);
    unsigned flagsByte = 0;
    if (sensor == kSensor3395) {
        // This sensor's codes need bits 8-9, held beside a single doubling flag per axis.
        const unsigned yHigh = static_cast<unsigned>(HighCodeBits(yCode) << 2) | (yFlags != 0);
        const unsigned xHigh = static_cast<unsigned>(HighCodeBits(xCode) << 2) | (xFlags != 0);
        flagsByte = (yHigh << 4) | xHigh;
    } else {
        // The flag values 17 and 34 of some sensors leave 1 and 2 in each 2-bit field.
        flagsByte = static_cast<unsigned>(xFlags & 0x0F) | static_cast<unsigned>(yFlags << 4);
    }
    DpiEntryBytes entry = {static_cast<std::uint8_t>(xCode & 0xFF),
                           static_cast<std::uint8_t>(yCode & 0xFF),
                           static_cast<std::uint8_t>(flagsByte & 0xFF), 0};
    SealGroup(entry);
    return entry;
}

DpiEntryBytes PackDpiColor(std::uint32_t color) {
    DpiEntryBytes entry = {static_cast<std::uint8_t>(color), static_cast<std::uint8_t>(color >> 8),
                           static_cast<std::uint8_t>(color >> 16), 0};
    SealGroup(entry);
    return entry;
}

std::uint32_t UnpackDpiColor(std::span<const std::uint8_t, 4> e) {
    return e[0] | static_cast<std::uint32_t>(e[1]) << 8 | static_cast<std::uint32_t>(e[2]) << 16;
}

WriteSteps WriteDpi(std::uint32_t mask, std::span<const DpiLevel> levels, std::uint32_t sensor) {
    levels = levels.first(std::min<std::size_t>(levels.size(), memory_map::kDpiLevelSlots));
    std::vector<DpiEntryBytes> entries;
    for (const DpiLevel& level : levels) {
        entries.push_back(PackDpiEntry(sensor, level.dwDpi, level.dwDpiY));
    }
    WriteSteps steps;
    if (mask == kMaskAll) {
        std::vector<std::uint8_t> xCodes;
        std::vector<std::uint8_t> yCodes;
        for (const DpiEntryBytes& e : entries) {
            xCodes.push_back(e[0]);
            yCodes.push_back(e[1]);
        }
        steps.push_back(LogHexStep{"DpiX=", xCodes, 0});
        steps.push_back(LogHexStep{"DpiY=", yCodes, 0});
    }
    const WriteSteps writes =
        WriteEntries<DpiEntryBytes>("WriteDpi", mask, memory_map::kDpiEntries, entries);
    steps.insert(steps.end(), writes.begin(), writes.end());
    return steps;
}

WriteSteps WriteDpiColor(std::uint32_t mask, std::span<const DpiLevel> levels) {
    levels = levels.first(std::min<std::size_t>(levels.size(), memory_map::kDpiLevelSlots));
    std::vector<DpiEntryBytes> entries;
    for (const DpiLevel& level : levels) entries.push_back(PackDpiColor(level.dwColor));
    return WriteEntries<DpiEntryBytes>("WriteDpiColor", mask, memory_map::kDpiColors, entries);
}

WriteSteps WriteKeyMatrix(std::uint32_t mask, std::span<const std::int32_t> codes) {
    codes = codes.first(std::min<std::size_t>(codes.size(), memory_map::kKeySlots));
    std::vector<EntryQuad> entries;
    for (std::int32_t code : codes) {
        const auto c = static_cast<std::uint32_t>(code);
        EntryQuad entry = {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                           static_cast<std::uint8_t>(c >> 16), 0};
        SealGroup(entry);
        entries.push_back(entry);
    }
    return WriteEntries<EntryQuad>("WriteKeyMatrix", mask, memory_map::kKeyMatrix, entries);
}

}  // namespace vantor
