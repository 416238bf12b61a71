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

// The whole file, or nothing when it cannot be read or is larger than `maxBytes`.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::size_t maxBytes);

// Writes `size` bytes to `path` atomically. A symbolic link is followed: its target is
// replaced and keeps its permission bits (a new file gets 0644). A folder (EISDIR) or any
// other file that is not a regular file, such as a device node or a FIFO (EPERM), is
// refused, never replaced. On failure returns false, sets `error` to the errno value and
// leaves any previous file untouched.
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

}  // namespace vantor
