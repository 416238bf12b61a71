#include "app/profile_bounds.h"

#include <algorithm>
#include <array>

#include "base/log.h"

namespace vantor {
namespace {

template <typename Field, typename Value>
void Put(Field& field, Value value, int& changed) {
    if (static_cast<Value>(field) != value) {
        field = value;
        ++changed;
    }
}

void ClampStep(LeU32& step, std::uint32_t max, int& changed) {
    Put(step, std::clamp<std::uint32_t>(step, 1, max), changed);
}

void BringEffectIntoRange(RgbEffect& effect, std::uint32_t maxMode, std::uint32_t maxSpeed,
                          int& changed) {
    if (effect.nMode > maxMode) Put(effect.nMode, 1u, changed);
    if (effect.nMode == 0) return;  // an effect that is off keeps its other fields
    ClampStep(effect.nSpeed, maxSpeed, changed);
    ClampStep(effect.nLight, kMaxLightingStep, changed);
}

}  // namespace

int BringProfileIntoRange(ProfileFile& r) {
    int changed = 0;
    if (r.nKeySet < 0 || r.nKeySet >= kKeySets) Put(r.nKeySet, 0, changed);
    Put(r.nDpiLevels, std::clamp<std::int32_t>(r.nDpiLevels, 1, kDpiLevels), changed);
    if (r.nCurDpiLevel < 0 || r.nCurDpiLevel >= r.nDpiLevels) Put(r.nCurDpiLevel, 0, changed);
    BringEffectIntoRange(r.stMainRGB, kMaxMainEffect, kMaxLightingStep, changed);
    BringEffectIntoRange(r.stLogoRGB, kMaxLogoEffect, kMaxLogoSpeed, changed);
    if (r.stDpiEffect.nMode != 0) ClampStep(r.stDpiEffect.nLight, kMaxLightingStep, changed);

    std::array<std::uint16_t, kProfileNameUnits> before{};
    for (int i = 0; i < kProfileNameUnits; ++i) before[static_cast<std::size_t>(i)] = r.szName[i];
    SetProfileName(r, ProfileName(r));
    for (int i = 0; i < kProfileNameUnits; ++i) {
        if (r.szName[i] != before[static_cast<std::size_t>(i)]) {
            ++changed;
            break;
        }
    }
    if (changed != 0) DbgLog("Profile record: %d fields out of range set into range", changed);
    return changed;
}

}  // namespace vantor
