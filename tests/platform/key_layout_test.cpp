#include "platform/key_layout.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(KeyLayoutTest, UsLayoutGivesTheCharactersOfTheKeyPositions) {
    KeyLayout layout("us");
    if (!layout.HasKeymap()) GTEST_SKIP() << "no XKB data on this machine";
    struct Case {
        std::uint8_t vk;
        char32_t c;
    } cases[] = {
        {0xBA, U';'},  {0xBB, U'='}, {0xBC, U','}, {0xBD, U'-'},  {0xBE, U'.'},
        {0xBF, U'/'},  {0xC0, U'`'}, {0xDB, U'['}, {0xDC, U'\\'}, {0xDD, U']'},
        {0xDE, U'\''}, {0x41, 0},    {0x7C, 0},    {0x00, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(layout.CharForVk(c.vk), c.c) << std::hex << int(c.vk);
        EXPECT_EQ(UsCharForVk(c.vk), c.c) << std::hex << int(c.vk);
    }
}

TEST(KeyLayoutTest, GermanLayoutNamesTheSamePositionsDifferently) {
    KeyLayout layout("de");
    if (!layout.HasKeymap()) GTEST_SKIP() << "no XKB data on this machine";
    EXPECT_EQ(layout.CharForVk(0xBA), U'ö');  // US ';' position
    EXPECT_EQ(layout.CharForVk(0xDB), U'ü');  // US '[' position
    EXPECT_EQ(layout.CharForVk(0xBD), U'ß');  // US '-' position
    EXPECT_EQ(layout.CharForVk(0xE2), U'<');
    EXPECT_EQ(layout.CharForVk(0xC0), 0u);  // dead circumflex gives no character
}

TEST(KeyLayoutTest, UnknownLayoutFallsBackToTheUsTable) {
    KeyLayout layout("no-such-layout-xyz");
    EXPECT_EQ(layout.CharForVk(0xBA), U';');
    EXPECT_EQ(layout.CharForVk(0xE2), U'<');
}

}  // namespace
}  // namespace vantor
