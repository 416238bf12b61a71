#include "app/config/codec_context_config.h"
#include "app/session/device_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/file_io.h"
#include "base/texts.h"
#include "keys/key_functions.h"
#include "keys/macro_record.h"
#include "profile/key_codec.h"
#include "profile/lighting_codec.h"
#include "profile/macro_slot.h"
#include "profile/memory_map.h"
#include "profile/set_flags.h"
#include "tests/device/fake_hid.h"
#include "tests/device/sim_link.h"

namespace vantor {
namespace {

namespace mm = memory_map;
using test::CountingSleeper;
using test::LogCapture;
using test::RecordingPoster;
using test::SimLink;

class FakeTimers : public SessionTimers {
  public:
    void Start(int id, int periodMs) override {
        running[id] = periodMs;
        ++starts[id];
    }
    void Stop(int id) override { running.erase(id); }
    bool IsRunning(int id) const override { return running.count(id) != 0; }
    std::map<int, int> running;
    std::map<int, int> starts;
};

class FakeFinder : public DeviceFinder {
  public:
    int FindDev() override {
        ++searches;
        searchThread = std::this_thread::get_id();
        return found;
    }
    std::optional<DevParam> GetCurParam() override { return device; }
    int FindOkNum() override { return okNum; }
    int found = 0;
    int searches = 0;
    std::thread::id searchThread;
    int okNum = 1;
    std::optional<DevParam> device;
};

// Records what the window was asked to do, one entry per call.
class FakeWindow : public SessionWindow {
  public:
    void ShowNotice(const std::string& text) override { calls.push_back("text:" + text); }
    // The answer comes at once, as a click on the open question would bring it.
    void Ask(const std::string& text, std::function<void()> onOk) override {
        calls.push_back("ask:" + text);
        if (answerOk) onOk();
    }
    void ShowReadWait(const std::string& text) override {
        calls.push_back("wait:" + text);
        waitShown = true;
    }
    void CloseReadWait() override { waitShown = false; }
    std::shared_ptr<ProgressSink> OpenRestoreProgress(const std::string& text) override {
        calls.push_back("progress:" + text);
        return progress;
    }
    void CloseWindow() override { calls.push_back("close"); }
    bool IsWindowVisible() const override { return visible; }
    void ShowsMouseSettings(bool shown) override { showsMouse = shown; }
    void LayoutForDevice() override { calls.push_back("layout"); }
    void RefreshPages() override { calls.push_back("pages"); }
    void RefreshPerformancePage() override { calls.push_back("performance"); }
    void RefreshLightingPage() override { calls.push_back("lighting"); }
    void MarkCurrentLevel(int level) override { calls.push_back("level:" + std::to_string(level)); }
    void SelectReportRateFromDevice(int code) override {
        calls.push_back("rate:" + std::to_string(code));
    }
    bool IsBatteryShown() const override { return batteryShown; }
    void ShowBattery() override {
        batteryShown = true;
        calls.push_back("battery");
    }
    void HideBattery() override {
        batteryShown = false;
        calls.push_back("hide battery");
    }
    void SetPower(int level, bool charging) override {
        calls.push_back("power:" + std::to_string(level) + (charging ? "+" : ""));
    }
    std::vector<std::string> calls;
    std::optional<bool> showsMouse;  // the mark of the last read's outcome
    bool answerOk = true;
    bool visible = true;
    bool waitShown = false;                  // the read wait is open
    std::shared_ptr<ProgressSink> progress;  // what OpenRestoreProgress hands out
    bool batteryShown = false;
};

// The window thread's message queue: device events and session results in the order they
// were posted, handed to the session by RunUntil on the test thread.
class WindowQueue : public MessagePoster {
  public:
    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back({message, wParam, lParam});
        }
        posted_.notify_all();
    }

    // Dispatches messages until `done` holds with the queue empty; false after `timeoutMs`.
    bool RunUntil(DeviceSession& session, const std::function<bool()>& done, int timeoutMs) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            RecordingPoster::Message next{};
            {
                std::unique_lock<std::mutex> lock(mutex_);
                if (queue_.empty() && done()) return true;
                if (!posted_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) {
                    return done();
                }
                next = queue_.front();
                queue_.pop_front();
            }
            if (next.message == WM_DEVICE_BEHAVIOR) {
                if (!session.FirstReadDone()) kindsWhileReading.insert(next.lParam);
                session.OnDeviceBehavior(next.wParam, next.lParam);
            } else if (next.message == WM_SESSION_RESULT) {
                session.OnSessionResult(next.wParam);
            }
        }
    }
    std::set<std::intptr_t> kindsWhileReading;  // notification kinds dispatched during a read

  private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<RecordingPoster::Message> queue_;
};

class DeviceSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::LoadShippedConfig();
        LoadTexts(std::string(VANTOR_SOURCE_DATA_DIR) + "text.xml");
        store.LoadPro();
        config = SessionConfigFromOptions();
        MakeSession(&poster);
    }

    // The session with `window` as the window it posts its results to.
    void MakeSession(MessagePoster* windowPoster, int batteryPollMs = kBatteryPollMs) {
        session.reset();
        DeviceSessionSetup s;
        s.driver = &link.driver;
        s.store = &store;
        s.finder = &finder;
        s.window = &window;
        s.timers = &timers;
        s.poster = windowPoster;
        s.macros = &library;
        s.config = [this] { return config; };
        s.tickMs = [this] { return now; };
        s.sleeper = &pauses;
        s.batteryPollMs = batteryPollMs;
        session = std::make_unique<DeviceSession>(std::move(s));
    }

    // Runs the device thread's work to its end and hands every result to the session, as
    // the window does with WM_SESSION_RESULT; results may ask for more device work.
    void Pump() {
        for (;;) {
            ASSERT_TRUE(session->WaitDeviceWork(30000));
            std::uintptr_t last = delivered;
            for (const RecordingPoster::Message& m : poster.Messages()) {
                if (m.message == WM_SESSION_RESULT) last = std::max(last, m.wParam);
            }
            if (last == delivered) return;
            delivered = last;
            session->OnSessionResult(last);
        }
    }

    // Runs the profile read to its end and lets its result land.
    void ReadProfile() {
        session->StartReadCurCfgThread();
        ASSERT_TRUE(session->WaitReadDone(20000));
        Pump();
    }

    HidDeviceChange Change(bool arrived, std::uint16_t vid, std::uint16_t pid) {
        return {arrived, "/dev/hidraw9", vid, pid};
    }

    SimLink link;
    test::TempDir dataDir;
    ProfileStore store{dataDir.path()};
    FakeFinder finder;
    FakeWindow window;
    FakeTimers timers;
    RecordingPoster poster;
    CountingSleeper pauses;
    test::MemoryMacroLibrary library;
    std::uintptr_t delivered = 0;
    SessionConfig config;
    std::uint64_t now = 100000;
    std::unique_ptr<DeviceSession> session;
};

TEST_F(DeviceSessionTest, ReadCurCfgThreadReadsTheActiveProfileIntoTheListAndSavesIt) {
    LogCapture log;
    SimFirmwareState state = link.firmware->State();
    state.activeProfile = 2;
    state.profiles[2][mm::kDebounce] = 7;
    state.profiles[2][mm::kDebounce + 1] = 0x55 - 7;
    link.firmware->Restore(state);
    const std::uint32_t id = store.Profile(2).dwProfileID;
    const int debounceBefore = store.Profile(2).nDebounce;

    session->StartReadCurCfgThread();
    EXPECT_FALSE(session->FirstReadDone());
    ASSERT_TRUE(session->WaitReadDone(20000));
    // The list belongs to the window thread: the entry changes only when the result lands.
    EXPECT_EQ(store.Profile(2).nDebounce, debounceBefore);
    EXPECT_FALSE(session->FirstReadDone());
    EXPECT_FALSE(ReadWholeFile(store.ProfileFilePath(), 1 << 20).has_value());
    Pump();
    EXPECT_TRUE(session->FirstReadDone());
    EXPECT_EQ(store.CurrentIndex(), 2);
    EXPECT_EQ(store.Profile(2).nDebounce, 7);
    EXPECT_EQ(store.Profile(2).dwProfileID, id);  // the list entry keeps its identity
    EXPECT_TRUE(ReadWholeFile(store.ProfileFilePath(), 1 << 20).has_value());
    EXPECT_EQ(window.calls.front(), "pages");  // OnSyncOk
    for (const char* line : {"ReadCurCfgThread Start", "Mouse profile is 2", "Init Pro OK",
                             "ReadCurCfgThread Exit", "OnSyncOk"}) {
        EXPECT_TRUE(log.Has(line)) << line;
    }
    EXPECT_FALSE(session->WaitReadDone(0));  // the event resets itself
}

// A read that fails leaves the list and says so: the window marks that it does not show the
// mouse's settings until a read succeeds.
TEST_F(DeviceSessionTest, AFailedReadIsShownAndMarkedUntilAReadSucceeds) {
    const ProfileFile before = store.Profile(0);
    SimFaults faults;
    faults.errorEveryNth = 1;
    link.backend.SetFaults(faults);
    ReadProfile();
    EXPECT_TRUE(session->FirstReadDone());
    EXPECT_EQ(window.calls, std::vector<std::string>{"text:" + Text("tc_read_failed")});
    EXPECT_EQ(window.showsMouse, false);
    EXPECT_EQ(std::memcmp(&store.Profile(0), &before, sizeof before), 0);

    // A read that succeeds takes the mark away.
    link.backend.SetFaults({});
    window.calls.clear();
    ReadProfile();
    EXPECT_EQ(window.showsMouse, true);
    EXPECT_EQ(window.calls.front(), "pages");
}

// DPI codes that are no steps of the model's sensor are corrected by the decoder and told in
// the window's own message, in the user's language (the wired model's table read against
// the wireless mouse's memory).
TEST_F(DeviceSessionTest, CorrectedValuesOfARead) {
    SelectDeviceSection(1);
    ReadProfile();
    SelectDeviceSection(0);
    EXPECT_EQ(window.showsMouse, true);
    EXPECT_EQ(
        std::count(window.calls.begin(), window.calls.end(), "text:" + Text("tc_read_corrected")),
        1);
}

