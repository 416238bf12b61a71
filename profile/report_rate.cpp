#include "profile/report_rate.h"

namespace vantor {

std::optional<std::uint8_t> ReportRateCode(std::uint32_t reportRate) {
    for (const ReportRate& r : kReportRates) {
        if (r.record == reportRate) return r.code;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ReportRateFromCode(std::uint64_t code) {
    for (const ReportRate& r : kReportRates) {
        if (r.code == code) return r.record;
    }
    return std::nullopt;
}

std::optional<int> ReportRateHz(std::uint32_t reportRate) {
    for (const ReportRate& r : kReportRates) {
        if (r.record == reportRate) return r.hz;
    }
    return std::nullopt;
}

}  // namespace vantor
