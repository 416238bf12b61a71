// vantorctl events [SECONDS]: the events the mouse sends (DPI button, report-rate switch,
// lighting keys, reset), printed as they arrive until the time is up.
#include <chrono>
#include <cstdio>

#include "device/service_thread.h"
#include "profile/report_rate.h"
#include "tools/vantorctl/record_view.h"
#include "tools/vantorctl/session.h"

namespace vantor::cli {
namespace {

constexpr int kDefaultEventSeconds = 10;
constexpr int kMaxEventSeconds = 24 * 3600;

struct EventKind {
    std::intptr_t kind;
    const char* name;
};

constexpr EventKind kEventKinds[] = {
    {kBehaviorDpiLevel, "dpi-level"},
    {kBehaviorReportRate, "report-rate"},
    {kBehaviorReset, "reset"},
    {kBehaviorMainLighting, "main-lighting"},
    {kBehaviorLogoLighting, "logo-lighting"},
    {kBehaviorDpiIndicator, "dpi-indicator"},
};

std::string KindName(std::intptr_t kind) {
    for (const EventKind& entry : kEventKinds) {
        if (entry.kind == kind) return entry.name;
    }
    return "event-" + std::to_string(kind);
}

// The value as a user reads it: DPI levels counted from 1, report rates in Hz.
long long UserValue(std::intptr_t kind, std::uintptr_t value) {
    if (kind == kBehaviorDpiLevel) return static_cast<long long>(value) + 1;
    if (kind == kBehaviorReportRate) {
        if (auto rate = ReportRateFromCode(value)) return ReportRateHz(*rate).value_or(0);
    }
    return static_cast<long long>(value);
}

}  // namespace

int RunEvents(Context& context) {
    long long seconds = kDefaultEventSeconds;
    if (context.args.size() > 1) return UsageError("usage: vantorctl events [SECONDS]");
    if (context.args.size() == 1) {
        const std::optional<long long> number = ParseNumber(context.args[0]);
        if (!number || *number < 0 || *number > kMaxEventSeconds) {
            return UsageError("SECONDS is a number from 0 to " + std::to_string(kMaxEventSeconds));
        }
        seconds = *number;
    }
    CliSession session(context);
    if (int result = ConnectOrClose(session); result != kExitOk) return result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (auto message = session.Messages().WaitFor(WM_DEVICE_BEHAVIOR, deadline)) {
        const std::string name = KindName(message->lParam);
        const long long value = UserValue(message->lParam, message->wParam);
        if (context.options.json) {
            PrintJson(
                Json::Object().Set("event", Json::String(name)).Set("value", Json::Number(value)));
        } else {
            Print(context, name + " " + std::to_string(value));
        }
        std::fflush(stdout);
    }
    return session.Close(kExitOk);
}

}  // namespace vantor::cli
