#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <latch>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/config/config.h"
#include "app/config/discovery_config.h"
#include "device/discovery.h"
#include "device/usb_driver.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "tests/device/fake_hid.h"

namespace vantor {
namespace {

using namespace std::chrono_literals;
using test::LogCapture;
using test::RecordingPoster;

constexpr std::uint16_t kCablePid = 0xFA7B;     // in PID of the shipped cfg.ini
constexpr std::uint16_t kReceiverPid = 0xFA70;  // in PID2, the simulated mouse's own id

// Records every pause. The probe's window ends when `probeSettled` says so (a loaded
// machine may not run the watcher within the real 100 ms); the other short pauses are
// taken for real and the candidate threads' long ones are not waited out.
class PacedSleeper : public Sleeper {
  public:
    void SleepMs(std::uint32_t milliseconds) override {
        int probe = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            sleeps_.push_back(milliseconds);
            probe = static_cast<int>(std::count(sleeps_.begin(), sleeps_.end(), kProbeWaitMs));
        }
        if (milliseconds >= kFastPollMs && onPollSleep) onPollSleep(++pollSleeps_);
        if (milliseconds == kProbeWaitMs && probeSettled) {
            const auto limit = std::chrono::steady_clock::now() + 10s;
            while (!probeSettled(probe) && std::chrono::steady_clock::now() < limit) {
                std::this_thread::sleep_for(1ms);
            }
            return;
        }
        std::this_thread::sleep_for(
            std::chrono::milliseconds(milliseconds <= 100 ? milliseconds : 1));
    }
    // With `holdPolls`, a candidate's poll pause lasts until its record is stopped (as for a
    // mouse that stays switched off); a pause that outlived 10 s is noted.
    void SleepMsUnlessStopped(std::uint32_t milliseconds, const StopFlag& stop) override {
        if (!holdPolls) return SleepMs(milliseconds);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            sleeps_.push_back(milliseconds);
        }
        ++heldPolls;
        if (!stop.WaitFor(10000)) pauseOutlived = true;
    }
    bool holdPolls = false;
    std::atomic<int> heldPolls{0};
    std::atomic<bool> pauseOutlived{false};
    // The pauses of the candidate threads' poll loops, in order.
    std::vector<std::uint32_t> PollSleeps() const {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::uint32_t> polls;
        for (std::uint32_t ms : sleeps_) {
            if (ms == kFastPollMs || ms == kSlowPollMs) polls.push_back(ms);
        }
        return polls;
    }
    int Count(std::uint32_t milliseconds) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return static_cast<int>(std::count(sleeps_.begin(), sleeps_.end(), milliseconds));
    }
    // Runs on the sleeping thread with the number of the poll pause (from 1); set before
    // the search starts.
    std::function<void(int)> onPollSleep;
    // Whether the watchers are done with probe number `n` (from 1); unset, the probe's
    // window is taken for real.
    std::function<bool(int n)> probeSettled;

  private:
    mutable std::mutex mutex_;
    std::vector<std::uint32_t> sleeps_;
    std::atomic<int> pollSleeps_{0};
};

// Each probe is answered on one watched interface, whose watcher then ends: probe `n` is
// settled when `n` watchers have ended (a watcher that gets no reply gives up after its
// read time, so this never waits for ever).
void SettleProbesByWatcherExits(PacedSleeper& sleeper, const LogCapture& log) {
    sleeper.probeSettled = [&log](int n) { return log.Count("Match_Thread eixt, hFile=") >= n; };
}

// The shipped configuration: VID 25A7, PID FA7B, PID2 FA70,FA7C, DEV_1 = (1, 1).
struct ShippedConfig {
    ShippedConfig() { EXPECT_TRUE(DataInit(test::SourceDataDir() + "cfg.ini")); }
};

class DiscoveryTest : public ::testing::Test {
  protected:
    explicit DiscoveryTest(SimBackendSettings settings = {})
        : firmware(MakeSimFirmware(0)), backend(firmware, settings) {
        SettleProbesByWatcherExits(sleeper, log);
    }

    // Joins the candidate threads; a connected device's reader keeps running.
    void Settle() { ASSERT_TRUE(discovery.WaitForCandidates(10s)); }

