// The report rates of the mouse in their three forms: the code the device holds (1, 2, 4,
// 8), the record's hex-coded decimal (0x1000, 0x500, 0x250, 0x125) and reports per second.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace vantor {

struct ReportRate {
    std::uint8_t code;
    std::uint32_t record;
    int hz;
};

inline constexpr std::array<ReportRate, 4> kReportRates = {{
    {1, 0x1000, 1000},
    {2, 0x500, 500},
    {4, 0x250, 250},
    {8, 0x125, 125},
}};

// Device code of a record report rate; none for any other value.
std::optional<std::uint8_t> ReportRateCode(std::uint32_t reportRate);
// Record report rate of a device code; none for a code other than 1, 2, 4, 8. Takes the
// full width of an event value, so that 0x101 is not mistaken for code 1.
std::optional<std::uint32_t> ReportRateFromCode(std::uint64_t code);
// Reports per second of a record report rate; none for any other value.
std::optional<int> ReportRateHz(std::uint32_t reportRate);

}  // namespace vantor
