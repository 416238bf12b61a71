// Texts of a key combination: modifier byte (the HID keyboard modifier bits) and up to
// three virtual-key codes (0 = no key). Parts are joined with " + ".
#pragma once

#include <cstdint>
#include <string>

namespace vantor {

// The assignment-label form: one name per modifier kind, left and right together, in the
// order Ctrl, Alt, Shift, Win, then the key names. Ctrl+C is "Ctrl + C".
std::string ComboText(std::uint8_t modifiers, std::uint8_t key1, std::uint8_t key2,
                      std::uint8_t key3);

// The capture-window form: one name per modifier bit, left before right ("L-Ctrl",
// "L-Alt", "L-Shift", "L-Win", "R-Ctrl", ...), then the key names.
std::string ComboCaptureText(std::uint8_t modifiers, std::uint8_t key1, std::uint8_t key2,
                             std::uint8_t key3);

}  // namespace vantor
