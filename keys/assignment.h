// What a mouse button shows and how a new function gets onto it: the label of an assigned
// function, the rules that keep a left click and the functions held in all key sets, and
// assignment from a menu choice with the windows it opens.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "keys/key_assignment.h"

namespace vantor {

class MacroList;

constexpr int kKeySetCount = 3;
constexpr int kKeyButtonCount = 16;

using KeySet = KeyAssignment[kKeyButtonCount];
using KeySets = KeyAssignment[kKeySetCount][kKeyButtonCount];

// What the labels and assignments need from the configuration and the macro library.
struct KeyContext {
    std::uint32_t comboName1 = 0;           // OPT ComboName1: modifiers | key1 << 8 | key2 << 16
    std::uint32_t comboName2 = 0;           // OPT ComboName2
    std::array<std::uint32_t, 3> exKeys{};  // ExKey1..3 of the device section; 0 = none
    // DPI of step `step` of the current sensor, -1 when the sensor has no such step.
    std::function<int(std::uint32_t step)> dpiAtStep;
    const KeySets* defaultKeys = nullptr;  // the device's default records, all key sets
    const MacroList* macros = nullptr;
};

// Rapid fire: shots (bits 0-7 of the parameter) and interval (bits 8-15).
struct FireSetting {
    std::uint8_t shots = 3;
    std::uint8_t interval = 10;
};

// The windows an assignment may open. Each returns nothing when the user cancels.
class AssignmentUi {
  public:
    virtual ~AssignmentUi() = default;
    virtual std::optional<std::uint32_t> PickMacro() = 0;
    // Modifier byte and key codes 1-3.
    virtual std::optional<std::array<std::uint8_t, 4>> CaptureKeys(const std::string& tip) = 0;
    virtual std::optional<FireSetting> EditFireKey(const FireSetting& preset) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
};

// The label of a button's function; empty when it has none (unknown codes, a combination
// without keys), which makes the button page fall back to the default record.
std::string AssignmentLabel(const KeyAssignment& key, const KeyContext& context);

// True when a button of the key set other than `button` holds KF_LEFT_CLICK.
bool HasOtherLeftClick(const KeySet& keySet, int button);

// The record a menu choice makes, opening the macro picker, key capture or fire-key window
// as the function needs. Nothing when the user cancels or the extra key is not configured
// ("Wrong Ex Key Index" is shown). `current` is the button's record (presets the fire key).
// The matrix index is left 0; AssignKey fills it.
std::optional<KeyAssignment> AssignmentFromMenu(std::uint32_t menuValue,
                                                const KeyAssignment& current,
                                                const KeyContext& context, AssignmentUi& ui);

// Puts `record` on button `button` of key set `keySet`, keeping the button's default matrix
// index. Refused (the tc_msg1 text is shown) when no other button of the key set keeps the
// left click. Writes KF_ALL_KEY_SETS into all key sets; replacing it resets the button in
// all key sets to its defaults first. False when nothing changed.
[[nodiscard]] bool AssignKey(KeySets& keys, int keySet, int button, const KeyAssignment& record,
                             const KeyContext& context, AssignmentUi& ui);

// AssignmentFromMenu followed by AssignKey.
[[nodiscard]] bool AssignFromMenu(KeySets& keys, int keySet, int button, std::uint32_t menuValue,
                                  const KeyContext& context, AssignmentUi& ui);

}  // namespace vantor
