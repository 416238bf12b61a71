#include "profile/profile_decoder.h"

#include <algorithm>

#include "base/log.h"
#include "base/message_sink.h"
#include "keys/key_functions.h"
#include "keys/macro_compare.h"
#include "keys/macro_record.h"
#include "profile/dpi_codec.h"
#include "profile/key_codec.h"
#include "profile/lighting_codec.h"
#include "profile/memory_map.h"
#include "profile/sensor_tables.h"
#include "profile/single_settings.h"

namespace vantor {
namespace {

namespace mm = memory_map;

using Memory = std::span<const std::uint8_t>;

template <std::size_t N>
std::span<const std::uint8_t, N> Fixed(Memory memory, std::size_t address) {
    return memory.subspan(address).first<N>();
}

std::uint32_t KeyCodeAt(Memory memory, int matrixIndex) {
    const auto e = Fixed<4>(memory, mm::KeyMatrixAddress(matrixIndex));
    return e[0] | static_cast<std::uint32_t>(e[1]) << 8 | static_cast<std::uint32_t>(e[2]) << 16;
}

// Matrix position of button `b` when it is read from the device, else -1.
int MatrixIndexToRead(const CodecContext& context, int b) {
    if (context.keyMask & (1u << b)) return -1;
    const std::uint32_t index = context.defaultMatrixIndex[static_cast<std::size_t>(b)];
    if (index < 1) return -1;
    if (index > static_cast<std::uint32_t>(mm::kKeySlots)) {
        DbgLog("GetProfile: key %d has matrix index %u outside the matrix", b, index);
        return -1;
    }
    return static_cast<int>(index - 1);
}

void LogAreas(Memory memory) {
    struct Area {
        const char* title;
        std::size_t from;
        std::size_t length;
        unsigned perLine;
    };
    const Area areas[] = {
        {"GetProfile (0x00~0x0B):", 0x00, 12, 0},
        {"GetProfile (0x0C~0x2B) (DPI)(x y mul crc):", 0x0C, 32, 4},
        {"GetProfile (0x2C~0x4B) (DPI Color):", 0x2C, 32, 4},
        {"GetProfile (0x4C~0x53) (DPI Effect):", 0x4C, 8, 0},
        {"GetProfile (0x60~0x9F) (KeyMatrix):", 0x60, 64, 4},
        {"GetProfile (0xA0~0xA7):", 0xA0, 8, 0},
        {"GetProfile (0xA9~0xB4):", 0xA9, 12, 0},
    };
    for (const Area& a : areas) DbgLogHex(memory.data() + a.from, a.length, a.perLine, a.title);
    if (memory[mm::kDpiLevelCount] < 1 || memory[mm::kDpiLevelCount] > mm::kDpiLevelSlots ||
        memory[mm::kCurrentDpiLevel] > mm::kDpiLevelSlots) {
        DbgLog("!!!!Error: wrong dpi data");
    }
    DbgLogHex(memory.data() + mm::kComboSlots, mm::kMacroSlots - mm::kComboSlots,
              mm::kComboSlotStride, "GetComboKeyData (0x100~0x300):");
}

void LoadNames(Memory memory, MacroNameTable& names) {
    for (std::size_t m = 0; m < names.size(); ++m) {
        names[m].fill(0);
        const auto from = mm::MacroSlotAddress(static_cast<int>(m)) + mm::kMacroNameOffset;
        std::copy_n(memory.begin() + from, mm::kMacroNameBytes, names[m].begin());
    }
    DbgLogHex(names.data(), sizeof names, kMacroNameEntrySize, "GetMacroName:");
}

void DecodeSingleSettings(Memory memory, const CodecContext& context, ProfileFile& scratch) {
    if (context.showLod) {
        scratch.nLOD = memory[mm::kLiftOffDistance];
        DbgLog("LOD=%d", int(scratch.nLOD));
    }
    if (context.showRipple) {
        scratch.nRipple = memory[mm::kRipple];
        DbgLog("Ripple=%d", int(scratch.nRipple));
    }
    if (context.showFixLine) {
        scratch.nFixLine = memory[mm::kFixLine];
        DbgLog("FixLine=%d", int(scratch.nFixLine));
    }
    if (context.showDebounce) {
        scratch.nDebounce = memory[mm::kDebounce];
        DbgLog("Debounce=%d", int(scratch.nDebounce));
    }
    scratch.nSleepTime = memory[mm::kSleepTime] * 10;
    DbgLog("Sleep Time=%d", int(scratch.nSleepTime));
    scratch.bLightOffOnMoving = memory[mm::kLightOffOnMoving];
    DbgLog("Turn OFF Light On Moving=%d", int(scratch.bLightOffOnMoving));
    scratch.nAutoSleep = memory[mm::kAutoSleep];
    scratch.nSensorMode = memory[mm::kSensorMode];
    scratch.bMotionSync = memory[mm::kMotionSync] != 0 ? 1 : 0;
}

// Decodes the levels below the device's level count; false when one did not convert.
bool DecodeDpiLevels(Memory memory, std::uint32_t sensor, ProfileFile& scratch) {
    for (DpiLevel& level : scratch.Dpi) level.bUnused = 1;
    const int count = memory[mm::kDpiLevelCount];
    bool allConverted = true;
    for (int i = 0; i < count && i < mm::kDpiLevelSlots; ++i) {
        const std::size_t at = mm::DpiEntryAddress(i);
        const auto entry = Fixed<4>(memory, at);
        const DpiEntryFields f = UnpackDpiEntry(entry);
        DbgLog("nHwDpi=0x%x, nHwDpiY=0x%x, bMul=%x", f.xCode, f.yCode, f.xFlags);
        DpiLevel& level = scratch.Dpi[i];
        level.dwDpi = static_cast<std::uint32_t>(DpiFromCode(sensor, f.xCode, f.xFlags));
        DbgLog("dwDpi[%d]=%d", i, int(level.dwDpi));
        if (level.dwDpi == 0) {
            DbgLog("wrong dpi(%x): Data[%d]=0x%x, Data[%d]=0x%x", sensor, int(at), entry[0],
                   int(at + 2), entry[2]);
            allConverted = false;
        }
        level.dwDpiY = static_cast<std::uint32_t>(DpiFromCode(sensor, f.yCode, f.yFlags));
        level.dwColor = UnpackDpiColor(Fixed<4>(memory, mm::DpiColorAddress(i)));
        level.bUnused = 0;
    }
    scratch.nDpiLevels = std::clamp(count, 1, static_cast<int>(mm::kDpiLevelSlots));
    return allConverted;
}

// Builds the macro of slot m from the device and merges it into the library. Returns the id
// of the library macro that now holds it; 0 when it is not in the library.
std::uint32_t MergeDeviceMacro(Memory memory, int m, std::uint32_t code,
                               const MacroNameTable& names, MacroLibraryAccess* library,
                               const ProfileDecodeHooks& hooks) {
    const std::string name = MacroSlotName(names, m);
    const auto data =
        memory.subspan(mm::MacroSlotAddress(m) + mm::kMacroDataOffset, mm::kMacroDataSize);
    MacroRecord macro;
    HdMacro_To_StMacro(&macro, data, hooks.newMacroId ? hooks.newMacroId() : NewMacroId());
    SetMacroName(macro, name);
    SetMacroRepeatFromByte(macro, static_cast<std::uint8_t>(code >> 16));
    if (library == nullptr) return 0;
    // A slot without events is what a read sees when the mouse changed its profile in the
    // middle of it, or a slot never written: it never replaces the library's macro, and a
    // nameless one is not added.
    const bool empty = MacroEventCount(macro) == 0;
    const MacroRecord* existing = name.empty() ? nullptr : library->FindMacroByName(name);
    if (existing != nullptr) {
        const std::uint32_t id = existing->dwMacroID;
        if (empty && MacroEventCount(*existing) > 0) {
            DbgLog("GetMacro: slot %d is empty, macro %s of the library kept", m, name.c_str());
        } else if (!MacrosEqual(*existing, macro)) {
            library->ReplaceMacro(*existing, macro);
        }
        return id;
    }
    if (empty && name.empty()) {
        DbgLog("GetMacro: slot %d is empty and has no name, not added", m);
        return 0;
    }
    if (!library->AddMacro(macro)) {
        DbgLog("add macro to list faile..");
        return 0;
    }
    return macro.dwMacroID;
}

void DecodeKeys(Memory memory, const CodecContext& context, MacroLibraryAccess* library,
                const MacroNameTable& names, ProfileFile& scratch,
                const ProfileDecodeHooks& hooks) {
    const KeyCodeSources sources{context.sensor,
                                 memory.subspan(mm::kComboSlots, mm::kMacroSlots - mm::kComboSlots),
                                 &names, library};
    for (int b = 0; b < mm::kKeySlots; ++b) {
        const int m = MatrixIndexToRead(context, b);
        if (m < 0) continue;
        const std::uint32_t code = KeyCodeAt(memory, m);
        const auto entry = Fixed<4>(memory, mm::KeyMatrixAddress(m));
        DbgLog("nCode = 0x%x, MatrixInx=%d", code | static_cast<std::uint32_t>(entry[3]) << 24, m);
        std::uint32_t macroId = 0;
        if ((code & 0xFF) == kKeyCodeTypeMacro)
            macroId = MergeDeviceMacro(memory, m, code, names, library, hooks);
        KeyAssignment& key = scratch.Key[0][b];
        // The key was read from matrix position m, so its record names that position.
        key.nMatrixIndex = static_cast<std::uint32_t>(m + 1);
        // A code without a rule leaves the button cleared (function 0), as the keyinfo
        // line below shows; the rest of the profile still reads.
        (void)hardware_code_to_keyinfo(sources, code, key);
        // The key plays the macro just merged. Finding it again by name gives the same macro
        // for a named one, but would give every unnamed slot the first unnamed library macro.
        if (macroId != 0 && key.dwFunID == KF_MACRO) key.dwMacroID = macroId;
        DbgLog("keyinfo: major=0x%x, minor=%d", key.FunctionClass(), int(key.FunctionCode()));
    }
}

}  // namespace

std::vector<int> MacroSlotsToRead(std::span<const std::uint8_t> memory,
                                  const CodecContext& context) {
    std::vector<int> slots;
    if (memory.size() < kDeviceMemorySize) return slots;
    for (int b = 0; b < mm::kKeySlots; ++b) {
        const int m = MatrixIndexToRead(context, b);
        if (m >= 0 && (KeyCodeAt(memory, m) & 0xFF) == kKeyCodeTypeMacro &&
            std::find(slots.begin(), slots.end(), m) == slots.end()) {
            slots.push_back(m);
        }
    }
    return slots;
}

int DecodeProfileImage(std::span<const std::uint8_t> memory, const CodecContext& context,
                       MacroLibraryAccess* library, ProfileFile& scratch, int& curDpiLevel,
                       MacroNameTable& names, const ProfileDecodeHooks& hooks) {
    if (memory.size() < kDeviceMemorySize) {
        DbgLog("GetProfile: device memory image of %zu bytes is too short", memory.size());
        return 0;
    }
    LogAreas(memory);
    LoadNames(memory, names);

    const std::optional<std::uint32_t> rate = ReportRateFromCode(memory[mm::kReportRate]);
    if (!rate) {
        DbgLog("GetProfile: wrong report rate code %d", memory[mm::kReportRate]);
        return 0;
    }
    scratch.dwReportRate = *rate;

    DbgLog("set g_nCurDpiLevel=%d", curDpiLevel);
    const int levelCount = std::clamp<int>(memory[mm::kDpiLevelCount], 1, mm::kDpiLevelSlots);
    curDpiLevel = std::min<int>(memory[mm::kCurrentDpiLevel], levelCount - 1);

    DecodeSingleSettings(memory, context, scratch);
    if (!DecodeDpiLevels(memory, context.sensor, scratch)) {
        constexpr std::string_view kText = "Get wrong dpi from device";
        if (hooks.showMessage) {
            hooks.showMessage(kText, "Warning");
        } else {
            ShowSystemMessage(kText, "Warning");
        }
    }
    DecodeKeys(memory, context, library, names, scratch, hooks);

    DecodeDpiEffect(Fixed<mm::kDpiEffectSize>(memory, mm::kDpiEffect), scratch.stDpiEffect);
    if (context.showMainEffect) {
        EEPROM_To_MainRGB(Fixed<mm::kMainLightingReadSize>(memory, mm::kMainLighting),
                          scratch.stMainRGB);
    }
    if (context.showLogoEffect) {
        EEPROM_To_LogoRGB(Fixed<mm::kLogoLightingSize>(memory, mm::kLogoLighting),
                          scratch.stLogoRGB);
    }
    return 1;
}

}  // namespace vantor
