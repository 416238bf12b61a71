// Moving a profile between the record and the mouse over the command channel.
//
// GetProfile reads the device memory of the active profile area by area (with the pauses
// and stop predicates that keep the device's command rate low) into a memory image and
// hands the image to the profile decoder. SetProfile runs the write steps that the profile
// encoders produce for a flag word and index: memory writes through WriteEEPROM, pauses,
// progress posts to the progress window, log lines, the reset command and the hand-over of
// pointer settings.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/poster.h"
#include "device/sleeper.h"
#include "device/usb_driver.h"
#include "keys/macro_library_access.h"
#include "profile/codec_context.h"
#include "profile/macro_slot.h"
#include "profile/profile_decoder.h"
#include "profile/profile_record.h"
#include "profile/write_step.h"

namespace vantor {

// Pauses of the profile reader, in milliseconds.
constexpr std::uint32_t kReadAreaSleepMs = 10;   // after each read of the settings area
constexpr std::uint32_t kComboAreaSleepMs = 20;  // before the combination slots
constexpr std::uint32_t kMacroNameSleepMs = 10;  // before each macro name
constexpr std::uint32_t kMacroDataSleepMs = 15;  // before each macro's events

// Reads of the settings area: 19 reads of 10 bytes cover 0x0000-0x00BD.
constexpr int kSettingsAreaReads = 19;
constexpr int kComboReadsPerSlot = 2;

// What reading and writing a profile needs besides the driver.
struct ProfileTransferSettings {
    CodecContext context;
    bool goWithNoDev = false;  // failed device commands are ignored
    // Macros for keys assigned a macro: read from, and merged into, this library. May be
    // null (keys then get stand-in macro ids and macro keys are not written).
    MacroLibraryAccess* macros = nullptr;
    Sleeper* sleeper = nullptr;  // RealSleeper when null
    // Hands the pointer settings to the desktop (false: the desktop refused them, which
    // fails the write); nothing happens when empty.
    std::function<bool(const MouseSysParam&)> applyPointerSettings;
};

// Where GetProfile puts what it read.
struct ProfileReadResult {
    ProfileFile* scratch = nullptr;
    int* curDpiLevel = nullptr;  // g_nCurDpiLevel
    MacroNameTable* names = nullptr;
};

// Reads the active profile into `out`. `stopRequested` (may be empty) is tested after
// every device read; when it returns true reading ends with 0. A failed read ends with 0
// unless goWithNoDev, in which case its bytes stay 0 and decoding goes on. 1 on success.
int GetProfile(CUSBDriver* driver, const std::function<bool()>& stopRequested,
               const ProfileTransferSettings& settings, const ProfileReadResult& out,
               const ProfileDecodeHooks& hooks = {});

// The reading half of GetProfile: the memory image that DecodeProfileImage decodes, or
// nothing when reading had to end (same rules as GetProfile). Lets a worker thread do the
// device reads while the thread that owns the record and the macro library decodes.
std::optional<std::vector<std::uint8_t>> ReadProfileImage(
    CUSBDriver& driver, const std::function<bool()>& stopRequested,
    const ProfileTransferSettings& settings);

// The mouse's active DPI level (the first byte of the pair at 0x0004), or -1 when it cannot
// be read.
int ReadCurDpiLevel(CUSBDriver& driver);

// Writes the parts of `record` named by `flags` for `index` (255 for all) into the mouse,
// with `curDpiLevel` as the active DPI level. Progress goes to `window` as (message,
// position, 0) while it is valid; without a valid window "hWnd is invalidate" is logged
// and nothing is posted. 1 when every requested part was written; 0 when the driver or
// record is missing, the record has no identity, no device is open (without
// goWithNoDev), or a device command failed (without goWithNoDev).
int SetProfile(MessagePoster* window, CUSBDriver* driver, const ProfileFile* record,
               std::uint32_t message, std::uint32_t flags, int index, int curDpiLevel,
               const ProfileTransferSettings& settings);

// Runs already built write steps over the driver; SetProfile's executor. `window` may be
// null. Same result rule as SetProfile.
int RunWriteSteps(const WriteSteps& steps, MessagePoster* window, CUSBDriver& driver,
                  std::uint32_t message, const ProfileTransferSettings& settings);

}  // namespace vantor
