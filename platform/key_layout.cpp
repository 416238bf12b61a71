#include "platform/key_layout.h"

#include <xkbcommon/xkbcommon.h>

#include <array>

#include "base/log.h"

namespace vantor {
namespace {

// Key positions of the character keys that carry no fixed name, as Linux evdev key codes
// (X key codes are 8 higher), with the character a US keyboard gives them.
struct KeyPosition {
    std::uint8_t vk;
    std::uint16_t evdev;
    char us;
};

constexpr std::array<KeyPosition, 13> kKeyPositions = {{
    {0xBA, 39, ';'},   // semicolon
    {0xBB, 13, '='},   // equal
    {0xBC, 51, ','},   // comma
    {0xBD, 12, '-'},   // minus
    {0xBE, 52, '.'},   // dot
    {0xBF, 53, '/'},   // slash
    {0xC0, 41, '`'},   // grave
    {0xC1, 89, '/'},   // ABNT C1 (RO)
    {0xDB, 26, '['},   // left brace
    {0xDC, 43, '\\'},  // backslash
    {0xDD, 27, ']'},   // right brace
    {0xDE, 40, '\''},  // apostrophe
    {0xE2, 86, '<'},   // the extra key beside left Shift (102ND)
}};

constexpr std::uint32_t kEvdevToXkbOffset = 8;

const KeyPosition* FindPosition(std::uint8_t vk) {
    for (const KeyPosition& position : kKeyPositions) {
        if (position.vk == vk) return &position;
    }
    return nullptr;
}

bool IsPrintable(char32_t c) {
    return c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0);
}

}  // namespace

struct KeyLayout::Keymap {
    xkb_context* context = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;

    ~Keymap() {
        if (state != nullptr) xkb_state_unref(state);
        if (keymap != nullptr) xkb_keymap_unref(keymap);
        if (context != nullptr) xkb_context_unref(context);
    }
};

KeyLayout::KeyLayout(const std::string& layout) {
    auto keymap = std::make_unique<Keymap>();
    keymap->context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (keymap->context == nullptr) {
        DbgLog("KeyLayout: no xkb context, using the US table");
        return;
    }
    xkb_context_set_log_level(keymap->context, XKB_LOG_LEVEL_CRITICAL);
    xkb_rule_names names{};
    names.layout = layout.empty() ? nullptr : layout.c_str();
    keymap->keymap =
        xkb_keymap_new_from_names(keymap->context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap->keymap == nullptr) {
        DbgLog("KeyLayout: no keymap for layout \"%s\", using the US table", layout.c_str());
        return;
    }
    keymap->state = xkb_state_new(keymap->keymap);
    if (keymap->state == nullptr) return;
    keymap_ = std::move(keymap);
}

KeyLayout::~KeyLayout() = default;

char32_t KeyLayout::CharForVk(std::uint8_t vk) const {
    if (!keymap_) return UsCharForVk(vk);
    const KeyPosition* position = FindPosition(vk);
    if (position == nullptr) return 0;
    std::lock_guard lock(mutex_);
    const char32_t c = xkb_state_key_get_utf32(keymap_->state, position->evdev + kEvdevToXkbOffset);
    return IsPrintable(c) ? c : 0;
}

const KeyLayout& CurrentKeyLayout() {
    static const KeyLayout layout;
    return layout;
}

char32_t UsCharForVk(std::uint8_t vk) {
    const KeyPosition* position = FindPosition(vk);
    return position == nullptr ? 0 : static_cast<char32_t>(position->us);
}

}  // namespace vantor
