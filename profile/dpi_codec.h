// DPI entries and DPI colour entries of device memory, both ways, and the writers that
// turn DPI levels of a record into device-memory write steps.
//
// A DPI entry is four bytes: X code bits 0-7, Y code bits 0-7, a byte with the multiplier
// flags and code bits 8-9 of both axes, and the check byte. Which DPI a code and its flags
// stand for depends on the sensor (sensor_tables.h).
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "profile/profile_record.h"
#include "profile/write_step.h"

namespace vantor {

using DpiEntryBytes = std::array<std::uint8_t, 4>;

struct DpiEntryFields {
    std::uint16_t xCode = 0;
    std::uint16_t yCode = 0;
    std::uint8_t xFlags = 0;  // 2-bit multiplier field
    std::uint8_t yFlags = 0;
};

// Splits an entry: X code = ((b2 & 0x0C) << 6) | b0, Y code = ((b2 & 0xC0) << 2) | b1,
// X flags = b2 & 3, Y flags = (b2 >> 4) & 3.
DpiEntryFields UnpackDpiEntry(std::span<const std::uint8_t, 4> entry);

// The entry of one level for `sensor`, check byte included.
DpiEntryBytes PackDpiEntry(std::uint32_t sensor, std::uint32_t dpiX, std::uint32_t dpiY);

// A colour entry: red, green, blue (colour bits 0-7, 8-15, 16-23), check.
DpiEntryBytes PackDpiColor(std::uint32_t color);
std::uint32_t UnpackDpiColor(std::span<const std::uint8_t, 4> entry);

// Write steps for DPI levels. With `mask` 255 every level of `levels` is written from 0x000C
// (0x002C for colours) in chunks of 8, after "DpiX="/"DpiY=" dumps of the codes for DPI
// entries. Any other mask writes only the level of its lowest set bit (bits 0-7); a mask
// without such a bit, or one that names a level not in `levels`, gives a failed-write
// step. At most eight levels are written.
WriteSteps WriteDpi(std::uint32_t mask, std::span<const DpiLevel> levels, std::uint32_t sensor);
WriteSteps WriteDpiColor(std::uint32_t mask, std::span<const DpiLevel> levels);

// Write steps for key matrix codes (24 bits each; -1 is written as FF FF FF). With `mask`
// 255 all `codes` (at most 16) are written from 0x0060 in chunks of 8; otherwise only the
// entry of the lowest set bit (0-15).
WriteSteps WriteKeyMatrix(std::uint32_t mask, std::span<const std::int32_t> codes);

}  // namespace vantor
