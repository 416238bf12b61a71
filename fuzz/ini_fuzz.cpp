// Arbitrary bytes as an INI text: through the reader, the OPT and language readers and the
// device section reader with its sensor table overrides. Messages are only recorded.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/config/config.h"
#include "base/ini.h"
#include "base/message_sink.h"
#include "profile/sensor_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vantor::RecordingMessageSink sink;
    vantor::SetMessageSink(&sink);
    sink.messages.clear();

    const vantor::IniFile ini =
        vantor::IniFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)ini.GetString("OPT", "Title", "", 40);
    (void)ini.GetInt("OPT", "VID", 0x25A7);

    vantor::TheSensorTables().Build(vantor::ReadSensorTableOptions(ini));
    vantor::AppOptions options = vantor::ReadOptions(ini);
    options.languages = vantor::ReadLanguages(ini);
    for (int number = 1; number <= 3; ++number) {
        vantor::DeviceSection section;
        if (!vantor::ReadDeviceSection(ini, number, options, section)) continue;
        for (int level = 0; level < section.DM; ++level) {
            (void)vantor::DpiStepIndex(static_cast<std::uint32_t>(section.Sensor),
                                       section.DPI[level]);
        }
    }
    return 0;
}
