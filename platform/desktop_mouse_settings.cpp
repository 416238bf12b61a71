// Opening the desktop's own mouse settings: the launcher entry of the mouse page of KDE's
// System Settings or of GNOME Settings when the desktop has one, else the settings program
// started on its mouse page. The running desktop's own settings come first.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <cstdlib>
#include <vector>

#include "base/log.h"
#include "platform/pointer_backend.h"
#include "platform/pointer_settings.h"

namespace vantor {
namespace {

struct SettingsLauncher {
    const char* desktopId;          // launcher entry of the mouse page
    std::vector<const char*> argv;  // the settings program on its mouse page
};

const SettingsLauncher kKdeLaunchers[] = {
    {"kcm_mouse.desktop", {"systemsettings", "kcm_mouse", nullptr}},
    {nullptr, {"kcmshell6", "kcm_mouse", nullptr}},
    {nullptr, {"kcmshell5", "kcm_mouse", nullptr}},
};
const SettingsLauncher kGnomeLaunchers[] = {
    {"gnome-mouse-panel.desktop", {"gnome-control-center", "mouse", nullptr}},
};

bool LaunchEntry(const char* desktopId) {
    GDesktopAppInfo* info = g_desktop_app_info_new(desktopId);
    if (info == nullptr) return false;
    GError* error = nullptr;
    const bool launched = g_app_info_launch(G_APP_INFO(info), nullptr, nullptr, &error);
    if (!launched) {
        DbgLog("pointer: %s did not start: %s", desktopId, error != nullptr ? error->message : "");
        g_clear_error(&error);
    }
    g_object_unref(info);
    return launched;
}

bool LaunchProgram(const std::vector<const char*>& argv) {
    gchar* path = g_find_program_in_path(argv[0]);
    if (path == nullptr) return false;
    g_free(path);
    GError* error = nullptr;
    const bool launched = g_spawn_async(nullptr, const_cast<gchar**>(argv.data()), nullptr,
                                        G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error);
    if (!launched) {
        DbgLog("pointer: %s did not start: %s", argv[0], error != nullptr ? error->message : "");
        g_clear_error(&error);
    }
    return launched;
}

template <std::size_t N>
bool LaunchAny(const SettingsLauncher (&launchers)[N]) {
    for (const SettingsLauncher& launcher : launchers) {
        if (launcher.desktopId != nullptr && LaunchEntry(launcher.desktopId)) return true;
        if (LaunchProgram(launcher.argv)) return true;
    }
    return false;
}

}  // namespace

bool OpenDesktopMouseSettings() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    const bool kde = IsKdeDesktop(desktop != nullptr ? desktop : "");
    const bool opened = kde ? (LaunchAny(kKdeLaunchers) || LaunchAny(kGnomeLaunchers))
                            : (LaunchAny(kGnomeLaunchers) || LaunchAny(kKdeLaunchers));
    if (!opened) DbgLog("pointer: neither GNOME Settings nor System Settings is installed");
    return opened;
}

}  // namespace vantor
