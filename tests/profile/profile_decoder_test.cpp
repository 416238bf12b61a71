#include "profile/profile_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "keys/key_functions.h"
#include "profile/check_byte.h"
#include "profile/memory_map.h"
#include "profile/sensor_tables.h"
#include "tests/profile/codec_test_support.h"

namespace vantor {
namespace {

namespace mm = memory_map;
using Memory = std::vector<std::uint8_t>;

// A small device memory: report rate 1000, two levels of 400 and 800 DPI (sensor 0x3395),
// level 1 active, left click on matrix entry 0.
Memory BaseMemory() {
    Memory m(kDeviceMemorySize, 0);
    m[mm::kReportRate] = 1;
    m[mm::kDpiLevelCount] = 2;
    m[mm::kCurrentDpiLevel] = 1;
    m[mm::kDpiEntries] = 7;       // 400 DPI
    m[mm::kDpiEntries + 4] = 15;  // 800 DPI
    m[mm::kDpiEntries + 5] = 15;
    m[mm::kKeyMatrix] = 0x01;
    m[mm::kKeyMatrix + 1] = 0x01;
    return m;
}

CodecContext Context() {
    CodecContext c;
    c.sensor = 0x3395;
    c.dpiLevelCount = 2;
    for (int b = 0; b < 4; ++b) c.defaultMatrixIndex[static_cast<std::size_t>(b)] = b + 1u;
    return c;
}

struct Decoded {
    int result = 0;
    ProfileFile record{};
    int curDpiLevel = 5;
    MacroNameTable names{};
    std::vector<std::pair<std::string, std::string>> messages;
};

Decoded Decode(const Memory& memory, const CodecContext& context = Context(),
               MacroLibraryAccess* library = nullptr, ProfileFile start = ProfileFile{}) {
    Decoded d;
    d.record = start;
    ProfileDecodeHooks hooks;
    hooks.showMessage = [&d](std::string_view text, std::string_view caption) {
        d.messages.emplace_back(std::string(text), std::string(caption));
    };
    hooks.newMacroId = [] { return 0xABCDu; };
    d.result =
        DecodeProfileImage(memory, context, library, d.record, d.curDpiLevel, d.names, hooks);
    return d;
}

class ProfileDecoderTest : public ::testing::Test {
  protected:
    void SetUp() override { TheSensorTables().Build(SensorTableOptions{}); }
};

TEST_F(ProfileDecoderTest, DecodesLevelsSettingsAndKeys) {
    test::LogCapture log;
    Memory m = BaseMemory();
    m[mm::kSleepTime] = 6;
    m[mm::kMotionSync] = 5;
    m[mm::kDpiColors + 4] = 0x10;
    const Decoded d = Decode(m);
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(d.record.dwReportRate, 0x1000u);
    EXPECT_EQ(d.curDpiLevel, 1);
    EXPECT_EQ(d.record.nDpiLevels, 2);
    EXPECT_EQ(d.record.Dpi[0].dwDpi, 400u);
    EXPECT_EQ(d.record.Dpi[1].dwDpiY, 800u);
    EXPECT_EQ(d.record.Dpi[1].dwColor, 0x10u);
    EXPECT_EQ(d.record.Dpi[1].bUnused, 0);
    EXPECT_EQ(d.record.Dpi[2].bUnused, 1);
    EXPECT_EQ(d.record.nSleepTime, 60);
    EXPECT_EQ(d.record.bMotionSync, 1);
    EXPECT_EQ(d.record.Key[0][0].dwFunID, KF_LEFT_CLICK);
    EXPECT_EQ(d.record.Key[0][0].nMatrixIndex, 1u);
    EXPECT_EQ(d.record.Key[0][1].dwFunID, KF_DISABLE);  // entry 1 holds code 0
    EXPECT_TRUE(d.messages.empty());
    for (const char* line : {"GetProfile (0x0C~0x2B) (DPI)(x y mul crc):", "set g_nCurDpiLevel=5",
                             "dwDpi[1]=800", "Sleep Time=60", "nCode = 0x101, MatrixInx=0",
                             "keyinfo: major=0x1, minor=17", "GetMacroName:"}) {
        EXPECT_TRUE(log.Contains(line)) << line;
    }
}

TEST_F(ProfileDecoderTest, UnknownReportRateOrShortImageFails) {
    Memory m = BaseMemory();
    m[mm::kReportRate] = 3;
    EXPECT_EQ(Decode(m).result, 0);
    EXPECT_EQ(Decode(Memory(kDeviceMemorySize - 1, 0)).result, 0);
}

TEST_F(ProfileDecoderTest, UndecodableLevelWarnsOnceAndGoesOn) {
    test::LogCapture log;
    Memory m = BaseMemory();
    CodecContext c = Context();
    c.sensor = 0x3104;  // codes 7 and 15 are no steps of this sensor
    const Decoded d = Decode(m, c);
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(d.record.Dpi[0].dwDpi, 0u);
    EXPECT_EQ(d.record.Dpi[1].bUnused, 0);
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0],
              std::make_pair(std::string("Get wrong dpi from device"), std::string("Warning")));
    EXPECT_TRUE(log.Contains("wrong dpi(3104): Data[12]=0x7, Data[14]=0x0"));
    EXPECT_EQ(d.record.Key[0][0].dwFunID, KF_LEFT_CLICK);  // decoding went on
}

