// An open hidraw node. Reads wait in poll() on the node and on an eventfd that SignalStop
// and Close write, so a stop or a close from another thread ends a waiting read at once.
// Close waits until no call is using the node's descriptor before closing it, so a
// concurrent call never touches a descriptor number that may already belong to another file.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/hid.h"

namespace vantor {

class HidrawHandle final : public HidHandle {
  public:
    // Takes ownership of `fd` (any descriptor that delivers one report per read: a hidraw
    // node, or a socket in tests) and makes it non-blocking. `version` is reported by
    // GetAttributes, which hidraw does not tell.
    HidrawHandle(std::string path, int fd, std::uint16_t version);
    ~HidrawHandle() override;
    HidrawHandle(const HidrawHandle&) = delete;
    HidrawHandle& operator=(const HidrawHandle&) = delete;

    const std::string& Path() const override { return path_; }
    [[nodiscard]] bool SetFeature(const std::uint8_t* report, std::size_t length,
                                  std::uint32_t* error) override;
    HidReadResult Read(std::uint8_t* buffer, std::size_t length, int timeoutMs,
                       std::uint32_t* error, std::size_t* received = nullptr) override;
    void SignalStop() override;
    [[nodiscard]] bool GetAttributes(HidAttributes* attributes, std::uint32_t* error) override;
    void Close() override;
    bool IsOpen() const override;

  private:
    // Registers a call that uses the descriptor; false once the handle is closed.
    [[nodiscard]] bool BeginUse(int* fd);
    void EndUse();
    // True (and the stop consumed) when a stop is pending; `closed` tells a close apart.
    [[nodiscard]] bool TakeStop(bool* closed);

    const std::string path_;
    const std::uint16_t version_;
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    int fd_ = -1;
    int wakeFd_ = -1;  // eventfd written by SignalStop and Close
    int users_ = 0;
    bool closed_ = false;
};

}  // namespace vantor
