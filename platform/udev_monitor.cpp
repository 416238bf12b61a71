#include "platform/udev_monitor.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/log.h"

namespace vantor {
namespace {

std::optional<HidIds> IdsOfParent(udev_device* device) {
    // The parent belongs to `device` and is released with it.
    udev_device* parent = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr);
    if (parent == nullptr) return std::nullopt;
    const char* hidId = udev_device_get_property_value(parent, "HID_ID");
    return hidId != nullptr ? ParseHidId(hidId) : std::nullopt;
}

// udevd re-sends each kernel event on its own netlink group once its rules have run. Where
// no udevd runs (a minimal system, a virtual machine's initramfs), nothing is ever sent
// there, so the monitor listens to the kernel's events instead; the device node exists by
// then, as devtmpfs creates it before the event goes out.
const char* MonitorSource() {
    return access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
}

}  // namespace

HidDeviceChange HidDevicePresence::Arrived(const std::string& path, std::optional<HidIds> ids) {
    HidDeviceChange change;
    change.arrived = true;
    change.path = path;
    if (ids) {
        known_[path] = *ids;
        change.vendorId = ids->vendorId;
        change.productId = ids->productId;
    } else {
        known_.erase(path);  // a node number reused by a device we cannot identify
    }
    return change;
}

HidDeviceChange HidDevicePresence::Removed(const std::string& path) {
    HidDeviceChange change;
    change.path = path;
    auto found = known_.find(path);
    if (found != known_.end()) {
        change.vendorId = found->second.vendorId;
        change.productId = found->second.productId;
        known_.erase(found);
    }
    return change;
}

UdevHidrawMonitor::UdevHidrawMonitor(std::string devDir, Callback callback)
    : devDir_(std::move(devDir)), callback_(std::move(callback)) {
    if (!StartUdev()) {
        DbgLog("WatchDeviceChanges err: cannot watch udev for hidraw devices");
        monitor_.reset();
        return;
    }
    // Listening started before this walk, so a node that arrives meanwhile is not missed.
    for (const HidrawNode& node : ListHidrawNodes(devDir_)) {
        (void)presence_.Arrived(node.devnode, ReadHidIds(node.syspath));
    }
    thread_ = std::thread([this] { Run(); });
}

bool UdevHidrawMonitor::StartUdev() {
    stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd_ < 0) return false;
    context_.reset(udev_new());
    if (!context_) return false;
    const char* source = MonitorSource();
    DbgLog("WatchDeviceChanges: %s events", source);
    monitor_.reset(udev_monitor_new_from_netlink(context_.get(), source));
    return monitor_ &&
           udev_monitor_filter_add_match_subsystem_devtype(monitor_.get(), "hidraw", nullptr) >=
               0 &&
           udev_monitor_enable_receiving(monitor_.get()) >= 0 &&
           udev_monitor_get_fd(monitor_.get()) >= 0;
}

UdevHidrawMonitor::~UdevHidrawMonitor() {
    if (thread_.joinable()) {
        std::uint64_t one = 1;
        if (write(stopFd_, &one, sizeof one) < 0) {
            DbgLog("WatchDeviceChanges err: stop failed, errno=%d", errno);
        }
        thread_.join();
    }
    if (stopFd_ >= 0) close(stopFd_);
}

void UdevHidrawMonitor::Run() {
    const int monitorFd = udev_monitor_get_fd(monitor_.get());
    for (;;) {
        pollfd fds[2] = {{monitorFd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            DbgLog("WatchDeviceChanges err: poll errno=%d", errno);
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) return;
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            DbgLog("WatchDeviceChanges err: udev monitor closed");
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) ReceiveEvents();
    }
}

void UdevHidrawMonitor::ReceiveEvents() {
    while (UdevPtr<udev_device> device{udev_monitor_receive_device(monitor_.get())}) {
        const char* action = udev_device_get_action(device.get());
        std::string path = HidrawDevnode(devDir_, device.get());
        if (action == nullptr || path.empty()) continue;
        if (std::strcmp(action, "add") == 0) {
            callback_(presence_.Arrived(path, IdsOfParent(device.get())));
        } else if (std::strcmp(action, "remove") == 0) {
            callback_(presence_.Removed(path));
        }
    }
}

}  // namespace vantor
