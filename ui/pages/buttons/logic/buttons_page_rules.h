// Rules of the button assignment page without the toolkit: the function menu's items for
// a device model, where the menu opens, where the buttons lie, and the steps of the
// debounce and auto-sleep windows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/config_values.h"
#include "keys/assignment.h"
#include "profile/setting_ranges.h"
#include "ui/widgets/logic/menu_layout.h"

namespace vantor {

// Button index the function menu reports for a profile choice (the id is a dwProfileID).
constexpr int kProfileMenuButton = 255;

// What the function menu offers on the current device model.
struct FunctionMenuSettings {
    bool ledToggle = false;       // ShowRGBSw with main or logo lighting
    bool reportRate = false;      // ShowUsbRate
    bool profileSwitch = false;   // ShowProSw
    bool fireKey = false;         // ShowFireKey
    bool ledSwitch = false;       // a shown button's default (key set 1) is KF_LED_SWITCH
    std::array<int, 3> exKeys{};  // ExKey1..3; the list ends at the first 0
    bool macros = false;          // ShowMacro
    int dpiMenuMask = 0;          // bit 0 DPI up, bit 1 DPI down, bit 2 DPI cycle
    std::uint32_t sensor = 0;     // for the DPI-lock values
};

// True when one of the first `keyCount` default records of key set 1 holds `function`.
bool DefaultsHold(const KeySet& defaultsSet1, int keyCount, std::uint32_t function);

// The items in display order (top-level items have parent kMenuTopLevel; sub-menu items
// name their header's value), texts from the language file.
std::vector<MenuItem> FunctionMenuItems(const FunctionMenuSettings& settings);

// Where the function menu opens for a button at `button` (screen coordinates): widened to
// `menuW` when that is wider, below the button, or above it when `menuItems` rows of 20
// pixels would pass `screenHeight`.
struct MenuPlacement {
    Point topLeft;
    int width = 0;
};
MenuPlacement PlaceFunctionMenu(const Rect& button, int menuW, int menuItems, int screenHeight);

// Button `index` (0-15) of the list starting at `ptKey`, `keyH` pixels apart; doubled in
// the 4K layout except the gap.
Rect KeyButtonRect(Point ptKey, int keyH, int index, bool fourK);
// The number picture beside a button.
Rect KeyNumberRect(const Rect& button, bool fourK);

// Debounce limits come from DebounceRange (DebounceLimitsOf).
using DebounceLimits = StepRange;
// The value after + (nothing at the maximum).
std::optional<int> DebounceUp(int value, const DebounceLimits& limits);
// The value after − (nothing at the minimum); `ask` tells whether the user must confirm
// first (TipForDebounce below 255 and the value at most TipForDebounce).
struct DebounceDown {
    int value = 0;
    bool ask = false;
};
std::optional<DebounceDown> DebounceDownFrom(int value, const DebounceLimits& limits,
                                             int tipForDebounce);
std::string DebounceText(int milliseconds);
// TipForDebounce above 255 is no debounce value (which fits a byte) but the place where the
// button page shows the tc_debounce_tips text instead of asking: x in the low 16 bits, y in
// the high 16 bits, in page coordinates of the normal layout. Nothing for 255 and below.
std::optional<Point> DebounceTipPosition(int tipForDebounce);

// Index of `value` among the steps, or nothing.
std::optional<int> AutoSleepIndexOf(int value);
// "10 s" ... "30 s", then whole minutes "1 m" ... "10 m".
std::string AutoSleepText(int tensOfSeconds);

}  // namespace vantor
