// The rules of the lighting page without the toolkit: which effects the two effect boxes
// offer, what each effect shows (speed, brightness, colour) and which speed and brightness
// choosing a main effect loads, how a record that holds something the model does not offer
// is shown, the sleep time list, the colour number boxes, the preset colours and the hit
// areas of the colour wheel and the preset cells.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "profile/profile_record.h"
#include "profile/setting_ranges.h"

namespace vantor {

struct LedOption;

// One item of an effect box: the effect number of the record and its text key.
struct EffectItem {
    std::uint32_t effect = 0;
    const char* textKey = "";
    bool operator==(const EffectItem&) const = default;
};

// What an effect shows. `speed` and `light` are the steps loaded when a main effect is
// chosen; 0 means the effect has no speed (brightness) and its slider is inactive.
struct EffectRule {
    int speed = 0;
    int light = 0;
    bool hasColor = false;
    bool operator==(const EffectRule&) const = default;
};

// What the page needs of the configuration, so the rules can be tested without it.
struct LightingSetup {
    std::array<EffectRule, 7> mainRules{};  // entry k - 1 for effect k, entry 6 for effect 0
    int ledMask = 0;          // LedMask: bit 0 effect 1 ... bit 5 effect 6, bit 6 effect 0
    int lightParam = 0x0A01;  // LightParam: low byte lowest, next byte highest step
    std::uint32_t defaultMainEffect = 3;  // the effect a new profile starts with (LEDParam)
};

// The setup of the current configuration (LedOpt1..7, LedMask, LightParam, LEDParam).
LightingSetup CurrentLightingSetup();

// The rules of the seven lighting options (LedOpt1..7): 1st number speed, 2nd brightness,
// 5th number 1 = colour.
std::array<EffectRule, 7> MainEffectRules(const std::array<LedOption, 7>& options);

std::vector<EffectItem> MainEffectItems(int ledMask);
const std::vector<EffectItem>& LogoEffectItems();

EffectRule MainEffectRule(const LightingSetup& setup, std::uint32_t effect);
EffectRule LogoEffectRule(std::uint32_t effect);

StepRange LightRange(LightZone zone, int lightParam);
StepRange SpeedRange(LightZone zone);

// The lighting a zone shows.
struct ShownLighting {
    std::uint32_t effect = 0;
    int speed = 1;
    int light = 1;
    std::uint32_t color = 0;  // COLORREF
    // False when the record held an effect or a step the model does not offer and the
    // default effect is shown instead; the record stays as it was until the user chooses.
    bool fromRecord = true;
    bool operator==(const ShownLighting&) const = default;
};

// What a zone shows for the record's effect. An effect the box does not offer, or a step
// outside the slider range of an active slider, shows the zone's default effect with its
// default steps (the record's colour stays).
ShownLighting ShowZone(const LightingSetup& setup, LightZone zone, const RgbEffect& effect);

// Choosing a main effect: the effect and the speed and brightness it loads.
void ChooseMainEffect(const LightingSetup& setup, std::uint32_t effect, RgbEffect& out);

// The values of a zone into the record block (what StoreToRecord writes).
void StoreZone(const ShownLighting& shown, RgbEffect& out);

// Sleep time box items: value in seconds and the text "%d %s" (seconds below one minute,
// whole minutes else). At most 12 values; the list ends at the first 0.
struct SleepItem {
    std::uint32_t seconds = 0;
    std::string text;
    bool operator==(const SleepItem&) const = default;
};
std::vector<SleepItem> SleepItems(const std::uint32_t* values, int count,
                                  const std::string& secondsText, const std::string& minutesText);

// The sleep box and the light-off-on-moving switch are disabled for the products in `pids`.
bool SleepControlsEnabled(std::uint16_t productId, const std::vector<std::uint32_t>& pids);

// Colour number boxes. The text a box keeps after an edit: above 255 becomes "255"
// (nothing when the text stays as typed).
std::optional<std::string> ClampedColorText(const std::string& text);
// The colour of three box texts; an empty or invalid box counts 0.
std::uint32_t ColorFromBoxes(const std::string& red, const std::string& green,
                             const std::string& blue);
std::array<int, 3> ColorBytes(std::uint32_t color);  // red, green, blue

// The 14 preset colours (COLORREF), first row then second row.
const std::array<std::uint32_t, 14>& PresetColors();

struct CellRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Contains(int px, int py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
};
constexpr int kPresetCellSize = 22;
constexpr int kPresetCellGap = 18;
constexpr int kPresetRowGap = 10;
// Cell `index` (0-13) of the preset grid whose first cell is at (x, y).
CellRect PresetCell(int x, int y, int index);
// The preset index under (px, py), or -1.
int PresetAt(int x, int y, int px, int py);
// Whether (px, py) lies in the ellipse inscribed in `rect`.
bool InEllipse(const CellRect& rect, int px, int py);

}  // namespace vantor
