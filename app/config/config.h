// The program's configuration, read once from cfg.ini at start-up: section OPT into
// AppOptions and sections DEV_1 to DEV_30 into DeviceSection records, plus what data
// initialisation derives from them (sensor table overrides, the default key matrix and the
// macro limits). Field names are the cfg.ini key names. The records start cleared (all
// zero); the readers fill every key with its value or its default.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/config_values.h"
#include "keys/key_assignment.h"
#include "profile/profile_record.h"
#include "profile/sensor_tables.h"

namespace vantor {

constexpr int kDeviceSectionCount = 30;
constexpr int kMaxLanguages = 10;
constexpr int kMaxDpiLevels = 8;
constexpr int kLedOptionCount = 7;

using KeyLayers = std::array<std::array<KeyAssignment, kKeysPerSet>, kKeySets>;

struct LanguageEntry {
    std::string name;    // at most 29 characters
    std::string folder;  // at most 29 characters
};

// One lighting option LedOpt<n>: five option numbers P1..P5 and seven colours.
struct LedOption {
    bool present = false;
    std::array<std::uint8_t, 5> param{};
    std::array<std::uint32_t, 7> colour{};
};

struct AppOptions {
    // Steer the built-in sensor DPI tables.
    int Sensor3325Setp200 = 0;  // key "3325Setp200"
    int Sensor9000Max = 0;
    int Sensor3395Max = 0;

    int Debug = 0;
    int Suwnd = 0;
    int ApplyNow = 0;
    int BtnTips = 0;
    int MenuItems = 0;
    int TipForDebounce = 0;
    int OldAdvDlg = 0;
    int EnhancePrecision = 0;
    int Debounce = 0;
    int DebounceRange = 0;
    int ShowWelcome = 0;
    int ShowProfile = 0;
    int ComboRec = 0;
    int FontSize = 0;
    int ShowPower = 0;
    int ShowPowerSecondRead = 0;  // the key read again with default 1; nothing uses it
    int SyncChangeDpiLevel = 0;
    int ShowMacro = 0;
    int NoMatchPID = 0;
    int MinDelay = 0;
    int MacroDir = 0;
    int MacroOptX = 0;
    int MacroHasMsKey = 0;
    int ListTrans = 0;
    int InsertBefore = 0;
    int MinUIDelay = 0;
    std::uint16_t VID = 0;
    std::vector<std::uint32_t> PID;   // up to 10
    std::vector<std::uint32_t> PID2;  // up to 10
    std::string FontName;             // at most 29 characters
    std::string USBString;            // at most 29 characters
    std::string appdir;               // at most 29 characters
    std::string Title;                // at most 39 characters
    int Sensor = 0;
    int Pop = 0;
    int TrayIcon = 0;
    int GoWithNoDev = 0;
    int ExitType = 0;
    int ShowSys = 0;
    int ShowProSw = 0;
    int ShowFireKey = 0;
    int KeyMask = 0;
    int UIDebug = 0;
    int ShowFWUpdate = 0;
    int ShowMotionSync = 0;
    int Retry = 0;
    int ProSwitchEnable = 0;
    int InitOnReset = 0;
    std::array<int, 3> ComboName{};  // ComboName1..3
    int BarY = 0;
    int DpiBarY = 0;
    int DpiSliderY = 0;
    int ScaleY = 0;
    int SliderY = 0;
    int MenuW = 0;
    int NaviW = 0;
    int RateVSp = 0;
    std::array<LedOption, kLedOptionCount> LedOpt{};  // LedOpt1..7
    std::array<std::uint8_t, 4> PowerCritical{};
    std::array<std::uint8_t, 6> LEDParam{};

    // Colours.
    std::uint32_t Txt_clr = 0;
    std::uint32_t Btn_txt_clr_nr = 0;
    std::uint32_t Btn_txt_clr_ov = 0;
    std::uint32_t Btn_txt_clr_dn = 0;
    std::uint32_t Menu_txt_clr_nr = 0;
    std::uint32_t Menu_txt_clr_ov = 0;
    std::uint32_t Menu_txt_clr_dn = 0;
    std::uint32_t LstBox_txt_clr_nr = 0;
    std::uint32_t LstBox_txt_clr_dn = 0;
    std::uint32_t LstBox_bkg_clr = 0;
    std::uint32_t LstBox_item_clr = 0;
    std::uint32_t clrEdit = 0;
    std::uint32_t clrMask = 0;
    std::uint32_t clrDpiMark = 0;
    std::uint32_t clrMaskDialog = 0;
    std::uint32_t clrTxtLedDlg = 0;  // defaults to Txt_clr
    std::uint32_t clrTxtAdvDlg = 0;  // defaults to Txt_clr
    std::uint32_t clrMacFrame = 0;

    // Positions.
    Point ptMin{};
    Point ptApply{};
    Point ptNavi{};
    Point ptKey{};
    Point ptMoveSpeed{};
    Point ptScrollSpeed{};
    Point ptDbClickSpeed{};
    Point ptPower{};
    Point ptProfile{};
    Point ptDpiBar{};
    Point ptDpiEft{};
    Point ptDpiLight{};
    Point ptDpiSpeed{};
    Point ptLedEft{};
    Point ptLight{};
    Point ptSpeed{};
    Point ptGradit{};
    Point ptResult{};
    Point ptRGBEdit{};
    Point ptLightOffOnMoving{};
    Point ptSleep{};
    Point ptGrid{};
    Point ptRecord{};

    // Rectangles; all zero = none.
    Rect rcMacroList{};
    Rect rcKeyList{};
    Rect rcSupprotBtn{};
    Rect rcHomePageBtn{};
    Rect rcSys{};
    Rect rcSubDlg{};

