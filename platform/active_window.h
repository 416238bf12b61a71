// What names the application whose window is in front, as the window system reports it.
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// Any part may be empty.
struct ActiveApplication {
    std::string desktopId;    // e.g. "org.kde.dolphin"
    std::string windowClass;  // WM_CLASS class (X11) or resource class, e.g. "XTerm"
    std::string instance;     // WM_CLASS instance, e.g. "xterm"
    long pid = 0;             // the process of the window, 0 when unknown
    bool operator==(const ActiveApplication&) const = default;
};

// The name to show for `app`: its desktop id, else its class, else its instance.
inline const std::string& DisplayName(const ActiveApplication& app) {
    if (!app.desktopId.empty()) return app.desktopId;
    return app.windowClass.empty() ? app.instance : app.windowClass;
}

// Where the program learns of the application in front.
enum class ActiveWindowBackend {
    kX11,   // the window manager's active-window property
    kKWin,  // a KWin script that reports over D-Bus (KDE Plasma on Wayland)
    kNone,  // no way without polling (GNOME on Wayland, other Wayland desktops, offscreen)
};

// The backend for the window's platform ("xcb", "wayland", ...) and $XDG_CURRENT_DESKTOP
// (a colon-separated list such as "KDE" or "ubuntu:GNOME").
ActiveWindowBackend ChooseActiveWindowBackend(std::string_view platform,
                                              std::string_view currentDesktop);

}  // namespace vantor
