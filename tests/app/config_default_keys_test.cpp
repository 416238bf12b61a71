#include <gtest/gtest.h>

#include "keys/default_key_table.h"

namespace vantor {
namespace {

TEST(DefaultKeyTable, TextFormFillsTheRecord) {
    struct Case {
        const char* text;
        std::uint32_t funId, matrix, parameter, combo;
    };
    const Case cases[] = {
        {"1,1,0,1", 0x01000001, 1, 0, 0},
        {"8,a4,0,3", 0x080000A4, 3, 0x0A03, 0},  // fire key without a parameter
        {"8,A4,0x0510,3", 0x080000A4, 3, 0x0510, 0},
        {"8,a6,2,4", 0x080000A6, 4, 2, 0},
        {"8,ad,7,4", 0x080000AD, 4, 7, 0},
        {"8,c0,9,4", 0x080000C0, 4, 9, 0},
        {"8,a5,9,4", 0x080000A5, 4, 0, 0},  // other device functions take no parameter
        {"4,1e2,5,105", 0x040000E2, 5, 0, 0},
        {"2,5141,13,6", 0x020000A1, 6, 0, 0x00514103},  // keys 0x41, 0x51, modifier bits 0-3
    };
    for (const Case& c : cases) {
        KeyAssignment entry{};
        ASSERT_TRUE(ParseDefaultKeyEntry(c.text, entry)) << c.text;
        EXPECT_EQ(entry.dwFunID, c.funId) << c.text;
        EXPECT_EQ(entry.nMatrixIndex, c.matrix) << c.text;
        EXPECT_EQ(entry.dwParameter, c.parameter) << c.text;
        EXPECT_EQ(entry.stCombo, c.combo) << c.text;
    }
}

TEST(DefaultKeyTable, OnlyExactlyFourNumbersCount) {
    for (const char* text : {"", "1,1,0", "1,1,0,1,1", "1,1,0,x", "1,1,,1", "g,1,0,1"}) {
        KeyAssignment entry{};
        entry.dwFunID = 0x05000000;
        entry.dwMacroID = 77;
        EXPECT_FALSE(ParseDefaultKeyEntry(text, entry)) << text;
        EXPECT_EQ(entry.dwFunID, 0x05000000u) << text;
        EXPECT_EQ(entry.dwMacroID, 77u) << text;
    }
}

}  // namespace
}  // namespace vantor
