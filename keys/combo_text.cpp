#include "keys/combo_text.h"

#include <array>

#include "keys/key_names.h"

namespace vantor {
namespace {

struct ModifierName {
    std::uint8_t mask;
    const char* name;
};

constexpr std::array<ModifierName, 4> kLabelModifiers = {{
    {0x11, "Ctrl"},
    {0x44, "Alt"},
    {0x22, "Shift"},
    {0x88, "Win"},
}};

constexpr std::array<ModifierName, 8> kCaptureModifiers = {{
    {0x01, "L-Ctrl"},
    {0x04, "L-Alt"},
    {0x02, "L-Shift"},
    {0x08, "L-Win"},
    {0x10, "R-Ctrl"},
    {0x40, "R-Alt"},
    {0x20, "R-Shift"},
    {0x80, "R-Win"},
}};

void AppendPart(std::string& text, const std::string& part) {
    if (!text.empty()) text += " + ";
    text += part;
}

template <std::size_t N>
std::string JoinCombo(const std::array<ModifierName, N>& modifierNames, std::uint8_t modifiers,
                      std::uint8_t key1, std::uint8_t key2, std::uint8_t key3) {
    std::string text;
    for (const ModifierName& modifier : modifierNames) {
        if ((modifiers & modifier.mask) != 0) AppendPart(text, modifier.name);
    }
    for (std::uint8_t key : {key1, key2, key3}) {
        if (key != 0) AppendPart(text, KeyName(key));
    }
    return text;
}

}  // namespace

std::string ComboText(std::uint8_t modifiers, std::uint8_t key1, std::uint8_t key2,
                      std::uint8_t key3) {
    return JoinCombo(kLabelModifiers, modifiers, key1, key2, key3);
}

std::string ComboCaptureText(std::uint8_t modifiers, std::uint8_t key1, std::uint8_t key2,
                             std::uint8_t key3) {
    return JoinCombo(kCaptureModifiers, modifiers, key1, key2, key3);
}

}  // namespace vantor
