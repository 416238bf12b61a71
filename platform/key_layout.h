// Characters of the keyboard layout for the punctuation keys that have no fixed name.
//
// Virtual-key codes are position based here: the key-event mapping turns native scan codes
// into the codes a US keyboard gives each key position. To name such a key the code is
// mapped back to its US key position and the layout is asked which character that position
// produces with no modifier held. The layout comes from libxkbcommon (XKB_DEFAULT_LAYOUT
// and the other XKB_DEFAULT_* variables, else the library's default rules); when no keymap
// can be compiled, a built-in US table answers.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace vantor {

class KeyLayout {
  public:
    // `layout` is an XKB layout name such as "de"; empty takes the environment's default.
    explicit KeyLayout(const std::string& layout = "");
    ~KeyLayout();
    KeyLayout(const KeyLayout&) = delete;
    KeyLayout& operator=(const KeyLayout&) = delete;

    // False when the keymap could not be compiled and the US table answers.
    bool HasKeymap() const { return keymap_ != nullptr; }

    // The character (UTF-32) of the key with no modifier held; 0 when the code has no key
    // position, or the key gives no printable character (dead keys, function keys).
    char32_t CharForVk(std::uint8_t vk) const;

  private:
    struct Keymap;
    std::unique_ptr<Keymap> keymap_;
    mutable std::mutex mutex_;  // the xkb state is not safe for concurrent use
};

// The layout of the running session, made on first use.
const KeyLayout& CurrentKeyLayout();

// The character a US keyboard gives the key of `vk`; 0 when none. Used without a keymap.
char32_t UsCharForVk(std::uint8_t vk);

}  // namespace vantor
