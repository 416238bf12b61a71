#include "app/device_session.h"

#include <array>
#include <chrono>
#include <span>
#include <utility>

#include "app/codec_context_config.h"
#include "app/config.h"
#include "app/profile_defaults.h"
#include "base/log.h"
#include "base/texts.h"
#include "profile/lighting_codec.h"
#include "profile/memory_map.h"
#include "profile/new_profile.h"
#include "profile/set_flags.h"

namespace vantor {
namespace {

namespace mm = memory_map;

constexpr int kMouseProfiles = 4;

// Low bits of a pointer for the log, as the window's handles appear there.
unsigned LogPointer(const void* p) {
    return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(p));
}

// dwReportRate of a rate code of the device (1, 2, 4, 8); 0 for any other code.
std::uint32_t ReportRateOfCode(std::uintptr_t code) {
    switch (code) {
        case 1:
            return 0x1000;
        case 2:
            return 0x500;
        case 4:
            return 0x250;
        case 8:
            return 0x125;
        default:
            return 0;
    }
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
    return c;
}

DeviceSession::DeviceSession(DeviceSessionSetup setup) : setup_(std::move(setup)) {}

DeviceSession::~DeviceSession() {
    stopRead_ = true;
    if (readThread_.joinable()) readThread_.join();
    worker_.Stop();
}

SessionConfig DeviceSession::Config() const {
    return setup_.config ? setup_.config() : SessionConfigFromOptions();
}

ProfileTransferSettings DeviceSession::TransferSettings() const {
    if (setup_.transferSettings) return setup_.transferSettings();
    ProfileTransferSettings settings;
    settings.context = CurrentCodecContext();
    settings.goWithNoDev = Options().GoWithNoDev != 0;
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

void DeviceSession::StartApplyWorker(MessageSink* messages, ProgressWindowFinder* progressFinder) {
    ApplyWorkerSetup s;
    s.driver = setup_.driver;
    s.messages = messages;
    s.progressFinder = progressFinder;
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

// ---- Profile read thread ----

void DeviceSession::StartReadCurCfgThread() {
    if (readThread_.joinable()) {
        stopRead_ = true;
        readThread_.join();
    }
    stopRead_ = false;
    readThread_ = std::thread([this] { ReadCurCfgThread(); });
}

void DeviceSession::ReadCurCfgThread() {
    DbgLog("ReadCurCfgThread Start");
    {
        std::lock_guard<std::mutex> device(deviceMutex_);
        firstReadDone_ = false;
        const int index = setup_.driver->GetCurProfile();
        DbgLog("Mouse profile is %d", index);
        ProfileStore& store = *setup_.store;
        if (index >= 0 && index < kMouseProfiles && index < store.Count()) {
            ProfileFile scratch = store.Profile(index);
            int level = curDpiLevel_.load();
            const ProfileTransferSettings settings = TransferSettings();
            const int ok = GetProfile(setup_.driver, [this] { return stopRead_.load(); }, settings,
                                      {&scratch, &level, &macroNames_});
            if (ok == 1) {
                DbgLog("Init Pro OK");
                curDpiLevel_ = level;
                store.ReplaceProfile(index, scratch);
                if (Config().hasDeviceSection) store.SavePro();
                if (setup_.poster != nullptr) setup_.poster->Post(WM_SYNC_OK, 0, 0);
            }
        }
        firstReadDone_ = true;
        {
            std::lock_guard<std::mutex> lock(readDoneLock_);
            readDone_ = true;
        }
        readDoneChanged_.notify_all();
    }
    DbgLog("ReadCurCfgThread Exit");
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
    if (!setup_.timers->IsRunning(kBatteryTimerId)) {
        setup_.timers->Start(kBatteryTimerId, kBatteryTimerMs);
    }
}

void DeviceSession::BatteryUpdate() {
    if (setup_.driver->CmdHandle() == nullptr) return;
    std::uint8_t level = 0;
    std::uint8_t charging = 0;
    if (setup_.driver->GetPower(&level, &charging) != 1) return;
    DbgLog("GetPower: nPower=0x%x, bCharging=0x%x", level, charging);
    if (level > 100) return;
    SessionWindow& window = *setup_.window;
    if (!window.IsBatteryShown() && (Config().showPower & kShowPowerHideBattery) == 0) {
        window.ShowBattery();
    }
    window.SetPower(level, charging != 0);
}

bool DeviceSession::ReadLightingGroup(std::uint16_t address, std::uint8_t* bytes,
                                      std::size_t length) {
    Pauses().SleepMs(kLightingEventSleepMs);
    return setup_.driver->ReadEEPROM(address, bytes, length) == 1;
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
    SessionWindow& window = *setup_.window;
    switch (kind) {
        case kBehaviorDpiLevel:
            if (value < static_cast<std::uintptr_t>(context.dpiLevelCount)) {
                curDpiLevel_ = static_cast<int>(value);
                window.MarkCurrentLevel(static_cast<int>(value));
            }
            break;
        case kBehaviorReportRate: {
            window.SelectReportRateFromDevice(static_cast<int>(value));
            const std::uint32_t rate = ReportRateOfCode(value);
            if (rate != 0) record->dwReportRate = rate;
            break;
        }
        case kBehaviorReset: {
            const std::uint64_t now = Now();
            const std::uint64_t sub = now - resetTick_;
            DbgLog("nTick= %d, m_nResetTickCount= %d, nSub=%d", static_cast<int>(now),
                   static_cast<int>(resetTick_), static_cast<int>(sub));
            if (sub > kOwnResetWindowMs) {
                StartReadCurCfgThread();
                window.ShowUntilReadDone(Text("tc_msg12"));
            } else {
                DbgLog("this is reset notify, do not process");
            }
            break;
        }
        case kBehaviorMainLighting:
            if (context.showMainEffect) {
                std::array<std::uint8_t, mm::kMainLightingReadSize> bytes{};
                if (!ReadLightingGroup(mm::kMainLighting, bytes.data(), bytes.size())) break;
                EEPROM_To_MainRGB(bytes, record->stMainRGB);
                window.RefreshLightingPage();
            }
            break;
        case kBehaviorLogoLighting:
            if (context.showLogoEffect) {
                std::array<std::uint8_t, mm::kLogoLightingSize> bytes{};
                if (!ReadLightingGroup(mm::kLogoLighting, bytes.data(), bytes.size())) break;
                EEPROM_To_LogoRGB(bytes, record->stLogoRGB);
                window.RefreshLightingPage();
            }
            break;
        case kBehaviorDpiIndicator:
            if (context.showDpiLed) {
                std::array<std::uint8_t, mm::kDpiEffectSize> bytes{};
                if (!ReadLightingGroup(mm::kDpiEffect, bytes.data(), bytes.size())) break;
                DecodeDpiEffect(bytes, record->stDpiEffect);
                window.RefreshPerformancePage();
            }
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
        if (const auto cmd = setup_.driver->CmdHandle()) {
            Pauses().SleepMs(kRemovalCheckSleepMs);
            HidAttributes attributes;
            std::uint32_t error = kHidOk;
            if (cmd->GetAttributes(&attributes, &error)) {
                DbgLog("OnDeviceChange: GetDevVersion, nVer=0x%x", attributes.versionNumber);
                return;
            }
            DbgLog("OnDeviceChange: GetVersionNumber, Err=0x%x", error);
            if (error == kHidDeviceNotConnected) {
                retryFind_ = 1;
                setup_.driver->ClearHandle();
                setup_.window->HideBattery();
            }
        }
    }
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
        case FINDDEV_TIMER_ID: {
            --retryFind_;
            const int found = setup_.finder->FindDev();
            DbgLog("OnTimer: FindHIDDevice=%d", found);
            if (found > 0 || retryFind_ <= 0) {
                timers.Stop(FINDDEV_TIMER_ID);
                retryFind_ = 0;
            }
            break;
        }
        case CHECK_DEV_NUM_TIMER_ID: {
            timers.Stop(CHECK_DEV_NUM_TIMER_ID);
            const int matched = setup_.finder->FindOkNum();
            DbgLog("OnTimer: CHECK_DEV_NUM_TIMER_ID, g_nFindOkNum=%d", matched);
            if (matched > 1) {
                setup_.window->ShowText(Text("tc_msg36"));
                setup_.window->CloseWindow();
            }
            break;
        }
        case kFoundDelayTimerId:
            OnFindDeviceOK();
            break;
        case kBatteryTimerId:
            BatteryUpdate();
            break;
        default:
            break;
    }
}

void DeviceSession::OnFindDeviceOK() {
    setup_.timers->Stop(kFoundDelayTimerId);
    const std::optional<DevParam> device = setup_.finder->GetCurParam();
    if (!device) return;
    AttachDevice(*setup_.driver, *device);
    RefreshLayout();
    if (setup_.window->IsWindowVisible()) setup_.driver->TellDrvStatus(1);
    StartReadCurCfgThread();
    setup_.window->ShowUntilReadDone(Text("tc_msg12"));
}

void DeviceSession::RefreshLayout() {
    const SessionConfig config = Config();
    DbgLog("RefreshLayout for 0x%x, cid=%x,mid=%x", config.sensor, config.cid, config.mid);
    setup_.store->LoadPro();
    setup_.window->LayoutForDevice();
    curDpiLevel_ = ReadCurDpiLevel(*setup_.driver);
    setup_.window->RefreshPages();
}

// ---- Checks of the pages ----

bool DeviceSession::IsDeviceReady() {
    const SessionConfig config = Config();
    SessionWindow& window = *setup_.window;
    if (!firstReadDone_) {
        window.ShowText(Text("tc_adv_str15"));
        return false;
    }
    if (setup_.finder->GetCurParam()) {
        if (!config.applyNow || config.goWithNoDev || setup_.driver->GetConnectStatus() == 1) {
            return true;
        }
        window.ShowText(Text("tc_msg10"));
        return false;
    }
    if (config.goWithNoDev) return true;
    window.ShowText(Text("tc_msg15"));
    return false;
}

void DeviceSession::Restore() {
    const SessionConfig config = Config();
    SessionWindow& window = *setup_.window;
    if (!firstReadDone_) {
        window.ShowText(Text("tc_adv_str15"));
        return;
    }
    if (setup_.driver->CmdHandle() == nullptr && !config.goWithNoDev) {
        window.ShowText(Text("tc_msg15"));
        return;
    }
    if (!IsDeviceReady() || !window.AskOkCancel(Text("tc_msg5"))) return;

    ProfileStore& store = *setup_.store;
    if (store.Count() == 0) return;
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
    worker_.Request({SET_RESET | kApplyShowProgress, kSetIndexAll});
    window.RunRestoreProgress(Text("tc_msg12"));
}

}  // namespace vantor
