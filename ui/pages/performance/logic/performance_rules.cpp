#include "ui/pages/performance/logic/performance_rules.h"

#include <algorithm>
#include <cstdlib>

#include "profile/report_rate.h"
#include "profile/set_flags.h"

namespace vantor {
namespace {

bool OnStops(std::span<const int> stops, int value) {
    return std::find(stops.begin(), stops.end(), value) != stops.end();
}

}  // namespace

PerformanceShown ShownForDevice(const DeviceSection& section, bool pointer) {
    PerformanceShown shown;
    shown.liftOff = section.ShowLOD != 0;
    shown.motionSync = section.ShowMotionSync != 0;
    shown.sensorMode = section.ptSensorMode != Point{};
    shown.pointer = pointer;
    return shown;
}

PerformanceValues LoadPerformanceValues(const ProfileFile& record) {
    PerformanceValues v;
    v.levels = record.nDpiLevels;
    v.xy = record.bDpiXY != 0;
    for (int i = 0; i < kDpiLevels; ++i) {
        v.dpiX[static_cast<std::size_t>(i)] = static_cast<int>(record.Dpi[i].dwDpi);
        v.dpiY[static_cast<std::size_t>(i)] = static_cast<int>(record.Dpi[i].dwDpiY);
        v.color[static_cast<std::size_t>(i)] = record.Dpi[i].dwColor;
    }
    v.reportRate = record.dwReportRate;
    v.lod = record.nLOD;
    v.ripple = record.nRipple != 0;
    v.fixLine = record.nFixLine != 0;
    v.motionSync = record.bMotionSync != 0;
    v.sensorMode = record.nSensorMode;
    v.effectMode = static_cast<int>(record.stDpiEffect.nMode);
    v.effectLight = static_cast<int>(record.stDpiEffect.nLight);
    v.effectSpeed = static_cast<int>(record.stDpiEffect.nSpeed);
    v.mouseSpeed = record.stSys.nMouseSpeed;
    v.doubleClickTime = record.stSys.nDoubleClickTime;
    v.enhancePrecision = record.stSys.bEnhancePrecision != 0;
    v.oneScreenPerNotch = record.stSys.nWheelLines == kOneScreenPerNotch;
    v.wheelLines = v.oneScreenPerNotch ? kWheelLinesShownForOneScreen
                                       : static_cast<int>(record.stSys.nWheelLines);
    return v;
}

void StorePerformanceValues(const PerformanceValues& v, const PerformanceShown& shown,
                            ProfileFile& record) {
    record.nDpiLevels = v.levels;
    record.bDpiXY = v.xy ? 1 : 0;
    for (int i = 0; i < kDpiLevels; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        record.Dpi[i].dwDpi = static_cast<std::uint32_t>(v.dpiX[at]);
        record.Dpi[i].dwDpiY = static_cast<std::uint32_t>(v.xy ? v.dpiY[at] : v.dpiX[at]);
        record.Dpi[i].dwColor = v.color[at];
    }
    record.stDpiEffect.nMode = static_cast<std::uint32_t>(v.effectMode);
    record.stDpiEffect.nLight = static_cast<std::uint32_t>(v.effectLight);
    record.stDpiEffect.nSpeed = static_cast<std::uint32_t>(v.effectSpeed);
    if (shown.liftOff && (v.lod == 1 || v.lod == 2)) record.nLOD = v.lod;
    record.nRipple = v.ripple ? 1 : 0;
    record.nFixLine = v.fixLine ? 1 : 0;
    if (shown.motionSync) record.bMotionSync = v.motionSync ? 1 : 0;
    if (RateButtonOfRecord(v.reportRate) >= 0) record.dwReportRate = v.reportRate;
    if (shown.sensorMode) record.nSensorMode = v.sensorMode == 1 ? 1 : 0;
    if (shown.pointer) {
        record.stSys.bEnhancePrecision = v.enhancePrecision ? 1 : 0;
        record.stSys.nMouseSpeed = v.mouseSpeed;
        record.stSys.nDoubleClickTime = v.doubleClickTime;
        record.stSys.nWheelLines = v.oneScreenPerNotch ? kOneScreenPerNotch : v.wheelLines;
    }
}

int RateButtonOfRecord(std::uint32_t reportRate) {
    const auto* it = std::find(kRateButtonCodes.begin(), kRateButtonCodes.end(), reportRate);
    return it == kRateButtonCodes.end() ? -1 : static_cast<int>(it - kRateButtonCodes.begin());
}

int RateButtonOfDeviceCode(std::uint64_t code) {
    const std::optional<std::uint32_t> record = ReportRateFromCode(code);
    return record ? RateButtonOfRecord(*record) : -1;
}

int NearestStopIndex(std::span<const int> stops, int value) {
    int best = -1;
    long long bestDistance = 0;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        const long long distance = std::llabs(static_cast<long long>(stops[i]) - value);
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

std::vector<int> SpreadStopPositions(int trackWidth, int thumbWidth, int count) {
    std::vector<int> positions;
    if (count <= 0) return positions;
    const long long span = std::max(trackWidth - thumbWidth, 0);
    positions.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const long long offset = count == 1 ? 0 : i * span / (count - 1);
        positions.push_back(static_cast<int>(thumbWidth / 2 + offset));
    }
    return positions;
}

std::vector<int> DpiStops(std::span<const std::uint16_t> steps) {
    return std::vector<int>(steps.begin(), steps.end());
}

std::string DpiInputPrompt(std::string_view rangeText, std::string_view dpiText, int first,
                           int last) {
    if (!rangeText.empty()) return std::string(rangeText);
    return std::string(dpiText) + "   (" + std::to_string(first) + " ~ " + std::to_string(last) +
           ")";
}

std::optional<PerfRequest> PerformanceEditor::SetLevelCount(int count, int deviceLevels,
                                                            bool syncCurrent) {
    if (count < 1 || count > std::min(deviceLevels, kDpiLevels)) return std::nullopt;
    values_.levels = count;
    return PerfRequest{SET_DPI_NUM | (syncCurrent ? SET_CUR_DPI : 0u), 0};
}

PerfRequest PerformanceEditor::SetSeparateXY(bool on) {
    values_.xy = on;
    if (!on) values_.dpiY = values_.dpiX;
    return {SET_DPI, kSetIndexAll};
}

std::optional<PerfRequest> PerformanceEditor::SetLevelDpi(int level, int axis, int dpi) {
    if (!ValidLevel(level) || dpi <= 0) return std::nullopt;
    const std::size_t at = static_cast<std::size_t>(level);
    if (axis == 1) {
        if (!values_.xy) return std::nullopt;
        values_.dpiY[at] = dpi;
    } else {
        values_.dpiX[at] = dpi;
        if (!values_.xy) values_.dpiY[at] = dpi;
    }
    return PerfRequest{SET_DPI, level};
}

std::optional<PerfRequest> PerformanceEditor::TypeLevelDpi(int level, int axis, int typed,
                                                           std::span<const int> stops) {
    if (typed == 0) return std::nullopt;
    const int nearest = NearestStopIndex(stops, typed);
    if (nearest < 0) return std::nullopt;
    if (axis == 1 && !values_.xy) return std::nullopt;
    return SetLevelDpi(level, axis, stops[static_cast<std::size_t>(nearest)]);
}

std::optional<PerfRequest> PerformanceEditor::SetLevelColor(int level, std::uint32_t color) {
    if (!ValidLevel(level)) return std::nullopt;
    values_.color[static_cast<std::size_t>(level)] = color & 0xFFFFFFu;
    return PerfRequest{SET_DPI_COLOR, level};
}

std::optional<PerfRequest> PerformanceEditor::ChooseCurrentLevel(int level) const {
    if (!ValidLevel(level) || level >= values_.levels) return std::nullopt;
    return PerfRequest{SET_CUR_DPI, 0};
}

std::optional<PerfRequest> PerformanceEditor::SetRateButton(int button) {
    if (button < 0 || button >= static_cast<int>(kRateButtonCodes.size())) return std::nullopt;
    values_.reportRate = kRateButtonCodes[static_cast<std::size_t>(button)];
    return PerfRequest{SET_RATE, 0};
}

std::optional<PerfRequest> PerformanceEditor::SetLiftOff(int lod) {
    if (lod != 1 && lod != 2) return std::nullopt;
    values_.lod = lod;
    return PerfRequest{SET_LOD, 0};
}

PerfRequest PerformanceEditor::SetRipple(bool on) {
    values_.ripple = on;
    return {SET_RIPPLE, 0};
}

PerfRequest PerformanceEditor::SetAngleSnapping(bool on) {
    values_.fixLine = on;
    return {SET_FIXLINE, 0};
}

PerfRequest PerformanceEditor::SetMotionSync(bool on) {
    values_.motionSync = on;
    return {SET_MOTIONSYNC, 0};
}

PerfRequest PerformanceEditor::SetSensorMode(bool highPerformance) {
    values_.sensorMode = highPerformance ? 1 : 0;
    return {SET_SENSORMODE, 0};
}

std::optional<PerfRequest> PerformanceEditor::SetDpiEffect(int mode) {
    if (mode < 0 || mode > 2) return std::nullopt;
    values_.effectMode = mode;
    return PerfRequest{SET_LED, kLedPartDpiEffect};
}

std::optional<PerfRequest> PerformanceEditor::SetDpiLight(int light) {
    if (values_.effectMode == 0 || light < 1 || light > kDpiLightSteps) return std::nullopt;
    values_.effectLight = light;
    return PerfRequest{SET_LED, kLedPartDpiEffect};
}

std::optional<PerfRequest> PerformanceEditor::SetDpiSpeed(int speed) {
    if (values_.effectMode == 0 || speed < 1 || speed > kDpiSpeedSteps) return std::nullopt;
    values_.effectSpeed = speed;
    return PerfRequest{SET_LED, kLedPartDpiEffect};
}

std::optional<PerfRequest> PerformanceEditor::SetPointerSpeed(int speed) {
    if (!OnStops(kPointerSpeedStops, speed)) return std::nullopt;
    values_.mouseSpeed = speed;
    return PerfRequest{SET_SYS, 0};
}

std::optional<PerfRequest> PerformanceEditor::SetWheelLines(int lines) {
    if (!OnStops(kWheelLineStops, lines)) return std::nullopt;
    values_.wheelLines = lines;
    return PerfRequest{SET_SYS, 0};
}

PerfRequest PerformanceEditor::SetOneScreenPerNotch(bool on) {
    values_.oneScreenPerNotch = on;
    return {SET_SYS, 0};
}

std::optional<PerfRequest> PerformanceEditor::SetDoubleClickTime(int ms) {
    if (!OnStops(kDoubleClickStops, ms)) return std::nullopt;
    values_.doubleClickTime = ms;
    return PerfRequest{SET_SYS, 0};
}

PerfRequest PerformanceEditor::SetEnhancePrecision(bool on) {
    values_.enhancePrecision = on;
    return {SET_SYS, 0};
}

}  // namespace vantor
