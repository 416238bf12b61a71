#include "keys/assignment.h"

#include <string_view>

#include "base/log.h"
#include "base/texts.h"
#include "keys/combo_text.h"
#include "keys/key_functions.h"
#include "keys/macro_list.h"

namespace vantor {
namespace {

struct FunctionLabel {
    std::uint32_t code;
    std::string_view textKey;
    std::string_view fallbackKey;  // used when the text of textKey is empty
};

// Codes of the mouse, application, media and device functions; they do not overlap, so
// the code alone selects the text whatever the class.
constexpr FunctionLabel kFunctionLabels[] = {
    {0x11, "tc_click", ""},
    {0x12, "tc_middle", ""},
    {0x13, "tc_menu", ""},
    {0x14, "tc_forward", ""},
    {0x15, "tc_back", ""},
    {0x16, "tc_dbclick", ""},
    {0x17, "tc_three", ""},
    {0x18, "tc_rdbclick", ""},
    {0x21, "tc_kbmedia_msel", ""},
    {0x22, "tc_PL", ""},
    {0x23, "tc_stop", ""},
    {0x24, "tc_pre_media", ""},
    {0x25, "tc_next_media", ""},
    {0x26, "tc_vol_up", ""},
    {0x27, "tc_vol_dw", ""},
    {0x28, "tc_mute", ""},
    {0x30, "tc_kbmedia_mail", ""},
    {0x31, "tc_kbmedia_cal", ""},
    {0x32, "tc_kbmedia_explore", ""},
    {0x33, "tc_kbmedia_search", ""},
    {0x34, "tc_kbmedia_main", ""},
    {0x35, "tc_kbmedia_back", "tc_back"},
    {0x36, "tc_kbmedia_forward", "tc_forward"},
    {0x37, "tc_kbmedia_stop", ""},
    {0x38, "tc_kbmedia_refresh", ""},
    {0x39, "tc_kbmedia_favor", ""},
    {0xA2, "tc_key_off", ""},
    {0xA3, "tc_shift", ""},
    {0xA7, "tc_rgb", ""},
    {0xA8, "tc_dpiadd", ""},
    {0xA9, "tc_dpisub", ""},
    {0xAA, "tc_dpiloop", ""},
    {0xAB, "tc_msg31", ""},
    {0xAC, "tc_reportsw", ""},
    {0xAD, "tc_customkey", ""},
    {0xAE, "tc_rgbsw", ""},
    {0xB0, "tc_prosw", ""},
};

constexpr std::string_view kExKeyTexts[kExKeyCount] = {"tc_ex1", "tc_ex2", "tc_ex3"};

std::string CatalogueLabel(std::uint32_t code) {
    for (const FunctionLabel& label : kFunctionLabels) {
        if (label.code != code) continue;
        std::string text = Text(label.textKey);
        if (text.empty() && !label.fallbackKey.empty()) text = Text(label.fallbackKey);
        return text;
    }
    return {};
}

std::string MacroLabel(const KeyAssignment& key, const KeyContext& context) {
    const MacroRecord* macro =
        context.macros != nullptr ? context.macros->FindById(key.dwMacroID) : nullptr;
    if (macro == nullptr) return Text("tc_msg11");
    return Text("tc_msg25") + " - " + MacroName(*macro);
}

std::string ComboLabel(const KeyAssignment& key, const KeyContext& context) {
    const std::uint32_t combo = key.stCombo;
    const std::uint32_t shown = combo & 0x00FFFFFFu;  // modifiers, key 1, key 2
    if (context.comboName1 != 0 && shown == context.comboName1) return Text("tc_comboname1");
    if (context.comboName2 != 0 && shown == context.comboName2) return Text("tc_comboname2");
    return ComboText(static_cast<std::uint8_t>(combo), static_cast<std::uint8_t>(combo >> 8),
                     static_cast<std::uint8_t>(combo >> 16),
                     static_cast<std::uint8_t>(combo >> 24));
}

std::string DpiLockLabel(const KeyAssignment& key, const KeyContext& context) {
    std::string text = Text("tc_snipe");
    const std::uint32_t step = key.dwParameter;
    const int dpi = context.dpiAtStep ? context.dpiAtStep(step) : -1;
    // A step the sensor does not have shows the text alone rather than a made-up value.
    if (dpi >= 0) text += " - " + std::to_string(dpi);
    return text;
}

void LogAssignment(int keySet, int button, const KeyAssignment& key) {
    DbgLog(
        "pFile->Key[%d][%d]: dwFunID=0x%x, dwMacroID=0x%08x, dwParameter=0x%08x, "
        "stCombo=0x%08x",
        keySet, button, std::uint32_t(key.dwFunID), std::uint32_t(key.dwMacroID),
        std::uint32_t(key.dwParameter), std::uint32_t(key.stCombo));
}

}  // namespace

std::string AssignmentLabel(const KeyAssignment& key, const KeyContext& context) {
    const std::uint32_t functionClass = key.FunctionClass();
    const std::uint32_t code = key.FunctionCode();
    if (functionClass == KFC_MACRO) return MacroLabel(key, context);
    if (functionClass == KFC_KEYBOARD) return ComboLabel(key, context);
    if (code == FunctionCodeOf(KF_FIRE)) return Text("tc_fire");
    if (functionClass == KFC_EXKEY) {
        return code < static_cast<std::uint32_t>(kExKeyCount) ? Text(kExKeyTexts[code])
                                                              : std::string();
    }
    if (code == FunctionCodeOf(KF_DPI_LOCK)) return DpiLockLabel(key, context);
    return CatalogueLabel(code);
}

bool HasOtherLeftClick(const KeySet& keySet, int button) {
    for (int i = 0; i < kKeyButtonCount; ++i) {
        if (i != button && keySet[i].dwFunID == KF_LEFT_CLICK) return true;
    }
    return false;
}

std::optional<KeyAssignment> AssignmentFromMenu(std::uint32_t menuValue,
                                                const KeyAssignment& current,
                                                const KeyContext& context, AssignmentUi& ui) {
    KeyAssignment record{};
    const std::uint32_t functionClass = FunctionClassOf(menuValue);
    const std::uint32_t code = FunctionCodeOf(menuValue);
    if (functionClass == KFC_MACRO) {
        const std::optional<std::uint32_t> macroId = ui.PickMacro();
        if (!macroId) return std::nullopt;
        record.dwFunID = KF_MACRO;
        record.dwMacroID = *macroId;
    } else if (functionClass == KFC_KEYBOARD) {
        const auto combo = ui.CaptureKeys(Text("tc_combo_tips"));
        if (!combo || (*combo == std::array<std::uint8_t, 4>{})) return std::nullopt;
        const auto& c = *combo;
        record.stCombo = static_cast<std::uint32_t>(c[0] | (c[1] << 8) | (c[2] << 16) |
                                                    (std::uint32_t{c[3]} << 24));
        record.dwFunID = c[0] != 0 ? KF_KEY_COMBO : KF_KEY;
    } else if (code == FunctionCodeOf(KF_FIRE)) {
        FireSetting preset;
        if (current.dwFunID == KF_FIRE) {
            preset.shots = static_cast<std::uint8_t>(current.dwParameter & 0xFF);
            preset.interval = static_cast<std::uint8_t>((current.dwParameter >> 8) & 0xFF);
        }
        const std::optional<FireSetting> fire = ui.EditFireKey(preset);
        if (!fire) return std::nullopt;
        record.dwFunID = KF_FIRE;
        record.dwParameter = static_cast<std::uint32_t>(fire->shots | (fire->interval << 8));
    } else if (functionClass == KFC_SPECIAL && (code & 0xFF) == FunctionCodeOf(KF_DPI_LOCK)) {
        record.dwFunID = KF_DPI_LOCK;
        record.dwParameter = (menuValue >> 8) & 0xFF;
    } else if (functionClass == KFC_EXKEY) {
        if (code >= static_cast<std::uint32_t>(kExKeyCount) || context.exKeys[code] == 0) {
            ui.ShowMessage("Wrong Ex Key Index");
            return std::nullopt;
        }
        record.dwFunID = KF_EXKEY + code;
        record.dwParameter = context.exKeys[code];
    } else {
        record.dwFunID = menuValue;
    }
    return record;
}

bool AssignKey(KeySets& keys, int keySet, int button, const KeyAssignment& record,
               const KeyContext& context, AssignmentUi& ui) {
    if (keySet < 0 || keySet >= kKeySetCount || button < 0 || button >= kKeyButtonCount) {
        return false;
    }
    if (record.dwFunID != KF_LEFT_CLICK && !HasOtherLeftClick(keys[keySet], button)) {
        ui.ShowMessage(Text("tc_msg1"));
        return false;
    }
    KeyAssignment placed = record;
    placed.nMatrixIndex = context.defaultKeys != nullptr
                              ? std::uint32_t((*context.defaultKeys)[0][button].nMatrixIndex)
                              : std::uint32_t(keys[keySet][button].nMatrixIndex);
    if (placed.dwFunID == KF_ALL_KEY_SETS) {
        for (KeySet& set : keys) set[button] = placed;
        return true;
    }
    bool heldInAllSets = false;
    for (const KeySet& set : keys) heldInAllSets |= set[button].dwFunID == KF_ALL_KEY_SETS;
    if (heldInAllSets && context.defaultKeys != nullptr) {
        for (int s = 0; s < kKeySetCount; ++s) keys[s][button] = (*context.defaultKeys)[s][button];
    }
    keys[keySet][button] = placed;
    LogAssignment(keySet, button, placed);
    return true;
}

bool AssignFromMenu(KeySets& keys, int keySet, int button, std::uint32_t menuValue,
                    const KeyContext& context, AssignmentUi& ui) {
    if (keySet < 0 || keySet >= kKeySetCount || button < 0 || button >= kKeyButtonCount) {
        return false;
    }
    const std::optional<KeyAssignment> record =
        AssignmentFromMenu(menuValue, keys[keySet][button], context, ui);
    return record && AssignKey(keys, keySet, button, *record, context, ui);
}

}  // namespace vantor
