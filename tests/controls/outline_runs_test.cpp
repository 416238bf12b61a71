#include "ui/widgets/logic/outline_runs.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantor {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;
// COLORREF of the mask: red 0x10, green 0x20, blue 0xF8.
constexpr std::uint32_t kMask = 0xF82010;
constexpr std::uint32_t kMaskArgb = kOpaque | 0x1020F8;
constexpr std::uint32_t kInk = kOpaque | 0x808080;

TEST(OutlineRunsTest, MergesEachRowIntoRunsAndSkipsTheMask) {
    const std::vector<std::uint32_t> pixels = {
        kMaskArgb, kInk,      kInk,      kMaskArgb, kInk,       //
        kInk,      kInk,      kInk,      kInk,      kInk,       //
        kMaskArgb, kMaskArgb, kMaskArgb, kMaskArgb, kMaskArgb,  //
    };
    const std::vector<OutlineRect> expected = {
        {1, 0, 3, 1}, {4, 0, 5, 1}, {0, 1, 5, 2},  // the last row is all mask
    };
    EXPECT_EQ(OutlineRuns(pixels.data(), 5, 3, kMask, 0), expected);
}

TEST(OutlineRunsTest, ToleranceCountsUpwardsOnEveryChannelAndClampsAt255) {
    struct Case {
        std::uint32_t argb;
        int tolerance;
        bool inside;
    };
    const Case cases[] = {
        {kOpaque | 0x1A2AFF, 10, false},  // +10, +10, blue clamped at 255
        {kOpaque | 0x1B20F8, 10, true},   // red +11
        {kOpaque | 0x0F20F8, 10, true},   // red below the mask value
        {kOpaque | 0x1020F9, 0, true},    // blue +1 with no tolerance
        {kOpaque | 0x1020F8, 0, false},   // the mask colour itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.argb << " tol " << c.tolerance);
        EXPECT_EQ(OutlineRuns(&c.argb, 1, 1, kMask, c.tolerance).size(), c.inside ? 1u : 0u);
    }
}

TEST(OutlineRunsTest, MostlyTransparentPixelsAreOutside) {
    // Antialiased corner pixels: those at least half opaque belong to the window, fainter
    // ones (shown as dark specks inside a region) do not, whatever their colour.
    const std::vector<std::uint32_t> pixels = {0x00FFFFFF, 0x80FFFFFF, 0x7FFFFFFF, 0x10000000,
                                               kInk};
    const std::vector<OutlineRect> expected = {{1, 0, 2, 1}, {4, 0, 5, 1}};
    EXPECT_EQ(OutlineRuns(pixels.data(), 5, 1, kMask, 10), expected);
}

TEST(OutlineRunsTest, EmptyInputGivesNoRuns) {
    const std::uint32_t pixel = kInk;
    EXPECT_TRUE(OutlineRuns(nullptr, 4, 4, kMask, 0).empty());
    EXPECT_TRUE(OutlineRuns(&pixel, 0, 1, kMask, 0).empty());
    EXPECT_TRUE(OutlineRuns(&pixel, 1, -1, kMask, 0).empty());
}

}  // namespace
}  // namespace vantor
