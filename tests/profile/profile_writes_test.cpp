#include "profile/profile_writes.h"
#include "app/config/codec_context_config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "app/config/config.h"
#include "keys/key_functions.h"
#include "profile/memory_map.h"
#include "profile/profile_decoder.h"
#include "profile/sensor_tables.h"
#include "tests/profile/codec_test_support.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Memory = std::vector<std::uint8_t>;

constexpr std::uint32_t kAllDeviceParts = SET_KEY | SET_LED | SET_DPI | SET_DPI_COLOR |
                                          SET_DPI_NUM | SET_CUR_DPI | SET_RATE | SET_LOD |
                                          SET_FIXLINE | SET_RIPPLE | SET_DEBOUNCE | SET_MOTIONSYNC |
                                          SET_SLEEP | SET_LIGHTOFF | SET_SENSORMODE | SET_AUTOSLEEP;

KeyAssignment Key(std::uint32_t funId, std::uint32_t matrix, std::uint32_t parameter = 0) {
    KeyAssignment k{};
    k.dwFunID = funId;
    k.nMatrixIndex = matrix;
    k.dwParameter = parameter;
    return k;
}

DpiLevel Level(std::uint32_t x, std::uint32_t y, std::uint32_t color) {
    DpiLevel l{};
    l.dwDpi = x;
    l.dwDpiY = y;
    l.dwColor = color;
    return l;
}

RgbEffect Effect(std::uint32_t mode, std::uint32_t speed, std::uint32_t light,
                 std::uint32_t color) {
    RgbEffect e{};
    e.nMode = mode;
    e.nSpeed = speed;
    e.nLight = light;
    e.dwColor = color;
    return e;
}

// A record that uses every part of device memory the device section shows.
ProfileFile FullRecord(const CodecContext& context, std::uint32_t macroId) {
    ProfileFile r{};
    r.dwMagic = kProfileMagic;
    r.dwProfileID = 0x123456;
    SetProfileName(r, "Profile 1");
    r.dwReportRate = 0x250;
    r.dwSensor = context.sensor;
    r.nDpiLevels = context.dpiLevelCount;
    const std::uint32_t dpi[] = {400, 800, 1600, 3200, 6400, 12800, 0, 0};
    for (int i = 0; i < kDpiLevels; ++i) {
        r.Dpi[i] =
            i < context.dpiLevelCount ? Level(dpi[i], dpi[i], 0x102030u * (i + 1)) : Level(0, 0, 0);
        r.Dpi[i].bUnused = i < context.dpiLevelCount ? 0 : 1;
    }
    r.Dpi[1].dwDpiY = 1600;
    r.nLOD = 2;
    r.nRipple = 1;
    r.nFixLine = 1;
    r.nSleepTime = 120;
    r.nDebounce = 8;
    r.bLightOffOnMoving = 1;
    r.bMotionSync = 1;
    r.nSensorMode = 1;
    r.nAutoSleep = 12;
    r.stDpiEffect.nMode = 1;
    r.stDpiEffect.nSpeed = 3;
    r.stDpiEffect.nLight = 5;
    r.stMainRGB = Effect(2, 4, 7, 0x0000FF);
    r.stLogoRGB = Effect(3, 5, 2, 0x00FF00);

    KeyAssignment combo = Key(KF_KEY_COMBO, 0);
    combo.stCombo = 0x4301;  // Ctrl+C
    KeyAssignment macro = Key(KF_MACRO, 0);
    macro.dwMacroID = macroId;
    const KeyAssignment functions[] = {
        Key(KF_LEFT_CLICK, 0),   combo,
        Key(KF_VOLUME_UP, 0),    macro,
        Key(KF_FIRE, 0, 0x0A03), Key(KF_DPI_LOCK, 0, 10),
        Key(KF_TRIPLE_CLICK, 0), Key(KF_MEDIA_NEXT, 0),
    };
    for (int b = 0; b < kKeysPerSet; ++b) {
        const std::uint32_t matrix = context.defaultMatrixIndex[static_cast<std::size_t>(b)];
        if (matrix == 0) continue;
        r.Key[0][b] = functions[b % 8];
        r.Key[0][b].nMatrixIndex = matrix;
        r.Key[1][b] = Key(KF_DISABLE, matrix);
        r.Key[2][b] = Key(KF_DPI_UP, matrix);
    }
    return r;
}

