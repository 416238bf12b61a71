#include "ui/widgets/logic/text_fit.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor {
namespace {

// A monospaced measure: every character (not byte) is as wide as the pixel size, the
// line as high as the pixel size; "…" counts as one character.
TextExtent Monospaced(std::string_view text, int pixelSize) {
    int characters = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    }
    return {characters * pixelSize, pixelSize};
}

TEST(TextFitTest, SizeStepsScaleWithTheFont) {
    EXPECT_EQ(FontSizeSteps(13), (std::vector<int>{13, 12, 11}));
    EXPECT_EQ(FontSizeSteps(26), (std::vector<int>{26, 24, 22}));
    EXPECT_EQ(FontSizeSteps(7), (std::vector<int>{7, 6}));
}

TEST(TextFitTest, KeepsShrinksOrElides) {
    struct Case {
        const char* text;
        int boxWidth;
        int boxHeight;
        int pixelSize;
        std::string shown;
        bool elided;
        bool fits;
    };
    const Case cases[] = {
        {"Cancel", 80, 20, 13, "Cancel", false, true},         // 78 px at 13
        {"Abbrechen", 100, 20, 13, "Abbrechen", false, true},  // 117 at 13, 99 at 11
        {"Abbrechen", 80, 20, 13, "Abbrec…", true, false},     // 7 x 11 = 77
        {"Abbrechen", 200, 12, 13, "Abbrechen", false, true},  // too high at 13 only
        {"Ab  cd", 44, 20, 13, "Ab…", true, false},            // no blank before "…"
        {"Größe", 55, 20, 11, "Größe", false, true},           // characters, not bytes
        {"Größe", 44, 20, 11, "Grö…", true, false},
        {"Abbrechen", 3, 20, 13, "…", true, false},  // nothing fits
        {"", 0, 0, 13, "", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " in " << c.boxWidth << "x" << c.boxHeight);
        const TextFit fit = FitText(c.text, c.boxWidth, c.boxHeight, c.pixelSize, Monospaced);
        EXPECT_EQ(fit.text, c.shown);
        EXPECT_EQ(fit.elided, c.elided);
        EXPECT_EQ(fit.fits, c.fits);
        if (c.fits && !std::string(c.text).empty()) {
            EXPECT_LE(Monospaced(fit.text, fit.pixelSize).width, c.boxWidth);
        }
    }
}

TEST(TextFitTest, PrefersTheLargestSizeThatFits) {
    EXPECT_EQ(FitText("Abbrechen", 108, 20, 13, Monospaced).pixelSize, 12);
    EXPECT_EQ(FitText("Abbrechen", 117, 20, 13, Monospaced).pixelSize, 13);
    EXPECT_EQ(FitText("Abbrechen", 60, 20, 13, Monospaced).pixelSize, 11);  // elided smallest
}

}  // namespace
}  // namespace vantor
