#include "app/store/profile_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/config/config.h"
#include "base/message_sink.h"
#include "base/texts.h"
#include "keys/key_functions.h"
#include "tests/device/fake_hid.h"
#include "tests/keys/scripted_store_ui.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

// Two device models: DEV_1 (customer 0x05, model 0x1A) and DEV_2 (customer 0x07, model 0x03).
constexpr const char* kConfig =
    "[OPT]\nappdir=Vantor\n"
    "[DEV_1]\nSensor=0x3395\nCID=0x05\nMID=0x1A\nDM=2\nDPI=400,800\nMDNUM=3\nKM=2\n"
    "K1_1=1,11,0,1\n"
    "[DEV_2]\nSensor=0x3395\nCID=0x07\nMID=0x03\nDM=1\nDPI=1600\nMDNUM=3\nKM=2\n"
    "K1_1=1,11,0,1\n";

class ProfileStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageSink(&sink_);
        test::WriteText(cfg_ / "cfg.ini", kConfig);
        ASSERT_TRUE(DataInit(cfg_ / "cfg.ini"));
        LoadTexts(test::SourceDataDir() + "text.xml");
        SelectDeviceSection(0);
    }
    void TearDown() override { SetMessageSink(nullptr); }

    std::string ProPath() const { return data_ / "PRO_051a.dct"; }

    test::TempDir cfg_, data_;
    RecordingMessageSink sink_;
    ProfileStore store_{data_.path()};
};

TEST(ProfileFileNameTest, LowerCaseHexOfAtLeastTwoDigits) {
    EXPECT_EQ(ProfileFileName(0x05, 0x1A), "PRO_051a.dct");
    EXPECT_EQ(ProfileFileName(0, 0), "PRO_0000.dct");
    EXPECT_EQ(ProfileFileName(0x123, 0x4), "PRO_12304.dct");
}

TEST_F(ProfileStoreTest, MissingFileGivesFourNamedDefaultsAndFirstCurrent) {
    EXPECT_FALSE(store_.LoadPro());
    ASSERT_EQ(store_.Count(), kProfileCount);
    for (int i = 0; i < kProfileCount; ++i) {
        EXPECT_EQ(ProfileName(store_.Profile(i)), "Profile " + std::to_string(i + 1));
        EXPECT_EQ(store_.Profile(i).dwMagic, kProfileMagic);
        EXPECT_EQ(store_.Profile(i).Dpi[1].dwDpi, 800u);
    }
    EXPECT_NE(store_.Profile(0).dwProfileID, store_.Profile(1).dwProfileID);
    EXPECT_EQ(store_.CurrentIndex(), 0);
}

// The log names each step of the profile file in the words it always had.
TEST_F(ProfileStoreTest, LogLinesOfLoadAndSaveKeepTheirWords) {
    test::LogCapture log;
    EXPECT_FALSE(store_.LoadPro());  // no file yet
    ASSERT_TRUE(store_.SavePro());
    test::WriteText(ProPath(), "short");
    ProfileStore damaged(data_.path());
    EXPECT_FALSE(damaged.LoadPro());
    ProfileStore nowhere(data_ / "missing/");
    EXPECT_FALSE(nowhere.LoadPro());
    EXPECT_FALSE(nowhere.SavePro());
    std::vector<std::string> lines;
    for (const std::string& line : log.Lines()) {
        if (line.rfind("LoadPro", 0) == 0 || line.rfind("SavePro", 0) == 0) lines.push_back(line);
    }
    const std::vector<std::string> want = {
        "LoadPro: open file err=2",
        "LoadPro ok: cid=05, mid=1a",
        "SavePro: cid=05, mid=1a",
        "LoadPro err: wrong size",
        "LoadPro: damaged file kept as " + ProPath() + ".damaged",
        "LoadPro ok: cid=05, mid=1a",
        "LoadPro: open file err=2",
        "LoadPro ok: cid=05, mid=1a",
        "SavePro: cid=05, mid=1a",
        "SavePro: CreateFile err=2"};
    EXPECT_EQ(lines, want);
}

TEST_F(ProfileStoreTest, SaveWritesTheFileThatLoadReadsBackByteForByte) {
    store_.LoadPro();
    SetProfileName(store_.Profile(2), "Game");
    store_.Profile(2).nDebounce = 4;
    store_.SetCurrentIndex(2);
    ASSERT_TRUE(store_.SavePro());

    const std::vector<std::uint8_t> saved = test::ReadBytes(ProPath());
    ASSERT_EQ(saved.size(), kProfileFileSize);
    std::uint32_t activeId = 0;
    std::memcpy(&activeId, saved.data(), 4);
    EXPECT_EQ(activeId, store_.Profile(2).dwProfileID);
    EXPECT_EQ(std::memcmp(saved.data() + 4 + 2 * sizeof(ProfileFile), &store_.Profile(2),
                          sizeof(ProfileFile)),
              0);

    ProfileStore again(data_.path());
    EXPECT_TRUE(again.LoadPro());
    EXPECT_EQ(again.CurrentIndex(), 2);
    EXPECT_EQ(ProfileName(again.Profile(2)), "Game");
    ASSERT_TRUE(again.SavePro());
    EXPECT_EQ(test::ReadBytes(ProPath()), saved);
}

