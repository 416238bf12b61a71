// Access to HID interfaces: enumeration with the identity and report layout of each
// interface, and open interfaces that write feature reports and read input reports.
// Backends: Linux hidraw (platform/hidraw_*) and the simulated mouse (sim/).
//
// Errors are reported with the Windows error numbers the diagnostic log uses, so log
// lines read the same whatever the backend.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantor {

enum HidError : std::uint32_t {
    kHidOk = 0,
    kHidAccessDenied = 5,          // the node exists but this user may not open it
    kHidInvalidHandle = 6,         // the interface was closed
    kHidFileNotFound = 2,          // no such interface
    kHidGenericFailure = 31,       // any other failure of the operation
    kHidIoPending = 997,           // a read is still outstanding
    kHidDeviceNotConnected = 1167  // the device was unplugged
};

// Maps an errno value to the error numbers above.
std::uint32_t HidErrorFromErrno(int error);

struct HidInterfaceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0;
    std::uint16_t usagePage = 0;  // of the entry's top-level collection
    std::uint16_t usage = 0;
    // Longest report of each kind in bytes, report id byte included (0 when none).
    std::uint16_t inputReportByteLength = 0;
    std::uint16_t outputReportByteLength = 0;
    std::uint16_t featureReportByteLength = 0;
    std::uint8_t reportId = 0;  // first report id of the interface, 0 when it uses none
};

struct HidAttributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;
};

enum class HidReadResult { kOk, kTimeout, kStopped, kError };

// One open interface. Thread safety: SetFeature, Read, GetAttributes may be called from
// different threads; at most one Read is outstanding at a time. SignalStop and Close may
// be called from any thread at any time.
class HidHandle {
  public:
    virtual ~HidHandle() = default;

    virtual const std::string& Path() const = 0;

    // Writes one feature report (report id in report[0]).
    [[nodiscard]] virtual bool SetFeature(const std::uint8_t* report, std::size_t length,
                                          std::uint32_t* error) = 0;

    // Waits up to `timeoutMs` (negative: without limit) for one input report and copies
    // up to `length` bytes of it (report id first) into `buffer`; `received`, when given,
    // is set to the number of bytes copied. Returns kStopped when SignalStop was called
    // before or during the wait (the stop is then consumed, like an auto-reset event),
    // kError with `error` set when the device is gone or the handle closed.
    virtual HidReadResult Read(std::uint8_t* buffer, std::size_t length, int timeoutMs,
                               std::uint32_t* error, std::size_t* received = nullptr) = 0;

    // Ends the current or the next Read with kStopped.
    virtual void SignalStop() = 0;

    [[nodiscard]] virtual bool GetAttributes(HidAttributes* attributes, std::uint32_t* error) = 0;

    // Closes the interface; an outstanding Read ends with kError / kHidInvalidHandle, and so
    // does every later call.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};

struct HidDeviceChange {
    bool arrived = false;  // false: removed
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

class HidBackend {
  public:
    virtual ~HidBackend() = default;

    // The present interfaces, one entry per top-level collection as the HID class driver
    // of other systems presents them (entries of one hidraw node share its path); those
    // that cannot be described are skipped.
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;

    virtual std::shared_ptr<HidHandle> Open(const std::string& path, std::uint32_t* error) = 0;

    // Reports arrival and removal of interfaces on a thread of the backend until the
    // returned object is destroyed. The callback must only post.
    class Monitor {
      public:
        virtual ~Monitor() = default;
    };
    virtual std::unique_ptr<Monitor> WatchDeviceChanges(
        std::function<void(const HidDeviceChange&)> callback) = 0;
};

}  // namespace vantor
