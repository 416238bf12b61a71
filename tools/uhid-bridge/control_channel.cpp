#include "tools/uhid-bridge/control_channel.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vantor {

ControlChannel::ControlChannel(const std::string& path) {
    if (mkfifo(path.c_str(), 0600) != 0 && errno != EEXIST) return;
    fd_ = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
}

ControlChannel::ControlChannel(int fd) : fd_(fd) {
    int flags = fcntl(fd_, F_GETFL);
    if (flags >= 0) (void)fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
}

ControlChannel::~ControlChannel() {
    if (fd_ >= 0) close(fd_);
}

std::vector<std::string> ControlChannel::ReadLines() {
    std::vector<std::string> lines;
    char buffer[512];
    for (;;) {
        ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0) break;
        for (ssize_t i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (c == '\n') {
                if (!discarding_) lines.push_back(partial_);
                partial_.clear();
                discarding_ = false;
            } else if (!discarding_) {
                partial_.push_back(c);
                if (partial_.size() > kMaxLineBytes) {
                    partial_.clear();
                    discarding_ = true;
                }
            }
        }
    }
    return lines;
}

}  // namespace vantor
