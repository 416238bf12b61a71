#include "app/store/profile_export.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/config/config.h"
#include "base/message_sink.h"
#include "base/save_failure.h"
#include "base/texts.h"
#include "keys/key_functions.h"
#include "keys/macro_file.h"
#include "keys/safe_file_name.h"
#include "tests/keys/scripted_store_ui.h"
#include "tests/profile/codec_test_support.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

constexpr const char* kConfig =
    "[OPT]\nappdir=Vantor\n"
    "[DEV_1]\nSensor=0x3395\nCID=0x05\nMID=0x1A\nDM=4\nDPI=400,800,1600,3200\nMDNUM=3\n"
    "KM=2\nK1_1=1,11,0,1\n";

MacroRecord Macro(const char* name, std::uint32_t id, std::uint16_t key) {
    MacroRecord m{};
    m.dwMagicNumber = kMacroMagicNumber;
    m.dwMacroID = id;
    SetMacroName(m, name);
    m.stEvents[0].wCode = key;
    m.stEvents[0].wKind = kMacroKindPress;
    return m;
}

void AssignMacro(ProfileFile& profile, int set, int button, std::uint32_t id) {
    profile.Key[set][button].dwFunID = KF_MACRO;
    profile.Key[set][button].dwMacroID = id;
}

const MacroRecord& SlotOf(const std::vector<std::uint8_t>& image, int slot) {
    return *reinterpret_cast<const MacroRecord*>(image.data() + sizeof(ProfileFile) +
                                                 static_cast<std::size_t>(slot) * kMacroRecordSize);
}

class ProfileExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageSink(&sink_);
        test::WriteText(cfg_ / "cfg.ini", kConfig);
        ASSERT_TRUE(DataInit(cfg_ / "cfg.ini"));
        LoadTexts(test::SourceDataDir() + "text.xml");
        SelectDeviceSection(0);
        store_.LoadPro();
    }
    void TearDown() override { SetMessageSink(nullptr); }

    ImportOutcome Import(const std::vector<std::uint8_t>& image) {
        return ImportProfileImage(image, store_, library_, 4, ui_);
    }
    std::vector<std::uint8_t> ImageOf(const ProfileFile& profile) {
        return BuildExportImage(profile, library_.Macros());
    }

    test::TempDir cfg_, data_;
    RecordingMessageSink sink_;
    ProfileStore store_{data_.path()};
    MacroLibrary library_{data_ / "Mac", 0};
    test::ScriptedStoreUi ui_;
};

TEST_F(ProfileExportTest, ExportWritesTheRecordAndTheFirstTenMacrosInKeyOrder) {
    ProfileFile& profile = *store_.Current();
    // Twelve macro keys: key set 1 buttons 5-15, then key set 2 button 0 (set-major order).
    for (int i = 0; i < 12; ++i) {
        const auto id = static_cast<std::uint32_t>(0x100 + i);
        ASSERT_EQ(library_.Macros().Add(Macro(("m" + std::to_string(i)).c_str(), id, 0x41)),
                  MacroAddResult::kAdded);
        AssignMacro(profile, i < 11 ? 0 : 1, i < 11 ? 5 + i : 0, id);
    }
    AssignMacro(profile, 2, 3, 0x999);  // no such macro: no slot
    ui_.savePaths.push_back(data_ / "out.qxa");
    ASSERT_TRUE(ExportProfile(store_, 3, library_.Macros(), ui_));

    const std::vector<std::uint8_t> file = test::ReadBytes(data_ / "out.qxa");
    ASSERT_EQ(file.size(), kExportFileSize);
    EXPECT_EQ(store_.Current()->nCurDpiLevel, 3);
    EXPECT_EQ(std::memcmp(file.data(), store_.Current(), sizeof(ProfileFile)), 0);
    for (int slot = 0; slot < kExportMacroSlots; ++slot) {
        EXPECT_EQ(std::memcmp(&SlotOf(file, slot), library_.Macros().FindById(0x100 + slot),
                              kMacroRecordSize),
                  0)
            << slot;
    }
    EXPECT_EQ(ui_.requests.at(0).filter, "qxa(*.qxa)|*.qxa|");
    EXPECT_TRUE(ui_.requests.at(0).confirmOverwrite);

    // A failed save names the file and the reason.
    const std::string missing = data_ / "missing-folder/out.qxa";
    ui_.savePaths.push_back(missing);
    EXPECT_FALSE(ExportProfile(store_, 0, library_.Macros(), ui_));
    EXPECT_EQ(ui_.messages, std::vector<std::string>{SaveFailedText(missing, ENOENT)});
}

