// One user of the mouse at a time. A session with the mouse (a vantorctl run, the window
// program while it holds the device, the simulated mouse's state file) takes an advisory
// lock (flock) on a lock file and writes its program name and process id into it. A second
// program waits a short while for the lock and, when it stays taken, can say who holds
// the mouse. The kernel drops the lock when its holder dies, so a crash never blocks the
// next run.
#pragma once

#include <chrono>
#include <string>

namespace vantor {

// How long a second user waits for the mouse before giving up.
constexpr std::chrono::milliseconds kDeviceLockWait{5000};

// The lock file of the mouse: "vantor-device.lock" in the user's private runtime folder
// (PrivateRuntimeDir), so every run of one user finds the same lock whether or not
// $XDG_RUNTIME_DIR is set; in the (resolved) `dataDir` only when there is no private folder.
std::string DeviceLockPath(const std::string& dataDir);

// "vantor (pid 4711)" for the holder text "vantor 4711"; "another program" when it is empty.
std::string DescribeLockHolder(const std::string& holder);

class DeviceLock {
  public:
    DeviceLock() = default;
    ~DeviceLock();
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

    // Takes the lock on `path` (creating the file), waiting up to `wait`, and writes
    // "<program> <pid>" into it. False when it stays taken (`holder` gets what the holder
    // wrote, e.g. "vantor 4711") or the file cannot be opened (`error` gets errno; EPERM
    // when the file belongs to another user, whose lock is never used).
    bool Acquire(const std::string& path, const std::string& program,
                 std::chrono::milliseconds wait, std::string* holder, int* error);
    bool Held() const { return fd_ >= 0; }
    // Empties the file and drops the lock; nothing when not held.
    void Release();

  private:
    int fd_ = -1;
};

}  // namespace vantor
