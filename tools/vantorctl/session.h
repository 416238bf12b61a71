// What the main window does up to a connected mouse, for one run of the command-line tool:
// the HID backend (the simulated mouse or hidraw), discovery, the transport, the profile
// store and the macro library; and on exit what the main window does when it closes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/store/profile_store.h"
#include "device/discovery.h"
#include "device/profile_transfer.h"
#include "device/usb_driver.h"
#include "keys/macro_library.h"
#include "platform/device_lock.h"
#include "platform/hid.h"
#include "sim/sim_firmware.h"
#include "sim/sim_hid_backend.h"
#include "tools/vantorctl/cli.h"
#include "tools/vantorctl/message_queue.h"

namespace vantor::cli {

// How long a run waits for discovery to report the mouse.
constexpr int kFindDeviceTimeoutMs = 4000;

class CliSession {
  public:
    explicit CliSession(const Context& context);
    // Closes the session if the command did not.
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Takes the lock of the mouse (or of the simulated mouse's state file), then makes the
    // backend: the simulated mouse (loaded from the state file when it exists) or hidraw.
    // On failure the error line has been printed and the exit code is returned.
    int OpenBackend();
    // OpenBackend, then discovery up to the connected mouse, the profile store of its
    // device section and the macro library. kExitOk, or the printed failure's exit code.
    int Connect();
    // Tells the mouse the tool is done, saves what changed and the simulated mouse's state.
    // Returns `result`, or kExitFailure when saving failed.
    int Close(int result);

    HidBackend& Backend() { return *backend_; }
    SimFirmware* Simulated() { return firmware_.get(); }
    CUSBDriver& Driver() { return driver_; }
    ProfileStore& Store() { return store_; }
    MacroLibrary& Library() { return *library_; }
    MessageQueue& Messages() { return messages_; }
    const std::optional<DevParam>& Device() const { return device_; }

    int CurDpiLevel() const { return curDpiLevel_; }
    void SetCurDpiLevel(int level) { curDpiLevel_ = level; }
    ProfileTransferSettings TransferSettings();

    // Reads the active on-board profile into the store, makes it current and saves the
    // profile file. False with the reason in `error`.
    bool ReadActiveProfile(std::string* error);
    // Makes sure the current record mirrors the mouse: reads it when the profile file of
    // this model did not exist yet.
    bool EnsureRecord(std::string* error);
    // Writes the parts of the current record named by `flags` for `index`.
    bool Apply(std::uint32_t flags, int index);
    // Saves the profile file now; false with "<file>: <system error>" in `error`.
    bool SaveRecord(std::string* error = nullptr);
    // Apply, then SaveRecord. When the mouse refuses the write, the current record goes
    // back to `before` and nothing is saved; when only the save fails, the line says the
    // mouse was updated. `what` names the change in the failure line. Returns the exit
    // code, its line printed.
    int ApplyAndSave(const ProfileFile& before, std::uint32_t flags, int index,
                     const std::string& what);

  private:
    int LockMouse();
    int ReportNoMouse();
    int StartSimulation();
    int FireSimEvents();

    const Context& context_;
    DeviceLock lock_;  // held from OpenBackend until Close
    MessageQueue messages_;
    std::shared_ptr<SimFirmware> firmware_;
    std::unique_ptr<HidBackend> backend_;
    SimHidBackend* simBackend_ = nullptr;  // backend_ when it is the simulated mouse
    CUSBDriver driver_;
    std::unique_ptr<Discovery> discovery_;
    ProfileStore store_;
    std::unique_ptr<MacroLibrary> library_;
    std::optional<DevParam> device_;
    bool storeLoaded_ = false;
    std::string simStatePath_;  // empty: the simulated mouse is not saved
    int curDpiLevel_ = -1;
    bool closed_ = false;
};

// The simulated mouse's events that --sim-event names; false for an unknown name.
bool IsSimEventName(const std::string& name);

}  // namespace vantor::cli

namespace vantor::cli {

// Prints the current record of `store` (text lines, or JSON with --json); `stored` says
// that it was not read from the mouse in this run. `curDpiLevel` is -1 when unknown.
int PrintRecord(const Context& context, const ProfileStore& store, const MacroList& macros,
                int curDpiLevel, bool stored);
// PrintRecord of the session's store, as read from the mouse.
int PrintCurrentRecord(const Context& context, CliSession& session);

// Connects a session for a device command; on failure the error line has been printed and
// the session is closed with the exit code, which is returned.
int ConnectOrClose(CliSession& session);

}  // namespace vantor::cli