TEST_F(DeviceSessionTest, DpiLevelAndReportRateNotifications) {
    const int dm = CurrentCodecContext().dpiLevelCount;
    session->OnDeviceBehavior(1, kBehaviorDpiLevel);
    session->OnDeviceBehavior(static_cast<std::uintptr_t>(dm), kBehaviorDpiLevel);  // ignored
    EXPECT_EQ(session->CurDpiLevel(), 1);
    store.Current()->dwReportRate = 0x1000;
    session->OnDeviceBehavior(4, kBehaviorReportRate);
    EXPECT_EQ(store.Current()->dwReportRate, 0x250u);
    session->OnDeviceBehavior(3, kBehaviorReportRate);  // no rate of its own
    EXPECT_EQ(store.Current()->dwReportRate, 0x250u);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"level:1", "rate:4", "rate:3"}));
}

TEST_F(DeviceSessionTest, LightingNotificationsReadTheChangedGroupAgain) {
    link.firmware->PressLightingKey(SimLightingZone::kMain);
    link.firmware->PressLightingKey(SimLightingZone::kDpiIndicator);
    const SimProfileImage memory = link.firmware->Memory(0);
    RgbEffect main{};
    EEPROM_To_MainRGB(std::span<const std::uint8_t, 8>(&memory[mm::kMainLighting], 8), main);
    DpiEffect dpi{};
    DecodeDpiEffect(std::span<const std::uint8_t, 6>(&memory[mm::kDpiEffect], 6), dpi);

    session->OnDeviceBehavior(0, kBehaviorMainLighting);
    session->OnDeviceBehavior(0, kBehaviorDpiIndicator);
    EXPECT_TRUE(window.calls.empty());  // the reads run on the device thread
    Pump();
    EXPECT_EQ(std::memcmp(&store.Current()->stMainRGB, &main, sizeof main), 0);
    EXPECT_EQ(std::memcmp(&store.Current()->stDpiEffect, &dpi, sizeof dpi), 0);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"lighting", "performance"}));
    EXPECT_EQ(pauses.Sleeps(), (std::vector<std::uint32_t>{10, 10}));

    // A failed read leaves the record alone.
    const ProfileFile before = *store.Current();
    link.backend.Unplug();
    session->OnDeviceBehavior(0, kBehaviorMainLighting);
    Pump();
    EXPECT_EQ(std::memcmp(store.Current(), &before, sizeof before), 0);
}

TEST_F(DeviceSessionTest, NotificationWithoutDeviceOrSectionIsOnlyLogged) {
    LogCapture log;
    config.hasDeviceSection = false;
    session->OnDeviceBehavior(1, kBehaviorDpiLevel);
    config.hasDeviceSection = true;
    link.Disconnect();
    session->OnDeviceBehavior(1, kBehaviorDpiLevel);
    EXPECT_EQ(log.Count("return.  pFile=0x"), 2);
    EXPECT_TRUE(window.calls.empty());
    EXPECT_EQ(session->CurDpiLevel(), -1);
}

TEST_F(DeviceSessionTest, ResetNotificationStartsAReadOnlyFiveSecondsAfterOwnRestore) {
    LogCapture log;
    now = 4999;  // the restore tick starts at 0
    session->OnDeviceBehavior(0, kBehaviorReset);
    EXPECT_TRUE(log.Has("this is reset notify, do not process"));
    EXPECT_TRUE(window.calls.empty());
    now = 5000;
    session->OnDeviceBehavior(0, kBehaviorReset);
    EXPECT_TRUE(session->WaitReadDone(20000));
    EXPECT_EQ(window.calls, std::vector<std::string>{"wait:" + Text("tc_msg12")});
    EXPECT_TRUE(log.Has("nTick= 5000, m_nResetTickCount= 0, nSub=5000"));
}

TEST_F(DeviceSessionTest, ArrivalsStartTheSearchTimerOnceAndOtherDevicesAreOnlyLogged) {
    LogCapture log;
    session->OnDeviceChange(Change(true, 0x046D, 0xC077));
    EXPECT_TRUE(timers.starts.empty());
    session->OnDeviceChange(Change(true, 0, 0));
    EXPECT_TRUE(log.Has("OnDeviceChange: path_string_to_id err"));

    const auto pid = static_cast<std::uint16_t>(config.pids.back());
    session->OnDeviceChange(Change(true, config.vid, pid));
    session->OnDeviceChange(Change(true, config.vid, pid));
    EXPECT_EQ(timers.starts[FINDDEV_TIMER_ID], 1);
    EXPECT_EQ(timers.running[FINDDEV_TIMER_ID], kFindDevTimerMs);
    EXPECT_EQ(session->RetryCount(), kArrivalRetries);
    EXPECT_EQ(log.Count("Device IN"), 2);
    EXPECT_TRUE(log.Has("OnDeviceChange: vid=046d pid=c077"));

    // Each tick searches once, away from the window thread (a search pauses between its
    // probes); the timer ends when the retries are used up.
    for (int i = 0; i < kArrivalRetries; ++i) {
        session->OnTimer(FINDDEV_TIMER_ID);
        EXPECT_TRUE(timers.IsRunning(FINDDEV_TIMER_ID));  // until the result lands
        Pump();
    }
    EXPECT_EQ(finder.searches, kArrivalRetries);
    EXPECT_NE(finder.searchThread, std::this_thread::get_id());
    EXPECT_FALSE(timers.IsRunning(FINDDEV_TIMER_ID));
    EXPECT_EQ(log.Count("OnTimer: FindHIDDevice=0"), kArrivalRetries);
}

