#include "ui/popups/logic/key_capture.h"

#include <chrono>

#include "keys/combo_text.h"

namespace vantor {
namespace {

// Modifier groups: left and right bit of Ctrl, Shift, Alt and Win.
constexpr std::array<std::uint8_t, 4> kModifierGroups = {0x11, 0x22, 0x44, 0x88};

std::uint64_t SteadyMilliseconds() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::uint8_t GroupOf(std::uint8_t bit) {
    for (std::uint8_t group : kModifierGroups) {
        if ((group & bit) != 0) return group;
    }
    return 0;
}

}  // namespace

int KeyCombination::Parts() const {
    int parts = 0;
    for (std::uint8_t key : keys) parts += key != 0 ? 1 : 0;
    for (std::uint8_t group : kModifierGroups) parts += (modifiers & group) != 0 ? 1 : 0;
    return parts;
}

std::uint8_t ModifierBitOfKey(std::uint8_t code) {
    switch (code) {
        case 0x10:  // Shift
        case 0xA0:  // left Shift
            return kLeftShiftBit;
        case 0x11:  // Ctrl
        case 0xA2:  // left Ctrl
            return kLeftCtrlBit;
        case 0x12:  // Alt
        case 0xA4:  // left Alt
            return kLeftAltBit;
        case 0x5B:  // left Win
            return kLeftWinBit;
        case 0x5C:  // right Win
            return 0x80;
        case 0xA1:  // right Shift
            return 0x20;
        case 0xA3:  // right Ctrl
            return 0x10;
        case 0xA5:  // right Alt
            return 0x40;
        default:
            return 0;
    }
}

std::uint8_t ModifiersFromToggles(bool ctrl, bool shift, bool alt, bool win) {
    return static_cast<std::uint8_t>((ctrl ? kLeftCtrlBit : 0) | (shift ? kLeftShiftBit : 0) |
                                     (alt ? kLeftAltBit : 0) | (win ? kLeftWinBit : 0));
}

KeyCapture::KeyCapture(bool singleKey, bool modifierToggles, Clock clock)
    : singleKey_(singleKey),
      modifierToggles_(modifierToggles),
      clock_(clock ? std::move(clock) : Clock(SteadyMilliseconds)) {}

void KeyCapture::CaptureKey(std::uint8_t code, bool up) {
    const std::pair<std::uint8_t, bool> message{code, up};
    if (previous_ == message) return;  // auto-repeat of a held key
    previous_ = message;
    if (up) return;

    const std::uint8_t modifierBit = ModifierBitOfKey(code);
    if (modifierBit != 0 && modifierToggles_) return;  // the toggles give the modifiers

    if (combination_.Parts() > 2) {
        Clear();
    } else if (modifierBit != 0) {
        if ((combination_.modifiers & GroupOf(modifierBit)) != 0) Clear();
    } else if (combination_.keys[2] != 0) {
        Clear();
    }

    const std::uint64_t now = clock_();
    if (singleKey_ || (lastPressMs_ && now - *lastPressMs_ >= kCaptureRestartMs)) Clear();
    lastPressMs_ = now;
    Add(code);
}

void KeyCapture::Add(std::uint8_t code) {
    if (const std::uint8_t bit = ModifierBitOfKey(code); bit != 0) {
        combination_.modifiers |= bit;
        return;
    }
    for (std::uint8_t key : combination_.keys) {
        if (key == code) return;
    }
    for (std::uint8_t& key : combination_.keys) {
        if (key == 0) {
            key = code;
            return;
        }
    }
}

std::string KeyCapture::Text() const {
    const KeyCombination& c = combination_;
    return ComboCaptureText(c.modifiers, c.keys[0], c.keys[1], c.keys[2]);
}

std::optional<KeyCombination> KeyCapture::Confirm(std::uint8_t toggleModifiers) const {
    KeyCombination result = combination_;
    if (modifierToggles_) result.modifiers = toggleModifiers;
    if (result.Parts() > 3) return std::nullopt;
    return result;
}

}  // namespace vantor
