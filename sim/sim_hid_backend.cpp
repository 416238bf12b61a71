#include "sim/sim_hid_backend.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <random>
#include <span>

#include "sim/sim_foreign_reports.h"

namespace vantor {
namespace {

using Clock = std::chrono::steady_clock;

constexpr SimInterface kInterfaceOrder[] = {SimInterface::kMouse, SimInterface::kCommand,
                                            SimInterface::kKeyboard, SimInterface::kNotify};

const char* SuffixOf(SimInterface which) {
    switch (which) {
        case SimInterface::kCommand:
            return "cmd";
        case SimInterface::kNotify:
            return "notify";
        case SimInterface::kMouse:
            return "mouse";
        case SimInterface::kKeyboard:
            break;
    }
    return "kbd";
}

// Usage page, usage, report lengths and first report id of each interface.
void Describe(SimInterface which, HidInterfaceInfo& info) {
    switch (which) {
        case SimInterface::kCommand:
            info.usagePage = 0xFF02;
            info.usage = 2;
            info.featureReportByteLength = 17;
            info.reportId = 8;
            return;
        case SimInterface::kNotify:
            info.usagePage = 0xFF01;
            info.usage = 0;
            info.inputReportByteLength = 17;
            info.reportId = 9;
            return;
        case SimInterface::kMouse:
            info.usagePage = 1;
            info.usage = 2;
            info.inputReportByteLength = 8;
            info.reportId = 1;
            return;
        case SimInterface::kKeyboard:
            break;
    }
    info.usagePage = 1;
    info.usage = 6;
    info.inputReportByteLength = 8;
    info.outputReportByteLength = 1;
}

void SetError(std::uint32_t* error, std::uint32_t code) {
    if (error != nullptr) *error = code;
}

// The stray reply answers a command the PC did not send.
std::uint8_t StrayCommandId(std::uint8_t command) {
    return command == kSimCmdReadMemory ? kSimCmdWriteMemory : kSimCmdReadMemory;
}

}  // namespace

class SimHidHandle;

// State shared by the backend and its handles, so that handles may outlive the backend.
// One mutex guards everything here; the firmware is called with it held (the firmware
// never calls back into the bus while holding its own lock).
struct SimBus {
    struct Connection {
        std::uint16_t productId = 0;
        bool plugged = true;
        unsigned generation = 1;  // a handle belongs to the generation it was opened in
    };
    // An input report of any of the collections that share the notification node.
    struct Queued {
        std::vector<std::uint8_t> report;
        Clock::time_point readyAt;
    };

    std::mutex mutex;
    std::condition_variable changed;
    std::shared_ptr<SimFirmware> firmware;
    SimBackendSettings settings;
    std::vector<Connection> connections;
    std::vector<SimHidHandle*> handles;
    SimFaults faults;
    std::uint64_t commands = 0;
    std::mt19937 dropRandom{1};

    std::mutex monitorMutex;  // held while callbacks run, so a Monitor ends only between them
    std::map<int, std::function<void(const HidDeviceChange&)>> monitors;
    int nextMonitorId = 0;

    bool Alive(int connection, unsigned generation) const {
        const Connection& c = connections[static_cast<std::size_t>(connection)];
        return c.plugged && c.generation == generation;
    }
    void Deliver(int connection, std::span<const std::uint8_t> report, Clock::time_point readyAt);
    // Deliver without waking the readers: the caller wakes them once it has let go of the
    // mutex, so that a woken reader does not block on it at once.
    void Queue(int connection, std::span<const std::uint8_t> report, Clock::time_point readyAt);
    void DeliverEverywhere(const SimInputReport& report);
    std::vector<HidDeviceChange> SetPlugged(int connection, bool plugged);
    void Announce(const std::vector<HidDeviceChange>& changes);
};

class SimHidHandle : public HidHandle {
  public:
    SimHidHandle(std::shared_ptr<SimBus> bus, int connection, SimInterface which,
                 unsigned generation)
        : bus_(std::move(bus)),
          connection_(connection),
          which_(which),
          generation_(generation),
          path_(SimHidBackend::PathOf(connection, which)) {}

    ~SimHidHandle() override {
        std::lock_guard<std::mutex> lock(bus_->mutex);
        std::erase(bus_->handles, this);
    }

    const std::string& Path() const override { return path_; }

