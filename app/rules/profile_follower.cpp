#include "app/rules/profile_follower.h"

#include <utility>

#include "base/log.h"

namespace vantor {

ProfileFollower::ProfileFollower(ProfileFollowerHooks hooks) : hooks_(std::move(hooks)) {}

void ProfileFollower::SetRules(ApplicationRules rules) {
    rules_ = std::move(rules);
    waiting_.reset();
    if (rules_.enabled) Follow();
}

void ProfileFollower::OnActiveApplication(const ActiveApplication& app) {
    if (hooks_.ownPid != 0 && app.pid == hooks_.ownPid) return;
    if (current_ && *current_ == app) return;
    current_ = app;
    if (rules_.enabled) Follow();
}

void ProfileFollower::OnEditingMayHaveEnded() {
    if (!waiting_ || (hooks_.isEditing && hooks_.isEditing())) return;
    const int profile = *waiting_;
    waiting_.reset();
    SwitchUnlessActive(profile);
}

void ProfileFollower::Follow() {
    waiting_.reset();
    if (!current_) return;
    const int profile = ProfileForApplication(rules_, *current_);
    if (profile == 0) return;
    if (hooks_.isEditing && hooks_.isEditing()) {
        DbgLog("Rules: profile %d for %s waits for the editing to end", profile,
               DisplayName(*current_).c_str());
        waiting_ = profile;
        return;
    }
    SwitchUnlessActive(profile);
}

void ProfileFollower::SwitchUnlessActive(int profile) {
    if (hooks_.activeProfile && hooks_.activeProfile() == profile) return;
    DbgLog("Rules: on-board profile %d for %s", profile, DisplayName(*current_).c_str());
    if (hooks_.switchTo) hooks_.switchTo(profile);
}

}  // namespace vantor
