// What writing parts of a profile record into device memory consists of: an ordered list of
// steps (memory writes, sleeps, progress positions, log lines, the reset command, the
// hand-over of pointer settings) that the apply worker's executor runs one by one.
//
// The executor posts each progress position to the progress window when there is one (it
// logs "hWnd is invalidate" once when there is not), skips sleeps marked only-with-window
// without one, and ends with result 0 at the first write that fails (a FailedWriteStep
// included) unless GoWithNoDev is set; otherwise the result is 1.
#pragma once

#include <cstdint>
#include <span>

#include "keys/macro_library_access.h"
#include "profile/codec_context.h"
#include "profile/profile_record.h"
#include "profile/set_flags.h"
#include "profile/write_step.h"

namespace vantor {

struct ProfileWritePlan {
    bool valid = false;  // false: nothing is done and the result is 0
    WriteSteps steps;
};

// The steps that write the parts of `record` named by `flags` (SET_* bits) for `index`
// (255 for all; otherwise the key 0-15, the DPI level 0-7, or the SET_LED part mask).
// `curDpiLevel` is the active level written by SET_CUR_DPI. An index that names no key or
// level gives a failed-write step for that part. Invalid when the record has no identity.
ProfileWritePlan BuildProfileWrites(const ProfileFile& record, std::uint32_t flags, int index,
                                    int curDpiLevel, const CodecContext& context,
                                    const MacroLibraryAccess* macros);

// Runs the memory steps of a plan on a device memory image (a simulated device): writes
// copy their bytes, read-modify-writes transform the bytes in place; everything else is
// ignored. A write outside the image, or a failed-write step, fails like a device write.
// Returns what the executor would: 0 for an invalid plan or a failure (unless
// `goWithNoDev`), else 1.
[[nodiscard]] int RunWritesOnMemory(const ProfileWritePlan& plan, std::span<std::uint8_t> memory,
                                    bool goWithNoDev);

}  // namespace vantor