    bool SetFeature(const std::uint8_t* report, std::size_t length, std::uint32_t* error) override;
    HidReadResult Read(std::uint8_t* buffer, std::size_t length, int timeoutMs,
                       std::uint32_t* error, std::size_t* received = nullptr) override;

    void SignalStop() override {
        std::lock_guard<std::mutex> lock(bus_->mutex);
        stop_ = true;
        bus_->changed.notify_all();
    }

    bool GetAttributes(HidAttributes* attributes, std::uint32_t* error) override {
        std::lock_guard<std::mutex> lock(bus_->mutex);
        if (closed_) return SetError(error, kHidInvalidHandle), false;
        if (!bus_->Alive(connection_, generation_)) {
            return SetError(error, kHidDeviceNotConnected), false;
        }
        if (attributes != nullptr) {
            attributes->vendorId = bus_->settings.vendorId;
            attributes->productId =
                bus_->connections[static_cast<std::size_t>(connection_)].productId;
            attributes->versionNumber = bus_->settings.versionNumber;
        }
        SetError(error, kHidOk);
        return true;
    }

    void Close() override {
        std::lock_guard<std::mutex> lock(bus_->mutex);
        closed_ = true;
        queue_.clear();
        bus_->changed.notify_all();
    }

    bool IsOpen() const override {
        std::lock_guard<std::mutex> lock(bus_->mutex);
        return !closed_;
    }

    // Called with the bus mutex held.
    bool Receives(int connection) const {
        return !closed_ && which_ == SimInterface::kNotify && connection == connection_ &&
               bus_->Alive(connection_, generation_);
    }
    void Push(std::span<const std::uint8_t> report, Clock::time_point readyAt) {
        queue_.push_back({{report.begin(), report.end()}, readyAt});
    }

