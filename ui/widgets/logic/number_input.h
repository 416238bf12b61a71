// Typing and confirmation rules of the number boxes of the skinned pop-ups, free of the
// toolkit: the range-checked number input of the message window, the fire-key window's
// shots and interval, and the movement window's signed X and Y values.
//
// Every rule takes the box's text as typed and says what the box should show instead
// (nothing: leave it) and, where there is one, what the hint line shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// A bound of the number input that is not there.
constexpr int kNoBound = -1;

// The number a text reads as when it is nothing but an optional sign and decimal digits;
// values beyond the int range saturate. Nothing for any other text (empty, "-", "12a").
std::optional<long long> ReadWholeNumber(std::string_view text);
// The number of the text's leading sign and digits, as the C library reads it; 0 when there
// are none ("-", "abc"). Saturates like ReadWholeNumber.
long long ReadLeadingNumber(std::string_view text);

// Hint texts of the number input: "<tip>  <min> - <max>" (below the minimum, two blanks)
// and "<tip>   <min> - <max>" (above the maximum, three blanks).
std::string BelowRangeHint(std::string_view tip, int minimum, int maximum);
std::string AboveRangeHint(std::string_view tip, int minimum, int maximum);

struct NumberEdit {
    std::optional<std::string> replaceText;  // new box text
    std::optional<std::string> hint;         // new hint line; "" clears it
};

// The message window's number box while typing, with the range [minimum, maximum]
// (kNoBound for either side leaves it open) and the tc_tip4 text. A value above the
// maximum is replaced by the maximum.
NumberEdit CheckTypedNumber(std::string_view text, int minimum, int maximum, std::string_view tip);

// OK in the number box: the value when it lies in the range (an empty box reads as 0),
// else nothing and `hint` receives the below-range hint.
std::optional<int> ConfirmNumber(std::string_view text, int minimum, int maximum,
                                 std::string_view tip, std::string& hint);

// Fire key: 1 to 3 shots, an interval of at most 255 and at least 10.
constexpr int kMinFireShots = 1;
constexpr int kMaxFireShots = 3;
constexpr int kMaxFireInterval = 255;
constexpr int kMinFireInterval = 10;

// While typing: a shots value above 3 becomes "3", an interval of 256 or more "255".
std::optional<std::string> CheckTypedShots(std::string_view text);
std::optional<std::string> CheckTypedInterval(std::string_view text);
// The text the shots box opens with: the preset, or 1 when it is 0.
std::string ShotsBoxText(std::uint8_t shots);
// OK: the shots must be a number of at most 3 (else nothing, the window stays open); 0
// shots become 1, since a fire key that fires nothing is no fire key (and the profile check
// refuses it). The interval is raised to 10 and kept within one byte. The result is the
// fire-key parameter shots | interval << 8.
std::optional<std::uint32_t> ConfirmFireKey(std::string_view shotsText,
                                            std::string_view intervalText);

// Movement values lie in -127..127 (one signed byte of a macro event).
constexpr int kMaxMove = 127;
constexpr int kMinMove = -127;

// While typing: the text is kept up to the first character that is not a digit, "-" or
// "+"; a complete number of 128 or more becomes "127", below -127 "-127".
std::optional<std::string> CheckTypedMove(std::string_view text);
// The text a movement box opens with: empty for 0, else the number.
std::string MoveBoxText(int value);
// OK: nothing for an empty box (the value stays), else the leading number, within -127..127.
std::optional<int> ReadMoveValue(std::string_view text);

}  // namespace vantor
