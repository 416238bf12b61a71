// Starting the window program at login: the user's XDG autostart entry, a desktop entry in
// $XDG_CONFIG_HOME/autostart (by default ~/.config/autostart) that the desktop session runs.
// The entry starts the program with "--tray"; any argument makes the window start hidden
// in the tray.
#pragma once

#include <string>

namespace vantor {

// The application's reverse-DNS id, which names its desktop entry, icon, AppStream data and
// autostart entry.
const char* ApplicationId();

struct AutostartEntry {
    std::string id;          // file name without ".desktop": the application id
    std::string name;        // the program's name in the session's list of autostart programs
    std::string executable;  // absolute path of the window program
    std::string icon;        // icon theme name
};

// $XDG_CONFIG_HOME/autostart/<id>.desktop; ~/.config/autostart/<id>.desktop when
// XDG_CONFIG_HOME is unset or not an absolute path.
std::string AutostartEntryPath(const std::string& id);

// The desktop entry that starts `entry.executable --tray`, or empty when the executable
// path holds a control character, which an Exec line cannot carry.
std::string AutostartEntryText(const AutostartEntry& entry);

// True when the user's entry exists and is not switched off inside it (Hidden=true or
// X-GNOME-Autostart-enabled=false, as desktop settings tools write).
bool AutostartEnabled(const std::string& id);

// Writes the entry atomically, creating the autostart folder when missing. On failure
// returns false with the errno value in `error` (EINVAL for an executable path the entry
// cannot hold).
bool EnableAutostart(const AutostartEntry& entry, int* error = nullptr);

// Removes the entry; true when there is none afterwards, also when there was none before.
bool DisableAutostart(const std::string& id, int* error = nullptr);

}  // namespace vantor
