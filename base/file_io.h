// Whole-file reading with a size limit, and atomic whole-file writing: the data goes to a
// temporary file in the same folder, is flushed to disk and then renamed over the target,
// so a crash or a full disk leaves either the old file or the new one, never a mix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The whole file, or nothing when it cannot be read or is larger than `maxBytes`. Only a
// regular file is read (symbolic links followed); anything else is refused without waiting
// for it. On failure `error` gets errno, EISDIR or EINVAL for a folder or another file that
// is not a regular file (a FIFO, a device node), EFBIG for a file above `maxBytes`.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::size_t maxBytes, int* error = nullptr);

// One line's worth of why ReadWholeFile failed, naming the file: "<path> is not a regular
// file", "<path> is too large", "<path>: <system error>".
std::string DescribeReadError(const std::string& path, int error);

// Writes `size` bytes to `path` atomically. A symbolic link is replaced itself, never the
// file it points to, so a link planted in the folder cannot redirect a save. A regular file
// keeps its permission bits; a new file (or one replacing a link) gets the mode the umask
// gives. A folder (EISDIR) or any other file that is not a regular file, such as a device
// node or a FIFO (EPERM), is refused, never replaced. On failure returns false, sets
// `error` to the errno value and leaves any previous file untouched.
[[nodiscard]] bool WriteFileAtomic(const std::string& path, const void* data, std::size_t size,
                                   int* error = nullptr);

[[nodiscard]] inline bool WriteFileAtomic(const std::string& path, const std::string& text,
                                          int* error = nullptr) {
    return WriteFileAtomic(path, text.data(), text.size(), error);
}

// True when `path` names a regular file or a folder (symbolic links followed).
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// True for the name of WriteFileAtomic's temporary file ("<target>.tmp" and six letters or
// digits). One left behind by an interrupted write is not a file of the program's own:
// folder scans skip it.
bool IsAtomicWriteTempName(std::string_view fileName);

// Removes the temporary files that interrupted writes left in `folder` (only those of
// `target` when it is not empty). One whose write is still running is left alone.
void RemoveStaleTempFiles(const std::string& folder, std::string_view target = {});

}  // namespace vantor