    // Lang1..Lang10 up to the first empty, nameless or bad one.
    std::vector<LanguageEntry> languages;
};

struct DeviceSection {
    int Sensor = 0;  // 0: section not used
    int CID = 0;
    int MID = 0;
    std::string Name;  // the model's name for the user, at most 39 characters; may be empty
    Point ptMark{};
    Point ptLedMark{};
    Point ptSensorMode{};
    Point ptRipple{};  // 0,0 becomes 818,160 with OldAdvDlg, else 788,435
    Point ptFixLine{};
    std::array<int, 4> RATE{};  // RATE1..4
    int DR = 0;
    int ShowLOD = 0;
    int ShowUsbRate = 0;
    int ShowRipple = 0;
    int ShowFixLine = 0;
    int ShowMainEffect = 0;
    int ShowLogoEffect = 0;
    int ShowDebounce = 0;
    int Debounce = 0;
    int ShowXY = 0;
    int ShowRGBSw = 0;
    int DpiMenuMask = 0;
    int DpiUILevels = 0;
    int SetDPIByClick = 0;
    int ShowSleep = 0;
    int ShowAutoSleep = 0;
    int ShowMotionSync = 0;  // 0 takes the OPT value
    int DpiLEDMode = 0;      // 0x030502 when the key is 0
    int LedMask = 0;
    int LightParam = 0;
    int SleepTime = 0;
    int SleepTimeCheck = 0;
    std::array<std::uint32_t, 12> SleepVal{};  // seconds; SleepValCount are used
    int SleepValCount = 0;
    int DpiColorReadOnly = 0;
    int ShowDpiColor = 0;
    int ShowDpiLED = 0;
    int ShowDpi = 0;                                           // 0 also clears ShowDpiLED
    std::array<int, 3> ExKey{};                                // ExKey1..3; 0 ends the list
    std::array<std::array<int, 2>, kMaxDpiLevels> DpiLimit{};  // min,max per level
    int DM = 0;                                                // number of DPI levels, 1..8
    int DPIH = 0;      // extra row spacing of the DPI level rows
    int DEFLEVEL = 0;  // default DPI level, 0-based, below DM
    std::array<int, kMaxDpiLevels> DPI{};
    std::array<std::uint32_t, kMaxDpiLevels> DC{};  // default DPI colours
    int KEYH = 0;
    int MDNUM = 0;
    int profileCountCode = 0;  // MDNUM 3, 6, 9 -> 1, 2, 3
    int KM = 0;
    int keyCount = 0;                       // KM / 2
    KeyLayers keys{};                       // K<k>_<m>
    std::array<Rect, kKeysPerSet> marks{};  // Mark1..16, right = x + w, bottom = y + h
};

// Macro editor and hardware macro limits.
struct MacroLimits {
    int minDelay = 10;  // MinDelay
    int maxDelay = 65535;
    int maxEvents = 70;
    int slotBytes = 384;
    int unused16 = 16;
    int unused255 = 255;
};

// The eight colours a device section starts from when DC does not replace them.
extern const std::array<std::uint32_t, kMaxDpiLevels> kBuiltInDpiColours;

// Clears the configuration, builds the sensor tables and reads `cfgPath` (a missing file
// gives the defaults). False when a device section is unusable (MDNUM not 3, 6 or 9; KM odd
// or KM / 2 outside 1..16). May be run again; every run starts from a cleared state.
[[nodiscard]] bool DataInit(const std::string& cfgPath);
// Why the last DataInit failed: the file, the section and the key; empty after a success.
const std::string& DataInitError();

// After DataInit the configuration is read-only: every thread may read it, none may change
// it, so it is handed out as const views only.
const AppOptions& Options();
// Index 0..29 for DEV_1..DEV_30; an index outside that range gives DEV_1.
const DeviceSection& DeviceSectionAt(int index);
const DeviceSection& CurrentDevice();
int CurrentDeviceIndex();
// Makes DEV_<index + 1> current; an index outside 0..29 is ignored. Only the thread that owns
// the windows calls it (when it takes a found mouse, whose section the "mouse found" message
// carries, or reads CID.dct), so every read on that thread sees one model throughout.
void SelectDeviceSection(int index);

// The profile model's default key matrix: the key layers of the section whose profile file
// was loaded last.
const KeyLayers& DefaultKeyMatrix();
// Replaces the default key matrix with `section`'s layers. Only the loading of the profile
// file (on the window thread) and data initialisation call it; threads that need the matrix
// take it with the codec context when their work is handed to them.
void CopyDefaultKeys(const DeviceSection& section);

const MacroLimits& CurrentMacroLimits();

// Readers used by DataInit, public for tests and the fuzzer; they show the configuration
// messages through ShowSystemMessage.
SensorTableOptions ReadSensorTableOptions(const IniFile& ini);
AppOptions ReadOptions(const IniFile& ini);
std::vector<LanguageEntry> ReadLanguages(const IniFile& ini);
// Reads DEV_<number>; false when the section makes data initialisation fail, with the key
// and why in `error` ("[DEV_1] MDNUM=4 is not 3, 6 or 9").
[[nodiscard]] bool ReadDeviceSection(const IniFile& ini, int number, const AppOptions& options,
                                     DeviceSection& section, std::string* error = nullptr);

// Every parsed value of a record as its cfg.ini key and a text, in reading order; shows how a
// cfg.ini was understood (the command-line tool prints it).
using ConfigValueVisitor = std::function<void(std::string_view key, const std::string& value)>;
void DescribeOptions(const AppOptions& options, const ConfigValueVisitor& visit);
void DescribeDeviceSection(const DeviceSection& section, const ConfigValueVisitor& visit);

}  // namespace vantor
