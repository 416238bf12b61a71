#include "device/profile_transfer.h"
#include "app/config/codec_context_config.h"

#include <gtest/gtest.h>

#include <vector>

#include "profile/set_flags.h"
#include "tests/device/fake_hid.h"
#include "tests/device/sim_link.h"

namespace vantor {
namespace {

using test::CountingSleeper;
using test::LogCapture;
using test::MemoryMacroLibrary;
using test::RecordingPoster;
using test::SimLink;

constexpr std::uint32_t kAllDeviceParts = SET_KEY | SET_LED | SET_DPI | SET_CUR_DPI | SET_RATE |
                                          SET_DPI_COLOR | SET_DPI_NUM | SET_LOD | SET_FIXLINE |
                                          SET_RIPPLE | SET_DEBOUNCE | SET_MOTIONSYNC | SET_SLEEP |
                                          SET_LIGHTOFF | SET_SENSORMODE | SET_AUTOSLEEP;
constexpr std::uint32_t kProgress = 0x42B;
constexpr int kEmptyProfileReads = 19 + 32 + 16;

class ProfileTransferTest : public ::testing::Test {
  protected:
    void SetUp() override { test::LoadShippedConfig(); }

    ProfileTransferSettings Settings() {
        ProfileTransferSettings s;
        s.context = CurrentCodecContext();
        s.macros = &library;
        s.sleeper = &pauses;
        return s;
    }

    // Reads the mouse's active profile; the result of GetProfile.
    int Read(ProfileFile& record, const ProfileTransferSettings& settings,
             const std::function<bool()>& stop = {}) {
        return GetProfile(&link->driver, stop, settings, {&record, &curDpiLevel, &names},
                          {[](std::string_view, std::string_view) {}, {}});
    }

    // The first button of the default key set that sits in the key matrix from `from` on.
    static int MatrixKey(const ProfileFile& record, int from) {
        for (int b = from; b < kKeysPerSet; ++b) {
            if (record.Key[0][b].nMatrixIndex != 0u) return b;
        }
        return -1;
    }

