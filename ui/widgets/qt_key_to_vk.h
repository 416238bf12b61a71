// Key events to the virtual-key codes that the key capture and the macro recorder store.
//
// Codes are those of a US keyboard by key position, as the Windows key messages give them,
// with the right-hand modifiers told apart the way the recorder translates them: left Ctrl,
// Shift and Alt give 0x11, 0x10 and 0x12, right Ctrl, Shift and Alt give 0xA3, 0xA1 and
// 0xA5, the Windows keys 0x5B and 0x5C. The key position comes from the native scan code
// (the X keycode, evdev code + 8, on X11 and Wayland); when an event has no known scan
// code the Qt key decides, and a modifier is then taken as the left one.
#pragma once

#include <QtGlobal>
#include <cstdint>

class QKeyEvent;

namespace vantor {

// 0 when the key has no virtual-key code.
std::uint8_t VkFromKeyEvent(const QKeyEvent& event);

// The same from the parts of an event: native scan code, Qt key and whether the key lies
// on the keypad.
std::uint8_t VkFromKey(quint32 nativeScanCode, int qtKey, bool keypad);

}  // namespace vantor
