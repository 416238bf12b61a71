// The window's side of the mouse following the application in front: loads the rules from
// the data folder, watches the application in front while they are on, and hands each
// change to the ProfileFollower, which switches the on-board profile through the device
// session. A switch that has to wait for the user's editing is made when a pop-up closes or
// the user lets go of a key or button and nothing is open any more.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/rules/application_rules_file.h"
#include "app/rules/profile_follower.h"

namespace vantor {

class ActiveApplicationSource;

struct ApplicationFollowingSetup {
    std::string dataDir;
    std::string programDir;
    std::function<int()> activeProfile;  // 1-4, 0 while not known
    std::function<bool()> isRecording;   // a macro recording holds the window
    std::function<void(int profile)> switchTo;
};

class ApplicationFollowing : public QObject {
  public:
    explicit ApplicationFollowing(ApplicationFollowingSetup setup, QObject* parent = nullptr);
    ~ApplicationFollowing() override;

    // Reads the rules file and starts following when the rules are on; read again, rules
    // that did not change change nothing. The reason when the file was refused (see
    // RulesFileLoad), else empty.
    std::string Load();
    const ApplicationRules& Rules() const { return follower_.Rules(); }
    // Saves and applies new rules; false (nothing applied) when the file could not be
    // written, with errno in `error`.
    bool ChangeRules(const ApplicationRules& rules, int* error = nullptr);

    // Whether the desktop can tell which application is in front.
    bool IsAvailable() const;
    bool IsWatching() const;
    std::vector<ActiveApplication> RunningApplications() const;
    // True while a switch would wait (a pop-up, a menu or a modal window open, a macro
    // recording).
    bool IsEditing() const;
    ProfileFollower& Follower() { return follower_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Apply(const ApplicationRules& rules);

    ApplicationFollowingSetup setup_;
    ProfileFollower follower_;
    std::unique_ptr<ActiveApplicationSource> source_;
    bool checkQueued_ = false;
    bool loaded_ = false;
};

}  // namespace vantor