TEST_F(ProfileExportTest, InvalidFilesAreRefusedWithTheirMessage) {
    ProfileFile valid = *store_.Current();
    std::vector<std::uint8_t> badMagic = ImageOf(valid);
    badMagic[0] ^= 1;
    std::vector<std::uint8_t> zeroId = ImageOf(valid);
    std::memset(zeroId.data() + 4, 0, 4);
    std::vector<std::uint8_t> longer = ImageOf(valid);
    longer.push_back(0);
    test::WriteText(data_ / "bad-magic.qxa", std::string(badMagic.begin(), badMagic.end()));
    test::WriteText(data_ / "zero-id.qxa", std::string(zeroId.begin(), zeroId.end()));
    test::WriteText(data_ / "longer.qxa", std::string(longer.begin(), longer.end()));
    test::WriteText(data_ / "empty.qxa", "");

    struct Case {
        std::string path;
        std::string message;  // how the message begins
        std::string problem;  // how the plain reason begins
    };
    const Case cases[] = {
        {data_ / "bad-magic.qxa", "This file is not a valid profile.", "not a valid profile"},
        {data_ / "zero-id.qxa", "This file is not a valid profile.", "not a valid profile"},
        {data_ / "longer.qxa", "This file is not a valid profile.",
         "not a valid profile: it has 10457 bytes"},
        {data_ / "empty.qxa", "Read profile failed.", "the file is empty"},
        {data_ / "absent.qxa",
         "The profile file could not be opened. Error code: 2 (" + data_ / "absent.qxa" +
             ": No such file or directory)",
         "No such file or directory"},
        {data_.path(), "Read profile failed.", "Is a directory"},
    };
    const ProfileFile before = *store_.Current();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ui_.messages.clear();
        ui_.openPaths.push_back(c.path);
        const ImportOutcome outcome = ImportProfile(store_, library_, true, 4, ui_);
        EXPECT_FALSE(outcome.imported);
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ui_.messages[0].rfind(c.message, 0), 0u) << ui_.messages[0];
        EXPECT_EQ(outcome.problem.rfind(c.problem, 0), 0u) << outcome.problem;
    }
    EXPECT_EQ(std::memcmp(&before, store_.Current(), sizeof(ProfileFile)), 0);

    ui_.messages.clear();
    ui_.openPaths.push_back(data_ / "zero-id.qxa");
    EXPECT_FALSE(ImportProfile(store_, library_, false, 4, ui_).imported);
    EXPECT_EQ(ui_.messages, std::vector<std::string>{Text("tc_adv_str15")});
}

