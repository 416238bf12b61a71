#include "base/file_prefix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vantor {

FilePrefix ReadFilePrefix(const std::string& path, std::size_t maxBytes) {
    FilePrefix result;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.openError = errno;
        return result;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        result.readError = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        close(fd);
        return result;
    }
    result.size = static_cast<std::uint64_t>(info.st_size);
    result.bytes.resize(maxBytes);
    std::size_t total = 0;
    while (total < maxBytes) {
        const ssize_t got = read(fd, result.bytes.data() + total, maxBytes - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            result.readError = errno;
            break;
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    result.bytes.resize(total);
    close(fd);
    return result;
}

}  // namespace vantor