    std::vector<RecordingPoster::Message> FoundMessages() const {
        std::vector<RecordingPoster::Message> found;
        for (const auto& m : poster.Messages()) {
            if (m.message == WM_FIND_DEVICE_OK) found.push_back(m);
        }
        return found;
    }
    int MatchedCount() const {
        int matched = 0;
        for (std::size_t i = 0; i < kCandidateCount; ++i) matched += discovery.Candidate(i).matched;
        return matched;
    }
    // The matched device answers queued commands: its reader thread runs.
    bool ReaderAnswers() {
        const auto cur = discovery.GetCurParam();
        if (!cur) return false;
        CUSBDriver driver(1, queue);
        driver.SetHandles(cur->hCmd, cur->hNotify);
        return driver.GetCurProfile() == 0;
    }
    std::vector<std::string> LinesStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& line : log.Lines()) {
            if (line.rfind(prefix, 0) == 0) found.push_back(line);
        }
        return found;
    }

    ShippedConfig config;
    LogCapture log;
    std::shared_ptr<SimFirmware> firmware;
    SimHidBackend backend;
    PacedSleeper sleeper;
    RecordingPoster poster;
    ReplyQueue queue;
    Discovery discovery{backend, &poster, DiscoveryConfigFromOptions(), queue, sleeper};
};

TEST_F(DiscoveryTest, FindsThePairPastTheDecoysAndReportsTheDevice) {
    EXPECT_EQ(discovery.FindDev(), 1);
    Settle();

    // Only the notification interface was watched, and one command interface probed.
    EXPECT_EQ(log.Count("Match_Thread eixt, hFile="), 1);
    EXPECT_EQ(sleeper.Count(kMatchThreadSpacingMs), 1);
    EXPECT_EQ(sleeper.Count(kProbeWaitMs), 1);
    EXPECT_EQ(sleeper.PollSleeps(), std::vector<std::uint32_t>{kFastPollMs});

    const auto cur = discovery.GetCurParam();
    ASSERT_TRUE(cur);
    EXPECT_EQ(cur->cmdPath, "sim:0/cmd");
    EXPECT_EQ(cur->notifyPath, "sim:0/notify");
    EXPECT_EQ(cur->CID, 1);
    EXPECT_EQ(cur->MID, 1);
    EXPECT_EQ(cur->VID, 0x25A7);
    EXPECT_EQ(cur->PID, kReceiverPid);
    EXPECT_EQ(cur->version, 0x0100);
    EXPECT_EQ(cur->section, 0);
    EXPECT_EQ(discovery.matchedCount, 1);
    EXPECT_EQ(FoundMessages(), (std::vector<RecordingPoster::Message>{{0x7F5, 0, 0}}));
    EXPECT_TRUE(ReaderAnswers());

    EXPECT_TRUE(log.Has("++++++++++++++++++ FindDev: looking for VID=25a7, PID=fa7b, PID2=fa70"));
    for (const char* line :
         {"* Path(hCmd)=   sim:0/cmd", "* Path(hNotify)=sim:0/notify", "Psd_Thread: CheckPsd=1",
          "- Dev Path(hCmd)=   sim:0/cmd", "- Dev Path(hNotify)=sim:0/notify"}) {
        EXPECT_TRUE(log.Has(line)) << line;
    }
    const auto details = LinesStartingWith("- m_hCmd=");
    ASSERT_EQ(details.size(), 1u);
    EXPECT_NE(details[0].find(", CID=1, MID=1, VID=25a7, PID=fa70"), std::string::npos);
    EXPECT_EQ(LinesStartingWith("Psd_Thread: bCennect=1, hCmd=").size(), 1u);
    EXPECT_EQ(LinesStartingWith("----Psd_Thread Exit, hCmd=").size(), 1u);
}

TEST_F(DiscoveryTest, SwitchedOffMouseKeepsPollingUntilItIsSwitchedOn) {
    firmware->SetMouseConnected(false);
    sleeper.onPollSleep = [this](int n) {
        if (n == 7) firmware->SetMouseConnected(true);
    };
    EXPECT_EQ(discovery.FindDev(), 1);
    Settle();

    EXPECT_EQ(sleeper.PollSleeps(),
              (std::vector<std::uint32_t>{200, 200, 200, 200, 1100, 1100, 1100}));
    EXPECT_EQ(LinesStartingWith("Psd_Thread: bCennect=0, hCmd=").size(), 6u);
    EXPECT_EQ(LinesStartingWith("Psd_Thread: bCennect=1, hCmd=").size(), 1u);
    EXPECT_TRUE(discovery.GetCurParam());
    EXPECT_EQ(FoundMessages().size(), 1u);
}

