#include "ui/pages/buttons/logic/buttons_page_rules.h"

#include "base/texts.h"
#include "keys/key_functions.h"
#include "profile/sensor_tables.h"

namespace vantor {
namespace {

constexpr int kMenuRowHeight = 20;
constexpr int kKeyButtonWidth = 222;
constexpr int kKeyButtonHeight = 19;
constexpr int kNumberSize = 18;
constexpr int kNumberGap = 8;

constexpr std::uint32_t kMenuDpi = 0x08000000;
constexpr std::uint32_t kMenuMedia = 0x04000000;
constexpr std::uint32_t kMenuDpiLock = KF_DPI_LOCK;

class MenuBuilder {
  public:
    void Add(std::uint32_t value, const std::string& text, std::uint32_t parent = kMenuTopLevel) {
        MenuItem item;
        item.dwParent = parent;
        item.dwValue = value;
        item.szText = text;
        items_.push_back(std::move(item));
    }
    void AddText(std::uint32_t value, const char* key, std::uint32_t parent = kMenuTopLevel) {
        Add(value, Text(key), parent);
    }
    std::vector<MenuItem> Take() { return std::move(items_); }

  private:
    std::vector<MenuItem> items_;
};

std::string TextOr(const char* key, const char* fallback) {
    std::string text = Text(key);
    return text.empty() ? Text(fallback) : text;
}

void AddMediaItems(MenuBuilder& menu) {
    const std::uint32_t p = kMenuMedia;
    menu.AddText(KF_MEDIA_SELECT, "tc_kbmedia_msel", p);
    menu.AddText(KF_MEDIA_PLAY_PAUSE, "tc_PL", p);
    menu.AddText(KF_MEDIA_NEXT, "tc_next_media", p);
    menu.AddText(KF_MEDIA_PREV, "tc_pre_media", p);
    menu.AddText(KF_MEDIA_STOP, "tc_stop", p);
    menu.AddText(KF_MUTE, "tc_mute", p);
    menu.AddText(KF_VOLUME_UP, "tc_vol_up", p);
    menu.AddText(KF_VOLUME_DOWN, "tc_vol_dw", p);
    menu.AddText(KF_APP_MAIL, "tc_kbmedia_mail", p);
    menu.AddText(KF_APP_CALCULATOR, "tc_kbmedia_cal", p);
    menu.AddText(KF_APP_EXPLORER, "tc_kbmedia_explore", p);
    menu.AddText(KF_APP_HOME, "tc_kbmedia_main", p);
    menu.AddText(KF_APP_SEARCH, "tc_kbmedia_search", p);
    menu.Add(KF_APP_FORWARD, TextOr("tc_kbmedia_forward", "tc_forward"), p);
    menu.Add(KF_APP_BACK, TextOr("tc_kbmedia_back", "tc_back"), p);
    if (const std::string stop = Text("tc_kbmedia_stop"); !stop.empty()) {
        menu.Add(KF_APP_STOP, stop, p);
    }
    menu.AddText(KF_APP_REFRESH, "tc_kbmedia_refresh", p);
    menu.AddText(KF_APP_FAVORITES, "tc_kbmedia_favor", p);
}

}  // namespace

bool DefaultsHold(const KeySet& defaultsSet1, int keyCount, std::uint32_t function) {
    for (int i = 0; i < keyCount && i < kKeyButtonCount; ++i) {
        if (defaultsSet1[i].dwFunID == function) return true;
    }
    return false;
}

std::vector<MenuItem> FunctionMenuItems(const FunctionMenuSettings& s) {
    MenuBuilder menu;
    menu.AddText(KF_LEFT_CLICK, "tc_click");
    menu.AddText(KF_RIGHT_CLICK, "tc_menu");
    menu.AddText(KF_MIDDLE_CLICK, "tc_middle");
    menu.AddText(KF_FORWARD, "tc_forward");
    menu.AddText(KF_BACK, "tc_back");
    if (s.ledToggle) menu.AddText(KF_LED_TOGGLE, "tc_rgb");
    if (s.reportRate) menu.AddText(KF_REPORT_RATE, "tc_reportsw");
    if (s.profileSwitch) menu.AddText(KF_PROFILE_SWITCH, "tc_prosw");
    if (s.fireKey) menu.AddText(KF_FIRE, "tc_fire");
    menu.AddText(KF_KEY_COMBO, "tc_combokey");
    if (s.ledSwitch) menu.AddText(KF_LED_SWITCH, "tc_rgbsw");
    menu.AddText(KF_DISABLE, "tc_key_off");
    static constexpr const char* kExTexts[] = {"tc_ex1", "tc_ex2", "tc_ex3"};
    for (std::size_t j = 0; j < s.exKeys.size() && s.exKeys[j] != 0; ++j) {
        menu.AddText(KF_EXKEY + static_cast<std::uint32_t>(j), kExTexts[j]);
    }
    if (s.macros) menu.AddText(KF_MACRO, "tc_mac_def");
    if (s.dpiMenuMask != 0) {
        menu.AddText(kMenuDpi, "tc_dpi");
        if (s.dpiMenuMask & 1) menu.AddText(KF_DPI_UP, "tc_dpiadd", kMenuDpi);
        if (s.dpiMenuMask & 2) menu.AddText(KF_DPI_DOWN, "tc_dpisub", kMenuDpi);
        if (s.dpiMenuMask & 4) menu.AddText(KF_DPI_CYCLE, "tc_dpiloop", kMenuDpi);
    }
    menu.AddText(kMenuMedia, "tc_media");
    AddMediaItems(menu);
    menu.AddText(kMenuDpiLock, "tc_adv_str28");
    for (int dpi = 100; dpi <= 1100; dpi += 100) {
        const int step = DpiStepIndex(s.sensor, dpi);
        if (step < 0) continue;
        menu.Add(kMenuDpiLock + (static_cast<std::uint32_t>(step) << 8), std::to_string(dpi),
                 kMenuDpiLock);
    }
    return menu.Take();
}

MenuPlacement PlaceFunctionMenu(const Rect& button, int menuW, int menuItems, int screenHeight) {
    Rect r = button;
    const int width = r.right - r.left;
    if (menuW != 0 && menuW > width) {
        const int grow = (menuW - width) / 2;
        r.left -= grow;
        r.right += grow;
    }
    MenuPlacement placement;
    placement.topLeft = {r.left, r.bottom};
    const int height = menuItems * kMenuRowHeight;
    if (r.bottom + height > screenHeight) placement.topLeft.y = r.top - height;
    placement.width = r.right - r.left - 4;
    return placement;
}

Rect KeyButtonRect(Point ptKey, int keyH, int index, bool fourK) {
    const int scale = fourK ? 2 : 1;
    const int height = kKeyButtonHeight * scale;
    const int left = ptKey.x * scale;
    const int top = ptKey.y * scale + index * (height + keyH);
    return {left, top, left + kKeyButtonWidth * scale, top + height};
}

Rect KeyNumberRect(const Rect& button, bool fourK) {
    const int scale = fourK ? 2 : 1;
    const int right = button.left - kNumberGap * scale;
    return {right - kNumberSize * scale, button.top, right, button.top + kNumberSize * scale};
}

std::optional<int> DebounceUp(int value, const DebounceLimits& limits) {
    if (value >= limits.maximum) return std::nullopt;
    return value + 1;
}

std::optional<DebounceDown> DebounceDownFrom(int value, const DebounceLimits& limits,
                                             int tipForDebounce) {
    if (value <= limits.minimum) return std::nullopt;
    return DebounceDown{value - 1, tipForDebounce < 255 && value <= tipForDebounce};
}

std::string DebounceText(int milliseconds) {
    return std::to_string(milliseconds) + " ms";
}

std::optional<Point> DebounceTipPosition(int tipForDebounce) {
    if (tipForDebounce <= 255) return std::nullopt;
    const auto packed = static_cast<std::uint32_t>(tipForDebounce);
    return Point{static_cast<int>(packed & 0xFFFF), static_cast<int>(packed >> 16)};
}

std::optional<int> AutoSleepIndexOf(int value) {
    for (std::size_t i = 0; i < kAutoSleepSteps.size(); ++i) {
        if (kAutoSleepSteps[i] == value) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string AutoSleepText(int tensOfSeconds) {
    if (tensOfSeconds < 6) return std::to_string(tensOfSeconds * 10) + " s";
    return std::to_string(tensOfSeconds * 10 / 60) + " m";
}

}  // namespace vantor
