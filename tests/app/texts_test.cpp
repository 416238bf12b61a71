#include "base/texts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "base/xml_reader.h"
#include "tests/support/shipped_languages.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

TEST(TextKeysTest, HoldsTheTableKeysInLoadOrderThenOurOwn) {
    const auto& keys = TextKeys();
    ASSERT_EQ(keys.size(), 237u);
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), 237u);
    const std::pair<std::size_t, const char*> landmarks[] = {
        {0, "tc_title"},        {30, "tc_macro_loop3"},    {31, "tc_macro_msg1"},
        {52, "tc_macro_msg22"}, {53, "tc_msfun"},          {65, "tc_PL"},
        {104, "tc_prosw"},      {105, "tc_msg1"},          {142, "tc_msg38"},
        {143, "tc_mode1"},      {146, "tc_led_mode1"},     {153, "tc_led_eft1"},
        {157, "tc_adv_str1"},   {186, "tc_adv_str30"},     {187, "tc_tip1"},
        {192, "tc_ex1"},        {195, "tc_comboname1"},    {197, "tc_lod1"},
        {198, "tc_lod2"},       {199, "tc_debounce_tips"}, {200, "tc_autostart"},
        {202, "tc_import"},     {203, "tc_sysmissing"},    {204, "tc_rules"},
        {217, "tc_nomouse"},    {227, "tc_save_failed"},   {236, "tc_partly_written"},
    };
    for (const auto& [index, key] : landmarks) EXPECT_EQ(keys[index], key) << index;
}

TEST(LoadTextsTest, FillsKeysFromTheConfigSection) {
    test::TempDir dir;
    test::WriteText(dir / "text.xml",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<config>\n"
                    "  <tc_msg25>Save &amp; apply &#x263A;</tc_msg25>\n"
                    "  <tc_ok>OK</tc_ok>\n"
                    "  <tc_ok>second</tc_ok>\n"
                    "  <tc_unknown>ignored</tc_unknown>\n"
                    "  <group><tc_cancel>nested</tc_cancel></group>\n"
                    "  <tc_title><![CDATA[<Vantor>]]></tc_title>\n"
                    "</config>\n");
    LoadTexts(dir / "text.xml");
    EXPECT_EQ(Text("tc_ok"), "OK");  // the first occurrence wins
    EXPECT_EQ(Text("tc_msg25"), "Save & apply \u263A");
    EXPECT_EQ(Text("tc_title"), "<Vantor>");
    EXPECT_EQ(Text("tc_cancel"), "");  // only direct children of the section count
    EXPECT_EQ(Text("tc_unknown"), "");
    EXPECT_EQ(Text("tc_debounce_tips"), "");
}

TEST(LoadTextsTest, MissingFileOrOtherRootEmptiesEveryText) {
    test::TempDir dir;
    test::WriteText(dir / "good.xml", "<config><tc_ok>OK</tc_ok></config>");
    test::WriteText(dir / "other.xml", "<texts><tc_ok>OK</tc_ok></texts>");
    test::WriteText(dir / "unclosed.xml", "<config><tc_ok>OK</tc_ok>");
    for (const char* file : {"missing.xml", "other.xml"}) {
        LoadTexts(dir / "good.xml");
        ASSERT_EQ(Text("tc_ok"), "OK");
        LoadTexts(dir / file);
        EXPECT_EQ(Text("tc_ok"), "") << file;
    }
    LoadTexts(dir / "unclosed.xml");  // malformed, but what was indexed still reads
    EXPECT_EQ(Text("tc_ok"), "OK");
}

TEST(LoadTextsTest, ShippedLanguageFilesAreWellFormedAndComplete) {
    for (const std::string& file : test::ShippedLanguageFiles()) {
        SCOPED_TRACE(file);
        const std::string path = test::SourceDataDir() + file;
        XmlReader reader;
        ASSERT_TRUE(reader.Load(path));
        EXPECT_TRUE(reader.IsWellFormed()) << reader.Result();
        LoadTexts(path);
        for (const auto& key : TextKeys()) EXPECT_NE(Text(key), "") << key;
    }
}

TEST(LoadTextsTest, ReadersSeeWholeTablesDuringReloads) {
    test::TempDir dir;
    test::WriteText(dir / "a.xml", "<config><tc_ok>A</tc_ok><tc_cancel>A</tc_cancel></config>");
    test::WriteText(dir / "b.xml", "<config><tc_ok>B</tc_ok><tc_cancel>B</tc_cancel></config>");
    LoadTexts(dir / "a.xml");
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop) {
            const std::string ok = Text("tc_ok");
            ASSERT_TRUE(ok == "A" || ok == "B") << ok;
        }
    });
    for (int i = 0; i < 200; ++i) LoadTexts(dir / (i % 2 == 0 ? "b.xml" : "a.xml"));
    stop = true;
    reader.join();
    EXPECT_EQ(Text("tc_cancel"), "A");
}

}  // namespace
}  // namespace vantor
