#include "app/session/device_session.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <span>
#include <utility>

#include "app/config/codec_context_config.h"
#include "app/config/config.h"
#include "app/session/transfer_settings.h"
#include "app/store/profile_defaults.h"
#include "base/log.h"
#include "base/texts.h"
#include "profile/lighting_codec.h"
#include "profile/memory_map.h"
#include "profile/new_profile.h"
#include "profile/report_rate.h"
#include "profile/set_flags.h"

namespace vantor {
namespace {

namespace mm = memory_map;

// Low bits of a pointer for the log, as the window's handles appear there.
unsigned LogPointer(const void* p) {
    return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(p));
}

ProfileFile DefaultNewProfile(const ProfileFile& old, const std::string& name) {
    ProfileFile record = NewProfileRecord(
        MakeProfileDefaults(CurrentDevice(), Options(), DefaultKeyMatrix()), name, old.dwProfileID);
    record.dwMagic = old.dwMagic;
    record.dwProfileID = old.dwProfileID;
    return record;
}

}  // namespace

SessionConfig SessionConfigFromOptions() {
    const AppOptions& options = Options();
    const DeviceSection& section = CurrentDevice();
    SessionConfig c;
    c.goWithNoDev = options.GoWithNoDev != 0;
    c.applyNow = options.ApplyNow != 0;
    c.showPower = options.ShowPower;
    c.vid = options.VID;
    c.pids = options.PID;
    c.pids.insert(c.pids.end(), options.PID2.begin(), options.PID2.end());
    c.hasDeviceSection = section.Sensor != 0;
    c.sensor = section.Sensor;
    c.cid = section.CID;
    c.mid = section.MID;
    c.defaultDpiLevel = section.DEFLEVEL;
    c.initOnReset = options.InitOnReset != 0;
    return c;
}

DeviceSession::DeviceSession(DeviceSessionSetup setup) : setup_(std::move(setup)) {}

DeviceSession::~DeviceSession() {
    stopRead_ = true;
    // A read waiting for the apply worker is let go by the worker's stop.
    worker_.Stop();
    deviceThread_.Stop();
}

SessionConfig DeviceSession::Config() const {
    return setup_.config ? setup_.config() : SessionConfigFromOptions();
}

ProfileTransferSettings DeviceSession::TransferSettings() const {
    ProfileTransferSettings settings = CurrentTransferSettings(setup_.macros);
    settings.sleeper = setup_.sleeper;
    return settings;
}