// A search that found the receiver but matched no mouse is tried again, each wait twice
// the last up to a minute, until a mouse is attached; without a receiver (nothing found)
// or with a mouse there is nothing to retry.
TEST_F(DeviceSessionTest, AFailedSearchIsRetriedWithABackOffWhileThereIsNoMouse) {
    session->LandStartSearch(1);  // the mouse of the fixture is attached
    EXPECT_FALSE(timers.IsRunning(kSearchRetryTimerId));

    const auto cmd = link.driver.CmdHandle();
    const auto notify = link.driver.NotifyHandle();
    link.driver.SetHandles(nullptr, nullptr);
    session->LandStartSearch(0);
    EXPECT_FALSE(timers.IsRunning(kSearchRetryTimerId));

    finder.found = 1;
    session->LandStartSearch(1);
    std::vector<int> waits;
    for (int i = 0; i < 7; ++i) {
        ASSERT_TRUE(timers.IsRunning(kSearchRetryTimerId));
        waits.push_back(timers.running[kSearchRetryTimerId]);
        session->OnTimer(kSearchRetryTimerId);
        EXPECT_FALSE(timers.IsRunning(kSearchRetryTimerId));  // until the search lands
        Pump();
    }
    EXPECT_EQ(waits, (std::vector<int>{2000, 4000, 8000, 16000, 32000, 60000, 60000}));
    EXPECT_EQ(finder.searches, 7);
    EXPECT_NE(finder.searchThread, std::this_thread::get_id());

    // A mouse attached meanwhile ends the retries without another search.
    link.driver.SetHandles(cmd, notify);
    session->OnTimer(kSearchRetryTimerId);
    Pump();
    EXPECT_EQ(finder.searches, 7);
    EXPECT_FALSE(timers.IsRunning(kSearchRetryTimerId));
}

TEST_F(DeviceSessionTest, RemovalClosesTheDeviceOnlyWhenItIsGone) {
    LogCapture log;
    const auto pid = static_cast<std::uint16_t>(config.pids.front());
    window.batteryShown = true;
    session->OnDeviceChange(Change(false, config.vid, pid));  // another interface went
    Pump();
    EXPECT_TRUE(log.Has("OnDeviceChange: GetDevVersion, nVer=0x100"));
    EXPECT_NE(link.driver.CmdHandle(), nullptr);
    EXPECT_TRUE(timers.starts.empty());

    link.backend.Unplug();
    session->OnDeviceChange(Change(false, config.vid, pid));
    EXPECT_FALSE(timers.IsRunning(FINDDEV_TIMER_ID));  // waits for the answer
    Pump();
    EXPECT_TRUE(log.Has("OnDeviceChange: GetVersionNumber, Err=0x48f"));
    EXPECT_EQ(link.driver.CmdHandle(), nullptr);
    EXPECT_FALSE(window.batteryShown);
    EXPECT_EQ(session->RetryCount(), 1);
    EXPECT_TRUE(timers.IsRunning(FINDDEV_TIMER_ID));
    EXPECT_EQ(pauses.Sleeps(), (std::vector<std::uint32_t>{600, 600}));

    finder.found = 1;  // found at the first tick: the timer stops
    session->OnTimer(FINDDEV_TIMER_ID);
    Pump();
    EXPECT_FALSE(timers.IsRunning(FINDDEV_TIMER_ID));
    EXPECT_EQ(session->RetryCount(), 0);
}

TEST_F(DeviceSessionTest, FoundDeviceGetsTheHandlesAndIsRead) {
    LogCapture log;
    DevParam device;
    device.hCmd = link.driver.CmdHandle();
    device.hNotify = link.driver.NotifyHandle();
    device.CID = 1;
    device.MID = 1;
    device.PID = 0xFA70;
    device.section = 0;
    finder.device = device;
    link.driver.SetHandles(nullptr, nullptr);

    session->OnFindDeviceMessage();
    session->OnFindDeviceMessage();
    EXPECT_EQ(timers.starts[kFoundDelayTimerId], 1);
    link.firmware->SetBattery(40, false);
    session->OnTimer(kFoundDelayTimerId);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"layout", "wait:" + Text("tc_msg12")}));
    ASSERT_TRUE(session->WaitReadDone(20000));
    EXPECT_TRUE(window.waitShown) << "the wait closes when the read's result lands, not before";
    Pump();
    EXPECT_FALSE(window.waitShown);
    EXPECT_FALSE(timers.IsRunning(kFoundDelayTimerId));
    EXPECT_EQ(link.driver.CmdHandle(), device.hCmd);
    EXPECT_EQ(link.driver.nPID, 0xFA70);
    EXPECT_EQ(link.firmware->LastDriverStatus(), 1);  // the window is visible
    // The active level lands first (pages), then the read (pages, then the battery).
    EXPECT_EQ(window.calls, (std::vector<std::string>{"layout", "wait:" + Text("tc_msg12"), "pages",
                                                      "pages", "battery", "power:40"}));
    EXPECT_TRUE(log.Has("OnFindDeviceOK: cid=1,mid=1,pid=fa70"));
    EXPECT_TRUE(session->FirstReadDone());
}

