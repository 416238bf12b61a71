#include "ui/widgets/logic/number_input.h"

#include <algorithm>
#include <climits>

namespace vantor {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads an optional sign and the digits after it from the front of `text`. `consumed` gets
// the number of characters read (0 when there are no digits).
long long ReadSignedDigits(std::string_view text, std::size_t& consumed) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t firstDigit = i;
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (value <= (LLONG_MAX - 9) / 10) value = value * 10 + (text[i] - '0');
    }
    if (i == firstDigit) {
        consumed = 0;
        return 0;
    }
    consumed = i;
    value = std::min<long long>(value, static_cast<long long>(INT_MAX) + 1);
    return negative ? -value : std::min<long long>(value, INT_MAX);
}

std::string RangeHint(std::string_view tip, std::string_view blanks, int minimum, int maximum) {
    std::string hint(tip);
    hint += blanks;
    hint += std::to_string(minimum) + " - " + std::to_string(maximum);
    return hint;
}

bool BelowMinimum(long long value, int minimum) {
    return minimum != kNoBound && value < minimum;
}

bool AboveMaximum(long long value, int maximum) {
    return maximum != kNoBound && value > maximum;
}

}  // namespace

std::optional<long long> ReadWholeNumber(std::string_view text) {
    std::size_t consumed = 0;
    const long long value = ReadSignedDigits(text, consumed);
    if (consumed == 0 || consumed != text.size()) return std::nullopt;
    return value;
}

long long ReadLeadingNumber(std::string_view text) {
    std::size_t consumed = 0;
    return ReadSignedDigits(text, consumed);
}

std::string BelowRangeHint(std::string_view tip, int minimum, int maximum) {
    return RangeHint(tip, "  ", minimum, maximum);
}

std::string AboveRangeHint(std::string_view tip, int minimum, int maximum) {
    return RangeHint(tip, "   ", minimum, maximum);
}

NumberEdit CheckTypedNumber(std::string_view text, int minimum, int maximum, std::string_view tip) {
    NumberEdit edit;
    const std::optional<long long> value = ReadWholeNumber(text);
    if (!value) return edit;
    if (BelowMinimum(*value, minimum)) {
        edit.hint = BelowRangeHint(tip, minimum, maximum);
    } else if (AboveMaximum(*value, maximum)) {
        edit.hint = AboveRangeHint(tip, minimum, maximum);
        edit.replaceText = std::to_string(maximum);
    } else {
        edit.hint = std::string();
    }
    return edit;
}

std::optional<int> ConfirmNumber(std::string_view text, int minimum, int maximum,
                                 std::string_view tip, std::string& hint) {
    const long long value = ReadLeadingNumber(text);
    if (BelowMinimum(value, minimum) || AboveMaximum(value, maximum)) {
        hint = BelowRangeHint(tip, minimum, maximum);
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<std::string> CheckTypedShots(std::string_view text) {
    const std::optional<long long> value = ReadWholeNumber(text);
    if (value && *value > kMaxFireShots) return std::to_string(kMaxFireShots);
    return std::nullopt;
}

std::optional<std::string> CheckTypedInterval(std::string_view text) {
    const std::optional<long long> value = ReadWholeNumber(text);
    if (value && *value > kMaxFireInterval) return std::to_string(kMaxFireInterval);
    return std::nullopt;
}

std::string ShotsBoxText(std::uint8_t shots) {
    return std::to_string(shots == 0 ? 1 : shots);
}

std::optional<std::uint32_t> ConfirmFireKey(std::string_view shotsText,
                                            std::string_view intervalText) {
    const std::optional<long long> shots = ReadWholeNumber(shotsText);
    if (!shots || *shots < 0 || *shots > kMaxFireShots) return std::nullopt;
    const long long count = std::max<long long>(*shots, kMinFireShots);
    const long long interval =
        std::clamp<long long>(ReadLeadingNumber(intervalText), kMinFireInterval, kMaxFireInterval);
    return static_cast<std::uint32_t>(count) | static_cast<std::uint32_t>(interval) << 8;
}

std::optional<std::string> CheckTypedMove(std::string_view text) {
    const std::size_t end =
        std::min(text.size(), text.find_first_not_of(std::string_view("0123456789-+")));
    std::optional<std::string> replacement;
    if (end < text.size()) replacement = std::string(text.substr(0, end));
    const std::string_view kept = text.substr(0, end);
    if (const std::optional<long long> value = ReadWholeNumber(kept)) {
        if (*value > kMaxMove) return std::to_string(kMaxMove);
        if (*value < kMinMove) return std::to_string(kMinMove);
    }
    return replacement;
}

std::string MoveBoxText(int value) {
    return value == 0 ? std::string() : std::to_string(value);
}

std::optional<int> ReadMoveValue(std::string_view text) {
    if (text.empty()) return std::nullopt;
    return static_cast<int>(std::clamp<long long>(ReadLeadingNumber(text), kMinMove, kMaxMove));
}

}  // namespace vantor
