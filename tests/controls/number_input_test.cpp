#include "ui/widgets/logic/number_input.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vantor {
namespace {

TEST(NumberInputTest, ReadsWholeAndLeadingNumbers) {
    EXPECT_EQ(ReadWholeNumber("42"), 42);
    EXPECT_EQ(ReadWholeNumber("+7"), 7);
    EXPECT_EQ(ReadWholeNumber("-300"), -300);
    EXPECT_EQ(ReadWholeNumber(""), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("-"), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("12a"), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("1-2"), std::nullopt);
    // Far too many digits saturate instead of overflowing.
    EXPECT_EQ(ReadWholeNumber("99999999999999999999999"), 2147483647);
    EXPECT_EQ(ReadWholeNumber("-99999999999999999999999"), -2147483648LL);

    EXPECT_EQ(ReadLeadingNumber("12a"), 12);
    EXPECT_EQ(ReadLeadingNumber("-5-"), -5);
    EXPECT_EQ(ReadLeadingNumber("-"), 0);
    EXPECT_EQ(ReadLeadingNumber("--5"), 0);
}

TEST(NumberInputTest, TypedNumberHintsAndClampsToTheMaximum) {
    const NumberEdit above = CheckTypedNumber("70000", 1, 65535, "Range:");
    EXPECT_EQ(above.replaceText, "65535");
    EXPECT_EQ(above.hint, "Range:   1 - 65535");  // three blanks

    const NumberEdit below = CheckTypedNumber("0", 1, 65535, "Range:");
    EXPECT_EQ(below.replaceText, std::nullopt);
    EXPECT_EQ(below.hint, "Range:  1 - 65535");  // two blanks

    EXPECT_EQ(CheckTypedNumber("500", 1, 65535, "Range:").hint, "");
    EXPECT_FALSE(CheckTypedNumber("", 1, 65535, "Range:").hint.has_value());
    // -1 leaves a side open.
    EXPECT_EQ(CheckTypedNumber("999999", kNoBound, kNoBound, "t").replaceText, std::nullopt);
    EXPECT_EQ(CheckTypedNumber("0", kNoBound, 10, "t").hint, "");
}

TEST(NumberInputTest, ConfirmRefusesOutOfRangeWithTheBelowHint) {
    std::string hint;
    EXPECT_EQ(ConfirmNumber("10", 10, 65535, "R", hint), 10);
    EXPECT_EQ(hint, "");
    EXPECT_EQ(ConfirmNumber("9", 10, 65535, "R", hint), std::nullopt);
    EXPECT_EQ(hint, "R  10 - 65535");
    hint.clear();
    EXPECT_EQ(ConfirmNumber("", 1, 5, "R", hint), std::nullopt);  // empty reads as 0
    EXPECT_EQ(hint, "R  1 - 5");
    EXPECT_EQ(ConfirmNumber("", kNoBound, kNoBound, "R", hint), 0);
}

TEST(NumberInputTest, FireKeyTypingAndConfirmation) {
    EXPECT_EQ(CheckTypedShots("5"), "3");
    EXPECT_EQ(CheckTypedShots("3"), std::nullopt);
    EXPECT_EQ(CheckTypedInterval("256"), "255");
    EXPECT_EQ(CheckTypedInterval("255"), std::nullopt);
    EXPECT_EQ(ShotsBoxText(0), "1");
    EXPECT_EQ(ShotsBoxText(2), "2");

    EXPECT_EQ(ConfirmFireKey("2", "4"), 2u | 10u << 8);  // interval raised to 10
    EXPECT_EQ(ConfirmFireKey("3", "200"), 3u | 200u << 8);
    EXPECT_EQ(ConfirmFireKey("0", "20"), 1u | 20u << 8);  // a fire key fires at least once
    EXPECT_EQ(ConfirmFireKey("00", "20"), 1u | 20u << 8);
    EXPECT_EQ(ConfirmFireKey("1", ""), 1u | 10u << 8);
    // The interval never spills out of its byte.
    EXPECT_EQ(ConfirmFireKey("1", "9999"), 1u | 255u << 8);
    EXPECT_EQ(ConfirmFireKey("4", "10"), std::nullopt);
    EXPECT_EQ(ConfirmFireKey("", "10"), std::nullopt);
}

TEST(NumberInputTest, MoveTypingRules) {
    struct Case {
        const char* typed;
        std::optional<std::string> shown;
    };
    const Case cases[] = {
        {"200", "127"},         {"-300", "-127"},    {"12a", "12"},         {"127", std::nullopt},
        {"-127", std::nullopt}, {"-", std::nullopt}, {"1-2", std::nullopt}, {"x5", ""},
        {"+128", "127"},        {"999a", "127"},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckTypedMove(c.typed), c.shown) << c.typed;
}

TEST(NumberInputTest, MoveBoxTextAndValues) {
    EXPECT_EQ(MoveBoxText(0), "");
    EXPECT_EQ(MoveBoxText(-5), "-5");
    EXPECT_EQ(ReadMoveValue(""), std::nullopt);
    EXPECT_EQ(ReadMoveValue("-"), 0);
    EXPECT_EQ(ReadMoveValue("12-3"), 12);
    EXPECT_EQ(ReadMoveValue("-127"), -127);
    EXPECT_EQ(ReadMoveValue("5000"), 127);  // never beyond one signed byte
}

}  // namespace
}  // namespace vantor
