// The process-wide configuration and data initialisation, which fills it from cfg.ini.
#include <atomic>
#include <string>

#include "app/config/config.h"
#include "base/log.h"
#include "base/skin_style.h"
#include "platform/paths.h"
#include "profile/sensor_tables.h"

namespace vantor {
namespace {

struct ConfigState {
    AppOptions options;
    std::array<DeviceSection, kDeviceSectionCount> devices{};
    KeyLayers defaultKeys{};
    MacroLimits macroLimits;
    std::string initError;
};

ConfigState& State() {
    static ConfigState state;
    return state;
}

// Changed only by the thread that owns the windows (see SelectDeviceSection).
std::atomic<int> g_currentSection{0};

// Log.txt on the desktop; without a desktop folder, in the user's data folder. That folder
// (with any missing parents) is made here when the log will be written, so that the first
// run logs too (start-up would create it only after the log is set up).
std::string LogFilePathForUser(const IniFile& ini, int level) {
    const std::string desktop = DesktopDir();
    if (!desktop.empty()) return desktop + "Log.txt";
    const std::string dataDir = DataDirFor(ReadTextValue(ini, "OPT", "appdir", 30));
    // A folder that cannot be made is reported by the log set-up, which then cannot open
    // the file ("Open Log failed").
    if (level >= 2) (void)MakeDirectoryPath(dataDir);
    return dataDir + "Log.txt";
}

// The skinned controls' colours and switches, as the configuration sets them.
SkinStyle SkinStyleFromOptions(const AppOptions& options) {
    SkinStyle style;
    style.buttonTextNormal = options.Btn_txt_clr_nr;
    style.buttonTextHover = options.Btn_txt_clr_ov;
    style.buttonTextPressed = options.Btn_txt_clr_dn;
    style.menuTextNormal = options.Menu_txt_clr_nr;
    style.menuTextHover = options.Menu_txt_clr_ov;
    style.menuTextPressed = options.Menu_txt_clr_dn;
    style.popupMaskColour = options.clrMaskDialog;
    style.debugFrames = options.UIDebug != 0;
    style.buttonTips = options.BtnTips != 0;
    return style;
}

}  // namespace

bool DataInit(const std::string& cfgPath) {
    ConfigState& state = State();
    state = ConfigState{};
    int readError = 0;
    const IniFile ini = IniFile::Load(cfgPath, &readError);
    // Without a readable cfg.ini or its appdir the program would have no data folder and
    // would put its files straight into the user's data home.
    if (readError != 0) {
        state.initError = DescribeReadError(cfgPath, readError);
        return false;
    }
    if (ini.empty()) {
        state.initError = cfgPath + " is empty or has no sections";
        return false;
    }

    TheSensorTables().Build(ReadSensorTableOptions(ini));

    const int logLevel = ini.GetInt("OPT", "Debug", 0);
    LogSetup(logLevel, LogFilePathForUser(ini, logLevel));
    state.options = ReadOptions(ini);
    if (state.options.appdir.empty()) {
        state.initError =
            cfgPath + ": appdir in section [OPT] is empty, so there is no data folder";
        return false;
    }
    state.options.languages = ReadLanguages(ini);
    SetSkinStyle(SkinStyleFromOptions(state.options));

    for (int i = 0; i < kDeviceSectionCount; ++i) {
        std::string error;
        if (!ReadDeviceSection(ini, i + 1, state.options, state.devices[i], &error)) {
            state.initError = cfgPath + ": " + error;
            return false;
        }
    }
    g_currentSection.store(0);
    CopyDefaultKeys(state.devices[0]);

    state.macroLimits = MacroLimits{};
    state.macroLimits.minDelay = state.options.MinDelay;
    return true;
}

const std::string& DataInitError() {
    return State().initError;
}

const AppOptions& Options() {
    return State().options;
}

const DeviceSection& DeviceSectionAt(int index) {
    if (index < 0 || index >= kDeviceSectionCount) index = 0;
    return State().devices[index];
}

const DeviceSection& CurrentDevice() {
    return State().devices[g_currentSection.load()];
}

int CurrentDeviceIndex() {
    return g_currentSection.load();
}

void SelectDeviceSection(int index) {
    if (index >= 0 && index < kDeviceSectionCount) g_currentSection.store(index);
}

const KeyLayers& DefaultKeyMatrix() {
    return State().defaultKeys;
}

void CopyDefaultKeys(const DeviceSection& section) {
    State().defaultKeys = section.keys;
}

const MacroLimits& CurrentMacroLimits() {
    return State().macroLimits;
}

}  // namespace vantor
