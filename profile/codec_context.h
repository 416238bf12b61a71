// What the profile encoders and decoders need to know about the connected device model:
// its sensor, its DPI level count, which settings it shows and where its buttons sit in the
// key matrix. Kept as a plain struct so the codecs stay independent of how the
// configuration is read.
#pragma once

#include <array>
#include <cstdint>

namespace vantor {

struct CodecContext {
    std::uint32_t sensor = 0;  // Sensor of the device section
    int dpiLevelCount = 1;     // DM: levels written by a write of all levels
    bool showDpi = true;
    bool showDpiLed = true;
    bool showMainEffect = true;
    bool showLogoEffect = false;
    bool showLod = false;
    bool showRipple = true;
    bool showFixLine = true;
    bool showDebounce = true;
    bool showSys = true;        // OPT ShowSys: pointer settings go to the desktop
    std::uint32_t keyMask = 0;  // OPT KeyMask: buttons whose bit is set are not read
    // nMatrixIndex of each button's default record in the first key set.
    std::array<std::uint32_t, 16> defaultMatrixIndex{};
};

}  // namespace vantor
