#include "profile/lighting_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "base/log.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Written(const LightingWrite& w) {
    return Bytes(w.Data().begin(), w.Data().end());
}

RgbEffect Effect(std::uint32_t mode, std::uint32_t speed, std::uint32_t light,
                 std::uint32_t color) {
    RgbEffect e{};
    e.nMode = mode;
    e.nSpeed = speed;
    e.nLight = light;
    e.dwColor = color;
    return e;
}

// A record block with marker values, to see which fields a decoder leaves alone.
const RgbEffect kUntouched = Effect(9, 9, 9, 0xABCDEF);

void ExpectEffect(const RgbEffect& e, std::uint32_t mode, std::uint32_t speed, std::uint32_t light,
                  std::uint32_t color) {
    EXPECT_EQ(e.nMode, mode);
    EXPECT_EQ(e.nSpeed, speed);
    EXPECT_EQ(e.nLight, light);
    EXPECT_EQ(e.dwColor, color);
}

TEST(LightingCodecTest, MainBytesDecodeToEffectSteps) {
    struct Case {
        std::array<std::uint8_t, 8> bytes;
        std::uint32_t mode, speed, light, color;
    };
    const Case cases[] = {
        {{0x01, 0xFF, 0x00, 0x00, 0xE6, 0x64, 0, 0}, 2, 2, 4, 0x0000FF},
        {{0x00, 0x10, 0x20, 0x30, 0x0A, 0xFC, 0, 0}, 3, 1, 10, 0x302010},
        {{0x02, 1, 2, 3, 0x28, 0x2D, 0, 0}, 1, 1, 1, 0x030201},  // effect 1 reads no speed
        {{0x07, 0, 0, 0, 0x28, 0xFF, 0, 0}, 6, 10, 10, 0},
        {{0x05, 0, 0, 0, 0x11, 0x12, 0, 0}, 5, 1, 1, 0},  // unknown values -> step 1
    };
    for (const Case& c : cases) {
        RgbEffect e = kUntouched;
        EEPROM_To_MainRGB(c.bytes, e);
        ExpectEffect(e, c.mode, c.speed, c.light, c.color);
    }
}

TEST(LightingCodecTest, MainOffOrUnknownCodeChangesOnlyTheMode) {
    for (int code : {0x04, 0x06, 0x08, 0xFF}) {
        RgbEffect e = kUntouched;
        const std::array<std::uint8_t, 8> bytes = {
            static_cast<std::uint8_t>(code), 1, 2, 3, 0xE6, 0x64, 0, 0};
        EEPROM_To_MainRGB(bytes, e);
        ExpectEffect(e, 0, 9, 9, 0xABCDEF);
    }
}

TEST(LightingCodecTest, MainEncodingWritesCodeColourStepsAndCheck) {
    const std::array<std::uint8_t, 7> unused{};
    EXPECT_EQ(Written(EncodeMainRGB(Effect(2, 2, 4, 0x0000FF), unused)),
              (Bytes{0x01, 0xFF, 0x00, 0x00, 0xE6, 0x64, 0x0B}));
    EXPECT_EQ(Written(EncodeMainRGB(Effect(3, 1, 10, 0x302010), unused)),
              (Bytes{0x00, 0x10, 0x20, 0x30, 0x0A, 0xFC, 0xEF}));
    // Steps outside 1-10 use the nearest entry rather than reading past the table.
    EXPECT_EQ(Written(EncodeMainRGB(Effect(4, 0, 4000, 0), unused)),
              (Bytes{0x03, 0, 0, 0, 0xFF, 0xFF, 0x54}));
    // An effect without a code is written as its own number with speed and brightness 0.
    EXPECT_EQ(Written(EncodeMainRGB(Effect(9, 5, 5, 0x010203), unused)),
              (Bytes{0x09, 0x03, 0x02, 0x01, 0, 0, 0x46}));
    EXPECT_EQ(EncodeMainRGB(Effect(1, 1, 1, 0), unused).address, 0x00A0);
}

TEST(LightingCodecTest, SwitchingMainOffKeepsTheDeviceBytes) {
    const std::array<std::uint8_t, 7> device = {0x01, 0xFF, 0x00, 0x00, 0xE6, 0x64, 0x0B};
    const RgbEffect off = Effect(0, 3, 3, 0x123456);
    EXPECT_TRUE(MainRGBNeedsDeviceBytes(off));
    EXPECT_FALSE(MainRGBNeedsDeviceBytes(Effect(1, 1, 1, 0)));
    EXPECT_EQ(Written(EncodeMainRGB(off, device)),
              (Bytes{0x04, 0xFF, 0x00, 0x00, 0xE6, 0x64, 0x08}));
}