TEST_F(DiscoveryTest, UnplugWhilePollingEndsTheCandidateThread) {
    firmware->SetMouseConnected(false);
    sleeper.onPollSleep = [this](int n) {
        if (n == 3) backend.Unplug(0);
    };
    EXPECT_EQ(discovery.FindDev(), 1);
    Settle();

    EXPECT_EQ(sleeper.PollSleeps().size(), 3u);
    EXPECT_EQ(LinesStartingWith("Psd_Thread: hCmd=").size(), 1u);
    EXPECT_NE(LinesStartingWith("Psd_Thread: hCmd=")[0].find(" nErr=1167, ThreadId="),
              std::string::npos);
    EXPECT_EQ(LinesStartingWith("Psd_Thread: dev is plug out. ThreadId=").size(), 1u);
    EXPECT_EQ(LinesStartingWith("----Psd_Thread Exit, hCmd=").size(), 1u);
    EXPECT_FALSE(discovery.GetCurParam());
    EXPECT_TRUE(FoundMessages().empty());
}

TEST_F(DiscoveryTest, UnsupportedIdentityClosesThePair) {
    struct Case {
        std::uint8_t cid;
        std::uint8_t mid;
        const char* checkPsd;
        const char* line;
    };
    const Case cases[] = {
        {9, 9, "Psd_Thread: CheckPsd=1", "Psd_Thread: unsupport dev!!! cid=9, mid=9"},
        {0, 0, "Psd_Thread: CheckPsd=-1", "Psd_Thread: unsupport dev!!! cid=0, mid=0"},
    };
    for (const Case& c : cases) {
        firmware->SetIdentity(c.cid, c.mid);
        EXPECT_EQ(discovery.FindDev(), 1) << c.line;
        Settle();
        EXPECT_TRUE(log.Has(c.checkPsd)) << c.line;
        EXPECT_TRUE(log.Has(c.line)) << c.line;
        const DevParam record = discovery.Candidate(0);
        ASSERT_TRUE(record.hCmd) << c.line;
        EXPECT_FALSE(record.hCmd->IsOpen()) << c.line;
        EXPECT_FALSE(record.hNotify->IsOpen()) << c.line;
        EXPECT_FALSE(discovery.GetCurParam()) << c.line;
    }
    EXPECT_TRUE(FoundMessages().empty());
    EXPECT_EQ(discovery.matchedCount, 0);
}

TEST_F(DiscoveryTest, SearchWhileConnectedLeavesTheDeviceRunning) {
    ASSERT_EQ(discovery.FindDev(), 1);
    Settle();
    const auto before = discovery.GetCurParam();
    ASSERT_TRUE(before);

    EXPECT_EQ(discovery.FindDev(), 0);
    Settle();
    EXPECT_EQ(LinesStartingWith("pCurParam: PID=fa70, hCmd=0x").size(), 1u);
    EXPECT_EQ(log.Count("Match_Thread eixt"), 1);  // no watcher on its interface this time
    EXPECT_EQ(sleeper.Count(kProbeWaitMs), 1);     // and no probe on its command interface
    const auto after = discovery.GetCurParam();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->hCmd, before->hCmd);
    EXPECT_TRUE(after->hCmd->IsOpen());
    EXPECT_TRUE(ReaderAnswers());
    EXPECT_EQ(discovery.matchedCount, 0);  // a search counts only its own matches
}

TEST_F(DiscoveryTest, SearchShutsDownAWaitingCandidate) {
    firmware->SetMouseConnected(false);
    ASSERT_EQ(discovery.FindDev(), 1);
    const DevParam waiting = discovery.Candidate(0);
    ASSERT_TRUE(waiting.hCmd);

    EXPECT_EQ(discovery.FindDev(), 1);
    EXPECT_FALSE(waiting.hCmd->IsOpen());
    EXPECT_FALSE(waiting.hNotify->IsOpen());
    const DevParam fresh = discovery.Candidate(0);
    ASSERT_TRUE(fresh.hCmd);
    EXPECT_NE(fresh.hCmd, waiting.hCmd);
    EXPECT_TRUE(fresh.hCmd->IsOpen());
}

