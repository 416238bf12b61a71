#include "tools/uhid-bridge/uhid_device.h"

#include <fcntl.h>
#include <linux/uhid.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace vantor {
namespace {

// The kernel reads whole events; a short write would leave the rest of the event zero
// there as well, but writing the whole structure keeps every event alike.
bool WriteEvent(int fd, const uhid_event& event) {
    ssize_t written = write(fd, &event, sizeof event);
    return written == static_cast<ssize_t>(sizeof event);
}

UhidRequest::Kind KindOf(std::uint32_t type) {
    switch (type) {
        case UHID_START:
            return UhidRequest::Kind::kStart;
        case UHID_STOP:
            return UhidRequest::Kind::kStop;
        case UHID_OPEN:
            return UhidRequest::Kind::kOpen;
        case UHID_CLOSE:
            return UhidRequest::Kind::kClose;
        case UHID_OUTPUT:
            return UhidRequest::Kind::kOutput;
        case UHID_GET_REPORT:
            return UhidRequest::Kind::kGetReport;
        case UHID_SET_REPORT:
            return UhidRequest::Kind::kSetReport;
        default:
            return UhidRequest::Kind::kOther;
    }
}

// Copies `stated` bytes from `from` when that many were read; fewer otherwise.
std::vector<std::uint8_t> ReceivedBytes(const std::uint8_t* from, std::size_t stated,
                                        std::size_t offset, std::size_t got) {
    std::size_t available = got > offset ? got - offset : 0;
    std::size_t count = std::min({stated, available, static_cast<std::size_t>(UHID_DATA_MAX)});
    return std::vector<std::uint8_t>(from, from + count);
}

}  // namespace

std::unique_ptr<UhidDevice> UhidDevice::Open(const std::string& path, int* error) {
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (error != nullptr) *error = errno;
        return nullptr;
    }
    return std::make_unique<UhidDevice>(fd);
}

UhidDevice::UhidDevice(int fd) : fd_(fd) {
    int flags = fcntl(fd_, F_GETFL);
    if (flags >= 0) (void)fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
}

UhidDevice::~UhidDevice() {
    // Closing the descriptor also destroys a created device.
    if (fd_ >= 0) close(fd_);
}

bool UhidDevice::Create(const UhidCreateInfo& info) {
    if (info.descriptor.empty() || info.descriptor.size() > HID_MAX_DESCRIPTOR_SIZE) {
        errno = EINVAL;
        return false;
    }
    auto event = std::make_unique<uhid_event>();
    std::memset(event.get(), 0, sizeof *event);
    event->type = UHID_CREATE2;
    uhid_create2_req& create = event->u.create2;
    std::size_t nameLength = std::min(info.name.size(), sizeof create.name - 1);
    std::memcpy(create.name, info.name.data(), nameLength);
    create.rd_size = static_cast<__u16>(info.descriptor.size());
    create.bus = BUS_USB;
    create.vendor = info.vendorId;
    create.product = info.productId;
    create.version = info.version;
    std::memcpy(create.rd_data, info.descriptor.data(), info.descriptor.size());
    if (!WriteEvent(fd_, *event)) return false;
    created_ = true;
    return true;
}

bool UhidDevice::Destroy() {
    auto event = std::make_unique<uhid_event>();
    std::memset(event.get(), 0, sizeof *event);
    event->type = UHID_DESTROY;
    if (!WriteEvent(fd_, *event)) return false;
    created_ = false;
    return true;
}

bool UhidDevice::SendInput(std::span<const std::uint8_t> report) {
    if (report.size() > UHID_DATA_MAX) {
        errno = EINVAL;
        return false;
    }
    auto event = std::make_unique<uhid_event>();
    std::memset(event.get(), 0, sizeof *event);
    event->type = UHID_INPUT2;
    event->u.input2.size = static_cast<__u16>(report.size());
    std::memcpy(event->u.input2.data, report.data(), report.size());
    return WriteEvent(fd_, *event);
}

bool UhidDevice::ReplySetReport(std::uint32_t id, std::uint16_t error) {
    auto event = std::make_unique<uhid_event>();
    std::memset(event.get(), 0, sizeof *event);
    event->type = UHID_SET_REPORT_REPLY;
    event->u.set_report_reply.id = id;
    event->u.set_report_reply.err = error;
    return WriteEvent(fd_, *event);
}

bool UhidDevice::ReplyGetReport(std::uint32_t id, std::uint16_t error) {
    auto event = std::make_unique<uhid_event>();
    std::memset(event.get(), 0, sizeof *event);
    event->type = UHID_GET_REPORT_REPLY;
    event->u.get_report_reply.id = id;
    event->u.get_report_reply.err = error;
    return WriteEvent(fd_, *event);
}

std::optional<UhidRequest> UhidDevice::Read() {
    auto event = std::make_unique<uhid_event>();
    std::memset(event.get(), 0, sizeof *event);
    ssize_t got = read(fd_, event.get(), sizeof *event);
    if (got < static_cast<ssize_t>(sizeof event->type)) return std::nullopt;
    const auto size = static_cast<std::size_t>(got);

    UhidRequest request;
    request.type = event->type;
    request.kind = KindOf(event->type);
    const std::size_t payload = offsetof(uhid_event, u);
    switch (request.kind) {
        case UhidRequest::Kind::kSetReport: {
            const uhid_set_report_req& set = event->u.set_report;
            request.id = set.id;
            request.reportNumber = set.rnum;
            request.reportType = set.rtype;
            request.data = ReceivedBytes(set.data, set.size,
                                         payload + offsetof(uhid_set_report_req, data), size);
            break;
        }
        case UhidRequest::Kind::kGetReport:
            request.id = event->u.get_report.id;
            request.reportNumber = event->u.get_report.rnum;
            request.reportType = event->u.get_report.rtype;
            break;
        case UhidRequest::Kind::kOutput: {
            const uhid_output_req& output = event->u.output;
            request.reportType = output.rtype;
            request.data = ReceivedBytes(output.data, output.size,
                                         payload + offsetof(uhid_output_req, data), size);
            break;
        }
        default:
            break;
    }
    return request;
}

}  // namespace vantor
