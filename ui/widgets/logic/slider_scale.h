// Position rules of the image sliders, free of the toolkit: the state of one thumb (range,
// value table, scale positions), the index under an x coordinate, the x of an index, and
// evenly spread scale positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vantor {

// Value tables and scale positions hold at most this many entries.
constexpr std::size_t kMaxSliderEntries = 650;

constexpr std::uint32_t WM_SLIDER_MOVING = 0x801;
constexpr std::uint32_t WM_SLIDER_CHANGED = 0x804;
constexpr std::uint32_t WM_SLIDER_CHANGING = 0x806;

// lParam of the slider messages: thumb index in the high word, control id in the low word.
constexpr std::intptr_t SliderMessageParam(int thumbIndex, int controlId) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(thumbIndex) << 16) |
                                      (static_cast<std::uint32_t>(controlId) & 0xFFFFu));
}

// One thumb. The position is an index in [minimum, maximum]; the value table and the scale
// positions are indexed by position − minimum.
class SliderState {
  public:
    // A reversed range is taken in order. The position is clamped into the new range.
    void SetRange(int minimum, int maximum);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

    // Copies at most kMaxSliderEntries values.
    void SetValueTable(std::span<const int> values);
    bool HasValueTable() const { return !values_.empty(); }

    // Copies at most kMaxSliderEntries positions. Shows the warning
    // "CPngSlider::SetScalePos  dwScale and Range unmatch!" first when the count is not the
    // number of positions of the range; the positions are used all the same.
    void SetScalePos(std::span<const int> positions);
    const std::vector<int>& ScalePositions() const { return scale_; }

    // Sets the position, clamped to the range.
    void SetPos(int position);
    int Pos() const { return pos_; }
    // Sets the position of the first table entry equal to `value` (without a table, the
    // value itself, clamped). False, and the position unchanged, when no entry matches.
    bool SetPosByValue(int value);

    // The value shown and reported for a position: its table entry (0 outside the table),
    // or the position itself without a table.
    int ValueAt(int position) const;
    int Value() const { return ValueAt(pos_); }

    // The position under `x` on a track `trackWidth` wide: the nearest scale position (the
    // later one on a tie), else proportional to the nearer step; clamped to the range.
    int PosFromX(int x, int trackWidth) const;
    // Where the thumb centre sits for `position`: its scale position, else proportional.
    int XOfPos(int position, int trackWidth) const;

  private:
    int minimum_ = 0;
    int maximum_ = 100;
    int pos_ = 0;
    std::vector<int> values_;
    std::vector<int> scale_;
};

// Positions of `count` marks spread evenly so that the thumb stays inside the track:
// floor(thumbWidth / 2 + i × (trackWidth − thumbWidth) / (count − 1)). Shows the warning
// "Scale num too much" when the whole-pixel step is not positive; the positions are still
// returned while the track is wider than the thumb, else none. At most kMaxSliderEntries.
std::vector<int> EvenScalePositions(int trackWidth, int thumbWidth, int count);

// The message box of a thumb window that could not be created.
void ReportSliderCreateFailed();

}  // namespace vantor
