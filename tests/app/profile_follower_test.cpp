#include "app/rules/profile_follower.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantor {
namespace {

constexpr long kOwnPid = 4242;

// A mouse whose active profile changes when a switch is asked for, as the device thread's
// switch and the read after it do.
class ProfileFollowerTest : public ::testing::Test {
  protected:
    ProfileFollowerTest() {
        ApplicationRules rules;
        rules.enabled = true;
        rules.defaultProfile = 1;
        rules.rules = {{"Game", 2}, {"Editor", 3}};
        follower_.SetRules(rules);
    }

    static ActiveApplication App(const char* windowClass, long pid = 1) {
        return {"", windowClass, "", pid};
    }

    int active_ = 1;
    bool editing_ = false;
    std::vector<int> switches_;
    ProfileFollower follower_{{[this] { return active_; }, [this] { return editing_; },
                               [this](int profile) {
                                   switches_.push_back(profile);
                                   active_ = profile;
                               },
                               kOwnPid}};
};

TEST_F(ProfileFollowerTest, SwitchesOncePerChangeAndOnlyWhenAnotherProfileIsActive) {
    follower_.OnActiveApplication(App("Desktop"));  // the default, already active
    follower_.OnActiveApplication(App("Game"));
    follower_.OnActiveApplication(App("Game"));  // the same report again: no change
    follower_.OnActiveApplication(App("Editor"));
    follower_.OnActiveApplication(App("Desktop"));
    EXPECT_EQ(switches_, (std::vector<int>{2, 3, 1}));
}

TEST_F(ProfileFollowerTest, ProgramsOwnWindowKeepsTheProfile) {
    follower_.OnActiveApplication(App("Game"));
    follower_.OnActiveApplication(App("vantor", kOwnPid));
    follower_.OnActiveApplication(App("Game"));  // back from the window: still no change
    EXPECT_EQ(switches_, (std::vector<int>{2}));
}

TEST_F(ProfileFollowerTest, SwitchWaitsForTheEditingAndTakesTheLatestChange) {
    editing_ = true;
    follower_.OnActiveApplication(App("Game"));
    follower_.OnActiveApplication(App("Editor"));
    EXPECT_TRUE(switches_.empty());
    EXPECT_EQ(follower_.Waiting(), 3);
    follower_.OnEditingMayHaveEnded();  // still editing
    EXPECT_TRUE(switches_.empty());
    editing_ = false;
    follower_.OnEditingMayHaveEnded();
    follower_.OnEditingMayHaveEnded();
    EXPECT_EQ(switches_, (std::vector<int>{3}));
    EXPECT_FALSE(follower_.Waiting());
}

TEST_F(ProfileFollowerTest, OffOrWithoutRuleNothingSwitches) {
    ApplicationRules rules = follower_.Rules();
    rules.defaultProfile = 0;
    follower_.SetRules(rules);
    active_ = 4;
    follower_.OnActiveApplication(App("Desktop"));  // no rule and no default
    rules.enabled = false;
    follower_.SetRules(rules);
    follower_.OnActiveApplication(App("Game"));
    EXPECT_TRUE(switches_.empty());
    // Turning the rules on follows the application in front at once.
    rules.enabled = true;
    follower_.SetRules(rules);
    EXPECT_EQ(switches_, (std::vector<int>{2}));
}

}  // namespace
}  // namespace vantor
