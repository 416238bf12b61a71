// Reading the beginning of a file that came from outside, with the error of each step, so
// that callers can log or show which step failed. Never blocks on a pipe or device node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

struct FilePrefix {
    int openError = 0;                // errno when the file could not be opened; 0 otherwise
    int readError = 0;                // errno of a failed read (EISDIR, EINVAL for non-files)
    std::uint64_t size = 0;           // size of the file as it is on disk
    std::vector<std::uint8_t> bytes;  // at most `maxBytes` from the start

    bool Opened() const { return openError == 0; }
    bool ReadOk() const { return openError == 0 && readError == 0; }
};

FilePrefix ReadFilePrefix(const std::string& path, std::size_t maxBytes);

}  // namespace vantor
