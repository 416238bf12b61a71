// Single settings in device memory: one (value, check) pair each. The report rate is held
// as a code (1 = 1000, 2 = 500, 4 = 250, 8 = 125 reports per second) while the record
// keeps it as hex-coded decimal (0x1000, 0x500, 0x250, 0x125).
#pragma once

#include <cstdint>
#include <optional>

#include "profile/memory_map.h"
#include "profile/write_step.h"

namespace vantor {

// Device code of a record report rate; none for any other value.
std::optional<std::uint8_t> ReportRateCode(std::uint32_t reportRate);
// Record report rate of a device code; none for a code other than 1, 2, 4, 8.
std::optional<std::uint32_t> ReportRateFromCode(std::uint8_t code);

// The byte a record value is written as: values outside 0-255 are brought to the nearest
// end rather than wrapped, so 256 never reaches the device as 0.
std::uint8_t SettingByte(std::int64_t value);

// One WriteEEPROM of the pair (value, 0x55 - value) at `address`.
MemoryWriteStep WriteSettingPair(memory_map::Address address, std::uint8_t value);

// The report-rate pair at 0x0000; a rate without a code is not written and gives a
// failed-write step.
WriteStep WriteReportRate(std::uint32_t reportRate);

}  // namespace vantor
