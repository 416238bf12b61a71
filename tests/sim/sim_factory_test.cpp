#include "sim/sim_factory.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/config/config.h"
#include "app/store/profile_defaults.h"
#include "profile/codec_context.h"
#include "profile/new_profile.h"
#include "profile/profile_writes.h"
#include "profile/set_flags.h"
#include "sim/sim_protocol.h"

namespace vantor {
namespace {

// Every part that lives in device memory: not the desktop's pointer settings, no reset.
constexpr std::uint32_t kDeviceParts = SET_KEY | SET_LED | SET_DPI | SET_CUR_DPI | SET_RATE |
                                       SET_DPI_COLOR | SET_DPI_NUM | SET_LOD | SET_FIXLINE |
                                       SET_RIPPLE | SET_DEBOUNCE | SET_MOTIONSYNC | SET_SLEEP |
                                       SET_LIGHTOFF | SET_SENSORMODE | SET_AUTOSLEEP;

// What the program's profile writer leaves in an empty memory when it writes every part of
// a new record of `section`, with the section's default DPI level active.
SimProfileImage ProgramImageOfNewRecord(const DeviceSection& section) {
    const ProfileFile record =
        NewProfileRecord(MakeProfileDefaults(section, Options(), section.keys), "", 1);
    CodecContext context;
    context.sensor = static_cast<std::uint32_t>(section.Sensor);
    context.dpiLevelCount = section.DM;
    context.keyMask = static_cast<std::uint32_t>(Options().KeyMask);
    for (std::size_t b = 0; b < kKeysPerSet; ++b) {
        context.defaultMatrixIndex[b] = section.keys[0][b].nMatrixIndex;
    }
    // The mouse holds every part, whatever the model shows.
    context.showDpi = context.showDpiLed = context.showMainEffect = context.showLogoEffect =
        context.showLod = context.showRipple = context.showFixLine = context.showDebounce = true;
    context.showSys = false;
    const ProfileWritePlan plan =
        BuildProfileWrites(record, kDeviceParts, kSetIndexAll, section.DEFLEVEL, context, nullptr);
    SimProfileImage image{};
    EXPECT_EQ(RunWritesOnMemory(plan, image, /*goWithNoDev=*/false), 1);
    return image;
}

class SimFactoryTest : public ::testing::TestWithParam<int> {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(DataInit(VANTOR_SOURCE_DATA_DIR "cfg.ini")); }
};

// The factory bytes are written out by hand; the program's writer, fed with the shipped
// configuration, must arrive at the same bytes, and the strict firmware must take every
// group of them.
TEST_P(SimFactoryTest, FactoryImageIsWhatTheProgramWritesForANewRecordOfTheSection) {
    const DeviceSection& section = DeviceSectionAt(GetParam());
    const SimProfileImage factory = SimFactoryImage(GetParam());
    EXPECT_EQ(ProgramImageOfNewRecord(section), factory);

    const SimModel model = SimModelOf(GetParam());
    EXPECT_EQ(model.cid, section.CID);
    EXPECT_EQ(model.mid, section.MID);
    EXPECT_EQ(model.sensor, section.Sensor);

    // Written again group by group into an empty memory, every group the factory filled
    // is accepted, and nothing else is in the image.
    SimProfileMemory memory(SimProfileImage{}, model.sensor);
    for (std::size_t a = 0; a < factory.size();) {
        const auto group = SimGroupAt(factory, a);
        if (!group) {
            ++a;
            continue;
        }
        const std::span<const std::uint8_t> bytes(&factory[group->start], group->length);
        if (std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b != 0; })) {
            EXPECT_EQ(memory.Write(group->start, bytes), kSimOk)
                << "group at 0x" << std::hex << group->start;
        }
        a = group->start + group->length;
    }
    EXPECT_EQ(memory.Bytes(), factory);
}

INSTANTIATE_TEST_SUITE_P(ShippedSections, SimFactoryTest, ::testing::Values(0, 1));

TEST(SimFactory, FirmwareTakesTheModelIdentityInEveryProfile) {
    const auto firmware = MakeSimFirmware(1);
    ASSERT_NE(firmware, nullptr);
    const SimFirmwareState state = firmware->State();
    EXPECT_EQ(state.cid, 0x01);
    EXPECT_EQ(state.mid, 0x02);
    EXPECT_EQ(state.activeProfile, 0);
    for (const auto& profile : state.profiles) EXPECT_EQ(profile, SimFactoryImage(1));

    EXPECT_EQ(MakeSimFirmware(2), nullptr);
    EXPECT_EQ(MakeSimFirmware(-1), nullptr);
    EXPECT_EQ(SimFactoryImage(2), SimProfileImage{});
}

}  // namespace
}  // namespace vantor
