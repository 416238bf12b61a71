// The values each setting of a profile record may hold. The pages, vantorctl, the profile
// store and the import check all take their limits from here, so that a record one of them
// leaves is accepted by the others.
#pragma once

#include <array>
#include <cstdint>

namespace vantor {

// An inclusive range of slider steps or numbers.
struct StepRange {
    int minimum = 1;
    int maximum = 10;
    bool Contains(long long value) const { return value >= minimum && value <= maximum; }
};

enum class LightZone { kMain, kLogo, kDpiIndicator };

// Effect numbers run from 0 (off) to maxEffect; speed and brightness are steps from 1.
struct ZoneLimits {
    std::uint32_t maxEffect = 0;
    StepRange speed;
    StepRange brightness;
};

constexpr ZoneLimits LimitsOf(LightZone zone) {
    switch (zone) {
        case LightZone::kMain:
            return {6, {1, 10}, {1, 10}};
        case LightZone::kLogo:
            return {3, {1, 5}, {1, 10}};
        case LightZone::kDpiIndicator:
            return {2, {1, 5}, {1, 10}};
    }
    return {};
}

constexpr std::uint32_t kMaxColor = 0xFFFFFF;

// The brightness range of the main light: LightParam holds the lowest step in its low byte
// and the highest in the next, both within the zone's 1-10.
StepRange MainBrightnessRange(int lightParam);

// Whether a speed or brightness step may be stored. A step the effect uses lies in the
// range. A step it does not use (the zone is off, or the effect has no speed or no
// brightness, so its slider is inactive) is ignored by the mouse: the lighting page stores
// 0 there and vantorctl keeps what the record held, so 0 and every step of the range pass.
bool ZoneStepAllowed(std::uint32_t step, const StepRange& range, bool stepUsed);

// Whether logo effect `effect` has a speed (effects 2 and 3) and a colour (1 and 2).
bool LogoEffectHasSpeed(std::uint32_t effect);
bool LogoEffectHasColor(std::uint32_t effect);

// Auto-sleep choices, in tens of seconds.
constexpr std::array<int, 13> kAutoSleepSteps = {1, 2, 3, 6, 12, 18, 24, 30, 36, 42, 48, 54, 60};

// Lift-off distance codes: 0 is the model's "no choice", 1 and 2 are what the user picks.
constexpr StepRange kLiftOffCodes{0, 2};
constexpr StepRange kChosenLiftOffCodes{1, 2};

// Debounce in milliseconds: DebounceRange holds the minimum in its low byte and the
// maximum in the next.
constexpr StepRange DebounceLimitsOf(int debounceRange) {
    return {debounceRange & 0xFF, (debounceRange >> 8) & 0xFF};
}

// Pointer settings the desktop accepts.
constexpr StepRange kWheelLines{0, 100};
constexpr int kWheelOneScreen = -1;  // one screen per wheel notch (the older page's box)
constexpr StepRange kDoubleClickMs{100, 5000};
constexpr StepRange kPointerSpeeds{1, 20};
constexpr StepRange kPointerTrails{0, 16};

}  // namespace vantor
