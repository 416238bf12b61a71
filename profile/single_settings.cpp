#include "profile/single_settings.h"

#include <algorithm>
#include <cstdio>

#include "base/log.h"
#include "profile/check_byte.h"

namespace vantor {
std::uint8_t SettingByte(std::int64_t value) {
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(value, 0, 0xFF));
}

MemoryWriteStep WriteSettingPair(memory_map::Address address, std::uint8_t value) {
    const auto pair = SettingPair(value);
    return MemoryWriteStep{address, {pair.begin(), pair.end()}, memory_map::kSettingPairSize};
}

WriteStep WriteReportRate(std::uint32_t reportRate) {
    const std::optional<std::uint8_t> code = ReportRateCode(reportRate);
    if (!code) {
        char text[64];
        std::snprintf(text, sizeof text, "WriteReportRate: unknown rate 0x%x", reportRate);
        DbgLog("%s", text);
        return FailedWriteStep{text};
    }
    return WriteSettingPair(memory_map::kReportRate, *code);
}

}  // namespace vantor
