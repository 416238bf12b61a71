// The names under which keys are shown (combination labels, capture window, macro events).
#pragma once

#include <cstdint>
#include <string>

namespace vantor {

// Name of a virtual-key code: a fixed name for the named keys, the language texts of the
// mouse buttons for 0xF0-0xF4, empty for 0xFF, and for any other key the character that
// the keyboard layout gives it with no modifier held (upper-cased when it is a lower-case
// letter; empty when the key gives none).
std::string KeyName(std::uint8_t vk);

}  // namespace vantor
