#include "ui/widgets/qt_key_to_vk.h"

#include <QKeyEvent>
#include <array>
#include <utility>

namespace vantor {
namespace {

// X keycodes are evdev codes + 8.
constexpr quint32 kEvdevOffset = 8;

// Linux evdev code -> virtual-key code for every key that has a fixed position. The keypad
// digit keys are left out: they give digits or navigation keys depending on Num Lock,
// which only the Qt key tells.
constexpr std::pair<std::uint16_t, std::uint8_t> kEvdevToVk[] = {
    {1, 0x1B},  // Esc
    {2, 0x31},   {3, 0x32},   {4, 0x33},   {5, 0x34},   {6, 0x35},   {7, 0x36},
    {8, 0x37},   {9, 0x38},   {10, 0x39},  {11, 0x30},  // 1..9, 0
    {12, 0xBD},                                         // -
    {13, 0xBB},                                         // =
    {14, 0x08},                                         // Backspace
    {15, 0x09},                                         // Tab
    {16, 'Q'},   {17, 'W'},   {18, 'E'},   {19, 'R'},   {20, 'T'},   {21, 'Y'},
    {22, 'U'},   {23, 'I'},   {24, 'O'},   {25, 'P'},   {26, 0xDB},  // [
    {27, 0xDD},                                                      // ]
    {28, 0x0D},                                                      // Enter
    {29, 0x11},                                                      // left Ctrl
    {30, 'A'},   {31, 'S'},   {32, 'D'},   {33, 'F'},   {34, 'G'},   {35, 'H'},
    {36, 'J'},   {37, 'K'},   {38, 'L'},   {39, 0xBA},  // ;
    {40, 0xDE},                                         // '
    {41, 0xC0},                                         // `
    {42, 0x10},                                         // left Shift
    {43, 0xDC},                                         // backslash
    {44, 'Z'},   {45, 'X'},   {46, 'C'},   {47, 'V'},   {48, 'B'},   {49, 'N'},
    {50, 'M'},   {51, 0xBC},  // ,
    {52, 0xBE},               // .
    {53, 0xBF},               // /
    {54, 0xA1},               // right Shift
    {55, 0x6A},               // keypad *
    {56, 0x12},               // left Alt
    {57, 0x20},               // Space
    {58, 0x14},               // Caps Lock
    {59, 0x70},  {60, 0x71},  {61, 0x72},  {62, 0x73},  {63, 0x74},  {64, 0x75},
    {65, 0x76},  {66, 0x77},  {67, 0x78},  {68, 0x79},  // F1..F10
    {69, 0x90},                                         // Num Lock
    {70, 0x91},                                         // Scroll Lock
    {74, 0x6D},                                         // keypad -
    {78, 0x6B},                                         // keypad +
    {86, 0xE2},                                         // the extra key left of Z
    {87, 0x7A},  {88, 0x7B},                            // F11, F12
    {96, 0x0D},                                         // keypad Enter
    {97, 0xA3},                                         // right Ctrl
    {98, 0x6F},                                         // keypad /
    {99, 0x2C},                                         // Print
    {100, 0xA5},                                        // right Alt
    {102, 0x24},                                        // Home
    {103, 0x26},                                        // Up
    {104, 0x21},                                        // Page Up
    {105, 0x25},                                        // Left
    {106, 0x27},                                        // Right
    {107, 0x23},                                        // End
    {108, 0x28},                                        // Down
    {109, 0x22},                                        // Page Down
    {110, 0x2D},                                        // Insert
    {111, 0x2E},                                        // Delete
    {119, 0x13},                                        // Pause
    {125, 0x5B},                                        // left Win
    {126, 0x5C},                                        // right Win
    {127, 0x5D},                                        // Menu
    {183, 0x7C}, {184, 0x7D}, {185, 0x7E}, {186, 0x7F}, {187, 0x80}, {188, 0x81},
    {189, 0x82}, {190, 0x83}, {191, 0x84}, {192, 0x85}, {193, 0x86}, {194, 0x87},  // F13..F24
};

std::uint8_t VkFromScanCode(quint32 scanCode) {
    if (scanCode < kEvdevOffset) return 0;
    const quint32 evdev = scanCode - kEvdevOffset;
    for (const auto& [code, vk] : kEvdevToVk) {
        if (code == evdev) return vk;
    }
    return 0;
}

std::uint8_t KeypadVk(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return static_cast<std::uint8_t>(0x60 + (qtKey - Qt::Key_0));
    }
    switch (qtKey) {
        case Qt::Key_Asterisk:
            return 0x6A;
        case Qt::Key_Plus:
            return 0x6B;
        case Qt::Key_Minus:
            return 0x6D;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return 0x6E;
        case Qt::Key_Slash:
            return 0x6F;
        case Qt::Key_Enter:
            return 0x0D;
        default:
            return 0;  // navigation keys of the keypad: as the main ones
    }
}

// US punctuation by the character on its key, shifted or not.
std::uint8_t PunctuationVk(int qtKey) {
    struct Punct {
        int key;
        std::uint8_t vk;
    };
    static constexpr Punct kTable[] = {
        {Qt::Key_Minus, 0xBD},        {Qt::Key_Underscore, 0xBD},  {Qt::Key_Equal, 0xBB},
        {Qt::Key_Plus, 0xBB},         {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_BraceLeft, 0xDB},
        {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD},  {Qt::Key_Semicolon, 0xBA},
        {Qt::Key_Colon, 0xBA},        {Qt::Key_Apostrophe, 0xDE},  {Qt::Key_QuoteDbl, 0xDE},
        {Qt::Key_QuoteLeft, 0xC0},    {Qt::Key_AsciiTilde, 0xC0},  {Qt::Key_Backslash, 0xDC},
        {Qt::Key_Bar, 0xDC},          {Qt::Key_Comma, 0xBC},       {Qt::Key_Less, 0xBC},
        {Qt::Key_Period, 0xBE},       {Qt::Key_Greater, 0xBE},     {Qt::Key_Slash, 0xBF},
        {Qt::Key_Question, 0xBF},     {Qt::Key_Exclam, 0x31},      {Qt::Key_At, 0x32},
        {Qt::Key_NumberSign, 0x33},   {Qt::Key_Dollar, 0x34},      {Qt::Key_Percent, 0x35},
        {Qt::Key_AsciiCircum, 0x36},  {Qt::Key_Ampersand, 0x37},   {Qt::Key_Asterisk, 0x38},
        {Qt::Key_ParenLeft, 0x39},    {Qt::Key_ParenRight, 0x30},
    };
    for (const Punct& p : kTable) {
        if (p.key == qtKey) return p.vk;
    }
    return 0;
}

std::uint8_t VkFromQtKey(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<std::uint8_t>(qtKey);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<std::uint8_t>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return static_cast<std::uint8_t>(0x70 + (qtKey - Qt::Key_F1));
    }
    switch (qtKey) {
        case Qt::Key_Escape:
            return 0x1B;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 0x09;
        case Qt::Key_Backspace:
            return 0x08;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 0x0D;
        case Qt::Key_Space:
            return 0x20;
        case Qt::Key_Insert:
            return 0x2D;
        case Qt::Key_Delete:
            return 0x2E;
        case Qt::Key_Pause:
            return 0x13;
        case Qt::Key_Print:
            return 0x2C;
        case Qt::Key_Home:
            return 0x24;
        case Qt::Key_End:
            return 0x23;
        case Qt::Key_Left:
            return 0x25;
        case Qt::Key_Up:
            return 0x26;
        case Qt::Key_Right:
            return 0x27;
        case Qt::Key_Down:
            return 0x28;
        case Qt::Key_PageUp:
            return 0x21;
        case Qt::Key_PageDown:
            return 0x22;
        case Qt::Key_Shift:
            return 0x10;
        case Qt::Key_Control:
            return 0x11;
        case Qt::Key_Alt:
            return 0x12;
        case Qt::Key_AltGr:
            return 0xA5;
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
            return 0x5B;
        case Qt::Key_Super_R:
            return 0x5C;
        case Qt::Key_Menu:
            return 0x5D;
        case Qt::Key_CapsLock:
            return 0x14;
        case Qt::Key_NumLock:
            return 0x90;
        case Qt::Key_ScrollLock:
            return 0x91;
        default:
            return PunctuationVk(qtKey);
    }
}

}  // namespace

std::uint8_t VkFromKey(quint32 nativeScanCode, int qtKey, bool keypad) {
    if (const std::uint8_t vk = VkFromScanCode(nativeScanCode); vk != 0) return vk;
    if (keypad) {
        if (const std::uint8_t vk = KeypadVk(qtKey); vk != 0) return vk;
    }
    return VkFromQtKey(qtKey);
}

std::uint8_t VkFromKeyEvent(const QKeyEvent& event) {
    return VkFromKey(event.nativeScanCode(), event.key(),
                     event.modifiers().testFlag(Qt::KeypadModifier));
}

}  // namespace vantor