// The found mouse's model becomes current on the window thread when the found delay ends,
// before the layout loads that model's profile file.
TEST_F(DeviceSessionTest, TheFoundMouseMakesItsSectionCurrentOnTheWindowThread) {
    DevParam device;
    device.section = 1;
    finder.device = device;
    link.driver.SetHandles(nullptr, nullptr);
    session->OnFindDeviceMessage();
    EXPECT_EQ(CurrentDeviceIndex(), 0);
    session->OnTimer(kFoundDelayTimerId);
    EXPECT_EQ(CurrentDeviceIndex(), 1);
    const DeviceSection& second = DeviceSectionAt(1);
    EXPECT_EQ(store.ProfileFilePath(),
              dataDir.path() + ProfileFileName(static_cast<std::uint32_t>(second.CID),
                                               static_cast<std::uint32_t>(second.MID)));
    Pump();
}

// The driver status waits for the mouse's answer: it goes after the device work asked for
// before it (here held up by the device mutex), and only to an open device.
TEST_F(DeviceSessionTest, DriverStatusGoesOnTheDeviceThreadToAnOpenDevice) {
    session->TellDrvStatus(1);
    Pump();
    ASSERT_EQ(link.firmware->LastDriverStatus(), 1);
    {
        std::lock_guard<std::mutex> busy(session->DeviceMutex());
        session->TellDrvStatus(0);
        EXPECT_EQ(link.firmware->LastDriverStatus(), 1);
    }
    Pump();
    EXPECT_EQ(link.firmware->LastDriverStatus(), 0);

    link.driver.SetHandles(nullptr, nullptr);
    session->TellDrvStatus(1);
    Pump();
    EXPECT_EQ(link.firmware->LastDriverStatus(), 0);
}

TEST_F(DeviceSessionTest, ListRebuiltWhileAReadWaitsTakesBothReadsInOrder) {
    LogCapture log;
    SimFirmwareState state = link.firmware->State();
    state.profiles[0][mm::kDebounce] = 7;
    state.profiles[0][mm::kDebounce + 1] = 0x55 - 7;
    link.firmware->Restore(state);
    DevParam device;
    device.hCmd = link.driver.CmdHandle();
    device.hNotify = link.driver.NotifyHandle();
    finder.device = device;
    {
        std::lock_guard<std::mutex> held(session->DeviceMutex());
        session->StartReadCurCfgThread();
        session->OnTimer(kFoundDelayTimerId);  // LoadPro rebuilds the list; a second read
        EXPECT_FALSE(session->FirstReadDone());
    }
    ASSERT_TRUE(session->WaitReadDone(20000));
    ASSERT_TRUE(session->WaitReadDone(20000));
    Pump();
    EXPECT_TRUE(session->FirstReadDone());
    EXPECT_EQ(store.CurrentIndex(), 0);
    EXPECT_EQ(store.Profile(0).nDebounce, 7);
    EXPECT_EQ(log.Count("Init Pro OK"), 2);
}

TEST_F(DeviceSessionTest, DeviceCountCheckClosesTheWindowWhenSeveralMatched) {
    timers.Start(CHECK_DEV_NUM_TIMER_ID, kCheckDevNumTimerMs);
    finder.okNum = 2;
    session->OnTimer(CHECK_DEV_NUM_TIMER_ID);
    EXPECT_FALSE(timers.IsRunning(CHECK_DEV_NUM_TIMER_ID));
    EXPECT_EQ(window.calls, (std::vector<std::string>{"text:" + Text("tc_msg36"), "close"}));
}

TEST_F(DeviceSessionTest, BatteryUpdateAndSyncOk) {
    LogCapture log;
    link.firmware->SetBattery(55, true);
    session->OnSyncOk();
    Pump();
    EXPECT_EQ(window.calls, (std::vector<std::string>{"pages", "battery", "power:55+"}));
    EXPECT_TRUE(timers.starts.empty());  // the poll needs no window timer

    // The poll of a quiet mouse is logged but does not wake the window.
    window.calls.clear();
    session->BatteryUpdate(false);
    Pump();
    EXPECT_TRUE(window.calls.empty());
    EXPECT_EQ(log.Count("GetPower: nPower=0x37, bCharging=0x1"), 2);

    window.batteryShown = false;
    config.showPower = kShowPowerHideBattery;
    link.firmware->SetBattery(40, false);
    session->BatteryUpdate(false);
    Pump();
    link.firmware->SetBattery(101, false);  // out of range: ignored
    session->BatteryUpdate(false);
    Pump();
    link.Disconnect();
    session->BatteryUpdate(false);
    Pump();
    EXPECT_EQ(window.calls, std::vector<std::string>{"power:40"});

    // A battery update asked for by the program always reaches the window.
    window.calls.clear();
    link.Connect();
    link.firmware->SetBattery(40, false);
    session->BatteryUpdate();
    Pump();
    EXPECT_EQ(window.calls, std::vector<std::string>{"power:40"});
}

// The device thread polls by itself from the first read on; only a changed answer reaches
// the window.
TEST_F(DeviceSessionTest, TheDeviceThreadPollsTheBattery) {
    MakeSession(&poster, 5);
    LogCapture log;
    link.firmware->SetBattery(55, true);
    session->OnSyncOk();
    Pump();
    window.calls.clear();
    const auto polledTimes = [&](const char* line, int times) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (log.Count(line) < times && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return log.Count(line) >= times;
    };
    ASSERT_TRUE(polledTimes("GetPower: nPower=0x37, bCharging=0x1", 4));
    Pump();
    EXPECT_TRUE(window.calls.empty());

    link.firmware->SetBattery(40, false);
    ASSERT_TRUE(polledTimes("GetPower: nPower=0x28, bCharging=0x0", 1));
    Pump();
    EXPECT_EQ(window.calls, std::vector<std::string>{"power:40"});
    EXPECT_TRUE(timers.starts.empty());
}

