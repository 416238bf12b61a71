// The key-capture rules of the message window's capture mode, free of the toolkit.
//
// The window hands every key press and release to CaptureKey as a virtual-key code (right
// Ctrl, Alt and Shift already translated to 0xA3, 0xA5 and 0xA1). The combination holds a
// modifier byte (one bit per left or right modifier key) and up to three other keys, and
// never more than three parts in all, where each modifier group (Ctrl, Shift, Alt, Win)
// counts as one part:
//  - auto-repeat (the same code and direction as the previous message) is ignored, and
//    releases change nothing else;
//  - a key that would make a fourth part, repeats a modifier group, or comes one second or
//    more after the previous press starts a new combination;
//  - in single-key mode every press starts a new combination;
//  - with the modifier toggles shown, modifier keys are ignored: the toggles give the
//    modifiers when the user confirms.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vantor {

// Modifier bits of the combination (HID keyboard modifier byte).
constexpr std::uint8_t kLeftCtrlBit = 0x01;
constexpr std::uint8_t kLeftShiftBit = 0x02;
constexpr std::uint8_t kLeftAltBit = 0x04;
constexpr std::uint8_t kLeftWinBit = 0x08;

// A new combination starts when this long has passed since the previous press.
constexpr std::uint64_t kCaptureRestartMs = 1000;

struct KeyCombination {
    std::uint8_t modifiers = 0;
    std::array<std::uint8_t, 3> keys{};

    bool operator==(const KeyCombination&) const = default;
    bool IsEmpty() const { return modifiers == 0 && keys == std::array<std::uint8_t, 3>{}; }
    // Held keys plus one per modifier group present.
    int Parts() const;
    // The four result bytes: modifiers, key 1, key 2, key 3.
    std::array<std::uint8_t, 4> Bytes() const { return {modifiers, keys[0], keys[1], keys[2]}; }
};

// The modifier bit of a modifier key (0x10-0x12, 0x5B, 0x5C, 0xA0-0xA5); 0 for other keys.
std::uint8_t ModifierBitOfKey(std::uint8_t code);

// The modifier byte built from the four toggles, each given as on or off.
std::uint8_t ModifiersFromToggles(bool ctrl, bool shift, bool alt, bool win);

class KeyCapture {
  public:
    // Milliseconds of a steady clock.
    using Clock = std::function<std::uint64_t()>;

    KeyCapture(bool singleKey, bool modifierToggles, Clock clock = {});

    // One key message; `up` for a release.
    void CaptureKey(std::uint8_t code, bool up);

    const KeyCombination& Combination() const { return combination_; }
    // The combination as the edit box shows it ("L-Ctrl + C + V").
    std::string Text() const;

    // The result of OK. With the toggles shown the modifier byte is `toggleModifiers`
    // instead of the captured one. Nothing (the window stays open) when the result would
    // have more than three parts.
    std::optional<KeyCombination> Confirm(std::uint8_t toggleModifiers) const;

  private:
    void Clear() { combination_ = {}; }
    void Add(std::uint8_t code);

    bool singleKey_;
    bool modifierToggles_;
    Clock clock_;
    KeyCombination combination_;
    std::optional<std::pair<std::uint8_t, bool>> previous_;
    std::optional<std::uint64_t> lastPressMs_;
};

}  // namespace vantor
