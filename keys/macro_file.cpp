#include "keys/macro_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/file_io.h"
#include "base/log.h"
#include "keys/file_errors.h"
#include "platform/paths.h"

namespace vantor {
namespace {

constexpr std::uint8_t RotateRight2(std::uint8_t b) {
    return static_cast<std::uint8_t>((b >> 2) | (b << 6));
}
constexpr std::uint8_t RotateLeft2(std::uint8_t b) {
    return static_cast<std::uint8_t>((b << 2) | (b >> 6));
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Reads up to `size` bytes; the count read, or -1 with errno set.
long ReadUpTo(int fd, std::uint8_t* data, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const ssize_t got = read(fd, data + total, size - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    return static_cast<long>(total);
}

}  // namespace

MacroFileBytes EncodeMacroFile(const MacroRecord& record) {
    MacroFileBytes bytes{};
    std::memcpy(bytes.data(), &record, kMacroRecordSize);
    for (std::uint8_t& b : bytes) b = RotateRight2(b);
    return bytes;
}

MacroRecord DecodeMacroFile(std::span<const std::uint8_t, kMacroRecordSize> bytes) {
    MacroFileBytes plain{};
    for (std::size_t i = 0; i < kMacroRecordSize; ++i) plain[i] = RotateLeft2(bytes[i]);
    MacroRecord record{};
    std::memcpy(&record, plain.data(), kMacroRecordSize);
    return record;
}

MacroFileResult ReadMacroFile(const std::string& path) {
    MacroFileResult result;
    // Non-blocking so that a named pipe put in place of a file cannot stall the reader.
    FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        result.status = MacroFileStatus::kOpenFailed;
        result.error = errno;
        return result;
    }
    struct stat info {};
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        result.status = MacroFileStatus::kReadFailed;
        result.error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return result;
    }
    MacroFileBytes bytes{};
    const long got = ReadUpTo(fd.get(), bytes.data(), bytes.size());
    if (got != static_cast<long>(kMacroRecordSize)) {
        result.status = MacroFileStatus::kReadFailed;
        result.error = got < 0 ? errno : 0;
        return result;
    }
    result.record = DecodeMacroFile(bytes);
    result.status = result.record.dwMagicNumber == kMacroMagicNumber ? MacroFileStatus::kOk
                                                                     : MacroFileStatus::kNotMacro;
    return result;
}

std::string MacroFileErrorText(const MacroFileResult& result) {
    char text[64];
    switch (result.status) {
        case MacroFileStatus::kOk:
            return {};
        case MacroFileStatus::kOpenFailed:
            std::snprintf(text, sizeof text, "Open macro file failed. error=0x%x",
                          static_cast<unsigned>(result.error));
            return text;
        case MacroFileStatus::kReadFailed:
            std::snprintf(text, sizeof text, "Read macro file failed. error=0x%x",
                          static_cast<unsigned>(result.error));
            return text;
        case MacroFileStatus::kNotMacro:
            return "This is not a valid macro file.";
    }
    return {};
}

bool MakeSureFolderExist(const std::string& path) {
    const std::size_t end = path.rfind('/');
    if (end == std::string::npos || end == 0) return true;
    int error = 0;
    std::string level;
    if (!MakeDirectoryPath(path.substr(0, end), &error, &level)) {
        DbgLog("MakeSureFolderExist: create dir %s, err=0x%x", level.c_str(),
               static_cast<unsigned>(error));
        return false;
    }
    return true;
}

bool WriteMacroFile(const std::string& path, MacroRecord& record, int* errorOut) {
    MacroRecord clean = record;
    clean.dwState &= ~(kMacroEventsChanged | kMacroSettingsChanged);
    const MacroFileBytes bytes = EncodeMacroFile(clean);
    int error = 0;
    bool written = WriteFileAtomic(path, bytes.data(), bytes.size(), &error);
    if (!written && error == ENOENT && MakeSureFolderExist(path)) {
        written = WriteFileAtomic(path, bytes.data(), bytes.size(), &error);
    }
    if (!written) {
        if (IsFileCreateError(error)) {
            DbgLog("MyCreateFile: %s, error=0x%x", path.c_str(), static_cast<unsigned>(error));
        } else {
            DbgLog("Flush_Dirty_Macro: WriteFile err=0x%x, %s", static_cast<unsigned>(error),
                   path.c_str());
        }
        if (errorOut != nullptr) *errorOut = error;
        return false;
    }
    record.dwState = clean.dwState;
    return true;
}

}  // namespace vantor
