// Single settings in device memory: one (value, check) pair each. The report rate is held
// as a code (profile/report_rate.h).
#pragma once

#include <cstdint>

#include "profile/memory_map.h"
#include "profile/report_rate.h"
#include "profile/write_step.h"

namespace vantor {

// The byte a record value is written as: values outside 0-255 are brought to the nearest
// end rather than wrapped, so 256 never reaches the device as 0.
std::uint8_t SettingByte(std::int64_t value);

// One WriteEEPROM of the pair (value, 0x55 - value) at `address`.
MemoryWriteStep WriteSettingPair(memory_map::Address address, std::uint8_t value);

// The report-rate pair at 0x0000; a rate without a code is not written and gives a
// failed-write step.
WriteStep WriteReportRate(std::uint32_t reportRate);

}  // namespace vantor
