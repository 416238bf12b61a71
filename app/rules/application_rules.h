// The rules that make the mouse follow the application in front: an ordered list of
// "application -> on-board profile" and the profile for every other application, plus
// whether following is on at all (off unless the user turned it on).
//
// Kept as a small text file in the user's data folder, one entry a line:
//
//   # Blank lines and lines starting with '#' are ignored.
//   enabled yes            (or no)
//   default 1              (the profile for applications without a rule: 1-4, or none)
//   rule 2 steam_app_570   (profile, then the application: the rest of the line)
//
// An application is named by its desktop id ("org.kde.dolphin", ".desktop" optional) or
// its window class ("XTerm"); names compare without regard to letter case. The first rule
// that names the application in front wins.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/active_window.h"

namespace vantor {

inline constexpr int kRuleProfileCount = 4;    // on-board profiles 1-4
inline constexpr std::size_t kMaxRules = 256;  // more is not a file of ours
inline constexpr std::size_t kMaxApplicationNameBytes = 255;

struct ApplicationRule {
    std::string application;
    int profile = 1;  // 1-4
    bool operator==(const ApplicationRule&) const = default;
};

struct ApplicationRules {
    bool enabled = false;
    int defaultProfile = 0;  // 1-4, or 0: other applications leave the profile as it is
    std::vector<ApplicationRule> rules;
    bool operator==(const ApplicationRules&) const = default;
};

// Why a rules text was refused: the 1-based line (0 for the whole text) and the reason.
struct RulesTextProblem {
    int line = 0;
    std::string reason;
};

// The rules of `text`, or nothing when the text is damaged (an unknown entry, a profile
// outside 1-4, an application name that is empty, too long or not UTF-8, an entry given
// twice, more than kMaxRules rules, a NUL byte); `problem` then says where and why.
std::optional<ApplicationRules> ParseApplicationRules(std::string_view text,
                                                      RulesTextProblem* problem = nullptr);
// The text of `rules`, which ParseApplicationRules reads back unchanged.
std::string FormatApplicationRules(const ApplicationRules& rules);

// A name a rule can hold: 1 to kMaxApplicationNameBytes bytes of UTF-8 without control
// characters and without blanks at either end.
bool IsValidApplicationName(std::string_view name);

// True when `name` names `app`: its desktop id (with or without ".desktop"), its window
// class or its instance, without regard to letter case.
bool NamesApplication(std::string_view name, const ActiveApplication& app);

// The profile (1-4) the rules give `app`: the first rule naming it, else the default
// profile; 0 when neither applies.
int ProfileForApplication(const ApplicationRules& rules, const ActiveApplication& app);

// Adds a rule for `application`, or changes the profile of the rule that already names it
// (which keeps its place). False when the name is not valid, the profile is outside 1-4
// or the list is full.
bool SetApplicationRule(ApplicationRules& rules, std::string_view application, int profile);
// Removes the rule naming `application`; false when there is none.
bool RemoveApplicationRule(ApplicationRules& rules, std::string_view application);

}  // namespace vantor
