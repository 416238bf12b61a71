#include "app/rules/application_rules.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/rules/application_rules_file.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

TEST(ApplicationRulesTest, ReadsEntriesCommentsAndBlanksInOrder) {
    RulesTextProblem problem;
    const auto rules = ParseApplicationRules(
        "# mine\n\n  enabled yes\r\ndefault 3\nrule 2 steam_app_570\nrule 1  Visual Studio Code \n"
        "rule 4 org.kde.dolphin.desktop",
        &problem);
    ASSERT_TRUE(rules) << problem.line << ": " << problem.reason;
    EXPECT_TRUE(rules->enabled);
    EXPECT_EQ(rules->defaultProfile, 3);
    const std::vector<ApplicationRule> expected = {
        {"steam_app_570", 2}, {"Visual Studio Code", 1}, {"org.kde.dolphin.desktop", 4}};
    EXPECT_EQ(rules->rules, expected);
    // An empty text is no rules and following off.
    EXPECT_EQ(ParseApplicationRules(""), ApplicationRules{});
}

TEST(ApplicationRulesTest, RefusesDamagedTextNamingTheLine) {
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"enabled maybe\n", 1},
        {"enabled yes\nenabled no\n", 2},
        {"default 0\n", 1},
        {"default 5\n", 1},
        {"default 1\ndefault 2\n", 2},
        {"rule 2\n", 1},
        {"rule x steam\n", 1},
        {"rule 5 steam\n", 1},
        {"rule -1 steam\n", 1},
        {"rule 1 bad\x01name\n", 1},
        {"rule 1 \xff\xfe\n", 1},
        {"\n# ok\nprofile 2 steam\n", 3},
        {"enabled yes\0\n", 0},
    };
    for (const Case& c : cases) {
        const std::string text(c.text, std::char_traits<char>::length(c.text) +
                                           (c.line == 0 ? 2 : 0));  // keeps the NUL
        RulesTextProblem problem;
        EXPECT_FALSE(ParseApplicationRules(text, &problem)) << c.text;
        EXPECT_EQ(problem.line, c.line) << c.text;
        EXPECT_FALSE(problem.reason.empty()) << c.text;
    }
    std::string tooMany;
    for (std::size_t i = 0; i <= kMaxRules; ++i) tooMany += "rule 1 app" + std::to_string(i) + "\n";
    RulesTextProblem problem;
    EXPECT_FALSE(ParseApplicationRules(tooMany, &problem));
    EXPECT_EQ(problem.line, static_cast<int>(kMaxRules) + 1);
    EXPECT_FALSE(ParseApplicationRules("rule 1 " + std::string(kMaxApplicationNameBytes + 1, 'a')));
}

TEST(ApplicationRulesTest, FormatReadsBackUnchanged) {
    ApplicationRules rules;
    rules.enabled = true;
    rules.defaultProfile = 1;
    rules.rules = {{"XTerm", 3}, {"a game with spaces", 2}};
    EXPECT_EQ(ParseApplicationRules(FormatApplicationRules(rules)), rules);
    rules.enabled = false;
    rules.defaultProfile = 0;
    EXPECT_EQ(ParseApplicationRules(FormatApplicationRules(rules)), rules);
}

TEST(ApplicationRulesTest, FirstRuleNamingTheApplicationWinsElseDefault) {
    ApplicationRules rules;
    rules.defaultProfile = 1;
    rules.rules = {{"org.kde.dolphin", 2}, {"xterm", 3}, {"XTerm", 4}, {"Firefox.desktop", 4}};
    struct Case {
        ActiveApplication app;
        int profile;
    };
    const Case cases[] = {
        {{"org.kde.dolphin.desktop", "", "", 0}, 2},  // desktop id with its suffix
        {{"", "XTerm", "xterm", 0}, 3},               // the first of two matching rules
        {{"", "UXTerm", "XTERM", 0}, 3},              // instance, any letter case
        {{"firefox", "", "", 0}, 4},                  // the rule's own suffix
        {{"", "Gimp", "gimp", 0}, 1},                 // no rule: the default
        {{}, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProfileForApplication(rules, c.app), c.profile)
            << c.app.desktopId << "|" << c.app.windowClass << "|" << c.app.instance;
    }
    rules.defaultProfile = 0;
    EXPECT_EQ(ProfileForApplication(rules, {"", "Gimp", "gimp", 0}), 0);
}

