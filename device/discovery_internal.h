// The parts of a candidate record that only discovery itself sees: the threads that belong
// to it and the run state its Psd_Thread shares with the table.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "device/discovery.h"
#include "device/stop_flag.h"

namespace vantor {

// What one Psd_Thread works on. The thread keeps it even after its record was shut down
// and reused, so it never touches a record that is no longer its own: ownership is the
// record's `run` pointing at this object.
struct Discovery::ConnectionRun {
    std::shared_ptr<HidHandle> cmd;
    std::shared_ptr<HidHandle> notify;
    std::string cmdPath;
    std::string notifyPath;
    std::uint16_t vid = 0;  // of the command interface, from the search's interface table
    std::uint16_t pid = 0;
    StopFlag stop;                  // the record's stop flag; ends its poll pauses at once
    std::atomic<bool> done{false};  // the thread has ended
};

struct Discovery::Slot {
    DevParam param;
    std::shared_ptr<ConnectionRun> run;
    std::thread connectionThread;
    std::unique_ptr<ServiceThread> service;  // stands for the record's stop event
};

// Threads of shut-down records, joined later by the search thread and never by a thread
// that may hold the table lock.
struct Discovery::Retired {
    std::thread thread;
    std::shared_ptr<ConnectionRun> run;
    std::unique_ptr<ServiceThread> service;
};

}  // namespace vantor
