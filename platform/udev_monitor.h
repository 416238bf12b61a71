// Arrival and removal of hidraw nodes, from a udev monitor on a thread of its own (udevd's
// events, or the kernel's own where no udevd runs).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>

#include "platform/hid.h"
#include "platform/hidraw_describe.h"
#include "platform/udev_list.h"

namespace vantor {

// Remembers the ids of present nodes: when a node is removed its parent hid device, and
// with it HID_ID, is usually gone already.
class HidDevicePresence {
  public:
    HidDeviceChange Arrived(const std::string& path, std::optional<HidIds> ids);
    // Carries the ids remembered for `path` (0 when it was never seen) and forgets them.
    HidDeviceChange Removed(const std::string& path);

  private:
    std::map<std::string, HidIds> known_;
};

class UdevHidrawMonitor final : public HidBackend::Monitor {
  public:
    using Callback = std::function<void(const HidDeviceChange&)>;

    // Starts watching; the nodes present now are remembered without being reported. When
    // udev cannot be watched the monitor logs it and stays idle.
    UdevHidrawMonitor(std::string devDir, Callback callback);
    // Stops the thread and waits for it; no callback runs afterwards.
    ~UdevHidrawMonitor() override;
    UdevHidrawMonitor(const UdevHidrawMonitor&) = delete;
    UdevHidrawMonitor& operator=(const UdevHidrawMonitor&) = delete;

    bool IsWatching() const { return thread_.joinable(); }

  private:
    [[nodiscard]] bool StartUdev();
    void Run();
    void ReceiveEvents();

    const std::string devDir_;
    const Callback callback_;
    UdevPtr<udev> context_;
    UdevPtr<udev_monitor> monitor_;
    int stopFd_ = -1;
    HidDevicePresence presence_;  // used only by the monitor thread once it runs
    std::thread thread_;
};

}  // namespace vantor
