#include "ui/widgets/logic/outline_runs.h"

#include <algorithm>

namespace vantor {
namespace {

// Channel of a pixel drawn with its alpha over an opaque background channel.
int Over(int value, int alpha, int background) {
    return (value * alpha + background * (255 - alpha) + 127) / 255;
}

bool InRange(int value, int low, int tolerance) {
    return value >= low && value <= std::min(low + tolerance, 255);
}

}  // namespace

std::vector<OutlineRect> OutlineRuns(const std::uint32_t* pixels, int width, int height,
                                     std::uint32_t maskColorRef, int tolerance) {
    std::vector<OutlineRect> runs;
    if (pixels == nullptr || width <= 0 || height <= 0) return runs;
    tolerance = std::max(tolerance, 0);
    const int maskRed = static_cast<int>(maskColorRef & 0xFF);
    const int maskGreen = static_cast<int>((maskColorRef >> 8) & 0xFF);
    const int maskBlue = static_cast<int>((maskColorRef >> 16) & 0xFF);

    auto inside = [&](std::uint32_t argb) {
        const int alpha = static_cast<int>(argb >> 24);
        if (alpha < kOutlineAlphaThreshold) return false;
        const int red = Over(static_cast<int>((argb >> 16) & 0xFF), alpha, maskRed);
        const int green = Over(static_cast<int>((argb >> 8) & 0xFF), alpha, maskGreen);
        const int blue = Over(static_cast<int>(argb & 0xFF), alpha, maskBlue);
        return !(InRange(red, maskRed, tolerance) && InRange(green, maskGreen, tolerance) &&
                 InRange(blue, maskBlue, tolerance));
    };

    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
        int x = 0;
        while (x < width) {
            while (x < width && !inside(row[x])) ++x;
            const int start = x;
            while (x < width && inside(row[x])) ++x;
            if (x > start) runs.push_back({start, y, x, y + 1});
        }
    }
    return runs;
}

}  // namespace vantor
