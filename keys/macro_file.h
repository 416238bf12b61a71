// Macro files (".qxm"): exactly one macro record whose every byte is rotated right by two
// bits. Reading rotates back and checks the magic number.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "keys/macro_record.h"

namespace vantor {

using MacroFileBytes = std::array<std::uint8_t, kMacroRecordSize>;

MacroFileBytes EncodeMacroFile(const MacroRecord& record);
MacroRecord DecodeMacroFile(std::span<const std::uint8_t, kMacroRecordSize> bytes);

enum class MacroFileStatus {
    kOk,
    kOpenFailed,  // the file cannot be opened
    kReadFailed,  // unreadable, not a regular file, or shorter than a record
    kNotMacro,    // decoded, but the magic number is wrong
};

struct MacroFileResult {
    MacroFileStatus status = MacroFileStatus::kOpenFailed;
    int error = 0;         // system error code of an open or read failure; 0 for a short file
    MacroRecord record{};  // valid when status is kOk
};

// Reads the first 834 bytes of the file (longer files are accepted, shorter ones are not).
MacroFileResult ReadMacroFile(const std::string& path);

// The message an import shows for a failed read; empty for kOk.
std::string MacroFileErrorText(const MacroFileResult& result);

// Writes the record, replacing the file, and creates missing folders of the path when the
// first attempt finds none. The file always holds the record with the changed-state bits
// cleared; the bits of `record` are cleared only when the file was written, so a failed
// write leaves the macro marked as changed.
[[nodiscard]] bool WriteMacroFile(const std::string& path, MacroRecord& record,
                                  int* error = nullptr);

// Creates each missing folder level of the path's folder (the part before the last '/').
[[nodiscard]] bool MakeSureFolderExist(const std::string& path);

}  // namespace vantor
