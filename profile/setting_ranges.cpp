#include "profile/setting_ranges.h"

#include <algorithm>

namespace vantor {

StepRange MainBrightnessRange(int lightParam) {
    const StepRange zone = LimitsOf(LightZone::kMain).brightness;
    const int low = std::clamp(lightParam & 0xFF, zone.minimum, zone.maximum);
    const int high = std::clamp((lightParam >> 8) & 0xFF, low, zone.maximum);
    return {low, high};
}

bool ZoneStepAllowed(std::uint32_t step, const StepRange& range, bool stepUsed) {
    if (stepUsed) return range.Contains(step);
    return step == 0 || range.Contains(step);
}

bool LogoEffectHasSpeed(std::uint32_t effect) {
    return effect == 2 || effect == 3;
}

bool LogoEffectHasColor(std::uint32_t effect) {
    return effect == 1 || effect == 2;
}

}  // namespace vantor
