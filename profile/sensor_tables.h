// DPI step lists of the supported sensors and the conversions between a DPI value and the
// sensor's hardware code plus multiplier flags.
//
// The tables are built once at start-up (BuildSensorTables) and then only altered by the
// per-device overrides of the configuration (DPIRANGE, DPISET, DPIHW, applied through
// FindSensorSteps). Every function takes the sensor id explicitly; callers pass the sensor
// of the current device section.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace vantor {

constexpr int kMaxSensorEntries = 30;
constexpr int kMaxSensorSteps = 650;

struct SensorSteps {
    std::uint16_t sensorId = 0;                        // 0 = free entry
    int count = 0;                                     // number of steps, at most kMaxSensorSteps
    std::array<std::uint16_t, kMaxSensorSteps> dpi{};  // ascending DPI values
    std::array<std::uint8_t, kMaxSensorSteps> code{};  // hardware code per value
};

struct SensorTableOptions {
    bool sensor3325Step200 = false;  // OPT 3325Setp200
    int sensor9000Max = 12000;       // OPT Sensor9000Max
    int sensor3395Max = 32000;       // OPT Sensor3395Max
};

class SensorTables {
  public:
    // Clears every entry and builds the built-in step lists in their fixed order.
    void Build(const SensorTableOptions& options);

    // The first entry of the sensor, or null when it has none (also for sensor 0).
    SensorSteps* Find(std::uint32_t sensor);
    const SensorSteps* Find(std::uint32_t sensor) const;

    // DPI of a hardware code with the 2-bit multiplier field; 0 when the code has no value.
    // Codes are up to 12 bits wide (a DPI entry holds code bits 8-11 beside the low byte).
    int DpiFromCode(std::uint32_t sensor, std::uint16_t code, std::uint8_t flags) const;
    // Hardware code of a DPI value, 0 when it has none; `flags` receives the multiplier
    // value to store (may be 17 or 34 for sensor 0x9000, see the DPI entry packing).
    std::uint16_t CodeFromDpi(std::uint32_t sensor, int dpi, std::uint8_t* flags = nullptr) const;
    // Index of the value in the step list; -1 when absent or the sensor has no entry.
    int DpiStepIndex(std::uint32_t sensor, int dpi) const;
    // Value at the index; -1 when the index is out of range or the sensor has no entry.
    int DpiAtStep(std::uint32_t sensor, int index) const;
    // The step values of the sensor (empty when it has no entry).
    std::span<const std::uint16_t> Steps(std::uint32_t sensor) const;
    // The codes stored with the steps, one per value of Steps().
    std::span<const std::uint8_t> StepCodes(std::uint32_t sensor) const;

  private:
    std::array<SensorSteps, kMaxSensorEntries> entries_{};
};

// The eight built-in default DPI levels of a sensor, if it has them.
std::optional<std::array<int, 8>> DefaultDpiLevels(std::uint32_t sensor);

// The process-wide tables: built during data initialisation, read-only afterwards.
SensorTables& TheSensorTables();

// Shorthands on the process-wide tables.
inline int DpiFromCode(std::uint32_t sensor, std::uint16_t code, std::uint8_t flags) {
    return TheSensorTables().DpiFromCode(sensor, code, flags);
}
inline std::uint16_t CodeFromDpi(std::uint32_t sensor, int dpi, std::uint8_t* flags = nullptr) {
    return TheSensorTables().CodeFromDpi(sensor, dpi, flags);
}
inline int DpiStepIndex(std::uint32_t sensor, int dpi) {
    return TheSensorTables().DpiStepIndex(sensor, dpi);
}
inline int DpiAtStep(std::uint32_t sensor, int index) {
    return TheSensorTables().DpiAtStep(sensor, index);
}

}  // namespace vantor
