// The hidraw nodes udev knows, and owning pointers for libudev objects.
#pragma once

#include <libudev.h>

#include <memory>
#include <string>
#include <vector>

namespace vantor {

struct UdevDeleter {
    void operator()(udev* object) const { udev_unref(object); }
    void operator()(udev_enumerate* object) const { udev_enumerate_unref(object); }
    void operator()(udev_device* object) const { udev_device_unref(object); }
    void operator()(udev_monitor* object) const { udev_monitor_unref(object); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

struct HidrawNode {
    std::string syspath;
    std::string devnode;  // `devDir` + the kernel name, e.g. /dev/hidraw3
};

// Every present device of subsystem "hidraw", in udev's order; empty when udev fails.
std::vector<HidrawNode> ListHidrawNodes(const std::string& devDir);

// The node path of a hidraw device: `devDir` + its kernel name ("hidraw3").
std::string HidrawDevnode(const std::string& devDir, udev_device* device);

}  // namespace vantor