TEST_F(ProfileStoreTest, FileOfWrongSizeGivesDefaults) {
    store_.LoadPro();
    SetProfileName(store_.Profile(0), "Mine");
    ASSERT_TRUE(store_.SavePro());
    const std::vector<std::uint8_t> good = test::ReadBytes(ProPath());
    for (std::size_t size : {kProfileFileSize - 1, kProfileFileSize + 1, std::size_t{0}}) {
        std::vector<std::uint8_t> bytes = good;
        bytes.resize(size);
        test::WriteText(ProPath(), std::string(bytes.begin(), bytes.end()));
        ProfileStore other(data_.path());
        EXPECT_FALSE(other.LoadPro()) << size;
        EXPECT_EQ(ProfileName(other.Profile(0)), "Profile 1") << size;
        EXPECT_EQ(ProfileName(other.Profile(3)), "Profile 4") << size;
        // The damaged file stays beside the one the next save writes.
        EXPECT_EQ(other.KeptDamagedFile(), ProPath() + ".damaged") << size;
        EXPECT_TRUE(test::ReadBytes(ProPath() + ".damaged") == bytes) << size;
    }
}

TEST_F(ProfileStoreTest, OnlyADamagedFileIsKeptBesideIt) {
    store_.LoadPro();
    EXPECT_EQ(store_.KeptDamagedFile(), "");  // no file
    ASSERT_TRUE(store_.SavePro());
    ProfileStore good(data_.path());
    EXPECT_TRUE(good.LoadPro());
    EXPECT_EQ(good.KeptDamagedFile(), "");
    EXPECT_FALSE(std::filesystem::exists(ProPath() + ".damaged"));

    // Right size, but a field no page could have left: repaired, and the file kept first.
    good.Profile(1).nDebounce = 999;
    ASSERT_TRUE(good.SavePro());
    const std::vector<std::uint8_t> bytes = test::ReadBytes(ProPath());
    ProfileStore repaired(data_.path());
    EXPECT_TRUE(repaired.LoadPro());
    EXPECT_NE(repaired.Profile(1).nDebounce, 999);
    EXPECT_TRUE(test::ReadBytes(repaired.KeptDamagedFile()) == bytes);
}

TEST_F(ProfileStoreTest, UnknownActiveIdMakesTheFirstRecordCurrent) {
    store_.LoadPro();
    store_.SetCurrentIndex(3);
    ASSERT_TRUE(store_.SavePro());
    std::vector<std::uint8_t> bytes = test::ReadBytes(ProPath());
    bytes[0] ^= 0xFF;
    test::WriteText(ProPath(), std::string(bytes.begin(), bytes.end()));
    ProfileStore other(data_.path());
    EXPECT_TRUE(other.LoadPro());
    EXPECT_EQ(other.CurrentIndex(), 0);
}

// A file of the right size with damaged records: each broken field takes the model's
// default, fields that keep the rules stay as saved.
TEST_F(ProfileStoreTest, BrokenFieldsOfALoadedFileTakeTheModelDefaults) {
    store_.LoadPro();
    const ProfileFile defaults = store_.Profile(1);
    ProfileFile& broken = store_.Profile(1);
    SetProfileName(broken, "Mine");
    broken.nSleepTime = 300;  // valid changes survive
    broken.Dpi[0].dwDpi = broken.Dpi[0].dwDpiY = 1600;
    broken.nDebounce = -841516233;
    broken.nKeySet = 9;
    broken.nDpiLevels = 40;
    broken.Dpi[1].dwDpi = 63800;
    broken.Key[0][0].dwFunID = 0;  // the only left click
    broken.stMainRGB.nMode = 2;
    broken.stMainRGB.nLight = 0;
    broken.nAutoSleep = 7;
    std::memset(static_cast<void*>(&store_.Profile(2)), 0xA5, sizeof(ProfileFile));  // no magic
    ASSERT_TRUE(store_.SavePro());

    ProfileStore other(data_.path());
    ASSERT_TRUE(other.LoadPro());
    const ProfileFile& loaded = other.Profile(1);
    EXPECT_EQ(ProfileName(loaded), "Mine");
    EXPECT_EQ(loaded.nSleepTime, 300);
    EXPECT_EQ(loaded.Dpi[0].dwDpi, 1600u);
    EXPECT_EQ(loaded.nDebounce, defaults.nDebounce);
    EXPECT_EQ(loaded.nKeySet, 0);
    EXPECT_EQ(loaded.nDpiLevels, defaults.nDpiLevels);
    EXPECT_EQ(loaded.Dpi[1].dwDpi, 800u);
    EXPECT_EQ(loaded.Key[0][0].dwFunID, KF_LEFT_CLICK);
    EXPECT_EQ(loaded.stMainRGB.nLight, defaults.stMainRGB.nLight);
    EXPECT_EQ(loaded.nAutoSleep, defaults.nAutoSleep);
    EXPECT_EQ(other.Profile(2).dwMagic, kProfileMagic);
    EXPECT_EQ(other.Profile(2).Dpi[0].dwDpi, 400u);
    EXPECT_EQ(ProfileName(other.Profile(2)), "Profile 3");
}

