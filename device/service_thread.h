// The notification reader of the connected device: one thread that keeps exactly one read
// outstanding on the notification interface, turns device event reports into posted
// WM_DEVICE_BEHAVIOR messages and appends every other report to the reply queue.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "base/poster.h"
#include "device/reply_queue.h"
#include "platform/hid.h"

namespace vantor {

constexpr std::uint32_t WM_DEVICE_BEHAVIOR = 0x7EB;

// lParam values of WM_DEVICE_BEHAVIOR.
enum DeviceBehavior : std::intptr_t {
    kBehaviorDpiLevel = 1,    // wParam: the new active DPI level
    kBehaviorReportRate = 2,  // wParam: rate code 1, 2, 4, 8 for 1000, 500, 250, 125 Hz
    kBehaviorReset = 3,       // wParam: event data byte 4
    kBehaviorMainLighting = 4,
    kBehaviorLogoLighting = 5,
    kBehaviorDpiIndicator = 6,
};

// Identity of the device, for the log lines.
struct ServiceThreadIds {
    std::uint16_t PID = 0;
    std::uint8_t CID = 0;
    std::uint8_t MID = 0;
};

class ServiceThread {
  public:
    // Pause after a read error that does not end the thread, so a failing interface is not
    // read in a tight loop.
    static constexpr std::uint32_t kErrorPauseMs = 20;

    // `poster` stands for the main window; it may be null (nothing is posted then) and
    // must outlive the thread.
    ServiceThread(std::shared_ptr<HidHandle> hNotify, ServiceThreadIds ids, ReplyQueue& queue,
                  MessagePoster* poster);
    // Stops the thread and waits for it.
    ~ServiceThread();
    ServiceThread(const ServiceThread&) = delete;
    ServiceThread& operator=(const ServiceThread&) = delete;

    void Start();
    // Signals the stop to the outstanding read; the thread ends within one wait.
    void RequestStop();
    // Waits until the thread has ended (after a stop, an unplug or a closed handle).
    void Join();

    // Handles one received payload (16 bytes after the report id); public for testing the
    // dispatch rules without a thread.
    void Dispatch(const std::uint8_t* payload16);

  private:
    void Run();

    std::shared_ptr<HidHandle> hNotify_;
    ServiceThreadIds ids_;
    ReplyQueue& queue_;
    MessagePoster* poster_;
    std::atomic<bool> running_{false};  // a stop is signalled only to a running reader
    std::thread thread_;
};

}  // namespace vantor
