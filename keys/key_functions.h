// The key function ids a mouse button can hold. A function id (`dwFunID`) carries the
// function class in bits 24-31 and the function code in bits 0-23.
#pragma once

#include <cstdint>

namespace vantor {

// Function classes.
constexpr std::uint32_t KFC_MOUSE = 0x01;
constexpr std::uint32_t KFC_KEYBOARD = 0x02;
constexpr std::uint32_t KFC_APPKEY = 0x03;
constexpr std::uint32_t KFC_MEDIA = 0x04;
constexpr std::uint32_t KFC_MACRO = 0x05;
constexpr std::uint32_t KFC_SPECIAL = 0x08;
constexpr std::uint32_t KFC_EXKEY = 0x0B;

constexpr std::uint32_t FunctionClassOf(std::uint32_t funId) {
    return funId >> 24;
}
constexpr std::uint32_t FunctionCodeOf(std::uint32_t funId) {
    return funId & 0x00FFFFFFu;
}

// Mouse functions.
constexpr std::uint32_t KF_LEFT_CLICK = 0x01000011;
constexpr std::uint32_t KF_MIDDLE_CLICK = 0x01000012;
constexpr std::uint32_t KF_RIGHT_CLICK = 0x01000013;
constexpr std::uint32_t KF_FORWARD = 0x01000014;
constexpr std::uint32_t KF_BACK = 0x01000015;
constexpr std::uint32_t KF_DOUBLE_CLICK = 0x01000016;
constexpr std::uint32_t KF_TRIPLE_CLICK = 0x01000017;
constexpr std::uint32_t KF_RIGHT_DOUBLE_CLICK = 0x01000018;

// Keyboard keys and combinations (the keys are held in `stCombo`).
constexpr std::uint32_t KF_KEY = 0x020000A0;
constexpr std::uint32_t KF_KEY_COMBO = 0x020000A1;
constexpr std::uint32_t KF_KEY_FROM_DEVICE = 0x02000000;

// Application keys (HID consumer page).
constexpr std::uint32_t KF_APP_MAIL = 0x03000030;
constexpr std::uint32_t KF_APP_CALCULATOR = 0x03000031;
constexpr std::uint32_t KF_APP_EXPLORER = 0x03000032;
constexpr std::uint32_t KF_APP_SEARCH = 0x03000033;
constexpr std::uint32_t KF_APP_HOME = 0x03000034;
constexpr std::uint32_t KF_APP_BACK = 0x03000035;
constexpr std::uint32_t KF_APP_FORWARD = 0x03000036;
constexpr std::uint32_t KF_APP_STOP = 0x03000037;
constexpr std::uint32_t KF_APP_REFRESH = 0x03000038;
constexpr std::uint32_t KF_APP_FAVORITES = 0x03000039;

// Multimedia keys (HID consumer page).
constexpr std::uint32_t KF_MEDIA_SELECT = 0x04000021;
constexpr std::uint32_t KF_MEDIA_PLAY_PAUSE = 0x04000022;
constexpr std::uint32_t KF_MEDIA_STOP = 0x04000023;
constexpr std::uint32_t KF_MEDIA_PREV = 0x04000024;
constexpr std::uint32_t KF_MEDIA_NEXT = 0x04000025;
constexpr std::uint32_t KF_VOLUME_UP = 0x04000026;
constexpr std::uint32_t KF_VOLUME_DOWN = 0x04000027;
constexpr std::uint32_t KF_MUTE = 0x04000028;

// Macro (the macro is named by `dwMacroID`).
constexpr std::uint32_t KF_MACRO = 0x05000000;

// Device functions.
constexpr std::uint32_t KF_DISABLE = 0x080000A2;
constexpr std::uint32_t KF_SHIFT = 0x080000A3;
constexpr std::uint32_t KF_FIRE = 0x080000A4;
constexpr std::uint32_t KF_DPI_LOCK = 0x080000A6;
constexpr std::uint32_t KF_LED_TOGGLE = 0x080000A7;
constexpr std::uint32_t KF_DPI_UP = 0x080000A8;
constexpr std::uint32_t KF_DPI_DOWN = 0x080000A9;
constexpr std::uint32_t KF_DPI_CYCLE = 0x080000AA;
constexpr std::uint32_t KF_ALL_KEY_SETS = 0x080000AB;
constexpr std::uint32_t KF_REPORT_RATE = 0x080000AC;
constexpr std::uint32_t KF_CUSTOM = 0x080000AD;
constexpr std::uint32_t KF_LED_SWITCH = 0x080000AE;
constexpr std::uint32_t KF_PROFILE_SWITCH = 0x080000B0;

// Extra keys configured per device model: KF_EXKEY + j for j = 0-2.
constexpr std::uint32_t KF_EXKEY = 0x0B000000;
constexpr int kExKeyCount = 3;

// Rapid fire parameter: bits 0-7 shots, bits 8-15 interval.
constexpr std::uint32_t kDefaultFireParameter = 0x0A03;

// Modifier bits of `stCombo` byte 0 (the HID keyboard modifier byte).
constexpr std::uint8_t kModLeftCtrl = 0x01;
constexpr std::uint8_t kModLeftShift = 0x02;
constexpr std::uint8_t kModLeftAlt = 0x04;
constexpr std::uint8_t kModLeftWin = 0x08;
constexpr std::uint8_t kModRightCtrl = 0x10;
constexpr std::uint8_t kModRightShift = 0x20;
constexpr std::uint8_t kModRightAlt = 0x40;
constexpr std::uint8_t kModRightWin = 0x80;

// Virtual-key codes that stand for mouse buttons and wheel steps inside macros.
constexpr std::uint8_t kVkMouseLeft = 0xF0;
constexpr std::uint8_t kVkMouseRight = 0xF1;
constexpr std::uint8_t kVkMouseMiddle = 0xF2;
constexpr std::uint8_t kVkMouseForward = 0xF3;
constexpr std::uint8_t kVkMouseBack = 0xF4;
constexpr std::uint8_t kVkWheelUp = 0xF5;
constexpr std::uint8_t kVkWheelDown = 0xF6;

}  // namespace vantor