std::uint64_t DeviceSession::Now() const {
    if (setup_.tickMs) return setup_.tickMs();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

Sleeper& DeviceSession::Pauses() const {
    return setup_.sleeper != nullptr ? *setup_.sleeper : RealSleeper();
}

void DeviceSession::StartApplyWorker(MessageSink* messages) {
    ApplyWorkerSetup s;
    s.driver = setup_.driver;
    s.messages = messages;
    // The three below run in Request, on the window thread.
    s.currentRecord = [this](ProfileFile& out) {
        const ProfileFile* current = setup_.store->Current();
        if (current == nullptr) return false;
        out = *current;
        return true;
    };
    s.curDpiLevel = [this] { return curDpiLevel_.load(); };
    s.transferSettings = [this] { return TransferSettings(); };
    s.deviceMutex = &deviceMutex_;
    s.sleeper = setup_.sleeper;
    worker_.StartApplyThread(std::move(s));
}

// ---- Device thread and its results ----

void DeviceSession::RunOnDeviceThread(std::function<std::function<void()>()> work) {
    deviceThread_.Post([this, work = std::move(work)] { RunLocked(work); });
}

void DeviceSession::RunLocked(const std::function<std::function<void()>()>& work) {
    std::function<void()> apply;
    {
        std::lock_guard<std::mutex> device(deviceMutex_);
        apply = work();
    }
    if (apply) PostResult(std::move(apply));
}

void DeviceSession::PostResult(std::function<void()> apply) {
    std::uint64_t number = 0;
    {
        std::lock_guard<std::mutex> lock(resultsLock_);
        number = ++lastResult_;
        results_.emplace(number, std::move(apply));
    }
    if (setup_.poster != nullptr) {
        setup_.poster->Post(WM_SESSION_RESULT, static_cast<std::uintptr_t>(number), 0);
    }
}

void DeviceSession::OnSessionResult(std::uintptr_t number) {
    for (;;) {
        std::function<void()> apply;
        {
            std::lock_guard<std::mutex> lock(resultsLock_);
            if (results_.empty() || results_.begin()->first > number) return;
            apply = std::move(results_.begin()->second);
            results_.erase(results_.begin());
        }
        apply();
    }
}

// ---- Profile read ----

void DeviceSession::StartReadCurCfgThread(std::uint32_t pauseMs) {
    auto job = std::make_shared<ReadJob>();
    ProfileStore& store = *setup_.store;
    job->entryCount = std::min(store.Count(), kProfileCount);
    for (int i = 0; i < job->entryCount; ++i) {
        job->entries[static_cast<std::size_t>(i)] = store.Profile(i);
    }
    job->section = CurrentDeviceIndex();
    job->settings = TransferSettings();
    job->settings.macros = nullptr;  // the device's macros are merged when the result lands
    job->applyRequest = worker_.LastRequestNumber();
    job->mouseChange = mouseChanges_.load();
    firstReadDone_ = false;
    ++readsAsked_;
    {
        // The end of an earlier read that nobody waited for (the read after a switch of
        // the on-board profile) must not end the wait for this one.
        std::lock_guard<std::mutex> lock(readDoneLock_);
        readDone_ = false;
    }
    deviceThread_.Post([this, job, pauseMs] {
        DbgLog("ReadCurCfgThread Start");
        // What was asked of the apply worker before the read goes to the mouse first, so
        // the read sees all of it or none.
        worker_.WaitRequestsApplied(job->applyRequest);
        if (pauseMs > 0) Pauses().SleepMs(pauseMs);
        std::function<void()> apply;
        {
            std::lock_guard<std::mutex> device(deviceMutex_);
            apply = ReadActiveProfile(job);
        }
        PostResult(std::move(apply));
        {
            std::lock_guard<std::mutex> lock(readDoneLock_);
            readDone_ = true;
        }
        readDoneChanged_.notify_all();
        DbgLog("ReadCurCfgThread Exit");
    });
}

std::function<void()> DeviceSession::ReadActiveProfile(const std::shared_ptr<ReadJob>& job) {
    const int index = setup_.driver->GetCurProfile();
    DbgLog("Mouse profile is %d", index);
    std::optional<std::vector<std::uint8_t>> image;
    if (index >= 0 && index < job->entryCount) {
        // A reset event after the read was asked for makes its image worthless: it stops.
        image = ReadProfileImage(
            *setup_.driver,
            [this, job] { return stopRead_.load() || job->mouseChange != mouseChanges_.load(); },
            job->settings);
    }
    return [this, job, index, image = std::move(image)] { LandRead(*job, index, image); };
}

void DeviceSession::LandRead(const ReadJob& job, int index,
                             const std::optional<std::vector<std::uint8_t>>& image) {
    --readsAsked_;
    ProfileStore& store = *setup_.store;
    std::string notice;  // shown once the read's state is settled
    if (job.mouseChange != mouseChanges_.load()) {
        DbgLog("ReadCurCfgThread: the mouse changed its profile during the read, dropped");
    } else if (image && job.section != CurrentDeviceIndex()) {
        DbgLog("ReadCurCfgThread: profile of another device section dropped");
    } else if (!stopRead_.load()) {
        // The entry as it was when the read was asked for, with what the mouse holds.
        ProfileFile scratch = index >= 0 && index < kProfileCount
                                  ? job.entries[static_cast<std::size_t>(index)]
                                  : ProfileFile{};
        int level = curDpiLevel_.load();
        ProfileTransferSettings settings = job.settings;
        settings.macros = setup_.macros;
        // Values the record cannot hold are corrected by the decoder; the user hears of it
        // once the read has landed, in the window's own message.
        bool corrected = false;
        ProfileDecodeHooks hooks;
        hooks.showMessage = [&corrected](std::string_view, std::string_view) { corrected = true; };
        if (image && index >= 0 && index < store.Count() &&
            DecodeProfileImage(*image, settings.context, settings.macros, scratch, level,
                               macroNames_, hooks) == 1) {
            DbgLog("Init Pro OK");
            curDpiLevel_ = level;
            store.ReplaceProfile(index, scratch);
            if (Config().hasDeviceSection) {
                if (setup_.saveProfile) {
                    setup_.saveProfile();
                } else {
                    (void)store.SavePro();
                }
            }
            // Notifications that arrived while the read ran changed the old record; the
            // new one takes them again, in the order they came.
            for (const Behavior& behavior : behaviorsDuringRead_) {
                ApplyBehavior(*store.Current(), behavior);
            }
            setup_.window->ShowsMouseSettings(true);
            OnSyncOk();
            if (corrected) notice = Text("tc_read_corrected");
        } else {
            // The pages keep what the profile file held, which need not be what the mouse
            // holds: the window says so until a read succeeds.
            DbgLog("ReadCurCfgThread: the profile could not be read");
            setup_.window->ShowsMouseSettings(false);
            if (setup_.window->IsWindowVisible()) notice = Text("tc_read_failed");
        }
    }
    if (readsAsked_ == 0) {
        behaviorsDuringRead_.clear();
        if (readAgain_) {
            readAgain_ = false;
            StartReadCurCfgThread();
        } else {
            firstReadDone_ = true;
            setup_.window->CloseReadWait();
        }
    }
    if (!notice.empty()) setup_.window->ShowNotice(notice);
}

bool DeviceSession::WaitReadDone(int timeoutMs) {
    std::unique_lock<std::mutex> lock(readDoneLock_);
    if (!readDoneChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [this] { return readDone_; })) {
        return false;
    }
    readDone_ = false;  // auto-reset
    return true;
}