// Sets every field the decoder is expected to fill to a value it never produces.
void Scramble(ProfileFile& r, const CodecContext& context) {
    r.dwReportRate = 0xBAD;
    r.nDpiLevels = 99;
    // Levels above the device's count only get bUnused; the rest keep the scratch values.
    for (int i = 0; i < kDpiLevels; ++i) {
        if (i < context.dpiLevelCount) r.Dpi[i] = Level(7, 7, 7);
        r.Dpi[i].bUnused = 7;
    }
    if (context.showLod) r.nLOD = 99;
    if (context.showRipple) r.nRipple = 99;
    if (context.showFixLine) r.nFixLine = 99;
    if (context.showDebounce) r.nDebounce = 99;
    r.nSleepTime = r.bLightOffOnMoving = r.nAutoSleep = r.nSensorMode = r.bMotionSync = 99;
    for (int b = 0; b < kKeysPerSet; ++b) {
        if (context.defaultMatrixIndex[static_cast<std::size_t>(b)] != 0)
            r.Key[0][b].dwFunID = 0xDEAD;
    }
    r.stDpiEffect.nMode = r.stDpiEffect.nSpeed = r.stDpiEffect.nLight = 9;
    if (context.showMainEffect) r.stMainRGB = Effect(9, 9, 9, 9);
    if (context.showLogoEffect) r.stLogoRGB = Effect(9, 9, 9, 9);
}

class ProfileWritesTest : public ::testing::Test {
  protected:
    void SetUp() override { TheSensorTables().Build(SensorTableOptions{}); }
};

TEST_F(ProfileWritesTest, RecordSurvivesWritingAndReadingForEveryShippedDevice) {
    ASSERT_TRUE(DataInit(test::SourceDataDir() + "cfg.ini"));
    for (int device = 0; device < 2; ++device) {
        SCOPED_TRACE(device);
        const CodecContext context = CodecContextForDevice(device);
        ASSERT_NE(context.sensor, 0u);
        test::FakeMacroLibrary library;
        library.macros.push_back(test::MakeMacro(
            0x4711, "Copy", {{0xA2, 1, 10}, {0x43, 1, 20}, {0x43, 0, 30}, {0xA2, 0, 0}}));
        library.macros.back().nLoopCount = 3;
        const ProfileFile record = FullRecord(context, 0x4711);

        const ProfileWritePlan plan =
            BuildProfileWrites(record, kAllDeviceParts, kSetIndexAll, 2, context, &library);
        Memory memory(kDeviceMemorySize, 0);
        ASSERT_EQ(RunWritesOnMemory(plan, memory, false), 1);

        ProfileFile scratch = record;
        Scramble(scratch, context);
        int curDpiLevel = 0;
        MacroNameTable names{};
        ProfileDecodeHooks hooks;
        hooks.showMessage = [](std::string_view, std::string_view) { ADD_FAILURE(); };
        hooks.newMacroId = [] { return 0x999u; };
        ASSERT_EQ(DecodeProfileImage(memory, context, &library, scratch, curDpiLevel, names, hooks),
                  1);

        // A combination comes back as "read from the device"; everything else unchanged.
        ProfileFile expected = record;
        for (int b = 0; b < kKeysPerSet; ++b) {
            if (expected.Key[0][b].dwFunID == KF_KEY_COMBO) {
                expected.Key[0][b].dwFunID = KF_KEY_FROM_DEVICE;
            }
        }
        EXPECT_EQ(std::memcmp(&scratch, &expected, sizeof scratch), 0);
        for (int b = 0; b < kKeysPerSet; ++b) {
            EXPECT_EQ(scratch.Key[0][b].dwFunID, expected.Key[0][b].dwFunID) << b;
            EXPECT_EQ(scratch.Key[0][b].stCombo, expected.Key[0][b].stCombo) << b;
            EXPECT_EQ(scratch.Key[0][b].dwMacroID, expected.Key[0][b].dwMacroID) << b;
            EXPECT_EQ(scratch.Key[0][b].dwParameter, expected.Key[0][b].dwParameter) << b;
        }
        for (int i = 0; i < kDpiLevels; ++i) {
            EXPECT_EQ(scratch.Dpi[i].dwDpi, expected.Dpi[i].dwDpi) << i;
            EXPECT_EQ(scratch.Dpi[i].dwDpiY, expected.Dpi[i].dwDpiY) << i;
            EXPECT_EQ(scratch.Dpi[i].dwColor, expected.Dpi[i].dwColor) << i;
        }
        EXPECT_EQ(curDpiLevel, 2);
        EXPECT_EQ(MacroSlotName(names, 3), "Copy");
        // The device's macro equals the library's: nothing added or replaced.
        EXPECT_EQ(library.adds + library.replaces, 0);
        EXPECT_EQ(memory[memory_map::KeyMatrixAddress(3) + 2], 3);  // repeat count
    }
}

