#include "profile/key_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "keys/key_functions.h"
#include "profile/sensor_tables.h"
#include "tests/profile/codec_test_support.h"

namespace vantor {
namespace {

constexpr std::uint32_t kSensor = 0x3395;

class KeyCodecTest : public ::testing::Test {
  protected:
    void SetUp() override { TheSensorTables().Build(SensorTableOptions{}); }
};

KeyAssignment Key(std::uint32_t funId, std::uint32_t parameter = 0, std::uint32_t matrix = 3) {
    KeyAssignment k{};
    k.dwFunID = funId;
    k.dwParameter = parameter;
    k.nMatrixIndex = matrix;
    return k;
}

KeyAssignment Decode(std::uint32_t code,
                     const KeyCodeSources& sources = {kSensor, {}, nullptr, nullptr}) {
    KeyAssignment k{};
    k.nMatrixIndex = 3;
    k.dwReserved = 0xAB;  // cleared by decoding
    EXPECT_EQ(hardware_code_to_keyinfo(sources, code, k), 1) << std::hex << code;
    EXPECT_EQ(k.nMatrixIndex, 3u);
    EXPECT_EQ(k.dwReserved, 0u);
    return k;
}

TEST_F(KeyCodecTest, FunctionsWithFixedCodesGoBothWays) {
    struct Case {
        std::uint32_t funId;
        std::int32_t code;
    };
    const Case cases[] = {
        {KF_LEFT_CLICK, 0x000101},     {KF_MIDDLE_CLICK, 0x000401}, {KF_RIGHT_CLICK, 0x000201},
        {KF_FORWARD, 0x001001},        {KF_BACK, 0x000801},         {KF_TRIPLE_CLICK, 0x033204},
        {KF_DISABLE, 0x000000},        {KF_LED_TOGGLE, 0x000008},   {KF_DPI_UP, 0x000202},
        {KF_DPI_DOWN, 0x000302},       {KF_DPI_CYCLE, 0x000102},    {KF_REPORT_RATE, 0x000007},
        {KF_PROFILE_SWITCH, 0x000009},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keyinfo_to_hardware_code(Key(c.funId), kSensor, nullptr), c.code);
        EXPECT_EQ(Decode(static_cast<std::uint32_t>(c.code)).dwFunID, c.funId);
    }
}

TEST_F(KeyCodecTest, FireKeysSwapShotsAndInterval) {
    EXPECT_EQ(keyinfo_to_hardware_code(Key(KF_FIRE, 0x0A03), kSensor, nullptr), 0x030A04);
    KeyAssignment fire = Decode(0x030A04);
    EXPECT_EQ(fire.dwFunID, KF_FIRE);
    EXPECT_EQ(fire.dwParameter, 0x0A03u);

    // Double click is held as 2 shots at interval 50 and comes back as that fire key.
    EXPECT_EQ(keyinfo_to_hardware_code(Key(KF_DOUBLE_CLICK), kSensor, nullptr), 0x023204);
    KeyAssignment dbl = Decode(0x023204);
    EXPECT_EQ(dbl.dwFunID, KF_FIRE);
    EXPECT_EQ(dbl.dwParameter, 0x3202u);
}

TEST_F(KeyCodecTest, DpiLockHoldsTheSensorCodeOfItsStep) {
    // Step 15 of sensor 0x3395 is 800 DPI, code 800 / 50 - 1 = 15.
    ASSERT_EQ(DpiAtStep(kSensor, 15), 800);
    EXPECT_EQ(keyinfo_to_hardware_code(Key(KF_DPI_LOCK, 15), kSensor, nullptr), 0x0F0A);
    KeyAssignment lock = Decode(0x0F0A);
    EXPECT_EQ(lock.dwFunID, KF_DPI_LOCK);
    EXPECT_EQ(lock.dwParameter, 15u);
    // A step beyond the list has no DPI and no code; it never reads past the list.
    EXPECT_EQ(keyinfo_to_hardware_code(Key(KF_DPI_LOCK, 0xFFFFFFFF), kSensor, nullptr), 0x000A);
}

TEST_F(KeyCodecTest, DeviceOwnCodesAreWrittenUnchanged) {
    EXPECT_EQ(keyinfo_to_hardware_code(Key(KF_CUSTOM, 0x001001), kSensor, nullptr), 0x001001);
    EXPECT_EQ(keyinfo_to_hardware_code(Key(KF_EXKEY + 2, 0x00000B), kSensor, nullptr), 0x00000B);
    // They read back by the rules of the other codes.
    EXPECT_EQ(Decode(0x001001).dwFunID, KF_FORWARD);
}

TEST_F(KeyCodecTest, KeysAndConsumerKeysPointToTheirSlot) {
    for (std::uint32_t funId : {KF_KEY_COMBO, KF_KEY, KF_VOLUME_UP, KF_APP_MAIL}) {
        EXPECT_EQ(keyinfo_to_hardware_code(Key(funId), kSensor, nullptr), 0x000005);
    }
}

TEST_F(KeyCodecTest, FunctionsWithoutDeviceCode) {
    for (std::uint32_t funId : {KF_SHIFT, KF_ALL_KEY_SETS, KF_LED_SWITCH, KF_RIGHT_DOUBLE_CLICK,
                                0x09000001u, 0x01000099u}) {
        EXPECT_EQ(keyinfo_to_hardware_code(Key(funId), kSensor, nullptr), kNoKeyCode);
    }
    for (std::uint32_t code : {0x000003u, 0x000105u, 0x00000Bu, 0xFFFFFFu, 0x000001u}) {
        KeyAssignment k = Key(KF_LEFT_CLICK);
        EXPECT_EQ(hardware_code_to_keyinfo({kSensor, {}, nullptr, nullptr}, code, k), 0) << code;
        EXPECT_EQ(k.dwFunID, 0u);
    }
}

TEST_F(KeyCodecTest, MacroCodeCarriesSlotAndRepeat) {
    test::FakeMacroLibrary library;
    library.macros.push_back(test::MakeMacro(0x123, "Copy", {{0x43, 1, 10}}));
    MacroRecord& macro = library.macros.back();
    KeyAssignment key = Key(KF_MACRO, 0, 5);
    key.dwMacroID = 0x123;

    struct Case {
        std::uint32_t loopMode;
        std::uint8_t loopCount;
        std::int32_t code;
    };
    const Case cases[] = {
        {0, 3, 0x030406},
        {1, 3, 0xFF0406},
        {2, 3, 0xFE0406},
        {0, 254, 0xFA0406},  // a count never reads back as another repeat mode
    };
    for (const Case& c : cases) {
        macro.dwLoopMode = c.loopMode;
        macro.nLoopCount = c.loopCount;
        EXPECT_EQ(keyinfo_to_hardware_code(key, kSensor, &library), c.code);
    }

    test::LogCapture log;
    key.dwMacroID = 0x999;
    EXPECT_EQ(keyinfo_to_hardware_code(key, kSensor, &library), kNoKeyCode);
    EXPECT_TRUE(log.Contains("keyinfo_to_hardware_code can't find macro id 0x999"));
}

TEST_F(KeyCodecTest, MacroCodeReadsBackAsTheLibraryMacroOfTheSlotName) {
    test::FakeMacroLibrary library;
    library.macros.push_back(test::MakeMacro(0x777, "Copy", {{0x43, 1, 10}}));
    MacroNameTable names{};
    const char16_t name[] = u"copy";  // names compare without case
    for (int i = 0; i < 4; ++i) names[2][2 * i] = static_cast<std::uint8_t>(name[i]);

    const KeyCodeSources sources{kSensor, {}, &names, &library};
    KeyAssignment found = Decode(0xFF0206, sources);  // nMatrixIndex 3 -> slot 2
    EXPECT_EQ(found.dwFunID, KF_MACRO);
    EXPECT_EQ(found.dwMacroID, 0x777u);

    names[2].fill(0);
    EXPECT_EQ(Decode(0xFF0206, sources).dwMacroID, 0xFFEE02u);

    // A key outside the matrix has no slot to name its macro or combination.
    KeyAssignment outside{};
    outside.nMatrixIndex = 40;
    EXPECT_EQ(hardware_code_to_keyinfo(sources, 0x000006, outside), 0);
    EXPECT_EQ(hardware_code_to_keyinfo(sources, 0x000005, outside), 0);
}

TEST_F(KeyCodecTest, ComboCodeDecodesTheKeysSlot) {
    std::array<std::uint8_t, 512> slots{};
    // Slot 2 (nMatrixIndex 3): volume up.
    const std::uint8_t volumeUp[] = {2, 0x82, 0xE9, 0x00, 0x42, 0xE9, 0x00};
    std::copy(std::begin(volumeUp), std::end(volumeUp), slots.begin() + 64);
    EXPECT_EQ(Decode(0x000005, {kSensor, slots, nullptr, nullptr}).dwFunID, KF_VOLUME_UP);
}

}  // namespace
}  // namespace vantor
