// What the DPI and performance page edits, free of the toolkit: the values its controls
// show (as the profile record holds them), the change each control makes and the write it
// asks for, the slider stops and the nearest-stop rule.
//
// The page keeps a PerformanceValues loaded from the record and changes it only through the
// actions below, so a record value that is not one of a slider's stops is shown at the
// nearest stop but stored back unchanged until the user moves that control.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/config/config.h"
#include "profile/profile_record.h"

namespace vantor {

// A write the apply worker is asked for: SetProfile flag word and index.
struct PerfRequest {
    std::uint32_t flags = 0;
    int index = 0;
    bool operator==(const PerfRequest&) const = default;
};

// Which of the record's optional settings the page has (from the device section).
struct PerformanceShown {
    bool liftOff = false;
    bool motionSync = false;
    bool sensorMode = false;
    bool pointer = false;  // the older page's desktop pointer section (ShowSys)
};

// The optional settings of a device section; `pointer` is for the older layout's section.
PerformanceShown ShownForDevice(const DeviceSection& section, bool pointer);

// The values of the page's controls in the record's units.
struct PerformanceValues {
    int levels = 1;  // nDpiLevels
    bool xy = false;
    std::array<int, kDpiLevels> dpiX{};
    std::array<int, kDpiLevels> dpiY{};
    std::array<std::uint32_t, kDpiLevels> color{};
    std::uint32_t reportRate = 0;  // 0x125 ... 0x1000; another value: no button is on
    int lod = 0;                   // 1 or 2; another value: neither button is on
    bool ripple = false;
    bool fixLine = false;
    bool motionSync = false;
    int sensorMode = 0;  // 1 HP, 0 LP
    int effectMode = 0;  // 0 off, 1, 2
    int effectLight = 1;
    int effectSpeed = 1;
    // Desktop pointer settings (stSys); nMouseTrails is never changed by the page.
    int mouseSpeed = 10;
    int doubleClickTime = 550;
    bool enhancePrecision = false;
    bool oneScreenPerNotch = false;  // nWheelLines -1
    int wheelLines = 3;              // the scroll slider (3 while one screen per notch)
};

PerformanceValues LoadPerformanceValues(const ProfileFile& record);
// Writes the values into `record`; the settings the device does not show stay as they are.
void StorePerformanceValues(const PerformanceValues& values, const PerformanceShown& shown,
                            ProfileFile& record);

// Report-rate buttons from top (left) to bottom (right).
inline constexpr std::array<std::uint32_t, 4> kRateButtonCodes = {0x125, 0x250, 0x500, 0x1000};
inline constexpr std::array<int, 4> kRateButtonHz = {125, 250, 500, 1000};
// The button of a record rate; -1 for any other value.
int RateButtonOfRecord(std::uint32_t reportRate);
// The button of a rate the mouse reports (1 = 1000 Hz, 2 = 500, 4 = 250, 8 = 125); -1 else.
int RateButtonOfDeviceCode(std::uint64_t code);

// Stops of the DPI light sliders.
constexpr int kDpiLightSteps = 10;
constexpr int kDpiSpeedSteps = 5;

// Stops of the desktop pointer sliders.
inline constexpr std::array<int, 11> kPointerSpeedStops = {1, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20};
inline constexpr std::array<int, 10> kWheelLineStops = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
inline constexpr std::array<int, 11> kDoubleClickStops = {900, 830, 760, 690, 620, 550,
                                                          480, 410, 340, 270, 200};
constexpr int kOneScreenPerNotch = -1;  // nWheelLines
constexpr int kWheelLinesShownForOneScreen = 3;

// Index of the stop nearest to `value`: an exact match wins, else the smallest distance,
// the earlier stop on a tie; -1 when there are no stops.
int NearestStopIndex(std::span<const int> stops, int value);
// Centres of `count` stops spread evenly along a track, the thumb kept inside it. Unlike the
// sliders' even scale this accepts more stops than pixels (a long DPI list on a short row):
// several stops then share a pixel and a drag steps over some of them.
std::vector<int> SpreadStopPositions(int trackWidth, int thumbWidth, int count);
// The sensor's DPI list as slider stops.
std::vector<int> DpiStops(std::span<const std::uint16_t> steps);

// Prompt of the typed DPI value: `rangeText` (tc_dpirange) when it is not empty, else
// "<dpiText>   (<first> ~ <last>)".
std::string DpiInputPrompt(std::string_view rangeText, std::string_view dpiText, int first,
                           int last);

// The page's values with the change of every control. Each action changes the values and
// returns the write it asks for; nothing when it changes nothing that is written.
class PerformanceEditor {
  public:
    void Load(const ProfileFile& record) { values_ = LoadPerformanceValues(record); }
    const PerformanceValues& Values() const { return values_; }
    PerformanceValues& MutableValues() { return values_; }

    // Level count 1 ... `deviceLevels`; with `syncCurrent` level 1 becomes current too
    // (the caller makes it current).
    std::optional<PerfRequest> SetLevelCount(int count, int deviceLevels, bool syncCurrent);
    // X/Y apart on or off; off puts every Y on its X.
    PerfRequest SetSeparateXY(bool on);
    // A level's X (axis 0) or Y (axis 1) resolution; Y does nothing while X/Y is off, and
    // X moves Y with it then.
    std::optional<PerfRequest> SetLevelDpi(int level, int axis, int dpi);
    // A typed value: 0 does nothing, any other value takes the nearest of `stops`.
    std::optional<PerfRequest> TypeLevelDpi(int level, int axis, int typed,
                                            std::span<const int> stops);
    std::optional<PerfRequest> SetLevelColor(int level, std::uint32_t color);
    // The current level chosen on the page (written from g_nCurDpiLevel by the worker).
    std::optional<PerfRequest> ChooseCurrentLevel(int level) const;
    std::optional<PerfRequest> SetRateButton(int button);
    std::optional<PerfRequest> SetLiftOff(int lod);
    PerfRequest SetRipple(bool on);
    PerfRequest SetAngleSnapping(bool on);
    PerfRequest SetMotionSync(bool on);
    PerfRequest SetSensorMode(bool highPerformance);
    std::optional<PerfRequest> SetDpiEffect(int mode);
    // Brightness 1-10 and speed 1-5 of the DPI light; nothing while its effect is off.
    std::optional<PerfRequest> SetDpiLight(int light);
    std::optional<PerfRequest> SetDpiSpeed(int speed);

    // Desktop pointer settings of the older page.
    std::optional<PerfRequest> SetPointerSpeed(int speed);
    std::optional<PerfRequest> SetWheelLines(int lines);
    PerfRequest SetOneScreenPerNotch(bool on);
    std::optional<PerfRequest> SetDoubleClickTime(int ms);
    PerfRequest SetEnhancePrecision(bool on);

  private:
    static bool ValidLevel(int level) { return level >= 0 && level < kDpiLevels; }

    PerformanceValues values_;
};

}  // namespace vantor
