// The desktops' stores of pointer settings behind ApplyPointerSettings. Each backend compares
// every setting with the store first and writes only those that differ, so applying a profile
// whose values the desktop already holds changes nothing and notifies nobody.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pointer_inputs.h"
#include "platform/pointer_settings.h"

namespace vantor {

class PointerBackend {
  public:
    virtual ~PointerBackend() = default;

    // Writes the settings of `wanted` that differ from the store's current values (or whose
    // current value cannot be read). Returns the names of the keys written, in writing order.
    virtual std::vector<std::string> Apply(const PointerSettings& wanted) = 0;
    // Whether a write of the last Apply was refused by the store (a key the store lacks is
    // skipped, not refused).
    bool Failed() const { return failed_; }

  protected:
    bool failed_ = false;
};

// Pointer speed 1 ... 20 on the -1 ... 1 scale of libinput's pointer speed, the scale both
// GSettings and KDE use: 10, the middle speed, is 0, the desktops' default; 1 is -1 and 20 is 1,
// linear on either side of the middle.
double PointerSpeedToUnit(int speed);

// Two speeds on the -1 ... 1 scale that differ by less than a stored text's rounding are equal.
bool SameUnitSpeed(double a, double b);

// Whether each value of the record is one the desktops can take; a value out of range is
// skipped (with a log line) rather than written.
bool PointerSpeedValid(int speed);            // 1 ... 20
bool DoubleClickTimeValid(int milliseconds);  // 1 ... 5000
bool WheelLinesValid(int lines);              // 1 ... 100 (kOneScreen is checked apart)

// The schema of GNOME's mouse settings.
inline constexpr const char* kGnomeMouseSchema = "org.gnome.desktop.peripherals.mouse";

// GSettings backend on `schemaId` (keys "speed", "accel-profile", "double-click"), or null when
// the schema is not installed. Keys an older schema lacks are skipped.
std::unique_ptr<PointerBackend> MakeGSettingsPointerBackend(
    const char* schemaId = kGnomeMouseSchema);

// Keys changed in KDE configuration files: file name -> group -> key names.
using KdeConfigChanges = std::map<std::string, std::map<std::string, std::vector<std::string>>>;

// Tells the running Plasma session that its files changed: the D-Bus signals its configuration
// watchers and its global settings listen to. Does nothing (with a log line) without a session
// bus.
void NotifyKdeConfigChanged(const KdeConfigChanges& changes);

// KDE Plasma backend on the configuration folder `configDir` (ending with '/'): kcminputrc
// [Mouse] holds pointer speed and acceleration profile as Plasma on X11 reads them, kdeglobals
// [KDE] double-click time and wheel lines. On Wayland Plasma keeps speed and profile per
// device, in kcminputrc [Libinput][<vendor>][<product>][<name>] (ids in decimal): each of
// `pointers` gets them there as well. After writing it calls `notify` with the keys written
// (nothing written, no call).
std::unique_ptr<PointerBackend> MakeKdePointerBackend(
    std::string configDir, std::vector<PointerInput> pointers = {},
    std::function<void(const KdeConfigChanges&)> notify = NotifyKdeConfigChanged);

// Whether $XDG_CURRENT_DESKTOP (a ':'-separated list such as "ubuntu:GNOME") names KDE.
bool IsKdeDesktop(std::string_view currentDesktop);

// The backend of the running desktop: KDE Plasma's files when the desktop is KDE (with the
// present pointer devices of `mice`), else GSettings when GNOME's mouse schema is installed,
// else null.
std::unique_ptr<PointerBackend> DesktopPointerBackend(const MouseIds& mice);

}  // namespace vantor
