// Decoding the device memory of the mouse's active profile into a profile record. The
// device link reads the memory areas into a zeroed image (bytes it did not read stay 0)
// and hands the image over; everything after the reads happens here, with its log lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "keys/macro_library_access.h"
#include "profile/codec_context.h"
#include "profile/macro_slot.h"
#include "profile/profile_record.h"

namespace vantor {

// Bytes of device memory the PC side uses (0x0000-0x1AFF).
constexpr std::size_t kDeviceMemorySize = 0x1B00;

struct ProfileDecodeHooks {
    // Shows the warning box about undecodable DPI levels; ShowSystemMessage when empty.
    std::function<void(std::string_view text, std::string_view caption)> showMessage;
    // Ids for macros read from the device; NewMacroId when empty.
    std::function<std::uint32_t()> newMacroId;
};

// Matrix positions (0-15) of the keys that decode as macros: the reader fetches the event
// data of these macro slots (slot + 31, up to 353 bytes) into the image before decoding.
std::vector<int> MacroSlotsToRead(std::span<const std::uint8_t> memory,
                                  const CodecContext& context);

// Decodes `memory` (kDeviceMemorySize bytes) into `scratch`, `curDpiLevel` and `names`, and
// merges the device's macros into `library` (may be null: no merge, keys get stand-in
// macro ids). 1 on success; 0 when the image is too short or the report-rate code is not
// 1, 2, 4 or 8. Values the record cannot hold are brought into range: the level count to
// 1-8 and the active level below it.
[[nodiscard]] int DecodeProfileImage(std::span<const std::uint8_t> memory,
                                     const CodecContext& context, MacroLibraryAccess* library,
                                     ProfileFile& scratch, int& curDpiLevel, MacroNameTable& names,
                                     const ProfileDecodeHooks& hooks = {});

}  // namespace vantor
