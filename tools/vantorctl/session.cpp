#include "tools/vantorctl/session.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/config/codec_context_config.h"
#include "app/config/config.h"
#include "app/config/discovery_config.h"
#include "app/session/transfer_settings.h"
#include "base/log.h"
#include "device/apply_worker.h"
#include "platform/hidraw_backend.h"
#include "profile/memory_map.h"
#include "profile/set_flags.h"

namespace vantor::cli {
namespace {

constexpr int kMouseProfiles = 4;

// Events of the simulated mouse that --sim-event can fire, as a user would on the mouse
// or with its receiver.
struct SimEvent {
    const char* name;
    void (*fire)(SimFirmware& firmware, SimHidBackend& backend);
};

constexpr SimEvent kSimEvents[] = {
    {"dpi-button", [](SimFirmware& f, SimHidBackend&) { f.PressDpiButton(); }},
    {"rate-1000", [](SimFirmware& f, SimHidBackend&) { f.SwitchReportRate(1); }},
    {"rate-500", [](SimFirmware& f, SimHidBackend&) { f.SwitchReportRate(2); }},
    {"rate-250", [](SimFirmware& f, SimHidBackend&) { f.SwitchReportRate(4); }},
    {"rate-125", [](SimFirmware& f, SimHidBackend&) { f.SwitchReportRate(8); }},
    {"light-main",
     [](SimFirmware& f, SimHidBackend&) { f.PressLightingKey(SimLightingZone::kMain); }},
    {"light-logo",
     [](SimFirmware& f, SimHidBackend&) { f.PressLightingKey(SimLightingZone::kLogo); }},
    {"light-dpi",
     [](SimFirmware& f, SimHidBackend&) { f.PressLightingKey(SimLightingZone::kDpiIndicator); }},
    {"unplug", [](SimFirmware&, SimHidBackend& b) { b.Unplug(); }},
    {"plug", [](SimFirmware&, SimHidBackend& b) { b.Plug(); }},
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
    std::string error;
    SimulationError kind = SimulationError::kNone;
    std::optional<SimulatedMouse> mouse =
        StartSimulatedMouse(*context_.options.simulate, context_.options.simState, &error, &kind);
    if (!mouse) return kind == SimulationError::kUsage ? UsageError(error) : Failure(error);
    firmware_ = mouse->firmware;
    mouse->backend->SetFaults(context_.options.simFaults);
    simBackend_ = mouse->backend.get();
    backend_ = std::move(mouse->backend);
    simStatePath_ = mouse->statePath;
    return kExitOk;
}

int CliSession::LockMouse() {
    // The simulated mouse lives in its state file; a run without one shares nothing.
    std::string path;
    if (!context_.options.simulate) {
        path = DeviceLockPath(context_.startup.dataDir);
    } else if (!context_.options.simState.empty()) {
        path = SimStateLockPath(context_.options.simState);
    } else {
        return kExitOk;
    }
    std::string holder;
    int error = 0;
    if (lock_.Acquire(path, "vantorctl", kDeviceLockWait, &holder, &error)) return kExitOk;
    if (error != EWOULDBLOCK) {
        return Failure("cannot open the lock file " + path + ": " + std::strerror(error));
    }
    return Failure("the mouse is in use by " + DescribeLockHolder(holder) +
                   "; try again when it has finished");
}

int CliSession::OpenBackend() {
    if (backend_) return kExitOk;
    if (int result = LockMouse(); result != kExitOk) return result;
    if (context_.options.simulate) {
        const int result = StartSimulation();
        if (result != kExitOk) return result;
    } else {
        if (!context_.options.simEvents.empty()) {
            return UsageError("--sim-event needs the simulated mouse (--simulate)");
        }
        if (context_.options.simFaultGiven) {
            return UsageError("--sim-fault needs the simulated mouse (--simulate)");
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
    discovery_ = std::make_unique<Discovery>(*backend_, &messages_, DiscoveryConfigFromOptions());
    driver_.SetClearCandidatesHook([this] { discovery_->ClearMatched(); });

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kFindDeviceTimeoutMs);
    if (discovery_->FindDev() > 0) messages_.WaitFor(WM_FIND_DEVICE_OK, deadline);
    device_ = discovery_->GetCurParam();
    if (!device_) return ReportNoMouse();

    SelectDeviceSection(device_->section);
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
        FindSimEvent(name)->fire(*firmware_, *simBackend_);
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
    if (firmware_) {
        std::string error;
        if (!SaveSimulatedMouse({firmware_, nullptr, simStatePath_}, &error)) {
            const int failed = Failure(error);
            if (result == kExitOk) result = failed;
        }
    }
    lock_.Release();
    return result;
}

ProfileTransferSettings CliSession::TransferSettings() {
    return CurrentTransferSettings(library_.get());
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
    std::string saveError;
    if (!SaveRecord(&saveError)) {
        *error = "the profile was read, but saving " + saveError;
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

bool CliSession::SaveRecord(std::string* error) {
    int code = 0;
    if (store_.SavePro(&code)) return true;
    if (error != nullptr) {
        *error = store_.ProfileFilePath() + ": " +
                 (code != 0 ? std::strerror(code) : "the profile list is incomplete");
    }
    return false;
}

int CliSession::ApplyAndSave(const ProfileFile& before, std::uint32_t flags, int index,
                             const std::string& what) {
    if (!Apply(flags, index)) {
        if (ProfileFile* record = store_.Current()) *record = before;
        // The mouse may have taken part of the change before it stopped answering: the
        // stored profile goes back in whole, so that mouse and file agree again.
        if (Apply(kSetWholeProfile, kSetIndexAll)) {
            return Failure("writing " + what +
                           " into the mouse failed; the mouse holds the profile file's settings "
                           "again");
        }
        return Failure("writing " + what +
                       " into the mouse stopped part-way: the mouse may hold part of the change, "
                       "the profile file is unchanged; when the mouse answers again, "
                       "\"vantorctl read\" makes the file match it");
    }
    std::string error;
    if (!SaveRecord(&error)) {
        const std::string::size_type colon = error.find(": ");
        return Failure("the mouse was updated, but saving " + error.substr(0, colon) +
                       " failed: " + error.substr(colon + 2));
    }
    return kExitOk;
}

}  // namespace vantor::cli
