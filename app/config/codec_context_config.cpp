#include "app/config/codec_context_config.h"

#include <algorithm>

#include "app/config/config.h"

namespace vantor {
namespace {

CodecContext ContextOf(const DeviceSection& device, const AppOptions& options,
                       const std::array<KeyAssignment, kKeysPerSet>& defaultKeys) {
    CodecContext c;
    c.sensor = static_cast<std::uint32_t>(device.Sensor);
    c.dpiLevelCount = std::clamp(device.DM, 1, kMaxDpiLevels);
    c.showDpi = device.ShowDpi != 0;
    c.showDpiLed = device.ShowDpiLED != 0;
    c.showMainEffect = device.ShowMainEffect != 0;
    c.showLogoEffect = device.ShowLogoEffect != 0;
    c.showLod = device.ShowLOD != 0;
    c.showRipple = device.ShowRipple != 0;
    c.showFixLine = device.ShowFixLine != 0;
    c.showDebounce = device.ShowDebounce != 0;
    c.showSys = options.ShowSys != 0;
    c.keyMask = static_cast<std::uint32_t>(options.KeyMask);
    for (int b = 0; b < kKeysPerSet; ++b) {
        c.defaultMatrixIndex[static_cast<std::size_t>(b)] =
            defaultKeys[static_cast<std::size_t>(b)].nMatrixIndex;
    }
    return c;
}

}  // namespace

CodecContext CurrentCodecContext() {
    return ContextOf(CurrentDevice(), Options(), DefaultKeyMatrix()[0]);
}

CodecContext CodecContextForDevice(int deviceIndex) {
    const DeviceSection& device = DeviceSectionAt(deviceIndex);
    return ContextOf(device, Options(), device.keys[0]);
}

}  // namespace vantor