// ---- Messages ----

void DeviceSession::OnSyncOk() {
    DbgLog("OnSyncOk");
    setup_.window->RefreshPages();
    BatteryUpdate();
    StartBatteryPoll();
}

void DeviceSession::BatteryUpdate(bool always) {
    if (setup_.driver->CmdHandle() == nullptr) return;
    RunOnDeviceThread([this, always] { return QueryBattery(always); });
}

// The poll is the device thread's own: its wait for work ends for it, so a quiet mouse
// wakes neither the window thread nor a timer of its own.
void DeviceSession::StartBatteryPoll() {
    if (batteryPollStarted_) return;
    batteryPollStarted_ = true;
    const auto period = std::chrono::milliseconds(setup_.batteryPollMs);
    deviceThread_.SetPeriodic(period, [this] {
        RunLocked([this]() -> std::function<void()> {
            if (setup_.driver->CmdHandle() == nullptr) return {};
            return QueryBattery(false);
        });
    });
}

std::function<void()> DeviceSession::QueryBattery(bool always) {
    std::uint8_t level = 0;
    std::uint8_t charging = 0;
    if (setup_.driver->GetPower(&level, &charging) != 1) return {};
    DbgLog("GetPower: nPower=0x%x, bCharging=0x%x", level, charging);
    const std::pair power{level, charging};
    if (!always && lastPower_ == power) return {};
    lastPower_ = power;
    return [this, level, charging] {
        if (level > 100) return;
        SessionWindow& window = *setup_.window;
        if (!window.IsBatteryShown() && (Config().showPower & kShowPowerHideBattery) == 0) {
            window.ShowBattery();
        }
        window.SetPower(level, charging != 0);
    };
}

void DeviceSession::ApplyUnlessBusy(std::uint32_t flags, int index, std::function<void()> onBusy) {
    RunOnDeviceThread([this, flags, index, onBusy = std::move(onBusy)]() -> std::function<void()> {
        int busy = 0;
        const bool busyNow = setup_.driver->QueryApplyBusy(&busy) == 1 && busy == 1;
        return [this, flags, index, onBusy, busyNow] {
            if (busyNow) {
                if (onBusy) onBusy();
                return;
            }
            worker_.RequestApply(flags, index);
        };
    });
}

