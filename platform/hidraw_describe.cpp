#include "platform/hidraw_describe.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <charconv>

#include "base/file_io.h"
#include "base/log.h"
#include "platform/hid_descriptor.h"
#include "platform/paths.h"

namespace vantor {
namespace {

// The kernel keeps report descriptors of at most this size (HID_MAX_DESCRIPTOR_SIZE).
constexpr std::size_t kMaxDescriptorBytes = 4096;
constexpr std::size_t kMaxAttributeBytes = 4096;

std::optional<std::uint32_t> ParseHex(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::string> ReadAttribute(const std::string& path) {
    auto bytes = ReadWholeFile(path, kMaxAttributeBytes);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

// The node, opened read-only on first use, for what sysfs does not tell.
class NodeQuery {
  public:
    explicit NodeQuery(const std::string& devnode) : devnode_(devnode) {}
    ~NodeQuery() {
        if (fd_ >= 0) close(fd_);
    }
    NodeQuery(const NodeQuery&) = delete;
    NodeQuery& operator=(const NodeQuery&) = delete;

    std::optional<std::vector<std::uint8_t>> Descriptor() {
        int size = 0;
        if (!Open() || ioctl(fd_, HIDIOCGRDESCSIZE, &size) != 0) return std::nullopt;
        if (size < 0 || static_cast<std::size_t>(size) > HID_MAX_DESCRIPTOR_SIZE) {
            return std::nullopt;
        }
        hidraw_report_descriptor descriptor{};
        descriptor.size = static_cast<std::uint32_t>(size);
        if (ioctl(fd_, HIDIOCGRDESC, &descriptor) != 0) return std::nullopt;
        return std::vector<std::uint8_t>(descriptor.value, descriptor.value + size);
    }

    std::optional<HidIds> Ids() {
        hidraw_devinfo info{};
        if (!Open() || ioctl(fd_, HIDIOCGRAWINFO, &info) != 0) return std::nullopt;
        return HidIds{static_cast<std::uint16_t>(info.vendor),
                      static_cast<std::uint16_t>(info.product)};
    }

  private:
    bool Open() {
        if (fd_ < 0) fd_ = open(devnode_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        return fd_ >= 0;
    }

    std::string devnode_;
    int fd_ = -1;
};

}  // namespace

std::optional<HidIds> ParseHidId(std::string_view value) {
    std::size_t first = value.find(':');
    if (first == std::string_view::npos) return std::nullopt;
    std::size_t second = value.find(':', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    auto vendor = ParseHex(value.substr(first + 1, second - first - 1), 8);
    auto product = ParseHex(value.substr(second + 1), 8);
    if (!ParseHex(value.substr(0, first), 8) || !vendor || !product || *vendor > 0xFFFF ||
        *product > 0xFFFF) {
        return std::nullopt;
    }
    return HidIds{static_cast<std::uint16_t>(*vendor), static_cast<std::uint16_t>(*product)};
}

std::optional<std::string> UeventValue(std::string_view uevent, std::string_view key) {
    while (!uevent.empty()) {
        std::size_t end = uevent.find('\n');
        std::string_view line = uevent.substr(0, end);
        if (line.size() > key.size() && line.substr(0, key.size()) == key &&
            line[key.size()] == '=') {
            return std::string(line.substr(key.size() + 1));
        }
        if (end == std::string_view::npos) break;
        uevent.remove_prefix(end + 1);
    }
    return std::nullopt;
}

std::optional<HidIds> ReadHidIds(const std::string& syspath) {
    auto uevent = ReadAttribute(WithTrailingSlash(syspath) + "device/uevent");
    if (!uevent) return std::nullopt;
    auto hidId = UeventValue(*uevent, "HID_ID");
    if (!hidId) return std::nullopt;
    return ParseHidId(*hidId);
}

std::uint16_t ReadHidVersion(const std::string& syspath) {
    // hidraw device -> hid device ("device") -> USB interface -> USB device.
    auto text = ReadAttribute(WithTrailingSlash(syspath) + "device/../../bcdDevice");
    if (!text) return 0;
    std::string_view digits(*text);
    while (!digits.empty() && (digits.back() == '\n' || digits.back() == ' ')) {
        digits.remove_suffix(1);
    }
    auto value = ParseHex(digits, 4);
    return value ? static_cast<std::uint16_t>(*value) : 0;
}

std::vector<HidInterfaceInfo> DescribeHidrawDevice(const std::string& syspath,
                                                   const std::string& devnode) {
    NodeQuery node(devnode);
    auto descriptor =
        ReadWholeFile(WithTrailingSlash(syspath) + "device/report_descriptor", kMaxDescriptorBytes);
    if (!descriptor) descriptor = node.Descriptor();
    if (!descriptor) {
        DbgLog("Enumerate: no report descriptor for %s", devnode.c_str());
        return {};
    }
    auto collections = ParseHidReportDescriptor(*descriptor);
    if (!collections) {
        DbgLog("Enumerate: malformed report descriptor of %s", devnode.c_str());
        return {};
    }
    auto ids = ReadHidIds(syspath);
    if (!ids) ids = node.Ids();
    if (!ids) {
        DbgLog("Enumerate: no vendor and product id for %s", devnode.c_str());
        return {};
    }
    const std::uint16_t version = ReadHidVersion(syspath);

    std::vector<HidInterfaceInfo> infos;
    for (const HidTopLevelCollection& collection : *collections) {
        HidInterfaceInfo info;
        info.path = devnode;
        info.vendorId = ids->vendorId;
        info.productId = ids->productId;
        info.version = version;
        info.usagePage = collection.usagePage;
        info.usage = collection.usage;
        info.inputReportByteLength = collection.inputReportByteLength;
        info.outputReportByteLength = collection.outputReportByteLength;
        info.featureReportByteLength = collection.featureReportByteLength;
        info.reportId = collection.reportId;
        infos.push_back(info);
    }
    return infos;
}

}  // namespace vantor
