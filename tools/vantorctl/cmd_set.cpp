// vantorctl set SETTING VALUE...: one setting of the current record, written into the mouse
// with the flag and index its page uses, and the record saved.
#include <algorithm>
#include <array>

#include "app/config/codec_context_config.h"
#include "app/config/config.h"
#include "app/store/profile_bounds.h"
#include "base/texts.h"
#include "keys/assignment.h"
#include "keys/key_functions.h"
#include "profile/codec_context.h"
#include "profile/report_rate.h"
#include "profile/set_flags.h"
#include "profile/setting_ranges.h"
#include "tools/vantorctl/button_function.h"
#include "tools/vantorctl/record_view.h"
#include "tools/vantorctl/session.h"

namespace vantor::cli {
namespace {

struct SetRequest {
    std::uint32_t flags = 0;
    int index = 0;
};

// What a setting's handler works with. The handler checks its values, changes the record
// and says what to write; a refused value leaves a one-line reason in `error`.
struct SetInput {
    const std::vector<std::string>& values;
    CliSession& session;
    ProfileFile& record;
    std::string* error;
};

using SetHandler = std::optional<SetRequest> (*)(const SetInput& in);

struct Setting {
    const char* name;
    const char* usage;
    std::size_t minValues;
    std::size_t maxValues;
    SetHandler handler;
    bool ModelSettings::*shownBy = nullptr;  // the model may hide the setting
};

std::optional<SetRequest> Refuse(const SetInput& in, const std::string& reason) {
    *in.error = reason;
    return std::nullopt;
}

// A whole number within [low, high]; nothing (and the reason) otherwise.
std::optional<int> NumberIn(const SetInput& in, const std::string& text, const char* what,
                            long long low, long long high) {
    const std::optional<long long> number = ParseNumber(text);
    if (!number || *number < low || *number > high) {
        *in.error = std::string(what) + " is a number from " + std::to_string(low) + " to " +
                    std::to_string(high);
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

int SectionLevels() {
    return std::clamp(CurrentDevice().DM, 1, kDpiLevels);
}

std::optional<SetRequest> SetOnOff(const SetInput& in, LeI32& field, std::uint32_t flag) {
    const std::optional<bool> on = ParseOnOff(in.values[0]);
    if (!on) return Refuse(in, "the value is on or off");
    field = *on ? 1 : 0;
    return SetRequest{flag, 0};
}

std::optional<SetRequest> SetDpi(const SetInput& in) {
    const auto level = NumberIn(in, in.values[0], "LEVEL", 1, SectionLevels());
    if (!level) return std::nullopt;
    const std::uint32_t sensor = static_cast<std::uint32_t>(CurrentDevice().Sensor);
    std::array<int, 2> dpi{};
    for (std::size_t axis = 0; axis < 2; ++axis) {
        const std::string& text = in.values[std::min(axis + 1, in.values.size() - 1)];
        const std::optional<long long> value = ParseNumber(text);
        if (!value || *value <= 0 || *value > 0xFFFF ||
            TheSensorTables().DpiStepIndex(sensor, static_cast<int>(*value)) < 0) {
            return Refuse(in, text + " is not a DPI step of this sensor (see sensor-steps " +
                                  Hex(sensor, 4) + ")");
        }
        dpi[axis] = static_cast<int>(*value);
    }
    DpiLevel& entry = in.record.Dpi[*level - 1];
    entry.dwDpi = static_cast<std::uint32_t>(dpi[0]);
    entry.dwDpiY = static_cast<std::uint32_t>(dpi[1]);
    if (dpi[0] != dpi[1]) in.record.bDpiXY = 1;
    return SetRequest{SET_DPI, *level - 1};
}

std::optional<SetRequest> SetLevels(const SetInput& in) {
    const auto count = NumberIn(in, in.values[0], "N", 1, SectionLevels());
    if (!count) return std::nullopt;
    in.record.nDpiLevels = *count;
    return SetRequest{SET_DPI_NUM, 0};
}

std::optional<SetRequest> SetLevelColor(const SetInput& in) {
    const auto level = NumberIn(in, in.values[0], "LEVEL", 1, SectionLevels());
    if (!level) return std::nullopt;
    const std::optional<std::uint32_t> color = ParseColor(in.values[1]);
    if (!color) return Refuse(in, "the colour is RRGGBB, e.g. ff8000");
    in.record.Dpi[*level - 1].dwColor = *color;
    return SetRequest{SET_DPI_COLOR, *level - 1};
}

std::optional<SetRequest> SetCurrentLevel(const SetInput& in) {
    const int levels = std::clamp(static_cast<int>(in.record.nDpiLevels), 1, kDpiLevels);
    const auto level = NumberIn(in, in.values[0], "N", 1, levels);
    if (!level) return std::nullopt;
    in.session.SetCurDpiLevel(*level - 1);
    return SetRequest{SET_CUR_DPI, 0};
}

std::optional<SetRequest> SetRate(const SetInput& in) {
    for (const ReportRate& rate : kReportRates) {
        if (in.values[0] == std::to_string(rate.hz)) {
            in.record.dwReportRate = rate.record;
            return SetRequest{SET_RATE, 0};
        }
    }
    return Refuse(in, "the report rate is 125, 250, 500 or 1000");
}

std::optional<SetRequest> SetLod(const SetInput& in) {
    const auto lod = NumberIn(in, in.values[0], "the lift-off distance",
                              kChosenLiftOffCodes.minimum, kChosenLiftOffCodes.maximum);
    if (!lod) return std::nullopt;
    in.record.nLOD = *lod;
    return SetRequest{SET_LOD, 0};
}

std::optional<SetRequest> SetRipple(const SetInput& in) {
    return SetOnOff(in, in.record.nRipple, SET_RIPPLE);
}

std::optional<SetRequest> SetAngleSnap(const SetInput& in) {
    return SetOnOff(in, in.record.nFixLine, SET_FIXLINE);
}

std::optional<SetRequest> SetMotionSync(const SetInput& in) {
    return SetOnOff(in, in.record.bMotionSync, SET_MOTIONSYNC);
}

std::optional<SetRequest> SetLightOffMoving(const SetInput& in) {
    return SetOnOff(in, in.record.bLightOffOnMoving, SET_LIGHTOFF);
}

std::optional<SetRequest> SetSensorMode(const SetInput& in) {
    if (in.values[0] != "hp" && in.values[0] != "lp") return Refuse(in, "the mode is hp or lp");
    in.record.nSensorMode = in.values[0] == "hp" ? 1 : 0;
    return SetRequest{SET_SENSORMODE, 0};
}

std::optional<SetRequest> SetDebounce(const SetInput& in) {
    const StepRange range = DebounceLimitsOf(Options().DebounceRange);
    const auto ms = NumberIn(in, in.values[0], "MS", range.minimum, range.maximum);
    if (!ms) return std::nullopt;
    in.record.nDebounce = *ms;
    return SetRequest{SET_DEBOUNCE, 0};
}

std::optional<SetRequest> SetSleep(const SetInput& in) {
    const DeviceSection& section = CurrentDevice();
    const int count =
        std::clamp(section.SleepValCount, 0, static_cast<int>(section.SleepVal.size()));
    const std::optional<long long> seconds = ParseNumber(in.values[0]);
    std::string choices;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t value = section.SleepVal[static_cast<std::size_t>(i)];
        if (seconds && *seconds == value) {
            in.record.nSleepTime = static_cast<std::int32_t>(value);
            return SetRequest{SET_SLEEP, 0};
        }
        choices += (i > 0 ? ", " : "") + std::to_string(value);
    }
    return Refuse(in, "SECONDS is one of " + choices);
}

std::optional<SetRequest> SetAutoSleep(const SetInput& in) {
    const std::optional<long long> tens = ParseNumber(in.values[0]);
    std::string choices;
    for (int step : kAutoSleepSteps) {
        if (tens && *tens == step) {
            in.record.nAutoSleep = step;
            return SetRequest{SET_AUTOSLEEP, 0};
        }
        choices += (choices.empty() ? "" : ", ") + std::to_string(step);
    }
    return Refuse(in, "TENS (tens of seconds) is one of " + choices);
}

// A lighting zone as the command names it; the record keeps effect numbers and 1-based steps
// within the zone's limits.
struct ZoneName {
    const char* name;
    int part;  // SET_LED index
    LightZone zone;
    bool hasColor;
};

constexpr ZoneName kLightZones[] = {
    {"main", kLedPartMain, LightZone::kMain, true},
    {"logo", kLedPartLogo, LightZone::kLogo, true},
    {"dpi", kLedPartDpiEffect, LightZone::kDpiIndicator, false},
};

bool ZoneShown(const ZoneName& zone) {
    const CodecContext context = CurrentCodecContext();
    if (zone.part == kLedPartMain) return context.showMainEffect;
    if (zone.part == kLedPartLogo) return context.showLogoEffect;
    return context.showDpiLed;
}

std::optional<SetRequest> SetLight(const SetInput& in) {
    const ZoneName* zone = nullptr;
    for (const ZoneName& candidate : kLightZones) {
        if (in.values[0] == candidate.name) zone = &candidate;
    }
    if (zone == nullptr) return Refuse(in, "the lighting zone is main, logo or dpi");
    if (!ZoneShown(*zone)) return Refuse(in, "this mouse has no " + in.values[0] + " lighting");
    const ZoneLimits limits = LimitsOf(zone->zone);
    const auto effect = NumberIn(in, in.values[1], "EFFECT", 0, limits.maxEffect);
    if (!effect) return std::nullopt;
    std::optional<int> speed;
    std::optional<int> light;
    std::optional<std::uint32_t> color;
    if (in.values.size() > 2 && !(speed = NumberIn(in, in.values[2], "SPEED", limits.speed.minimum,
                                                   limits.speed.maximum))) {
        return std::nullopt;
    }
    if (in.values.size() > 3 &&
        !(light = NumberIn(in, in.values[3], "BRIGHTNESS", limits.brightness.minimum,
                           limits.brightness.maximum))) {
        return std::nullopt;
    }
    if (in.values.size() > 4) {
        if (!zone->hasColor) return Refuse(in, "the DPI indicator has no colour of its own");
        if (!(color = ParseColor(in.values[4]))) return Refuse(in, "the colour is RRGGBB");
    }
    // Values not given keep what the record holds.
    auto store = [&](LeU32& mode, LeU32& nSpeed, LeU32& nLight) {
        mode = static_cast<std::uint32_t>(*effect);
        if (speed) nSpeed = static_cast<std::uint32_t>(*speed);
        if (light) nLight = static_cast<std::uint32_t>(*light);
    };
    ProfileFile& r = in.record;
    if (zone->part == kLedPartMain) {
        store(r.stMainRGB.nMode, r.stMainRGB.nSpeed, r.stMainRGB.nLight);
        if (color) r.stMainRGB.dwColor = *color;
    } else if (zone->part == kLedPartLogo) {
        store(r.stLogoRGB.nMode, r.stLogoRGB.nSpeed, r.stLogoRGB.nLight);
        if (color) r.stLogoRGB.dwColor = *color;
    } else {
        store(r.stDpiEffect.nMode, r.stDpiEffect.nSpeed, r.stDpiEffect.nLight);
    }
    return SetRequest{SET_LED, zone->part};
}

// The assignment windows of the button page, answered from the command line: only the
// refusal message is used.
class CommandLineAssignmentUi : public AssignmentUi {
  public:
    std::optional<std::uint32_t> PickMacro() override { return std::nullopt; }
    std::optional<std::array<std::uint8_t, 4>> CaptureKeys(const std::string&) override {
        return std::nullopt;
    }
    std::optional<FireSetting> EditFireKey(const FireSetting&) override { return std::nullopt; }
    void ShowMessage(const std::string& text) override { message = text; }
    std::string message;
};

std::optional<SetRequest> SetButton(const SetInput& in) {
    const DeviceSection& section = CurrentDevice();
    const int buttons = std::clamp(section.keyCount, 1, kKeysPerSet);
    const auto button = NumberIn(in, in.values[0], "N", 1, buttons);
    if (!button) return std::nullopt;
    const std::optional<KeyAssignment> record =
        ParseButtonFunction(in.values[1], static_cast<std::uint32_t>(section.Sensor),
                            in.session.Library().Macros(), in.error);
    if (!record) return std::nullopt;
    const ButtonLabelContext labels(in.session.Library().Macros());
    const int keySet = std::clamp(static_cast<int>(in.record.nKeySet), 0, kKeySets - 1);
    CommandLineAssignmentUi ui;
    if (!AssignKey(in.record.Key, keySet, *button - 1, *record, labels.Context(), ui)) {
        if (!ui.message.empty()) return Refuse(in, ui.message);
        return Refuse(in, "button " + in.values[0] + " was not changed");
    }
    return SetRequest{SET_KEY, *button - 1};
}

constexpr Setting kSettings[] = {
    {"dpi", "dpi LEVEL X [Y]", 2, 3, SetDpi},
    {"levels", "levels N", 1, 1, SetLevels},
    {"level-color", "level-color LEVEL RRGGBB", 2, 2, SetLevelColor},
    {"current-level", "current-level N", 1, 1, SetCurrentLevel},
    {"rate", "rate 125|250|500|1000", 1, 1, SetRate},
    {"lod", "lod 1|2", 1, 1, SetLod, &ModelSettings::liftOff},
    {"ripple", "ripple on|off", 1, 1, SetRipple, &ModelSettings::ripple},
    {"angle-snap", "angle-snap on|off", 1, 1, SetAngleSnap, &ModelSettings::angleSnap},
    {"motion-sync", "motion-sync on|off", 1, 1, SetMotionSync, &ModelSettings::motionSync},
    {"sensor-mode", "sensor-mode hp|lp", 1, 1, SetSensorMode},
    {"debounce", "debounce MS", 1, 1, SetDebounce, &ModelSettings::debounce},
    {"sleep", "sleep SECONDS", 1, 1, SetSleep, &ModelSettings::sleep},
    {"auto-sleep", "auto-sleep TENS", 1, 1, SetAutoSleep, &ModelSettings::autoSleep},
    {"light-off-moving", "light-off-moving on|off", 1, 1, SetLightOffMoving},
    {"light", "light main|logo|dpi EFFECT [SPEED] [BRIGHTNESS] [RRGGBB]", 2, 5, SetLight},
    {"button", "button N FUNCTION", 2, 2, SetButton},
};

void PrintSetHelp(const Context& context) {
    std::string text =
        "usage: vantorctl set SETTING VALUE...\n\nsettings (levels, buttons counted from 1):\n";
    for (const Setting& setting : kSettings) text += std::string("  ") + setting.usage + "\n";
    Print(context, text + "\n" + ButtonFunctionHelp());
}

}  // namespace

int RunSet(Context& context) {
    const std::vector<std::string>& args = context.args;
    if (args.empty()) return UsageError("usage: vantorctl set SETTING VALUE... (see set help)");
    if (args[0] == "help") {
        PrintSetHelp(context);
        return kExitOk;
    }
    const Setting* setting = nullptr;
    for (const Setting& candidate : kSettings) {
        if (args[0] == candidate.name) setting = &candidate;
    }
    if (setting == nullptr) return UsageError("unknown setting " + args[0] + " (see set help)");
    const std::vector<std::string> values(args.begin() + 1, args.end());
    if (values.size() < setting->minValues || values.size() > setting->maxValues) {
        return UsageError(std::string("usage: vantorctl set ") + setting->usage);
    }

    CliSession session(context);
    if (int result = ConnectOrClose(session); result != kExitOk) return result;
    std::string error;
    if (!session.EnsureRecord(&error)) return session.Close(Failure(error));
    // The matched model decides which settings it has.
    if (setting->shownBy != nullptr && !(CurrentModelSettings().*setting->shownBy)) {
        return session.Close(UsageError("this mouse has no " + args[0] + " setting"));
    }
    ProfileFile* record = session.Store().Current();
    ProfileFile changed = *record;
    const std::optional<SetRequest> request = setting->handler({values, session, changed, &error});
    if (!request) return session.Close(UsageError(error));
    // As the lighting page does, a lighting change first asks the mouse whether it can take
    // one now; a mouse that cannot keeps its lighting and the record stays as it was. When
    // the question itself fails, the write goes ahead and finds out.
    if ((request->flags & SET_LED) != 0) {
        int busy = 0;
        if (session.Driver().QueryApplyBusy(&busy) == 1 && busy == 1) {
            return session.Close(Failure(
                TextOr("tc_adv_str29",
                       "The mouse cannot change its lighting right now. Please try again later.")));
        }
    }
    const ProfileFile before = *record;
    *record = changed;
    return session.Close(
        session.ApplyAndSave(before, request->flags, request->index, "the setting"));
}

}  // namespace vantor::cli
