// Reads a HID report descriptor far enough to describe each top-level collection the way
// the HID class driver's capabilities do: usage page and usage, the longest report of
// each kind, and the first report id.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vantor {

struct HidTopLevelCollection {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    // Longest report of each kind in bytes: its data bits rounded up to bytes, plus one
    // byte for the report id (counted even when the descriptor uses no report ids, so
    // that the lengths equal the capability lengths of the HID class driver); 0 when the
    // collection has no report of that kind.
    std::uint16_t inputReportByteLength = 0;
    std::uint16_t outputReportByteLength = 0;
    std::uint16_t featureReportByteLength = 0;
    // Report id of the collection's first input, output or feature item; 0 without ids.
    std::uint8_t reportId = 0;
};

// The top-level collections in descriptor order, or nothing when the descriptor is
// malformed: an item runs past the end, a report id is 0 or above 255, pop without push,
// too deep nesting, or collections that do not balance. Runs in time linear in the size.
std::optional<std::vector<HidTopLevelCollection>> ParseHidReportDescriptor(
    std::span<const std::uint8_t> descriptor);

}  // namespace vantor
