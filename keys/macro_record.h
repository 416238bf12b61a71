// The macro record: a named list of timed key, mouse-button and movement events, 834 bytes
// with a fixed little-endian layout. The same bytes live in the macro list, in the macro
// files (rotated) and in the macro dump.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/le.h"

namespace vantor {

constexpr std::uint32_t kMacroMagicNumber = 0xFACB99A0;
constexpr std::size_t kMacroRecordSize = 834;
constexpr int kMacroEventSlots = 91;
constexpr int MacroMaxEvents = 70;   // events a macro may hold (a delay is not an event)
constexpr int MacroMaxCount = 2000;  // macros in the list
constexpr int kMacroNameUnits = 40;  // UTF-16 units of the name field, terminator included
constexpr int kMacroNameMaxChars = kMacroNameUnits - 1;

// State flag bits; either one means the macro file must be rewritten.
constexpr std::uint32_t kMacroEventsChanged = 0x80000000u;
constexpr std::uint32_t kMacroSettingsChanged = 0x40000000u;

// Event kinds. Wheel steps are single events: code 0xF5 with kind 0 (up), code 0xF6 with
// kind 1 (down).
constexpr std::uint16_t kMacroKindRelease = 0;
constexpr std::uint16_t kMacroKindPress = 1;
constexpr std::uint16_t kMacroKindMove = 2;

struct MacroEvent {
    LeU16 wCode;    // key: virtual-key code in the low byte; move: X low byte, Y high byte
    LeU16 wKind;    // kMacroKind*
    LeU32 dwDelay;  // pause after the event in ms
};

static_assert(sizeof(MacroEvent) == 8);

struct MacroRecord {
    LeU32 dwMagicNumber;
    LeU32 dwMacroID;                // 24-bit identity; never 0 for a stored macro
    LeU32 dwState;                  // kMacroEventsChanged, kMacroSettingsChanged; 0 in files
    LeU32 dwAuto;                   // the editor's automatic-delay option
    LeU32 dwLoopMode;               // 0 repeat nLoopCount times, 1 and 2 the other loop modes
    LeU16 szName[kMacroNameUnits];  // UTF-16, zero-terminated when shorter than the field
    LeU32 dwReserved;
    std::uint8_t nLoopCount;
    std::uint8_t nReserved;
    MacroEvent stEvents[kMacroEventSlots];
};

static_assert(sizeof(MacroRecord) == kMacroRecordSize);
static_assert(alignof(MacroRecord) == 1);
static_assert(offsetof(MacroRecord, dwMacroID) == 4);
static_assert(offsetof(MacroRecord, dwState) == 8);
static_assert(offsetof(MacroRecord, dwAuto) == 12);
static_assert(offsetof(MacroRecord, dwLoopMode) == 16);
static_assert(offsetof(MacroRecord, szName) == 20);
static_assert(offsetof(MacroRecord, dwReserved) == 100);
static_assert(offsetof(MacroRecord, nLoopCount) == 104);
static_assert(offsetof(MacroRecord, stEvents) == 106);

// The name as UTF-8. Reads at most the name field, so a name without terminator is safe.
std::string MacroName(const MacroRecord& record);

// Stores the name cut to 39 UTF-16 units (never splitting a surrogate pair), zero-filled.
void SetMacroName(MacroRecord& record, std::string_view utf8Name);

// Number of events: slots before the first one whose code and delay are both 0.
int MacroEventCount(const MacroRecord& record);

// A fresh macro id from the local clock (waits 20 ms, never 0).
std::uint32_t NewMacroId();

// A fresh record: magic number, a new id, auto option 1, loop mode 0, loop count 1, the
// name, no events.
MacroRecord NewMacro(std::string_view utf8Name);

}  // namespace vantor
