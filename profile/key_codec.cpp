#include "profile/key_codec.h"

#include <climits>

#include "base/log.h"
#include "keys/key_functions.h"
#include "profile/combo_slot.h"
#include "profile/memory_map.h"
#include "profile/sensor_tables.h"

namespace vantor {
namespace {

constexpr std::uint8_t kTypeFire = 0x04;
constexpr std::uint8_t kTypeDpiLock = 0x0A;

struct FixedCode {
    std::uint32_t funId;
    std::uint32_t code;
};

// Functions with one fixed code; read back as the same function.
constexpr FixedCode kFixedCodes[] = {
    {KF_DISABLE, 0x000000},        {KF_REPORT_RATE, 0x000007}, {KF_LED_TOGGLE, 0x000008},
    {KF_PROFILE_SWITCH, 0x000009}, {KF_LEFT_CLICK, 0x000101},  {KF_DPI_CYCLE, 0x000102},
    {KF_RIGHT_CLICK, 0x000201},    {KF_DPI_UP, 0x000202},      {KF_DPI_DOWN, 0x000302},
    {KF_MIDDLE_CLICK, 0x000401},   {KF_BACK, 0x000801},        {KF_FORWARD, 0x001001},
    {KF_TRIPLE_CLICK, 0x033204},
};

// Double click is held as a fire key of 2 shots at interval 50 and reads back as that.
constexpr std::uint32_t kDoubleClickCode = 0x023204;

// Slot index (0-15) of a key's matrix position, or -1.
int SlotOf(const KeyAssignment& key) {
    const std::uint32_t index = key.nMatrixIndex;
    if (index < 1 || index > static_cast<std::uint32_t>(memory_map::kKeySlots)) return -1;
    return static_cast<int>(index - 1);
}

std::int32_t MacroCode(const KeyAssignment& key, const MacroLibraryAccess* macros) {
    const MacroRecord* macro = macros ? macros->FindMacroById(key.dwMacroID) : nullptr;
    if (macro == nullptr) {
        DbgLog("keyinfo_to_hardware_code can't find macro id 0x%x", std::uint32_t(key.dwMacroID));
        return kNoKeyCode;
    }
    const std::uint32_t slot = (key.nMatrixIndex - 1u) & 0xFF;
    return static_cast<std::int32_t>(kKeyCodeTypeMacro | slot << 8 |
                                     static_cast<std::uint32_t>(MacroRepeatByte(*macro)) << 16);
}

std::int32_t DpiLockCode(std::uint32_t step, std::uint32_t sensor) {
    const int index = step > INT_MAX ? -1 : static_cast<int>(step);
    const std::uint16_t code = CodeFromDpi(sensor, DpiAtStep(sensor, index));
    return static_cast<std::int32_t>((code & 0xFFu) << 8 | kTypeDpiLock);
}

}  // namespace

std::int32_t keyinfo_to_hardware_code(const KeyAssignment& key, std::uint32_t sensor,
                                      const MacroLibraryAccess* macros) {
    const std::uint32_t funId = key.dwFunID;
    for (const FixedCode& f : kFixedCodes) {
        if (f.funId == funId) return static_cast<std::int32_t>(f.code);
    }
    const std::uint32_t cls = FunctionClassOf(funId);
    if (cls == KFC_KEYBOARD || cls == KFC_APPKEY || cls == KFC_MEDIA) return kKeyCodeTypeCombo;
    if (cls == KFC_EXKEY) return static_cast<std::int32_t>(std::uint32_t(key.dwParameter));
    switch (funId) {
        case KF_DOUBLE_CLICK:
            return kDoubleClickCode;
        case KF_MACRO:
            return MacroCode(key, macros);
        case KF_FIRE: {
            const std::uint32_t p = key.dwParameter;
            return static_cast<std::int32_t>((p & 0xFF) << 16 | ((p >> 8) & 0xFF) << 8 | kTypeFire);
        }
        case KF_DPI_LOCK:
            return DpiLockCode(key.dwParameter, sensor);
        case KF_CUSTOM:
            return static_cast<std::int32_t>(std::uint32_t(key.dwParameter));
        default:
            return kNoKeyCode;
    }
}

int hardware_code_to_keyinfo(const KeyCodeSources& sources, std::uint32_t code,
                             KeyAssignment& key) {
    const std::uint32_t matrixIndex = key.nMatrixIndex;
    key = KeyAssignment{};
    key.nMatrixIndex = matrixIndex;
    for (const FixedCode& f : kFixedCodes) {
        if (f.code == code) {
            key.dwFunID = f.funId;
            return 1;
        }
    }
    const int slot = SlotOf(key);
    if (code == kKeyCodeTypeCombo) {
        const std::size_t at = static_cast<std::size_t>(slot) * memory_map::kComboSlotStride;
        if (slot < 0 || at + memory_map::kComboSlotReadSize > sources.comboSlots.size()) return 0;
        return DecodeComboSlot(sources.comboSlots.subspan(at, memory_map::kComboSlotReadSize), key);
    }
    switch (code & 0xFF) {
        case kKeyCodeTypeMacro: {
            if (slot < 0) return 0;
            key.dwFunID = KF_MACRO;
            const MacroRecord* macro = nullptr;
            if (sources.macroNames != nullptr && sources.macros != nullptr) {
                macro = sources.macros->FindMacroByName(MacroSlotName(*sources.macroNames, slot));
            }
            key.dwMacroID = macro ? std::uint32_t(macro->dwMacroID)
                                  : kUnknownMacroIdBase + static_cast<std::uint32_t>(slot);
            return 1;
        }
        case kTypeFire:
            key.dwFunID = KF_FIRE;
            key.dwParameter = (code & 0xFF00) | ((code >> 16) & 0xFF);
            return 1;
        case kTypeDpiLock: {
            const int dpi =
                DpiFromCode(sources.sensor, static_cast<std::uint16_t>((code >> 8) & 0xFF), 0);
            key.dwFunID = KF_DPI_LOCK;
            key.dwParameter = static_cast<std::uint32_t>(DpiStepIndex(sources.sensor, dpi));
            return 1;
        }
        default:
            return 0;
    }
}

}  // namespace vantor