TEST_F(DiscoveryTest, ClosingTheDeviceClearsItsRecord) {
    ASSERT_EQ(discovery.FindDev(), 1);
    Settle();
    const auto cur = discovery.GetCurParam();
    ASSERT_TRUE(cur);

    CUSBDriver driver(1, queue);
    driver.SetHandles(cur->hCmd, cur->hNotify);
    driver.SetClearCandidatesHook([this] { discovery.ClearMatched(); });
    driver.ClearHandle();

    EXPECT_FALSE(discovery.GetCurParam());
    EXPECT_FALSE(discovery.Candidate(0).hCmd);
    EXPECT_FALSE(cur->hCmd->IsOpen());
    EXPECT_FALSE(cur->hNotify->IsOpen());
    EXPECT_TRUE(log.Has("ServiceThread exit"));
}

// A candidate thread in its poll pause ends as soon as its record is shut down: the clean-up
// at exit joins it without a fixed wait of its own.
TEST_F(DiscoveryTest, ClearThreadShutsDownEveryRecordAndJoinsItsThreadsAtOnce) {
    firmware->SetMouseConnected(false);
    sleeper.holdPolls = true;
    ASSERT_EQ(discovery.FindDev(), 1);
    const DevParam waiting = discovery.Candidate(0);
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while (sleeper.heldPolls == 0 && std::chrono::steady_clock::now() < limit) {
        std::this_thread::yield();
    }
    ASSERT_EQ(sleeper.heldPolls, 1);

    discovery.ClearThread();
    EXPECT_TRUE(log.Has("ClearThread"));
    EXPECT_FALSE(sleeper.pauseOutlived);
    EXPECT_EQ(sleeper.Count(kSlowPollMs), 0);
    EXPECT_TRUE(discovery.WaitForCandidates(0ms));  // already joined
    EXPECT_FALSE(discovery.Candidate(0).hCmd);
    EXPECT_FALSE(waiting.hCmd->IsOpen());
}

TEST(DiscoveryWithoutDeviceTest, NoInterfaceOfTheVendorStartsNothing) {
    ShippedConfig config;
    LogCapture log;
    SimHidBackend backend(MakeSimFirmware(0), SimBackendSettings{.vendorId = 0x1234});
    PacedSleeper sleeper;
    RecordingPoster poster;
    Discovery discovery(backend, &poster, DiscoveryConfigFromOptions(), ProcessReplyQueue(),
                        sleeper);
    EXPECT_EQ(discovery.FindDev(), 0);
    EXPECT_EQ(log.Count("Match_Thread"), 0);
    EXPECT_EQ(log.Count("----Psd_Thread"), 0);
    EXPECT_EQ(sleeper.Count(kProbeWaitMs), 0);
    EXPECT_FALSE(discovery.GetCurParam());
}

// The same mouse on its cable (connection 0, PID) and its receiver (connection 1, PID2).
class CableAndReceiverTest : public DiscoveryTest {
  protected:
    CableAndReceiverTest()
        : DiscoveryTest(SimBackendSettings{
              .productId = kCablePid, .cableAndReceiver = true, .secondProductId = kReceiverPid}) {}
};

TEST_F(CableAndReceiverTest, CableWinsWhicheverIsIdentifiedSecond) {
    for (int first : {0, 1}) {
        SCOPED_TRACE(first == 0 ? "cable first" : "receiver first");
        backend.Unplug(1 - first);
        ASSERT_EQ(discovery.FindDev(), 1);
        Settle();
        ASSERT_TRUE(discovery.GetCurParam());
        EXPECT_EQ(discovery.GetCurParam()->PID, first == 0 ? kCablePid : kReceiverPid);

        backend.Plug(1 - first);
        ASSERT_EQ(discovery.FindDev(), 1);
        Settle();
        const auto cur = discovery.GetCurParam();
        ASSERT_TRUE(cur);
        EXPECT_EQ(cur->PID, kCablePid);
        EXPECT_EQ(cur->cmdPath, "sim:0/cmd");
        EXPECT_EQ(MatchedCount(), 1);
        EXPECT_TRUE(ReaderAnswers());
        discovery.ClearThread();
    }
    EXPECT_EQ(
        LinesStartingWith("Psd_Thread: another dev has exist, give up this!!! cid=1, mid=1").size(),
        1u);
}

TEST_F(CableAndReceiverTest, BothIdentifiedAtOnceLeaveTheCableMatched) {
    std::latch bothPolling(2);
    sleeper.onPollSleep = [&bothPolling](int n) {
        if (n <= 2) bothPolling.arrive_and_wait();
    };
    ASSERT_EQ(discovery.FindDev(), 2);
    Settle();
    const auto cur = discovery.GetCurParam();
    ASSERT_TRUE(cur);
    EXPECT_EQ(cur->PID, kCablePid);
    EXPECT_EQ(MatchedCount(), 1);
    EXPECT_TRUE(cur->hCmd->IsOpen());
    // One mouse, whichever connection was identified first (the window closes at two).
    EXPECT_EQ(discovery.matchedCount, 1);
}

