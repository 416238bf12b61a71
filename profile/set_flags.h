// The flag word of SetProfile: which parts of a profile record go into device memory. Bits
// may be combined; the index that goes with them selects a key, a DPI level or lighting
// parts, or everything.
#pragma once

#include <cstdint>

namespace vantor {

constexpr std::uint32_t SET_KEY = 0x00001;        // key matrix, combination and macro slots
constexpr std::uint32_t SET_LED = 0x00002;        // lighting parts selected by the index
constexpr std::uint32_t SET_DPI = 0x00004;        // DPI entries
constexpr std::uint32_t SET_SYS = 0x00008;        // pointer settings of the desktop
constexpr std::uint32_t SET_CUR_DPI = 0x00010;    // active DPI level
constexpr std::uint32_t SET_RATE = 0x00020;       // report rate
constexpr std::uint32_t SET_DPI_COLOR = 0x00040;  // DPI colours
constexpr std::uint32_t SET_DPI_NUM = 0x00080;    // number of DPI levels
constexpr std::uint32_t SET_RESET = 0x00100;      // reset command after everything else
constexpr std::uint32_t SET_LOD = 0x00200;
constexpr std::uint32_t SET_FIXLINE = 0x00400;
constexpr std::uint32_t SET_RIPPLE = 0x00800;
constexpr std::uint32_t SET_DEBOUNCE = 0x01000;
constexpr std::uint32_t SET_MOTIONSYNC = 0x02000;
constexpr std::uint32_t SET_SLEEP = 0x04000;
constexpr std::uint32_t SET_LIGHTOFF = 0x10000;
constexpr std::uint32_t SET_SENSORMODE = 0x20000;
constexpr std::uint32_t SET_AUTOSLEEP = 0x40000;

// Every part of the profile that lives in the mouse's memory (not the desktop's pointer
// settings, not the reset command).
constexpr std::uint32_t kSetWholeProfile = SET_KEY | SET_LED | SET_DPI | SET_CUR_DPI | SET_RATE |
                                           SET_DPI_COLOR | SET_DPI_NUM | SET_LOD | SET_FIXLINE |
                                           SET_RIPPLE | SET_DEBOUNCE | SET_MOTIONSYNC | SET_SLEEP |
                                           SET_LIGHTOFF | SET_SENSORMODE | SET_AUTOSLEEP;

// Index value meaning "every key, every level, every lighting part".
constexpr int kSetIndexAll = 255;

// Lighting parts of the SET_LED index.
constexpr int kLedPartLogo = 0x01;
constexpr int kLedPartMain = 0x02;
constexpr int kLedPartDpiEffect = 0x04;

}  // namespace vantor
