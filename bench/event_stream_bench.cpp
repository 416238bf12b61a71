// Device events while commands run: the simulated mouse sends a stream of DPI-button events
// (one every millisecond) while the command channel runs queued memory reads against it,
// each answered after 2 ms. Every event must reach the window as a posted message; the
// counters say how many were sent, how many arrived, and how long the slowest one took from
// the button press to the post.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/config/config.h"
#include "base/poster.h"
#include "device/reply_queue.h"
#include "device/service_thread.h"
#include "device/usb_driver.h"
#include "platform/paths.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"

namespace vantor {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReplyLatencyMs = 2;
constexpr int kEventsPerRun = 500;

// Records when each device event was posted.
class TimingPoster : public MessagePoster {
  public:
    void Post(std::uint32_t message, std::uintptr_t, std::intptr_t) override {
        if (message != WM_DEVICE_BEHAVIOR) return;
        std::lock_guard<std::mutex> lock(mutex_);
        arrivals_.push_back(Clock::now());
    }
    std::vector<Clock::time_point> Arrivals() {
        std::lock_guard<std::mutex> lock(mutex_);
        return arrivals_;
    }

  private:
    std::mutex mutex_;
    std::vector<Clock::time_point> arrivals_;
};

void BM_EventsDuringCommands(benchmark::State& state) {
    if (!DataInit(ProgramDir() + "cfg.ini")) state.SkipWithError("cfg.ini not usable");
    std::uint64_t sent = 0;
    std::uint64_t received = 0;
    std::uint64_t commands = 0;
    double worstMs = 0;
    for (auto _ : state) {
        auto firmware = MakeSimFirmware(0);
        SimHidBackend backend(firmware);
        SimFaults faults;
        faults.replyLatencyMs = kReplyLatencyMs;
        backend.SetFaults(faults);
        ReplyQueue queue;
        CUSBDriver driver(CUSBDriver::kDefaultRetry, queue);
        TimingPoster poster;
        std::uint32_t error = 0;
        auto cmd = backend.Open(SimHidBackend::PathOf(0, SimInterface::kCommand), &error);
        auto notify = backend.Open(SimHidBackend::PathOf(0, SimInterface::kNotify), &error);
        driver.SetHandles(cmd, notify);
        ServiceThread reader(notify, ServiceThreadIds{}, queue, &poster);
        reader.Start();

        std::vector<Clock::time_point> presses;
        presses.reserve(kEventsPerRun);
        std::atomic<bool> pressing{true};
        std::thread mouse([&] {
            for (int i = 0; i < kEventsPerRun; ++i) {
                presses.push_back(Clock::now());
                firmware->PressDpiButton();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            pressing = false;
        });
        std::uint8_t buffer[10];
        while (pressing) {
            if (driver.ReadEEPROM(0x000C, buffer, sizeof buffer) == 1) ++commands;
        }
        mouse.join();
        // Give the last event a moment to arrive before counting.
        const auto deadline = Clock::now() + std::chrono::milliseconds(500);
        while (poster.Arrivals().size() < presses.size() && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const std::vector<Clock::time_point> arrivals = poster.Arrivals();
        sent += presses.size();
        received += arrivals.size();
        for (std::size_t i = 0; i < std::min(presses.size(), arrivals.size()); ++i) {
            worstMs = std::max(
                worstMs,
                std::chrono::duration<double, std::milli>(arrivals[i] - presses[i]).count());
        }
        reader.RequestStop();
        reader.Join();
        driver.ClearHandle();
    }
    state.counters["events_sent"] = static_cast<double>(sent);
    state.counters["events_received"] = static_cast<double>(received);
    state.counters["events_lost"] = static_cast<double>(sent - std::min(sent, received));
    state.counters["worst_latency_ms"] = worstMs;
    state.counters["commands"] = static_cast<double>(commands);
}
BENCHMARK(BM_EventsDuringCommands)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace vantor
