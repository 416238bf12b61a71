#include "app/session/window_rules.h"

namespace vantor {
namespace {

constexpr int kNaviHeight = 49;
constexpr int kDefaultNaviWidth = 60;
constexpr int kDefaultNaviGap = 4;

WindowAction HideOrMinimize(const WindowCloseSettings& settings) {
    if (!HasTrayIcon(settings.trayIcon)) return WindowAction::kNothing;
    return settings.trayAvailable ? WindowAction::kHideToTray : WindowAction::kMinimize;
}

}  // namespace

PageId PageOfNaviButton(int naviIndex) {
    switch (naviIndex) {
        case 1:
            return PageId::kPerformance;
        case 2:
            return PageId::kMacro;
        case 3:
            return PageId::kLighting;
        default:
            return PageId::kKeys;
    }
}

int NaviButtonOfPage(PageId page) {
    switch (page) {
        case PageId::kPerformance:
            return 1;
        case PageId::kMacro:
            return 2;
        case PageId::kLighting:
            return 3;
        default:
            return 0;
    }
}

bool MaySwitchPage(bool macroRecording) {
    return !macroRecording;
}

std::array<NaviRect, 4> LayoutNaviButtons(int originX, int originY, int naviWidth, bool showMacro,
                                          bool showLighting) {
    const int width = naviWidth < 1 ? kDefaultNaviWidth : naviWidth;
    const int gap = width == kDefaultNaviWidth ? kDefaultNaviGap : 0;
    std::array<NaviRect, 4> rects{};
    int x = originX;
    // Placement order: navi1, navi2, navi3 (macro editor), navi4.
    for (int i = 0; i < 4; ++i) {
        NaviRect& r = rects[static_cast<std::size_t>(i)];
        r.y = originY;
        r.width = width;
        r.height = kNaviHeight;
        r.shown = (i != 2 || showMacro) && (i != 3 || showLighting);
        if (i == 2 && !showMacro) continue;  // takes no place
        r.x = x;
        x += width + gap;
    }
    return rects;
}

bool HasTrayIcon(int trayIcon) {
    return trayIcon == 1 || trayIcon == 3;
}

int EffectiveTrayIcon(int trayIcon, bool startedWithArguments) {
    return startedWithArguments ? 1 : trayIcon;
}

WindowAction ExitButtonAction(const WindowCloseSettings& settings) {
    if (settings.exitType == 0) return WindowAction::kExit;
    return HideOrMinimize(settings);
}

WindowAction MinimizeButtonAction(const WindowCloseSettings& settings) {
    if (settings.exitType != 0) return WindowAction::kMinimize;
    return HideOrMinimize(settings);
}

bool StartsHidden(bool startedWithArguments, bool trayAvailable) {
    return startedWithArguments && trayAvailable;
}

}  // namespace vantor
