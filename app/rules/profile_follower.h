// Makes the mouse follow the application in front: for each change of that application it
// works out the on-board profile the rules give it and asks for one switch when the mouse
// is on another profile. The window's own process is never a change (the user comes to the
// window to edit a profile, which must stay on the mouse). While the user is editing (a
// pop-up open, a macro recording) the switch waits; when the editing ends, the latest
// waiting switch is made. Runs on the window thread; knows nothing of windows or devices.
#pragma once

#include <functional>
#include <optional>

#include "app/rules/application_rules.h"

namespace vantor {

struct ProfileFollowerHooks {
    // The mouse's active on-board profile (1-4), 0 while it is not known.
    std::function<int()> activeProfile;
    // True while a switch must wait (a pop-up open, a macro recording).
    std::function<bool()> isEditing;
    // Asks for the switch to profile 1-4 (the device thread makes it).
    std::function<void(int profile)> switchTo;
    // The program's own process id: its windows are not changes.
    long ownPid = 0;
};

class ProfileFollower {
  public:
    explicit ProfileFollower(ProfileFollowerHooks hooks);

    // New rules; while they are on, the application in front is looked at again at once.
    void SetRules(ApplicationRules rules);
    const ApplicationRules& Rules() const { return rules_; }

    // The application in front has changed (a report equal to the last one is no change).
    void OnActiveApplication(const ActiveApplication& app);
    // Editing may have ended: makes the waiting switch when it has.
    void OnEditingMayHaveEnded();

    // The last application in front that was not the program itself.
    const std::optional<ActiveApplication>& Current() const { return current_; }
    // The profile (1-4) of a switch waiting for the editing to end.
    std::optional<int> Waiting() const { return waiting_; }

  private:
    void Follow();
    void SwitchUnlessActive(int profile);

    ProfileFollowerHooks hooks_;
    ApplicationRules rules_;
    std::optional<ActiveApplication> current_;
    std::optional<int> waiting_;
};

}  // namespace vantor
