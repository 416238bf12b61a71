// Whatever the pages or vantorctl leave in a profile is exported and imported back byte for
// byte, with the shipped configuration of both mouse models.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "app/config/config.h"
#include "app/store/profile_export.h"
#include "base/message_sink.h"
#include "base/texts.h"
#include "profile/setting_ranges.h"
#include "tests/keys/scripted_store_ui.h"
#include "tests/support/temp_dir.h"
#include "ui/pages/lighting/logic/lighting_rules.h"

namespace vantor {
namespace {

struct State {
    std::string name;
    std::function<void(ProfileFile&)> set;
};

// The lighting page: each effect of both boxes as choosing it leaves the record (main: the
// steps it loads, 0 for a step it lacks), then with the sliders at both ends.
void AddLightingPageStates(std::vector<State>& states) {
    const LightingSetup setup = CurrentLightingSetup();
    for (const EffectItem& item : MainEffectItems(setup.ledMask)) {
        const std::string effect = "main effect " + std::to_string(item.effect);
        states.push_back({effect + " chosen", [setup, item](ProfileFile& r) {
                              ChooseMainEffect(setup, item.effect, r.stMainRGB);
                          }});
        for (const bool top : {false, true}) {
            states.push_back({effect + (top ? " sliders up" : " sliders down"),
                              [setup, item, top](ProfileFile& r) {
                                  ChooseMainEffect(setup, item.effect, r.stMainRGB);
                                  ShownLighting shown =
                                      ShowZone(setup, LightZone::kMain, r.stMainRGB);
                                  const StepRange speed = SpeedRange(LightZone::kMain);
                                  const StepRange light =
                                      LightRange(LightZone::kMain, setup.lightParam);
                                  const EffectRule rule = MainEffectRule(setup, item.effect);
                                  if (rule.speed != 0) {
                                      shown.speed = top ? speed.maximum : speed.minimum;
                                  }
                                  if (rule.light != 0) {
                                      shown.light = top ? light.maximum : light.minimum;
                                  }
                                  shown.color = top ? kMaxColor : 0;
                                  StoreZone(shown, r.stMainRGB);
                              }});
        }
    }
    for (const EffectItem& item : LogoEffectItems()) {
        for (const std::uint32_t step : {0u, 1u, 5u}) {
            states.push_back(
                {"logo effect " + std::to_string(item.effect) + " steps " + std::to_string(step),
                 [setup, item, step](ProfileFile& r) {
                     r.stLogoRGB.nMode = item.effect;
                     r.stLogoRGB.nSpeed = step;
                     r.stLogoRGB.nLight = step;
                     ShownLighting shown = ShowZone(setup, LightZone::kLogo, r.stLogoRGB);
                     StoreZone(shown, r.stLogoRGB);
                 }});
        }
    }
}

// vantorctl set and the performance page: every zone's effects with the steps at both ends,
// and each single setting at its extremes.
void AddSettingStates(std::vector<State>& states) {
    struct Zone {
        LightZone zone;
        RgbEffect ProfileFile::*rgb;
    };
    for (const Zone zone : {Zone{LightZone::kMain, &ProfileFile::stMainRGB},
                            Zone{LightZone::kLogo, &ProfileFile::stLogoRGB}}) {
        const ZoneLimits limits = LimitsOf(zone.zone);
        for (std::uint32_t effect = 0; effect <= limits.maxEffect; ++effect) {
            for (const bool top : {false, true}) {
                states.push_back(
                    {"set light " + std::to_string(int(zone.zone)) + " effect " +
                         std::to_string(effect) + (top ? " top" : " bottom"),
                     [zone, limits, effect, top](ProfileFile& r) {
                         RgbEffect& rgb = r.*zone.rgb;
                         rgb.nMode = effect;
                         rgb.nSpeed = static_cast<std::uint32_t>(top ? limits.speed.maximum
                                                                     : limits.speed.minimum);
                         rgb.nLight = static_cast<std::uint32_t>(top ? limits.brightness.maximum
                                                                     : limits.brightness.minimum);
                         rgb.dwColor = top ? kMaxColor : 0;
                     }});
            }
        }
    }
    const ZoneLimits dpi = LimitsOf(LightZone::kDpiIndicator);
    for (std::uint32_t effect = 0; effect <= dpi.maxEffect; ++effect) {
        for (const bool top : {false, true}) {
            states.push_back({"DPI indicator effect " + std::to_string(effect),
                              [dpi, effect, top](ProfileFile& r) {
                                  r.stDpiEffect.nMode = effect;
                                  r.stDpiEffect.nSpeed = static_cast<std::uint32_t>(
                                      top ? dpi.speed.maximum : dpi.speed.minimum);
                                  r.stDpiEffect.nLight = static_cast<std::uint32_t>(
                                      top ? dpi.brightness.maximum : dpi.brightness.minimum);
                              }});
        }
    }
    const StepRange debounce = DebounceLimitsOf(Options().DebounceRange);
    const DeviceSection& section = CurrentDevice();
    const auto firstSleep = static_cast<std::int32_t>(section.SleepVal[0]);
    const auto lastSleep = static_cast<std::int32_t>(section.SleepVal[static_cast<std::size_t>(
        std::clamp(section.SleepValCount, 1, static_cast<int>(section.SleepVal.size())) - 1)]);
    const std::pair<const char*, std::function<void(ProfileFile&)>> singles[] = {
        {"debounce low", [=](ProfileFile& r) { r.nDebounce = debounce.minimum; }},
        {"debounce high", [=](ProfileFile& r) { r.nDebounce = debounce.maximum; }},
        {"lift-off 1", [](ProfileFile& r) { r.nLOD = kChosenLiftOffCodes.minimum; }},
        {"lift-off 2", [](ProfileFile& r) { r.nLOD = kChosenLiftOffCodes.maximum; }},
        {"auto-sleep first", [](ProfileFile& r) { r.nAutoSleep = kAutoSleepSteps.front(); }},
        {"auto-sleep last", [](ProfileFile& r) { r.nAutoSleep = kAutoSleepSteps.back(); }},
        {"sleep first", [=](ProfileFile& r) { r.nSleepTime = firstSleep; }},
        {"sleep last", [=](ProfileFile& r) { r.nSleepTime = lastSleep; }},
        {"switches on",
         [](ProfileFile& r) {
             r.nRipple = r.nFixLine = r.bLightOffOnMoving = r.bMotionSync = r.nSensorMode = 1;
         }},
        {"switches off",
         [](ProfileFile& r) {
             r.nRipple = r.nFixLine = r.bLightOffOnMoving = r.bMotionSync = r.nSensorMode = 0;
         }},
        {"pointer low",
         [](ProfileFile& r) {
             r.stSys.nWheelLines = kWheelLines.minimum;
             r.stSys.nDoubleClickTime = kDoubleClickMs.minimum;
             r.stSys.nMouseSpeed = kPointerSpeeds.minimum;
             r.stSys.nMouseTrails = kPointerTrails.minimum;
         }},
        {"pointer one screen per notch",
         [](ProfileFile& r) { r.stSys.nWheelLines = kWheelOneScreen; }},
        {"pointer high",
         [](ProfileFile& r) {
             r.stSys.nWheelLines = kWheelLines.maximum;
             r.stSys.nDoubleClickTime = kDoubleClickMs.maximum;
             r.stSys.nMouseSpeed = kPointerSpeeds.maximum;
             r.stSys.nMouseTrails = kPointerTrails.maximum;
         }},
    };
    for (const auto& [name, set] : singles) states.push_back({name, set});
}

class ProfileRoundTripTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        SetMessageSink(&sink_);
        ASSERT_TRUE(DataInit(test::SourceDataDir() + "cfg.ini"));
        LoadTexts(test::SourceDataDir() + "text.xml");
        SelectDeviceSection(GetParam());
        store_.LoadPro();  // false: no profile file yet, new records are made
        ASSERT_NE(store_.Current(), nullptr);
    }
    void TearDown() override { SetMessageSink(nullptr); }

    test::TempDir data_;
    RecordingMessageSink sink_;
    ProfileStore store_{data_.path()};
    MacroLibrary library_{data_ / "Mac", 0};
    test::ScriptedStoreUi ui_;
};

TEST_P(ProfileRoundTripTest, EveryStateThePagesOrVantorctlLeaveImportsBackByteForByte) {
    std::vector<State> states;
    AddLightingPageStates(states);
    AddSettingStates(states);
    const ProfileFile start = *store_.Current();
    for (const State& state : states) {
        SCOPED_TRACE(state.name);
        ProfileFile record = start;
        state.set(record);
        *store_.Current() = record;
        const std::vector<std::uint8_t> image = BuildExportImage(record, library_.Macros());
        *store_.Current() = start;
        ui_.messages.clear();
        const ImportOutcome outcome =
            ImportProfileImage(image, store_, library_, CurrentDevice().DM, ui_);
        ASSERT_TRUE(outcome.imported) << outcome.problem;
        EXPECT_EQ(std::memcmp(store_.Current(), &record, sizeof(ProfileFile)), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(BothShippedModels, ProfileRoundTripTest, ::testing::Values(0, 1));

}  // namespace
}  // namespace vantor
