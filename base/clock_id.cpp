#include "base/clock_id.h"

#include <sys/time.h>

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

namespace vantor {
namespace {

constexpr auto kIdWait = std::chrono::milliseconds(20);
// With a running clock a second round always gives a usable id (only a few moments of the
// day give id 0); a clock that stands still must not hang the caller.
constexpr int kMaxRounds = 5;

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
    std::uint32_t id = 0;
    for (int round = 0; round < kMaxRounds; ++round) {
        std::this_thread::sleep_for(kIdWait);
        id = ClockIdFromTime(clock());
        if (id != 0 && id != g_lastId) break;
    }
    if (id == 0 || id == g_lastId) id = (g_lastId + 1) & 0x00FFFFFFu;
    if (id == 0) id = 1;
    g_lastId = id;
    return id;
}

}  // namespace vantor