void DeviceSession::ApplyBehavior(ProfileFile& record, const Behavior& behavior) {
    SessionWindow& window = *setup_.window;
    if (behavior.kind == kBehaviorDpiLevel) {
        curDpiLevel_ = static_cast<int>(behavior.value);
        window.MarkCurrentLevel(static_cast<int>(behavior.value));
    } else if (behavior.kind == kBehaviorReportRate) {
        window.SelectReportRateFromDevice(static_cast<int>(behavior.value));
        if (auto rate = ReportRateFromCode(behavior.value)) record.dwReportRate = *rate;
    }
}

void DeviceSession::ReadLightingGroup(std::intptr_t kind, std::uint16_t address,
                                      std::size_t length) {
    RunOnDeviceThread([this, kind, address, length]() -> std::function<void()> {
        Pauses().SleepMs(kLightingEventSleepMs);
        std::vector<std::uint8_t> bytes(length, 0);
        if (setup_.driver->ReadEEPROM(address, bytes.data(), bytes.size()) != 1) return {};
        return [this, kind, bytes = std::move(bytes)] {
            // The current record when the answer lands: a profile read asked for earlier
            // has replaced it by then.
            ProfileFile* record = setup_.store->Current();
            if (record == nullptr) return;
            SessionWindow& window = *setup_.window;
            if (kind == kBehaviorMainLighting) {
                EEPROM_To_MainRGB(std::span<const std::uint8_t, mm::kMainLightingReadSize>(
                                      bytes.data(), mm::kMainLightingReadSize),
                                  record->stMainRGB);
                window.RefreshLightingPage();
            } else if (kind == kBehaviorLogoLighting) {
                EEPROM_To_LogoRGB(std::span<const std::uint8_t, mm::kLogoLightingSize>(
                                      bytes.data(), mm::kLogoLightingSize),
                                  record->stLogoRGB);
                window.RefreshLightingPage();
            } else {
                DecodeDpiEffect(std::span<const std::uint8_t, mm::kDpiEffectSize>(
                                    bytes.data(), mm::kDpiEffectSize),
                                record->stDpiEffect);
                window.RefreshPerformancePage();
            }
        };
    });
}

void DeviceSession::OnDeviceBehavior(std::uintptr_t value, std::intptr_t kind) {
    DbgLog("OnDeviceBehavior  Buffer= %x %x %x, nPopByte1=%d, lParam=%d",
           static_cast<unsigned>(value), 0u, 0u, 0, static_cast<int>(kind));
    ProfileFile* record = setup_.store->Current();
    const SessionConfig config = Config();
    if (record == nullptr || !config.hasDeviceSection || setup_.driver->CmdHandle() == nullptr) {
        DbgLog("return.  pFile=0x%x, pSensorCfg=0x%x", LogPointer(record),
               config.hasDeviceSection ? 1u : 0u);
        return;
    }
    const CodecContext context = TransferSettings().context;
    switch (kind) {
        case kBehaviorDpiLevel:
            if (value >= static_cast<std::uintptr_t>(context.dpiLevelCount)) break;
            [[fallthrough]];
        case kBehaviorReportRate:
            ApplyBehavior(*record, {value, kind});
            // A read that is running decodes a record that does not have this change yet.
            if (readsAsked_ > 0) behaviorsDuringRead_.push_back({value, kind});
            break;
        case kBehaviorReset: {
            const std::uint64_t now = Now();
            const std::uint64_t sub = now - resetTick_;
            DbgLog("nTick= %d, m_nResetTickCount= %d, nSub=%d", static_cast<int>(now),
                   static_cast<int>(resetTick_), static_cast<int>(sub));
            if (sub <= kOwnResetWindowMs) {
                DbgLog("this is reset notify, do not process");
            } else if (readsAsked_ > 0) {
                // The read that runs may have read part of the old profile: it is dropped
                // and one read follows it, however often the button is pressed meanwhile.
                ++mouseChanges_;
                readAgain_ = true;
                DbgLog("reset notify during a read, read again after it");
            } else {
                StartReadCurCfgThread();
                setup_.window->ShowReadWait(Text("tc_msg12"));
            }
            break;
        }
        case kBehaviorMainLighting:
            if (context.showMainEffect) {
                ReadLightingGroup(kind, mm::kMainLighting, mm::kMainLightingReadSize);
            }
            break;
        case kBehaviorLogoLighting:
            if (context.showLogoEffect) {
                ReadLightingGroup(kind, mm::kLogoLighting, mm::kLogoLightingSize);
            }
            break;
        case kBehaviorDpiIndicator:
            if (context.showDpiLed) ReadLightingGroup(kind, mm::kDpiEffect, mm::kDpiEffectSize);
            break;
        default:
            break;
    }
}