TEST_F(ProfileDecoderTest, LevelCountAndActiveLevelAreKeptInRange) {
    struct Case {
        std::uint8_t count, active;
        int levels, curDpiLevel, decodedLevels;
    };
    const Case cases[] = {
        {12, 9, 8, 7, 8},  // logged as wrong; eight levels at most
        {0, 0, 1, 0, 0},   // no level decoded, but the record keeps one in use
        {3, 5, 3, 2, 3},
    };
    for (const Case& c : cases) {
        test::LogCapture log;
        Memory m = BaseMemory();
        m[mm::kDpiLevelCount] = c.count;
        m[mm::kCurrentDpiLevel] = c.active;
        const Decoded d = Decode(m);
        EXPECT_EQ(d.record.nDpiLevels, c.levels);
        EXPECT_EQ(d.curDpiLevel, c.curDpiLevel);
        int decoded = 0;
        for (const DpiLevel& level : d.record.Dpi) decoded += level.bUnused == 0;
        EXPECT_EQ(decoded, c.decodedLevels);
        EXPECT_EQ(log.Contains("!!!!Error: wrong dpi data"),
                  c.count == 0 || c.count > 8 || c.active > 8);
    }
}

TEST_F(ProfileDecoderTest, HiddenSettingsAndMaskedKeysKeepTheirValues) {
    Memory m = BaseMemory();
    m[mm::kLiftOffDistance] = 2;
    m[mm::kRipple] = 1;
    m[mm::kMainLighting] = 0x01;  // would set the main effect to 2
    CodecContext c = Context();
    c.showLod = false;
    c.showRipple = true;
    c.showMainEffect = false;
    c.keyMask = 0x01;              // button 0 is not read
    c.defaultMatrixIndex[2] = 0;   // no such button
    c.defaultMatrixIndex[3] = 17;  // outside the matrix
    ProfileFile start{};
    start.nLOD = 7;
    start.stMainRGB.nMode = 6;
    start.nKeySet = 2;
    for (int b = 0; b < 4; ++b) start.Key[0][b].dwFunID = 0x1234;
    const Decoded d = Decode(m, c, nullptr, start);
    EXPECT_EQ(d.record.nLOD, 7);
    EXPECT_EQ(d.record.nRipple, 1);
    EXPECT_EQ(d.record.stMainRGB.nMode, 6u);
    EXPECT_EQ(d.record.Key[0][0].dwFunID, 0x1234u);
    EXPECT_EQ(d.record.Key[0][1].dwFunID, KF_DISABLE);  // decoded keys go into key set 0
    EXPECT_EQ(d.record.Key[0][2].dwFunID, 0x1234u);
    EXPECT_EQ(d.record.Key[0][3].dwFunID, 0x1234u);
}

// Puts a one-event macro named `name` with key code 6 | repeat << 16 at matrix entry `m`.
void PutMacro(Memory& memory, int m, const char* name, std::uint8_t repeat) {
    const std::size_t slot = mm::MacroSlotAddress(m);
    for (std::size_t i = 0; name[i] != 0; ++i)
        memory[slot + 1 + 2 * i] = static_cast<std::uint8_t>(name[i]);
    const std::uint8_t events[] = {1, 0x81, 0x04, 0, 0, 10};  // A pressed, 10 ms
    std::copy(std::begin(events), std::end(events), memory.begin() + static_cast<long>(slot + 31));
    std::uint8_t* entry = memory.data() + mm::KeyMatrixAddress(m);
    entry[0] = 6;
    entry[1] = static_cast<std::uint8_t>(m);
    entry[2] = repeat;
    SealGroup(std::span<std::uint8_t>(entry, 4));
}

