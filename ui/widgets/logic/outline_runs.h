// The outline of a skinned window, computed over a plain pixel buffer: every pixel that is
// not (within a tolerance) the mask colour belongs to the window. Transparent and mostly
// transparent pixels always fall outside.
#pragma once

#include <cstdint>
#include <vector>

namespace vantor {

// One horizontal run of window pixels; right and bottom are exclusive.
struct OutlineRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const OutlineRect&) const = default;
};

// Pixels less opaque than this are outside. A window cut by a region has no translucent
// pixels: a faint antialiased corner pixel kept inside was shown as a dark speck.
inline constexpr int kOutlineAlphaThreshold = 128;

// `pixels` holds `width` * `height` non-premultiplied 0xAARRGGBB values, row by row.
// A pixel with alpha below kOutlineAlphaThreshold is outside.
// `maskColorRef` is a COLORREF (red in the low byte). A pixel is outside when, after it is
// drawn over the mask colour, each of red, green and blue lies within
// [mask value, min(mask value + tolerance, 255)]. Returns the inside runs of every row,
// top to bottom, left to right. A null buffer or a non-positive size gives no runs.
std::vector<OutlineRect> OutlineRuns(const std::uint32_t* pixels, int width, int height,
                                     std::uint32_t maskColorRef, int tolerance);

}  // namespace vantor
