// The rules file "app_rules.txt" in the user's data folder (see application_rules.h for
// its text). Written whole through WriteFileAtomic. A damaged file is refused and moved
// aside as "app_rules.txt.damaged", so the user keeps it and the program goes on with no
// rules and following off.
#pragma once

#include <string>

#include "app/rules/application_rules.h"

namespace vantor {

inline constexpr const char* kApplicationRulesFileName = "app_rules.txt";
inline constexpr std::size_t kMaxApplicationRulesFileBytes = 64 * 1024;

std::string ApplicationRulesPath(const std::string& dataDir);

enum class RulesFileState {
    kLoaded,
    kMissing,     // no file yet: no rules, following off
    kDamaged,     // refused and moved aside (or, when that failed, left where it is)
    kUnreadable,  // not a regular file or not readable: left alone
};

struct RulesFileLoad {
    ApplicationRules rules;  // empty and off unless kLoaded
    RulesFileState state = RulesFileState::kMissing;
    // One line for the user when the file was refused: the file, what is wrong with it and
    // where it was kept.
    std::string problem;
};

// Reads the rules file of `dataDir` (with or without a trailing '/').
RulesFileLoad LoadApplicationRules(const std::string& dataDir);
// Writes the rules file; false with errno in `error` when the write failed (the old file
// is then as it was).
[[nodiscard]] bool SaveApplicationRules(const std::string& dataDir, const ApplicationRules& rules,
                                        int* error = nullptr);

}  // namespace vantor
