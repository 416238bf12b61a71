#include "keys/assignment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/texts.h"
#include "keys/key_functions.h"
#include "keys/macro_list.h"
#include "profile/sensor_tables.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

class FakeUi : public AssignmentUi {
  public:
    std::optional<std::uint32_t> PickMacro() override { return macroAnswer; }
    std::optional<std::array<std::uint8_t, 4>> CaptureKeys(const std::string& tip) override {
        captureTip = tip;
        return keysAnswer;
    }
    std::optional<FireSetting> EditFireKey(const FireSetting& preset) override {
        firePreset = preset;
        return fireAnswer;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    std::optional<std::uint32_t> macroAnswer;
    std::optional<std::array<std::uint8_t, 4>> keysAnswer;
    std::optional<FireSetting> fireAnswer;
    std::string captureTip;
    FireSetting firePreset{0, 0};
    std::vector<std::string> messages;
};

KeyAssignment Record(std::uint32_t funId, std::uint32_t param = 0, std::uint32_t combo = 0,
                     std::uint32_t macroId = 0) {
    KeyAssignment key{};
    key.dwFunID = funId;
    key.dwParameter = param;
    key.stCombo = combo;
    key.dwMacroID = macroId;
    return key;
}

class AssignmentTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        test::TempDir dir;
        test::WriteText(
            dir / "text.xml",
            "<config><tc_msg1>Keep one left click</tc_msg1><tc_msg11>No macro</tc_msg11>"
            "<tc_msg25>Macro</tc_msg25><tc_comboname1>Copy</tc_comboname1>"
            "<tc_comboname2>Paste</tc_comboname2><tc_fire>Fire</tc_fire><tc_ex1>Ex1</tc_ex1>"
            "<tc_ex3>Ex3</tc_ex3><tc_snipe>Sniper</tc_snipe><tc_key_off>Off</tc_key_off>"
            "<tc_back>Back</tc_back><tc_click>Left</tc_click><tc_msg31>All sets</tc_msg31>"
            "<tc_combo_tips>Press keys</tc_combo_tips><tc_dpiadd>DPI+</tc_dpiadd></config>");
        LoadTexts(dir / "text.xml");
        TheSensorTables().Build(SensorTableOptions{});
    }
    static void TearDownTestSuite() { LoadTexts(""); }

    void SetUp() override {
        for (int s = 0; s < kKeySetCount; ++s) {
            for (int b = 0; b < kKeyButtonCount; ++b) {
                defaults_[s][b] = Record(KF_DPI_CYCLE, 0, 0, 0);
                defaults_[s][b].dwReserved = static_cast<std::uint32_t>(s);
                defaults_[s][b].nMatrixIndex = static_cast<std::uint32_t>(b + 1);
                keys_[s][b] = defaults_[s][b];
            }
            keys_[s][0] = Record(KF_LEFT_CLICK);
        }
        MacroRecord macro = NewMacro("Reload");
        macro.dwMacroID = 0x123456;
        EXPECT_EQ(macros_.Add(macro), MacroAddResult::kAdded);
        context_.comboName1 = 0x4301;  // Ctrl + C
        context_.comboName2 = 0x5601;  // Ctrl + V
        context_.exKeys = {0x10, 0x20, 0};
        context_.dpiAtStep = [](std::uint32_t step) {  // sensor 0x3050: 500, 750, 1000, ...
            return step < 650 ? DpiAtStep(0x3050, static_cast<int>(step)) : -1;
        };
        context_.defaultKeys = &defaults_;
        context_.macros = &macros_;
    }

    KeySets keys_{};
    KeySets defaults_{};
    MacroList macros_;
    KeyContext context_;
    FakeUi ui_;
};