template <typename T>
std::vector<T> StepsOf(const WriteSteps& steps) {
    std::vector<T> out;
    for (const WriteStep& s : steps) {
        if (const T* t = std::get_if<T>(&s)) out.push_back(*t);
    }
    return out;
}

std::vector<std::string> LogLines(const WriteSteps& steps) {
    std::vector<std::string> lines;
    for (const LogStep& l : StepsOf<LogStep>(steps)) lines.push_back(l.text);
    return lines;
}

CodecContext Context() {
    CodecContext c;
    c.sensor = 0x3395;
    c.dpiLevelCount = 4;
    c.showLogoEffect = true;
    return c;
}

ProfileFile BaseRecord() {
    ProfileFile r{};
    r.dwProfileID = 0x10203;
    r.dwReportRate = 0x1000;
    r.nDpiLevels = 4;
    for (int b = 0; b < 4; ++b) r.Key[0][b] = Key(KF_LEFT_CLICK, static_cast<std::uint32_t>(b + 1));
    return r;
}

TEST_F(ProfileWritesTest, OneMacroKeyWritesItsSlotThenItsMatrixEntry) {
    test::FakeMacroLibrary library;
    library.macros.push_back(test::MakeMacro(0x55, "Go", {{0x41, 1, 10}, {0x41, 0, 0}}));
    library.macros.back().dwLoopMode = 1;
    ProfileFile r = BaseRecord();
    r.Key[0][2] = Key(KF_MACRO, 6);
    r.Key[0][2].dwMacroID = 0x55;

    const ProfileWritePlan plan = BuildProfileWrites(r, SET_KEY, 2, 0, Context(), &library);
    ASSERT_TRUE(plan.valid);
    const auto writes = StepsOf<MemoryWriteStep>(plan.steps);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].address, 0x0300 + 384 * 5);
    EXPECT_EQ(writes[0].chunk, 10u);
    EXPECT_EQ(writes[0].bytes.size(), 46u);  // 32 + 2 events, check byte, three zeros
    EXPECT_EQ(writes[0].bytes[0], 4);        // "Go"
    EXPECT_EQ(writes[1].address, 0x0060 + 4 * 5);
    EXPECT_EQ(writes[1].bytes, (Bytes{0x06, 0x05, 0xFF, 0x4B}));

    const std::vector<std::string> lines = LogLines(plan.steps);
    EXPECT_EQ(lines.front(), "Set Key --------");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Matrix[5] = 0x00ff0506"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Matrix[0] = 0x00000000"), lines.end());
    ASSERT_EQ(StepsOf<LogHexStep>(plan.steps).size(), 1u);
    EXPECT_EQ(StepsOf<LogHexStep>(plan.steps)[0].title, "macro data(key=2, MatrixInx=5):");

    std::vector<int> progress;
    for (const ProgressStep& p : StepsOf<ProgressStep>(plan.steps)) progress.push_back(p.position);
    EXPECT_EQ(progress, (std::vector<int>{20, 60, 70, 80, 90, 100}));
    const auto& last = std::get<SleepStep>(plan.steps.back());
    EXPECT_EQ(last.milliseconds, 500u);
    EXPECT_TRUE(last.onlyWithWindow);
}

