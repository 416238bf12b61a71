// Codes and flags come from the device, DPI values and step indexes from files and the
// configuration: no combination may read outside the sensor tables.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "profile/sensor_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantor;
    struct Input {
        std::uint8_t options;
        std::uint16_t sensorLow;
        std::uint16_t code;
        std::uint8_t flags;
        std::int32_t dpi;
        std::int32_t max9000;
        std::int32_t max3395;
        std::int32_t count;
    } in{};
    std::memcpy(&in, data, size < sizeof in ? size : sizeof in);

    static const std::uint32_t kSensors[] = {0,      0x3050, 0x3330, 0x3104, 0x3212, 0x3325,
                                             0x3335, 0x4090, 0x3336, 0x3370, 0x9000, 0x3395};
    const std::uint32_t sensor =
        (in.options & 0x80) != 0 ? in.sensorLow : kSensors[in.sensorLow % std::size(kSensors)];

    SensorTables tables;
    tables.Build({.sensor3325Step200 = (in.options & 1) != 0,
                  .sensor9000Max = in.max9000,
                  .sensor3395Max = in.max3395});
    if ((in.options & 2) != 0) {
        if (SensorSteps* entry = tables.Find(sensor)) entry->count = in.count;
    }
    std::uint8_t flags = 0;
    const std::uint16_t code = tables.CodeFromDpi(sensor, in.dpi, &flags);
    if (tables.DpiFromCode(sensor, in.code, in.flags) < 0) std::abort();
    (void)tables.DpiFromCode(sensor, code, flags);
    const int index = tables.DpiStepIndex(sensor, in.dpi);
    if (index >= 0 && tables.DpiAtStep(sensor, index) != in.dpi) std::abort();
    (void)tables.DpiAtStep(sensor, in.count);
    if (tables.Steps(sensor).size() > static_cast<std::size_t>(kMaxSensorSteps)) std::abort();
    return 0;
}
