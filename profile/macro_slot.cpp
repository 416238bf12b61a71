#include "profile/macro_slot.h"

#include <algorithm>

#include "base/log.h"
#include "base/utf.h"
#include "keys/hid_vk_table.h"
#include "keys/key_functions.h"
#include "profile/check_byte.h"

namespace vantor {
namespace {

constexpr std::uint8_t kPress = 0x80;
constexpr std::uint8_t kRelease = 0x40;
constexpr std::uint8_t kTypeModifier = 0;
constexpr std::uint8_t kTypeKey = 1;
constexpr std::uint8_t kTypeMouse = 4;
constexpr std::uint8_t kTypeMove = 5;
constexpr std::size_t kCountOffset = memory_map::kMacroDataOffset;
constexpr int kSlotNameChars = memory_map::kMacroNameBytes / 2;
// Image length (check byte included) up to which the three trailing zeros are written.
constexpr int kTrailerLimit = 381;
constexpr std::uint8_t kRepeatForever = 0xFF;    // loop mode 1
constexpr std::uint8_t kRepeatWhileHeld = 0xFE;  // loop mode 2
constexpr std::uint8_t kMaxLoopCount = 250;

struct CodePair {
    std::uint8_t vk;
    std::uint8_t device;
};

// Modifier keys; the first row of a device bit is the one it reads back as.
constexpr CodePair kModifiers[] = {
    {0xA2, kModLeftCtrl},  {0x11, kModLeftCtrl},   {0xA0, kModLeftShift}, {0x10, kModLeftShift},
    {0xA4, kModLeftAlt},   {0x12, kModLeftAlt},    {0x5B, kModLeftWin},   {0x5C, kModLeftWin},
    {0xA3, kModRightCtrl}, {0xA1, kModRightShift}, {0xA5, kModRightAlt},
};

constexpr CodePair kMouseButtons[] = {
    {kVkMouseLeft, 0x01}, {kVkMouseRight, 0x02},   {kVkMouseMiddle, 0x04},
    {kVkMouseBack, 0x08}, {kVkMouseForward, 0x10},
};

template <std::size_t N>
const CodePair* ByVk(const CodePair (&rows)[N], std::uint8_t vk) {
    for (const CodePair& r : rows) {
        if (r.vk == vk) return &r;
    }
    return nullptr;
}

template <std::size_t N>
const CodePair* ByDevice(const CodePair (&rows)[N], std::uint8_t device) {
    for (const CodePair& r : rows) {
        if (r.device == device) return &r;
    }
    return nullptr;
}

// Device type and code of a key or button code of the record.
std::pair<std::uint8_t, std::uint8_t> DeviceCodeOf(std::uint8_t vk) {
    if (const CodePair* m = ByVk(kModifiers, vk)) return {kTypeModifier, m->device};
    if (const CodePair* b = ByVk(kMouseButtons, vk)) return {kTypeMouse, b->device};
    const std::uint8_t hid = VkToHid(vk);
    if (hid == 0) DbgLog("StMacro_To_HdMacro: get wrong hid");
    return {kTypeKey, hid};
}

// Virtual-key code of a device key or button event; 0 when it has none.
std::uint8_t VkOfDeviceCode(std::uint8_t type, std::uint8_t code) {
    if (type == kTypeMouse) {
        const CodePair* b = ByDevice(kMouseButtons, code);
        return b ? b->vk : 0;
    }
    if (type == kTypeModifier) {
        const CodePair* m = ByDevice(kModifiers, code);
        return m ? m->vk : 0;
    }
    return HidToVk(code);
}

int NameUnits(const MacroRecord& macro) {
    int units = 0;
    while (units < kMacroNameUnits && macro.szName[units] != 0) ++units;
    return units;
}

bool IsHighSurrogate(std::uint16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

std::string MacroSlotName(const MacroNameTable& names, int slot) {
    if (slot < 0 || slot >= static_cast<int>(names.size())) return {};
    const auto& entry = names[static_cast<std::size_t>(slot)];
    char16_t units[kSlotNameChars];
    for (int i = 0; i < kSlotNameChars; ++i) {
        units[i] = static_cast<char16_t>(entry[2 * i] | entry[2 * i + 1] << 8);
    }
    return Utf16FieldToUtf8(units);
}

int StMacro_To_HdMacro(const MacroRecord* macro, HdMacroImage* image) {
    if (macro == nullptr || image == nullptr) return 0;
    HdMacroImage& out = *image;
    out.fill(0);
    int p = kHdMacroEventsOffset;
    int count = 0;
    for (const MacroEvent& e : macro->stEvents) {
        if (count == MacroMaxEvents || p + kHdMacroEventSize + 1 > static_cast<int>(out.size())) {
            break;
        }
        const std::uint16_t code = e.wCode;
        const std::uint32_t delay = e.dwDelay;
        if (code == 0 && delay == 0) break;
        std::uint8_t* ev = out.data() + p;
        if (e.wKind == kMacroKindMove) {
            ev[0] = kTypeMove;
            ev[1] = static_cast<std::uint8_t>(code & 0xFF);
            ev[2] = static_cast<std::uint8_t>(code >> 8);
        } else {
            const auto [type, device] = DeviceCodeOf(static_cast<std::uint8_t>(code & 0xFF));
            ev[0] =
                static_cast<std::uint8_t>((e.wKind == kMacroKindPress ? kPress : kRelease) | type);
            ev[1] = device;
            ev[2] = 0;
        }
        ev[3] = static_cast<std::uint8_t>(delay >> 8);
        ev[4] = static_cast<std::uint8_t>(delay);
        p += kHdMacroEventSize;
        ++count;
    }
    out[kCountOffset] = static_cast<std::uint8_t>(count);
    return p;
}

void HdMacro_To_StMacro(MacroRecord* macro, std::span<const std::uint8_t> d,
                        std::uint32_t macroId) {
    if (macro == nullptr) return;
    *macro = MacroRecord{};
    macro->dwMagicNumber = kMacroMagicNumber;
    macro->dwMacroID = macroId;
    macro->dwLoopMode = 0;
    macro->dwAuto = 1;
    macro->nLoopCount = 1;
    if (d.empty()) return;
    const int count = std::min<int>(d[0], MacroMaxEvents);
    for (int i = 0; i < count; ++i) {
        const std::size_t at = 1 + static_cast<std::size_t>(kHdMacroEventSize * i);
        if (at + kHdMacroEventSize > d.size()) break;
        const std::uint8_t* e = d.data() + at;
        MacroEvent& ev = macro->stEvents[i];
        const std::uint8_t type = e[0] & 7;
        if (type == kTypeMove) {
            ev.wCode = static_cast<std::uint16_t>(e[1] | e[2] << 8);
            ev.wKind = kMacroKindMove;
        } else {
            switch (e[0] >> 6) {
                case 1:
                    ev.wKind = kMacroKindRelease;
                    break;
                case 2:
                    ev.wKind = kMacroKindPress;
                    break;
                default:
                    DbgLog("HdMacro_To_StMacro: convert err, i=%d", i);
                    ev.wKind = kMacroKindRelease;
                    break;
            }
            if (type == kTypeMouse || type == kTypeModifier || type == kTypeKey) {
                const std::uint8_t vk = VkOfDeviceCode(type, e[1]);
                if (vk == 0) DbgLog("HdMacro_To_StMacro: convert err, i=%d, nHid=%x", i, e[1]);
                ev.wCode = vk;
            } else {
                DbgLog("HdMacro_To_StMacro: convert err, nKeyFalg=%d", type);
            }
        }
        ev.dwDelay = static_cast<std::uint32_t>(e[3] << 8 | e[4]);
    }
}

void HdMacro_To_StMacro(MacroRecord* macro, std::span<const std::uint8_t> data) {
    if (macro == nullptr) return;
    HdMacro_To_StMacro(macro, data, NewMacroId());
}

std::vector<std::uint8_t> BuildMacroSlot(const MacroRecord& macro) {
    HdMacroImage image{};
    const int p = StMacro_To_HdMacro(&macro, &image);
    image[static_cast<std::size_t>(p)] = CheckByte(std::span<const std::uint8_t>(image).subspan(
        kCountOffset, static_cast<std::size_t>(p) - kCountOffset));
    // The zeros after the check byte mark the end for a reader that stops at them.
    const int length = p + 1 <= kTrailerLimit ? p + 4 : p + 1;

    int units = std::min(NameUnits(macro), kSlotNameChars);
    if (units > 0 && IsHighSurrogate(macro.szName[units - 1])) --units;  // keep pairs whole
    image[memory_map::kMacroNameLengthOffset] = static_cast<std::uint8_t>(2 * units);
    for (int i = 0; i < units; ++i) {
        const std::uint16_t unit = macro.szName[i];
        image[static_cast<std::size_t>(memory_map::kMacroNameOffset + 2 * i)] =
            static_cast<std::uint8_t>(unit);
        image[static_cast<std::size_t>(memory_map::kMacroNameOffset + 2 * i + 1)] =
            static_cast<std::uint8_t>(unit >> 8);
    }
    return {image.begin(), image.begin() + length};
}

std::uint8_t MacroRepeatByte(const MacroRecord& macro) {
    if (macro.dwLoopMode == 1) return kRepeatForever;
    if (macro.dwLoopMode == 2) return kRepeatWhileHeld;
    return std::min(macro.nLoopCount, kMaxLoopCount);
}

void SetMacroRepeatFromByte(MacroRecord& macro, std::uint8_t repeat) {
    if (repeat == kRepeatWhileHeld) {
        macro.dwLoopMode = 2;
    } else if (repeat == kRepeatForever) {
        macro.dwLoopMode = 1;
    } else {
        macro.dwLoopMode = 0;
        macro.nLoopCount = repeat;
    }
}

}  // namespace vantor
