#include "profile/profile_writes.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "base/log.h"
#include "base/string_format.h"
#include "profile/check_byte.h"
#include "profile/combo_slot.h"
#include "profile/dpi_codec.h"
#include "profile/key_codec.h"
#include "profile/lighting_codec.h"
#include "profile/macro_slot.h"
#include "profile/memory_map.h"
#include "profile/single_settings.h"

namespace vantor {
namespace {

namespace mm = memory_map;

constexpr std::uint32_t kSlotSleepMs = 10;
constexpr std::uint32_t kSettingSleepMs = 10;
constexpr std::uint32_t kFinalSleepMs = 500;
constexpr std::size_t kSlotChunk = 10;
constexpr std::uint8_t kResetCommand = 0x09;

void Append(WriteSteps& steps, const WriteSteps& more) {
    steps.insert(steps.end(), more.begin(), more.end());
}

FailedWriteStep RefuseIndex(const char* part, int index) {
    std::string text = StringPrintf("SetProfile: %s has no index %d", part, index);
    DbgLog("%s", text.c_str());
    return FailedWriteStep{std::move(text)};
}

// The key set that is written; a value outside 0-2 falls back to the first set.
int KeySetOf(const ProfileFile& record) {
    const int set = record.nKeySet;
    if (set >= 0 && set < kKeySets) return set;
    DbgLog("SetProfile: key set %d does not exist, key set 0 written", set);
    return 0;
}

// Slot writes of one key; returns its matrix code.
std::int32_t AddKeySlot(const KeyAssignment& key, int b, int m, const CodecContext& context,
                        const MacroLibraryAccess* macros, WriteSteps& steps) {
    const std::int32_t code = keyinfo_to_hardware_code(key, context.sensor, macros);
    const auto type = static_cast<std::uint8_t>(code & 0xFF);
    if (type == kKeyCodeTypeMacro) {
        // A device's own code (custom or extra key) may have the macro type without naming
        // a library macro: its slot is left alone and the code is written as it stands.
        const MacroRecord* macro = macros ? macros->FindMacroById(key.dwMacroID) : nullptr;
        if (macro == nullptr) return code;
        std::vector<std::uint8_t> slot = BuildMacroSlot(*macro);
        steps.push_back(
            LogHexStep{StringPrintf("macro data(key=%d, MatrixInx=%d):", b, m), slot, 16});
        steps.push_back(MemoryWriteStep{mm::MacroSlotAddress(m), std::move(slot), kSlotChunk});
        steps.push_back(SleepStep{kSlotSleepMs});
        return code | m << 8;
    }
    if (type == kKeyCodeTypeCombo) {
        ComboSlot slot{};
        const std::size_t length = EncodeComboSlot(key, slot);
        slot[length] = CheckByte(std::span<const std::uint8_t>(slot).first(length));
        std::vector<std::uint8_t> bytes(slot.begin(), slot.begin() + static_cast<long>(length + 1));
        steps.push_back(
            LogHexStep{StringPrintf("key data(key=%d, MatrixInx=%d):", b, m), bytes, 16});
        steps.push_back(MemoryWriteStep{mm::ComboSlotAddress(m), std::move(bytes), kSlotChunk});
        steps.push_back(SleepStep{kSlotSleepMs});
    }
    return code;
}

void AddKeys(const ProfileFile& record, int index, const CodecContext& context,
             const MacroLibraryAccess* macros, WriteSteps& steps) {
    steps.push_back(LogStep{"Set Key --------"});
    const bool all = index == kSetIndexAll;
    if (!all && (index < 0 || index >= kKeysPerSet)) {
        steps.push_back(RefuseIndex("SET_KEY", index));
        return;
    }
    const int set = KeySetOf(record);
    std::array<std::int32_t, mm::kKeySlots> matrix{};
    int singleEntry = -1;
    for (int b = all ? 0 : index; b < (all ? kKeysPerSet : index + 1); ++b) {
        const KeyAssignment& key = record.Key[set][b];
        if (key.nMatrixIndex < 1) continue;
        const int m = static_cast<int>((key.nMatrixIndex - 1u) & 0xFF);
        if (m >= mm::kKeySlots) {
            DbgLog("SetProfile: key %d has matrix index %d outside the matrix", b, m + 1);
            continue;
        }
        matrix[static_cast<std::size_t>(m)] = AddKeySlot(key, b, m, context, macros, steps);
        singleEntry = m;
    }
    steps.push_back(LogStep{"Matrix--------------------"});
    for (int m = 0; m < mm::kKeySlots; ++m) {
        steps.push_back(LogStep{StringPrintf(
            "Matrix[%d] = 0x%08x", m, static_cast<unsigned>(matrix[static_cast<std::size_t>(m)]))});
    }
    if (all) {
        Append(steps, WriteKeyMatrix(kSetIndexAll, matrix));
    } else if (singleEntry >= 0) {
        Append(steps, WriteKeyMatrix(1u << singleEntry, matrix));
    }
}

void AddLighting(const ProfileFile& record, int index, const CodecContext& context,
                 WriteSteps& steps) {
    steps.push_back(
        LogStep{StringPrintf("Set LED, inx=0x%x --------", static_cast<unsigned>(index))});
    const auto parts = static_cast<unsigned>(index);
    auto add = [&steps](const LightingWrite& w) {
        steps.push_back(SleepStep{kSettingSleepMs});
        steps.push_back(MemoryWriteStep{w.address, {w.Data().begin(), w.Data().end()}, kSlotChunk});
    };
    if ((parts & kLedPartMain) && context.showMainEffect) {
        const RgbEffect main = record.stMainRGB;
        if (MainRGBNeedsDeviceBytes(main)) {
            // Switching off keeps the colour, speed and brightness the device holds.
            steps.push_back(SleepStep{kSettingSleepMs});
            steps.push_back(ReadModifyWriteStep{
                mm::kMainLighting, mm::kMainLightingSize, kSlotChunk,
                [main](std::span<const std::uint8_t> device) {
                    const LightingWrite w =
                        EncodeMainRGB(main, device.first<mm::kMainLightingSize>());
                    return std::vector<std::uint8_t>(w.Data().begin(), w.Data().end());
                }});
        } else {
            add(EncodeMainRGB(main, std::array<std::uint8_t, mm::kMainLightingSize>{}));
        }
    }
    if ((parts & kLedPartDpiEffect) && context.showDpiLed) add(EncodeDpiEffect(record.stDpiEffect));
    if ((parts & kLedPartLogo) && context.showLogoEffect) add(EncodeLogoRGB(record.stLogoRGB));
}

// DPI entries or colours: the first DM levels for 255, else the one level.
template <typename Writer>
void AddDpiPart(const char* title, const char* part, const ProfileFile& record, int index,
                const CodecContext& context, Writer writer, WriteSteps& steps) {
    steps.push_back(LogStep{title});
    const std::span<const DpiLevel> levels(record.Dpi);
    if (index == kSetIndexAll) {
        const auto count =
            static_cast<std::size_t>(std::clamp(context.dpiLevelCount, 1, kDpiLevels));
        Append(steps, writer(kSetIndexAll, levels.first(count)));
    } else if (index >= 0 && index < kDpiLevels) {
        Append(steps, writer(1u << index, levels));
    } else {
        steps.push_back(RefuseIndex(part, index));
    }
}

void AddSingleSettings(const ProfileFile& record, std::uint32_t flags, int curDpiLevel,
                       WriteSteps& steps) {
    struct Setting {
        std::uint32_t flag;
        mm::Address address;
        std::int64_t value;
    };
    const Setting settings[] = {
        {SET_DPI_NUM, mm::kDpiLevelCount,
         std::clamp<std::int64_t>(record.nDpiLevels, 1, kDpiLevels)},
        {SET_CUR_DPI, mm::kCurrentDpiLevel,
         std::clamp<std::int64_t>(curDpiLevel, 0, kDpiLevels - 1)},
        {SET_LOD, mm::kLiftOffDistance, record.nLOD},
        {SET_FIXLINE, mm::kFixLine, record.nFixLine},
        {SET_RIPPLE, mm::kRipple, record.nRipple},
        {SET_DEBOUNCE, mm::kDebounce, record.nDebounce},
        {SET_SLEEP, mm::kSleepTime, record.nSleepTime / 10},
        {SET_RATE, mm::kReportRate, 0},  // written as a rate code below
        {SET_LIGHTOFF, mm::kLightOffOnMoving, record.bLightOffOnMoving},
        {SET_MOTIONSYNC, mm::kMotionSync, record.bMotionSync},
        {SET_SENSORMODE, mm::kSensorMode, record.nSensorMode},
        {SET_AUTOSLEEP, mm::kAutoSleep, record.nAutoSleep},
    };
    for (const Setting& s : settings) {
        if (!(flags & s.flag)) continue;
        steps.push_back(SleepStep{kSettingSleepMs});
        if (s.flag == SET_RATE) {
            steps.push_back(WriteReportRate(record.dwReportRate));
        } else {
            steps.push_back(WriteSettingPair(s.address, SettingByte(s.value)));
        }
    }
}

}  // namespace

ProfileWritePlan BuildProfileWrites(const ProfileFile& record, std::uint32_t flags, int index,
                                    int curDpiLevel, const CodecContext& context,
                                    const MacroLibraryAccess* macros) {
    ProfileWritePlan plan;
    if (record.dwProfileID == 0) return plan;
    plan.valid = true;
    WriteSteps& steps = plan.steps;
    steps.push_back(ProgressStep{20});
    if (flags & SET_KEY) AddKeys(record, index, context, macros, steps);
    steps.push_back(ProgressStep{60});
    if (flags & SET_LED) AddLighting(record, index, context, steps);
    if ((flags & SET_DPI) && context.showDpi) {
        AddDpiPart(
            "Set DPI --------", "SET_DPI", record, index, context,
            [&context](std::uint32_t mask, std::span<const DpiLevel> levels) {
                return WriteDpi(mask, levels, context.sensor);
            },
            steps);
    }
    if ((flags & SET_DPI_COLOR) && context.showDpi) {
        AddDpiPart(
            "Set DPI Color --------", "SET_DPI_COLOR", record, index, context,
            [](std::uint32_t mask, std::span<const DpiLevel> levels) {
                return WriteDpiColor(mask, levels);
            },
            steps);
    }
    steps.push_back(ProgressStep{70});
    AddSingleSettings(record, flags, curDpiLevel, steps);
    steps.push_back(ProgressStep{80});
    if ((flags & SET_SYS) && context.showSys) steps.push_back(PointerSettingsStep{record.stSys});
    steps.push_back(ProgressStep{90});
    if (flags & SET_RESET) steps.push_back(DeviceCommandStep{kResetCommand, 0});
    steps.push_back(ProgressStep{100});
    steps.push_back(SleepStep{kFinalSleepMs, true});
    return plan;
}

int RunWritesOnMemory(const ProfileWritePlan& plan, std::span<std::uint8_t> memory,
                      bool goWithNoDev) {
    if (!plan.valid) return 0;
    auto fits = [&memory](std::size_t address, std::size_t length) {
        return address <= memory.size() && length <= memory.size() - address;
    };
    for (const WriteStep& step : plan.steps) {
        bool ok = true;
        if (const auto* w = std::get_if<MemoryWriteStep>(&step)) {
            ok = fits(w->address, w->bytes.size());
            if (ok) std::copy(w->bytes.begin(), w->bytes.end(), memory.begin() + w->address);
        } else if (const auto* rmw = std::get_if<ReadModifyWriteStep>(&step)) {
            ok = fits(rmw->address, rmw->length);
            if (ok) {
                const std::vector<std::uint8_t> bytes =
                    rmw->modify(memory.subspan(rmw->address, rmw->length));
                ok = fits(rmw->address, bytes.size());
                if (ok) std::copy(bytes.begin(), bytes.end(), memory.begin() + rmw->address);
            }
        } else if (std::holds_alternative<FailedWriteStep>(step)) {
            ok = false;
        }
        if (!ok && !goWithNoDev) return 0;
    }
    return 1;
}

}  // namespace vantor
