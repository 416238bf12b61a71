// The pointer settings of a profile reach the desktop through the transfer settings every
// program uses, and a desktop that refuses them fails the write: on a temporary KDE Plasma
// configuration folder and on GSettings' memory store.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/config/config.h"
#include "app/session/transfer_settings.h"
#include "device/profile_transfer.h"
#include "platform/pointer_backend.h"
#include "profile/set_flags.h"
#include "tests/device/fake_hid.h"
#include "tests/device/sim_link.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

class PointerSettingsApplyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(DataInit(test::SourceDataDir() + "cfg.ini"));
        record_.dwProfileID = 7;
        record_.stSys.nDoubleClickTime = 700;
        record_.stSys.nWheelLines = 7;
        record_.stSys.nMouseSpeed = 15;
        record_.stSys.bEnhancePrecision = 0;
    }

    // What the apply worker runs for the older performance page's pointer section, a profile
    // switch or an import: a write with the pointer flag.
    int WritePointerSettings() {
        ProfileTransferSettings settings = CurrentTransferSettings(nullptr);
        settings.sleeper = &pauses_;
        return SetProfile(nullptr, &link_.driver, &record_, 0, SET_SYS, 0, 0, settings);
    }

    ProfileFile record_{};
    test::SimLink link_;
    test::CountingSleeper pauses_;
    test::TempDir config_;
};

TEST_F(PointerSettingsApplyTest, PlasmaFilesTakeTheProfilesValuesAndARefusalFailsTheWrite) {
    const test::ScopedEnv desktop("XDG_CURRENT_DESKTOP", "KDE");
    const test::ScopedEnv home("XDG_CONFIG_HOME", config_.path());
    ASSERT_EQ(WritePointerSettings(), 1);
    const std::string globals = test::ReadText(config_ / "kdeglobals");
    EXPECT_NE(globals.find("DoubleClickInterval=700"), std::string::npos) << globals;
    EXPECT_NE(globals.find("WheelScrollLines=7"), std::string::npos) << globals;
    const std::string input = test::ReadText(config_ / "kcminputrc");
    EXPECT_NE(input.find("XLbInptAccelProfileFlat=true"), std::string::npos) << input;

    // A folder where kdeglobals should be: the desktop cannot take the change.
    record_.stSys.nDoubleClickTime = 800;
    std::filesystem::remove(config_ / "kdeglobals");
    std::filesystem::create_directory(config_ / "kdeglobals");
    EXPECT_EQ(WritePointerSettings(), 0);
}

TEST_F(PointerSettingsApplyTest, GSettingsTakesTheProfilesValues) {
    const test::ScopedEnv desktop("XDG_CURRENT_DESKTOP", "GNOME");
    const test::ScopedEnv backend("GSETTINGS_BACKEND", "memory");
    std::unique_ptr<PointerBackend> probe = MakeGSettingsPointerBackend();
    if (!probe) GTEST_SKIP() << "the GNOME mouse settings schema is not installed";
    ASSERT_EQ(WritePointerSettings(), 1);
    // Applying the same values again finds them in the store and writes nothing.
    EXPECT_TRUE(probe->Apply(PointerSettingsOf(record_.stSys)).empty());
}

}  // namespace
}  // namespace vantor
