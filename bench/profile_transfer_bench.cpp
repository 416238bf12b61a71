// Reading and writing a whole profile against the simulated mouse through the real channel
// (driver, reply queue, notification reader), with a device that answers each command
// after 2 ms. Every pause is really slept and also added up: "floor_ms" is what the pauses
// of the reader, the writer and the channel alone take for the commands that ran, and
// "ratio" is the measured time over that floor (1.0 would mean no cost of our own);
// "ratio_own" leaves out the time the system overslept the pauses.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "app/config/codec_context_config.h"
#include "app/config/config.h"
#include "bench/sim_channel.h"
#include "device/profile_transfer.h"
#include "device/reply_queue.h"
#include "device/service_thread.h"
#include "device/usb_driver.h"
#include "platform/paths.h"
#include "profile/set_flags.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"

namespace vantor {
namespace {

constexpr int kReplyLatencyMs = 2;
constexpr std::uint32_t kWholeProfile = SET_KEY | SET_LED | SET_DPI | SET_CUR_DPI | SET_RATE |
                                        SET_DPI_COLOR | SET_DPI_NUM | SET_LOD | SET_FIXLINE |
                                        SET_RIPPLE | SET_DEBOUNCE | SET_MOTIONSYNC | SET_SLEEP |
                                        SET_LIGHTOFF | SET_SENSORMODE | SET_AUTOSLEEP;

class SummingSleeper : public Sleeper {
  public:
    void SleepMs(std::uint32_t milliseconds) override {
        total += milliseconds;
        const auto start = std::chrono::steady_clock::now();
        RealSleeper().SleepMs(milliseconds);
        const auto slept = std::chrono::steady_clock::now() - start;
        overshootUs += static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::microseconds>(slept).count() -
            std::int64_t{milliseconds} * 1000);
    }
    void Reset() {
        total = 0;
        overshootUs = 0;
    }
    std::atomic<std::uint64_t> total{0};        // milliseconds asked for
    std::atomic<std::uint64_t> overshootUs{0};  // how much longer the system slept
};

// The simulated mouse of DEV_1 behind the channel, paced by a sleeper that sums its waits.
struct Bench {
    Bench() { channel.settings.sleeper = &sleeper; }

    int Read(ProfileFile& record) {
        int level = 0;
        MacroNameTable names{};
        return GetProfile(&channel.driver, {}, channel.settings, {&record, &level, &names},
                          {[](std::string_view, std::string_view) {}, {}});
    }

    SummingSleeper sleeper;
    SimChannel channel{sleeper, kReplyLatencyMs};
};

void Report(benchmark::State& state, Bench& bench, std::uint64_t commands,
            std::chrono::steady_clock::duration elapsed) {
    const double ms = std::chrono::duration<double, std::milli>(elapsed).count();
    const auto floor = static_cast<double>(bench.sleeper.total.load());
    const auto perRun = static_cast<double>(state.iterations());
    state.counters["commands"] = static_cast<double>(commands) / perRun;
    state.counters["floor_ms"] = floor / perRun;
    state.counters["ratio"] = floor > 0 ? ms / floor : 0.0;
    // The same without the time the system slept beyond each pause (timer slack, load):
    // what the channel and the codecs cost on their own.
    const double overshootMs = static_cast<double>(bench.sleeper.overshootUs.load()) / 1000.0;
    state.counters["overshoot_ms"] = overshootMs / perRun;
    state.counters["ratio_own"] = floor > 0 ? (ms - overshootMs) / floor : 0.0;
}

void BM_ReadWholeProfile(benchmark::State& state) {
    Bench bench;
    ProfileFile record{};
    std::uint64_t commands = 0;
    std::chrono::steady_clock::duration elapsed{};
    for (auto _ : state) {
        const std::uint64_t before = bench.channel.backend->CommandCount();
        const auto start = std::chrono::steady_clock::now();
        if (bench.Read(record) != 1) state.SkipWithError("GetProfile failed");
        elapsed += std::chrono::steady_clock::now() - start;
        commands += bench.channel.backend->CommandCount() - before;
    }
    Report(state, bench, commands, elapsed);
}
BENCHMARK(BM_ReadWholeProfile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_WriteWholeProfile(benchmark::State& state) {
    Bench bench;
    ProfileFile record{};
    if (bench.Read(record) != 1) state.SkipWithError("GetProfile failed");
    record.dwProfileID = 1;
    bench.sleeper.Reset();
    std::uint64_t commands = 0;
    std::chrono::steady_clock::duration elapsed{};
    for (auto _ : state) {
        const std::uint64_t before = bench.channel.backend->CommandCount();
        const auto start = std::chrono::steady_clock::now();
        if (SetProfile(nullptr, &bench.channel.driver, &record, 0x42B, kWholeProfile, 255, 0,
                       bench.channel.settings) != 1) {
            state.SkipWithError("SetProfile failed");
        }
        elapsed += std::chrono::steady_clock::now() - start;
        commands += bench.channel.backend->CommandCount() - before;
    }
    Report(state, bench, commands, elapsed);
}
BENCHMARK(BM_WriteWholeProfile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace vantor
