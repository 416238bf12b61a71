#include "app/rules/application_rules.h"

#include <algorithm>
#include <charconv>

#include "base/utf.h"

namespace vantor {
namespace {

constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kDesktopSuffix = ".desktop";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// The first word of `text` and the trimmed rest after it.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text) {
    const std::size_t end = text.find_first_of(kBlanks);
    if (end == std::string_view::npos) return {text, {}};
    return {text.substr(0, end), Trim(text.substr(end))};
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

std::string_view WithoutDesktopSuffix(std::string_view name) {
    if (name.size() > kDesktopSuffix.size() &&
        EqualNoCase(name.substr(name.size() - kDesktopSuffix.size()), kDesktopSuffix)) {
        name.remove_suffix(kDesktopSuffix.size());
    }
    return name;
}

std::optional<int> ParseProfile(std::string_view word) {
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    if (value < 1 || value > kRuleProfileCount) return std::nullopt;
    return value;
}

bool Fail(RulesTextProblem* problem, int line, std::string reason) {
    if (problem != nullptr) *problem = {line, std::move(reason)};
    return false;
}

// Reads one entry line into `rules`; false (with the reason) when it is damaged.
bool ParseEntry(std::string_view line, int number, ApplicationRules& rules, bool& sawEnabled,
                bool& sawDefault, RulesTextProblem* problem) {
    const auto [word, rest] = SplitWord(line);
    if (word == "enabled") {
        if (sawEnabled) return Fail(problem, number, "\"enabled\" is given twice");
        sawEnabled = true;
        if (rest != "yes" && rest != "no") {
            return Fail(problem, number, "\"enabled\" takes yes or no");
        }
        rules.enabled = rest == "yes";
        return true;
    }
    if (word == "default") {
        if (sawDefault) return Fail(problem, number, "\"default\" is given twice");
        sawDefault = true;
        if (rest == "none") {
            rules.defaultProfile = 0;
            return true;
        }
        const std::optional<int> profile = ParseProfile(rest);
        if (!profile) return Fail(problem, number, "\"default\" takes a profile 1-4 or none");
        rules.defaultProfile = *profile;
        return true;
    }
    if (word == "rule") {
        const auto [profileWord, application] = SplitWord(rest);
        const std::optional<int> profile = ParseProfile(profileWord);
        if (!profile) return Fail(problem, number, "a rule needs a profile 1-4");
        if (!IsValidApplicationName(application)) {
            return Fail(problem, number, "a rule needs an application name");
        }
        if (rules.rules.size() >= kMaxRules) {
            return Fail(problem, number, "more than " + std::to_string(kMaxRules) + " rules");
        }
        rules.rules.push_back({std::string(application), *profile});
        return true;
    }
    return Fail(problem, number, "unknown entry \"" + std::string(word.substr(0, 40)) + "\"");
}

}  // namespace

bool IsValidApplicationName(std::string_view name) {
    if (name.empty() || name.size() > kMaxApplicationNameBytes) return false;
    if (Trim(name) != name || !IsValidUtf8(name)) return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::optional<ApplicationRules> ParseApplicationRules(std::string_view text,
                                                      RulesTextProblem* problem) {
    if (text.find('\0') != std::string_view::npos) {
        Fail(problem, 0, "the file holds a NUL byte");
        return std::nullopt;
    }
    ApplicationRules rules;
    bool sawEnabled = false;
    bool sawDefault = false;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (line.empty() || line.front() == '#') continue;
        if (!ParseEntry(line, number, rules, sawEnabled, sawDefault, problem)) return std::nullopt;
    }
    return rules;
}

std::string FormatApplicationRules(const ApplicationRules& rules) {
    std::string text =
        "# The on-board profile of the mouse for the application in front.\n"
        "# rule PROFILE APPLICATION: the first rule naming the application wins.\n";
    text += "enabled ";
    text += rules.enabled ? "yes\n" : "no\n";
    text += "default ";
    text += rules.defaultProfile == 0 ? "none" : std::to_string(rules.defaultProfile);
    text += '\n';
    for (const ApplicationRule& rule : rules.rules) {
        text += "rule " + std::to_string(rule.profile) + ' ' + rule.application + '\n';
    }
    return text;
}

bool NamesApplication(std::string_view name, const ActiveApplication& app) {
    if (name.empty()) return false;
    if (!app.desktopId.empty() &&
        EqualNoCase(WithoutDesktopSuffix(name), WithoutDesktopSuffix(app.desktopId))) {
        return true;
    }
    return (!app.windowClass.empty() && EqualNoCase(name, app.windowClass)) ||
           (!app.instance.empty() && EqualNoCase(name, app.instance));
}

int ProfileForApplication(const ApplicationRules& rules, const ActiveApplication& app) {
    for (const ApplicationRule& rule : rules.rules) {
        if (NamesApplication(rule.application, app)) return rule.profile;
    }
    return rules.defaultProfile;
}

bool SetApplicationRule(ApplicationRules& rules, std::string_view application, int profile) {
    if (!IsValidApplicationName(application) || profile < 1 || profile > kRuleProfileCount) {
        return false;
    }
    for (ApplicationRule& rule : rules.rules) {
        if (EqualNoCase(rule.application, application)) {
            rule.profile = profile;
            return true;
        }
    }
    if (rules.rules.size() >= kMaxRules) return false;
    rules.rules.push_back({std::string(application), profile});
    return true;
}

bool RemoveApplicationRule(ApplicationRules& rules, std::string_view application) {
    const auto found = std::find_if(rules.rules.begin(), rules.rules.end(), [&](const auto& rule) {
        return EqualNoCase(rule.application, application);
    });
    if (found == rules.rules.end()) return false;
    rules.rules.erase(found);
    return true;
}

}  // namespace vantor
