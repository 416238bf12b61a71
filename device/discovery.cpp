#include "device/discovery.h"

#include <system_error>
#include <utility>

#include "base/log.h"
#include "device/discovery_internal.h"
#include "device/discovery_rules.h"
#include "device/log_ids.h"
#include "device/report.h"
#include "device/usb_driver.h"

namespace vantor {
namespace {

std::uint32_t FirstOrZero(const std::vector<std::uint32_t>& list) {
    return list.empty() ? 0 : list.front();
}

// A notification interface opened for the search, with the thread that watches it.
struct WatchedInterface {
    const HidInterfaceInfo* info;
    std::shared_ptr<HidHandle> handle;
    std::thread thread;
    bool paired = false;
};

}  // namespace

void AttachDevice(CUSBDriver& driver, const DevParam& device) {
    DbgLog("OnFindDeviceOK: cid=%x,mid=%x,pid=%04x", device.CID, device.MID, device.PID);
    driver.SetHandles(device.hCmd, device.hNotify);
    driver.nCID = device.CID;
    driver.nMID = device.MID;
    driver.nVID = device.VID;
    driver.nPID = device.PID;
    driver.nVersion = device.version;
}

Discovery::Discovery(HidBackend& backend, MessagePoster* poster, DiscoveryConfig config,
                     ReplyQueue& queue, Sleeper& sleeper)
    : backend_(backend),
      poster_(poster),
      config_(std::move(config)),
      queue_(queue),
      sleeper_(sleeper),
      slots_(kCandidateCount) {}

Discovery::~Discovery() {
    std::lock_guard<std::mutex> search(searchLock_);
    {
        std::lock_guard<std::mutex> lock(tableLock_);
        for (Slot& slot : slots_) {
            if (slot.param.hCmd || slot.run) ShutDownLocked(slot);
        }
    }
    Reap(true);
}

int Discovery::FindDev() {
    std::lock_guard<std::mutex> search(searchLock_);
    DbgLog("++++++++++++++++++ FindDev: looking for VID=%04x, PID=%04x, PID2=%04x", config_.vid,
           FirstOrZero(config_.pid), FirstOrZero(config_.pid2));
    matchedCount = 0;

    // The connected device keeps running; its interfaces are left out of the search.
    std::optional<DevParam> current;
    {
        std::lock_guard<std::mutex> lock(tableLock_);
        const int cur = FindMatchedLocked();
        if (cur >= 0) {
            current = slots_[static_cast<std::size_t>(cur)].param;
            DbgLog("pCurParam: PID=%04x, hCmd=0x%x", current->PID,
                   LogHandleId(current->hCmd.get()));
        }
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (static_cast<int>(i) != cur && (slots_[i].param.hCmd || slots_[i].run)) {
                ShutDownLocked(slots_[i]);
            }
        }
    }
    Reap(false);

    const std::vector<HidInterfaceInfo> table = BuildInterfaceTable(backend_);
    bool denied = false;

    std::vector<WatchedInterface> watched;
    for (const HidInterfaceInfo& info : table) {
        if (!IsNotifyInterface(info, config_.vid)) continue;
        if (current && SamePath(info.path, current->notifyPath)) continue;
        std::uint32_t error = kHidOk;
        std::shared_ptr<HidHandle> handle = backend_.Open(info.path, &error);
        if (!handle) {
            denied = denied || error == kHidAccessDenied;
            continue;
        }
        watched.push_back({&info, std::move(handle), {}, false});
        HidHandle* raw = watched.back().handle.get();
        watched.back().thread = std::thread([this, raw] { MatchThread(raw); });
        sleeper_.SleepMs(kMatchThreadSpacingMs);
    }

    const CommandReport probe = BuildCommandReport(MakePayload(kCmdGetConnectStatus));
    int started = 0;
    for (const HidInterfaceInfo& info : table) {
        if (!IsCommandInterface(info, config_.vid)) continue;
        if (current && SamePath(info.path, current->cmdPath)) continue;
        std::uint32_t error = kHidOk;
        std::shared_ptr<HidHandle> cmd = backend_.Open(info.path, &error);
        if (!cmd) {
            denied = denied || error == kHidAccessDenied;
            continue;
        }
        {
            std::lock_guard<std::mutex> lock(matchLock_);
            matchedNotify_ = nullptr;
        }
        bool paired = false;
        if (cmd->SetFeature(probe.data(), probe.size(), &error)) {
            sleeper_.SleepMs(kProbeWaitMs);
            HidHandle* matched = nullptr;
            {
                std::lock_guard<std::mutex> lock(matchLock_);
                matched = matchedNotify_;
            }
            for (WatchedInterface& w : watched) {
                if (matched == nullptr || w.paired || w.handle.get() != matched) continue;
                paired = StartCandidate(cmd, w.handle, info, w.info->path);
                w.paired = paired;
                break;
            }
        }
        if (paired) {
            ++started;
        } else {
            cmd->Close();
        }
    }

    // Nothing reads a late match any more: closing the unpaired interfaces ends their
    // watchers at once instead of after their full read time.
    for (WatchedInterface& w : watched) {
        if (!w.paired) w.handle->Close();
    }
    for (WatchedInterface& w : watched) w.thread.join();
    accessDenied_ = denied;
    return started;
}

