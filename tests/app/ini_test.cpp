#include "base/ini.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

// The bytes a Windows editor saves for "Unicode" text: BOM, then UTF-16 units.
std::string Utf16File(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(IniRead, NamesAreCaseInsensitiveAndTheFirstOccurrenceWins) {
    IniFile ini = IniFile::Parse(
        "\xEF\xBB\xBF"
        "orphan=1\r\n"
        "[Opt]\r\n"
        "  Title  =  Vantor Mouse  \r\n"
        "; Title=comment\r\n"
        "TITLE=second\r\n"
        "Quoted=\"  a b \"\r\n"
        "Empty=\r\n"
        "[opt]\r\n"
        "Later=1\r\n"
        "[ Dev_1 ]\n"
        "key=x");
    EXPECT_EQ(ini.Get("OPT", "title"), "Vantor Mouse");
    EXPECT_EQ(ini.Get("opt", "Quoted"), "  a b ");
    EXPECT_EQ(ini.Get("OPT", "Empty"), "");
    EXPECT_EQ(ini.Get("OPT", "Later"), std::nullopt) << "only the first [OPT] is searched";
    EXPECT_EQ(ini.Get("dev_1", "KEY"), "x");
    EXPECT_EQ(ini.Get("", "orphan"), std::nullopt);
    EXPECT_EQ(ini.Get("OPT", "missing"), std::nullopt);
    EXPECT_EQ(ini.Get("none", "Title"), std::nullopt);
}

TEST(IniRead, BracketWithoutItsCloseStartsNoSection) {
    IniFile ini = IniFile::Parse("[A]\nx=1\n[B\ny=2\n[C]\nz=3\n");
    EXPECT_EQ(ini.Get("A", "y"), "2");
    EXPECT_EQ(ini.Get("B", "y"), std::nullopt);
    EXPECT_EQ(ini.Get("C", "z"), "3");
}

TEST(IniRead, Utf16FilesAreReadInEitherByteOrder) {
    test::TempDir dir;
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big endian" : "little endian");
        test::WriteText(dir / "cfg.ini",
                        Utf16File(u"[OPT]\r\nTitle=Maus \u00E4\r\nDebug=2\r\n", bigEndian));
        IniFile ini = IniFile::Load(dir / "cfg.ini");
        EXPECT_EQ(ini.Get("OPT", "Title"), "Maus \xC3\xA4");
        EXPECT_EQ(ini.GetInt("OPT", "Debug", 0), 2);
    }
}

TEST(IniRead, IntegersReadLikeTheProfileReader) {
    struct Case {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"12", 12},         {"-7", -7},         {"+5", 5},    {"0x25A7", 0x25A7},
        {"0X1e00", 0x1E00}, {"12abc", 12},      {"3.9", 3},   {"abc", 99},
        {"", 99},           {"-", 99},          {"0x", 0},    {"0xZ", 0},
        {"4294967295", -1}, {"0x100000001", 1}, {" 42 ", 42}, {"0x-1", 0},
    };
    for (const Case& c : cases) {
        IniFile ini = IniFile::Parse(std::string("[s]\nk=") + c.value + "\n");
        EXPECT_EQ(ini.GetInt("s", "k", 99), c.expected) << "value \"" << c.value << "\"";
    }
    EXPECT_EQ(IniFile::Parse("").GetInt("s", "k", -3), -3);
}

TEST(IniRead, StringsAreCutToTheBuffer) {
    IniFile ini = IniFile::Parse("[s]\nk=abcdef\nu=\xC3\xA4\xC3\xB6\xC3\xBC\n");
    EXPECT_EQ(ini.GetString("s", "k", "", 4), "abc");
    EXPECT_EQ(ini.GetString("s", "k", "", 260), "abcdef");
    EXPECT_EQ(ini.GetString("s", "k", "", 0), "");
    EXPECT_EQ(ini.GetString("s", "u", "", 3), "\xC3\xA4\xC3\xB6") << "never splits a character";
    EXPECT_EQ(ini.GetString("s", "none", "default", 4), "def");
}

TEST(IniRead, MissingOversizedAndBinaryFilesAreHarmless) {
    test::TempDir dir;
    EXPECT_TRUE(IniFile::Load(dir / "absent.ini").empty());

    std::string big(kMaxIniFileBytes + 1, 'a');
    big.replace(0, 8, "[s]\nk=1\n");
    test::WriteText(dir / "big.ini", big);
    EXPECT_TRUE(IniFile::Load(dir / "big.ini").empty());

    std::string binary;
    for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 37) & 0xFF));
    IniFile ini = IniFile::Parse(binary);
    EXPECT_EQ(ini.GetInt("s", "k", 5), 5);
}