TEST_F(ProfileDecoderTest, DeviceMacrosAreMergedIntoTheLibrary) {
    Memory m = BaseMemory();
    PutMacro(m, 1, "New", 0xFE);
    PutMacro(m, 2, "Same", 4);
    PutMacro(m, 3, "Changed", 0xFF);
    EXPECT_EQ(MacroSlotsToRead(m, Context()), (std::vector<int>{1, 2, 3}));

    test::FakeMacroLibrary library;
    MacroRecord same = test::MakeMacro(0x21, "same", {{0x41, kMacroKindPress, 10}});
    library.macros.push_back(same);
    library.macros.push_back(test::MakeMacro(0x22, "Changed", {{0x42, kMacroKindPress, 10}}));
    library.macros.reserve(8);  // keeps the records in place while the library grows

    const Decoded d = Decode(m, Context(), &library);
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(library.adds, 1);
    EXPECT_EQ(library.replaces, 1);
    ASSERT_EQ(library.macros.size(), 3u);
    const MacroRecord& added = library.macros[2];
    EXPECT_EQ(MacroName(added), "New");
    EXPECT_EQ(added.dwMacroID, 0xABCDu);
    EXPECT_EQ(added.dwLoopMode, 2u);
    EXPECT_EQ(library.macros[1].dwMacroID, 0x22u);
    EXPECT_EQ(library.macros[1].stEvents[0].wCode, 0x41);
    EXPECT_EQ(library.macros[1].dwLoopMode, 1u);

    EXPECT_EQ(d.record.Key[0][1].dwFunID, KF_MACRO);
    EXPECT_EQ(d.record.Key[0][1].dwMacroID, 0xABCDu);
    EXPECT_EQ(d.record.Key[0][2].dwMacroID, 0x21u);
    EXPECT_EQ(d.record.Key[0][3].dwMacroID, 0x22u);
    EXPECT_EQ(MacroSlotName(d.names, 3), "Changed");
}

TEST_F(ProfileDecoderTest, UnnamedDeviceMacrosKeepTheirOwnLibraryMacro) {
    Memory m = BaseMemory();
    PutMacro(m, 1, "", 1);
    PutMacro(m, 2, "", 1);
    m[mm::MacroSlotAddress(2) + 31 + 2] = 0x05;  // slot 2 presses B, slot 1 presses A
    test::FakeMacroLibrary library;
    library.macros.push_back(test::MakeMacro(0x30, "", {{0x43, kMacroKindPress, 10}}));
    library.macros.reserve(8);

    ProfileFile record{};
    int curDpiLevel = 0;
    MacroNameTable names{};
    ProfileDecodeHooks hooks;
    std::uint32_t nextId = 0x100;
    hooks.newMacroId = [&nextId] { return nextId++; };
    ASSERT_EQ(DecodeProfileImage(m, Context(), &library, record, curDpiLevel, names, hooks), 1);
    ASSERT_EQ(library.macros.size(), 3u);
    EXPECT_EQ(record.Key[0][1].dwMacroID, library.macros[1].dwMacroID);
    EXPECT_EQ(library.macros[1].stEvents[0].wCode, 0x41);
    EXPECT_EQ(record.Key[0][2].dwMacroID, library.macros[2].dwMacroID);
    EXPECT_EQ(library.macros[2].stEvents[0].wCode, 0x42);
}

// A slot without events (a read that the mouse's profile button overtook, or a slot never
// written) never empties a library macro and never adds a nameless one.
TEST_F(ProfileDecoderTest, EmptyDeviceSlotsNeitherEmptyNorAddLibraryMacros) {
    Memory m = BaseMemory();
    PutMacro(m, 1, "Copy", 1);
    PutMacro(m, 2, "", 1);
    m[mm::MacroSlotAddress(1) + 31] = 0;  // no events
    m[mm::MacroSlotAddress(2) + 31] = 0;
    test::FakeMacroLibrary library;
    const MacroRecord copy = test::MakeMacro(0x40, "Copy", {{0x43, kMacroKindPress, 10}});
    library.macros.push_back(copy);
    library.macros.reserve(8);

    const Decoded d = Decode(m, Context(), &library);
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(library.replaces, 0);
    EXPECT_EQ(library.adds, 0);
    ASSERT_EQ(library.macros.size(), 1u);
    EXPECT_EQ(std::memcmp(&library.macros[0], &copy, sizeof copy), 0);
    EXPECT_EQ(d.record.Key[0][1].dwMacroID, 0x40u);
}

TEST_F(ProfileDecoderTest, MacroThatCannotBeAddedGetsAStandInId) {
    test::LogCapture log;
    Memory m = BaseMemory();
    PutMacro(m, 2, "Lost", 1);
    test::FakeMacroLibrary library;
    library.refuseAdd = true;
    const Decoded d = Decode(m, Context(), &library);
    EXPECT_TRUE(log.Contains("add macro to list faile.."));
    EXPECT_EQ(d.record.Key[0][2].dwMacroID, 0xFFEE02u);
}

}  // namespace
}  // namespace vantor
