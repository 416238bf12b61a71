// The bridge against sockets that stand in for /dev/uhid: what it hands the kernel when it
// plugs the mouse in, how it answers the kernel's report requests, and which input reports
// it sends back. The same code talks to the real kernel in the guest test.
#include <fcntl.h>
#include <linux/uhid.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "device/discovery_rules.h"
#include "device/report.h"
#include "platform/hid_descriptor.h"
#include "tools/uhid-bridge/control_channel.h"
#include "tools/uhid-bridge/mouse_bridge.h"

namespace vantor {
namespace {

using namespace std::chrono_literals;
using Clock = UhidMouseBridge::Clock;

constexpr std::uint16_t kVid = 0x25A7;
constexpr std::uint16_t kPid = 0xFA70;

// The kernel's end of one uhid descriptor.
class FakeKernel {
  public:
    FakeKernel() {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) std::abort();
        bridgeFd = fds[0];
        kernelFd_ = fds[1];
        (void)fcntl(kernelFd_, F_SETFL, O_NONBLOCK);
    }
    ~FakeKernel() { close(kernelFd_); }

    // The next event the bridge wrote, or nothing.
    std::optional<uhid_event> Take() {
        auto event = std::make_unique<uhid_event>();
        std::memset(event.get(), 0, sizeof *event);
        if (read(kernelFd_, event.get(), sizeof *event) <= 0) return std::nullopt;
        return *event;
    }
    // Writes `length` bytes of `event` (all by default), as a request of the kernel.
    void Send(const uhid_event& event, std::size_t length = sizeof(uhid_event)) {
        ASSERT_EQ(write(kernelFd_, &event, length), static_cast<ssize_t>(length));
    }
    void SendSetReport(std::uint32_t id, std::uint8_t rnum, std::uint8_t rtype,
                       const std::uint8_t* data, std::size_t size) {
        auto event = std::make_unique<uhid_event>();
        std::memset(event.get(), 0, sizeof *event);
        event->type = UHID_SET_REPORT;
        event->u.set_report.id = id;
        event->u.set_report.rnum = rnum;
        event->u.set_report.rtype = rtype;
        event->u.set_report.size = static_cast<__u16>(size);
        std::memcpy(event->u.set_report.data, data, size);
        Send(*event);
    }

    int bridgeFd = -1;  // handed to the bridge, which owns it

  private:
    int kernelFd_ = -1;
};

const CommandReport kConnectStatus = BuildCommandReport(MakePayload(kCmdGetConnectStatus));

class UhidBridgeTest : public ::testing::Test {
  protected:
    UhidBridgeTest() {
        firmware = std::make_shared<SimFirmware>(SimProfileImage{}, 0x12, 0x34);
        BridgeDevices devices;
        for (std::size_t i = 0; i < kBridgeInterfaceCount; ++i) {
            devices[i] = std::make_unique<UhidDevice>(kernel[i].bridgeFd);
        }
        bridge = std::make_unique<UhidMouseBridge>(firmware, BridgeIds{kVid, kPid, 0x0100},
                                                   std::move(devices));
        EXPECT_TRUE(bridge->Plug());
        for (FakeKernel& k : kernel) {
            auto created = k.Take();
            EXPECT_TRUE(created && created->type == UHID_CREATE2);
        }
    }

    FakeKernel& Kernel(BridgeInterface which) { return kernel[static_cast<std::size_t>(which)]; }

    // Sends a command report to the command interface and returns the reply the
    // notification interface delivers.
    std::optional<uhid_event> Exchange(const CommandReport& report, std::uint32_t id = 1) {
        Kernel(BridgeInterface::kCommand)
            .SendSetReport(id, kCommandReportId, UHID_FEATURE_REPORT, report.data(), report.size());
        bridge->ServiceKernel(BridgeInterface::kCommand, now);
        auto accepted = Kernel(BridgeInterface::kCommand).Take();
        EXPECT_TRUE(accepted && accepted->type == UHID_SET_REPORT_REPLY);
        EXPECT_EQ(bridge->SendDueReports(now), -1);
        return Kernel(BridgeInterface::kNotify).Take();
    }

