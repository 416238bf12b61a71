#include "tools/vantorctl/record_view.h"
#include "app/config/codec_context_config.h"

#include <algorithm>
#include <cstdio>

#include "app/config/config.h"
#include "profile/codec_context.h"
#include "profile/report_rate.h"
#include "profile/sensor_tables.h"

namespace vantor::cli {
namespace {

const char* OnOff(std::int32_t value) {
    return value != 0 ? "on" : "off";
}

std::string SensorModeText(std::int32_t mode) {
    return mode == 1 ? "hp" : "lp";
}

std::string Label(const RecordView& view, const KeyAssignment& key) {
    std::string label = AssignmentLabel(key, *view.keys);
    return label.empty() ? Hex(key.dwFunID, 8) : label;
}

const KeyAssignment& Button(const RecordView& view, int button) {
    const int keySet = std::clamp(static_cast<int>(view.record->nKeySet), 0, kKeySets - 1);
    return view.record->Key[keySet][button];
}

int Buttons(const RecordView& view) {
    return std::clamp(view.buttonCount, 0, kKeysPerSet);
}

int Levels(const RecordView& view) {
    return std::clamp(view.dpiLevelSlots, 0, kDpiLevels);
}

std::string RgbText(const RgbEffect& effect) {
    return "effect " + std::to_string(effect.nMode) + ", speed " + std::to_string(effect.nSpeed) +
           ", brightness " + std::to_string(effect.nLight) + ", colour " +
           ColorText(effect.dwColor);
}

Json RgbJson(const RgbEffect& effect) {
    return Json::Object()
        .Set("effect", Json::Number(effect.nMode))
        .Set("speed", Json::Number(effect.nSpeed))
        .Set("brightness", Json::Number(effect.nLight))
        .Set("color", Json::String(ColorText(effect.dwColor)));
}

}  // namespace

ModelSettings CurrentModelSettings() {
    const CodecContext codec = CurrentCodecContext();
    const DeviceSection& section = CurrentDevice();
    ModelSettings shown;
    shown.liftOff = codec.showLod;
    shown.ripple = codec.showRipple;
    shown.angleSnap = codec.showFixLine;
    // A section's ShowMotionSync of 0 takes the general one.
    shown.motionSync =
        (section.ShowMotionSync != 0 ? section.ShowMotionSync : Options().ShowMotionSync) != 0;
    shown.debounce = codec.showDebounce;
    shown.sleep = section.ShowSleep != 0;
    shown.autoSleep = section.ShowAutoSleep != 0;
    shown.mainLighting = codec.showMainEffect;
    shown.logoLighting = codec.showLogoEffect;
    shown.dpiIndicator = codec.showDpiLed;
    shown.battery = shown.sleep || shown.autoSleep;
    return shown;
}

std::string ColorText(std::uint32_t color) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", color & 0xFFu, (color >> 8) & 0xFFu,
                  (color >> 16) & 0xFFu);
    return text;
}

std::vector<std::string> RecordLines(const RecordView& view) {
    const ProfileFile& r = *view.record;
    const ModelSettings& shown = view.shown;
    std::vector<std::string> lines;
    if (view.stored) lines.push_back("stored profile (the mouse was not read)");
    lines.push_back("profile: " + std::to_string(view.profileIndex + 1));
    lines.push_back("name: " + ProfileName(r));
    lines.push_back("key set: " + std::to_string(r.nKeySet + 1));
    for (int b = 0; b < Buttons(view); ++b) {
        lines.push_back("button " + std::to_string(b + 1) + ": " + Label(view, Button(view, b)));
    }
    for (int i = 0; i < Levels(view); ++i) {
        const DpiLevel& level = r.Dpi[i];
        lines.push_back("dpi " + std::to_string(i + 1) + ": " + std::to_string(level.dwDpi) +
                        " x " + std::to_string(level.dwDpiY) + ", colour " +
                        ColorText(level.dwColor));
    }
    lines.push_back("levels: " + std::to_string(r.nDpiLevels));
    lines.push_back("current level: " + (view.curDpiLevel < 0
                                             ? std::string("unknown")
                                             : std::to_string(view.curDpiLevel + 1)));
    const std::optional<int> hz = ReportRateHz(r.dwReportRate);
    lines.push_back("report rate: " + (hz ? std::to_string(*hz) : Hex(r.dwReportRate)));
    auto add = [&](bool show, const std::string& line) {
        if (show) lines.push_back(line);
    };
    add(shown.liftOff, "lift-off: " + std::to_string(r.nLOD));
    add(shown.ripple, std::string("ripple: ") + OnOff(r.nRipple));
    add(shown.angleSnap, std::string("angle snapping: ") + OnOff(r.nFixLine));
    add(shown.motionSync, std::string("motion sync: ") + OnOff(r.bMotionSync));
    lines.push_back("sensor mode: " + SensorModeText(r.nSensorMode));
    add(shown.debounce, "debounce: " + std::to_string(r.nDebounce) + " ms");
    add(shown.sleep, "sleep: " + std::to_string(r.nSleepTime) + " s");
    add(shown.autoSleep, "auto-sleep: " + std::to_string(r.nAutoSleep) + " x 10 s");
    lines.push_back(std::string("light off while moving: ") + OnOff(r.bLightOffOnMoving));
    add(shown.mainLighting, "main lighting: " + RgbText(r.stMainRGB));
    add(shown.logoLighting, "logo lighting: " + RgbText(r.stLogoRGB));
    add(shown.dpiIndicator, "dpi indicator: effect " + std::to_string(r.stDpiEffect.nMode) +
                                ", speed " + std::to_string(r.stDpiEffect.nSpeed) +
                                ", brightness " + std::to_string(r.stDpiEffect.nLight));
    return lines;
}

