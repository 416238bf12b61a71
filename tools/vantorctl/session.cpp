#include "tools/vantorctl/session.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "app/config.h"
#include "app/log.h"
#include "device/apply_worker.h"
#include "platform/hidraw_backend.h"
#include "profile/codec_context.h"
#include "profile/memory_map.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_state.h"

namespace vantor::cli {
namespace {

constexpr int kMouseProfiles = 4;

// Events of the simulated mouse that --sim-event can fire, as a user would on the mouse.
struct SimEvent {
    const char* name;
    void (*fire)(SimFirmware& firmware);
};

constexpr SimEvent kSimEvents[] = {
    {"dpi-button", [](SimFirmware& f) { f.PressDpiButton(); }},
    {"rate-1000", [](SimFirmware& f) { f.SwitchReportRate(1); }},
    {"rate-500", [](SimFirmware& f) { f.SwitchReportRate(2); }},
    {"rate-250", [](SimFirmware& f) { f.SwitchReportRate(4); }},
    {"rate-125", [](SimFirmware& f) { f.SwitchReportRate(8); }},
    {"light-main", [](SimFirmware& f) { f.PressLightingKey(SimLightingZone::kMain); }},
    {"light-logo", [](SimFirmware& f) { f.PressLightingKey(SimLightingZone::kLogo); }},
    {"light-dpi", [](SimFirmware& f) { f.PressLightingKey(SimLightingZone::kDpiIndicator); }},
};

const SimEvent* FindSimEvent(const std::string& name) {
    for (const SimEvent& event : kSimEvents) {
        if (name == event.name) return &event;
    }
    return nullptr;
}

}  // namespace

bool IsSimEventName(const std::string& name) {
    return FindSimEvent(name) != nullptr;
}

CliSession::CliSession(const Context& context)
    : context_(context), store_(context.startup.dataDir) {}

CliSession::~CliSession() {
    Close(kExitOk);
}

int CliSession::StartSimulation() {
    const int section = *context_.options.simulate;
    if (DeviceSectionAt(section - 1).Sensor == 0) {
        return UsageError("device section DEV_" + std::to_string(section) + " is not in cfg.ini");
    }
    firmware_ = MakeSimFirmware(section - 1);
    const std::string& path = context_.options.simState;
    std::error_code ec;
    if (!path.empty() && std::filesystem::exists(path, ec)) {
        const std::optional<SimFirmwareState> state = LoadSimState(path);
        if (!state) return Failure(path + " is not a state file of the simulated mouse");
        firmware_->Restore(*state);
    }
    SimBackendSettings settings;
    settings.vendorId = Options().VID;
    if (!Options().PID.empty()) settings.productId = static_cast<std::uint16_t>(Options().PID[0]);
    backend_ = std::make_unique<SimHidBackend>(firmware_, settings);
    // A refused state file is never reached here, so it is never replaced.
    saveSimState_ = !path.empty();
    return kExitOk;
}

int CliSession::OpenBackend() {
    if (backend_) return kExitOk;
    if (context_.options.simulate) {
        const int result = StartSimulation();
        if (result != kExitOk) return result;
    } else {
        if (!context_.options.simEvents.empty()) {
            return UsageError("--sim-event needs the simulated mouse (--simulate)");
        }
        backend_ = std::make_unique<HidrawBackend>();
    }
    return kExitOk;
}

int CliSession::ReportNoMouse() {
    if (context_.options.simulate) {
        return Failure("the simulated mouse did not answer (is it switched off? see 'sim power')");
    }
    bool present = false;
    for (const HidInterfaceInfo& info : backend_->Enumerate()) {
        if (info.vendorId != Options().VID) continue;
        present = true;
        std::uint32_t error = kHidOk;
        // A node this user may not open gets its hint from the backend, once per run.
        if (!backend_->Open(info.path, &error) && error == kHidAccessDenied) return kExitFailure;
    }
    if (!present) {
        return Failure("no mouse found: no HID interface with vendor id " + Hex(Options().VID, 4) +
                       " (use --simulate for the simulated mouse)");
    }
    return Failure("no mouse connected: the receiver is there but the mouse did not answer");
}

int CliSession::Connect() {
    int result = OpenBackend();
    if (result != kExitOk) return result;
    for (const std::string& name : context_.options.simEvents) {
        if (!IsSimEventName(name)) return UsageError("unknown simulated event " + name);
    }
    // Without a usable CID.dct the first device section stays current, as in the program.
    (void)store_.LoadCID();
    driver_.SetRetry(Options().Retry);
    discovery_ = std::make_unique<Discovery>(*backend_, &messages_);
    driver_.SetClearCandidatesHook([this] { discovery_->ClearMatched(); });

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kFindDeviceTimeoutMs);
    if (discovery_->FindDev() > 0) messages_.WaitFor(WM_FIND_DEVICE_OK, deadline);
    device_ = discovery_->GetCurParam();
    if (!device_) return ReportNoMouse();

