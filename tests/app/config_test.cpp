#include "app/config/config.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/log.h"
#include "base/message_sink.h"
#include "profile/sensor_tables.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using Messages = std::vector<std::pair<std::string, std::string>>;

// Runs data initialisation on a cfg.ini text and keeps the messages it shows. Every text
// gets an appdir so that only the messages of the keys under test are recorded.
class ConfigTest : public ::testing::Test {
  protected:
    void SetUp() override { SetMessageSink(&sink_); }
    void TearDown() override { SetMessageSink(nullptr); }

    bool Init(const std::string& text) {
        test::WriteText(dir_ / "cfg.ini", "[OPT]\nappdir=Vantor\n" + text);
        sink_.messages.clear();
        return DataInit(dir_ / "cfg.ini");
    }

    // DEV_1 with the given lines, completed to a valid section of one key and one DPI level
    // (the first occurrence of a key wins, so the given lines take precedence).
    bool InitDevice(const std::string& sensor, const std::string& lines) {
        return Init("[DEV_1]\nSensor=" + sensor + "\n" + lines +
                    "KM=2\nK1_1=1,1,0,1\nDM=1\nDPI=800\n");
    }

    const Messages& messages() const { return sink_.messages; }

    std::vector<int> Steps(int sensor) const {
        auto steps = TheSensorTables().Steps(static_cast<std::uint32_t>(sensor));
        return {steps.begin(), steps.end()};
    }

    test::TempDir dir_;
    RecordingMessageSink sink_;
};