TEST_F(AssignmentTest, Labels) {
    struct Case {
        KeyAssignment key;
        const char* label;
    } cases[] = {
        {Record(KF_MACRO, 0, 0, 0x123456), "Macro - Reload"},
        {Record(KF_MACRO, 0, 0, 0x654321), "No macro"},
        {Record(KF_KEY_COMBO, 0, 0x4301), "Copy"},
        {Record(KF_KEY_COMBO, 0, 0x44004301), "Copy"},  // only bytes 0-2 are compared
        {Record(KF_KEY_FROM_DEVICE, 0, 0x5601), "Paste"},
        {Record(KF_KEY_COMBO, 0, 0x4311), "Ctrl + C"},
        {Record(KF_KEY, 0, 0x42004100), "A + B"},
        {Record(KF_KEY, 0, 0), ""},  // a combination without keys has no label
        {Record(KF_FIRE, 0x0A03), "Fire"},
        {Record(0x010000A4), "Fire"},  // code 0xA4 whatever the class
        {Record(KF_EXKEY + 0), "Ex1"},
        {Record(KF_EXKEY + 2), "Ex3"},
        {Record(KF_EXKEY + 3), ""},
        {Record(KF_APP_BACK), "Back"},  // tc_kbmedia_back is empty here
        {Record(0x01000035), "Back"},   // the code alone selects the text
        {Record(KF_DISABLE), "Off"},
        {Record(KF_LEFT_CLICK), "Left"},
        {Record(KF_ALL_KEY_SETS), "All sets"},
        {Record(0x080000FF), ""},
        {Record(KF_DPI_LOCK, 2), "Sniper - 1000"},
        {Record(KF_DPI_LOCK, 500), "Sniper"},  // no such step
        {Record(KF_DPI_LOCK, 0xFFFFFFFF), "Sniper"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AssignmentLabel(c.key, context_), c.label)
            << std::hex << std::uint32_t(c.key.dwFunID);
    }
    context_.macros = nullptr;
    EXPECT_EQ(AssignmentLabel(Record(KF_MACRO, 0, 0, 0x123456), context_), "No macro");
}

TEST_F(AssignmentTest, LeftClickMustStayOnAnotherButton) {
    // Only button 0 holds the left click.
    EXPECT_FALSE(AssignKey(keys_, 1, 0, Record(KF_DISABLE), context_, ui_));
    EXPECT_EQ(keys_[1][0].dwFunID, KF_LEFT_CLICK);
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Keep one left click"});

    EXPECT_TRUE(AssignKey(keys_, 1, 0, Record(KF_LEFT_CLICK), context_, ui_));
    EXPECT_TRUE(AssignKey(keys_, 1, 5, Record(KF_DISABLE), context_, ui_));

    keys_[1][3] = Record(KF_LEFT_CLICK);
    EXPECT_TRUE(AssignKey(keys_, 1, 0, Record(KF_DISABLE), context_, ui_));
    EXPECT_EQ(keys_[1][0].dwFunID, KF_DISABLE);
    EXPECT_TRUE(HasOtherLeftClick(keys_[1], 0));
    EXPECT_FALSE(HasOtherLeftClick(keys_[1], 3));
}

TEST_F(AssignmentTest, AssignmentTakesTheDefaultMatrixIndexOfKeySetOne) {
    defaults_[0][4].nMatrixIndex = 9;
    keys_[2][4].nMatrixIndex = 3;
    ASSERT_TRUE(AssignKey(keys_, 2, 4, Record(KF_DPI_UP), context_, ui_));
    EXPECT_EQ(keys_[2][4].nMatrixIndex, 9u);
}

TEST_F(AssignmentTest, AllKeySetsFunctionIsWrittenToAllSetsAndResetWhenReplaced) {
    keys_[0][2] = Record(KF_MUTE);
    keys_[2][2] = Record(KF_MEDIA_STOP);
    ASSERT_TRUE(AssignKey(keys_, 1, 2, Record(KF_ALL_KEY_SETS), context_, ui_));
    for (const KeySet& set : keys_) {
        EXPECT_EQ(set[2].dwFunID, KF_ALL_KEY_SETS);
        EXPECT_EQ(set[2].nMatrixIndex, 3u);
    }

    ASSERT_TRUE(AssignKey(keys_, 1, 2, Record(KF_DPI_UP), context_, ui_));
    EXPECT_EQ(keys_[1][2].dwFunID, KF_DPI_UP);
    for (int s : {0, 2}) {
        EXPECT_EQ(keys_[s][2].dwFunID, KF_DPI_CYCLE);
        EXPECT_EQ(keys_[s][2].dwReserved, static_cast<std::uint32_t>(s));  // set's own default
    }
}