    FakeKernel kernel[kBridgeInterfaceCount];
    std::shared_ptr<SimFirmware> firmware;
    std::unique_ptr<UhidMouseBridge> bridge;
    Clock::time_point now = Clock::now();
};

// Each device is created with the configured ids and a descriptor that the hidraw backend
// reads the way discovery needs it: only the command interface passes as command
// interface, only the vendor collection of the notification device as notification
// interface, not the keyboard and consumer collections beside it.
TEST(UhidBridgeDescriptorTest, DiscoveryTellsTheInterfacesApart) {
    struct Case {
        BridgeInterface which;
        std::size_t collection;
        std::uint16_t usagePage, usage, input, feature;
        std::uint8_t reportId;
        bool command, notify;
    };
    const Case cases[] = {
        {BridgeInterface::kCommand, 0, 0xFF02, 2, 0, 17, 8, true, false},
        {BridgeInterface::kNotify, 0, 0xFF01, 0, 17, 0, 9, false, true},
        {BridgeInterface::kNotify, 1, 0x0001, 6, 9, 0, 1, false, false},
        {BridgeInterface::kNotify, 2, 0x000C, 1, 3, 0, 3, false, false},
        {BridgeInterface::kBootMouse, 0, 0x0001, 2, 5, 0, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << InterfaceName(c.which) << " " << c.collection);
        auto collections = ParseHidReportDescriptor(ReportDescriptorOf(c.which));
        ASSERT_TRUE(collections);
        ASSERT_EQ(collections->size(), c.which == BridgeInterface::kNotify ? 3u : 1u);
        const HidTopLevelCollection& top = (*collections)[c.collection];
        HidInterfaceInfo info;
        info.vendorId = kVid;
        info.usagePage = top.usagePage;
        info.usage = top.usage;
        info.inputReportByteLength = top.inputReportByteLength;
        info.outputReportByteLength = top.outputReportByteLength;
        info.featureReportByteLength = top.featureReportByteLength;
        info.reportId = top.reportId;
        EXPECT_EQ(info.usagePage, c.usagePage);
        EXPECT_EQ(info.usage, c.usage);
        EXPECT_EQ(info.inputReportByteLength, c.input);
        EXPECT_EQ(info.outputReportByteLength, 0);
        EXPECT_EQ(info.featureReportByteLength, c.feature);
        EXPECT_EQ(info.reportId, c.reportId);
        EXPECT_EQ(IsCommandInterface(info, kVid), c.command);
        EXPECT_EQ(IsNotifyInterface(info, kVid), c.notify);
    }
}

TEST_F(UhidBridgeTest, PlugCreatesEachInterfaceWithItsDescriptorAndIds) {
    ASSERT_TRUE(bridge->Unplug());
    for (FakeKernel& k : kernel) {
        auto destroyed = k.Take();
        ASSERT_TRUE(destroyed);
        EXPECT_EQ(destroyed->type, UHID_DESTROY);
    }
    ASSERT_TRUE(bridge->Plug());
    for (BridgeInterface which : kBridgeInterfaces) {
        SCOPED_TRACE(InterfaceName(which));
        auto created = Kernel(which).Take();
        ASSERT_TRUE(created);
        ASSERT_EQ(created->type, UHID_CREATE2);
        const uhid_create2_req& create = created->u.create2;
        EXPECT_EQ(create.bus, BUS_USB);
        EXPECT_EQ(create.vendor, kVid);
        EXPECT_EQ(create.product, kPid);
        const auto descriptor = ReportDescriptorOf(which);
        ASSERT_EQ(create.rd_size, descriptor.size());
        EXPECT_EQ(std::memcmp(create.rd_data, descriptor.data(), descriptor.size()), 0);
    }
}

// A feature report written to the command node is accepted at once and the firmware's
// reply leaves the notification node as input report 9 with the device's check byte.
TEST_F(UhidBridgeTest, CommandReportGetsItsReplyAsInputReport) {
    auto reply = Exchange(kConnectStatus);
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->type, UHID_INPUT2);
    ASSERT_EQ(reply->u.input2.size, kReportLength);
    const std::uint8_t* bytes = reply->u.input2.data;
    EXPECT_EQ(bytes[0], kReplyReportId);
    EXPECT_EQ(bytes[1], kCmdGetConnectStatus);
    EXPECT_EQ(bytes[2], 0);  // status
    EXPECT_EQ(bytes[6], 1);  // the mouse is connected
    unsigned sum = 0;
    for (std::size_t i = 0; i < kReportLength; ++i) sum += bytes[i];
    EXPECT_EQ(sum % 256, kReportSum);

    // The identity query answers with the firmware's ids.
    CommandPayload psd = MakeMemoryPayload(kCmdCheckPsd, 0, nullptr, 8);
    auto identity = Exchange(BuildCommandReport(psd));
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->u.input2.data[1], kCmdCheckPsd);
    EXPECT_EQ(identity->u.input2.data[6], 0x12);
    EXPECT_EQ(identity->u.input2.data[7], 0x34);
}