TEST_F(ProfileWritesTest, KeysThatCannotBeWritten) {
    test::FakeMacroLibrary library;
    ProfileFile r = BaseRecord();
    r.nKeySet = 7;                              // no such key set: the first one is written
    r.Key[0][0] = Key(KF_MACRO, 1);             // macro not in the library
    r.Key[0][1] = Key(KF_LEFT_CLICK, 200);      // outside the matrix: skipped
    r.Key[0][2] = Key(KF_CUSTOM, 3, 0x000106);  // the device's own code, of the macro type
    r.Key[0][3] = Key(KF_SHIFT, 4);             // no device code
    test::LogCapture log;
    // Without a library as well: no key may look for a macro that is not there.
    for (const MacroLibraryAccess* macros : {static_cast<const MacroLibraryAccess*>(&library),
                                             static_cast<const MacroLibraryAccess*>(nullptr)}) {
        const ProfileWritePlan plan = BuildProfileWrites(r, SET_KEY, 255, 0, Context(), macros);
        const auto writes = StepsOf<MemoryWriteStep>(plan.steps);
        ASSERT_EQ(writes.size(), 1u);  // the matrix only: no macro slot
        ASSERT_EQ(writes[0].bytes.size(), 64u);
        EXPECT_EQ(Bytes(writes[0].bytes.begin(), writes[0].bytes.begin() + 4),
                  (Bytes{0xFF, 0xFF, 0xFF, 0x58}));
        EXPECT_EQ(Bytes(writes[0].bytes.begin() + 8, writes[0].bytes.begin() + 16),
                  (Bytes{0x06, 0x01, 0, 0x4E, 0xFF, 0xFF, 0xFF, 0x58}));
    }
    EXPECT_TRUE(log.Contains("keyinfo_to_hardware_code can't find macro id 0x0"));

    for (int index : {16, 254, -1}) {
        const ProfileWritePlan bad = BuildProfileWrites(r, SET_KEY, index, 0, Context(), &library);
        EXPECT_EQ(StepsOf<FailedWriteStep>(bad.steps).size(), 1u) << index;
        EXPECT_TRUE(StepsOf<MemoryWriteStep>(bad.steps).empty());
    }
}

TEST_F(ProfileWritesTest, LightingPartsFollowTheIndexAndTheDeviceSection) {
    ProfileFile r = BaseRecord();
    r.stMainRGB = Effect(0, 1, 1, 0);  // off: keep what the device holds
    r.stDpiEffect.nMode = 1;
    r.stLogoRGB = Effect(1, 1, 1, 0);
    const ProfileWritePlan plan = BuildProfileWrites(r, SET_LED, 255, 0, Context(), nullptr);
    EXPECT_EQ(LogLines(plan.steps)[0], "Set LED, inx=0xff --------");
    const auto rmw = StepsOf<ReadModifyWriteStep>(plan.steps);
    ASSERT_EQ(rmw.size(), 1u);
    EXPECT_EQ(rmw[0].address, 0x00A0);
    EXPECT_EQ(rmw[0].length, 7u);
    const auto writes = StepsOf<MemoryWriteStep>(plan.steps);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].address, 0x004C);
    EXPECT_EQ(writes[1].address, 0x0054);

    Memory memory(kDeviceMemorySize, 0);
    const Bytes device = {0x01, 0x11, 0x22, 0x33, 0xE6, 0x64, 0x00};
    std::copy(device.begin(), device.end(), memory.begin() + 0xA0);
    ASSERT_EQ(RunWritesOnMemory(plan, memory, false), 1);
    EXPECT_EQ(Bytes(memory.begin() + 0xA0, memory.begin() + 0xA7),
              (Bytes{0x04, 0x11, 0x22, 0x33, 0xE6, 0x64, 0xA1}));

    CodecContext hidden = Context();
    hidden.showMainEffect = hidden.showLogoEffect = false;
    const ProfileWritePlan dpiOnly =
        BuildProfileWrites(r, SET_LED, kLedPartDpiEffect | kLedPartLogo, 0, hidden, nullptr);
    ASSERT_EQ(StepsOf<MemoryWriteStep>(dpiOnly.steps).size(), 1u);
    EXPECT_TRUE(StepsOf<ReadModifyWriteStep>(dpiOnly.steps).empty());
}

TEST_F(ProfileWritesTest, DpiPartsWriteTheConfiguredLevelsOrOne) {
    ProfileFile r = BaseRecord();
    for (int i = 0; i < kDpiLevels; ++i) r.Dpi[i] = Level(400, 400, 0xFF);
    const auto all = StepsOf<MemoryWriteStep>(
        BuildProfileWrites(r, SET_DPI | SET_DPI_COLOR, 255, 0, Context(), nullptr).steps);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].bytes.size(), 16u);  // DM = 4 levels
    EXPECT_EQ(all[1].address, 0x002C);
    EXPECT_EQ(all[1].bytes.size(), 16u);

    const auto one = StepsOf<MemoryWriteStep>(
        BuildProfileWrites(r, SET_DPI | SET_DPI_COLOR, 6, 0, Context(), nullptr).steps);
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0].address, 0x000C + 24);
    EXPECT_EQ(one[1].address, 0x002C + 24);

    const ProfileWritePlan bad = BuildProfileWrites(r, SET_DPI, 8, 0, Context(), nullptr);
    EXPECT_EQ(StepsOf<FailedWriteStep>(bad.steps).size(), 1u);
    CodecContext noDpi = Context();
    noDpi.showDpi = false;
    EXPECT_TRUE(StepsOf<MemoryWriteStep>(
                    BuildProfileWrites(r, SET_DPI | SET_DPI_COLOR, 255, 0, noDpi, nullptr).steps)
                    .empty());
}