TEST_F(AssignmentTest, MenuChoicesOpenTheirWindows) {
    KeyAssignment current = Record(KF_FIRE, 0x1402, 0x11, 0x77);
    current.dwReserved = 5;

    ui_.macroAnswer = 0x123456;
    auto macro = AssignmentFromMenu(KF_MACRO, current, context_, ui_);
    ASSERT_TRUE(macro);
    EXPECT_EQ(macro->dwFunID, KF_MACRO);
    EXPECT_EQ(macro->dwMacroID, 0x123456u);

    ui_.keysAnswer = std::array<std::uint8_t, 4>{0x01, 0x43, 0x00, 0x00};
    auto combo = AssignmentFromMenu(KF_KEY_COMBO, current, context_, ui_);
    ASSERT_TRUE(combo);
    EXPECT_EQ(ui_.captureTip, "Press keys");
    EXPECT_EQ(combo->dwFunID, KF_KEY_COMBO);
    EXPECT_EQ(combo->stCombo, 0x4301u);
    ui_.keysAnswer = std::array<std::uint8_t, 4>{0x00, 0x41, 0x42, 0x43};
    combo = AssignmentFromMenu(KF_KEY_COMBO, current, context_, ui_);
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->dwFunID, KF_KEY);
    EXPECT_EQ(combo->stCombo, 0x43424100u);

    ui_.fireAnswer = FireSetting{3, 50};
    auto fire = AssignmentFromMenu(KF_FIRE, current, context_, ui_);
    ASSERT_TRUE(fire);
    EXPECT_EQ(ui_.firePreset.shots, 2);
    EXPECT_EQ(ui_.firePreset.interval, 0x14);
    EXPECT_EQ(fire->dwParameter, 0x3203u);
    AssignmentFromMenu(KF_FIRE, Record(KF_MUTE), context_, ui_);
    EXPECT_EQ(ui_.firePreset.shots, 3);  // not a fire key: the default preset
    EXPECT_EQ(ui_.firePreset.interval, 10);

    auto lock = AssignmentFromMenu(KF_DPI_LOCK + (3 << 8), current, context_, ui_);
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock->dwFunID, KF_DPI_LOCK);
    EXPECT_EQ(lock->dwParameter, 3u);

    auto exKey = AssignmentFromMenu(KF_EXKEY + 1, current, context_, ui_);
    ASSERT_TRUE(exKey);
    EXPECT_EQ(exKey->dwFunID, KF_EXKEY + 1);
    EXPECT_EQ(exKey->dwParameter, 0x20u);

    auto plain = AssignmentFromMenu(KF_VOLUME_UP, current, context_, ui_);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->dwFunID, KF_VOLUME_UP);
    EXPECT_EQ(plain->dwMacroID, 0u);
    EXPECT_EQ(plain->stCombo, 0u);
    EXPECT_EQ(plain->dwParameter, 0u);
    EXPECT_EQ(plain->dwReserved, 0u);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(AssignmentTest, CancelledOrInvalidMenuChoicesChangeNothing) {
    const KeyAssignment before = keys_[0][5];
    ui_.keysAnswer = std::array<std::uint8_t, 4>{};  // all zero cancels
    const std::uint32_t choices[] = {KF_MACRO, KF_KEY_COMBO, KF_FIRE, KF_EXKEY + 2, KF_EXKEY + 3};
    for (std::uint32_t choice : choices) {
        EXPECT_FALSE(AssignFromMenu(keys_, 0, 5, choice, context_, ui_)) << std::hex << choice;
        EXPECT_EQ(std::memcmp(&keys_[0][5], &before, sizeof before), 0);
    }
    EXPECT_EQ(ui_.messages, (std::vector<std::string>{"Wrong Ex Key Index", "Wrong Ex Key Index"}));
    EXPECT_FALSE(AssignFromMenu(keys_, 3, 5, KF_MUTE, context_, ui_));
    EXPECT_FALSE(AssignFromMenu(keys_, 0, 16, KF_MUTE, context_, ui_));
}

TEST_F(AssignmentTest, AssignmentIsLoggedExceptForTheAllKeySetsFunction) {
    test::TempDir dir;
    LogSetup(2, dir / "Log.txt");
    ASSERT_TRUE(AssignFromMenu(keys_, 1, 2, KF_MUTE, context_, ui_));
    ASSERT_TRUE(AssignFromMenu(keys_, 1, 3, KF_ALL_KEY_SETS, context_, ui_));
    LogShutdown();
    const std::string log = test::ReadText(dir / "Log.txt");
    EXPECT_NE(log.find("pFile->Key[1][2]: dwFunID=0x4000028, dwMacroID=0x00000000, "
                       "dwParameter=0x00000000, stCombo=0x00000000"),
              std::string::npos);
    EXPECT_EQ(log.find("pFile->Key[1][3]"), std::string::npos);
}

}  // namespace
}  // namespace vantor
