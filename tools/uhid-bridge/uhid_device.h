// One device created through the kernel's uhid interface: the descriptor is handed to the
// kernel with UHID_CREATE2, the kernel's requests (start, open, feature reports) are read
// back from the same descriptor, and input reports go in with UHID_INPUT2.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vantor {

struct UhidCreateInfo {
    std::string name;  // at most 127 bytes are kept
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0;
    std::span<const std::uint8_t> descriptor;
};

// A request of the kernel, reduced to what the bridge answers.
struct UhidRequest {
    enum class Kind { kStart, kStop, kOpen, kClose, kOutput, kGetReport, kSetReport, kOther };
    Kind kind = Kind::kOther;
    std::uint32_t type = 0;  // the raw event type
    std::uint32_t id = 0;    // of a get or set report, echoed by the answer
    std::uint8_t reportNumber = 0;
    std::uint8_t reportType = 0;     // UHID_FEATURE_REPORT, UHID_OUTPUT_REPORT, ...
    std::vector<std::uint8_t> data;  // of a set report or output, report id first
};

class UhidDevice {
  public:
    // Opens the uhid character device (normally /dev/uhid); null with errno in `error`.
    static std::unique_ptr<UhidDevice> Open(const std::string& path, int* error);

    // Takes ownership of `fd`: /dev/uhid, or one end of a socket pair in tests. The
    // descriptor is made non-blocking.
    explicit UhidDevice(int fd);
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    int Fd() const { return fd_; }
    bool IsCreated() const { return created_; }

    // False (errno kept) when the kernel refuses the event; a descriptor longer than the
    // kernel takes is refused before anything is sent.
    bool Create(const UhidCreateInfo& info);
    bool Destroy();
    bool SendInput(std::span<const std::uint8_t> report);
    bool ReplySetReport(std::uint32_t id, std::uint16_t error);
    bool ReplyGetReport(std::uint32_t id, std::uint16_t error);

    // The next waiting request; nothing when none waits or the read fails. Sizes the
    // kernel states are trusted only within the bytes actually read.
    std::optional<UhidRequest> Read();

  private:
    int fd_ = -1;
    bool created_ = false;
};

}  // namespace vantor
