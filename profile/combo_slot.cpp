#include "profile/combo_slot.h"

#include <algorithm>
#include <vector>

#include "base/log.h"
#include "keys/hid_vk_table.h"
#include "keys/key_functions.h"

namespace vantor {
namespace {

constexpr std::uint8_t kPress = 0x80;
constexpr std::uint8_t kRelease = 0x40;
constexpr std::uint8_t kTypeModifier = 0x00;
constexpr std::uint8_t kTypeKey = 0x01;
constexpr std::uint8_t kTypeConsumer = 0x02;
constexpr std::uint16_t kNoUsage = 0xFFFF;
constexpr std::uint8_t kLeftModifiers[] = {kModLeftCtrl, kModLeftShift, kModLeftAlt, kModLeftWin};

struct ConsumerKey {
    std::uint32_t funId;
    std::uint16_t usage;
};

constexpr ConsumerKey kConsumerKeys[] = {
    {KF_MEDIA_SELECT, 0x0183}, {KF_MEDIA_PLAY_PAUSE, 0x00CD},
    {KF_MEDIA_STOP, 0x00B7},   {KF_MEDIA_PREV, 0x00B6},
    {KF_MEDIA_NEXT, 0x00B5},   {KF_VOLUME_UP, 0x00E9},
    {KF_VOLUME_DOWN, 0x00EA},  {KF_MUTE, 0x00E2},
    {KF_APP_MAIL, 0x018A},     {KF_APP_CALCULATOR, 0x0192},
    {KF_APP_EXPLORER, 0x0194}, {KF_APP_SEARCH, 0x0221},
    {KF_APP_HOME, 0x0223},     {KF_APP_BACK, 0x0224},
    {KF_APP_FORWARD, 0x0225},  {KF_APP_STOP, 0x0226},
    {KF_APP_REFRESH, 0x0227},  {KF_APP_FAVORITES, 0x022A},
};

// One pressed modifier bit or key of a keyboard combination.
struct Press {
    std::uint8_t type;
    std::uint8_t code;  // modifier bit or HID usage
};

using SlotEvent = std::array<std::uint8_t, 3>;

SlotEvent EventOf(std::uint8_t direction, const Press& p) {
    return {static_cast<std::uint8_t>(direction | p.type), p.code, 0};
}

std::uint8_t ComboByte(const KeyAssignment& key, int index) {
    return static_cast<std::uint8_t>(key.stCombo >> (8 * index));
}

std::size_t EncodeKeyboard(const KeyAssignment& key, ComboSlot& slot) {
    std::vector<Press> modifiers;
    std::vector<Press> keys;
    const std::uint8_t modifierByte = ComboByte(key, 0);
    for (std::uint8_t bit : kLeftModifiers) {
        if (modifierByte & bit) modifiers.push_back({kTypeModifier, bit});
    }
    for (int k = 1; k <= 3; ++k) {
        const std::uint8_t vk = ComboByte(key, k);
        if (vk != 0) keys.push_back({kTypeKey, VkToHid(vk)});
    }
    // Each press needs its release: keep as many presses as half the slot's events allow.
    constexpr std::size_t kMaxPresses = kComboSlotMaxEvents / 2;
    if (modifiers.size() + keys.size() > kMaxPresses) {
        DbgLog("EncodeComboSlot: %zu keys do not fit the slot, %zu kept",
               modifiers.size() + keys.size(), kMaxPresses);
        if (modifiers.size() > kMaxPresses) modifiers.resize(kMaxPresses);
        keys.resize(kMaxPresses - modifiers.size());
    }
    std::vector<SlotEvent> events;
    for (const Press& p : modifiers) events.push_back(EventOf(kPress, p));
    for (const Press& p : keys) events.push_back(EventOf(kPress, p));
    for (const Press& p : modifiers) events.push_back(EventOf(kRelease, p));
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        events.push_back(EventOf(kRelease, *it));
    }
    slot[0] = static_cast<std::uint8_t>(events.size());
    std::size_t pos = 1;
    for (const auto& e : events) {
        std::copy(e.begin(), e.end(), slot.begin() + static_cast<std::ptrdiff_t>(pos));
        pos += e.size();
    }
    return pos;
}

std::size_t EncodeConsumer(std::uint16_t usage, ComboSlot& slot) {
    const auto low = static_cast<std::uint8_t>(usage & 0xFF);
    const auto high = static_cast<std::uint8_t>(usage >> 8);
    const std::uint8_t bytes[] = {
        2, kPress | kTypeConsumer, low, high, kRelease | kTypeConsumer, low, high};
    std::copy(std::begin(bytes), std::end(bytes), slot.begin());
    return sizeof bytes;
}

int DecodeKeyboard(std::span<const std::uint8_t> slot, int count, KeyAssignment& key) {
    std::uint32_t combo = 0;
    for (int i = 0; i < count; ++i) {
        const std::size_t at = 1 + 3 * static_cast<std::size_t>(i);
        if (at + 1 >= slot.size()) break;  // the rest of the slot was not read
        const std::uint8_t flags = slot[at];
        const std::uint8_t code = slot[at + 1];
        if ((flags & 0xC0) == kRelease) break;
        switch (flags & 0x0F) {
            case kTypeModifier:
                combo |= code & 0x0Fu;
                break;
            case kTypeKey: {
                const std::uint8_t vk = HidToVk(code);
                for (int k = 1; k <= 3; ++k) {
                    const int shift = 8 * k;
                    if (((combo >> shift) & 0xFF) == 0) {
                        combo |= static_cast<std::uint32_t>(vk) << shift;
                        break;
                    }
                }
                break;
            }
            default:
                return 0;
        }
    }
    key.dwFunID = KF_KEY_FROM_DEVICE;
    key.stCombo = combo;
    return 1;
}

}  // namespace

std::optional<std::uint16_t> ConsumerUsageOf(std::uint32_t funId) {
    const std::uint32_t cls = FunctionClassOf(funId);
    if (cls != KFC_APPKEY && cls != KFC_MEDIA) return std::nullopt;
    for (const ConsumerKey& c : kConsumerKeys) {
        if (c.funId == funId) return c.usage;
    }
    return kNoUsage;
}

std::optional<std::uint32_t> FunctionOfConsumerUsage(std::uint16_t usage) {
    for (const ConsumerKey& c : kConsumerKeys) {
        if (c.usage == usage) return c.funId;
    }
    return std::nullopt;
}

std::size_t EncodeComboSlot(const KeyAssignment& key, ComboSlot& slot) {
    slot.fill(0);
    if (key.FunctionClass() == KFC_KEYBOARD) return EncodeKeyboard(key, slot);
    if (const auto usage = ConsumerUsageOf(key.dwFunID)) return EncodeConsumer(*usage, slot);
    return 0;
}

int DecodeComboSlot(std::span<const std::uint8_t> slot, KeyAssignment& key) {
    if (slot.size() < 2 || slot[0] == 0) return 0;
    const int count = slot[0];
    switch (slot[1] & 0x0F) {
        case kTypeConsumer: {
            if (slot.size() < 4) return 0;
            const auto usage = static_cast<std::uint16_t>(slot[2] | slot[3] << 8);
            const std::optional<std::uint32_t> funId = FunctionOfConsumerUsage(usage);
            if (!funId) return 0;
            key.dwFunID = *funId;
            return 1;
        }
        case kTypeModifier:
        case kTypeKey:
            return DecodeKeyboard(slot, count, key);
        default:
            return 0;
    }
}

}  // namespace vantor
