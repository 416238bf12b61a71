#include "ui/pages/lighting/logic/lighting_rules.h"

#include <algorithm>
#include <charconv>

#include "app/config/config.h"

namespace vantor {

namespace {

constexpr int kMainEffectCount = 7;  // effects 1..6 and 0
constexpr int kMaxSleepItems = 12;
constexpr std::uint32_t kColorMask = 0xFFFFFF;

constexpr const char* kMainEffectTexts[kMainEffectCount] = {
    "tc_led_mode1", "tc_led_mode2", "tc_led_mode3", "tc_led_mode4",
    "tc_led_mode5", "tc_led_mode6", "tc_led_mode7"};

// Entry of effect k (1..6) is k - 1; effect 0 uses the last entry.
std::size_t EntryOf(std::uint32_t effect) {
    return effect == 0 ? kMainEffectCount - 1 : effect - 1;
}

bool Offers(const std::vector<EffectItem>& items, std::uint32_t effect) {
    return std::any_of(items.begin(), items.end(),
                       [effect](const EffectItem& item) { return item.effect == effect; });
}

std::uint32_t DefaultEffect(const std::vector<EffectItem>& items, std::uint32_t preferred) {
    if (Offers(items, preferred) || items.empty()) return items.empty() ? 0 : preferred;
    return items.front().effect;
}

int Clamp(std::uint32_t step, const StepRange& range) {
    return static_cast<int>(std::clamp<std::uint32_t>(step,
                                                      static_cast<std::uint32_t>(range.minimum),
                                                      static_cast<std::uint32_t>(range.maximum)));
}

}  // namespace

std::array<EffectRule, 7> MainEffectRules(const std::array<LedOption, 7>& options) {
    std::array<EffectRule, 7> rules{};
    for (std::size_t i = 0; i < options.size(); ++i) {
        rules[i].speed = options[i].param[0];
        rules[i].light = options[i].param[1];
        rules[i].hasColor = options[i].param[4] == 1;
    }
    return rules;
}

LightingSetup CurrentLightingSetup() {
    LightingSetup setup;
    setup.mainRules = MainEffectRules(Options().LedOpt);
    setup.ledMask = CurrentDevice().LedMask;
    setup.lightParam = CurrentDevice().LightParam;
    setup.defaultMainEffect = Options().LEDParam[0];
    return setup;
}

std::vector<EffectItem> MainEffectItems(int ledMask) {
    std::vector<EffectItem> items;
    for (int bit = 0; bit < kMainEffectCount; ++bit) {
        if ((ledMask & (1 << bit)) != 0) continue;
        const std::uint32_t effect =
            bit == kMainEffectCount - 1 ? 0 : static_cast<std::uint32_t>(bit + 1);
        items.push_back({effect, kMainEffectTexts[bit]});
    }
    return items;
}

const std::vector<EffectItem>& LogoEffectItems() {
    static const std::vector<EffectItem> items = {
        {1, "tc_led_mode1"}, {2, "tc_led_mode2"}, {3, "tc_led_mode4"}, {0, "tc_led_mode7"}};
    return items;
}

EffectRule MainEffectRule(const LightingSetup& setup, std::uint32_t effect) {
    if (effect >= kMainEffectCount) return {};
    return setup.mainRules[EntryOf(effect)];
}

EffectRule LogoEffectRule(std::uint32_t effect) {
    // The logo effects have no loaded steps; 1 only marks an active slider.
    if (effect == 0 || effect > LimitsOf(LightZone::kLogo).maxEffect) return {};
    return {LogoEffectHasSpeed(effect) ? 1 : 0, 1, LogoEffectHasColor(effect)};
}

StepRange LightRange(LightZone zone, int lightParam) {
    if (zone == LightZone::kMain) return MainBrightnessRange(lightParam);
    return LimitsOf(zone).brightness;
}

StepRange SpeedRange(LightZone zone) {
    return LimitsOf(zone).speed;
}

ShownLighting ShowZone(const LightingSetup& setup, LightZone zone, const RgbEffect& effect) {
    const bool main = zone == LightZone::kMain;
    const std::vector<EffectItem> items = main ? MainEffectItems(setup.ledMask) : LogoEffectItems();
    const StepRange light = LightRange(zone, setup.lightParam);
    const StepRange speed = SpeedRange(zone);
    const auto rule = [&](std::uint32_t e) {
        return main ? MainEffectRule(setup, e) : LogoEffectRule(e);
    };

    ShownLighting shown;
    shown.effect = effect.nMode;
    shown.speed = static_cast<int>(std::min<std::uint32_t>(effect.nSpeed, 255));
    shown.light = static_cast<int>(std::min<std::uint32_t>(effect.nLight, 255));
    shown.color = effect.dwColor & kColorMask;
    const EffectRule current = rule(effect.nMode);
    const bool offered = Offers(items, effect.nMode) &&
                         (current.speed == 0 || speed.Contains(effect.nSpeed)) &&
                         (current.light == 0 || light.Contains(effect.nLight));
    if (offered) return shown;

    const std::uint32_t preferred =
        main ? setup.defaultMainEffect
             : (setup.defaultMainEffect <= 3 ? setup.defaultMainEffect : 1);
    shown.effect = DefaultEffect(items, preferred);
    shown.fromRecord = false;
    if (main) {
        const EffectRule fallback = rule(shown.effect);
        shown.speed = fallback.speed;
        shown.light = fallback.light;
    } else {
        shown.speed = Clamp(effect.nSpeed, speed);
        shown.light = Clamp(effect.nLight, light);
    }
    return shown;
}

void ChooseMainEffect(const LightingSetup& setup, std::uint32_t effect, RgbEffect& out) {
    const EffectRule rule = MainEffectRule(setup, effect);
    out.nMode = effect;
    out.nSpeed = static_cast<std::uint32_t>(rule.speed);
    out.nLight = static_cast<std::uint32_t>(rule.light);
}

void StoreZone(const ShownLighting& shown, RgbEffect& out) {
    out.nMode = shown.effect;
    out.nSpeed = static_cast<std::uint32_t>(std::max(shown.speed, 0));
    out.nLight = static_cast<std::uint32_t>(std::max(shown.light, 0));
    out.dwColor = shown.color & kColorMask;
}

std::vector<SleepItem> SleepItems(const std::uint32_t* values, int count,
                                  const std::string& secondsText, const std::string& minutesText) {
    std::vector<SleepItem> items;
    for (int i = 0; i < std::min(count, kMaxSleepItems); ++i) {
        const std::uint32_t v = values[i];
        if (v == 0) break;
        const std::uint32_t shown = v < 60 ? v : v / 60;
        items.push_back({v, std::to_string(shown) + " " + (v < 60 ? secondsText : minutesText)});
    }
    return items;
}

bool SleepControlsEnabled(std::uint16_t productId, const std::vector<std::uint32_t>& pids) {
    return std::find(pids.begin(), pids.end(), productId) == pids.end();
}

namespace {
int BoxNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || value < 0) return 0;
    return std::min(value, 255);
}
}  // namespace