// ---- Device arrival and removal, timers ----

void DeviceSession::OnDeviceChange(const HidDeviceChange& change) {
    if (change.vendorId == 0 || change.productId == 0) {
        DbgLog("OnDeviceChange: path_string_to_id err");
        return;
    }
    DbgLog("OnDeviceChange: vid=%04x pid=%04x", change.vendorId, change.productId);
    const SessionConfig config = Config();
    bool ours = change.vendorId == config.vid;
    if (ours) {
        ours = false;
        for (std::uint32_t pid : config.pids) ours = ours || pid == change.productId;
    }
    if (!ours) return;

    if (change.arrived) {
        DbgLog("Device IN");
        retryFind_ = kArrivalRetries;
    } else {
        DbgLog("Device OUT");
        // With no mouse open, one search tells whether the receiver that went was the one
        // the window waits on (the window then asks for the receiver, not the mouse).
        if (setup_.driver->CmdHandle() == nullptr) retryFind_ = std::max(retryFind_, 1);
        if (const auto cmd = setup_.driver->CmdHandle()) {
            // Whether the open device is still there is asked on the device thread; the
            // search timer waits for the answer.
            RunOnDeviceThread([this, cmd]() -> std::function<void()> {
                Pauses().SleepMs(kRemovalCheckSleepMs);
                HidAttributes attributes;
                std::uint32_t error = kHidOk;
                const bool present = cmd->GetAttributes(&attributes, &error);
                return [this, present, version = attributes.versionNumber, error] {
                    LandRemovalCheck(present, version, error);
                };
            });
            return;
        }
    }
    StartSearchTimerIfNeeded();
}

void DeviceSession::LandRemovalCheck(bool present, std::uint32_t version, std::uint32_t error) {
    if (present) {
        DbgLog("OnDeviceChange: GetDevVersion, nVer=0x%x", version);
        return;
    }
    DbgLog("OnDeviceChange: GetVersionNumber, Err=0x%x", error);
    if (error == kHidDeviceNotConnected) {
        retryFind_ = 1;
        setup_.driver->ClearHandle();
        setup_.window->HideBattery();
        SetConnection(MouseConnection::kNoReceiver);
    }
    StartSearchTimerIfNeeded();
}

void DeviceSession::StartSearchTimerIfNeeded() {
    if (!setup_.timers->IsRunning(FINDDEV_TIMER_ID) && retryFind_ > 0) {
        DbgLog("SetTimer FINDDEV_TIMER_ID, m_nRetryFind=%d", retryFind_);
        setup_.timers->Start(FINDDEV_TIMER_ID, kFindDevTimerMs);
    }
}

void DeviceSession::OnFindDeviceMessage() {
    if (!setup_.timers->IsRunning(kFoundDelayTimerId)) {
        setup_.timers->Start(kFoundDelayTimerId, kFoundDelayTimerMs);
    }
}

void DeviceSession::OnTimer(int id) {
    SessionTimers& timers = *setup_.timers;
    switch (id) {
        case FINDDEV_TIMER_ID:
            --retryFind_;
            SearchDevices([this](int found) { LandSearch(found); });
            break;
        case CHECK_DEV_NUM_TIMER_ID: {
            timers.Stop(CHECK_DEV_NUM_TIMER_ID);
            const int matched = setup_.finder->FindOkNum();
            DbgLog("OnTimer: CHECK_DEV_NUM_TIMER_ID, g_nFindOkNum=%d", matched);
            if (matched > 1) {
                setup_.window->ShowNotice(Text("tc_msg36"));
                setup_.window->CloseWindow();
            }
            break;
        }
        case kFoundDelayTimerId:
            OnFindDeviceOK();
            break;
        case kSearchRetryTimerId:
            timers.Stop(kSearchRetryTimerId);
            // A mouse found meanwhile (or about to be taken) ends the retries.
            if (setup_.driver->CmdHandle() || timers.IsRunning(kFoundDelayTimerId)) break;
            SearchDevices([this](int found) { RetrySearchIfNoMouse(found); });
            break;
        default:
            break;
    }
}

