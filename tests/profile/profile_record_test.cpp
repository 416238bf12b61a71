#include "profile/profile_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vantor {
namespace {

const std::uint8_t* BytesOf(const ProfileFile& r) {
    return reinterpret_cast<const std::uint8_t*>(&r);
}

TEST(ProfileRecordTest, FieldsAreLittleEndianAtTheirFileOffsets) {
    ProfileFile r{};
    r.dwMagic = kProfileMagic;
    r.dwReportRate = 0x1000;
    r.Key[1][2].dwMacroID = 0x11223344;
    r.stLogoRGB.dwColor = 0x00AABBCC;
    const std::uint8_t* b = BytesOf(r);
    EXPECT_EQ(std::memcmp(b, "\x34\x12\xAA\xFC", 4), 0);
    EXPECT_EQ(std::memcmp(b + 0x6BC, "\x00\x10\x00\x00", 4), 0);
    EXPECT_EQ(std::memcmp(b + 0x23C + 384 + 48 + 8, "\x44\x33\x22\x11", 4), 0);
    EXPECT_EQ(std::memcmp(b + 0x7F8 + 12, "\xCC\xBB\xAA\x00", 4), 0);
}

TEST(ProfileRecordTest, NameIsCutToNineteenUnitsAndZeroTerminated) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"Profile 1", "Profile 1"},
        {"", ""},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNOPQRS"},
        {"Grüße 2", "Grüße 2"},
        // 18 letters and a character of two units: the pair does not fit and is left out
        {"ABCDEFGHIJKLMNOPQR\xF0\x9F\x98\x80", "ABCDEFGHIJKLMNOPQR"},
        {"A\xF0\x9F\x98\x80", "A\xF0\x9F\x98\x80"},
        {"bad \xC3 byte", "bad \xEF\xBF\xBD byte"},
    };
    for (const Case& c : cases) {
        ProfileFile r{};
        std::fill(std::begin(r.szName), std::end(r.szName), LeU16(0x4141));
        SetProfileName(r, c.in);
        EXPECT_EQ(ProfileName(r), c.out);
        EXPECT_EQ(r.szName[kProfileNameUnits - 1], 0);
    }
}

TEST(ProfileRecordTest, NameFromAFileWithoutTerminatorOrWithBrokenPairsIsRead) {
    ProfileFile r{};
    for (auto& unit : r.szName) unit = u'x';
    EXPECT_EQ(ProfileName(r), std::string(kProfileNameUnits, 'x'));
    r.szName[0] = 0xD83D;  // high surrogate without its low half
    r.szName[1] = u'y';
    r.szName[2] = 0xDE00;  // low surrogate alone
    r.szName[3] = 0;
    EXPECT_EQ(ProfileName(r), "\xEF\xBF\xBDy\xEF\xBF\xBD");
}

}  // namespace
}  // namespace vantor
