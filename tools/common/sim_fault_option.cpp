#include "tools/common/sim_fault_option.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "tools/common/simulated_mouse.h"

namespace vantor {
namespace {

constexpr long long kMaxCount = std::numeric_limits<int>::max();

bool TakeCount(const std::string& value, long long min, long long* out) {
    const std::optional<long long> number = ParseNumber(value);
    if (!number || *number < min || *number > kMaxCount) return false;
    *out = *number;
    return true;
}

}  // namespace

const char* SimFaultKinds() {
    return "latency-ms, drop-every, drop-probability, drop-seed, error-every, stray-every, "
           "foreign-every, unplug-after";
}

bool ParseSimFault(const std::string& text, SimFaults* faults, std::string* error) {
    const std::string::size_type equals = text.find('=');
    const std::string kind = text.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : text.substr(equals + 1);
    if (kind == "drop-probability") {
        char* end = nullptr;
        errno = 0;
        const double p = value.empty() ? -1.0 : std::strtod(value.c_str(), &end);
        if (errno != 0 || end == nullptr || *end != '\0' || !(p >= 0.0 && p <= 1.0)) {
            *error = "--sim-fault drop-probability takes a number from 0 to 1";
            return false;
        }
        faults->dropProbability = p;
        return true;
    }
    struct CountKind {
        const char* name;
        long long min;
    };
    static constexpr CountKind kCounts[] = {
        {"latency-ms", 0},  {"drop-every", 0},    {"drop-seed", 0},    {"error-every", 0},
        {"stray-every", 0}, {"foreign-every", 0}, {"unplug-after", 0},
    };
    for (const CountKind& count : kCounts) {
        if (kind != count.name) continue;
        long long number = 0;
        if (!TakeCount(value, count.min, &number)) {
            *error =
                "--sim-fault " + kind + " takes a number from 0 to " + std::to_string(kMaxCount);
            return false;
        }
        const auto n = static_cast<unsigned>(number);
        if (kind == "latency-ms") faults->replyLatencyMs = static_cast<int>(number);
        if (kind == "drop-every") faults->dropEveryNth = n;
        if (kind == "drop-seed") faults->dropSeed = n;
        if (kind == "error-every") faults->errorEveryNth = n;
        if (kind == "stray-every") faults->strayEveryNth = n;
        if (kind == "foreign-every") faults->foreignEveryNth = n;
        if (kind == "unplug-after") faults->unplugAfterCommands = n;
        return true;
    }
    *error = "--sim-fault takes KIND=VALUE with KIND one of " + std::string(SimFaultKinds());
    return false;
}

}  // namespace vantor
