// The simulated mice of the shipped cfg.ini connect as the real ones do: the wireless mouse
// through its receiver, where its sleep time and light-off switch can be set, the wired
// mouse on its cable, where they are locked.
#include "tools/common/simulated_mouse.h"

#include <gtest/gtest.h>

#include "app/config/config.h"
#include "tests/support/temp_dir.h"
#include "ui/pages/lighting/logic/lighting_rules.h"

namespace vantor {
namespace {

TEST(SimulatedMouseTest, TheShippedWirelessMouseCanSetItsSleepAndTheWiredOneCannot) {
    ASSERT_TRUE(DataInit(test::SourceDataDir() + "cfg.ini"));
    for (const std::uint32_t receiver : Options().PID2) {
        EXPECT_TRUE(SleepControlsEnabled(static_cast<std::uint16_t>(receiver), Options().PID))
            << std::hex << receiver;
    }
    struct Case {
        int section;
        bool sleepShown;
    };
    for (const Case c : {Case{1, true}, Case{2, false}}) {
        SCOPED_TRACE(c.section);
        EXPECT_EQ(DeviceSectionAt(c.section - 1).ShowSleep != 0, c.sleepShown);
        std::string error;
        SimulationError kind = SimulationError::kNone;
        std::optional<SimulatedMouse> mouse = StartSimulatedMouse(c.section, "", &error, &kind);
        ASSERT_TRUE(mouse) << error;
        const std::vector<HidInterfaceInfo> interfaces = mouse->backend->Enumerate();
        ASSERT_FALSE(interfaces.empty());
        for (const HidInterfaceInfo& info : interfaces) {
            EXPECT_EQ(SleepControlsEnabled(info.productId, Options().PID), c.sleepShown)
                << std::hex << info.productId;
        }
    }
}

}  // namespace
}  // namespace vantor