TEST(LightingCodecTest, MainEffectsRoundTripThroughTheDevice) {
    const std::array<std::uint8_t, 7> unused{};
    for (std::uint32_t mode = 2; mode <= 6; ++mode) {
        for (std::uint32_t step = 1; step <= 10; ++step) {
            const RgbEffect in = Effect(mode, step, 11 - step, 0x00C0FFEE);
            const LightingWrite w = EncodeMainRGB(in, unused);
            std::array<std::uint8_t, 8> read{};
            std::copy(w.bytes.begin(), w.bytes.begin() + 7, read.begin());
            RgbEffect out{};
            EEPROM_To_MainRGB(read, out);
            ExpectEffect(out, mode, step, 11 - step, 0x00C0FFEE);
        }
    }
}

TEST(LightingCodecTest, LogoBytesDecode) {
    struct Case {
        std::array<std::uint8_t, 10> bytes;
        std::uint32_t mode, speed, light, color;
    };
    const Case cases[] = {
        {{0x11, 0x22, 0x33, 0, 2, 0, 0x64, 0, 4, 0}, 2, 4, 4, 0x332211},
        {{0x11, 0x22, 0x33, 0, 3, 0, 0x99, 0, 7, 0}, 3, 0, 1, 0x332211},  // unknown speed, bri
        {{0, 0, 0, 0, 1, 0, 0xFF, 0, 0, 0}, 1, 0, 10, 0},
        // Not a logo effect: shown as effect 1; its byte 6 is the step index itself.
        {{0, 0, 0, 0, 7, 0, 4, 0, 5, 0}, 1, 5, 5, 0},
        {{0, 0, 0, 0, 0xFF, 0, 0xC8, 0, 5, 0}, 1, 5, 1, 0},
    };
    for (const Case& c : cases) {
        RgbEffect e = kUntouched;
        EEPROM_To_LogoRGB(c.bytes, e);
        ExpectEffect(e, c.mode, c.speed, c.light, c.color);
    }
    RgbEffect off = kUntouched;
    EEPROM_To_LogoRGB(std::array<std::uint8_t, 10>{1, 2, 3, 0, 0, 0, 0x64, 0, 2, 0}, off);
    ExpectEffect(off, 0, 9, 9, 0xABCDEF);
}

TEST(LightingCodecTest, LogoUnknownSpeedIsLogged) {
    test::TempDir dir;
    LogSetup(2, dir / "Log.txt");
    RgbEffect e{};
    EEPROM_To_LogoRGB(std::array<std::uint8_t, 10>{0, 0, 0, 0, 1, 0, 0x2D, 0, 7, 0}, e);
    LogShutdown();
    EXPECT_EQ(e.nSpeed, 0u);
    EXPECT_NE(test::ReadText(dir / "Log.txt").find("EEPROM_To_LogoRGB: Unkown Speed"),
              std::string::npos);
}

TEST(LightingCodecTest, LogoEncoding) {
    const LightingWrite on = EncodeLogoRGB(Effect(2, 4, 4, 0x332211));
    EXPECT_EQ(on.address, 0x0054);
    EXPECT_EQ(Written(on), (Bytes{0x11, 0x22, 0x33, 0xEF, 0x02, 0x53, 0x64, 0xF1, 0x04, 0x51}));
    const LightingWrite off = EncodeLogoRGB(Effect(0, 4, 4, 0x332211));
    EXPECT_EQ(off.address, 0x0058);
    EXPECT_EQ(Written(off), (Bytes{0x00, 0x55}));
}

TEST(LightingCodecTest, DpiEffectDecodeAndEncode) {
    struct Case {
        std::array<std::uint8_t, 6> bytes;
        std::uint32_t mode, speed, light;
    };
    const Case cases[] = {
        {{2, 0, 0x80, 0, 3, 0}, 2, 3, 5},
        {{1, 0, 0x81, 0, 5, 0}, 1, 5, 1},  // brightness not in the table -> step 1
        {{0, 0, 0xFF, 0, 0, 0}, 0, 0, 10},
        {{9, 0, 0x10, 0, 200, 0}, 1, 0, 1},  // unknown effect and speed
    };
    for (const Case& c : cases) {
        DpiEffect e{};
        DecodeDpiEffect(c.bytes, e);
        EXPECT_EQ(e.nMode, c.mode);
        EXPECT_EQ(e.nSpeed, c.speed);
        EXPECT_EQ(e.nLight, c.light);
    }

    DpiEffect effect{};
    effect.nMode = 2;
    effect.nSpeed = 3;
    effect.nLight = 5;
    const LightingWrite on = EncodeDpiEffect(effect);
    EXPECT_EQ(on.address, 0x004C);
    EXPECT_EQ(Written(on), (Bytes{0x02, 0x53, 0x80, 0xD5, 0x03, 0x52}));
    effect.nLight = 0;  // out of the table: nearest entry
    EXPECT_EQ(Written(EncodeDpiEffect(effect))[2], 16);
    effect.nMode = 0;
    EXPECT_EQ(Written(EncodeDpiEffect(effect)), (Bytes{0x00, 0x55}));
}

}  // namespace
}  // namespace vantor
