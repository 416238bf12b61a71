#include "platform/hidraw_backend.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "base/log.h"
#include "platform/hidraw_describe.h"
#include "platform/hidraw_handle.h"
#include "platform/paths.h"
#include "platform/udev_list.h"
#include "platform/udev_monitor.h"

namespace vantor {
namespace {

void TellUserOnce(const std::string& text) {
    static std::atomic<bool> told{false};
    if (!told.exchange(true)) std::fprintf(stderr, "%s\n", text.c_str());
}

std::string BaseName(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string HidAccessDeniedHint(const std::string& path) {
    return "No permission to open " + path +
           ": install the vantor package (or copy its udev rule 70-vantor.rules to "
           "/etc/udev/rules.d), then unplug the receiver and plug it in again";
}

HidrawBackend::HidrawBackend(Folders folders) : folders_(std::move(folders)) {
    folders_.sysfsRoot = WithTrailingSlash(folders_.sysfsRoot);
    folders_.devDir = WithTrailingSlash(folders_.devDir);
}

std::vector<HidInterfaceInfo> HidrawBackend::Enumerate() {
    std::vector<HidInterfaceInfo> infos;
    for (const HidrawNode& node : ListHidrawNodes(folders_.devDir)) {
        for (HidInterfaceInfo& info : DescribeHidrawDevice(node.syspath, node.devnode)) {
            infos.push_back(std::move(info));
        }
    }
    return infos;
}

std::shared_ptr<HidHandle> HidrawBackend::Open(const std::string& path, std::uint32_t* error) {
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int openErrno = errno;
        const std::uint32_t code = HidErrorFromErrno(openErrno);
        if (error != nullptr) *error = code;
        if (code == kHidAccessDenied) {
            DbgLog("HidOpen err: no permission for %s", path.c_str());
            TellUserOnce(HidAccessDeniedHint(path));
        } else {
            DbgLog("HidOpen err: %s errno=%d", path.c_str(), openErrno);
        }
        return nullptr;
    }
    // bcdDevice of the node's USB device; hidraw's own info has no version.
    std::uint16_t version = ReadHidVersion(folders_.sysfsRoot + "class/hidraw/" + BaseName(path));
    auto handle = std::make_shared<HidrawHandle>(path, fd, version);
    if (!handle->IsOpen()) {
        if (error != nullptr) *error = kHidGenericFailure;
        return nullptr;
    }
    if (error != nullptr) *error = kHidOk;
    return handle;
}

std::unique_ptr<HidBackend::Monitor> HidrawBackend::WatchDeviceChanges(
    std::function<void(const HidDeviceChange&)> callback) {
    return std::make_unique<UdevHidrawMonitor>(folders_.devDir, std::move(callback));
}

}  // namespace vantor
