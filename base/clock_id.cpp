#include "base/clock_id.h"

#include <sys/time.h>

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

namespace vantor {
namespace {

// Ids made one after the other must differ. Waiting a fixed 20 ms before each id did
// that but stalled the window thread 80 ms whenever a model's four profiles were made;
// waiting only while the clock still gives the last id (or 0) costs about 1 ms per id.
// A clock that stands still must not hang the caller: after 20 ms the next id is taken.
constexpr auto kIdWait = std::chrono::milliseconds(1);
constexpr int kMaxWaits = 20;

std::mutex g_idMutex;
std::uint32_t g_lastId = 0;

}  // namespace

std::uint32_t ClockIdFromTime(const LocalClockTime& time) {
    const auto minute = static_cast<std::uint32_t>(time.minute) & 0x3F;
    const auto second = static_cast<std::uint32_t>(time.second) & 0x3F;
    const auto hour = static_cast<std::uint32_t>(time.hour) & 0x0F;
    const auto millisecond = static_cast<std::uint32_t>(time.millisecond) & 0xFF;
    return ((((minute << 6) | second) | (hour << 12)) << 8) | millisecond;
}

LocalClockTime CurrentLocalClockTime() {
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(now.tv_usec / 1000)};
}

std::uint32_t NewClockId(LocalClock clock) {
    std::lock_guard<std::mutex> lock(g_idMutex);
    std::uint32_t id = ClockIdFromTime(clock());
    for (int wait = 0; wait < kMaxWaits && (id == 0 || id == g_lastId); ++wait) {
        std::this_thread::sleep_for(kIdWait);
        id = ClockIdFromTime(clock());
    }
    if (id == 0 || id == g_lastId) id = (g_lastId + 1) & 0x00FFFFFFu;
    if (id == 0) id = 1;
    g_lastId = id;
    return id;
}

}  // namespace vantor
