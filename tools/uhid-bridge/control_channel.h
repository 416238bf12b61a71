// The bridge's control channel: a FIFO that test scripts write command lines into
// ("echo unplug > FIFO"). It is held open for reading and writing, so it never reports
// end of file when a writer goes away.
#pragma once

#include <string>
#include <vector>

namespace vantor {

class ControlChannel {
  public:
    static constexpr std::size_t kMaxLineBytes = 256;

    // Creates the FIFO when it does not exist and opens it; check IsOpen.
    explicit ControlChannel(const std::string& path);
    // Reads lines from any descriptor that delivers bytes (a pipe in tests); takes
    // ownership of `fd`.
    explicit ControlChannel(int fd);
    ~ControlChannel();
    ControlChannel(const ControlChannel&) = delete;
    ControlChannel& operator=(const ControlChannel&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }

    // The complete lines received so far, without their line ends. A line longer than
    // kMaxLineBytes is dropped whole.
    std::vector<std::string> ReadLines();

  private:
    int fd_ = -1;
    std::string partial_;
    bool discarding_ = false;  // inside a line that was too long
};

}  // namespace vantor
