// The profile record: one on-board profile of the mouse as the PC keeps it. The same 2116
// bytes are the unit of the profile file and of an exported profile, so every field has a
// fixed offset and is little-endian on every host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/le.h"
#include "keys/key_assignment.h"

namespace vantor {

constexpr std::uint32_t kProfileMagic = 0xFCAA1234u;
constexpr int kKeySets = 3;
constexpr int kKeysPerSet = 16;
constexpr int kDpiLevels = 8;
constexpr int kProfileNameUnits = 20;  // UTF-16 units including the terminating zero

// Pointer settings of the desktop that go with the profile.
struct MouseSysParam {
    LeI32 nWheelLines;       // lines scrolled per wheel notch
    LeI32 nDoubleClickTime;  // milliseconds
    LeI32 nMouseSpeed;
    LeI32 bEnhancePrecision;
    LeI32 nMouseTrails;
};

struct DpiLevel {
    LeU32 dwDpi;    // X resolution; 0 when the level's device code did not decode
    LeU32 dwDpiY;   // Y resolution (equal to dwDpi unless the profile sets X and Y apart)
    LeU32 dwColor;  // indicator colour, red in bits 0-7, green 8-15, blue 16-23
    LeI32 bUnused;  // 1 for a level that holds no setting
};

// A lighting zone: effect number (0 = off), speed and brightness steps counted from 1.
struct RgbEffect {
    LeU32 nMode;
    LeU32 nSpeed;
    LeU32 nLight;
    LeU32 dwColor;  // same layout as DpiLevel::dwColor
    std::uint8_t reserved[40];
};

// The DPI indicator light.
struct DpiEffect {
    LeU32 nMode;
    LeU32 nSpeed;
    LeU32 nLight;  // 1-based step of the DPI indicator brightness table
};

struct ProfileFile {
    LeU32 dwMagic;
    LeU32 dwProfileID;  // 24-bit clock id; 0 marks a record without identity
    std::uint8_t reserved0[520];
    LeU16 szName[kProfileNameUnits];  // UTF-16, zero-terminated
    LeI32 nKeySet;                    // key set (0-2) shown and written to the mouse
    KeyAssignment Key[kKeySets][kKeysPerSet];
    LeU32 dwReportRate;  // hex-coded decimal: 0x125, 0x250, 0x500, 0x1000
    MouseSysParam stSys;
    LeI32 bDpiXY;  // 1: X and Y resolution set separately
    DpiLevel Dpi[kDpiLevels];
    LeI32 nCurDpiLevel;  // only filled by export and read by import
    LeU32 dwSensor;
    LeI32 nDpiLevels;  // levels in use, 1-8
    LeI32 nLOD;
    LeI32 nRipple;
    LeI32 nFixLine;
    LeI32 nSleepTime;  // seconds; the device holds a tenth of it
    LeI32 nDebounce;   // milliseconds
    LeI32 bLightOffOnMoving;
    LeI32 bMotionSync;
    LeI32 nSensorMode;  // 1 = HP, 0 = LP
    LeI32 nAutoSleep;   // tens of seconds
    DpiEffect stDpiEffect;
    std::uint8_t reserved1[44];
    RgbEffect stMainRGB;
    RgbEffect stLogoRGB;
    std::uint8_t reserved2[20];
};

static_assert(sizeof(MouseSysParam) == 20);
static_assert(sizeof(DpiLevel) == 16);
static_assert(sizeof(RgbEffect) == 56);
static_assert(sizeof(DpiEffect) == 12);
static_assert(sizeof(KeyAssignment) == 24);
static_assert(sizeof(ProfileFile) == 2116);
static_assert(alignof(ProfileFile) == 1);

static_assert(offsetof(MouseSysParam, bEnhancePrecision) == 12);
static_assert(offsetof(MouseSysParam, nMouseTrails) == 16);
static_assert(offsetof(DpiLevel, dwColor) == 8 && offsetof(DpiLevel, bUnused) == 12);
static_assert(offsetof(RgbEffect, dwColor) == 12 && offsetof(RgbEffect, reserved) == 16);

static_assert(offsetof(ProfileFile, dwProfileID) == 0x004);
static_assert(offsetof(ProfileFile, szName) == 0x210);
static_assert(offsetof(ProfileFile, nKeySet) == 0x238);
static_assert(offsetof(ProfileFile, Key) == 0x23C);
static_assert(offsetof(ProfileFile, dwReportRate) == 0x6BC);
static_assert(offsetof(ProfileFile, stSys) == 0x6C0);
static_assert(offsetof(ProfileFile, bDpiXY) == 0x6D4);
static_assert(offsetof(ProfileFile, Dpi) == 0x6D8);
static_assert(offsetof(ProfileFile, nCurDpiLevel) == 0x758);
static_assert(offsetof(ProfileFile, dwSensor) == 0x75C);
static_assert(offsetof(ProfileFile, nDpiLevels) == 0x760);
static_assert(offsetof(ProfileFile, nLOD) == 0x764);
static_assert(offsetof(ProfileFile, nRipple) == 0x768);
static_assert(offsetof(ProfileFile, nFixLine) == 0x76C);
static_assert(offsetof(ProfileFile, nSleepTime) == 0x770);
static_assert(offsetof(ProfileFile, nDebounce) == 0x774);
static_assert(offsetof(ProfileFile, bLightOffOnMoving) == 0x778);
static_assert(offsetof(ProfileFile, bMotionSync) == 0x77C);
static_assert(offsetof(ProfileFile, nSensorMode) == 0x780);
static_assert(offsetof(ProfileFile, nAutoSleep) == 0x784);
static_assert(offsetof(ProfileFile, stDpiEffect) == 0x788);
static_assert(offsetof(ProfileFile, reserved1) == 0x794);
static_assert(offsetof(ProfileFile, stMainRGB) == 0x7C0);
static_assert(offsetof(ProfileFile, stLogoRGB) == 0x7F8);
static_assert(offsetof(ProfileFile, reserved2) == 0x830);

// Writes `name` as the profile name, cut to 19 UTF-16 units (never splitting a character),
// zero-terminated and zero-filled.
void SetProfileName(ProfileFile& record, std::string_view name);

// The profile name as UTF-8; a name without terminating zero ends at the field's end.
std::string ProfileName(const ProfileFile& record);

// True when a button of any key set of the profile holds the macro `id`.
bool IsMacroAssigned(const ProfileFile& profile, std::uint32_t id);

}  // namespace vantor
