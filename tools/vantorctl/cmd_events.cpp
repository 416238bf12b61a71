// vantorctl events [SECONDS]: the events the mouse sends (DPI button, report-rate switch,
// lighting keys, reset), printed as they arrive until the time is up, and the receiver
// being unplugged and plugged in again. A mouse that is still gone when the time is up
// makes the run fail.
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include "app/config/config.h"
#include "device/service_thread.h"
#include "profile/report_rate.h"
#include "tools/vantorctl/record_view.h"
#include "tools/vantorctl/session.h"

namespace vantor::cli {
namespace {

constexpr int kDefaultEventSeconds = 10;
// Posted into the session's queue by the device watch; outside the window messages.
constexpr std::uint32_t kMouseRemoved = 0xBF01;
constexpr std::uint32_t kMouseArrived = 0xBF02;
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

void PrintEvent(const Context& context, const std::string& name, std::optional<long long> value) {
    if (context.options.json) {
        Json event = Json::Object().Set("event", Json::String(name));
        if (value) event.Set("value", Json::Number(*value));
        PrintJson(event);
    } else {
        Print(context, value ? name + " " + std::to_string(*value) : name);
    }
    std::fflush(stdout);
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
    if (int result = session.OpenBackend(); result != kExitOk) return result;
    // Watched from before the mouse is found, so that no unplug goes unseen. Every
    // interface of the receiver reports; one event is printed per unplug and plug.
    const std::uint16_t vendor = Options().VID;
    MessageQueue& queue = session.Messages();
    const std::unique_ptr<HidBackend::Monitor> watch =
        session.Backend().WatchDeviceChanges([vendor, &queue](const HidDeviceChange& change) {
            if (change.vendorId != vendor) return;
            queue.Post(change.arrived ? kMouseArrived : kMouseRemoved, 0, 0);
        });
    if (int result = ConnectOrClose(session); result != kExitOk) return result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    bool gone = false;
    while (auto message = queue.WaitFor(std::nullopt, deadline)) {
        if (message->message == WM_DEVICE_BEHAVIOR) {
            PrintEvent(context, KindName(message->lParam),
                       UserValue(message->lParam, message->wParam));
        } else if (message->message == kMouseRemoved && !gone) {
            gone = true;
            PrintEvent(context, "unplugged", std::nullopt);
        } else if (message->message == kMouseArrived && gone) {
            gone = false;
            PrintEvent(context, "plugged", std::nullopt);
        }
    }
    if (gone) {
        return session.Close(Failure("the mouse was unplugged and did not come back within " +
                                     std::to_string(seconds) + " s"));
    }
    return session.Close(kExitOk);
}

}  // namespace vantor::cli