TEST(IniWrite, ChangesOneLineAndKeepsEveryOtherByte) {
    test::TempDir dir;
    const std::string path = dir / "lang.ini";
    const std::string head = "; user settings\r\n[Other]\r\nLangIndex=7\r\n\r\n[LANG]\r\n";
    test::WriteText(path, head + "langindex = 1  \r\nKeep=yes\r\n");

    ASSERT_TRUE(WriteIniString(path, "lang", "LangIndex", "3"));
    EXPECT_EQ(test::ReadText(path), head + "LangIndex=3\r\nKeep=yes\r\n");
    EXPECT_EQ(IniFile::Load(path).GetInt("LANG", "LangIndex", 0), 3);
}

TEST(IniWrite, Utf16FileStaysUtf16) {
    test::TempDir dir;
    const std::string path = dir / "lang.ini";
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big endian" : "little endian");
        test::WriteText(path, Utf16File(u"[LANG]\r\nLangIndex=1\r\nName=\u00E4\r\n", bigEndian));
        ASSERT_TRUE(WriteIniString(path, "LANG", "LangIndex", "3"));
        EXPECT_EQ(test::ReadText(path),
                  Utf16File(u"[LANG]\r\nLangIndex=3\r\nName=\u00E4\r\n", bigEndian));
    }
}

TEST(IniWrite, AddsMissingKeysAndSections) {
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"", "[LANG]\nLangIndex=2\n"},
        {"[A]\nx=1", "[A]\nx=1\n[LANG]\nLangIndex=2\n"},
        {"[LANG]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n",
         "[LANG]\r\nx=1\r\nLangIndex=2\r\n\r\n[B]\r\ny=2\r\n"},
        {"[LANG]\nx=1", "[LANG]\nx=1\nLangIndex=2\n"},
        {"[LANG]", "[LANG]\nLangIndex=2\n"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string path = dir / "f.ini";
        if (*c.before != '\0') test::WriteText(path, c.before);
        ASSERT_TRUE(WriteIniString(path, "LANG", "LangIndex", "2")) << c.before;
        EXPECT_EQ(test::ReadText(path), c.after) << c.before;
    }
}

// A section header ends at the line's last ']': KDE's nested groups are names of their own.
TEST(IniWrite, NestedGroupHeadersNameOneSection) {
    test::TempDir dir;
    const std::string path = dir / "kcminputrc";
    test::WriteText(path, "[Libinput][1][2][Mouse]\nPointerAcceleration=0.5\n[Mouse]\nx=1\n");
    const std::string nested = "Libinput][1][2][Mouse";
    ASSERT_TRUE(WriteIniString(path, nested, "PointerAcceleration", "-0.2"));
    ASSERT_TRUE(WriteIniString(path, "Libinput][1][3][Mouse", "PointerAcceleration", "0.1"));
    EXPECT_EQ(test::ReadText(path),
              "[Libinput][1][2][Mouse]\nPointerAcceleration=-0.2\n[Mouse]\nx=1\n"
              "[Libinput][1][3][Mouse]\nPointerAcceleration=0.1\n");
    const IniFile ini = IniFile::Load(path);
    EXPECT_EQ(ini.Get(nested, "PointerAcceleration"), "-0.2");
    EXPECT_EQ(ini.Get("Libinput", "PointerAcceleration"), std::nullopt);
    EXPECT_EQ(ini.Get("Mouse", "x"), "1");
}

TEST(IniWrite, RefusesTextThatWouldBreakTheFile) {
    test::TempDir dir;
    const std::string path = dir / "f.ini";
    test::WriteText(path, "[LANG]\nLangIndex=1\n");
    EXPECT_FALSE(WriteIniString(path, "LANG", "LangIndex", "1\n[X]"));
    EXPECT_FALSE(WriteIniString(path, "LANG", "Lang=Index", "1"));
    EXPECT_FALSE(WriteIniString(path, "LANG", "", "1"));
    EXPECT_FALSE(WriteIniString(dir / "no/such/dir/f.ini", "LANG", "LangIndex", "1"));
    EXPECT_EQ(test::ReadText(path), "[LANG]\nLangIndex=1\n");
}

}  // namespace
}  // namespace vantor
