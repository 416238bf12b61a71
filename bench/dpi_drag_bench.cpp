// A DPI slider dragged over its whole range: one new value every 8 ms for 2 s, each one
// stored through the performance page's rules and handed to the apply worker at once (the
// page itself writes on release; this is the worst case of a page writing while dragging).
// The simulated mouse answers each command after 2 ms. A watcher samples the worker's queue
// every 0.5 ms: "max_in_flight" and "max_waiting" must stay at 1 and 1, "writes" is how
// many requests reached the mouse, "commands" the device commands they took, and
// "final_ok" is 1 when the mouse ends on the drag's last value.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include "app/config/codec_context_config.h"
#include "app/config/config.h"
#include "base/message_sink.h"
#include "bench/sim_channel.h"
#include "device/apply_worker.h"
#include "device/profile_transfer.h"
#include "device/reply_queue.h"
#include "device/service_thread.h"
#include "device/usb_driver.h"
#include "platform/paths.h"
#include "profile/sensor_tables.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "ui/pages/performance/logic/performance_rules.h"

namespace vantor {
namespace {

constexpr int kReplyLatencyMs = 2;
constexpr auto kTick = std::chrono::milliseconds(8);
constexpr int kTicks = 250;  // 2 s
constexpr int kLevel = 0;

void BM_DpiSliderDrag(benchmark::State& state) {
    SimChannel channel(RealSleeper(), kReplyLatencyMs);
    ProfileFile record{};
    int curLevel = 0;
    MacroNameTable names{};
    if (GetProfile(&channel.driver, {}, channel.settings, {&record, &curLevel, &names},
                   {[](std::string_view, std::string_view) {}, {}}) != 1) {
        state.SkipWithError("GetProfile failed");
        return;
    }
    record.dwProfileID = 1;
    const std::vector<int> stops =
        DpiStops(TheSensorTables().Steps(static_cast<std::uint32_t>(CurrentDevice().Sensor)));
    const PerformanceShown shown = ShownForDevice(CurrentDevice(), false);

    std::mutex recordLock;  // the bench thread plays the window thread that owns the record
    StderrMessageSink messages;
    ApplyWorker worker;
    ApplyWorkerSetup setup;
    setup.driver = &channel.driver;
    setup.messages = &messages;
    setup.currentRecord = [&](ProfileFile& out) {
        out = record;
        return true;
    };
    setup.curDpiLevel = [&] { return curLevel; };
    setup.transferSettings = [&] { return channel.settings; };
    worker.StartApplyThread(setup);

    double writes = 0, commands = 0, requests = 0, finalOk = 1;
    std::size_t maxInFlight = 0, maxWaiting = 0;
    for (auto _ : state) {
        const std::uint64_t appliedBefore = worker.Queue().applied;
        const std::uint64_t commandsBefore = channel.backend->CommandCount();
        std::atomic<bool> dragging{true};
        std::thread watcher([&] {
            while (dragging.load()) {
                const ApplyWorker::QueueState q = worker.Queue();
                maxInFlight = std::max(maxInFlight, q.running);
                maxWaiting = std::max(maxWaiting, q.waiting);
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
        });
        PerformanceEditor editor;
        editor.Load(record);
        int last = 0;
        auto next = std::chrono::steady_clock::now();
        for (int tick = 0; tick < kTicks; ++tick) {
            const std::size_t index = static_cast<std::size_t>(tick) * (stops.size() - 1) /
                                      static_cast<std::size_t>(kTicks - 1);
            last = stops[index];
            const std::optional<PerfRequest> request = editor.SetLevelDpi(kLevel, 0, last);
            {
                std::lock_guard<std::mutex> lock(recordLock);
                StorePerformanceValues(editor.Values(), shown, record);
            }
            if (request) worker.RequestApply(request->flags, request->index);
            requests += 1;
            next += kTick;
            std::this_thread::sleep_until(next);
        }
        worker.WaitIdle(10000);
        dragging = false;
        watcher.join();
        writes += static_cast<double>(worker.Queue().applied - appliedBefore);
        commands += static_cast<double>(channel.backend->CommandCount() - commandsBefore);

        ProfileFile check{};
        int level = 0;
        if (GetProfile(&channel.driver, {}, channel.settings, {&check, &level, &names},
                       {[](std::string_view, std::string_view) {}, {}}) != 1 ||
            static_cast<int>(check.Dpi[kLevel].dwDpi) != last) {
            finalOk = 0;
        }
    }
    worker.Stop();
    const auto runs = static_cast<double>(state.iterations());
    state.counters["values"] = requests / runs;
    state.counters["writes"] = writes / runs;
    state.counters["commands"] = commands / runs;
    state.counters["max_in_flight"] = static_cast<double>(maxInFlight);
    state.counters["max_waiting"] = static_cast<double>(maxWaiting);
    state.counters["final_ok"] = finalOk;
}
BENCHMARK(BM_DpiSliderDrag)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace vantor
