#include "tools/vantorctl/record_view.h"

#include <algorithm>
#include <cstdio>

#include "app/config.h"
#include "profile/report_rate.h"

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

ButtonLabelContext::ButtonLabelContext(const MacroList& macros) {
    const KeyLayers& layers = DefaultKeyMatrix();
    for (int s = 0; s < kKeySets; ++s) {
        for (int b = 0; b < kKeysPerSet; ++b) {
            defaults_[s][b] = layers[static_cast<std::size_t>(s)][static_cast<std::size_t>(b)];
        }
    }
    const AppOptions& options = Options();
    const DeviceSection& section = CurrentDevice();
    context_.comboName1 = static_cast<std::uint32_t>(options.ComboName[0]);
    context_.comboName2 = static_cast<std::uint32_t>(options.ComboName[1]);
    for (std::size_t i = 0; i < context_.exKeys.size(); ++i) {
        context_.exKeys[i] = static_cast<std::uint32_t>(section.ExKey[i]);
    }
    context_.sensorId = static_cast<std::uint32_t>(section.Sensor);
    context_.defaultKeys = &defaults_;
    context_.macros = &macros;
}

std::string ColorText(std::uint32_t color) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", color & 0xFFu, (color >> 8) & 0xFFu,
                  (color >> 16) & 0xFFu);
    return text;
}

std::vector<std::string> RecordLines(const RecordView& view) {
    const ProfileFile& r = *view.record;
    std::vector<std::string> lines;
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
    lines.push_back("lift-off: " + std::to_string(r.nLOD));
    lines.push_back(std::string("ripple: ") + OnOff(r.nRipple));
    lines.push_back(std::string("angle snapping: ") + OnOff(r.nFixLine));
    lines.push_back(std::string("motion sync: ") + OnOff(r.bMotionSync));
    lines.push_back("sensor mode: " + SensorModeText(r.nSensorMode));
    lines.push_back("debounce: " + std::to_string(r.nDebounce) + " ms");
    lines.push_back("sleep: " + std::to_string(r.nSleepTime) + " s");
    lines.push_back("auto-sleep: " + std::to_string(r.nAutoSleep) + " x 10 s");
    lines.push_back(std::string("light off while moving: ") + OnOff(r.bLightOffOnMoving));
    lines.push_back("main lighting: " + RgbText(r.stMainRGB));
    lines.push_back("logo lighting: " + RgbText(r.stLogoRGB));
    lines.push_back("dpi indicator: effect " + std::to_string(r.stDpiEffect.nMode) + ", speed " +
                    std::to_string(r.stDpiEffect.nSpeed) + ", brightness " +
                    std::to_string(r.stDpiEffect.nLight));
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
    const Json dpiIndicator = Json::Object()
                                  .Set("effect", Json::Number(r.stDpiEffect.nMode))
                                  .Set("speed", Json::Number(r.stDpiEffect.nSpeed))
                                  .Set("brightness", Json::Number(r.stDpiEffect.nLight));
    return Json::Object()
        .Set("profile", Json::Number(view.profileIndex + 1))
        .Set("name", Json::String(ProfileName(r)))
        .Set("keySet", Json::Number(r.nKeySet + 1))
        .Set("buttons", buttons)
        .Set("dpiLevels", levels)
        .Set("levelCount", Json::Number(r.nDpiLevels))
        .Set("currentLevel",
             view.curDpiLevel < 0 ? Json::Number(0) : Json::Number(view.curDpiLevel + 1))
        .Set("reportRate", Json::Number(ReportRateHz(r.dwReportRate).value_or(0)))
        .Set("liftOff", Json::Number(r.nLOD))
        .Set("ripple", Json::Bool(r.nRipple != 0))
        .Set("angleSnap", Json::Bool(r.nFixLine != 0))
        .Set("motionSync", Json::Bool(r.bMotionSync != 0))
        .Set("sensorMode", Json::String(SensorModeText(r.nSensorMode)))
        .Set("debounceMs", Json::Number(r.nDebounce))
        .Set("sleepSeconds", Json::Number(r.nSleepTime))
        .Set("autoSleepTens", Json::Number(r.nAutoSleep))
        .Set("lightOffMoving", Json::Bool(r.bLightOffOnMoving != 0))
        .Set("lighting", Json::Object()
                             .Set("main", RgbJson(r.stMainRGB))
                             .Set("logo", RgbJson(r.stLogoRGB))
                             .Set("dpi", dpiIndicator));
}

}  // namespace vantor::cli
