// Profile records read from files are not trusted: the encoders write every field into the
// mouse, and the pages index tables with the key set, the level counts and the lighting
// steps. One set of rules says which values a record may hold for a device model (its
// device section and that section's sensor):
//
//   - the magic and a non-zero id; the sensor id of the section;
//   - each button with its matrix position holds a function the model offers (or the
//     model's own default for that button), and every key set keeps a left click when the
//     model's defaults have one;
//   - report rate, pointer settings, the X/Y switch;
//   - DPI levels: level count 1..DM, current level below the count, each level in use on
//     a step of the sensor (and within DpiLimit), colours of three bytes;
//   - the single settings, the DPI indicator and the two lighting zones within their ranges.
//
// The limits themselves are those of profile/setting_ranges.h, which the pages and vantorctl
// use too. CheckProfileRecord lists what breaks the rules (an import is refused on any);
// RepairProfileRecord replaces each broken field by the model's default (a profile file).
#pragma once

#include <string>
#include <vector>

#include "app/config/config.h"
#include "profile/profile_record.h"
#include "profile/setting_ranges.h"

namespace vantor {

// One broken field. `place` names it as the window does: language text keys, from the page
// to the setting (for example tc_page4, tc_led_eft1, tc_adv_str10: Lighting, Main light,
// Speed); empty when the field belongs to no page (the record is for another model).
// `detail` says what is wrong in plain words for the diagnostic log and the command line
// ("debounce -841516233 ms is outside 0-30").
struct ProfileProblem {
    std::vector<const char*> place;
    std::string detail;
};

// Every broken field; empty when the record keeps every rule for `section`.
std::vector<ProfileProblem> CheckProfileRecord(const ProfileFile& record,
                                               const DeviceSection& section,
                                               const AppOptions& options);

// Whether main effect `effect` has a speed (brightness): the effect's LedOpt entry gives a
// default speed (brightness) other than 0, as the lighting page reads it.
bool MainEffectHasSpeed(const AppOptions& options, std::uint32_t effect);
bool MainEffectHasBrightness(const AppOptions& options, std::uint32_t effect);

// Replaces every broken field by the same field of `defaults` (a new record of the
// section), logs one line per field, and cuts the name to 19 characters. A record without
// the magic or an id is replaced whole. Returns the number of fields replaced.
int RepairProfileRecord(ProfileFile& record, const ProfileFile& defaults,
                        const DeviceSection& section, const AppOptions& options);

}  // namespace vantor