TEST_F(DeviceSessionTest, DeviceReadyCheck) {
    // While a read is asked for and has not landed the pages must wait.
    {
        std::lock_guard<std::mutex> device(session->DeviceMutex());  // holds the read back
        session->StartReadCurCfgThread();
        EXPECT_FALSE(session->IsDeviceReady());
        EXPECT_EQ(window.calls, std::vector<std::string>{"text:" + Text("tc_adv_str15")});
    }
    ASSERT_TRUE(session->WaitReadDone(60000));
    Pump();

    struct Case {
        bool deviceKnown;
        bool applyNow;
        bool goWithNoDev;
        bool mouseConnected;
        bool ready;
        const char* shown;  // text key, or null
    };
    const Case cases[] = {
        {true, false, false, false, true, nullptr},  // no connection test without ApplyNow
        {true, true, false, true, true, nullptr},    // the mouse answers connected
        {true, true, false, false, false, "tc_msg10"},
        {true, true, true, false, true, nullptr},
        {false, true, true, false, true, nullptr},
        {false, true, false, true, false, "tc_msg15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        window.calls.clear();
        finder.device = c.deviceKnown ? std::optional<DevParam>(DevParam{}) : std::nullopt;
        config.applyNow = c.applyNow;
        config.goWithNoDev = c.goWithNoDev;
        link.firmware->SetMouseConnected(c.mouseConnected);
        bool ran = false;
        session->CheckDeviceReady([&ran] { ran = true; });
        Pump();
        EXPECT_EQ(ran, c.ready);
        const std::vector<std::string> shown =
            c.shown ? std::vector<std::string>{"text:" + Text(c.shown)}
                    : std::vector<std::string>{};
        EXPECT_EQ(window.calls, shown);
    }
}

// What the worker reports to the restore's progress window.
class ProgressRecord : public ProgressSink {
  public:
    bool IsOpen() const override { return closes == 0; }
    void SetPosition(int position) override { last = position; }
    void Close() override { ++closes; }
    std::atomic<int> last{-1};
    std::atomic<int> closes{0};
};

TEST_F(DeviceSessionTest, RestoreRebuildsTheFirstProfileAndResetsTheMouse) {
    auto progress = std::make_shared<ProgressRecord>();
    window.progress = progress;
    RecordingMessageSink messages;
    session->StartApplyWorker(&messages);
    ReadProfile();
    finder.device = DevParam{};
    const std::uint32_t id = store.Profile(0).dwProfileID;
    store.Profile(0).nDebounce = 9;

    window.answerOk = false;
    session->Restore();
    Pump();
    EXPECT_EQ(store.Profile(0).nDebounce, 9);

    window.calls.clear();
    window.answerOk = true;
    link.firmware->PressDpiButton();
    const SimProfileImage factory = SimFactoryImage(0);
    ASSERT_NE(link.firmware->Memory(0), factory);
    now = 777;
    session->Restore();
    Pump();
    ASSERT_TRUE(session->Worker().WaitIdle(10000));
    EXPECT_EQ(store.Profile(0).dwProfileID, id);
    EXPECT_EQ(ProfileName(store.Profile(0)), Text("tc_msg14"));
    EXPECT_EQ(store.CurrentIndex(), 0);
    EXPECT_EQ(session->CurDpiLevel(), config.defaultDpiLevel);
    EXPECT_EQ(link.firmware->Memory(0), factory);
    EXPECT_EQ(window.calls.front(), "ask:" + Text("tc_msg5"));
    EXPECT_EQ(window.calls.back(), "progress:" + Text("tc_msg12"));
    // The window opened for the restore is the one its request reports to and closes.
    EXPECT_EQ(progress->last, 100);
    EXPECT_EQ(progress->closes, 1);
    EXPECT_TRUE(messages.messages.empty());

    // The mouse's reset notification that follows is the restore's own.
    now = 777 + 4999;
    session->OnDeviceBehavior(0, kBehaviorReset);
    EXPECT_FALSE(session->WaitReadDone(0));
}

TEST_F(DeviceSessionTest, RestoreWithInitOnResetReadsTheProfileBackFromTheMouse) {
    RecordingMessageSink messages;
    session->StartApplyWorker(&messages);
    finder.device = DevParam{};
    config.initOnReset = true;
    config.applyNow = false;  // no connection test: the restore runs inside Restore()
    const SimProfileImage factory = SimFactoryImage(0);
    const int mouseLevel = factory[mm::kCurrentDpiLevel];
    config.defaultDpiLevel = (mouseLevel + 2) % CurrentDevice().DM;
    // A read that nobody waited for (as after a switch of the on-board profile) has
    // signalled its end.
    session->StartReadCurCfgThread();
    Pump();
    link.firmware->PressDpiButton();
    ASSERT_NE(link.firmware->Memory(0), factory);
    window.calls.clear();
    {
        // Holds back the reset and the read that follows it.
        std::lock_guard<std::mutex> device(session->DeviceMutex());
        session->Restore();
        EXPECT_FALSE(session->FirstReadDone());
        EXPECT_FALSE(session->WaitReadDone(0)) << "the wait message would close at once";
    }
    ASSERT_TRUE(session->WaitReadDone(20000));
    Pump();
    EXPECT_EQ(link.firmware->Memory(0), factory);
    // The level comes from the mouse after its reset, not from the program's default.
    EXPECT_EQ(session->CurDpiLevel(), mouseLevel);
    EXPECT_TRUE(session->FirstReadDone());
    const std::vector<std::string> order{"progress:" + Text("tc_msg12"), "wait:" + Text("tc_msg12"),
                                         "pages"};
    auto at = window.calls.begin();
    for (const std::string& call : order) {
        at = std::find(at, window.calls.end(), call);
        EXPECT_NE(at, window.calls.end()) << call;
    }
    const std::vector<std::uint32_t> sleeps = pauses.Sleeps();
    EXPECT_NE(std::find(sleeps.begin(), sleeps.end(), kReadAfterResetPauseMs), sleeps.end());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(DeviceSessionTest, RestoreWhileTheWorkerIsBusyStillResetsTheMouse) {
    RecordingMessageSink messages;
    session->StartApplyWorker(&messages);
    ReadProfile();
    finder.device = DevParam{};
    link.firmware->PressDpiButton();
    const SimProfileImage factory = SimFactoryImage(0);
    ASSERT_NE(link.firmware->Memory(0), factory);
    {
        // The worker takes this request and then waits for the device mutex.
        std::unique_lock<std::mutex> device(session->DeviceMutex());
        session->Worker().RequestApply(SET_DEBOUNCE, 0);
        ASSERT_TRUE(session->Worker().IsBusy());
        session->Restore();
    }
    Pump();
    ASSERT_TRUE(session->Worker().WaitIdle(10000));
    EXPECT_EQ(link.firmware->Memory(0), factory);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(DeviceSessionTest, AButtonSetToAMacroGetsTheMacroWrittenIntoItsSlot) {
    RecordingMessageSink messages;
    session->StartApplyWorker(&messages);
    ReadProfile();
    MacroRecord macro{};
    macro.dwMagicNumber = kMacroMagicNumber;
    macro.dwMacroID = 0x4242;
    macro.nLoopCount = 1;
    SetMacroName(macro, "burst");
    macro.stEvents[0].wCode = 0x41;
    macro.stEvents[0].wKind = kMacroKindPress;
    macro.stEvents[0].dwDelay = 10;
    macro.stEvents[1].wCode = 0x41;
    macro.stEvents[1].wKind = kMacroKindRelease;
    library.macros.push_back(macro);
    ProfileFile& record = *store.Current();
    ASSERT_EQ(record.nKeySet, 0);
    KeyAssignment& key = record.Key[0][1];
    ASSERT_GE(key.nMatrixIndex, 1u);
    const int m = static_cast<int>(key.nMatrixIndex) - 1;
    key.dwFunID = KF_MACRO;
    key.dwMacroID = macro.dwMacroID;

    session->Worker().RequestApply(SET_KEY, 1);
    library.macros.clear();  // the request carries its own copy of the macro
    ASSERT_TRUE(session->Worker().WaitIdle(20000));

    const SimProfileImage memory = link.firmware->Memory(link.firmware->ActiveProfile());
    const std::vector<std::uint8_t> slot = BuildMacroSlot(macro);
    EXPECT_TRUE(std::equal(slot.begin(), slot.end(), memory.begin() + mm::MacroSlotAddress(m)));
    EXPECT_EQ(memory[mm::KeyMatrixAddress(m)], kKeyCodeTypeMacro);
    EXPECT_TRUE(messages.messages.empty());
}

// The mouse changes its DPI level, report rate and lighting while a slow read runs that had
// to wait for a burst of writes: the read sees the whole burst, and the record that lands
// takes every change the mouse announced after the read had passed it.
TEST_F(DeviceSessionTest, MouseEventsAndWritesDuringASlowReadAreNeitherLostNorTorn) {
    WindowQueue queue;
    link.Disconnect();
    link.poster = &queue;
    link.Connect();
    MakeSession(&queue);
    RecordingMessageSink messages;
    session->StartApplyWorker(&messages);
    session->StartReadCurCfgThread();
    ASSERT_TRUE(queue.RunUntil(
        *session, [&] { return session->FirstReadDone(); }, 60000));

    // The mouse changes once the read has passed the settings area, which holds all three.
    std::atomic<bool> fired{false};
    pauses.onSleep = [&](std::size_t index) {
        if (pauses.Sleeps()[index] != kComboAreaSleepMs || session->Worker().IsBusy() ||
            fired.exchange(true)) {
            return;
        }
        link.firmware->PressDpiButton();
        link.firmware->SwitchReportRate(2);
        link.firmware->PressLightingKey(SimLightingZone::kMain);
    };
    SimFaults slow;
    slow.replyLatencyMs = 2;
    link.backend.SetFaults(slow);
    const int levels = CurrentCodecContext().dpiLevelCount;
    for (int i = 0; i < levels; ++i) {
        DpiLevel& level = store.Current()->Dpi[i];
        level.dwDpi = static_cast<std::uint32_t>(1000 + 200 * i);
        level.dwDpiY = level.dwDpi;
        session->Worker().RequestApply(SET_DPI, i);
    }
    store.Current()->nDebounce = 6;
    session->Worker().RequestApply(SET_DEBOUNCE, 0);
    session->StartReadCurCfgThread();
    ASSERT_TRUE(queue.RunUntil(
        *session,
        [&] {
            return session->FirstReadDone() &&
                   queue.kindsWhileReading.count(kBehaviorMainLighting) != 0 &&
                   session->WaitDeviceWork(0) && session->Worker().WaitIdle(0);
        },
        120000));

    for (std::intptr_t kind : {kBehaviorDpiLevel, kBehaviorReportRate}) {
        EXPECT_EQ(queue.kindsWhileReading.count(kind), 1u) << kind;
    }
    const SimProfileImage memory = link.firmware->Memory(link.firmware->ActiveProfile());
    const ProfileFile& record = *store.Current();
    for (int i = 0; i < levels; ++i) {
        EXPECT_EQ(record.Dpi[i].dwDpi, static_cast<std::uint32_t>(1000 + 200 * i)) << i;
    }
    EXPECT_EQ(record.nDebounce, 6);
    EXPECT_EQ(memory[mm::kDebounce], 6);
    EXPECT_EQ(record.dwReportRate, 0x500u);
    EXPECT_EQ(memory[mm::kReportRate], 2);
    EXPECT_EQ(session->CurDpiLevel(), memory[mm::kCurrentDpiLevel]);
    // Decoding the mouse's lighting into the record changes nothing: the record has it.
    RgbEffect main = record.stMainRGB;
    EEPROM_To_MainRGB(std::span<const std::uint8_t, 8>(&memory[mm::kMainLighting], 8), main);
    EXPECT_EQ(std::memcmp(&record.stMainRGB, &main, sizeof main), 0);
    EXPECT_TRUE(messages.messages.empty());
}

// The profile button on the mouse pressed twice while a read runs (profile 0, then 1, then
// 2, as a user does): the read that the presses overtook is dropped, never saved, and one
// read of the profile the mouse ends on follows; the other list entries stay as they were.
TEST_F(DeviceSessionTest, AReadOvertakenByTheProfileButtonIsDroppedAndReadOnceMore) {
    LogCapture log;
    WindowQueue queue;
    link.Disconnect();
    link.poster = &queue;
    SimFirmwareState state = link.firmware->State();
    for (std::uint8_t p = 0; p < 3; ++p) {
        state.profiles[p][mm::kDebounce] = static_cast<std::uint8_t>(11 + p);
        state.profiles[p][mm::kDebounce + 1] = static_cast<std::uint8_t>(0x55 - 11 - p);
    }
    state.activeProfile = 0;
    link.firmware->Restore(state);
    link.Connect();
    MakeSession(&queue);
    const ProfileFile entry0 = store.Profile(0);
    const ProfileFile entry1 = store.Profile(1);

    // The presses come from their own thread once the read is under way.
    std::thread presser;
    std::atomic<bool> fired{false};
    pauses.onSleep = [&](std::size_t index) {
        if (pauses.Sleeps()[index] != kComboAreaSleepMs || fired.exchange(true)) return;
        presser = std::thread([&] {
            link.firmware->SelectProfileOnMouse(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            link.firmware->SelectProfileOnMouse(2);
        });
    };
    SimFaults slow;
    slow.replyLatencyMs = 2;
    link.backend.SetFaults(slow);
    session->StartReadCurCfgThread();
    ASSERT_TRUE(queue.RunUntil(
        *session,
        [&] {
            return fired && session->FirstReadDone() && session->WaitDeviceWork(0) &&
                   link.firmware->ActiveProfile() == 2;
        },
        120000));
    presser.join();

    EXPECT_EQ(store.CurrentIndex(), 2);
    EXPECT_EQ(store.Profile(2).nDebounce, 13);
    EXPECT_EQ(std::memcmp(&store.Profile(0), &entry0, sizeof entry0), 0);
    EXPECT_EQ(std::memcmp(&store.Profile(1), &entry1, sizeof entry1), 0);
    EXPECT_EQ(log.Count("Init Pro OK"), 1);  // only the last read is taken and saved
    EXPECT_GE(log.Count("ReadCurCfgThread: the mouse changed its profile during the read, dropped"),
              1);
    EXPECT_LE(log.Count("ReadCurCfgThread Start"), 3);  // no read per press
    for (const std::string& call : window.calls) EXPECT_NE(call.rfind("wait:", 0), 0u) << call;
}

// A profile switch does not wait behind a read of the profile it leaves: that read is
// dropped, and only the read after the switch lands.
TEST_F(DeviceSessionTest, AProfileSwitchDropsTheReadOfTheProfileItLeaves) {
    LogCapture log;
    link.firmware->SelectProfileOnMouse(0);
    const ProfileFile entry0 = store.Profile(0);
    session->StartReadCurCfgThread();
    session->SwitchOnBoardProfile(2);
    Pump();
    ASSERT_TRUE(session->FirstReadDone());
    EXPECT_EQ(link.firmware->ActiveProfile(), 2);
    EXPECT_EQ(store.CurrentIndex(), 2);
    EXPECT_EQ(std::memcmp(&store.Profile(0), &entry0, sizeof entry0), 0);
    EXPECT_EQ(log.Count("ReadCurCfgThread: the mouse changed its profile during the read, dropped"),
              1);
    EXPECT_EQ(log.Count("Init Pro OK"), 1);
}

}  // namespace
}  // namespace vantor
