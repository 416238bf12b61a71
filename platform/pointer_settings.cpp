#include "platform/pointer_settings.h"

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <string>

#include "base/log.h"
#include "platform/paths.h"
#include "platform/pointer_backend.h"

namespace vantor {

double PointerSpeedToUnit(int speed) {
    constexpr int kMiddle = 10;
    if (speed < 1) speed = 1;
    if (speed > 20) speed = 20;
    return speed <= kMiddle ? (speed - kMiddle) / 9.0 : (speed - kMiddle) / 10.0;
}

bool SameUnitSpeed(double a, double b) {
    return std::fabs(a - b) < 0.001;
}

bool PointerSpeedValid(int speed) {
    return speed >= 1 && speed <= 20;
}

bool DoubleClickTimeValid(int milliseconds) {
    return milliseconds >= 1 && milliseconds <= 5000;
}

bool WheelLinesValid(int lines) {
    return lines >= 1 && lines <= 100;
}

bool IsKdeDesktop(std::string_view currentDesktop) {
    while (!currentDesktop.empty()) {
        const std::size_t colon = currentDesktop.find(':');
        if (currentDesktop.substr(0, colon) == "KDE") return true;
        if (colon == std::string_view::npos) break;
        currentDesktop.remove_prefix(colon + 1);
    }
    return false;
}

std::unique_ptr<PointerBackend> DesktopPointerBackend(const MouseIds& mice) {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    if (IsKdeDesktop(desktop != nullptr ? desktop : "")) {
        return MakeKdePointerBackend(ConfigHomeDir(), ListPointerInputs(mice));
    }
    return MakeGSettingsPointerBackend();
}

bool ApplyPointerSettings(const PointerSettings& settings, const MouseIds& mice) {
    // One apply at a time: the KDE files are read, compared and rewritten as a whole.
    static std::mutex applying;
    const std::lock_guard<std::mutex> lock(applying);
    std::unique_ptr<PointerBackend> backend = DesktopPointerBackend(mice);
    if (!backend) {
        DbgLog("pointer: this desktop has no pointer settings store, nothing set");
        return true;
    }
    const std::vector<std::string> written = backend->Apply(settings);
    DbgLog("pointer: %zu setting(s) changed", written.size());
    return !backend->Failed();
}

}  // namespace vantor
