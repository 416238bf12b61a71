// vantorctl config: how the program read cfg.ini, section by section.
#include "app/config/config.h"
#include "tools/vantorctl/cli.h"

namespace vantor::cli {
namespace {

template <typename Record, typename Describe>
void PrintSection(const Context& context, const std::string& name, const Record& record,
                  Describe describe, Json* json) {
    Json values = Json::Object();
    if (!context.options.json) Print(context, "[" + name + "]");
    describe(record, [&](std::string_view key, const std::string& value) {
        if (context.options.json) {
            values.Set(key, Json::String(value));
        } else {
            Print(context, std::string(key) + "=" + value);
        }
    });
    if (context.options.json)
        json->Set(name, values);
    else
        Print(context, "");
}

}  // namespace

int RunConfig(Context& context) {
    if (!context.args.empty()) return UsageError("usage: vantorctl config");
    Json json = Json::Object();
    PrintSection(context, "OPT", Options(), DescribeOptions, &json);
    for (int i = 0; i < kDeviceSectionCount; ++i) {
        const DeviceSection& section = DeviceSectionAt(i);
        if (section.Sensor == 0) continue;
        PrintSection(context, "DEV_" + std::to_string(i + 1), section, DescribeDeviceSection,
                     &json);
    }
    if (context.options.json) PrintJson(json);
    return kExitOk;
}

}  // namespace vantor::cli