TEST(ApplicationRulesTest, SetChangesTheRuleInPlaceAndRemoveTakesItOut) {
    ApplicationRules rules;
    ASSERT_TRUE(SetApplicationRule(rules, "Steam", 2));
    ASSERT_TRUE(SetApplicationRule(rules, "XTerm", 3));
    ASSERT_TRUE(SetApplicationRule(rules, "steam", 4));  // same application, new profile
    const std::vector<ApplicationRule> expected = {{"Steam", 4}, {"XTerm", 3}};
    EXPECT_EQ(rules.rules, expected);
    EXPECT_FALSE(SetApplicationRule(rules, "XTerm", 5));
    EXPECT_FALSE(SetApplicationRule(rules, "", 1));
    EXPECT_FALSE(SetApplicationRule(rules, " padded", 1));
    EXPECT_FALSE(SetApplicationRule(rules, "line\nbreak", 1));
    EXPECT_TRUE(RemoveApplicationRule(rules, "STEAM"));
    EXPECT_FALSE(RemoveApplicationRule(rules, "steam"));
    EXPECT_EQ(rules.rules.size(), 1u);
}

TEST(ApplicationRulesFileTest, SavesAndLoadsTheRules) {
    test::TempDir data;
    EXPECT_EQ(LoadApplicationRules(data.path()).state, RulesFileState::kMissing);
    ApplicationRules rules;
    rules.enabled = true;
    rules.rules = {{"XTerm", 2}};
    ASSERT_TRUE(SaveApplicationRules(data.path(), rules));
    const RulesFileLoad load = LoadApplicationRules(data.path());
    EXPECT_EQ(load.state, RulesFileState::kLoaded);
    EXPECT_EQ(load.rules, rules);
}

TEST(ApplicationRulesFileTest, DamagedFileIsRefusedAndKeptAside) {
    test::TempDir data;
    const std::string path = data / kApplicationRulesFileName;
    test::WriteText(path, "enabled yes\nrule 9 XTerm\n");
    const RulesFileLoad load = LoadApplicationRules(data.path());
    EXPECT_EQ(load.state, RulesFileState::kDamaged);
    EXPECT_EQ(load.rules, ApplicationRules{});  // off, no rules
    EXPECT_NE(load.problem.find("line 2"), std::string::npos) << load.problem;
    EXPECT_NE(load.problem.find(path + ".damaged"), std::string::npos) << load.problem;
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(test::ReadText(path + ".damaged"), "enabled yes\nrule 9 XTerm\n");

    // A file far larger than any rules file is not one of ours either.
    test::WriteText(path, std::string(kMaxApplicationRulesFileBytes + 1, '#'));
    EXPECT_EQ(LoadApplicationRules(data.path()).state, RulesFileState::kDamaged);
}

TEST(ApplicationRulesFileTest, FolderInItsPlaceIsLeftAlone) {
    test::TempDir data;
    std::filesystem::create_directory(data / kApplicationRulesFileName);
    const RulesFileLoad load = LoadApplicationRules(data.path());
    EXPECT_EQ(load.state, RulesFileState::kUnreadable);
    EXPECT_FALSE(load.problem.empty());
    EXPECT_TRUE(std::filesystem::is_directory(data / kApplicationRulesFileName));
    EXPECT_FALSE(SaveApplicationRules(data.path(), ApplicationRules{}));
}

}  // namespace
}  // namespace vantor
