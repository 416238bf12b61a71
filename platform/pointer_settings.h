// The desktop's pointer settings a profile carries: pointer speed, enhanced pointer precision
// (acceleration), double-click time, wheel scroll lines and pointer trails. They are applied to
// the running desktop, never to the mouse: GSettings (org.gnome.desktop.peripherals.mouse) on
// GNOME and the other GSettings desktops, the input settings file on KDE Plasma.
#pragma once

#include "platform/pointer_inputs.h"

namespace vantor {

struct PointerSettings {
    int speed = 10;                // 1 (slowest) ... 20 (fastest)
    bool enhancePrecision = true;  // pointer acceleration on
    int doubleClickMs = 550;       // double-click time in milliseconds
    int wheelLines = 3;  // lines per wheel notch, 1 ... 10; kOneScreen = a screen per notch
    int trails = 0;      // number of trail images, 0 = off

    static constexpr int kOneScreen = -1;

    bool operator==(const PointerSettings&) const = default;
};

// Sets the running desktop to `settings`: each value is compared with the desktop's current one
// and written only when it differs (or when the current one cannot be read). A value the desktop
// has no setting for is skipped with a debug log line, and so is a desktop without a store of
// pointer settings. Where the desktop keeps settings per device (KDE Plasma on Wayland), the
// present pointers of `mice` get them. False when the store refused a write (logged).
[[nodiscard]] bool ApplyPointerSettings(const PointerSettings& settings, const MouseIds& mice);

// Opens the desktop's own mouse settings (GNOME Settings' mouse panel or KDE System Settings'
// mouse module). Returns false, with a log line, when neither is available.
bool OpenDesktopMouseSettings();

}  // namespace vantor