// A record of the right size and magic that breaks one rule of the device model is refused
// with the rule named, before any macro is added or any file written.
TEST_F(ProfileExportTest, RecordsBreakingTheModelsRulesAreRefusedWhole) {
    struct Case {
        const char* problem;  // part of the reason
        void (*breakIt)(ProfileFile& record);
    };
    const Case cases[] = {
        {"button 1 of key set 1 has function 0x00000000",
         [](ProfileFile& r) { r.Key[0][0].dwFunID = 0; }},
        {"key set 2 has no button with the left click",
         [](ProfileFile& r) { r.Key[1][0].dwFunID = KF_RIGHT_CLICK; }},
        {"key matrix position 9", [](ProfileFile& r) { r.Key[0][0].nMatrixIndex = 9; }},
        {"function 0x080000a4 (parameter 0x0)",
         [](ProfileFile& r) { r.Key[2][0] = {KF_FIRE, 1, 0, 0, 0, 0}; }},
        {"function 0x080000a6 (parameter 0x270f)",
         [](ProfileFile& r) { r.Key[2][0] = {KF_DPI_LOCK, 1, 0, 0, 9999, 0}; }},
        {"DPI level 2 (63800 x 800)", [](ProfileFile& r) { r.Dpi[1].dwDpi = 63800; }},
        {"5 DPI levels, this mouse has 1-4", [](ProfileFile& r) { r.nDpiLevels = 5; }},
        {"current DPI level 4 is not one of the 3 levels",
         [](ProfileFile& r) {
             r.nDpiLevels = 3;
             r.nCurDpiLevel = 3;
         }},
        {"debounce -841516233 ms is outside 0-30",
         [](ProfileFile& r) { r.nDebounce = -841516233; }},
        {"sleep time 45 s", [](ProfileFile& r) { r.nSleepTime = 45; }},
        {"auto-sleep 7", [](ProfileFile& r) { r.nAutoSleep = 7; }},
        {"motion sync 2", [](ProfileFile& r) { r.bMotionSync = 2; }},
        {"lift-off distance 3", [](ProfileFile& r) { r.nLOD = 3; }},
        {"report rate 0x300", [](ProfileFile& r) { r.dwReportRate = 0x300; }},
        {"main lighting (effect 9", [](ProfileFile& r) { r.stMainRGB.nMode = 9; }},
        {"logo lighting (effect 1, speed 6",
         [](ProfileFile& r) {
             r.stLogoRGB.nMode = 1;
             r.stLogoRGB.nSpeed = 6;
         }},
        {"DPI indicator (effect 2, speed 3, brightness 0)",
         [](ProfileFile& r) { r.stDpiEffect.nLight = 0; }},
        {"key set 4 is not 1-3", [](ProfileFile& r) { r.nKeySet = 3; }},
        // Extreme counts must not overflow while the reason is worded.
        {"key set 2147483648 is not 1-3", [](ProfileFile& r) { r.nKeySet = INT32_MAX; }},
        {"-2147483648 DPI levels, this mouse has 1-4 (and 1 more)",
         [](ProfileFile& r) {
             r.nDpiLevels = INT32_MIN;
             r.nCurDpiLevel = INT32_MAX;
         }},
        {"the profile is for sensor 0x3050", [](ProfileFile& r) { r.dwSensor = 0x3050; }},
    };
    ProfileFile valid = *store_.Current();
    AssignMacro(valid, 0, 1, 0x42);  // its macro would be added by an accepted import
    const ProfileFile before = *store_.Current();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problem);
        ProfileFile broken = valid;
        c.breakIt(broken);
        std::vector<std::uint8_t> image = ImageOf(broken);
        const MacroRecord macro = Macro("m", 0x42, 0x41);
        std::memcpy(image.data() + sizeof(ProfileFile), &macro, kMacroRecordSize);
        ui_.messages.clear();
        const ImportOutcome outcome = Import(image);
        EXPECT_FALSE(outcome.imported);
        EXPECT_NE(outcome.problem.find(c.problem), std::string::npos) << outcome.problem;
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ui_.messages[0].rfind("This file is not a valid profile.", 0), 0u);
        EXPECT_EQ(ui_.messages[0].find("0x"), std::string::npos) << ui_.messages[0];
        EXPECT_EQ(std::memcmp(&before, store_.Current(), sizeof(ProfileFile)), 0);
        EXPECT_EQ(library_.Macros().Count(), 0);
        EXPECT_FALSE(std::filesystem::exists(data_ / "Mac"));
    }
    ProfileFile fine = valid;
    fine.nDpiLevels = 3;
    fine.nCurDpiLevel = 2;
    fine.Dpi[1].dwDpi = 3200;
    fine.nDebounce = 30;
    EXPECT_TRUE(Import(ImageOf(fine)).imported) << ui_.messages.back();
}

