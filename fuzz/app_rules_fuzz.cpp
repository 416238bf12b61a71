// Arbitrary bytes as a rules file: a text that is read must be written back to the same
// rules, and the application in front is matched against whatever was read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/rules/application_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vantor::RulesTextProblem problem;
    const std::optional<vantor::ApplicationRules> rules =
        vantor::ParseApplicationRules(text, &problem);
    if (!rules) return 0;
    if (vantor::ParseApplicationRules(vantor::FormatApplicationRules(*rules)) != rules) {
        std::abort();
    }
    const vantor::ActiveApplication app{"org.example.game.desktop", "XTerm", "xterm", 1};
    const int profile = vantor::ProfileForApplication(*rules, app);
    if (profile < 0 || profile > vantor::kRuleProfileCount) std::abort();
    return 0;
}
