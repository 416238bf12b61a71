// uhid-bridge: runs the simulated mouse of one device section of cfg.ini behind the
// kernel's uhid interface, so that programs find it as real hidraw nodes. For tests on a
// machine without the mouse, e.g. inside a virtual machine.
//
//   uhid-bridge [--program-dir DIR] [--section N] [--control FIFO] [--uhid PATH]
//               [--reply-delay MS]
//
// Command lines written to the control FIFO: off, on, unplug, plug, dpi-button,
// delay MS, foreign (the receiver's keyboard and consumer reports once), foreign-replies
// on|off (those reports before every reply), quit. SIGINT and SIGTERM end the bridge; closing
// /dev/uhid removes the devices.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/config/config.h"
#include "base/message_sink.h"
#include "platform/paths.h"
#include "sim/sim_factory.h"
#include "tools/common/simulated_mouse.h"
#include "tools/uhid-bridge/control_channel.h"
#include "tools/uhid-bridge/mouse_bridge.h"

namespace vantor {
namespace {

constexpr std::uint16_t kBridgeVersion = 0x0100;

struct BridgeOptions {
    std::string programDir;
    int section = 1;
    std::string controlPath;
    std::string uhidPath = "/dev/uhid";
    long replyDelayMs = 0;
};

int UsageError(const std::string& message) {
    std::fprintf(stderr, "uhid-bridge: %s\n", message.c_str());
    std::fprintf(stderr,
                 "usage: uhid-bridge [--program-dir DIR] [--section N] [--control FIFO] "
                 "[--uhid PATH] [--reply-delay MS]\n");
    return 2;
}

std::optional<long> ParseCount(std::string_view text, long limit) {
    long value = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > limit) {
        return std::nullopt;
    }
    return value;
}

// 0 when parsed, else the exit code.
int ParseOptions(int argc, char** argv, BridgeOptions* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return UsageError("missing value after " + arg);
        const std::string value = argv[++i];
        if (arg == "--program-dir") {
            options->programDir = WithTrailingSlash(value);
        } else if (arg == "--section") {
            auto number = ParseCount(value, kDeviceSectionCount);
            if (!number || *number < 1) return UsageError("--section takes 1 to 30");
            options->section = static_cast<int>(*number);
        } else if (arg == "--control") {
            options->controlPath = value;
        } else if (arg == "--uhid") {
            options->uhidPath = value;
        } else if (arg == "--reply-delay") {
            auto ms = ParseCount(value, 10000);
            if (!ms) return UsageError("--reply-delay takes 0 to 10000 milliseconds");
            options->replyDelayMs = *ms;
        } else {
            return UsageError("unknown option " + arg);
        }
    }
    return 0;
}

int RunLoop(UhidMouseBridge& bridge, ControlChannel* control, int signalFd) {
    for (;;) {
        const auto now = UhidMouseBridge::Clock::now();
        const int timeout = bridge.SendDueReports(now);
        std::vector<pollfd> fds;
        for (BridgeInterface which : kBridgeInterfaces) {
            fds.push_back({bridge.Fd(which), POLLIN, 0});
        }
        fds.push_back({signalFd, POLLIN, 0});
        if (control != nullptr) fds.push_back({control->Fd(), POLLIN, 0});
        if (poll(fds.data(), fds.size(), timeout) < 0) {
            if (errno == EINTR) continue;
            std::fprintf(stderr, "uhid-bridge: poll failed, errno=%d\n", errno);
            return 1;
        }
        const auto woke = UhidMouseBridge::Clock::now();
        for (std::size_t i = 0; i < kBridgeInterfaceCount; ++i) {
            if ((fds[i].revents & POLLIN) != 0) bridge.ServiceKernel(kBridgeInterfaces[i], woke);
        }
        if ((fds[kBridgeInterfaceCount].revents & POLLIN) != 0) return 0;
        if (control != nullptr && (fds.back().revents & POLLIN) != 0) {
            for (const std::string& line : control->ReadLines()) {
                std::printf("uhid-bridge: %s\n", bridge.Control(line).c_str());
                std::fflush(stdout);
            }
        }
        if (bridge.QuitRequested()) return 0;
    }
}

int Run(int argc, char** argv) {
    BridgeOptions options;
    if (int result = ParseOptions(argc, argv, &options); result != 0) return result;
    static StderrMessageSink messages;
    SetMessageSink(&messages);
    if (options.programDir.empty()) options.programDir = ProgramDir();
    if (!DataInit(options.programDir + "cfg.ini")) {
        std::fprintf(stderr, "uhid-bridge: cannot use %scfg.ini\n", options.programDir.c_str());
        return 1;
    }
    const AppOptions& app = Options();
    // The same product id as the programs' simulated mouse of that section shows.
    const std::uint16_t productId = SimulatedProductId(options.section);
    if (app.VID == 0 || productId == 0) {
        std::fprintf(stderr, "uhid-bridge: cfg.ini names no VID and product id for section %d\n",
                     options.section);
        return 1;
    }
    const BridgeIds ids{app.VID, productId, kBridgeVersion};
    std::shared_ptr<SimFirmware> firmware = MakeSimFirmware(options.section - 1);
    if (!firmware) {
        std::fprintf(stderr, "uhid-bridge: there is no simulated mouse for section %d\n",
                     options.section);
        return 1;
    }

    BridgeDevices devices;
    for (auto& device : devices) {
        int error = 0;
        device = UhidDevice::Open(options.uhidPath, &error);
        if (!device) {
            std::fprintf(stderr, "uhid-bridge: cannot open %s, errno=%d\n",
                         options.uhidPath.c_str(), error);
            return 1;
        }
    }
    std::optional<ControlChannel> control;
    if (!options.controlPath.empty()) {
        control.emplace(options.controlPath);
        if (!control->IsOpen()) {
            std::fprintf(stderr, "uhid-bridge: cannot open the control FIFO %s, errno=%d\n",
                         options.controlPath.c_str(), errno);
            return 1;
        }
    }
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (signalFd < 0) {
        std::fprintf(stderr, "uhid-bridge: signalfd failed, errno=%d\n", errno);
        return 1;
    }

    UhidMouseBridge bridge(std::move(firmware), ids, std::move(devices));
    bridge.SetReplyDelay(std::chrono::milliseconds(options.replyDelayMs));
    if (!bridge.Plug()) return 1;
    std::printf("uhid-bridge: ready, %04x:%04x, section %d\n", ids.vendorId, ids.productId,
                options.section);
    std::fflush(stdout);
    int result = RunLoop(bridge, control ? &*control : nullptr, signalFd);
    bridge.Unplug();
    close(signalFd);
    return result;
}

}  // namespace
}  // namespace vantor

int main(int argc, char** argv) {
    return vantor::Run(argc, argv);
}