void DeviceSession::SearchDevices(std::function<void(int found)> landed) {
    // A search pauses between its probes, so it runs on the device thread. It needs no
    // device mutex: it leaves the open device's interfaces alone.
    deviceThread_.Post([this, landed = std::move(landed)] {
        const int found = setup_.finder->FindDev();
        const bool denied = setup_.finder->AccessDenied();
        PostResult([this, landed, found, denied] {
            NoteSearch(found, denied);
            landed(found);
        });
    });
}

void DeviceSession::NoteSearch(int found, bool accessDenied) {
    // A mouse that is open, or about to be taken, is not touched by a search.
    if (setup_.driver->CmdHandle() || setup_.timers->IsRunning(kFoundDelayTimerId)) return;
    SetConnection(ConnectionAfterSearch(found, accessDenied));
}

void DeviceSession::SetConnection(MouseConnection connection) {
    if (connection == connection_) return;
    connection_ = connection;
    setup_.window->ShowConnection(connection);
}

void DeviceSession::LandSearch(int found) {
    DbgLog("OnTimer: FindHIDDevice=%d", found);
    if (found > 0 || retryFind_ <= 0) {
        setup_.timers->Stop(FINDDEV_TIMER_ID);
        retryFind_ = 0;
    }
    RetrySearchIfNoMouse(found);
}

void DeviceSession::RetrySearchIfNoMouse(int found) {
    SessionTimers& timers = *setup_.timers;
    if (found <= 0 || setup_.driver->CmdHandle() || timers.IsRunning(kSearchRetryTimerId)) return;
    DbgLog("Search retry in %d ms", searchRetryMs_);
    timers.Start(kSearchRetryTimerId, searchRetryMs_);
    searchRetryMs_ = std::min(searchRetryMs_ * 2, kSearchRetryLongestMs);
}

void DeviceSession::OnFindDeviceOK() {
    setup_.timers->Stop(kFoundDelayTimerId);
    const std::optional<DevParam> device = setup_.finder->GetCurParam();
    if (!device) return;
    setup_.timers->Stop(kSearchRetryTimerId);
    searchRetryMs_ = kSearchRetryFirstMs;
    // The driver keeps the ids of the mouse it had until another one is attached.
    const bool sameModel = setup_.driver->nCID == device->CID && setup_.driver->nMID == device->MID;
    // The found mouse's model becomes current here, on the window thread, before the layout
    // and the profile file of that model are loaded.
    SelectDeviceSection(device->section);
    AttachDevice(*setup_.driver, *device);
    SetConnection(MouseConnection::kConnected);
    if (worker_.MouseOutOfStep() && sameModel) {
        // A write stopped in the middle when the mouse went: the whole record goes in again
        // before the read, which then finds mouse and record in agreement.
        DbgLog("OnFindDeviceOK: the whole profile is written again");
        worker_.RequestWholeProfile();
    }
    RefreshLayout();
    if (setup_.window->IsWindowVisible()) TellDrvStatus(1);
    StartReadCurCfgThread();
    setup_.window->ShowReadWait(Text("tc_msg12"));
}

void DeviceSession::TellDrvStatus(std::uint8_t status) {
    if (setup_.driver->CmdHandle() == nullptr) return;
    RunOnDeviceThread([this, status]() -> std::function<void()> {
        setup_.driver->TellDrvStatus(status);
        return {};
    });
}

void DeviceSession::SwitchOnBoardProfile(int index) {
    if (index < 0 || index >= kProfileCount || setup_.driver->CmdHandle() == nullptr) return;
    // A read still running or waiting reads the profile that is being left: it ends at its
    // next device read and is dropped, so the switch need not wait for it; the read after
    // the switch takes its place (also when the mouse refuses the switch).
    const bool dropsRead = readsAsked_ > 0;
    if (dropsRead) ++mouseChanges_;
    RunOnDeviceThread([this, index, dropsRead]() -> std::function<void()> {
        if (setup_.driver->SetCurProfile(static_cast<std::uint8_t>(index)) == 0) {
            DbgLog("SetCurProfile Err");
            if (!dropsRead) return {};
        }
        return [this] { StartReadCurCfgThread(); };
    });
}

