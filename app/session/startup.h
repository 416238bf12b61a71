// The start-up sequence shared by the window program and the command-line tool, and the
// single-instance step of the window program.
#pragma once

#include <chrono>
#include <string>

#include "platform/single_instance.h"

namespace vantor {

// The tray message a second copy hands to the running one: show and raise the window.
constexpr unsigned kTrayNotifyMessage = 1132;  // WM_USER + 108
constexpr unsigned kTrayNotifyLParam = 514;    // left button released on the tray icon

struct StartupState {
    std::string programDir;             // with a trailing '/'
    std::string dataDir;                // with a trailing '/'
    std::string title;                  // at most 39 characters
    bool startedWithArguments = false;  // the window starts hidden in the tray
};

// Finds the program folder, loads the default texts, reads the configuration (which sets
// up the diagnostic log), settles the title, writes the launch banner and the argument
// count, and creates the data folder. False when the configuration is unusable; the
// message "     Data Init failed.     " has then been shown.
[[nodiscard]] bool InitProgramData(int argc, const char* const* argv, StartupState* state);

// How long a start waits for a copy that is ending (it holds the lock but no longer listens).
constexpr std::chrono::milliseconds kInstanceExitWait{3000};

// Takes the per-user lock "MUTEX_QX_WIRELESS". When another copy holds it, hands that copy
// the tray message, logs "ALREADY_EXISTS, hWnd=%x" and returns kRunning: this copy ends.
// When that copy takes no message (it is ending), waits up to kInstanceExitWait for it to
// end and then holds the lock itself (kHeld), or returns kRunning.
// kFailed when the lock cannot be used (instance.Error() says why): this copy ends too,
// with that message, rather than run beside a copy it cannot see.
[[nodiscard]] InstanceClaim ClaimSingleInstance(SingleInstance& instance,
                                                const StartupState& state);

// Last log line of a run.
void LogProgramExit();

}  // namespace vantor
