#include "app/rules/application_rules_file.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

#include "base/file_io.h"
#include "base/log.h"
#include "platform/paths.h"

namespace vantor {
namespace {

// Moves the refused file aside; the name it is kept under, or empty when it stayed.
std::string KeepDamagedFile(const std::string& path) {
    const std::string kept = path + ".damaged";
    if (std::rename(path.c_str(), kept.c_str()) != 0) {
        DbgLog("Rules: damaged file could not be kept as %s, err=%d", kept.c_str(), errno);
        return {};
    }
    DbgLog("Rules: damaged file kept as %s", kept.c_str());
    return kept;
}

RulesFileLoad Damaged(const std::string& path, const std::string& reason) {
    RulesFileLoad load;
    load.state = RulesFileState::kDamaged;
    const std::string kept = KeepDamagedFile(path);
    load.problem = path + " is damaged (" + reason + ")";
    load.problem += kept.empty() ? "; it was left as it is" : "; it was kept as " + kept;
    load.problem += " and no rules apply";
    return load;
}

}  // namespace

std::string ApplicationRulesPath(const std::string& dataDir) {
    return WithTrailingSlash(dataDir) + kApplicationRulesFileName;
}

RulesFileLoad LoadApplicationRules(const std::string& dataDir) {
    const std::string path = ApplicationRulesPath(dataDir);
    int error = 0;
    const std::optional<std::vector<std::uint8_t>> bytes =
        ReadWholeFile(path, kMaxApplicationRulesFileBytes, &error);
    if (!bytes) {
        RulesFileLoad load;
        if (error == ENOENT) return load;
        if (error == EFBIG) return Damaged(path, "too large");
        load.state = RulesFileState::kUnreadable;
        load.problem = DescribeReadError(path, error) + "; no rules apply";
        DbgLog("Rules: %s", load.problem.c_str());
        return load;
    }
    const std::string text(bytes->begin(), bytes->end());
    RulesTextProblem problem;
    std::optional<ApplicationRules> rules = ParseApplicationRules(text, &problem);
    if (!rules) {
        const std::string where =
            problem.line > 0 ? "line " + std::to_string(problem.line) + ": " : std::string();
        return Damaged(path, where + problem.reason);
    }
    RulesFileLoad load;
    load.rules = std::move(*rules);
    load.state = RulesFileState::kLoaded;
    return load;
}

bool SaveApplicationRules(const std::string& dataDir, const ApplicationRules& rules, int* error) {
    return WriteFileAtomic(ApplicationRulesPath(dataDir), FormatApplicationRules(rules), error);
}

}  // namespace vantor