void Discovery::MatchThread(HidHandle* handle) {
    std::uint8_t report[kPayloadLength] = {};
    if (GetData(handle, report, sizeof report, kMatchReadTimeoutMs)) {
        std::lock_guard<std::mutex> lock(matchLock_);
        matchedNotify_ = handle;
    }
    DbgLog("Match_Thread eixt, hFile=%x", LogHandleId(handle));
}

bool Discovery::StartCandidate(std::shared_ptr<HidHandle> cmd, std::shared_ptr<HidHandle> notify,
                               const HidInterfaceInfo& cmdInfo, const std::string& notifyPath) {
    std::lock_guard<std::mutex> lock(tableLock_);
    const int free = FreeSlotLocked();
    if (free < 0) return false;
    const auto index = static_cast<std::size_t>(free);
    Slot& slot = slots_[index];
    auto run = std::make_shared<ConnectionRun>();
    run->cmd = cmd;
    run->notify = notify;
    run->cmdPath = cmdInfo.path;
    run->notifyPath = notifyPath;
    run->vid = cmdInfo.vendorId;
    run->pid = cmdInfo.productId;

    slot.param = DevParam{};
    slot.param.hCmd = std::move(cmd);
    slot.param.hNotify = std::move(notify);
    DbgLog("* Dev match OK: hCmd=%x, hNotify=%x", LogHandleId(slot.param.hCmd.get()),
           LogHandleId(slot.param.hNotify.get()));
    slot.param.cmdPath = run->cmdPath;
    slot.param.notifyPath = run->notifyPath;
    DbgLog("* Path(hCmd)=   %s", slot.param.cmdPath.c_str());
    DbgLog("* Path(hNotify)=%s", slot.param.notifyPath.c_str());

    {
        std::lock_guard<std::mutex> idle(idleLock_);
        ++runningConnectionThreads_;
    }
    try {
        slot.connectionThread = std::thread([this, index, run] { ConnectionThread(index, run); });
    } catch (const std::system_error&) {
        ConnectionThreadEnded(*run);
        slot = Slot{};
        return false;
    }
    slot.run = std::move(run);
    return true;
}

void Discovery::ShutDownLocked(Slot& slot) {
    if (slot.run) slot.run->stop.Set();
    if (slot.service) slot.service->RequestStop();
    if (slot.param.hCmd) slot.param.hCmd->Close();
    if (slot.param.hNotify) slot.param.hNotify->Close();
    retired_.push_back(
        {std::move(slot.connectionThread), std::move(slot.run), std::move(slot.service)});
    slot = Slot{};
}

int Discovery::FindMatchedLocked() const {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].param.matched) return static_cast<int>(i);
    }
    return -1;
}

int Discovery::FreeSlotLocked() const {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i].param.hCmd && !slots_[i].run) return static_cast<int>(i);
    }
    return -1;
}

void Discovery::Reap(bool all) {
    std::vector<Retired> finished;
    {
        std::lock_guard<std::mutex> lock(tableLock_);
        for (auto it = retired_.begin(); it != retired_.end();) {
            if (all || !it->run || it->run->done) {
                finished.push_back(std::move(*it));
                it = retired_.erase(it);
            } else {
                ++it;
            }
        }
    }
    // A shut-down record's threads end promptly: its handles are closed and its stop flag
    // set. The reader is stopped and joined by its destructor.
    for (Retired& r : finished) {
        if (r.thread.joinable()) r.thread.join();
        r.service.reset();
    }
}

std::optional<DevParam> Discovery::GetCurParam() const {
    std::lock_guard<std::mutex> lock(tableLock_);
    const int cur = FindMatchedLocked();
    if (cur < 0) return std::nullopt;
    return slots_[static_cast<std::size_t>(cur)].param;
}

DevParam Discovery::Candidate(std::size_t index) const {
    std::lock_guard<std::mutex> lock(tableLock_);
    return index < slots_.size() ? slots_[index].param : DevParam{};
}

void Discovery::ClearMatched() {
    std::lock_guard<std::mutex> search(searchLock_);
    {
        std::lock_guard<std::mutex> lock(tableLock_);
        const int cur = FindMatchedLocked();
        if (cur >= 0) ShutDownLocked(slots_[static_cast<std::size_t>(cur)]);
    }
    Reap(false);
}

void Discovery::ClearThread() {
    std::lock_guard<std::mutex> search(searchLock_);
    DbgLog("ClearThread");
    {
        std::lock_guard<std::mutex> lock(tableLock_);
        for (Slot& slot : slots_) {
            if (slot.param.hCmd) ShutDownLocked(slot);
        }
    }
    // Every record's stop flag is set and its handles are closed, so its threads end at once
    // (a pause ends with the flag) and are joined here without a fixed wait.
    Reap(true);
}

bool Discovery::WaitForCandidates(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(idleLock_);
    return idle_.wait_for(lock, limit, [this] { return runningConnectionThreads_ == 0; });
}

void Discovery::ConnectionThreadEnded(ConnectionRun& run) {
    std::lock_guard<std::mutex> lock(idleLock_);
    run.done = true;
    --runningConnectionThreads_;
    idle_.notify_all();
}

}  // namespace vantor
