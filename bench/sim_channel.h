// The program's command channel to the simulated mouse of the first device section: the
// driver on the command interface, the notification reader running, and the mouse answering
// every command after a fixed latency.
#pragma once

#include <cstdio>
#include <memory>

#include "app/config/codec_context_config.h"
#include "app/config/config.h"
#include "device/profile_transfer.h"
#include "device/reply_queue.h"
#include "device/service_thread.h"
#include "device/sleeper.h"
#include "device/usb_driver.h"
#include "platform/paths.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"

namespace vantor {

struct SimChannel {
    // `sleeper` paces the channel's waits and must outlive it.
    SimChannel(Sleeper& sleeper, int replyLatencyMs)
        : queue(sleeper), driver(CUSBDriver::kDefaultRetry, queue, sleeper) {
        if (!DataInit(ProgramDir() + "cfg.ini")) std::fputs("cfg.ini not usable\n", stderr);
        SelectDeviceSection(0);
        firmware = MakeSimFirmware(0);
        backend = std::make_unique<SimHidBackend>(firmware);
        SimFaults faults;
        faults.replyLatencyMs = replyLatencyMs;
        backend->SetFaults(faults);
        std::uint32_t error = 0;
        auto cmd = backend->Open(SimHidBackend::PathOf(0, SimInterface::kCommand), &error);
        auto notify = backend->Open(SimHidBackend::PathOf(0, SimInterface::kNotify), &error);
        driver.SetHandles(cmd, notify);
        reader = std::make_unique<ServiceThread>(notify, ServiceThreadIds{}, queue, nullptr);
        reader->Start();
        settings.context = CurrentCodecContext();
    }
    ~SimChannel() {
        reader.reset();
        driver.ClearHandle();
    }
    SimChannel(const SimChannel&) = delete;
    SimChannel& operator=(const SimChannel&) = delete;

    ReplyQueue queue;
    CUSBDriver driver;
    std::shared_ptr<SimFirmware> firmware;
    std::unique_ptr<SimHidBackend> backend;
    std::unique_ptr<ServiceThread> reader;
    ProfileTransferSettings settings;
};

}  // namespace vantor