  private:
    std::shared_ptr<SimBus> bus_;
    const int connection_;
    const SimInterface which_;
    const unsigned generation_;
    const std::string path_;
    // Guarded by the bus mutex.
    bool closed_ = false;
    bool stop_ = false;
    std::deque<SimBus::Queued> queue_;
};

void SimBus::Queue(int connection, std::span<const std::uint8_t> report,
                   Clock::time_point readyAt) {
    for (SimHidHandle* handle : handles) {
        if (handle->Receives(connection)) handle->Push(report, readyAt);
    }
}

void SimBus::Deliver(int connection, std::span<const std::uint8_t> report,
                     Clock::time_point readyAt) {
    Queue(connection, report, readyAt);
    changed.notify_all();
}

void SimBus::DeliverEverywhere(const SimInputReport& report) {
    for (std::size_t c = 0; c < connections.size(); ++c) {
        Deliver(static_cast<int>(c), report, Clock::now());
    }
}

std::vector<HidDeviceChange> SimBus::SetPlugged(int connection, bool plugged) {
    std::vector<HidDeviceChange> changes;
    if (connection < 0 || connection >= static_cast<int>(connections.size())) return changes;
    Connection& c = connections[static_cast<std::size_t>(connection)];
    if (c.plugged == plugged) return changes;
    c.plugged = plugged;
    if (plugged) ++c.generation;
    changed.notify_all();
    for (SimInterface which : kInterfaceOrder) {
        changes.push_back(
            {plugged, SimHidBackend::PathOf(connection, which), settings.vendorId, c.productId});
    }
    return changes;
}

void SimBus::Announce(const std::vector<HidDeviceChange>& changes) {
    if (changes.empty()) return;
    std::lock_guard<std::mutex> lock(monitorMutex);
    for (const HidDeviceChange& change : changes) {
        for (auto& [id, callback] : monitors) callback(change);
    }
}

bool SimHidHandle::SetFeature(const std::uint8_t* report, std::size_t length,
                              std::uint32_t* error) {
    std::vector<HidDeviceChange> changes;
    {
        std::lock_guard<std::mutex> lock(bus_->mutex);
        if (closed_) return SetError(error, kHidInvalidHandle), false;
        if (!bus_->Alive(connection_, generation_)) {
            return SetError(error, kHidDeviceNotConnected), false;
        }
        // Only the command interface has a feature report, and it is 17 bytes long.
        if (which_ != SimInterface::kCommand || report == nullptr || length != kSimReportBytes) {
            return SetError(error, kHidGenericFailure), false;
        }
        const std::uint64_t n = ++bus_->commands;
        const SimFaults& f = bus_->faults;
        const auto every = [n](unsigned k) { return k != 0 && n % k == 0; };

        std::vector<SimInputReport> out;
        if (every(f.errorEveryNth)) {
            out.push_back(MakeSimReply(report, kSimInjectedError));
        } else {
            out = bus_->firmware->HandleReport(report, length);
        }
        const auto readyAt = Clock::now() + std::chrono::milliseconds(f.replyLatencyMs);
        if (every(f.strayEveryNth)) {
            std::uint8_t stray[kSimReportBytes]{};
            std::memcpy(stray, report, kSimReportBytes);
            stray[kSimCommandByte] = StrayCommandId(report[kSimCommandByte]);
            bus_->Queue(connection_, MakeSimReply(stray, kSimOk), readyAt);
        }
        if (every(f.foreignEveryNth)) {
            for (const SimForeignReport& r : SimForeignReports()) {
                bus_->Queue(connection_, r, readyAt);
            }
        }
        bool drop = every(f.dropEveryNth);
        if (f.dropProbability > 0.0) {
            const double draw =
                static_cast<double>(bus_->dropRandom()) / static_cast<double>(std::mt19937::max());
            drop = drop || draw < f.dropProbability;
        }
        for (std::size_t i = drop ? 1 : 0; i < out.size(); ++i) {
            bus_->Queue(connection_, out[i], readyAt);
        }
        if (f.unplugAfterCommands != 0 && n == f.unplugAfterCommands) {
            changes = bus_->SetPlugged(connection_, false);
        }
    }
    bus_->changed.notify_all();
    bus_->Announce(changes);
    SetError(error, kHidOk);
    return true;
}

HidReadResult SimHidHandle::Read(std::uint8_t* buffer, std::size_t length, int timeoutMs,
                                 std::uint32_t* error, std::size_t* received) {
    if (received != nullptr) *received = 0;
    if (buffer == nullptr || length == 0) {
        SetError(error, kHidGenericFailure);
        return HidReadResult::kError;
    }
    std::unique_lock<std::mutex> lock(bus_->mutex);
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        if (closed_) return SetError(error, kHidInvalidHandle), HidReadResult::kError;
        // A stop wins over a report that is waiting at the same time.
        if (stop_) {
            stop_ = false;
            SetError(error, kHidOk);
            return HidReadResult::kStopped;
        }
        // Reports that arrived before an unplug can still be read, as from a hidraw node.
        const auto now = Clock::now();
        if (!queue_.empty() && queue_.front().readyAt <= now) {
            const std::vector<std::uint8_t>& report = queue_.front().report;
            const std::size_t n = std::min(length, report.size());
            std::memcpy(buffer, report.data(), n);
            if (received != nullptr) *received = n;
            queue_.pop_front();
            SetError(error, kHidOk);
            return HidReadResult::kOk;
        }
        if (!bus_->Alive(connection_, generation_)) {
            return SetError(error, kHidDeviceNotConnected), HidReadResult::kError;
        }
        if (timeoutMs >= 0 && now >= deadline) {
            SetError(error, kHidOk);
            return HidReadResult::kTimeout;
        }
        if (queue_.empty() && timeoutMs < 0) {
            bus_->changed.wait(lock);
            continue;
        }
        auto wakeAt = timeoutMs < 0 ? Clock::time_point::max() : deadline;
        if (!queue_.empty()) wakeAt = std::min(wakeAt, queue_.front().readyAt);
        bus_->changed.wait_until(lock, wakeAt);
    }
}

namespace {

class SimMonitor : public HidBackend::Monitor {
  public:
    SimMonitor(std::shared_ptr<SimBus> bus, int id) : bus_(std::move(bus)), id_(id) {}
    ~SimMonitor() override {
        std::lock_guard<std::mutex> lock(bus_->monitorMutex);
        bus_->monitors.erase(id_);
    }

  private:
    std::shared_ptr<SimBus> bus_;
    int id_;
};

}  // namespace

