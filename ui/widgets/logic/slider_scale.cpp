#include "ui/widgets/logic/slider_scale.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "base/message_sink.h"

namespace vantor {
namespace {

std::vector<int> CopyAtMost(std::span<const int> source) {
    const std::size_t count = std::min(source.size(), kMaxSliderEntries);
    return {source.begin(), source.begin() + static_cast<std::ptrdiff_t>(count)};
}

// Floor division for a positive divisor.
std::int64_t FloorDiv(std::int64_t numerator, std::int64_t divisor) {
    std::int64_t quotient = numerator / divisor;
    if (numerator % divisor != 0 && numerator < 0) --quotient;
    return quotient;
}

int ToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

}  // namespace

void SliderState::SetRange(int minimum, int maximum) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    pos_ = std::clamp(pos_, minimum_, maximum_);
}

void SliderState::SetValueTable(std::span<const int> values) {
    values_ = CopyAtMost(values);
}

void SliderState::SetScalePos(std::span<const int> positions) {
    const std::int64_t expected = std::int64_t{maximum_} - minimum_ + 1;
    if (static_cast<std::int64_t>(positions.size()) != expected) {
        ShowSystemMessage("CPngSlider::SetScalePos  dwScale and Range unmatch!", "Warning");
    }
    scale_ = CopyAtMost(positions);
}

void SliderState::SetPos(int position) {
    pos_ = std::clamp(position, minimum_, maximum_);
}

bool SliderState::SetPosByValue(int value) {
    if (values_.empty()) {
        SetPos(value);
        return true;
    }
    const auto found = std::find(values_.begin(), values_.end(), value);
    if (found == values_.end()) return false;
    const std::int64_t position = std::int64_t{minimum_} + (found - values_.begin());
    if (position > maximum_) return false;
    pos_ = static_cast<int>(position);
    return true;
}

int SliderState::ValueAt(int position) const {
    if (values_.empty()) return position;
    const std::int64_t index = std::int64_t{position} - minimum_;
    if (index < 0 || index >= static_cast<std::int64_t>(values_.size())) return 0;
    return values_[static_cast<std::size_t>(index)];
}

int SliderState::PosFromX(int x, int trackWidth) const {
    std::int64_t index = 0;
    if (!scale_.empty()) {
        std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
        for (std::size_t i = 0; i < scale_.size(); ++i) {
            const std::int64_t distance = std::llabs(std::int64_t{x} - scale_[i]);
            if (distance <= bestDistance) {  // the later index wins a tie
                bestDistance = distance;
                index = static_cast<std::int64_t>(i);
            }
        }
    } else if (trackWidth > 0) {
        const std::int64_t steps = std::int64_t{maximum_} - minimum_;
        const std::int64_t clampedX = std::clamp(x, 0, trackWidth);
        // Rounded to the nearer step boundary.
        index = (2 * clampedX * steps + trackWidth) / (2 * std::int64_t{trackWidth});
    }
    return ToInt(std::clamp<std::int64_t>(std::int64_t{minimum_} + index, minimum_, maximum_));
}

int SliderState::XOfPos(int position, int trackWidth) const {
    const std::int64_t index = std::int64_t{std::clamp(position, minimum_, maximum_)} - minimum_;
    if (index < static_cast<std::int64_t>(scale_.size())) {
        return scale_[static_cast<std::size_t>(index)];
    }
    const std::int64_t steps = std::int64_t{maximum_} - minimum_;
    if (steps <= 0) return 0;
    // Multiplied before dividing, so that ranges with more steps than pixels still spread.
    return ToInt(std::int64_t{trackWidth} * index / steps);
}

std::vector<int> EvenScalePositions(int trackWidth, int thumbWidth, int count) {
    if (count <= 0) return {};
    const std::int64_t usable = std::int64_t{trackWidth} - thumbWidth;
    if (count == 1) return {thumbWidth / 2};
    const std::int64_t gaps = count - 1;
    if (usable / gaps <= 0) ShowSystemMessage("Scale num too much", "Warning");
    if (usable <= 0) return {};
    const std::size_t n = std::min(static_cast<std::size_t>(count), kMaxSliderEntries);
    std::vector<int> positions(n);
    for (std::size_t i = 0; i < n; ++i) {
        // thumbWidth / 2 + i × usable / gaps, floored, over the common denominator 2 × gaps.
        const std::int64_t numerator =
            std::int64_t{thumbWidth} * gaps + 2 * static_cast<std::int64_t>(i) * usable;
        positions[i] = ToInt(FloorDiv(numerator, 2 * gaps));
    }
    return positions;
}

void ReportSliderCreateFailed() {
    ShowSystemMessage("Create slider failed", "Warrning");
}

}  // namespace vantor
