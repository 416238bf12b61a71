// Every control of the performance page, changed through the page's rules and written by
// SetProfile with the write the page asks for, leaves the simulated mouse's memory exactly
// as the matching `vantorctl set` does.
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/config/codec_context_config.h"
#include "app/config/config.h"
#include "device/profile_transfer.h"
#include "profile/sensor_tables.h"
#include "sim/sim_state.h"
#include "tests/device/sim_link.h"
#include "tests/support/temp_dir.h"
#include "ui/pages/performance/logic/performance_rules.h"

namespace vantor {
namespace {

struct PageSession {
    PerformanceEditor& editor;
    int& curDpiLevel;
    std::vector<int> stops;
};

// One or more page actions; each returns the write the page asks for.
using PageActions = std::function<std::vector<std::optional<PerfRequest>>(PageSession&)>;

struct BytesCase {
    const char* ctlArgs;  // vantorctl set ...
    PageActions actions;
};

std::vector<std::optional<PerfRequest>> One(std::optional<PerfRequest> request) {
    return {request};
}

const std::vector<BytesCase> kCases = {
    {"dpi 2 1600", [](PageSession& p) { return One(p.editor.SetLevelDpi(1, 0, 1600)); }},
    {"dpi 3 800 1600",
     [](PageSession& p) {
         return std::vector{std::optional(p.editor.SetSeparateXY(true)),
                            p.editor.SetLevelDpi(2, 0, 800), p.editor.SetLevelDpi(2, 1, 1600)};
     }},
    // Typed values take the nearest step; a tie takes the lower one.
    {"dpi 2 1250", [](PageSession& p) { return One(p.editor.TypeLevelDpi(1, 0, 1234, p.stops)); }},
    {"dpi 2 1200", [](PageSession& p) { return One(p.editor.TypeLevelDpi(1, 0, 1225, p.stops)); }},
    {"levels 4",
     [](PageSession& p) { return One(p.editor.SetLevelCount(4, CurrentDevice().DM, false)); }},
    {"levels 1",
     [](PageSession& p) { return One(p.editor.SetLevelCount(1, CurrentDevice().DM, false)); }},
    {"level-color 2 ff8000",
     [](PageSession& p) { return One(p.editor.SetLevelColor(1, 0x0080FF)); }},
    {"current-level 3",
     [](PageSession& p) {
         p.curDpiLevel = 2;
         return One(p.editor.ChooseCurrentLevel(2));
     }},
    {"rate 125", [](PageSession& p) { return One(p.editor.SetRateButton(0)); }},
    {"rate 250", [](PageSession& p) { return One(p.editor.SetRateButton(1)); }},
    {"rate 500", [](PageSession& p) { return One(p.editor.SetRateButton(2)); }},
    {"rate 1000", [](PageSession& p) { return One(p.editor.SetRateButton(3)); }},
    {"lod 2", [](PageSession& p) { return One(p.editor.SetLiftOff(2)); }},
    {"lod 1", [](PageSession& p) { return One(p.editor.SetLiftOff(1)); }},
    {"ripple on", [](PageSession& p) { return One(p.editor.SetRipple(true)); }},
    {"ripple off", [](PageSession& p) { return One(p.editor.SetRipple(false)); }},
    {"angle-snap on", [](PageSession& p) { return One(p.editor.SetAngleSnapping(true)); }},
    {"motion-sync off", [](PageSession& p) { return One(p.editor.SetMotionSync(false)); }},
    {"motion-sync on", [](PageSession& p) { return One(p.editor.SetMotionSync(true)); }},
    {"sensor-mode lp", [](PageSession& p) { return One(p.editor.SetSensorMode(false)); }},
    {"sensor-mode hp", [](PageSession& p) { return One(p.editor.SetSensorMode(true)); }},
    {"light dpi 0", [](PageSession& p) { return One(p.editor.SetDpiEffect(0)); }},
    {"light dpi 2 3 7",
     [](PageSession& p) {
         return std::vector{p.editor.SetDpiEffect(2), p.editor.SetDpiSpeed(3),
                            p.editor.SetDpiLight(7)};
     }},
};

class PerformancePageBytesTest : public ::testing::TestWithParam<BytesCase> {
  protected:
    void SetUp() override { test::LoadShippedConfig(); }

    // Profile memory of the simulated mouse after `vantorctl set <args>` on a new mouse.
    std::vector<std::uint8_t> CtlMemory(const std::string& args) {
        const std::string state = dir_ / "state.bin";
        const std::string line = std::string("env -u VANTOR_SIMULATE ") + VANTORCTL_PATH +
                                 " --data-dir " + std::string(dir_ / "data") +
                                 " --simulate --sim-state " + state + " set " + args +
                                 " >/dev/null 2>" + std::string(dir_ / "err");
        const int status = std::system(line.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << args << ": " << test::ReadText(dir_ / "err");
        const std::optional<SimFirmwareState> parsed = ParseSimState(test::ReadBytes(state));
        if (!parsed) {
            ADD_FAILURE() << "no state file";
            return {};
        }
        const SimProfileImage& image = parsed->profiles[parsed->activeProfile];
        return {image.begin(), image.end()};
    }

    test::TempDir dir_;
};

TEST_P(PerformancePageBytesTest, LeavesTheBytesOfVantorctlSet) {
    const BytesCase& c = GetParam();
    const std::vector<std::uint8_t> expected = CtlMemory(c.ctlArgs);

    test::SimLink link;
    ProfileTransferSettings settings;
    settings.context = CurrentCodecContext();
    settings.sleeper = &link.sleeper;
    ProfileFile record{};
    int curDpiLevel = -1;
    MacroNameTable names{};
    ASSERT_EQ(GetProfile(&link.driver, {}, settings, {&record, &curDpiLevel, &names}), 1);
    record.dwMagic = kProfileMagic;
    record.dwProfileID = 0x123456;  // SetProfile writes only records with an identity

    PerformanceEditor editor;
    editor.Load(record);
    PageSession page{
        editor, curDpiLevel,
        DpiStops(TheSensorTables().Steps(static_cast<std::uint32_t>(CurrentDevice().Sensor)))};
    // The shipped first model has no sensor-mode buttons; store as a model that has them.
    PerformanceShown shown = ShownForDevice(CurrentDevice(), false);
    shown.sensorMode = true;
    for (const std::optional<PerfRequest>& request : c.actions(page)) {
        ASSERT_TRUE(request.has_value()) << c.ctlArgs;
        StorePerformanceValues(editor.Values(), shown, record);
        ASSERT_EQ(SetProfile(nullptr, &link.driver, &record, 0, request->flags, request->index,
                             curDpiLevel, settings),
                  1);
    }
    const SimProfileImage actual = link.firmware->Memory(link.firmware->State().activeProfile);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        ASSERT_EQ(actual[i], expected[i]) << c.ctlArgs << ": address 0x" << std::hex << i;
    }
}

// "dpi 3 800 1600" -> "dpi_3_800_1600".
std::string CaseName(const ::testing::TestParamInfo<BytesCase>& param) {
    std::string name = param.param.ctlArgs;
    for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryControl, PerformancePageBytesTest, ::testing::ValuesIn(kCases),
                         CaseName);

}  // namespace
}  // namespace vantor
