#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/texts.h"
#include "keys/combo_text.h"
#include "keys/hid_vk_table.h"
#include "keys/key_names.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

class KeyNamesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The layout is chosen once per process; these tests expect the US layout.
        setenv("XKB_DEFAULT_LAYOUT", "us", 1);
        test::TempDir dir;
        test::WriteText(dir / "text.xml",
                        "<config><tc_click>Left</tc_click><tc_menu>Right</tc_menu>"
                        "<tc_middle>Middle</tc_middle><tc_forward>Fwd</tc_forward>"
                        "<tc_back>Back</tc_back></config>");
        LoadTexts(dir / "text.xml");
    }
    static void TearDownTestSuite() { LoadTexts(""); }
};

TEST(HidVkTableTest, EnterKeysTranslateToTheMainEnterKey) {
    EXPECT_EQ(VkToHid(0x0D), 0x28);
    EXPECT_EQ(HidToVk(0x58), 0x0D);
    EXPECT_EQ(HidToVk(0x28), 0x0D);
}

TEST(HidVkTableTest, TranslatesBothWays) {
    struct Case {
        std::uint8_t hid, vk;
    } cases[] = {
        {0x29, 0x1B}, {0x3A, 0x70}, {0x45, 0x7B}, {0x04, 0x41}, {0x1D, 0x5A},
        {0x1E, 0x31}, {0x27, 0x30}, {0x35, 0xC0}, {0x2D, 0xBD}, {0x4E, 0x22},
        {0x52, 0x26}, {0x4F, 0x27}, {0x59, 0x61}, {0x62, 0x60}, {0x53, 0x90},
        {0x63, 0x6E}, {0xE0, 0xA2}, {0xE3, 0x5B}, {0xE7, 0x5C}, {0x65, 0x5D},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VkToHid(c.vk), c.hid) << std::hex << int(c.vk);
        EXPECT_EQ(HidToVk(c.hid), c.vk) << std::hex << int(c.hid);
    }
}

TEST(HidVkTableTest, EveryRowButKeypadEnterIsFoundAgainAndUnknownCodesGiveZero) {
    for (const HidVkPair& row : HidVkTable) {
        EXPECT_EQ(HidToVk(row.hid), row.vk) << std::hex << int(row.hid);
        if (row.hid != 0x58) {
            EXPECT_EQ(VkToHid(row.vk), row.hid) << std::hex << int(row.vk);
        }
    }
    EXPECT_EQ(VkToHid(0xF0), 0);  // mouse buttons have no keyboard usage
    EXPECT_EQ(VkToHid(0x00), 0);
    EXPECT_EQ(HidToVk(0x00), 0);
    EXPECT_EQ(HidToVk(0xFF), 0);
}

TEST_F(KeyNamesTest, NamesOfKeys) {
    struct Case {
        std::uint8_t vk;
        const char* name;
    } cases[] = {
        {0x08, "Backspace"},
        {0x0C, "Clr"},
        {0x0D, "Enter"},
        {0x2B, "Enter"},
        {0x11, "Ctrl"},
        {0x14, "CapsLock"},
        {0x21, "PageUp"},
        {0x28, "Down"},
        {0x2A, "Print"},
        {0x2C, "PrintScreen"},
        {0x2F, "Help"},
        {0x30, "0"},
        {0x39, "9"},
        {0x41, "A"},
        {0x5A, "Z"},
        {0x5B, "L_Win"},
        {0x5D, "App"},
        {0x60, "Num 0"},
        {0x69, "Num 9"},
        {0x6A, "Num *"},
        {0x6C, "\\"},
        {0x6F, "Num /"},
        {0x70, "F1"},
        {0x7B, "F12"},
        {0x91, "Scroll Lock"},
        {0xA0, "L_Shift"},
        {0xA5, "R_Alt"},
        {0xF0, "Left"},
        {0xF1, "Right"},
        {0xF2, "Middle"},
        {0xF3, "Fwd"},
        {0xF4, "Back"},
        {0xFF, ""},
        {0xBA, ";"},
        {0xDE, "'"},
        {0xC0, "`"},
        {0x7C, ""},  // F13 gives no character
        {0x07, ""},  // no key at all
    };
    for (const Case& c : cases) EXPECT_EQ(KeyName(c.vk), c.name) << std::hex << int(c.vk);
}

TEST_F(KeyNamesTest, ComboTextsOfBothForms) {
    struct Case {
        std::uint8_t modifiers, key1, key2, key3;
        const char* label;
        const char* capture;
    } cases[] = {
        {0x11, 0x41, 0, 0, "Ctrl + A", "L-Ctrl + R-Ctrl + A"},
        {0x01, 0x43, 0, 0, "Ctrl + C", "L-Ctrl + C"},
        {0xFF, 0, 0, 0, "Ctrl + Alt + Shift + Win",
         "L-Ctrl + L-Alt + L-Shift + L-Win + R-Ctrl + R-Alt + R-Shift + R-Win"},
        {0x00, 0x41, 0, 0x42, "A + B", "A + B"},
        {0x00, 0, 0, 0, "", ""},
        {0x20, 0x70, 0xF0, 0, "Shift + F1 + Left", "R-Shift + F1 + Left"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComboText(c.modifiers, c.key1, c.key2, c.key3), c.label);
        EXPECT_EQ(ComboCaptureText(c.modifiers, c.key1, c.key2, c.key3), c.capture);
    }
}

}  // namespace
}  // namespace vantor
