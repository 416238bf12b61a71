// The tray menu's "start at login" switch: a checkable action that writes or removes the
// user's autostart entry for the window program and shows whether one is in place each
// time the menu opens (the desktop's own settings may have changed it meanwhile).
#pragma once

#include <string>

class QAction;
class QMenu;

namespace vantor {

// Adds the switch to `menu`. `programName` names the entry in the session's list of
// autostart programs. The action's text is set by RefreshAutostartText.
QAction* AddAutostartAction(QMenu* menu, const std::string& programName);
void RefreshAutostartText(QAction* action);

}  // namespace vantor
