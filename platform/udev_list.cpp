#include "platform/udev_list.h"

#include "base/log.h"

namespace vantor {

std::string HidrawDevnode(const std::string& devDir, udev_device* device) {
    const char* name = udev_device_get_sysname(device);
    return name != nullptr ? devDir + name : std::string();
}

std::vector<HidrawNode> ListHidrawNodes(const std::string& devDir) {
    std::vector<HidrawNode> nodes;
    UdevPtr<udev> context(udev_new());
    if (!context) {
        DbgLog("Enumerate err: udev_new failed");
        return nodes;
    }
    UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(context.get()));
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw") < 0 ||
        udev_enumerate_scan_devices(enumerate.get()) < 0) {
        DbgLog("Enumerate err: udev scan of hidraw failed");
        return nodes;
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        const char* syspath = udev_list_entry_get_name(entry);
        if (syspath == nullptr) continue;
        UdevPtr<udev_device> device(udev_device_new_from_syspath(context.get(), syspath));
        if (!device) continue;
        std::string devnode = HidrawDevnode(devDir, device.get());
        if (!devnode.empty()) nodes.push_back({syspath, std::move(devnode)});
    }
    return nodes;
}

}  // namespace vantor