// Switching the mouse off leaves the receiver answering with connection status 0.
TEST_F(UhidBridgeTest, MouseSwitchedOffAndOnThroughTheControlChannel) {
    EXPECT_EQ(bridge->Control("off"), "ok off");
    auto off = Exchange(kConnectStatus);
    ASSERT_TRUE(off);
    EXPECT_EQ(off->u.input2.data[6], 0);
    EXPECT_EQ(bridge->Control("on\r"), "ok on");
    auto on = Exchange(kConnectStatus);
    ASSERT_TRUE(on);
    EXPECT_EQ(on->u.input2.data[6], 1);
}

// Requests the mouse has no report for are refused with EIO, never left unanswered (the
// kernel would wait five seconds), and reach no firmware.
TEST_F(UhidBridgeTest, RequestsWithoutAReportAreRefused) {
    struct Case {
        const char* name;
        BridgeInterface which;
        std::uint8_t rnum, rtype;
    };
    const Case cases[] = {
        {"feature on the notification node", BridgeInterface::kNotify, 8, UHID_FEATURE_REPORT},
        {"output report", BridgeInterface::kCommand, 8, UHID_OUTPUT_REPORT},
        {"other report id", BridgeInterface::kCommand, 9, UHID_FEATURE_REPORT},
    };
    std::uint32_t id = 40;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Kernel(c.which).SendSetReport(++id, c.rnum, c.rtype, kConnectStatus.data(),
                                      kConnectStatus.size());
        bridge->ServiceKernel(c.which, now);
        auto answer = Kernel(c.which).Take();
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->type, UHID_SET_REPORT_REPLY);
        EXPECT_EQ(answer->u.set_report_reply.id, id);
        EXPECT_EQ(answer->u.set_report_reply.err, EIO);
        EXPECT_EQ(bridge->SendDueReports(now), -1);
        EXPECT_FALSE(Kernel(BridgeInterface::kNotify).Take());
    }

    auto get = std::make_unique<uhid_event>();
    std::memset(get.get(), 0, sizeof *get);
    get->type = UHID_GET_REPORT;
    get->u.get_report.id = 99;
    get->u.get_report.rnum = 8;
    Kernel(BridgeInterface::kCommand).Send(*get);
    bridge->ServiceKernel(BridgeInterface::kCommand, now);
    auto answer = Kernel(BridgeInterface::kCommand).Take();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->type, UHID_GET_REPORT_REPLY);
    EXPECT_EQ(answer->u.get_report_reply.id, 99u);
    EXPECT_EQ(answer->u.get_report_reply.err, EIO);
}

// The size a request states is trusted only within the event: a size beyond the data
// field, or beyond the bytes read, hands the firmware no bytes from outside (the
// sanitizer build reads past the event otherwise). Neither length is a command report, so
// the firmware refuses both, and the kernel's request is still answered.
TEST_F(UhidBridgeTest, StatedSizeIsTrustedOnlyWithinTheEvent) {
    auto event = std::make_unique<uhid_event>();
    std::memset(event.get(), 0, sizeof *event);
    event->type = UHID_SET_REPORT;
    event->u.set_report.rnum = kCommandReportId;
    event->u.set_report.rtype = UHID_FEATURE_REPORT;
    event->u.set_report.size = 0xFFFF;
    std::memcpy(event->u.set_report.data, kConnectStatus.data(), kConnectStatus.size());
    const std::size_t header = offsetof(uhid_event, u) + offsetof(uhid_set_report_req, data);

    struct Case {
        const char* name;
        std::size_t written;
    };
    const Case cases[] = {{"whole event", sizeof(uhid_event)},
                          {"four bytes of the report", header + 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Kernel(BridgeInterface::kCommand).Send(*event, c.written);
        bridge->ServiceKernel(BridgeInterface::kCommand, now);
        auto answer = Kernel(BridgeInterface::kCommand).Take();
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->u.set_report_reply.err, 0);
        bridge->SendDueReports(now);
        auto reply = Kernel(BridgeInterface::kNotify).Take();
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->u.input2.data[2], kSimBadReport);
    }
}

