// vantorctl rules: the rules that give each application in front an on-board profile
// (app_rules.txt in the data folder). Needs no mouse; the window program follows them.
#include <charconv>
#include <cstring>

#include "app/rules/application_rules_file.h"
#include "tools/vantorctl/cli.h"

namespace vantor::cli {
namespace {

constexpr const char* kUsage =
    "usage: vantorctl rules list | add APPLICATION PROFILE | remove APPLICATION | on | off | "
    "default PROFILE|none";

std::optional<int> ParseRuleProfile(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < 1 || value > kRuleProfileCount) return std::nullopt;
    return value;
}

std::string ProfileText(int profile) {
    return profile == 0 ? "none" : std::to_string(profile);
}

int List(const Context& context, const ApplicationRules& rules) {
    if (context.options.json) {
        Json list = Json::Array();
        for (const ApplicationRule& rule : rules.rules) {
            list.Push(Json::Object()
                          .Set("application", Json::String(rule.application))
                          .Set("profile", Json::Number(rule.profile)));
        }
        Json document = Json::Object().Set("enabled", Json::Bool(rules.enabled));
        document.Set("default", rules.defaultProfile == 0 ? Json::String("none")
                                                          : Json::Number(rules.defaultProfile));
        PrintJson(document.Set("rules", std::move(list)));
        return kExitOk;
    }
    Print(context,
          std::string("following the application in front: ") + (rules.enabled ? "on" : "off"));
    Print(context, "default profile: " + ProfileText(rules.defaultProfile));
    int number = 0;
    for (const ApplicationRule& rule : rules.rules) {
        Print(context, std::to_string(++number) + ". " + rule.application + " -> profile " +
                           std::to_string(rule.profile));
    }
    return kExitOk;
}

// Applies the change the arguments ask for; a usage error or nothing.
std::optional<int> Change(const std::vector<std::string>& args, ApplicationRules& rules) {
    const std::string& what = args[0];
    if (what == "add" && args.size() == 3) {
        const std::optional<int> profile = ParseRuleProfile(args[2]);
        if (!profile) return UsageError("the profile must be 1-4, not " + args[2]);
        if (!IsValidApplicationName(args[1])) {
            return UsageError("not an application name: \"" + args[1] + "\"");
        }
        if (!SetApplicationRule(rules, args[1], *profile)) {
            return Failure("the list is full (" + std::to_string(kMaxRules) + " rules)");
        }
    } else if (what == "remove" && args.size() == 2) {
        if (!RemoveApplicationRule(rules, args[1])) return Failure("no rule for " + args[1]);
    } else if ((what == "on" || what == "off") && args.size() == 1) {
        rules.enabled = what == "on";
    } else if (what == "default" && args.size() == 2) {
        const std::optional<int> profile = ParseRuleProfile(args[1]);
        if (!profile && args[1] != "none") {
            return UsageError("the default profile must be 1-4 or none, not " + args[1]);
        }
        rules.defaultProfile = profile.value_or(0);
    } else {
        return UsageError(kUsage);
    }
    return std::nullopt;
}

}  // namespace

int RunRules(Context& context) {
    const std::vector<std::string>& args = context.args;
    if (args.empty()) return UsageError(kUsage);
    const std::string& dataDir = context.startup.dataDir;
    RulesFileLoad load = LoadApplicationRules(dataDir);
    // A refused file is never written over: the user sees why first (and the damaged one
    // has been kept aside, so the next run starts with no rules).
    if (load.state == RulesFileState::kDamaged || load.state == RulesFileState::kUnreadable) {
        return Failure(load.problem);
    }
    if (args[0] == "list") return args.size() == 1 ? List(context, load.rules) : UsageError(kUsage);
    if (const std::optional<int> failed = Change(args, load.rules)) return *failed;
    int error = 0;
    if (!SaveApplicationRules(dataDir, load.rules, &error)) {
        return Failure("cannot write " + ApplicationRulesPath(dataDir) + ": " +
                       std::strerror(error));
    }
    return kExitOk;
}

}  // namespace vantor::cli
