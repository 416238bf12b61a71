// Cost of the command channel itself: device memory reads and writes through the queued
// exchange against an in-memory device that answers at once, with the pauses counted
// instead of slept. The "device_ms" counter is the time the pauses alone would take on a
// real mouse, the floor that the channel's own work is measured against.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "device/reply_queue.h"
#include "device/usb_driver.h"

namespace vantor {
namespace {

class SummingSleeper : public Sleeper {
  public:
    void SleepMs(std::uint32_t milliseconds) override { total += milliseconds; }
    std::uint64_t total = 0;
};

// Answers each command report at once by appending the reply to the queue.
class InstantDevice : public HidHandle {
  public:
    explicit InstantDevice(ReplyQueue& queue) : queue_(queue), memory_(0x10000, 0) {}
    const std::string& Path() const override { return path_; }
    bool SetFeature(const std::uint8_t* report, std::size_t, std::uint32_t*) override {
        std::uint8_t reply[kReplyPayloadLength] = {};
        std::copy(report + 1, report + 1 + kPayloadData, reply);
        const std::size_t address = report[3] << 8 | report[4];
        const std::size_t n = std::min<std::size_t>(report[5], kMaxDataBytes);
        for (std::size_t i = 0; i < n; ++i) {
            std::uint8_t& cell = memory_[(address + i) & 0xFFFF];
            if (report[1] == kCmdWriteEEPROM) cell = report[6 + i];
            reply[kPayloadData + i] = cell;
        }
        queue_.Append(reply);
        return true;
    }
    HidReadResult Read(std::uint8_t*, std::size_t, int, std::uint32_t*,
                       std::size_t* = nullptr) override {
        return HidReadResult::kTimeout;
    }
    void SignalStop() override {}
    bool GetAttributes(HidAttributes*, std::uint32_t*) override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }

  private:
    ReplyQueue& queue_;
    std::vector<std::uint8_t> memory_;
    std::string path_ = "instant";
};

void BM_ReadROM(benchmark::State& state) {
    SummingSleeper sleeper;
    ReplyQueue queue(sleeper);
    CUSBDriver driver(3, queue, sleeper);
    driver.SetHandles(std::make_shared<InstantDevice>(queue), nullptr);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(driver.ReadROM(0x100, buffer.size(), buffer.data()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
    state.counters["device_ms"] =
        benchmark::Counter(static_cast<double>(sleeper.total), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ReadROM)->Arg(10)->Arg(256)->Arg(2048);

void BM_WriteEEPROM(benchmark::State& state) {
    SummingSleeper sleeper;
    ReplyQueue queue(sleeper);
    CUSBDriver driver(3, queue, sleeper);
    driver.SetHandles(std::make_shared<InstantDevice>(queue), nullptr);
    const std::vector<std::uint8_t> data(static_cast<std::size_t>(state.range(0)), 0x5A);
    for (auto _ : state) {
        benchmark::DoNotOptimize(driver.WriteEEPROM(8, data.size(), 0x200, data.data()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
    state.counters["device_ms"] =
        benchmark::Counter(static_cast<double>(sleeper.total), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WriteEEPROM)->Arg(32)->Arg(256);

}  // namespace
}  // namespace vantor
