#include "keys/key_names.h"

#include <array>
#include <string_view>

#include "base/text_decoding.h"
#include "base/texts.h"
#include "keys/letter_case.h"
#include "platform/key_layout.h"

namespace vantor {
namespace {

// Fixed names indexed by virtual-key code; null where the code has none.
constexpr std::array<const char*, 256> MakeFixedNames() {
    std::array<const char*, 256> names{};
    names[0x08] = "Backspace";
    names[0x09] = "Tab";
    names[0x0C] = "Clr";
    names[0x0D] = "Enter";
    names[0x2B] = "Enter";
    names[0x10] = "Shift";
    names[0x11] = "Ctrl";
    names[0x12] = "Alt";
    names[0x13] = "Pause";
    names[0x14] = "CapsLock";
    names[0x1B] = "Esc";
    names[0x20] = "Space";
    constexpr const char* kNavigation[] = {"PageUp", "PageDown", "End",   "Home",
                                           "Left",   "Up",       "Right", "Down"};
    for (int i = 0; i < 8; ++i) names[0x21 + i] = kNavigation[i];
    names[0x29] = "Select";
    names[0x2A] = "Print";
    names[0x2C] = "PrintScreen";
    names[0x2D] = "Insert";
    names[0x2E] = "Delete";
    names[0x2F] = "Help";
    constexpr const char* kDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (int i = 0; i < 10; ++i) names[0x30 + i] = kDigits[i];
    constexpr const char* kLetters[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                        "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                        "S", "T", "U", "V", "W", "X", "Y", "Z"};
    for (int i = 0; i < 26; ++i) names[0x41 + i] = kLetters[i];
    names[0x5B] = "L_Win";
    names[0x5C] = "R_Win";
    names[0x5D] = "App";
    constexpr const char* kKeypad[] = {"Num 0", "Num 1", "Num 2", "Num 3", "Num 4",
                                       "Num 5", "Num 6", "Num 7", "Num 8", "Num 9"};
    for (int i = 0; i < 10; ++i) names[0x60 + i] = kKeypad[i];
    names[0x6A] = "Num *";
    names[0x6B] = "Num +";
    names[0x6C] = "\\";
    names[0x6D] = "Num -";
    names[0x6E] = "Num .";
    names[0x6F] = "Num /";
    constexpr const char* kFunction[] = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                         "F7", "F8", "F9", "F10", "F11", "F12"};
    for (int i = 0; i < 12; ++i) names[0x70 + i] = kFunction[i];
    names[0x90] = "NumLock";
    names[0x91] = "Scroll Lock";
    constexpr const char* kModifiers[] = {"L_Shift", "R_Shift", "L_Ctrl",
                                          "R_Ctrl",  "L_Alt",   "R_Alt"};
    for (int i = 0; i < 6; ++i) names[0xA0 + i] = kModifiers[i];
    names[0xFF] = "";
    return names;
}

constexpr std::array<const char*, 256> kFixedNames = MakeFixedNames();

// Text keys of the mouse-button codes 0xF0-0xF4: left, right, middle, forward, back.
constexpr std::array<std::string_view, 5> kMouseButtonTexts = {"tc_click", "tc_menu", "tc_middle",
                                                               "tc_forward", "tc_back"};

std::string LayoutName(std::uint8_t vk) {
    const char32_t c = ToUpperLetter(CurrentKeyLayout().CharForVk(vk));
    if (c == 0) return {};
    std::u16string text;
    AppendUtf16(text, c);
    return Utf16ToUtf8(text);
}

}  // namespace

std::string KeyName(std::uint8_t vk) {
    if (kFixedNames[vk] != nullptr) return kFixedNames[vk];
    if (vk >= 0xF0 && vk <= 0xF4) return Text(kMouseButtonTexts[vk - 0xF0]);
    return LayoutName(vk);
}

}  // namespace vantor
