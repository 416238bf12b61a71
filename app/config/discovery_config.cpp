#include "app/config/discovery_config.h"

#include "app/config/config.h"

namespace vantor {

DiscoveryConfig DiscoveryConfigFromOptions() {
    const AppOptions& options = Options();
    DiscoveryConfig config;
    config.vid = options.VID;
    config.pid = options.PID;
    config.pid2 = options.PID2;
    config.models.reserve(kDeviceSectionCount);
    for (int i = 0; i < kDeviceSectionCount; ++i) {
        const DeviceSection& section = DeviceSectionAt(i);
        config.models.push_back(
            {static_cast<std::uint8_t>(section.CID), static_cast<std::uint8_t>(section.MID)});
    }
    return config;
}

}  // namespace vantor