// Two different mice behind one backend: each sim backend's paths get a prefix.
class TwoMiceBackend : public HidBackend {
  public:
    TwoMiceBackend(HidBackend& a, HidBackend& b) : parts_{&a, &b} {}
    std::vector<HidInterfaceInfo> Enumerate() override {
        std::vector<HidInterfaceInfo> all;
        for (std::size_t i = 0; i < 2; ++i) {
            for (HidInterfaceInfo info : parts_[i]->Enumerate()) {
                info.path = Prefix(i) + info.path;
                all.push_back(info);
            }
        }
        return all;
    }
    std::shared_ptr<HidHandle> Open(const std::string& path, std::uint32_t* error) override {
        for (std::size_t i = 0; i < 2; ++i) {
            if (path.rfind(Prefix(i), 0) == 0) {
                return parts_[i]->Open(path.substr(Prefix(i).size()), error);
            }
        }
        *error = kHidFileNotFound;
        return nullptr;
    }
    std::unique_ptr<Monitor> WatchDeviceChanges(
        std::function<void(const HidDeviceChange&)>) override {
        return nullptr;
    }

  private:
    static std::string Prefix(std::size_t i) { return i == 0 ? "a|" : "b|"; }
    HidBackend* parts_[2];
};

TEST(TwoMiceTest, TwoDevicesIdentifiedAtOnceEndWithExactlyOneMatched) {
    ShippedConfig config;
    LogCapture log;
    SimHidBackend first(MakeSimFirmware(0));   // DEV_1: (1, 1)
    SimHidBackend second(MakeSimFirmware(1));  // DEV_2: (1, 2)
    TwoMiceBackend both(first, second);
    PacedSleeper sleeper;
    SettleProbesByWatcherExits(sleeper, log);
    std::latch bothPolling(2);
    sleeper.onPollSleep = [&bothPolling](int n) {
        if (n <= 2) bothPolling.arrive_and_wait();
    };
    RecordingPoster poster;
    ReplyQueue queue;
    Discovery discovery(both, &poster, DiscoveryConfigFromOptions(), queue, sleeper);

    ASSERT_EQ(discovery.FindDev(), 2);
    ASSERT_TRUE(discovery.WaitForCandidates(10s));
    int matched = 0;
    for (std::size_t i = 0; i < kCandidateCount; ++i) matched += discovery.Candidate(i).matched;
    EXPECT_EQ(matched, 1);
    // Both became matched in turn, so the main window learns that two devices are present.
    EXPECT_EQ(discovery.matchedCount, 2);
    EXPECT_EQ(poster.Messages().size(), 2u);
    const auto cur = discovery.GetCurParam();
    ASSERT_TRUE(cur);
    EXPECT_TRUE(cur->hCmd->IsOpen());
    EXPECT_EQ(cur->section, cur->MID == 1 ? 0 : 1);
}

// The found message carries the mouse's device section; making it current is the window
// thread's step, so a search never switches the section under a window that reads it.
TEST(FoundSectionTest, TheFoundMessageCarriesTheSectionAndTheCurrentOneStays) {
    ShippedConfig config;
    LogCapture log;
    SimHidBackend backend(MakeSimFirmware(1));  // DEV_2: (1, 2)
    PacedSleeper sleeper;
    SettleProbesByWatcherExits(sleeper, log);
    RecordingPoster poster;
    ReplyQueue queue;
    Discovery discovery(backend, &poster, DiscoveryConfigFromOptions(), queue, sleeper);
    ASSERT_EQ(CurrentDeviceIndex(), 0);

    ASSERT_EQ(discovery.FindDev(), 1);
    ASSERT_TRUE(discovery.WaitForCandidates(10s));
    const auto cur = discovery.GetCurParam();
    ASSERT_TRUE(cur);
    EXPECT_EQ(cur->section, 1);
    ASSERT_EQ(poster.Messages().size(), 1u);
    EXPECT_EQ(poster.Messages().front().message, WM_FIND_DEVICE_OK);
    EXPECT_EQ(poster.Messages().front().lParam, 1);
    EXPECT_EQ(CurrentDeviceIndex(), 0);
}

}  // namespace
}  // namespace vantor