void DeviceSession::RefreshLayout() {
    const SessionConfig config = Config();
    DbgLog("RefreshLayout for 0x%x, cid=%x,mid=%x", config.sensor, config.cid, config.mid);
    setup_.store->LoadPro();
    setup_.window->LayoutForDevice();
    RunOnDeviceThread([this]() -> std::function<void()> {
        const int level = ReadCurDpiLevel(*setup_.driver);
        return [this, level] {
            curDpiLevel_ = level;
            setup_.window->RefreshPages();
        };
    });
}

// ---- Checks of the pages ----

DeviceSession::Readiness DeviceSession::CheckWithoutIo() {
    const SessionConfig config = Config();
    SessionWindow& window = *setup_.window;
    if (!firstReadDone_) {
        window.ShowNotice(Text("tc_adv_str15"));
        return Readiness::kNotReady;
    }
    if (setup_.finder->GetCurParam()) {
        if (!config.applyNow || config.goWithNoDev) return Readiness::kReady;
        return Readiness::kConnectionTest;
    }
    if (config.goWithNoDev) return Readiness::kReady;
    window.ShowNotice(Text("tc_msg15"));
    return Readiness::kNotReady;
}

bool DeviceSession::IsDeviceReady() {
    return CheckWithoutIo() != Readiness::kNotReady;
}

void DeviceSession::CheckDeviceReady(std::function<void()> onReady) {
    switch (CheckWithoutIo()) {
        case Readiness::kReady:
            if (onReady) onReady();
            break;
        case Readiness::kConnectionTest:
            RunOnDeviceThread([this, onReady = std::move(onReady)]() -> std::function<void()> {
                const bool connected = setup_.driver->GetConnectStatus() == 1;
                return [this, connected, onReady] {
                    if (!connected) {
                        setup_.window->ShowNotice(Text("tc_msg10"));
                    } else if (onReady) {
                        onReady();
                    }
                };
            });
            break;
        case Readiness::kNotReady:
            break;
    }
}

void DeviceSession::Restore() {
    const SessionConfig config = Config();
    SessionWindow& window = *setup_.window;
    if (!firstReadDone_) {
        window.ShowNotice(Text("tc_adv_str15"));
        return;
    }
    if (setup_.driver->CmdHandle() == nullptr && !config.goWithNoDev) {
        window.ShowNotice(Text("tc_msg15"));
        return;
    }
    CheckDeviceReady([this] { RestoreConfirmed(); });
}

void DeviceSession::RestoreConfirmed() {
    setup_.window->Ask(Text("tc_msg5"), [this] { RestoreAnswered(); });
}

void DeviceSession::RestoreAnswered() {
    SessionWindow& window = *setup_.window;
    // The question does not hold the program up: a read may have begun while it was open.
    if (!firstReadDone_) {
        window.ShowNotice(Text("tc_adv_str15"));
        return;
    }
    ProfileStore& store = *setup_.store;
    if (store.Count() == 0) return;
    const SessionConfig config = Config();
    const std::string name = Text("tc_msg14");
    const ProfileFile& old = store.Profile(0);
    store.ReplaceProfile(
        0, setup_.newProfile ? setup_.newProfile(old, name) : DefaultNewProfile(old, name));
    window.RefreshPages();
    curDpiLevel_ = config.defaultDpiLevel;
    window.MarkCurrentLevel(config.defaultDpiLevel);
    resetTick_ = Now();
    // Requests queue up, so a busy worker runs the restore after its current request.
    // Skipping it would leave the record rebuilt but the mouse not reset, and the progress
    // window waiting for a worker that never closes it.
    worker_.Request({SET_RESET | kApplyShowProgress, kSetIndexAll},
                    window.OpenRestoreProgress(Text("tc_msg12")));
    if (!config.initOnReset) return;
    // The pages then show what the mouse holds after its reset rather than the defaults
    // of this program's record.
    StartReadCurCfgThread(kReadAfterResetPauseMs);
    window.ShowReadWait(Text("tc_msg12"));
}

}  // namespace vantor
