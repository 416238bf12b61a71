#include "app/store/profile_defaults.h"

#include <cstddef>

namespace vantor {

ProfileDefaults MakeProfileDefaults(const DeviceSection& section, const AppOptions& options,
                                    const KeyLayers& keyLayers) {
    ProfileDefaults d;
    d.keyLayers = keyLayers;
    d.reportRate = static_cast<std::uint32_t>(section.DR);
    d.dpiLevelCount = section.DM;
    d.dpiUiLevels = section.DpiUILevels;
    for (std::size_t i = 0; i < static_cast<std::size_t>(kDpiLevels); ++i) {
        d.dpi[i] = section.DPI[i];
        // DC holds window-system colours (red lowest); the defaults want the three bytes.
        for (std::size_t c = 0; c < 3; ++c) {
            d.dpiColors[3 * i + c] = static_cast<std::uint8_t>(section.DC[i] >> (8 * c));
        }
    }
    d.sensor = static_cast<std::uint32_t>(section.Sensor);
    d.showLod = section.ShowLOD;
    d.sleepTime = section.SleepTime;
    d.sleepTimeCheck = section.SleepTimeCheck;
    d.deviceDebounce = section.Debounce;
    d.generalDebounce = options.Debounce;
    d.enhancePrecision = options.EnhancePrecision;
    d.dpiLedMode = static_cast<std::uint32_t>(section.DpiLEDMode);
    d.ledParam = options.LEDParam;
    return d;
}

}  // namespace vantor
