#include "ui/widgets/logic/text_fit.h"

#include <algorithm>

namespace vantor {
namespace {

constexpr int kShrinkSteps = 2;
constexpr int kSmallestPixelSize = 6;

bool Fits(const TextExtent& extent, int boxWidth, int boxHeight) {
    return extent.width <= boxWidth && extent.height <= boxHeight;
}

// Byte offsets where the UTF-8 characters of `text` start, plus its end.
std::vector<std::size_t> CharacterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
    }
    starts.push_back(text.size());
    return starts;
}

// The first `count` characters, without trailing blanks, followed by the ellipsis.
std::string Elided(std::string_view text, const std::vector<std::size_t>& starts,
                   std::size_t count) {
    std::string_view head = text.substr(0, starts[count]);
    while (!head.empty() && head.back() == ' ') head.remove_suffix(1);
    return std::string(head) + std::string(kEllipsis);
}

}  // namespace

std::vector<int> FontSizeSteps(int pixelSize) {
    std::vector<int> sizes{pixelSize};
    const int step = std::max(1, (pixelSize + 6) / 13);
    for (int i = 1; i <= kShrinkSteps; ++i) {
        const int smaller = pixelSize - i * step;
        if (smaller < kSmallestPixelSize) break;
        sizes.push_back(smaller);
    }
    return sizes;
}

TextFit FitText(std::string_view utf8Text, int boxWidth, int boxHeight, int pixelSize,
                const MeasureText& measure) {
    if (utf8Text.empty()) return {pixelSize, {}, false, true};
    const std::vector<int> sizes = FontSizeSteps(pixelSize);
    for (int size : sizes) {
        if (Fits(measure(utf8Text, size), boxWidth, boxHeight)) {
            return {size, std::string(utf8Text), false, true};
        }
    }
    // The longest start of the text that fits with the ellipsis at the smallest size.
    const int smallest = sizes.back();
    const std::vector<std::size_t> starts = CharacterStarts(utf8Text);
    std::size_t low = 0;                   // known to fit (or nothing at all)
    std::size_t high = starts.size() - 1;  // the whole text: known not to fit
    while (high - low > 1) {
        const std::size_t middle = (low + high) / 2;
        if (Fits(measure(Elided(utf8Text, starts, middle), smallest), boxWidth, boxHeight)) {
            low = middle;
        } else {
            high = middle;
        }
    }
    // In a box too small for anything the ellipsis alone stands for the text.
    return {smallest, Elided(utf8Text, starts, low), true, false};
}

}  // namespace vantor