// With a reply delay the reply waits for its time; an event of the mouse does not wait
// behind it; an unplug drops what has not gone out.
TEST_F(UhidBridgeTest, DelayedRepliesEventsAndUnplug) {
    EXPECT_EQ(bridge->Control("delay 50"), "ok delay");
    Kernel(BridgeInterface::kCommand)
        .SendSetReport(1, kCommandReportId, UHID_FEATURE_REPORT, kConnectStatus.data(),
                       kConnectStatus.size());
    bridge->ServiceKernel(BridgeInterface::kCommand, now);
    EXPECT_TRUE(Kernel(BridgeInterface::kCommand).Take());  // accepted at once
    EXPECT_EQ(bridge->SendDueReports(now), 50);
    EXPECT_FALSE(Kernel(BridgeInterface::kNotify).Take());

    EXPECT_EQ(bridge->Control("dpi-button"), "ok dpi-button");
    EXPECT_EQ(bridge->SendDueReports(now + 10ms), 40);
    auto event = Kernel(BridgeInterface::kNotify).Take();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->u.input2.data[1], kCmdDeviceEvent);

    EXPECT_EQ(bridge->SendDueReports(now + 50ms), -1);
    auto reply = Kernel(BridgeInterface::kNotify).Take();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->u.input2.data[1], kCmdGetConnectStatus);

    Kernel(BridgeInterface::kCommand)
        .SendSetReport(2, kCommandReportId, UHID_FEATURE_REPORT, kConnectStatus.data(),
                       kConnectStatus.size());
    bridge->ServiceKernel(BridgeInterface::kCommand, now);
    EXPECT_EQ(bridge->Control("unplug"), "ok unplug");
    EXPECT_EQ(bridge->SendDueReports(now + 1s), -1);
    auto lost = Kernel(BridgeInterface::kNotify).Take();
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->type, UHID_DESTROY);
    EXPECT_FALSE(Kernel(BridgeInterface::kNotify).Take());
}

// The receiver's keyboard and consumer reports leave the notification device on request,
// each followed by its release, and before every reply while asked for.
TEST_F(UhidBridgeTest, ForeignReportsOnTheNotificationDevice) {
    const auto takeIds = [this] {
        std::vector<std::pair<int, std::size_t>> got;
        while (auto event = Kernel(BridgeInterface::kNotify).Take()) {
            const int id = event->u.input2.data[0];
            const std::size_t size = event->u.input2.size;
            got.emplace_back(id, size);
        }
        return got;
    };
    using Got = std::vector<std::pair<int, std::size_t>>;
    const Got foreign = {{1, 9}, {3, 3}, {9, 10}, {1, 9}, {3, 3}};
    EXPECT_EQ(bridge->Control("foreign"), "ok foreign");
    bridge->SendDueReports(now);
    EXPECT_EQ(takeIds(), foreign);

    EXPECT_EQ(bridge->Control("foreign-replies on"), "ok foreign-replies");
    Kernel(BridgeInterface::kCommand)
        .SendSetReport(1, kCommandReportId, UHID_FEATURE_REPORT, kConnectStatus.data(),
                       kConnectStatus.size());
    bridge->ServiceKernel(BridgeInterface::kCommand, now);
    bridge->SendDueReports(now);
    Got withReply = foreign;
    withReply.emplace_back(9, 17);
    EXPECT_EQ(takeIds(), withReply);

    EXPECT_EQ(bridge->Control("foreign-replies off"), "ok foreign-replies");
    EXPECT_EQ(bridge->Control("foreign-replies"), "error: foreign-replies takes on or off");
}

TEST_F(UhidBridgeTest, ControlLinesThatAreRefused) {
    EXPECT_EQ(bridge->Control("plug"), "error: already plugged in");
    EXPECT_EQ(bridge->Control("delay"), "error: delay takes milliseconds from 0 to 10000");
    EXPECT_EQ(bridge->Control("delay 10001"), "error: delay takes milliseconds from 0 to 10000");
    EXPECT_EQ(bridge->Control("delay -1"), "error: delay takes milliseconds from 0 to 10000");
    EXPECT_EQ(bridge->Control("explode"), "error: unknown command 'explode'");
    EXPECT_FALSE(bridge->QuitRequested());
    EXPECT_EQ(bridge->Control("unplug"), "ok unplug");
    EXPECT_EQ(bridge->Control("unplug"), "error: not plugged in");
    EXPECT_EQ(bridge->Control("quit"), "ok quit");
    EXPECT_TRUE(bridge->QuitRequested());
}

TEST(ControlChannelTest, LinesAcrossWritesAndOverlongLinesDropped) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ControlChannel channel(fds[0]);
    auto put = [&](const std::string& text) {
        ASSERT_EQ(write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    };
    put("unp");
    EXPECT_TRUE(channel.ReadLines().empty());
    put("lug\nplug\nde");
    EXPECT_EQ(channel.ReadLines(), (std::vector<std::string>{"unplug", "plug"}));
    put("lay 5\n" + std::string(ControlChannel::kMaxLineBytes + 1, 'x'));
    EXPECT_EQ(channel.ReadLines(), (std::vector<std::string>{"delay 5"}));
    put("xxx\noff\n");
    EXPECT_EQ(channel.ReadLines(), (std::vector<std::string>{"off"}));
    close(fds[1]);
}

}  // namespace
}  // namespace vantor