// The window names the refused setting as its page does, in the user's language; the values
// and ranges go to the diagnostic log.
TEST_F(ProfileExportTest, ARefusedImportNamesTheSettingInTheWordsOfItsPage) {
    struct Case {
        void (*breakIt)(ProfileFile& record);
        const char* message;
        const char* logged;
    };
    const Case cases[] = {
        {[](ProfileFile& r) { r.stMainRGB.nMode = 9; },
         "This file is not a valid profile. (Lighting: Main light, Effect)", "effect 9"},
        {[](ProfileFile& r) {
             r.stLogoRGB.nMode = 2;
             r.stLogoRGB.nSpeed = 6;
         },
         "This file is not a valid profile. (Lighting: Logo light, Speed)", "speed 6"},
        {[](ProfileFile& r) { r.nDebounce = 31; },
         "This file is not a valid profile. (Performance: Debounce)", "debounce 31 ms"},
        {[](ProfileFile& r) { r.Key[0][0].dwFunID = 0; },
         "This file is not a valid profile. (Buttons)", "function 0x00000000"},
        {[](ProfileFile& r) { r.dwSensor = 0x3050; }, "This file is not a valid profile.",
         "sensor 0x3050"},
    };
    const test::LogCapture log;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ProfileFile broken = *store_.Current();
        c.breakIt(broken);
        ui_.messages.clear();
        EXPECT_FALSE(Import(ImageOf(broken)).imported);
        EXPECT_EQ(ui_.messages, std::vector<std::string>{c.message});
        EXPECT_TRUE(log.Contains(c.logged)) << log.Text();
    }
}

TEST_F(ProfileExportTest, ImportAddsNewMacrosOnceAndKeepsTheProfileId) {
    ProfileFile exported = *store_.Current();
    exported.dwProfileID = 0x123456;
    SetProfileName(exported, "Imported");
    exported.nCurDpiLevel = 2;
    AssignMacro(exported, 0, 1, 0x777);
    AssignMacro(exported, 1, 4, 0x777);
    AssignMacro(exported, 0, 2, 0);  // a macro key without macro matches no empty slot
    std::vector<std::uint8_t> image = ImageOf(exported);
    const MacroRecord shared = Macro("shared", 0x777, 0x42);
    std::memcpy(image.data() + sizeof(ProfileFile), &shared, kMacroRecordSize);
    std::memcpy(image.data() + sizeof(ProfileFile) + kMacroRecordSize, &shared, kMacroRecordSize);

    const std::uint32_t ownId = store_.Current()->dwProfileID;
    const ImportOutcome outcome = Import(image);
    ASSERT_TRUE(outcome.imported);
    EXPECT_EQ(outcome.curDpiLevel, 2);
    const ProfileFile& now = *store_.Current();
    EXPECT_EQ(now.dwProfileID, ownId);
    EXPECT_EQ(ProfileName(now), "Imported");

    ASSERT_EQ(library_.Macros().Count(), 1);
    const MacroRecord& added = library_.Macros().At(0);
    EXPECT_NE(added.dwMacroID, 0x777u);
    EXPECT_EQ(now.Key[0][1].dwMacroID, added.dwMacroID);
    EXPECT_EQ(now.Key[1][4].dwMacroID, added.dwMacroID);
    EXPECT_EQ(now.Key[0][2].dwMacroID, 0u);
    const MacroFileResult file = ReadMacroFile(data_ / "Mac/shared.qxm");
    ASSERT_EQ(file.status, MacroFileStatus::kOk);
    EXPECT_EQ(file.record.dwMacroID, added.dwMacroID);
}

