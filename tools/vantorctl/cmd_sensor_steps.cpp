// vantorctl sensor-steps SENSOR: the DPI values a sensor offers, with the hardware code and
// multiplier flags each one is stored with.
#include <cstdio>

#include "profile/sensor_tables.h"
#include "tools/vantorctl/cli.h"

namespace vantor::cli {

int RunSensorSteps(Context& context) {
    if (context.args.size() != 1) return UsageError("usage: vantorctl sensor-steps SENSOR");
    std::optional<long long> sensor = ParseNumber(context.args[0]);
    if (!sensor || *sensor <= 0 || *sensor > 0xFFFF) {
        return UsageError("SENSOR is a sensor id such as 0x3395");
    }
    auto id = static_cast<std::uint32_t>(*sensor);
    std::span<const std::uint16_t> steps = TheSensorTables().Steps(id);
    if (steps.empty()) return Failure("sensor " + Hex(id, 4) + " has no DPI table");

    Json list = Json::Array();
    for (std::size_t i = 0; i < steps.size(); ++i) {
        std::uint8_t flags = 0;
        std::uint16_t code = CodeFromDpi(id, steps[i], &flags);
        if (context.options.json) {
            list.Push(Json::Object()
                          .Set("index", Json::Number(static_cast<std::int64_t>(i)))
                          .Set("dpi", Json::Number(steps[i]))
                          .Set("code", Json::Number(code))
                          .Set("flags", Json::Number(flags)));
        } else {
            char line[64];
            std::snprintf(line, sizeof line, "%3zu %6u  code 0x%03x  flags %u", i, steps[i], code,
                          flags);
            Print(context, line);
        }
    }
    if (context.options.json) {
        PrintJson(Json::Object().Set("sensor", Json::String(Hex(id, 4))).Set("steps", list));
    }
    return kExitOk;
}

}  // namespace vantor::cli
