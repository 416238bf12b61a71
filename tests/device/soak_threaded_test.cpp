// Thousands of exchanges through the real command channel against the simulated mouse with
// injected faults (lost replies, stray replies, error statuses, latency, events from the
// mouse) from several threads at once, ended by an unplug: nothing hangs or crashes, every
// failed command leaves its log line, and the reader thread ends with the unplug.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "device/service_thread.h"
#include "profile/memory_map.h"
#include "tests/device/fake_hid.h"
#include "tests/device/sim_link.h"

namespace vantor {
namespace {

using test::LogCapture;
using test::RecordingPoster;
using test::SimLink;

constexpr unsigned kCommandsBeforeUnplug = 3000;
constexpr auto kDeadline = std::chrono::seconds(50);

struct Tally {
    std::atomic<int> ok{0};
    std::atomic<int> failed{0};
    void Add(bool success) { (success ? ok : failed)++; }
};

TEST(ChannelSoakTest, FaultsAndUnplugNeverHangAndEveryFailureIsLogged) {
    test::LoadShippedConfig();
    LogCapture log;
    // Pauses at a twentieth: a lost reply costs about 50 ms instead of a second.
    SimLink link(0, 50);
    RecordingPoster poster;
    link.Disconnect();
    link.poster = &poster;
    link.Connect();

    SimFaults faults;
    faults.replyLatencyMs = 1;
    faults.dropProbability = 0.02;
    faults.dropSeed = 7;
    faults.strayEveryNth = 5;
    faults.errorEveryNth = 13;
    faults.unplugAfterCommands = kCommandsBeforeUnplug;
    link.backend.SetFaults(faults);

    Tally reads, writes, profiles, status;
    std::atomic<bool> stop{false};
    const auto start = std::chrono::steady_clock::now();
    // Each worker runs until a few of its commands failed after the unplug.
    auto worker = [&](auto&& command) {
        int failuresAfterUnplug = 0;
        while (failuresAfterUnplug < 3 && !stop &&
               std::chrono::steady_clock::now() - start < kDeadline) {
            const bool plugged = link.backend.IsPlugged();
            const bool ok = command();
            if (!plugged && ok) ADD_FAILURE() << "a command succeeded after the unplug";
            if (!plugged && !ok) ++failuresAfterUnplug;
        }
    };
    std::vector<std::future<void>> threads;
    threads.push_back(std::async(std::launch::async, worker, [&] {
        std::uint8_t bytes[10];
        const bool ok = link.driver.ReadEEPROM(0x0060, bytes, sizeof bytes) == 1;
        reads.Add(ok);
        return ok;
    }));
    threads.push_back(std::async(std::launch::async, worker, [&] {
        // A (value, check) pair, as the settings are written.
        static std::uint8_t value = 0;
        value = static_cast<std::uint8_t>(value % 20 + 1);
        const std::uint8_t pair[2] = {value, static_cast<std::uint8_t>(0x55 - value)};
        const bool ok = link.driver.WriteEEPROM(0, 2, memory_map::kDebounce, pair) == 1;
        writes.Add(ok);
        return ok;
    }));
    threads.push_back(std::async(std::launch::async, worker, [&] {
        const bool ok = link.driver.GetCurProfile() >= 0;
        profiles.Add(ok);
        const bool connected = link.driver.GetConnectStatus() >= 0;
        status.Add(connected);
        return ok && connected;
    }));
    threads.push_back(std::async(std::launch::async, [&] {
        while (link.backend.IsPlugged() && !stop) {
            link.firmware->PressDpiButton();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }));

    for (auto& t : threads) {
        if (t.wait_until(start + kDeadline + std::chrono::seconds(10)) !=
            std::future_status::ready) {
            stop = true;
            FAIL() << "the channel hung";
        }
    }
    // The reader ends by itself when the device goes.
    auto reader = std::async(std::launch::async, [&] { link.reader->Join(); });
    ASSERT_EQ(reader.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(log.Has("ServiceThread exit"));

    // The unplug came after the set number of commands: all of them went through the
    // channel. How many exchanges succeeded depends on the machine's load (a reply that
    // comes late counts as lost), so only "some" is certain.
    ASSERT_FALSE(link.backend.IsPlugged()) << "the run ended before the unplug";
    EXPECT_GT(reads.ok + writes.ok + profiles.ok + status.ok, 0);

    // Every failure names its operation in the log.
    EXPECT_EQ(log.Count("GetCurProfile Failed"), profiles.failed.load());
    EXPECT_EQ(log.Count("GetConnectStatus Failed"), status.failed.load());
    const int sendFailures = log.Count("SendCommand err=0x48f");
    EXPECT_GE(log.Count("ReadEEPROM Failed") + sendFailures, reads.failed.load());
    EXPECT_GE(log.Count("WriteEEPROM Err") + log.Count("SendCommand err"), writes.failed.load());
    EXPECT_GT(log.Count("WaitNotify TimeOut"), 0);  // the lost replies were waited out

    // Events from the mouse were posted, never queued as replies.
    int dpiEvents = 0;
    for (const auto& m : poster.Messages()) {
        dpiEvents += m.message == WM_DEVICE_BEHAVIOR && m.lParam == kBehaviorDpiLevel ? 1 : 0;
    }
    EXPECT_GT(dpiEvents, 0);
}

}  // namespace
}  // namespace vantor
