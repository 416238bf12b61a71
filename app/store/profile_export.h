// Export and import of one profile with the macros its buttons use (".qxa" files):
//
//   0      2116 bytes   the profile record; nCurDpiLevel holds the active DPI level
//   2116   10 x 834     ten macro slots, plain macro records in key order; empty slots zero
//
// An imported file is not trusted: it must have exactly the size above and begin with a
// profile record, and the record must keep every rule of the current device section
// (CheckProfileRecord); otherwise it is refused before anything is changed. Slot names are
// cut to 39 characters and terminated, and a slot is used only when it holds a macro record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/store/profile_store.h"
#include "base/store_ui.h"
#include "keys/macro_library.h"
#include "keys/macro_list.h"
#include "profile/set_flags.h"

namespace vantor {

constexpr int kExportMacroSlots = 10;
constexpr std::size_t kExportFileSize = sizeof(ProfileFile) + kExportMacroSlots * kMacroRecordSize;
static_assert(kExportFileSize == 10456);

// What the caller hands the apply worker after an import: every setting the record holds,
// all keys. (127 alone left out the level count and the single settings.)
constexpr std::uint32_t kImportApplyFlags =
    SET_KEY | SET_LED | SET_DPI | SET_SYS | SET_CUR_DPI | SET_RATE | SET_DPI_COLOR | SET_DPI_NUM |
    SET_LOD | SET_FIXLINE | SET_RIPPLE | SET_DEBOUNCE | SET_MOTIONSYNC | SET_SLEEP | SET_LIGHTOFF |
    SET_SENSORMODE | SET_AUTOSLEEP;
constexpr int kImportApplyIndex = 255;

FileDialogRequest ProfileFileDialog(bool save);

// The file image of `profile` with the library macros of its macro keys (key set 1 keys
// 1-16, then key sets 2 and 3), at most ten; a macro used by two keys fills two slots.
std::vector<std::uint8_t> BuildExportImage(const ProfileFile& profile, const MacroList& macros);

// Stores `curDpiLevel` into the current profile, asks for the file and writes it. False
// when cancelled or when the file cannot be written (the file and the reason are shown in
// the user's language and `problem` gets the system's error text).
[[nodiscard]] bool ExportProfile(ProfileStore& store, int curDpiLevel, const MacroList& macros,
                                 StoreUi& ui, std::string* problem = nullptr);

struct ImportOutcome {
    bool imported = false;
    int curDpiLevel = 0;  // the new active DPI level (g_nCurDpiLevel)
    std::string problem;  // why it was refused, in plain words; empty when cancelled
    // Set when the profile was imported but a macro file of it could not be written (the
    // macro stays in the library, marked for the next write): why, in plain words.
    std::string macroWriteProblem;
};

// Imports an image of exactly 10456 bytes into the current profile; a refused image
// changes neither the profile, the macro library nor any file. `sectionDpiLevels` is DM of the
// current device section. On success the caller refreshes the pages and asks the apply worker for
// kImportApplyFlags / kImportApplyIndex.
ImportOutcome ImportProfileImage(std::span<const std::uint8_t> image, ProfileStore& store,
                                 MacroLibrary& library, int sectionDpiLevels, StoreUi& ui);

// Asks for the file and imports it. Refused with the tc_adv_str15 text until the first
// read of the mouse has completed.
ImportOutcome ImportProfile(ProfileStore& store, MacroLibrary& library, bool firstReadDone,
                            int sectionDpiLevels, StoreUi& ui);

}  // namespace vantor
