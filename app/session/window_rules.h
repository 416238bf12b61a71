// Decisions of the main window that need no toolkit: which page a navigation button shows
// and whether a switch is allowed, where the navigation buttons sit, what the exit and
// minimise buttons do, whether the tray icon is added and whether the window starts hidden.
#pragma once

#include <array>

namespace vantor {

// Pages of the main window, numbered as the page switch takes them.
enum class PageId : int { kKeys = 1, kMacro = 2, kPerformance = 3, kLighting = 4 };
constexpr int kPageCount = 4;

// navi1 shows the button page, navi2 the performance page, navi3 the macro editor and
// navi4 the lighting page. `naviIndex` is 0-based.
PageId PageOfNaviButton(int naviIndex);
int NaviButtonOfPage(PageId page);

// A page switch is refused while the macro editor records (the editor stays in front).
bool MaySwitchPage(bool macroRecording);

struct NaviRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool shown = false;
};

// Navigation buttons from the left at `origin`: 49 high, `naviWidth` wide (60 when below
// 1) with 4 pixels between them only at the default width. navi3 is left out without the
// macro editor, navi4 is hidden when the device shows no lighting. Indexed navi1..navi4.
std::array<NaviRect, 4> LayoutNaviButtons(int originX, int originY, int naviWidth, bool showMacro,
                                          bool showLighting);

// What the exit and minimise buttons do with the window.
enum class WindowAction {
    kNothing,
    kExit,        // hide, then run the exit steps
    kHideToTray,  // hide; the tray icon brings it back
    kMinimize,    // minimise to the task bar
};

struct WindowCloseSettings {
    int exitType = 0;
    int trayIcon = 0;  // 1 or 3: the tray icon is added
    bool trayAvailable = true;
};

bool HasTrayIcon(int trayIcon);
// A start with arguments forces the tray icon, so the hidden window can be brought back.
int EffectiveTrayIcon(int trayIcon, bool startedWithArguments);

// With no tray to hide into, hiding becomes minimising: the window never disappears
// without a way back.
WindowAction ExitButtonAction(const WindowCloseSettings& settings);
WindowAction MinimizeButtonAction(const WindowCloseSettings& settings);

// A start with arguments keeps the window hidden, unless there is no tray to show it from.
bool StartsHidden(bool startedWithArguments, bool trayAvailable);

}  // namespace vantor
