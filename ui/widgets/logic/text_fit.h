// How a text is fitted into the rectangle it is drawn in, the same for every control and
// window: drawn at its font size when it fits; otherwise a step or two smaller; when it
// still does not fit, cut at the end with "…". Never clipped mid-letter.
//
// The rule needs no toolkit: the caller measures texts through a callback, so the same
// rule serves painting and the checks that every translation fits.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

struct TextExtent {
    int width = 0;
    int height = 0;
};

// Size of `utf8Text` drawn with the font at `pixelSize` (for a wrapped text: the wrapped
// block at the box's width).
using MeasureText = std::function<TextExtent(std::string_view utf8Text, int pixelSize)>;

struct TextFit {
    int pixelSize = 0;  // the size to draw with
    std::string text;   // the text to draw, ending in "…" when it was cut
    bool elided = false;
    bool fits = false;  // the whole text fits at `pixelSize`
};

inline constexpr std::string_view kEllipsis = "\u2026";

// The sizes tried in order: `pixelSize`, then at most two smaller steps of about a
// thirteenth of it (1 pixel for the 13-pixel window font, 2 in the doubled layout).
std::vector<int> FontSizeSteps(int pixelSize);

// Fits `utf8Text` into a box of `boxWidth` x `boxHeight` starting from `pixelSize`. An
// empty text fits as it is.
TextFit FitText(std::string_view utf8Text, int boxWidth, int boxHeight, int pixelSize,
                const MeasureText& measure);

}  // namespace vantor