Json RecordJson(const RecordView& view) {
    const ProfileFile& r = *view.record;
    Json buttons = Json::Array();
    for (int b = 0; b < Buttons(view); ++b) {
        const KeyAssignment& key = Button(view, b);
        buttons.Push(Json::Object()
                         .Set("button", Json::Number(b + 1))
                         .Set("label", Json::String(Label(view, key)))
                         .Set("function", Json::String(Hex(key.dwFunID, 8))));
    }
    Json levels = Json::Array();
    for (int i = 0; i < Levels(view); ++i) {
        levels.Push(Json::Object()
                        .Set("level", Json::Number(i + 1))
                        .Set("x", Json::Number(r.Dpi[i].dwDpi))
                        .Set("y", Json::Number(r.Dpi[i].dwDpiY))
                        .Set("color", Json::String(ColorText(r.Dpi[i].dwColor))));
    }
    const ModelSettings& shown = view.shown;
    Json json = Json::Object();
    if (view.stored) json.Set("source", Json::String("stored"));
    json.Set("profile", Json::Number(view.profileIndex + 1))
        .Set("name", Json::String(ProfileName(r)))
        .Set("keySet", Json::Number(r.nKeySet + 1))
        .Set("buttons", buttons)
        .Set("dpiLevels", levels)
        .Set("levelCount", Json::Number(r.nDpiLevels))
        .Set("currentLevel",
             view.curDpiLevel < 0 ? Json::Number(0) : Json::Number(view.curDpiLevel + 1))
        .Set("reportRate", Json::Number(ReportRateHz(r.dwReportRate).value_or(0)));
    auto set = [&](bool show, std::string_view key, Json value) {
        if (show) json.Set(key, std::move(value));
    };
    set(shown.liftOff, "liftOff", Json::Number(r.nLOD));
    set(shown.ripple, "ripple", Json::Bool(r.nRipple != 0));
    set(shown.angleSnap, "angleSnap", Json::Bool(r.nFixLine != 0));
    set(shown.motionSync, "motionSync", Json::Bool(r.bMotionSync != 0));
    json.Set("sensorMode", Json::String(SensorModeText(r.nSensorMode)));
    set(shown.debounce, "debounceMs", Json::Number(r.nDebounce));
    set(shown.sleep, "sleepSeconds", Json::Number(r.nSleepTime));
    set(shown.autoSleep, "autoSleepTens", Json::Number(r.nAutoSleep));
    json.Set("lightOffMoving", Json::Bool(r.bLightOffOnMoving != 0));
    Json lighting = Json::Object();
    if (shown.mainLighting) lighting.Set("main", RgbJson(r.stMainRGB));
    if (shown.logoLighting) lighting.Set("logo", RgbJson(r.stLogoRGB));
    if (shown.dpiIndicator) {
        lighting.Set("dpi", Json::Object()
                                .Set("effect", Json::Number(r.stDpiEffect.nMode))
                                .Set("speed", Json::Number(r.stDpiEffect.nSpeed))
                                .Set("brightness", Json::Number(r.stDpiEffect.nLight)));
    }
    return json.Set("lighting", lighting);
}

}  // namespace vantor::cli
