#include "profile/new_profile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vantor {
namespace {

ProfileDefaults ThreeLevelDefaults() {
    ProfileDefaults d;
    d.keyLayers[0][0].dwFunID = 0x01000001;
    d.keyLayers[0][0].nMatrixIndex = 1;
    d.keyLayers[2][15].dwFunID = 0x05000000;
    d.keyLayers[2][15].dwMacroID = 0x123456;
    d.reportRate = 0x1000;
    d.dpiLevelCount = 3;
    d.dpi = {800, 1600, 3200, 6400, 0, 0, 0, 0};
    d.dpiColors = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x11, 0x22, 0x33};
    d.sensor = 0x3395;
    d.showLod = 2;
    d.sleepTime = 300;
    d.sleepTimeCheck = 0;
    d.deviceDebounce = 0;
    d.generalDebounce = 12;
    d.enhancePrecision = 0;
    d.dpiLedMode = 0x030502;
    d.ledParam = {5, 10, 8, 0x10, 0x20, 0x30};
    return d;
}

TEST(NewProfileTest, FillsEveryFieldFromTheDefaults) {
    const ProfileFile r = NewProfileRecord(ThreeLevelDefaults(), "Profile 1", 0xABCDEF);
    EXPECT_EQ(r.dwMagic, kProfileMagic);
    EXPECT_EQ(r.dwProfileID, 0xABCDEFu);
    EXPECT_EQ(ProfileName(r), "Profile 1");
    EXPECT_EQ(r.nKeySet, 0);
    EXPECT_EQ(r.Key[0][0].dwFunID, 0x01000001u);
    EXPECT_EQ(r.Key[0][0].nMatrixIndex, 1u);
    EXPECT_EQ(r.Key[2][15].dwMacroID, 0x123456u);

    EXPECT_EQ(r.dwReportRate, 0x1000u);
    EXPECT_EQ(r.stSys.nWheelLines, 3);
    EXPECT_EQ(r.stSys.nDoubleClickTime, 550);
    EXPECT_EQ(r.stSys.nMouseSpeed, 10);
    EXPECT_EQ(r.stSys.bEnhancePrecision, 0);
    EXPECT_EQ(r.stSys.nMouseTrails, 0);
    EXPECT_EQ(r.bDpiXY, 0);

    EXPECT_EQ(r.dwSensor, 0x3395u);
    EXPECT_EQ(r.nDpiLevels, 3);
    EXPECT_EQ(r.nLOD, 2);
    EXPECT_EQ(r.nRipple, 0);
    EXPECT_EQ(r.nFixLine, 0);
    EXPECT_EQ(r.nSleepTime, 300);
    EXPECT_EQ(r.nDebounce, 12);
    EXPECT_EQ(r.bLightOffOnMoving, 0);
    EXPECT_EQ(r.bMotionSync, 1);
    EXPECT_EQ(r.nSensorMode, 1);
    EXPECT_EQ(r.nAutoSleep, 6);
    EXPECT_EQ(r.nCurDpiLevel, 0);

    EXPECT_EQ(r.stDpiEffect.nMode, 2u);
    EXPECT_EQ(r.stDpiEffect.nSpeed, 3u);
    EXPECT_EQ(r.stDpiEffect.nLight, 5u);
    EXPECT_EQ(r.stMainRGB.nMode, 5u);
    EXPECT_EQ(r.stMainRGB.nLight, 10u);
    EXPECT_EQ(r.stMainRGB.nSpeed, 8u);
    EXPECT_EQ(r.stMainRGB.dwColor, 0x302010u);
}

TEST(NewProfileTest, LevelsBelowTheDefaultCountHoldSettingsTheRestAreUnused) {
    const ProfileFile r = NewProfileRecord(ThreeLevelDefaults(), "x", 1);
    const std::uint32_t colors[] = {0x0000FF, 0x00FF00, 0xFF0000};
    for (int i = 0; i < kDpiLevels; ++i) {
        SCOPED_TRACE(i);
        if (i < 3) {
            EXPECT_EQ(r.Dpi[i].bUnused, 0);
            EXPECT_EQ(r.Dpi[i].dwDpi, 800u << i);
            EXPECT_EQ(r.Dpi[i].dwDpiY, 800u << i);
            EXPECT_EQ(r.Dpi[i].dwColor, colors[i]);
        } else {
            EXPECT_EQ(r.Dpi[i].bUnused, 1);
            EXPECT_EQ(r.Dpi[i].dwDpi, 0u);
            EXPECT_EQ(r.Dpi[i].dwColor, 0u);
        }
    }
}

TEST(NewProfileTest, LogoTakesMainLightingWithinItsRange) {
    ProfileDefaults d = ThreeLevelDefaults();
    const ProfileFile clamped = NewProfileRecord(d, "x", 1);  // main mode 5, speed 8
    EXPECT_EQ(clamped.stLogoRGB.nMode, 1u);
    EXPECT_EQ(clamped.stLogoRGB.nSpeed, 5u);
    EXPECT_EQ(clamped.stLogoRGB.nLight, 10u);
    EXPECT_EQ(clamped.stLogoRGB.dwColor, 0x302010u);

    d.ledParam = {3, 4, 5, 0, 0, 0};
    const ProfileFile kept = NewProfileRecord(d, "x", 1);
    EXPECT_EQ(kept.stLogoRGB.nMode, 3u);
    EXPECT_EQ(kept.stLogoRGB.nSpeed, 5u);
}

TEST(NewProfileTest, LevelCountAndDebounceChoices) {
    struct Case {
        int dm, uiLevels, deviceDebounce;
        int levels, debounce;
    };
    const Case cases[] = {
        {3, 0, 0, 3, 12},   // DpiUILevels 0 takes DM; device debounce 0 takes the general one
        {3, 6, 4, 6, 4},    // DpiUILevels wins; the device's own debounce wins
        {12, 0, 0, 8, 12},  // beyond eight levels: eight
        {0, 0, 0, 1, 12},   // no level: one
    };
    for (const Case& c : cases) {
        ProfileDefaults d = ThreeLevelDefaults();
        d.dpiLevelCount = c.dm;
        d.dpiUiLevels = c.uiLevels;
        d.deviceDebounce = c.deviceDebounce;
        const ProfileFile r = NewProfileRecord(d, "x", 1);
        EXPECT_EQ(r.nDpiLevels, c.levels);
        EXPECT_EQ(r.nDebounce, c.debounce);
    }
    ProfileDefaults many = ThreeLevelDefaults();
    many.dpiLevelCount = 12;
    EXPECT_EQ(NewProfileRecord(many, "x", 1).Dpi[7].bUnused, 0);
}

TEST(NewProfileTest, ReservedRangesAreZeroAndIdsComeFromTheClock) {
    const ProfileFile a = NewProfileRecord(ThreeLevelDefaults(), "a");
    const ProfileFile b = NewProfileRecord(ThreeLevelDefaults(), "b");
    EXPECT_NE(a.dwProfileID, 0u);
    EXPECT_NE(a.dwProfileID, b.dwProfileID);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&a);
    const std::uint8_t zeros[520] = {};
    EXPECT_EQ(std::memcmp(bytes + 0x008, zeros, 520), 0);
    EXPECT_EQ(std::memcmp(bytes + 0x794, zeros, 44), 0);
    EXPECT_EQ(std::memcmp(bytes + 0x830, zeros, 20), 0);
    EXPECT_EQ(std::memcmp(bytes + 0x7C0 + 16, zeros, 40), 0);
}

}  // namespace
}  // namespace vantor