SimHidBackend::SimHidBackend(std::shared_ptr<SimFirmware> firmware,
                             const SimBackendSettings& settings)
    : firmware_(std::move(firmware)), bus_(std::make_shared<SimBus>()) {
    bus_->firmware = firmware_;
    bus_->settings = settings;
    bus_->connections.push_back({settings.productId});
    if (settings.cableAndReceiver) bus_->connections.push_back({settings.secondProductId});
    std::weak_ptr<SimBus> weakBus = bus_;
    firmware_->SetEventSink([weakBus](const SimInputReport& report) {
        if (auto bus = weakBus.lock()) {
            std::lock_guard<std::mutex> lock(bus->mutex);
            bus->DeliverEverywhere(report);
        }
    });
}

SimHidBackend::~SimHidBackend() {
    firmware_->SetEventSink(nullptr);
}

std::string SimHidBackend::PathOf(int connection, SimInterface which) {
    return "sim:" + std::to_string(connection) + "/" + SuffixOf(which);
}

std::vector<HidInterfaceInfo> SimHidBackend::Enumerate() {
    std::lock_guard<std::mutex> lock(bus_->mutex);
    std::vector<HidInterfaceInfo> list;
    for (std::size_t c = 0; c < bus_->connections.size(); ++c) {
        if (!bus_->connections[c].plugged) continue;
        for (SimInterface which : kInterfaceOrder) {
            HidInterfaceInfo info;
            info.path = PathOf(static_cast<int>(c), which);
            info.vendorId = bus_->settings.vendorId;
            info.productId = bus_->connections[c].productId;
            info.version = bus_->settings.versionNumber;
            Describe(which, info);
            list.push_back(info);
        }
    }
    return list;
}

std::shared_ptr<HidHandle> SimHidBackend::Open(const std::string& path, std::uint32_t* error) {
    std::lock_guard<std::mutex> lock(bus_->mutex);
    for (std::size_t c = 0; c < bus_->connections.size(); ++c) {
        for (SimInterface which : kInterfaceOrder) {
            if (PathOf(static_cast<int>(c), which) != path) continue;
            const SimBus::Connection& connection = bus_->connections[c];
            if (!connection.plugged) break;
            auto handle = std::make_shared<SimHidHandle>(bus_, static_cast<int>(c), which,
                                                         connection.generation);
            bus_->handles.push_back(handle.get());
            SetError(error, kHidOk);
            return handle;
        }
    }
    SetError(error, kHidFileNotFound);
    return nullptr;
}

std::unique_ptr<HidBackend::Monitor> SimHidBackend::WatchDeviceChanges(
    std::function<void(const HidDeviceChange&)> callback) {
    std::lock_guard<std::mutex> lock(bus_->monitorMutex);
    const int id = bus_->nextMonitorId++;
    bus_->monitors.emplace(id, std::move(callback));
    return std::make_unique<SimMonitor>(bus_, id);
}

void SimHidBackend::SetFaults(const SimFaults& faults) {
    std::lock_guard<std::mutex> lock(bus_->mutex);
    bus_->faults = faults;
    bus_->commands = 0;
    bus_->dropRandom.seed(faults.dropSeed);
}

void SimHidBackend::Unplug(int connection) {
    std::vector<HidDeviceChange> changes;
    {
        std::lock_guard<std::mutex> lock(bus_->mutex);
        changes = bus_->SetPlugged(connection, false);
    }
    bus_->Announce(changes);
}

void SimHidBackend::Plug(int connection) {
    std::vector<HidDeviceChange> changes;
    {
        std::lock_guard<std::mutex> lock(bus_->mutex);
        changes = bus_->SetPlugged(connection, true);
    }
    bus_->Announce(changes);
}

bool SimHidBackend::IsPlugged(int connection) const {
    std::lock_guard<std::mutex> lock(bus_->mutex);
    return connection >= 0 && connection < static_cast<int>(bus_->connections.size()) &&
           bus_->connections[static_cast<std::size_t>(connection)].plugged;
}

int SimHidBackend::ConnectionCount() const {
    std::lock_guard<std::mutex> lock(bus_->mutex);
    return static_cast<int>(bus_->connections.size());
}

void SimHidBackend::SendForeignReports(int connection) {
    std::lock_guard<std::mutex> lock(bus_->mutex);
    for (const SimForeignReport& r : SimForeignReports()) {
        bus_->Deliver(connection, r, Clock::now());
    }
}

std::uint64_t SimHidBackend::CommandCount() const {
    std::lock_guard<std::mutex> lock(bus_->mutex);
    return bus_->commands;
}

}  // namespace vantor