    AttachDevice(driver_, *device_);
    driver_.TellDrvStatus(1);

    storeLoaded_ = store_.LoadPro();
    library_ = std::make_unique<MacroLibrary>(store_.DataDir() + "Mac/", Options().MacroDir);
    library_->LoadLibrary(true);
    const int active = driver_.GetCurProfile();
    if (active >= 0 && active < kMouseProfiles) store_.SetCurrentIndex(active);
    curDpiLevel_ = ReadCurDpiLevel(driver_);
    return FireSimEvents();
}

int CliSession::FireSimEvents() {
    for (const std::string& name : context_.options.simEvents) {
        FindSimEvent(name)->fire(*firmware_);
    }
    return kExitOk;
}

int CliSession::Close(int result) {
    if (closed_) return result;
    closed_ = true;
    if (device_) {
        driver_.TellDrvStatus(0);
        if (!store_.SaveCID()) DbgLog("vantorctl: SaveCID failed");
        driver_.ClearHandle();
    }
    // The driver must not reach the discovery it outlives.
    driver_.SetClearCandidatesHook({});
    discovery_.reset();
    if (saveSimState_) {
        int error = 0;
        if (!SaveSimState(context_.options.simState, firmware_->State(), &error)) {
            const int failed = Failure("cannot save " + context_.options.simState + " (error " +
                                       std::to_string(error) + ")");
            if (result == kExitOk) result = failed;
        }
    }
    return result;
}

ProfileTransferSettings CliSession::TransferSettings() {
    ProfileTransferSettings settings;
    settings.context = CurrentCodecContext();
    settings.goWithNoDev = Options().GoWithNoDev != 0;
    settings.macros = library_.get();
    return settings;
}

bool CliSession::ReadActiveProfile(std::string* error) {
    const int index = driver_.GetCurProfile();
    if (index < 0 || index >= kMouseProfiles || index >= store_.Count()) {
        *error = "cannot read the active profile number of the mouse";
        return false;
    }
    ProfileFile scratch = store_.Profile(index);
    int level = curDpiLevel_;
    MacroNameTable names{};
    if (GetProfile(&driver_, {}, TransferSettings(), {&scratch, &level, &names}) != 1) {
        *error = "reading profile " + std::to_string(index + 1) + " from the mouse failed";
        return false;
    }
    curDpiLevel_ = level;
    store_.ReplaceProfile(index, scratch);
    storeLoaded_ = true;
    if (!store_.SavePro()) {
        *error = "cannot write " + store_.ProfileFilePath();
        return false;
    }
    return true;
}

bool CliSession::EnsureRecord(std::string* error) {
    if (storeLoaded_ && store_.Current() != nullptr) return true;
    return ReadActiveProfile(error);
}

bool CliSession::Apply(std::uint32_t flags, int index) {
    const ProfileFile* record = store_.Current();
    if (record == nullptr) return false;
    return SetProfile(nullptr, &driver_, record, kApplyProgressMessage, flags, index, curDpiLevel_,
                      TransferSettings()) == 1;
}

bool CliSession::SaveRecord() {
    return store_.SavePro();
}

}  // namespace vantor::cli
