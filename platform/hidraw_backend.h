// HID access on Linux through hidraw: udev lists the nodes, sysfs describes them, and
// each open node is a HidrawHandle.
#pragma once

#include <string>

#include "platform/hid.h"

namespace vantor {

// What to tell a user who may not open `path`. One text for the programs and the
// command-line tool.
std::string HidAccessDeniedHint(const std::string& path);

class HidrawBackend final : public HidBackend {
  public:
    struct Folders {
        std::string sysfsRoot = "/sys/";  // for the version of an opened node
        std::string devDir = "/dev/";     // where the hidrawN nodes are
    };

    HidrawBackend() = default;
    explicit HidrawBackend(Folders folders);

    // One entry per top-level collection of every node that can be described; the
    // nodes are not opened, so a node the user may not open is still listed and Open
    // tells why it fails.
    std::vector<HidInterfaceInfo> Enumerate() override;

    // Opens read-write and non-blocking. A denied open gives kHidAccessDenied, a log line
    // and, once per process, the hint above on standard error.
    std::shared_ptr<HidHandle> Open(const std::string& path, std::uint32_t* error) override;

    std::unique_ptr<Monitor> WatchDeviceChanges(
        std::function<void(const HidDeviceChange&)> callback) override;

  private:
    Folders folders_;
};

}  // namespace vantor
