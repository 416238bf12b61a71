#include "profile/lighting_codec.h"

#include <algorithm>
#include <tuple>

#include "base/log.h"
#include "profile/check_byte.h"
#include "profile/memory_map.h"
#include "profile/setting_ranges.h"

namespace vantor {
namespace {

constexpr std::uint32_t kMaxLogoMode = LimitsOf(LightZone::kLogo).maxEffect;
constexpr auto kMaxLogoSpeed = static_cast<std::uint32_t>(LimitsOf(LightZone::kLogo).speed.maximum);
constexpr std::uint32_t kMaxDpiEffectMode = LimitsOf(LightZone::kDpiIndicator).maxEffect;
constexpr auto kMaxDpiEffectSpeed =
    static_cast<std::uint32_t>(LimitsOf(LightZone::kDpiIndicator).speed.maximum);
constexpr std::uint8_t kMainOffCode = 4;

struct MainEffect {
    std::uint32_t mode;  // record effect number
    std::uint8_t code;   // device effect code
    const LightingStepTable* speed;
    const LightingStepTable* light;
};

constexpr MainEffect kMainEffects[] = {
    {1, 2, &SpeedSteps, &LightSteps},           {2, 1, &SpeedSteps, &LightSteps},
    {3, 0, &Mode3SpeedSteps, &Mode3LightSteps}, {4, 3, &SpeedSteps, &LightSteps},
    {5, 5, &SpeedSteps, &LightSteps},           {6, 7, &SpeedSteps, &LightSteps},
};

const MainEffect* MainEffectOfMode(std::uint32_t mode) {
    for (const MainEffect& e : kMainEffects) {
        if (e.mode == mode) return &e;
    }
    return nullptr;
}

const MainEffect* MainEffectOfCode(std::uint8_t code) {
    for (const MainEffect& e : kMainEffects) {
        if (e.code == code) return &e;
    }
    return nullptr;
}

// Index of `value` in `table`, or -1.
int StepIndex(const LightingStepTable& table, std::uint8_t value) {
    const auto it = std::find(table.begin(), table.end(), value);
    return it == table.end() ? -1 : static_cast<int>(it - table.begin());
}

// The table entry of a 1-based step; steps outside the table use the nearest entry.
std::uint8_t StepValue(const LightingStepTable& table, std::uint32_t step) {
    const std::uint32_t clamped =
        std::clamp<std::uint32_t>(step, 1, std::tuple_size_v<LightingStepTable>);
    return table[clamped - 1];
}

std::uint8_t ByteValue(std::uint32_t value) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(value, 0xFF));
}

std::uint32_t ColorOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return red | static_cast<std::uint32_t>(green) << 8 | static_cast<std::uint32_t>(blue) << 16;
}

void PutColor(std::uint32_t color, std::uint8_t* out) {
    out[0] = static_cast<std::uint8_t>(color);
    out[1] = static_cast<std::uint8_t>(color >> 8);
    out[2] = static_cast<std::uint8_t>(color >> 16);
}

// Writes the pair (value, check) at out[0..1].
void PutPair(std::uint8_t value, std::uint8_t* out) {
    const auto pair = SettingPair(value);
    out[0] = pair[0];
    out[1] = pair[1];
}

}  // namespace

void EEPROM_To_MainRGB(std::span<const std::uint8_t, 8> b, RgbEffect& out) {
    DbgLogHex(b.data(), b.size(), 10, "EEPROM_To_MainRGB: ");
    DbgLog("EEPROM_To_MainRGB: mode=%x, speed=%x, light=%x, color=%x,%x,%x", b[0], b[4], b[5], b[1],
           b[2], b[3]);
    const MainEffect* effect = MainEffectOfCode(b[0]);
    if (effect == nullptr) {
        out.nMode = 0;  // off, and every unknown code
        return;
    }
    // Effect 1 has no speed on the device side that reads back.
    int speed = 0;
    if (effect->mode != 1) {
        speed = StepIndex(*effect->speed, b[4]);
        if (speed < 0) {
            DbgLog("EEPROM_To_MainRGB: Unkown Speed");
            speed = 0;
        }
    }
    int light = StepIndex(*effect->light, b[5]);
    if (light < 0) {
        DbgLog("EEPROM_To_MainRGB: Unkown Bri");
        light = 0;
    }
    out.nMode = effect->mode;
    out.nSpeed = static_cast<std::uint32_t>(speed + 1);
    out.nLight = static_cast<std::uint32_t>(light + 1);
    out.dwColor = ColorOf(b[1], b[2], b[3]);
}

