#include "tests/support/log_entries.h"

#include <cctype>

namespace vantor::test {
namespace {

bool StartsWithTimeStamp(const std::string& text, std::size_t pos) {
    static constexpr char kShape[] = "00:00.000   ";  // '0' stands for any digit
    for (std::size_t i = 0; kShape[i] != '\0'; ++i) {
        if (pos + i >= text.size()) return false;
        const char c = text[pos + i];
        if (kShape[i] == '0' ? std::isdigit(static_cast<unsigned char>(c)) == 0 : c != kShape[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<std::string> LogEntries(const std::string& text) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        // An entry runs on over the lines that do not start with a time stamp.
        while (end != std::string::npos && end + 1 < text.size() &&
               !StartsWithTimeStamp(text, end + 1)) {
            end = text.find('\n', end + 1);
        }
        if (end == std::string::npos) end = text.size();
        entries.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

}  // namespace vantor::test
