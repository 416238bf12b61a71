#include "profile/single_settings.h"

#include <algorithm>
#include <cstdio>

#include "base/log.h"
#include "profile/check_byte.h"

namespace vantor {
namespace {

struct RateCode {
    std::uint32_t rate;
    std::uint8_t code;
};

constexpr RateCode kRateCodes[] = {{0x1000, 1}, {0x500, 2}, {0x250, 4}, {0x125, 8}};

}  // namespace

std::optional<std::uint8_t> ReportRateCode(std::uint32_t reportRate) {
    for (const RateCode& r : kRateCodes) {
        if (r.rate == reportRate) return r.code;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ReportRateFromCode(std::uint8_t code) {
    for (const RateCode& r : kRateCodes) {
        if (r.code == code) return r.rate;
    }
    return std::nullopt;
}

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
