#include "tools/uhid-bridge/mouse_bridge.h"

#include <linux/uhid.h>

#include <cerrno>
#include <charconv>
#include <cstdio>

#include "base/log.h"
#include "sim/sim_foreign_reports.h"

namespace vantor {
namespace {

constexpr long kMaxReplyDelayMs = 10000;

// Nothing held: sent after the foreign reports so that no key stays down in the guest.
const std::vector<std::uint8_t> kKeyboardRelease = {0x01, 0, 0, 0, 0, 0, 0, 0, 0};
const std::vector<std::uint8_t> kConsumerRelease = {0x03, 0, 0};

std::size_t IndexOf(BridgeInterface which) {
    return static_cast<std::size_t>(which);
}

void Complain(const char* what, BridgeInterface which) {
    std::fprintf(stderr, "uhid-bridge: %s of %s failed, errno=%d\n", what, InterfaceName(which),
                 errno);
}

}  // namespace

UhidMouseBridge::UhidMouseBridge(std::shared_ptr<SimFirmware> firmware, BridgeIds ids,
                                 BridgeDevices devices)
    : firmware_(std::move(firmware)), ids_(ids), devices_(std::move(devices)) {
    // Events of the mouse itself go out before any reply that is still delayed.
    firmware_->SetEventSink(
        [this](const SimInputReport& report) { Queue(report, Clock::time_point{}); });
}

UhidMouseBridge::~UhidMouseBridge() {
    firmware_->SetEventSink(nullptr);
}

UhidDevice& UhidMouseBridge::Device(BridgeInterface which) const {
    return *devices_[IndexOf(which)];
}

int UhidMouseBridge::Fd(BridgeInterface which) const {
    return Device(which).Fd();
}

bool UhidMouseBridge::Plug() {
    bool ok = true;
    for (BridgeInterface which : kBridgeInterfaces) {
        if (Device(which).IsCreated()) continue;
        UhidCreateInfo info;
        info.name = std::string("Vantor simulated mouse ") + InterfaceName(which);
        info.vendorId = ids_.vendorId;
        info.productId = ids_.productId;
        info.version = ids_.version;
        info.descriptor = ReportDescriptorOf(which);
        if (!Device(which).Create(info)) {
            Complain("UHID_CREATE2", which);
            ok = false;
        }
    }
    plugged_ = ok;
    return ok;
}

bool UhidMouseBridge::Unplug() {
    bool ok = true;
    pending_.clear();
    for (BridgeInterface which : kBridgeInterfaces) {
        if (Device(which).IsCreated() && !Device(which).Destroy()) {
            Complain("UHID_DESTROY", which);
            ok = false;
        }
    }
    plugged_ = false;
    return ok;
}

void UhidMouseBridge::ServiceKernel(BridgeInterface which, Clock::time_point now) {
    while (std::optional<UhidRequest> request = Device(which).Read()) {
        switch (request->kind) {
            case UhidRequest::Kind::kSetReport:
                HandleSetReport(which, *request, now);
                break;
            case UhidRequest::Kind::kGetReport:
                // Nothing of this mouse is read with a get-report request.
                if (!Device(which).ReplyGetReport(request->id, EIO)) {
                    Complain("UHID_GET_REPORT_REPLY", which);
                }
                break;
            default:
                break;  // start, stop, open, close and output reports need no answer
        }
    }
}

void UhidMouseBridge::HandleSetReport(BridgeInterface which, const UhidRequest& request,
                                      Clock::time_point now) {
    // Only the command interface has a feature report, and only with report id 8.
    const bool accepted = which == BridgeInterface::kCommand &&
                          request.reportType == UHID_FEATURE_REPORT &&
                          request.reportNumber == kSimCommandReportId;
    if (!Device(which).ReplySetReport(request.id, accepted ? 0 : EIO)) {
        Complain("UHID_SET_REPORT_REPLY", which);
    }
    if (!accepted) {
        DbgLog("uhid-bridge: refused set report %u of type %u on %s", request.reportNumber,
               request.reportType, InterfaceName(which));
        return;
    }
    DbgLogHex(request.data.data(), request.data.size(), 32, "uhid-bridge command: ");
    if (foreignBeforeReplies_) QueueForeignReports(now + replyDelay_);
    for (const SimInputReport& reply :
         firmware_->HandleReport(request.data.data(), request.data.size())) {
        Queue(reply, now + replyDelay_);
    }
}

void UhidMouseBridge::Queue(std::span<const std::uint8_t> report, Clock::time_point due) {
    if (!plugged_) return;
    Pending pending{due, {report.begin(), report.end()}};
    if (due == Clock::time_point{}) {
        // Ahead of delayed replies, behind other events.
        auto position = pending_.begin();
        while (position != pending_.end() && position->due == Clock::time_point{}) ++position;
        pending_.insert(position, std::move(pending));
        return;
    }
    pending_.push_back(std::move(pending));
}

void UhidMouseBridge::QueueForeignReports(Clock::time_point due) {
    for (const SimForeignReport& report : SimForeignReports()) Queue(report, due);
    Queue(kKeyboardRelease, due);
    Queue(kConsumerRelease, due);
}

int UhidMouseBridge::SendDueReports(Clock::time_point now) {
    while (!pending_.empty() && pending_.front().due <= now) {
        const std::vector<std::uint8_t> report = std::move(pending_.front().report);
        pending_.pop_front();
        if (!Device(BridgeInterface::kNotify).SendInput(report)) {
            Complain("UHID_INPUT2", BridgeInterface::kNotify);
        }
    }
    if (pending_.empty()) return -1;
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(pending_.front().due - now);
    return static_cast<int>(wait.count());
}

std::string UhidMouseBridge::Control(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    std::string_view command = line.substr(0, line.find(' '));
    std::string_view argument =
        command.size() < line.size() ? line.substr(command.size() + 1) : std::string_view();
    const std::string name(command);

    if (command == "off" || command == "on") {
        firmware_->SetMouseConnected(command == "on");
    } else if (command == "unplug") {
        if (!plugged_) return "error: not plugged in";
        if (!Unplug()) return "error: unplug failed";
    } else if (command == "plug") {
        if (plugged_) return "error: already plugged in";
        if (!Plug()) return "error: plug failed";
    } else if (command == "dpi-button") {
        firmware_->PressDpiButton();
    } else if (command == "delay") {
        long ms = -1;
        auto [end, error] = std::from_chars(argument.data(), argument.data() + argument.size(), ms);
        if (error != std::errc() || end != argument.data() + argument.size() || ms < 0 ||
            ms > kMaxReplyDelayMs) {
            return "error: delay takes milliseconds from 0 to 10000";
        }
        replyDelay_ = std::chrono::milliseconds(ms);
    } else if (command == "foreign") {
        QueueForeignReports(Clock::time_point{});
    } else if (command == "foreign-replies") {
        if (argument != "on" && argument != "off") return "error: foreign-replies takes on or off";
        foreignBeforeReplies_ = argument == "on";
    } else if (command == "quit") {
        quit_ = true;
    } else {
        return "error: unknown command '" + std::string(line) + "'";
    }
    return "ok " + name;
}

}  // namespace vantor