TEST_F(ProfileExportTest, ImportRewritesMacrosTheLibraryAlreadyHolds) {
    ASSERT_TRUE(library_.Add_Macro(Macro("fire", 0x555, 0x41)));
    ProfileFile exported = *store_.Current();
    AssignMacro(exported, 0, 3, 0x555);
    std::vector<std::uint8_t> image = ImageOf(exported);
    MacroRecord changed = Macro("fire", 0x555, 0x5A);
    std::memcpy(image.data() + sizeof(ProfileFile), &changed, kMacroRecordSize);

    ASSERT_TRUE(Import(image).imported);
    EXPECT_EQ(library_.Macros().Count(), 1);
    EXPECT_EQ(store_.Current()->Key[0][3].dwMacroID, 0x555u);
    const MacroFileResult file = ReadMacroFile(data_ / "Mac/fire.qxm");
    ASSERT_EQ(file.status, MacroFileStatus::kOk);
    EXPECT_EQ(file.record.dwMacroID, 0x555u);
    EXPECT_EQ(file.record.stEvents[0].wCode, 0x5A);
    EXPECT_EQ(std::filesystem::directory_entry(data_ / "Mac").exists(), true);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data_ / "Mac"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(ProfileExportTest, MacroNamesFromTheFileNeverLeaveTheMacroFolder) {
    ProfileFile exported = *store_.Current();
    AssignMacro(exported, 0, 2, 0x10);
    AssignMacro(exported, 0, 3, 0x11);
    std::vector<std::uint8_t> image = ImageOf(exported);
    MacroRecord escape = Macro("../../x", 0x10, 0x41);
    MacroRecord unterminated = Macro("", 0x11, 0x41);
    for (auto& unit : unterminated.szName) unit = u'y';
    std::memcpy(image.data() + sizeof(ProfileFile), &escape, kMacroRecordSize);
    std::memcpy(image.data() + sizeof(ProfileFile) + kMacroRecordSize, &unterminated,
                kMacroRecordSize);

    ASSERT_TRUE(Import(image).imported);
    EXPECT_FALSE(std::filesystem::exists(data_ / "x.qxm"));
    EXPECT_FALSE(std::filesystem::exists(cfg_ / "x.qxm"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data_.path()),
                            std::filesystem::directory_iterator()),
              1);  // the macro folder and nothing else
    EXPECT_TRUE(std::filesystem::is_regular_file(data_ / ("Mac/" + SafeMacroFileName("../../x"))));
    ASSERT_EQ(library_.Macros().Count(), 2);
    EXPECT_EQ(MacroName(library_.Macros().At(0)), "../../x");
    EXPECT_EQ(MacroName(library_.Macros().At(1)), std::string(kMacroNameMaxChars, 'y'));
    EXPECT_EQ(library_.Macros().At(1).szName[kMacroNameMaxChars], 0);
}

TEST_F(ProfileExportTest, AFailedMacroAddLeavesTheProfile) {
    ProfileFile exported = *store_.Current();
    AssignMacro(exported, 0, 2, 0x20);
    std::vector<std::uint8_t> image = ImageOf(exported);
    const MacroRecord macro = Macro("late", 0x20, 0x41);
    std::memcpy(image.data() + sizeof(ProfileFile), &macro, kMacroRecordSize);

    for (int i = 0; i < MacroMaxCount; ++i) {
        ASSERT_EQ(
            library_.Macros().Add(Macro("filler", static_cast<std::uint32_t>(0x10000 + i), 0x41)),
            MacroAddResult::kAdded);
    }
    const ProfileFile before = *store_.Current();
    EXPECT_FALSE(Import(image).imported);
    EXPECT_EQ(std::memcmp(&before, store_.Current(), sizeof(ProfileFile)), 0);
}

}  // namespace
}  // namespace vantor