// A save that fails part-way (here: the disk is full) or a crash that leaves the temporary
// file behind never costs the profiles already on disk.
TEST_F(ProfileStoreTest, InterruptedSaveKeepsThePreviousFile) {
    store_.LoadPro();
    SetProfileName(store_.Profile(0), "Kept");
    ASSERT_TRUE(store_.SavePro());
    const std::vector<std::uint8_t> before = test::ReadBytes(ProPath());

    SetProfileName(store_.Profile(0), "Lost");
    {
        test::ScopedFileSizeLimit fullDisk(1000);
        EXPECT_FALSE(store_.SavePro());
    }
    EXPECT_EQ(test::ReadBytes(ProPath()), before);
    test::WriteText(ProPath() + ".tmpAbC123", "half a file");

    ProfileStore other(data_.path());
    ASSERT_TRUE(other.LoadPro());
    EXPECT_EQ(ProfileName(other.Profile(0)), "Kept");
}

TEST_F(ProfileStoreTest, SaveNeedsALoadedList) {
    EXPECT_FALSE(store_.SavePro());
    EXPECT_FALSE(std::filesystem::exists(ProPath()));
}

// The store keeps the model it loaded: another model made current afterwards (a different
// mouse found) sends neither these records nor CID.dct to the other model's files.
TEST_F(ProfileStoreTest, SavesGoToTheModelThatWasLoaded) {
    SelectDeviceSection(1);
    EXPECT_FALSE(store_.LoadPro());
    EXPECT_EQ(store_.Profile(0).Dpi[0].dwDpi, 1600u);  // DEV_2's defaults
    SelectDeviceSection(0);
    EXPECT_EQ(store_.ProfileFilePath(), data_ / "PRO_0703.dct");
    ASSERT_TRUE(store_.SavePro());
    ASSERT_TRUE(store_.SaveCID());
    EXPECT_TRUE(std::filesystem::exists(data_ / "PRO_0703.dct"));
    EXPECT_FALSE(std::filesystem::exists(ProPath()));
    EXPECT_EQ(test::ReadBytes(data_ / "CID.dct"),
              (std::vector<std::uint8_t>{0x07, 0, 0, 0, 0x03, 0, 0, 0}));

    // A section handed over as a value is the one loaded, whatever is current.
    ProfileStore other(data_.path());
    EXPECT_TRUE(other.LoadPro(DeviceSectionAt(1)));
    EXPECT_EQ(other.Section().MID, 0x03);
    EXPECT_EQ(CurrentDeviceIndex(), 0);
}

TEST_F(ProfileStoreTest, CidFileSelectsTheDeviceSection) {
    SelectDeviceSection(1);
    ASSERT_TRUE(store_.SaveCID());
    EXPECT_EQ(test::ReadBytes(data_ / "CID.dct"),
              (std::vector<std::uint8_t>{0x07, 0, 0, 0, 0x03, 0, 0, 0}));
    SelectDeviceSection(0);
    EXPECT_TRUE(store_.LoadCID());
    EXPECT_EQ(CurrentDeviceIndex(), 1);
    EXPECT_EQ(store_.ProfileFilePath(), data_ / "PRO_0703.dct");

    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool result;
        int section;  // an unknown model leaves the current section as it was
    };
    const Case cases[] = {
        {"unknown model", {0x09, 0, 0, 0, 0x09, 0, 0, 0}, true, 1},
        {"short", {0x07, 0, 0, 0, 0x03, 0, 0}, false, 0},
        {"long", {0x07, 0, 0, 0, 0x03, 0, 0, 0, 0}, false, 0},
    };
    for (const Case& c : cases) {
        SelectDeviceSection(1);
        test::WriteText(data_ / "CID.dct", std::string(c.bytes.begin(), c.bytes.end()));
        EXPECT_EQ(store_.LoadCID(), c.result) << c.name;
        EXPECT_EQ(CurrentDeviceIndex(), c.section) << c.name;
    }
    std::filesystem::remove(data_ / "CID.dct");
    SelectDeviceSection(1);
    EXPECT_FALSE(store_.LoadCID());
    EXPECT_EQ(CurrentDeviceIndex(), 0);
}

}  // namespace
}  // namespace vantor