void EEPROM_To_LogoRGB(std::span<const std::uint8_t, 10> b, RgbEffect& out) {
    DbgLogHex(b.data(), b.size(), 11, "EEPROM_To_LogoRGB: ");
    DbgLog("EEPROM_To_LogoRGB: mode=%x, speed=%x, light=%x, color=%x,%x,%x", b[4], b[8], b[6], b[0],
           b[1], b[2]);
    const std::uint8_t effect = b[4];
    // Effects 1-3 hold a brightness value; other effects hold the step index itself.
    int light = effect >= 1 && effect <= kMaxLogoMode ? StepIndex(LightSteps, b[6]) : b[6];
    if (light < 0 || light >= static_cast<int>(LightSteps.size())) {
        DbgLog("EEPROM_To_LogoRGB: Unkown Bri");
        light = 0;
    }
    std::uint32_t speed = b[8];
    if (speed < 1 || speed > kMaxLogoSpeed) {
        DbgLog("EEPROM_To_LogoRGB: Unkown Speed");
        speed = 0;
    }
    std::uint32_t mode = effect;
    if (mode > kMaxLogoMode) {
        // The logo has effects 1-3 only; an unknown one is shown as the first.
        DbgLog("EEPROM_To_LogoRGB: Unkown Mode");
        mode = 1;
    }
    out.nMode = mode;
    if (mode == 0) return;
    out.nSpeed = speed;
    out.nLight = static_cast<std::uint32_t>(light + 1);
    out.dwColor = ColorOf(b[0], b[1], b[2]);
}

void DecodeDpiEffect(std::span<const std::uint8_t, 6> b, DpiEffect& out) {
    std::uint32_t mode = b[0];
    if (mode > kMaxDpiEffectMode) {
        DbgLog("DecodeDpiEffect: Unkown Mode");
        mode = 1;
    }
    std::uint32_t speed = b[4];
    if (speed > kMaxDpiEffectSpeed) {
        DbgLog("DecodeDpiEffect: Unkown Speed");
        speed = 0;
    }
    const int light = StepIndex(DpiLightSteps, b[2]);
    out.nMode = mode;
    out.nSpeed = speed;
    out.nLight = light < 0 ? 1u : static_cast<std::uint32_t>(light + 1);
}

bool MainRGBNeedsDeviceBytes(const RgbEffect& effect) {
    return effect.nMode == 0;
}

LightingWrite EncodeMainRGB(const RgbEffect& effect, std::span<const std::uint8_t, 7> deviceBytes) {
    LightingWrite w;
    w.address = memory_map::kMainLighting;
    w.length = memory_map::kMainLightingSize;
    std::uint8_t* b = w.bytes.data();
    if (effect.nMode == 0) {
        std::copy(deviceBytes.begin(), deviceBytes.end(), b);
        b[0] = kMainOffCode;
    } else if (const MainEffect* e = MainEffectOfMode(effect.nMode)) {
        b[0] = e->code;
        PutColor(effect.dwColor, b + 1);
        b[4] = StepValue(*e->speed, effect.nSpeed);
        b[5] = StepValue(*e->light, effect.nLight);
    } else {
        b[0] = ByteValue(effect.nMode);
        PutColor(effect.dwColor, b + 1);
    }
    SealGroup(std::span(b, w.length));
    return w;
}

LightingWrite EncodeLogoRGB(const RgbEffect& effect) {
    LightingWrite w;
    std::uint8_t* b = w.bytes.data();
    if (effect.nMode == 0) {
        w.address = memory_map::kLogoEffectPair;
        w.length = memory_map::kSettingPairSize;
        PutPair(0, b);
        return w;
    }
    w.address = memory_map::kLogoLighting;
    w.length = memory_map::kLogoLightingSize;
    PutColor(effect.dwColor, b);
    SealGroup(std::span(b, 4));
    PutPair(ByteValue(effect.nMode), b + 4);
    PutPair(StepValue(LightSteps, effect.nLight), b + 6);
    PutPair(ByteValue(effect.nSpeed), b + 8);
    return w;
}

LightingWrite EncodeDpiEffect(const DpiEffect& effect) {
    LightingWrite w;
    w.address = memory_map::kDpiEffect;
    std::uint8_t* b = w.bytes.data();
    if (effect.nMode == 0) {
        w.length = memory_map::kSettingPairSize;
        PutPair(0, b);
        return w;
    }
    w.length = memory_map::kDpiEffectSize;
    PutPair(ByteValue(effect.nMode), b);
    PutPair(StepValue(DpiLightSteps, effect.nLight), b + 2);
    PutPair(ByteValue(effect.nSpeed), b + 4);
    return w;
}

}  // namespace vantor