TEST_F(ProfileWritesTest, SingleSettingsInOrderWithValuesTheDeviceCanHold) {
    ProfileFile r = BaseRecord();
    r.nDpiLevels = 0;
    r.nLOD = 1;
    r.nFixLine = 1;
    r.nRipple = 0;
    r.nDebounce = 300;
    r.nSleepTime = 65;
    r.bLightOffOnMoving = 1;
    r.bMotionSync = 1;
    r.nSensorMode = 0;
    r.nAutoSleep = 6;
    const ProfileWritePlan plan =
        BuildProfileWrites(r, kAllDeviceParts & ~(SET_KEY | SET_LED | SET_DPI | SET_DPI_COLOR), 255,
                           12, Context(), nullptr);
    struct Expected {
        std::uint16_t address;
        std::uint8_t value;
    };
    const Expected expected[] = {{0x02, 1}, {0x04, 7}, {0x0A, 1}, {0xAF, 1}, {0xB1, 0}, {0xA9, 255},
                                 {0xAD, 6}, {0x00, 1}, {0xB3, 1}, {0xAB, 1}, {0xB7, 0}, {0xB5, 6}};
    const auto writes = StepsOf<MemoryWriteStep>(plan.steps);
    ASSERT_EQ(writes.size(), std::size(expected));
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].address, expected[i].address) << i;
        EXPECT_EQ(writes[i].bytes,
                  (Bytes{expected[i].value, static_cast<std::uint8_t>(0x55 - expected[i].value)}));
    }
    // Each pair is preceded by a 10 ms sleep.
    EXPECT_EQ(StepsOf<SleepStep>(plan.steps).size(), writes.size() + 1);
}

TEST_F(ProfileWritesTest, FailedWritesEndTheRunUnlessGoingWithoutDevice) {
    ProfileFile r = BaseRecord();
    r.dwReportRate = 1000;  // not a rate the device knows
    r.nAutoSleep = 6;
    const ProfileWritePlan plan =
        BuildProfileWrites(r, SET_RATE | SET_AUTOSLEEP, 255, 0, Context(), nullptr);
    Memory memory(kDeviceMemorySize, 0);
    EXPECT_EQ(RunWritesOnMemory(plan, memory, false), 0);
    EXPECT_EQ(memory[0xB5], 0);  // nothing after the failure
    EXPECT_EQ(RunWritesOnMemory(plan, memory, true), 1);
    EXPECT_EQ(memory[0xB5], 6);

    Memory tooSmall(0x10, 0);
    r.dwReportRate = 0x1000;
    EXPECT_EQ(RunWritesOnMemory(BuildProfileWrites(r, SET_AUTOSLEEP, 255, 0, Context(), nullptr),
                                tooSmall, false),
              0);

    r.dwProfileID = 0;  // a record without identity is never written
    const ProfileWritePlan none = BuildProfileWrites(r, SET_RATE, 255, 0, Context(), nullptr);
    EXPECT_FALSE(none.valid);
    EXPECT_TRUE(none.steps.empty());
    EXPECT_EQ(RunWritesOnMemory(none, memory, true), 0);
}

TEST_F(ProfileWritesTest, PointerSettingsAndReset) {
    ProfileFile r = BaseRecord();
    r.stSys.nWheelLines = 5;
    const ProfileWritePlan plan =
        BuildProfileWrites(r, SET_SYS | SET_RESET, 255, 0, Context(), nullptr);
    const auto pointer = StepsOf<PointerSettingsStep>(plan.steps);
    ASSERT_EQ(pointer.size(), 1u);
    EXPECT_EQ(pointer[0].settings.nWheelLines, 5);
    const auto commands = StepsOf<DeviceCommandStep>(plan.steps);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].command, 0x09);

    CodecContext noSys = Context();
    noSys.showSys = false;
    EXPECT_TRUE(
        StepsOf<PointerSettingsStep>(BuildProfileWrites(r, SET_SYS, 255, 0, noSys, nullptr).steps)
            .empty());
}

}  // namespace
}  // namespace vantor
