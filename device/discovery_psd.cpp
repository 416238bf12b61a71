// The candidate thread of one command/notification pair: waits until the mouse behind it
// is connected, identifies it and, when it is a supported device, makes it the matched one.
#include <algorithm>

#include "base/log.h"
#include "device/device_commands.h"
#include "device/discovery.h"
#include "device/discovery_internal.h"
#include "device/discovery_rules.h"
#include "device/log_ids.h"

namespace vantor {
namespace {

// Polls the pair until the mouse reports that it is connected: four passes 200 ms apart,
// then one every 1100 ms (the receiver answers while its mouse is switched off). False when
// the stop flag was set (which also ends a pause at once), the device is gone or the probe
// cannot be written.
bool WaitUntilConnected(HidHandle* cmd, HidHandle* notify, const StopFlag& stop, Sleeper& sleeper) {
    const unsigned hCmd = LogHandleId(cmd);
    for (int pass = 1;; pass = std::min(pass + 1, kFastPollPasses + 1)) {
        if (stop.IsSet()) return false;
        sleeper.SleepMsUnlessStopped(pass <= kFastPollPasses ? kFastPollMs : kSlowPollMs, stop);
        if (stop.IsSet()) return false;

        HidAttributes attributes;
        std::uint32_t error = kHidOk;
        if (!cmd->GetAttributes(&attributes, &error)) {
            DbgLog("Psd_Thread: hCmd=%x nErr=%d, ThreadId=%x", hCmd, static_cast<int>(error),
                   LogThreadId());
            if (error == kHidDeviceNotConnected) {
                DbgLog("Psd_Thread: dev is plug out. ThreadId=%x", LogThreadId());
            } else if (error == kHidInvalidHandle) {
                DbgLog("Psd_Thread: dev is invalid handle. ThreadId=%x", LogThreadId());
            }
            return false;
        }

        const int connected = TestConnectDirect(cmd, notify);
        DbgLog("Psd_Thread: bCennect=%d, hCmd=%x, ThreadId=%x", connected, hCmd, LogThreadId());
        if (connected == -1) {
            DbgLog("CheckPsdThread: SendData Err");
            return false;
        }
        if (connected == 1) break;
    }
    return !stop.IsSet();
}

}  // namespace

void Discovery::ConnectionThread(std::size_t index, std::shared_ptr<ConnectionRun> run) {
    HidHandle* cmd = run->cmd.get();
    HidHandle* notify = run->notify.get();
    const unsigned hCmd = LogHandleId(cmd);
    const unsigned hNotify = LogHandleId(notify);
    DbgLog("----Psd_Thread start, hCmd=%x, hNotify=%x, ThreadId=%x", hCmd, hNotify, LogThreadId());

    if (WaitUntilConnected(cmd, notify, run->stop, sleeper_)) {
        std::uint8_t cid = 0;
        std::uint8_t mid = 0;
        const int identified = CheckPsd(cmd, notify, &cid, &mid);
        DbgLog("Psd_Thread: CheckPsd=%d", identified);
        const int section = identified == 1 ? FindDeviceSection(config_.models, cid, mid) : -1;
        if (identified != 0 && section < 0) {
            DbgLog("Psd_Thread: unsupport dev!!! cid=%x, mid=%x", cid, mid);
            cmd->Close();
            notify->Close();
        } else if (identified == 1) {
            TakeOver(index, *run, cid, mid, section);
        }
    }

    DbgLog("----Psd_Thread Exit, hCmd=%x, hNotify=%x, ThreadId=%x", hCmd, hNotify, LogThreadId());
    ConnectionThreadEnded(*run);
}

void Discovery::TakeOver(std::size_t index, const ConnectionRun& run, std::uint8_t cid,
                         std::uint8_t mid, int section) {
    std::lock_guard<std::mutex> lock(tableLock_);
    Slot& self = slots_[index];
    // Shut down (and perhaps reused) while the device was being identified.
    if (self.run.get() != &run || run.stop.IsSet()) return;
    self.param.VID = run.vid;
    self.param.PID = run.pid;

    // The same mouse on its cable and its receiver is one mouse: the cable taking over from
    // the matched receiver is not counted again, so two connections never look like two mice.
    bool sameMouseAgain = false;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        Slot& other = slots_[i];
        if (i == index || !other.param.hCmd) continue;
        if (other.param.CID != cid || other.param.MID != mid) continue;
        switch (ResolveConflict(run.pid, other.param.PID, config_.pid, config_.pid2)) {
            case ConflictOutcome::kShutDownOther:
                sameMouseAgain = sameMouseAgain || other.param.matched;
                ShutDownLocked(other);
                break;
            case ConflictOutcome::kGiveUp:
                DbgLog("Psd_Thread: another dev has exist, give up this!!! cid=%x, mid=%x", cid,
                       mid);
                run.cmd->Close();
                run.notify->Close();
                return;
            case ConflictOutcome::kGoOn:
                break;
        }
    }

    const int current = FindMatchedLocked();
    if (current >= 0 && static_cast<std::size_t>(current) != index) {
        ShutDownLocked(slots_[static_cast<std::size_t>(current)]);
    }
    for (Slot& slot : slots_) slot.param.matched = false;
    // (A mouse matched by an earlier search was not counted in this one.)
    if (!sameMouseAgain || matchedCount == 0) ++matchedCount;
    self.param.matched = true;
    self.param.CID = cid;
    self.param.MID = mid;
    self.param.section = section;

    std::uint16_t version = 0;
    if (!GetDevVersion(run.cmd.get(), &version)) {
        DbgLog("GetVersionNumber err");
        version = 0;
    }
    self.param.version = version;

    DbgLog("- Psd_Thread Find New Device: (ThreadId=%x)", LogThreadId());
    DbgLog("- m_hCmd=%x, m_hNotify=%x, CID=%x, MID=%x, VID=%04x, PID=%04x",
           LogHandleId(run.cmd.get()), LogHandleId(run.notify.get()), cid, mid, run.vid, run.pid);
    DbgLog("- Dev Path(hCmd)=   %s", run.cmdPath.c_str());
    DbgLog("- Dev Path(hNotify)=%s", run.notifyPath.c_str());

    self.service = std::make_unique<ServiceThread>(run.notify, ServiceThreadIds{run.pid, cid, mid},
                                                   queue_, poster_);
    self.service->Start();
    if (poster_ != nullptr) poster_->Post(WM_FIND_DEVICE_OK, index, section);
}

}  // namespace vantor
