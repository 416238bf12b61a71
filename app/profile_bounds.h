// Profile records read from files are not trusted: the pages and the encoders index tables
// with the key set, the level counts and the lighting steps. These rules bring every such
// field into its range, so a damaged or hand-made file cannot make a reader index outside
// a table. Values inside the ranges are never changed.
#pragma once

#include "profile/profile_record.h"

namespace vantor {

constexpr std::uint32_t kMaxMainEffect = 6;
constexpr std::uint32_t kMaxLogoEffect = 3;
constexpr std::uint32_t kMaxLightingStep = 10;
constexpr std::uint32_t kMaxLogoSpeed = 5;

// nKeySet outside 0-2 becomes 0; nDpiLevels is clamped to 1-8; nCurDpiLevel outside
// 0 .. nDpiLevels-1 becomes 0; a main effect above 6 and a logo effect above 3 become 1
// (the rule new records use for the logo); speed and brightness steps are clamped to 1-10
// (logo speed 1-5, the DPI indicator brightness 1-10) unless the effect is off; the name
// is cut to 19 characters and terminated. Returns the number of fields changed.
int BringProfileIntoRange(ProfileFile& record);

}  // namespace vantor