std::optional<std::string> ClampedColorText(const std::string& text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const std::size_t digits = text.find_first_not_of('0');
    if (digits == std::string::npos) return std::nullopt;
    if (text.size() - digits > 3 || std::stoi(text.substr(digits)) > 255) return std::string("255");
    return std::nullopt;
}

std::uint32_t ColorFromBoxes(const std::string& red, const std::string& green,
                             const std::string& blue) {
    return static_cast<std::uint32_t>(BoxNumber(red) + BoxNumber(green) * 256 +
                                      BoxNumber(blue) * 65536);
}

std::array<int, 3> ColorBytes(std::uint32_t color) {
    return {static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
            static_cast<int>((color >> 16) & 0xFF)};
}

const std::array<std::uint32_t, 14>& PresetColors() {
    static constexpr auto rgb = [](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        return r | (g << 8) | (b << 16);
    };
    static const std::array<std::uint32_t, 14> colors = {
        rgb(255, 0, 0),    rgb(0, 255, 255),  rgb(0, 255, 0),     rgb(255, 0, 255),
        rgb(255, 255, 0),  rgb(255, 80, 0),   rgb(0, 0, 255),     rgb(228, 0, 127),
        rgb(46, 167, 224), rgb(96, 25, 134),  rgb(255, 255, 255), rgb(140, 179, 36),
        rgb(255, 156, 51), rgb(209, 113, 174)};
    return colors;
}

CellRect PresetCell(int x, int y, int index) {
    const int column = index % 7;
    const int row = index / 7;
    return {x + column * (kPresetCellSize + kPresetCellGap),
            y + row * (kPresetCellSize + kPresetRowGap), kPresetCellSize, kPresetCellSize};
}

int PresetAt(int x, int y, int px, int py) {
    for (int i = 0; i < static_cast<int>(PresetColors().size()); ++i) {
        if (PresetCell(x, y, i).Contains(px, py)) return i;
    }
    return -1;
}

bool InEllipse(const CellRect& rect, int px, int py) {
    if (rect.width <= 0 || rect.height <= 0) return false;
    const double a = rect.width / 2.0;
    const double b = rect.height / 2.0;
    const double dx = (px + 0.5 - rect.x - a) / a;
    const double dy = (py + 0.5 - rect.y - b) / b;
    return dx * dx + dy * dy <= 1.0;
}

}  // namespace vantor