// Without a usable cfg.ini there is no data folder: start-up fails, and the reason names
// the file and what is wrong with it.
TEST_F(ConfigTest, UnusableFileFailsNamingTheFileAndTheProblem) {
    test::WriteText(dir_ / "empty.ini", "");
    test::WriteText(dir_ / "comments.ini", "; nothing here\n");
    test::WriteText(dir_ / "no-appdir.ini", "[OPT]\nDebug=0\n");
    ASSERT_EQ(mkfifo((dir_ / "fifo.ini").c_str(), 0600), 0);
    const struct {
        const char* name;
        const char* problem;
    } cases[] = {
        {"absent.ini", ": No such file or directory"},
        {"empty.ini", " is empty or has no sections"},
        {"comments.ini", " is empty or has no sections"},
        {"fifo.ini", " is not a regular file"},
        {"no-appdir.ini", ": appdir in section [OPT] is empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(DataInit(dir_ / c.name));
        EXPECT_EQ(DataInitError().rfind(dir_ / c.name + c.problem, 0), 0u) << DataInitError();
    }
}

TEST_F(ConfigTest, AbsentKeysTakeTheirDefaults) {
    ASSERT_TRUE(Init(""));
    EXPECT_TRUE(messages().empty());

    const AppOptions& o = Options();
    EXPECT_EQ(o.VID, 0x25A7);
    EXPECT_EQ(o.Suwnd, 1);
    EXPECT_EQ(o.MenuItems, 13);
    EXPECT_EQ(o.DebounceRange, 0x1E00);
    EXPECT_EQ(o.ShowPower, 0);
    EXPECT_EQ(o.ShowPowerSecondRead, 1);
    EXPECT_EQ(o.TrayIcon, 2);
    EXPECT_EQ(o.Sensor, 0x3050);
    EXPECT_EQ(o.RateVSp, 67);
    EXPECT_EQ(o.Sensor9000Max, 12000);
    EXPECT_TRUE(o.PID.empty());
    EXPECT_EQ(o.clrEdit, Rgb(20, 20, 20));
    EXPECT_EQ(o.clrMaskDialog, Rgb(0, 255, 0));
    EXPECT_EQ(o.ptMin, (Point{952, 12}));
    EXPECT_EQ(o.ptRecord, (Point{756, 54}));
    EXPECT_EQ(o.rcSys, (Rect{881, 406, 991, 514}));
    EXPECT_TRUE(o.rcSubDlg.IsEmpty());
    EXPECT_EQ(o.PowerCritical, (std::array<std::uint8_t, 4>{25, 50, 75, 100}));
    EXPECT_EQ(o.LEDParam, (std::array<std::uint8_t, 6>{3, 10, 8, 255, 0, 255}));
    EXPECT_TRUE(o.LedOpt[2].present);
    EXPECT_EQ(o.LedOpt[2].param, (std::array<std::uint8_t, 5>{8, 10, 0, 0, 0}));
    EXPECT_EQ(o.LedOpt[6].colour[4], Rgb(250, 198, 3));
    EXPECT_TRUE(o.languages.empty());

    for (int i = 0; i < kDeviceSectionCount; ++i) EXPECT_EQ(DeviceSectionAt(i).Sensor, 0);
    EXPECT_EQ(DeviceSectionAt(0).DM, 0) << "unused sections stay cleared";
    EXPECT_EQ(CurrentDeviceIndex(), 0);
    EXPECT_EQ(CurrentMacroLimits().minDelay, 10);
    EXPECT_EQ(CurrentMacroLimits().maxDelay, 65535);
    EXPECT_EQ(CurrentMacroLimits().maxEvents, 70);
    EXPECT_EQ(CurrentMacroLimits().slotBytes, 384);
    EXPECT_FALSE(TheSensorTables().Steps(0x3335).empty()) << "the tables are built";
}

TEST_F(ConfigTest, DebugSetsUpTheLogDuringDataInit) {
    ASSERT_TRUE(Init("Debug=1\n"));
    EXPECT_EQ(LogLevel(), 1);
    EXPECT_EQ(Options().Debug, 1);
    ASSERT_TRUE(Init(""));
    EXPECT_EQ(LogLevel(), 0);
    LogShutdown();
}

TEST_F(ConfigTest, OptionValueFormsAndTheirMessages) {
    ASSERT_TRUE(
        Init("VID=0x125A7\n"
             "PID=5f,0x60,61zz,62\n"
             "PID2=1,2,3,4,5,6,7,8,9,a,b,c\n"
             "Title=123456789012345678901234567890123456789012345\n"
             "FontName=\xC3\xA4"
             "bcdefghijklmnopqrstuvwxyz0123456789\n"
             "Txt_clr=200,201\n"
             "clrMask=1,2,300\n"
             "clrEdit=\n"
             "clrTxtAdvDlg=9,9,9\n"
             "ptMin=5,6\n"
             "ptNavi=1,2,3\n"
             "ptKey=\n"
             "ptDpiBar=-4,7\n"
             "rcSys=1,2,3,4\n"
             "rcKeyList=1,2,3\n"
             "rcSubDlg=10,20,30,40,50\n"
             "PowerCritical=10,20\n"
             "LEDParam=x\n"
             "LedOpt1=1,2,3,4,5,10,20,30\n"
             "LedOpt2=7\n"
             "ComboName2=0x4111\n"
             "Debug=0\n"));
    const AppOptions& o = Options();
    EXPECT_EQ(o.VID, 0x25A7) << "kept as 16 bits";
    EXPECT_EQ(o.PID, (std::vector<std::uint32_t>{0x5F, 0x60}))
        << "stops at a token with trailing text";
    EXPECT_EQ(o.PID2.size(), 10u);
    EXPECT_EQ(o.Title, "123456789012345678901234567890123456789");
    EXPECT_EQ(o.FontName,
              "\xC3\xA4"
              "bcdefghijklmnopqrstuvwxyz012")
        << "29 characters";
    EXPECT_EQ(o.Txt_clr, Rgb(200, 201, 0)) << "missing components are 0";
    EXPECT_EQ(o.clrMask, Rgb(1, 2, 300 & 0xFF));
    EXPECT_EQ(o.clrEdit, Rgb(20, 20, 20)) << "empty value gives the default";
    EXPECT_EQ(o.clrTxtLedDlg, o.Txt_clr);
    EXPECT_EQ(o.clrTxtAdvDlg, Rgb(9, 9, 9));
    EXPECT_EQ(o.ptMin, (Point{5, 6}));
    EXPECT_EQ(o.ptNavi, (Point{25, 110}));
    EXPECT_EQ(o.ptKey, (Point{72, 77}));
    EXPECT_EQ(o.ptDpiBar, (Point{-4, 7}));
    EXPECT_EQ(o.rcSys, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(o.rcKeyList, (Rect{401, 85, 627, 464}));
    EXPECT_TRUE(o.rcSubDlg.IsEmpty());
    EXPECT_EQ(o.PowerCritical, (std::array<std::uint8_t, 4>{10, 20, 75, 100}));
    EXPECT_EQ(o.LEDParam, (std::array<std::uint8_t, 6>{3, 10, 8, 255, 0, 255}));
    EXPECT_EQ(o.LedOpt[0].param, (std::array<std::uint8_t, 5>{1, 2, 3, 4, 5}));
    EXPECT_EQ(o.LedOpt[0].colour[0], Rgb(10, 20, 30));
    EXPECT_EQ(o.LedOpt[0].colour[1], 0u) << "colours past the given bytes are 0";
    EXPECT_EQ(o.LedOpt[1].param, (std::array<std::uint8_t, 5>{7, 0, 0, 0, 0}));
    EXPECT_EQ(o.LedOpt[1].colour[1], Rgb(0, 0, 255)) << "five bytes or fewer keep the colours";
    EXPECT_EQ(o.ComboName[1], 0x4111);
    EXPECT_EQ(messages(), (Messages{{"Wrong POINT num", "Error"},
                                    {"Wrong rect num", "Error"},
                                    {"Wrong rect num", "Error"}}));
}

TEST_F(ConfigTest, LanguageListEndsAtTheFirstEmptyOrInvalidEntry) {
    struct Case {
        const char* lines;
        std::vector<std::string> folders;
        Messages expected;
    };
    const Case cases[] = {
        {"Lang1=English,en\nLang2=Deutsch\nLang3=Fr,fr\n",
         {"en"},
         {{"Lang2 is invalidate", "Error"}}},
        {"Lang1=English,\n", {}, {{"Lang1 is invalidate", "Error"}}},
        {"Lang1=English,en\nLang3=Deutsch,de\n", {"en"}, {}},
        {"Lang1=English,en\nLang2=,de\nLang3=Fr,fr\n", {"en"}, {}},
        {"Lang1=A,a\nLang2=B,b\nLang3=C,c\nLang4=D,d\nLang5=E,e\nLang6=F,f\nLang7=G,g\n"
         "Lang8=H,h\nLang9=I,i\nLang10=J,j\nLang11=K,k\n",
         {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"},
         {}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Init(c.lines));
        std::vector<std::string> folders;
        for (const LanguageEntry& e : Options().languages) folders.push_back(e.folder);
        EXPECT_EQ(folders, c.folders) << c.lines;
        EXPECT_EQ(messages(), c.expected) << c.lines;
    }

    ASSERT_TRUE(Init("Lang1=" + std::string(40, 'n') + "," + std::string(40, 'f') + "\n"));
    ASSERT_EQ(Options().languages.size(), 1u);
    EXPECT_EQ(Options().languages[0].name, std::string(29, 'n'));
    EXPECT_EQ(Options().languages[0].folder, std::string(29, 'f'));
}

TEST_F(ConfigTest, DeviceSectionDefaultsAndDerivedValues) {
    ASSERT_TRUE(
        Init("OldAdvDlg=1\nShowMotionSync=1\n"
             "[DEV_1]\nSensor=0x3335\nCID=0x12\nMID=7\nKM=2\nK1_1=1,1,0,1\nShowDpi=0\n"
             "DPI=100,200,300,400,500,600\n"
             "[DEV_3]\nSensor=0x3335\nKM=2\nK1_1=1,1,0,1\nptRipple=1,1\nDpiLEDMode=5\n"
             "ShowMotionSync=2\nRATE2=0x333\nMDNUM=6\nDM=1\nDPI=800\n"));
    EXPECT_EQ(messages(), Messages{});
    const DeviceSection& d = DeviceSectionAt(0);
    EXPECT_EQ(d.CID, 0x12);
    EXPECT_EQ(d.MID, 7);
    EXPECT_EQ(d.ptMark, (Point{337, 65}));
    EXPECT_EQ(d.ptRipple, (Point{818, 160})) << "OldAdvDlg moves the ripple control";
    EXPECT_EQ(d.ShowDpiLED, 0) << "ShowDpi 0 hides the DPI light too";
    EXPECT_EQ(d.ShowMotionSync, 1) << "0 takes the OPT value";
    EXPECT_EQ(d.DpiLEDMode, 0x030502);
    EXPECT_EQ(d.RATE, (std::array<int, 4>{0x125, 0x250, 0x500, 0x1000}));
    EXPECT_EQ(d.DR, 0x500);
    EXPECT_EQ(d.LightParam, 0x0A01);
    EXPECT_EQ(d.SleepValCount, 11);
    EXPECT_EQ(d.SleepVal[10], 2400u);
    EXPECT_EQ(d.DM, 6);
    EXPECT_EQ(d.DPIH, 10);
    EXPECT_EQ(d.KEYH, 10);
    EXPECT_EQ(d.profileCountCode, 3);
    EXPECT_EQ(d.keyCount, 1);
    EXPECT_EQ(d.DC, kBuiltInDpiColours);
    EXPECT_EQ(DeviceSectionAt(1).Sensor, 0);

    const DeviceSection& third = DeviceSectionAt(2);
    EXPECT_EQ(third.ptRipple, (Point{1, 1}));
    EXPECT_EQ(third.DpiLEDMode, 5);
    EXPECT_EQ(third.ShowMotionSync, 2);
    EXPECT_EQ(third.RATE[1], 0x333);
    EXPECT_EQ(third.profileCountCode, 2);
}

TEST_F(ConfigTest, SensorTableOverrides) {
    struct Case {
        const char* lines;
        std::vector<int> steps;
        std::vector<int> codes;  // leading codes, when checked
        Messages expected;
    };
    const Case cases[] = {
        {"DPIRANGE=100,1000,100\n", {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}, {}, {}},
        {"DPIRANGE=100,1000,100,1200,2000,200\n",
         {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1200, 1400, 1600, 1800, 2000},
         {},
         {}},
        {"DPIRANGE=400,1000,200\nDPIRANGEALIAS=400,401,800,-1\n", {401, 600, 800, 1000}, {}, {}},
        {"DPIRANGE=100,300,100,1000\n", {100, 200, 300}, {}, {}},
        {"DPIRANGE=500,900\n", {500}, {}, {{"Wrong DPIRANGE", "Warning"}}},
        {"DPIRANGE=100,1000,100\nDPISET=1,2\n",
         {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000},
         {},
         {}},
        {"DPISET=400,800,1600\n", {400, 800, 1600}, {1, 2, 3}, {}},
        {"DPISET=400,800,1600\nDPIHW=a,1F\n",
         {400, 800, 1600},
         {0x0A, 0x1F, 0},
         {{"DPISET Num != DPIHW Num", "Warning"}}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(InitDevice("0x3335", std::string(c.lines) + "DPI=" +
                                             std::to_string(c.steps.front()) + "\nDM=1\n"));
        EXPECT_EQ(Steps(0x3335), c.steps) << c.lines;
        const SensorSteps* entry = TheSensorTables().Find(0x3335);
        ASSERT_NE(entry, nullptr);
        for (std::size_t i = 0; i < c.codes.size(); ++i) {
            EXPECT_EQ(entry->code[i], c.codes[i]) << c.lines << " code " << i;
        }
        EXPECT_EQ(messages(), c.expected) << c.lines;
    }

    // A huge range fills the table's slots and stops there.
    ASSERT_TRUE(InitDevice("0x3335", "DPIRANGE=1,4000000000,1\nDPI=1\nDM=1\n"));
    EXPECT_EQ(Steps(0x3335).size(), static_cast<std::size_t>(kMaxSensorSteps));

    ASSERT_TRUE(InitDevice("0x1234", "DPIRANGE=100,200,100\n"));
    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(messages().front(),
              (std::pair<std::string, std::string>{"Can't find sensor", "Warning"}));
}

TEST_F(ConfigTest, DefaultDpiLevelsAndColours) {
    struct Case {
        const char* lines;
        std::vector<int> dpi;  // the first DM values
        Messages expected;
    };
    const Case cases[] = {
        {"DM=3\nDPI=400,800,1600\n", {400, 800, 1600}, {}},
        {"DM=3\nDPI=400,800\n", {800, 1200, 2000}, {{"DPI != DM.", "Warning"}}},
        {"DM=3\nDPI=\n", {800, 1200, 2000}, {}},
        {"DM=2\nDPI=800,850\n", {800, 850}, {{"Wrong default dpi value: 850", "Warning"}}},
        {"DM=2\nDPI=800,1200\nDC=1,2,3,4,5,6\n", {800, 1200}, {}},
        {"DM=2\nDPI=800,1200\nDC=1,2,3\n", {800, 1200}, {{"DC != DM.", "Warning"}}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(InitDevice("0x3325", c.lines));
        const DeviceSection& d = DeviceSectionAt(0);
        EXPECT_EQ(std::vector<int>(d.DPI.begin(), d.DPI.begin() + d.DM), c.dpi) << c.lines;
        EXPECT_EQ(messages(), c.expected) << c.lines;
    }
    // The last two cases: colours given for every level replace the built-in ones.
    ASSERT_TRUE(InitDevice("0x3325", "DM=2\nDPI=800,1200\nDC=1,2,3,4,5,6\n"));
    EXPECT_EQ(DeviceSectionAt(0).DC[1], Rgb(4, 5, 6));
    EXPECT_EQ(DeviceSectionAt(0).DC[2], kBuiltInDpiColours[2]);
}

TEST_F(ConfigTest, OutOfRangeLevelCountsAreClampedToTheLevelArrays) {
    ASSERT_TRUE(InitDevice("0x3325", "DM=40\nDEFLEVEL=12\n"));
    EXPECT_EQ(DeviceSectionAt(0).DM, 8);
    EXPECT_EQ(DeviceSectionAt(0).DEFLEVEL, 7);
    ASSERT_TRUE(InitDevice("0x3325", "DM=-3\nDEFLEVEL=-1\n"));
    EXPECT_EQ(DeviceSectionAt(0).DM, 1);
    EXPECT_EQ(DeviceSectionAt(0).DEFLEVEL, 0);
}

TEST_F(ConfigTest, DpiLimitsAndSleepChoices) {
    ASSERT_TRUE(InitDevice("0x3335", "DpiLimit=1,2,3\nSleepVal=5,abc\n"));
    EXPECT_EQ(messages(), (Messages{{"wrong DpiLimit value", "Warning"}}));
    EXPECT_EQ(DeviceSectionAt(0).DpiLimit[0], (std::array<int, 2>{0, 0}));
    EXPECT_EQ(DeviceSectionAt(0).SleepValCount, 1);
    EXPECT_EQ(DeviceSectionAt(0).SleepVal[0], 5u);

    // Ten pairs may be written; the eight levels keep the first eight.
    ASSERT_TRUE(
        InitDevice("0x3335", "DpiLimit=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20\n"));
    EXPECT_EQ(messages(), Messages{});
    EXPECT_EQ(DeviceSectionAt(0).DpiLimit[7], (std::array<int, 2>{15, 16}));
}

TEST_F(ConfigTest, UnusableSectionsMakeDataInitFail) {
    struct Case {
        const char* lines;
        bool ok;
    };
    const Case cases[] = {
        {"MDNUM=4\n", false}, {"KM=33\n", false},  {"KM=34\n", false}, {"KM=0\n", false},
        {"KM=-2\n", false},   {"MDNUM=3\n", true}, {"KM=32\n", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Init(std::string("[DEV_5]\nSensor=0x3335\n") + c.lines), c.ok) << c.lines;
    }
}

TEST_F(ConfigTest, DefaultKeysFillTheLayersAndTheDefaultMatrix) {
    std::string keys;
    for (int k = 1; k <= 8; ++k)
        keys += "K" + std::to_string(k) + "_1=1," + std::to_string(k) + ",0," + std::to_string(k) +
                "\n";
    ASSERT_TRUE(Init("[DEV_1]\nSensor=0x3335\nKM=16\nDM=1\nDPI=800\n" + keys));
    EXPECT_EQ(messages(), Messages{});
    const DeviceSection& d = DeviceSectionAt(0);
    EXPECT_EQ(d.keys[0][7].dwFunID, 0x01000008u);
    EXPECT_EQ(d.keys[0][7].nMatrixIndex, 8u);
    EXPECT_EQ(d.keys[0][8].dwFunID, 0u);
    for (int set = 1; set < kKeySets; ++set) {
        for (int b = 0; b < kKeysPerSet; ++b) {
            EXPECT_EQ(d.keys[set][b].dwFunID, d.keys[0][b].dwFunID) << set << "/" << b;
        }
    }
    EXPECT_EQ(DefaultKeyMatrix()[2][3].dwFunID, 0x01000004u);

    // A layer with its own entries is taken as given and checked against the key count;
    // an entry without exactly four numbers does not count.
    ASSERT_TRUE(
        Init("[DEV_1]\nSensor=0x3335\nKM=4\nK1_1=1,1,0,1\nK2_1=1,2,0,2\n"
             "K2_2=8,a4,0,2\nK1_2=1,1,0,1,9\nDM=1\nDPI=800\n"
             "[DEV_2]\nSensor=0x3335\nKM=2\nDM=1\nDPI=800\n"));
    EXPECT_EQ(messages(), (Messages{{"Key num to small", "Error"}}));
    EXPECT_EQ(DeviceSectionAt(0).keys[1][0].dwFunID, 0u);
    EXPECT_EQ(DeviceSectionAt(0).keys[1][1].dwParameter, 0x0A03u);
    EXPECT_EQ(DeviceSectionAt(0).keys[2][1].dwFunID, 0x01000002u);
    EXPECT_EQ(DeviceSectionAt(1).keys[0][0].dwFunID, 0u) << "no keys: the layers stay empty";

    SelectDeviceSection(1);
    EXPECT_EQ(&CurrentDevice(), &DeviceSectionAt(1));
    CopyDefaultKeys(CurrentDevice());
    EXPECT_EQ(DefaultKeyMatrix()[0][0].dwFunID, 0u);
    SelectDeviceSection(30);
    EXPECT_EQ(CurrentDeviceIndex(), 1) << "an index past DEV_30 is ignored";
}

TEST_F(ConfigTest, KeyMarksStopAtTheFirstMissingMark) {
    ASSERT_TRUE(InitDevice("0x3335", "Mark1=10,20,30,40\nMark2=1,2,3\nMark4=1,1,1,1\n"));
    EXPECT_EQ(messages(), (Messages{{"Mark value error", "Error"}}));
    const DeviceSection& d = DeviceSectionAt(0);
    EXPECT_EQ(d.marks[0], (Rect{10, 20, 40, 60}));
    EXPECT_TRUE(d.marks[1].IsEmpty());
    EXPECT_TRUE(d.marks[3].IsEmpty()) << "Mark3 is missing, so Mark4 is not read";
}

TEST_F(ConfigTest, RunningDataInitAgainStartsFromAClearedState) {
    ASSERT_TRUE(InitDevice("0x3335", "DPISET=400,800\nDPI=400\nDM=1\n"));
    SelectDeviceSection(4);
    ASSERT_TRUE(Init(""));
    EXPECT_EQ(DeviceSectionAt(0).Sensor, 0);
    EXPECT_EQ(CurrentDeviceIndex(), 0);
    EXPECT_EQ(DefaultKeyMatrix()[0][0].dwFunID, 0u);
    EXPECT_EQ(Steps(0x3335).size(), 160u) << "the sensor tables are rebuilt";
}

TEST_F(ConfigTest, ShippedConfigurationLoadsWithoutMessages) {
    SetMessageSink(&sink_);
    sink_.messages.clear();
    ASSERT_TRUE(DataInit(test::SourceDataDir() + "cfg.ini"));
    EXPECT_EQ(messages(), Messages{});
    const AppOptions& o = Options();
    EXPECT_FALSE(o.appdir.empty());
    EXPECT_FALSE(o.Title.empty());
    EXPECT_FALSE(o.PID.empty());
    ASSERT_GE(o.languages.size(), 2u);
    EXPECT_EQ(o.languages[0].folder, "en");
    EXPECT_EQ(o.languages[1].folder, "de");

    for (int i : {0, 1}) {
        const DeviceSection& d = DeviceSectionAt(i);
        SCOPED_TRACE(i);
        EXPECT_NE(d.Sensor, 0);
        EXPECT_NE(d.CID, 0);
        EXPECT_GT(d.keyCount, 4);
        bool leftClick = false;
        for (int b = 0; b < d.keyCount; ++b) {
            EXPECT_NE(d.keys[0][b].nMatrixIndex, 0u) << "button " << b;
            EXPECT_FALSE(d.marks[b].IsEmpty()) << "button " << b;
            leftClick = leftClick || d.keys[0][b].dwFunID == 0x01000011u;
        }
        EXPECT_TRUE(leftClick);
    }
    EXPECT_NE(DeviceSectionAt(0).Sensor, DeviceSectionAt(1).Sensor);
    EXPECT_EQ(DeviceSectionAt(2).Sensor, 0);
}

}  // namespace
}  // namespace vantor
