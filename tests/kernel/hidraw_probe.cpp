// vantor-hidraw-probe: small checks of the hidraw backend that run inside the test guest,
// beside vantorctl.
//
//   vantor-hidraw-probe enumerate        every interface the backend lists, one per line
//   vantor-hidraw-probe exchange         one GetConnectStatus command on the vendor
//                                        command interface and its reply from the
//                                        notification interface, as raw report bytes
//   vantor-hidraw-probe watch SECONDS    arrivals and removals reported by the monitor
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "device/report.h"
#include "platform/hidraw_backend.h"

namespace vantor {
namespace {

void PrintHex(const char* label, const std::uint8_t* bytes, std::size_t count) {
    std::printf("%s", label);
    for (std::size_t i = 0; i < count; ++i) std::printf(" %02x", bytes[i]);
    std::printf("\n");
}

int Enumerate(HidrawBackend& backend) {
    for (const HidInterfaceInfo& info : backend.Enumerate()) {
        std::printf("%s %04x:%04x page=%04x usage=%04x in=%u out=%u feature=%u id=%u\n",
                    info.path.c_str(), info.vendorId, info.productId, info.usagePage, info.usage,
                    info.inputReportByteLength, info.outputReportByteLength,
                    info.featureReportByteLength, info.reportId);
    }
    return 0;
}

// The first interface of the vendor usage page `page` with a 17-byte report of the kind
// discovery looks for.
std::string FindVendorInterface(HidrawBackend& backend, std::uint16_t page) {
    for (const HidInterfaceInfo& info : backend.Enumerate()) {
        const bool command = page == 0xFF02 && info.featureReportByteLength == kReportLength;
        const bool notify = page == 0xFF01 && info.inputReportByteLength == kReportLength;
        if (info.usagePage == page && (command || notify)) return info.path;
    }
    return {};
}

int Exchange(HidrawBackend& backend) {
    const std::string cmdPath = FindVendorInterface(backend, 0xFF02);
    const std::string notifyPath = FindVendorInterface(backend, 0xFF01);
    if (cmdPath.empty() || notifyPath.empty()) {
        std::printf("exchange: no command or notification interface\n");
        return 1;
    }
    std::uint32_t error = 0;
    auto notify = backend.Open(notifyPath, &error);
    auto cmd = backend.Open(cmdPath, &error);
    if (!notify || !cmd) {
        std::printf("exchange: open failed, error=%u\n", error);
        return 1;
    }
    const CommandReport report = BuildCommandReport(MakePayload(kCmdGetConnectStatus));
    PrintHex("sent:", report.data(), report.size());
    if (!cmd->SetFeature(report.data(), report.size(), &error)) {
        std::printf("exchange: feature write failed, error=%u\n", error);
        return 1;
    }
    std::uint8_t reply[64] = {};
    if (notify->Read(reply, sizeof reply, 2000, &error) != HidReadResult::kOk) {
        std::printf("exchange: no reply, error=%u\n", error);
        return 1;
    }
    PrintHex("reply:", reply, kReportLength);
    return 0;
}

int Watch(HidrawBackend& backend, int seconds) {
    auto monitor = backend.WatchDeviceChanges([](const HidDeviceChange& change) {
        std::printf("%s %s %04x:%04x\n", change.arrived ? "arrived" : "removed",
                    change.path.c_str(), change.vendorId, change.productId);
        std::fflush(stdout);
    });
    std::printf("watching\n");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return 0;
}

}  // namespace
}  // namespace vantor

int main(int argc, char** argv) {
    vantor::HidrawBackend backend;
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "enumerate") return vantor::Enumerate(backend);
    if (command == "exchange") return vantor::Exchange(backend);
    if (command == "watch" && argc > 2) {
        const int seconds = std::atoi(argv[2]);
        if (seconds > 0 && seconds <= 600) return vantor::Watch(backend, seconds);
    }
    std::fprintf(stderr, "usage: vantor-hidraw-probe enumerate | exchange | watch SECONDS\n");
    return 2;
}