    std::unique_ptr<SimLink> link = std::make_unique<SimLink>();
    MemoryMacroLibrary library;
    CountingSleeper pauses;
    int curDpiLevel = -1;
    MacroNameTable names{};
};

TEST_F(ProfileTransferTest, ReadingAnEmptyProfileCostsOneCommandPerAreaWithItsPauses) {
    ProfileFile record{};
    ASSERT_EQ(Read(record, Settings()), 1);
    // Empty macro names stop after their first chunk, and no key plays a macro.
    EXPECT_EQ(link->backend.CommandCount(), static_cast<std::uint64_t>(kEmptyProfileReads));
    std::vector<std::uint32_t> expected(19, 10);
    expected.push_back(20);
    expected.insert(expected.end(), 16, 10);
    EXPECT_EQ(pauses.Sleeps(), expected);
    EXPECT_EQ(curDpiLevel, link->firmware->Memory(0)[0x0004]);
}

TEST_F(ProfileTransferTest, WrittenRecordReadsBackAndProgressIsPosted) {
    ProfileFile record{};
    ASSERT_EQ(Read(record, Settings()), 1);
    record.dwProfileID = 0x123456;
    record.dwReportRate = 0x250;
    record.Dpi[1].dwDpi = 3200;
    record.Dpi[1].dwDpiY = 3200;
    record.Dpi[2].dwColor = 0x00FF8040;
    record.nSleepTime = 120;
    record.nDebounce = 4;
    const int b = MatrixKey(record, 2);
    ASSERT_GE(b, 0);
    const std::uint32_t matrixIndex = record.Key[0][b].nMatrixIndex;
    record.Key[0][b] = KeyAssignment{};
    record.Key[0][b].dwFunID = 0x080000A4;  // fire key
    record.Key[0][b].dwParameter = 0x0A03;
    record.Key[0][b].nMatrixIndex = matrixIndex;

    RecordingPoster window;
    ASSERT_EQ(
        SetProfile(&window, &link->driver, &record, kProgress, kAllDeviceParts, 255, 3, Settings()),
        1);
    std::vector<RecordingPoster::Message> expected;
    for (int position : {20, 60, 70, 80, 90, 100}) {
        expected.push_back({kProgress, static_cast<std::uintptr_t>(position), 0});
    }
    EXPECT_EQ(window.Messages(), expected);

    // The bytes the mouse holds, written out by hand: an address or encoding mistake that
    // the writer and the reader share would still read back unchanged.
    struct Held {
        std::size_t address;
        std::vector<std::uint8_t> bytes;
    };
    const Held held[] = {
        {0x0000, {0x04, 0x51}},              // 250 reports per second
        {0x0004, {0x03, 0x52}},              // level 3 active
        {0x0010, {0x3F, 0x3F, 0x00, 0xD7}},  // level 1: 3200 DPI, code 63
        {0x0034, {0x40, 0x80, 0xFF, 0x96}},  // level 2 colour
        {0x0068, {0x04, 0x0A, 0x03, 0x44}},  // fire key, 3 shots at 10, matrix entry 2
        {0x00A9, {0x04, 0x51}},              // debounce 4
        {0x00AD, {0x0C, 0x49}},              // sleep 120 s in tenths
    };
    const SimProfileImage memory = link->firmware->Memory(0);
    for (const Held& h : held) {
        EXPECT_EQ(std::vector<std::uint8_t>(
                      memory.begin() + static_cast<std::ptrdiff_t>(h.address),
                      memory.begin() + static_cast<std::ptrdiff_t>(h.address + h.bytes.size())),
                  h.bytes)
            << "at 0x" << std::hex << h.address;
    }

    ProfileFile back{};
    ASSERT_EQ(Read(back, Settings()), 1);
    EXPECT_EQ(back.dwReportRate, 0x250u);
    EXPECT_EQ(back.Dpi[1].dwDpi, 3200u);
    EXPECT_EQ(back.Dpi[2].dwColor, 0x00FF8040u);
    EXPECT_EQ(back.nSleepTime, 120);
    EXPECT_EQ(back.nDebounce, 4);
    EXPECT_EQ(back.Key[0][b].dwFunID, 0x080000A4u);
    EXPECT_EQ(back.Key[0][b].dwParameter, 0x0A03u);
    EXPECT_EQ(curDpiLevel, 3);
}

TEST_F(ProfileTransferTest, MacroKeyIsWrittenIntoItsSlotAndReadIntoTheLibrary) {
    ProfileFile record{};
    ASSERT_EQ(Read(record, Settings()), 1);
    record.dwProfileID = 0x42;
    MacroRecord macro = NewMacro("Mac1");
    macro.stEvents[0] = MacroEvent{0x41, kMacroKindPress, 30};
    macro.stEvents[1] = MacroEvent{0x41, kMacroKindRelease, 30};
    library.macros.push_back(macro);
    const int b = MatrixKey(record, 2);
    ASSERT_GE(b, 0);
    record.Key[0][b].dwFunID = 0x05000000;
    record.Key[0][b].dwMacroID = macro.dwMacroID;
    ASSERT_EQ(SetProfile(nullptr, &link->driver, &record, kProgress, SET_KEY, b, 0, Settings()), 1);

    // A library without the macro gets it from the device, with the key pointing at it.
    library.macros.clear();
    const std::uint64_t before = link->backend.CommandCount();
    ProfileFile back{};
    ASSERT_EQ(Read(back, Settings()), 1);
    EXPECT_GT(link->backend.CommandCount() - before,
              static_cast<std::uint64_t>(kEmptyProfileReads + 1));  // name and events too
    ASSERT_EQ(library.macros.size(), 1u);
    EXPECT_EQ(MacroName(library.macros[0]), "Mac1");
    EXPECT_EQ(MacroEventCount(library.macros[0]), 2);
    EXPECT_EQ(back.Key[0][b].dwFunID, 0x05000000u);
    EXPECT_EQ(back.Key[0][b].dwMacroID, library.macros[0].dwMacroID);
    EXPECT_EQ(pauses.Sleeps().back(), kMacroDataSleepMs);
}

TEST_F(ProfileTransferTest, StopRequestEndsReadingAfterTheReadInProgress) {
    int reads = 0;
    ProfileFile record{};
    EXPECT_EQ(Read(record, Settings(), [&] { return ++reads == 5; }), 0);
    EXPECT_EQ(link->backend.CommandCount(), 5u);
}

TEST_F(ProfileTransferTest, FailedReadFailsUnlessGoWithNoDev) {
    for (bool goWithNoDev : {false, true}) {
        SCOPED_TRACE(goWithNoDev);
        link = std::make_unique<SimLink>();
        SimFaults faults;
        faults.unplugAfterCommands = kSettingsAreaReads;  // settings area only
        link->backend.SetFaults(faults);
        ProfileTransferSettings settings = Settings();
        settings.goWithNoDev = goWithNoDev;
        ProfileFile record{};
        EXPECT_EQ(Read(record, settings), goWithNoDev ? 1 : 0);
        EXPECT_EQ(record.dwReportRate, goWithNoDev ? 0x1000u : 0u);
    }
}

TEST_F(ProfileTransferTest, SetProfileRefusesWithoutDriverRecordIdentityOrDevice) {
    ProfileFile record{};
    record.dwProfileID = 7;
    ProfileFile noId{};
    CUSBDriver closed(3, link->queue, link->sleeper);
    RecordingPoster window;
    struct Case {
        CUSBDriver* driver;
        const ProfileFile* record;
    };
    for (const Case& c : {Case{nullptr, &record}, Case{&link->driver, nullptr},
                          Case{&link->driver, &noId}, Case{&closed, &record}}) {
        EXPECT_EQ(
            SetProfile(&window, c.driver, c.record, kProgress, kAllDeviceParts, 255, 0, Settings()),
            0);
    }
    EXPECT_EQ(link->backend.CommandCount(), 0u);
    EXPECT_TRUE(window.Messages().empty());
}

TEST_F(ProfileTransferTest, WithoutValidWindowNothingIsPostedAndTheFinalPauseIsSkipped) {
    LogCapture log;
    ProfileFile record{};
    record.dwProfileID = 7;
    record.nLOD = 2;
    RecordingPoster window;
    window.valid = false;
    ASSERT_EQ(SetProfile(&window, &link->driver, &record, kProgress, SET_LOD, 0, 0, Settings()), 1);
    EXPECT_TRUE(window.Messages().empty());
    EXPECT_EQ(log.Count("hWnd is invalidate"), 1);
    EXPECT_EQ(pauses.Sleeps(), std::vector<std::uint32_t>{10});  // the setting's own pause
    EXPECT_EQ(link->firmware->Memory(0)[0x000A], 2);
}

TEST_F(ProfileTransferTest, WriteFailureEndsTheSequenceUnlessGoWithNoDev) {
    ProfileFile record{};
    ASSERT_EQ(Read(record, Settings()), 1);
    record.dwProfileID = 7;
    for (bool goWithNoDev : {false, true}) {
        SCOPED_TRACE(goWithNoDev);
        link = std::make_unique<SimLink>();
        SimFaults faults;
        faults.unplugAfterCommands = 3;
        link->backend.SetFaults(faults);
        ProfileTransferSettings settings = Settings();
        settings.goWithNoDev = goWithNoDev;
        RecordingPoster window;
        EXPECT_EQ(SetProfile(&window, &link->driver, &record, kProgress, kAllDeviceParts, 255, 0,
                             settings),
                  goWithNoDev ? 1 : 0);
        // The first positions only, or every one when failures are ignored.
        EXPECT_EQ(window.Messages().back().wParam, goWithNoDev ? 100u : 20u);
    }
}

// The mouse answers a value it cannot take with an error status on every attempt: the
// caller learns that the write failed, and the memory keeps its old value. 33000 DPI is
// past the last step of the wireless mouse's sensor (32000).
TEST_F(ProfileTransferTest, AWriteTheMouseRefusesIsAFailureForTheCaller) {
    ProfileFile record{};
    ASSERT_EQ(Read(record, Settings()), 1);
    record.dwProfileID = 7;
    const SimProfileImage before = link->firmware->Memory(0);
    record.Dpi[0].dwDpi = record.Dpi[0].dwDpiY = 33000;
    EXPECT_EQ(SetProfile(nullptr, &link->driver, &record, kProgress, SET_DPI, 0, 0, Settings()), 0);
    EXPECT_EQ(link->firmware->Memory(0), before);

    record.Dpi[0].dwDpi = record.Dpi[0].dwDpiY = 32000;
    EXPECT_EQ(SetProfile(nullptr, &link->driver, &record, kProgress, SET_DPI, 0, 0, Settings()), 1);
    const SimProfileImage after = link->firmware->Memory(0);
    EXPECT_EQ(std::vector<std::uint8_t>(after.begin() + 0x000C, after.begin() + 0x0010),
              (std::vector<std::uint8_t>{0x3F, 0x3F, 0x55, 0x82}));
}

TEST_F(ProfileTransferTest, ResetCommandRestoresTheFactorySettingsAndFailsWhenLost) {
    const SimProfileImage factory = link->firmware->Memory(0);
    ProfileFile record{};
    ASSERT_EQ(Read(record, Settings()), 1);
    record.dwProfileID = 7;
    record.nDebounce = 9;
    ASSERT_EQ(
        SetProfile(nullptr, &link->driver, &record, kProgress, SET_DEBOUNCE, 0, 0, Settings()), 1);
    ASSERT_NE(link->firmware->Memory(0), factory);
    EXPECT_EQ(SetProfile(nullptr, &link->driver, &record, kProgress, SET_RESET, 255, 0, Settings()),
              1);
    EXPECT_EQ(link->firmware->Memory(0), factory);

    link->backend.Unplug();
    EXPECT_EQ(SetProfile(nullptr, &link->driver, &record, kProgress, SET_RESET, 255, 0, Settings()),
              0);
}

TEST_F(ProfileTransferTest, PointerSettingsGoToTheDesktopNotTheDevice) {
    ProfileFile record{};
    record.dwProfileID = 7;
    record.stSys.nWheelLines = 5;
    std::vector<int> handed;
    ProfileTransferSettings settings = Settings();
    settings.context.showSys = true;
    bool accepted = true;
    settings.applyPointerSettings = [&](const MouseSysParam& p) {
        handed.push_back(p.nWheelLines);
        return accepted;
    };
    ASSERT_EQ(SetProfile(nullptr, &link->driver, &record, kProgress, SET_SYS, 0, 0, settings), 1);
    EXPECT_EQ(handed, std::vector<int>{5});
    EXPECT_EQ(link->backend.CommandCount(), 0u);
    // The desktop refusing them fails the write.
    accepted = false;
    EXPECT_EQ(SetProfile(nullptr, &link->driver, &record, kProgress, SET_SYS, 0, 0, settings), 0);
}

}  // namespace
}  // namespace vantor
