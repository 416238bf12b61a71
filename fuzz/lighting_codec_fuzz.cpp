// Device lighting bytes are untrusted: decoding any bytes must give a record whose steps
// stay in their tables, and encoding that record must not read outside them either.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "profile/lighting_codec.h"

namespace {

template <std::size_t N>
std::array<std::uint8_t, N> Take(const std::uint8_t*& data, std::size_t& size) {
    std::array<std::uint8_t, N> out{};
    const std::size_t n = std::min(N, size);
    std::copy(data, data + n, out.begin());
    data += n;
    size -= n;
    return out;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantor;
    const auto main = Take<8>(data, size);
    const auto logo = Take<10>(data, size);
    const auto dpi = Take<6>(data, size);
    const auto device = Take<7>(data, size);

    RgbEffect mainEffect{};
    EEPROM_To_MainRGB(main, mainEffect);
    Check(mainEffect.nMode <= 6);
    Check(mainEffect.nMode == 0 || (mainEffect.nSpeed >= 1 && mainEffect.nSpeed <= 10 &&
                                    mainEffect.nLight >= 1 && mainEffect.nLight <= 10));
    RgbEffect logoEffect{};
    EEPROM_To_LogoRGB(logo, logoEffect);
    Check(logoEffect.nMode <= 3 && logoEffect.nSpeed <= 5 && logoEffect.nLight <= 10);
    DpiEffect dpiEffect{};
    DecodeDpiEffect(dpi, dpiEffect);
    Check(dpiEffect.nMode <= 2 && dpiEffect.nSpeed <= 5 && dpiEffect.nLight >= 1 &&
          dpiEffect.nLight <= 10);

    // Records from files may hold anything: encode the raw bytes as a record too.
    RgbEffect raw{};
    raw.nMode = static_cast<std::uint32_t>(main[0]) << 24 | main[1];
    raw.nSpeed = static_cast<std::uint32_t>(main[2]) << 24 | main[3];
    raw.nLight = static_cast<std::uint32_t>(main[4]) << 24 | main[5];
    for (const RgbEffect& effect : {mainEffect, logoEffect, raw}) {
        const LightingWrite m = EncodeMainRGB(effect, device);
        const LightingWrite l = EncodeLogoRGB(effect);
        Check(m.Data().size() == 7 && l.Data().size() <= 10);
    }
    DpiEffect rawDpi{};
    rawDpi.nMode = raw.nMode;
    rawDpi.nLight = raw.nLight;
    rawDpi.nSpeed = raw.nSpeed;
    Check(EncodeDpiEffect(rawDpi).Data().size() <= 6);
    Check(EncodeDpiEffect(dpiEffect).Data().size() <= 6);
    return 0;
}
