// The real command channel connected to the simulated mouse: the mouse of a device section
// of the shipped cfg.ini behind the simulated HID backend, its notification reader thread,
// a reply queue and a driver. The channel's pauses run at a quarter of their length (each
// millisecond asked for is slept as 250 microseconds), so time-outs still happen for real
// but tests run fast, and a reply still beats the time-out on a loaded machine; the sleeper also
// adds up what the channel asked for.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/config/config.h"
#include "device/reply_queue.h"
#include "device/service_thread.h"
#include "device/sleeper.h"
#include "device/usb_driver.h"
#include "keys/macro_library_access.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"

namespace vantor::test {

class ScaledSleeper : public Sleeper {
  public:
    explicit ScaledSleeper(std::uint32_t microsecondsPerMs = 250) : scale_(microsecondsPerMs) {}
    void SleepMs(std::uint32_t milliseconds) override {
        askedMs_.fetch_add(milliseconds, std::memory_order_relaxed);
        std::this_thread::sleep_for(std::chrono::microseconds(milliseconds * scale_));
    }
    std::uint64_t AskedMs() const { return askedMs_.load(std::memory_order_relaxed); }

  private:
    std::uint32_t scale_;
    std::atomic<std::uint64_t> askedMs_{0};
};

// Reads the shipped configuration once per test program.
inline void LoadShippedConfig() {
    static const bool loaded = DataInit(std::string(VANTOR_SOURCE_DATA_DIR) + "cfg.ini");
    ASSERT_TRUE(loaded);
}

class SimLink {
  public:
    explicit SimLink(int sectionIndex = 0, std::uint32_t microsecondsPerMs = 250)
        : sleeper(microsecondsPerMs),
          queue(sleeper),
          firmware(MakeSimFirmware(sectionIndex)),
          backend(firmware),
          driver(CUSBDriver::kDefaultRetry, queue, sleeper) {
        SelectDeviceSection(sectionIndex);
        CopyDefaultKeys(DeviceSectionAt(sectionIndex));
        Connect();
    }
    ~SimLink() { Disconnect(); }
    SimLink(const SimLink&) = delete;
    SimLink& operator=(const SimLink&) = delete;

    void Connect() {
        std::uint32_t error = 0;
        auto cmd = backend.Open(SimHidBackend::PathOf(0, SimInterface::kCommand), &error);
        auto notify = backend.Open(SimHidBackend::PathOf(0, SimInterface::kNotify), &error);
        ASSERT_TRUE(cmd && notify);
        driver.SetHandles(cmd, notify);
        reader = std::make_unique<ServiceThread>(notify, ServiceThreadIds{}, queue, poster);
        reader->Start();
    }
    void Disconnect() {
        reader.reset();
        driver.ClearHandle();
    }

    MessagePoster* poster = nullptr;  // receives the device events when set before Connect
    ScaledSleeper sleeper;
    ReplyQueue queue;
    std::shared_ptr<SimFirmware> firmware;
    SimHidBackend backend;
    CUSBDriver driver;
    std::unique_ptr<ServiceThread> reader;
};

// A macro library in memory.
class MemoryMacroLibrary : public MacroLibraryAccess {
  public:
    const MacroRecord* FindMacroByName(std::string_view utf8Name) const override {
        for (const MacroRecord& m : macros) {
            if (MacroName(m) == utf8Name) return &m;
        }
        return nullptr;
    }
    const MacroRecord* FindMacroById(std::uint32_t id) const override {
        for (const MacroRecord& m : macros) {
            if (m.dwMacroID == id) return &m;
        }
        return nullptr;
    }
    bool AddMacro(const MacroRecord& macro) override {
        macros.push_back(macro);
        return true;
    }
    void ReplaceMacro(const MacroRecord& existing, const MacroRecord& content) override {
        for (MacroRecord& m : macros) {
            if (m.dwMacroID == existing.dwMacroID) {
                MacroRecord replaced = content;
                replaced.dwMacroID = existing.dwMacroID;
                std::copy(std::begin(existing.szName), std::end(existing.szName),
                          std::begin(replaced.szName));
                m = replaced;
            }
        }
        ++replaceCount;
    }
    std::vector<MacroRecord> macros;
    int replaceCount = 0;
};

}  // namespace vantor::test
