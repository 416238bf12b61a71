#include "app/config/language.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "base/texts.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

// A program folder with a default text.xml and one folder per language, each file naming
// its language in tc_ok; and an empty data folder.
class LanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteTexts(program_ / "text.xml", "default");
        for (const char* folder : {"en", "de", "fr"}) {
            ASSERT_TRUE(MakeDirectory(program_ / folder));
            WriteTexts(program_ / folder + "/text.xml", folder);
        }
        ASSERT_TRUE(MakeDirectory(dataDir()));
    }

    static void WriteTexts(const std::string& path, const std::string& ok) {
        test::WriteText(path, "<config><tc_ok>" + ok + "</tc_ok></config>");
    }

    std::string dataDir() const { return data_ / "data/"; }

    LanguageSelection Make(std::vector<std::string> folders = {"en", "de", "fr"}) const {
        return LanguageSelection(std::move(folders), program_.path(), dataDir());
    }

    test::TempDir program_;
    test::TempDir data_;
};

class RecordingListener : public LanguageListener {
  public:
    void OnLanguageChanged() override { textsSeen.push_back(Text("tc_ok")); }
    std::vector<std::string> textsSeen;
};

TEST_F(LanguageTest, StartupUsesTheStoredIndexOrFallsBackToTheFirst) {
    const struct {
        const char* langIni;  // nullptr: no file
        int expectedIndex;
        const char* expectedText;
    } cases[] = {
        {nullptr, 0, "en"},
        {"[OPT]\nLangIndex=2\n", 2, "fr"},
        {"[OPT]\nLangIndex=3\n", 0, "en"},
        {"[OPT]\nLangIndex=-1\n", 0, "en"},
        {"[OPT]\nLangIndex=x\n", 0, "en"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.langIni ? c.langIni : "no lang.ini");
        LoadTexts(program_ / "missing.xml");
        std::remove((dataDir() + "lang.ini").c_str());
        if (c.langIni) test::WriteText(dataDir() + "lang.ini", c.langIni);
        LanguageSelection selection = Make();
        EXPECT_EQ(selection.SelectAtStartup(), c.expectedIndex);
        EXPECT_EQ(selection.CurrentIndex(), c.expectedIndex);
        EXPECT_EQ(Text("tc_ok"), c.expectedText);
        // The stored value is left as it was until the user picks a language.
        if (c.langIni) {
            EXPECT_EQ(test::ReadText(dataDir() + "lang.ini"), c.langIni);
        }
        EXPECT_EQ(FileExists(dataDir() + "lang.ini"), c.langIni != nullptr);
    }
}

TEST_F(LanguageTest, WithoutLanguagesTheDefaultFileIsLoaded) {
    test::WriteText(dataDir() + "lang.ini", "[OPT]\nLangIndex=2\n");
    LanguageSelection selection = Make({});
    EXPECT_EQ(selection.LanguageCount(), 0);
    EXPECT_EQ(selection.TextFilePath(0), program_.path() + "/text.xml");
    EXPECT_EQ(selection.SelectAtStartup(), 0);
    EXPECT_EQ(Text("tc_ok"), "default");
    EXPECT_FALSE(selection.ChangeLanguage(0));
}

TEST_F(LanguageTest, ChangeReloadsTellsListenersAndStoresTheIndex) {
    LanguageSelection selection = Make();
    selection.SelectAtStartup();
    RecordingListener listener;
    RecordingListener removed;
    selection.AddListener(&listener);
    selection.AddListener(&removed);
    selection.RemoveListener(&removed);

    ASSERT_TRUE(selection.ChangeLanguage(1));
    EXPECT_EQ(selection.CurrentIndex(), 1);
    EXPECT_EQ(listener.textsSeen, std::vector<std::string>{"de"});  // told after the reload
    EXPECT_TRUE(removed.textsSeen.empty());
    EXPECT_EQ(test::ReadText(dataDir() + "lang.ini"), "[OPT]\nLangIndex=1\n");

    LanguageSelection restarted = Make();
    EXPECT_EQ(restarted.SelectAtStartup(), 1);

    // An index outside the list changes nothing.
    for (const int bad : {-1, 3}) {
        EXPECT_FALSE(selection.ChangeLanguage(bad));
        EXPECT_EQ(selection.CurrentIndex(), 1);
    }
    EXPECT_EQ(listener.textsSeen.size(), 1u);
    EXPECT_EQ(Text("tc_ok"), "de");
}

TEST_F(LanguageTest, UnwritableLangIniKeepsTheChangeForThisRun) {
    LanguageSelection selection(std::vector<std::string>{"en", "de"}, program_.path(),
                                data_ / "no-such-folder/");
    selection.SelectAtStartup();
    RecordingListener listener;
    selection.AddListener(&listener);
    EXPECT_TRUE(selection.ChangeLanguage(1));
    EXPECT_EQ(selection.CurrentIndex(), 1);
    EXPECT_EQ(Text("tc_ok"), "de");
    EXPECT_EQ(listener.textsSeen.size(), 1u);
    EXPECT_FALSE(FileExists(data_ / "no-such-folder/lang.ini"));
}

}  // namespace
}  // namespace vantor
