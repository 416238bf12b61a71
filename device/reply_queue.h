// The reply queue between the notification reader thread (which appends every reply
// payload) and the thread that waits for the reply of the command it just sent.
//
// Two locks: a waiter lock held for the whole of WaitNotify, so only one thread polls at
// a time, and a short queue lock around each queue operation, so the reader thread can
// append while a waiter sleeps.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

#include "device/report.h"
#include "device/sleeper.h"

namespace vantor {

// One reply payload; the queue elements and the reply buffers of every exchange.
class CRetParam {
  public:
    CRetParam() = default;
    explicit CRetParam(const std::uint8_t* payload16);
    virtual ~CRetParam() = default;
    CRetParam(const CRetParam&) = default;
    CRetParam& operator=(const CRetParam&) = default;

    ReplyPayload reply;
};

class ReplyQueue {
  public:
    // Replies beyond this many are not kept: the oldest is dropped for each new one, so a
    // device that sends replies nobody waits for cannot grow the queue without bound.
    static constexpr std::size_t kMaxQueued = 256;

    static constexpr std::uint32_t kFirstSleepMs = 10;
    static constexpr std::uint32_t kPollSleepMs = 20;
    // An empty poll with the counter above this gives up: 51 polls of 20 ms after the first
    // 10 ms, about 1030 ms in all.
    static constexpr int kMaxEmptyPolls = 50;

    explicit ReplyQueue(Sleeper& sleeper = RealSleeper()) : sleeper_(sleeper) {}
    ReplyQueue(const ReplyQueue&) = delete;
    ReplyQueue& operator=(const ReplyQueue&) = delete;

    void Append(const std::uint8_t* payload16);
    void Clear();
    std::size_t Size() const;
    // Removes the oldest reply into `out`; false when the queue is empty.
    bool PopFront(CRetParam* out);

    // Waits for the first reply whose command id is the low byte of `nCmdID`, dropping
    // replies of other ids. With `echo` (address high, address low, length of a memory
    // command) a reply that echoes other values is dropped too: it is the late answer to an
    // earlier chunk, not to this one. 1 with the reply copied into `reply`; -1 on time-out.
    int WaitNotify(std::uint32_t nCmdID, CRetParam* reply, const std::uint8_t* echo = nullptr);

    // How many times WaitNotify was called.
    std::uint64_t WaitCount() const { return waitCount_.load(std::memory_order_relaxed); }

  private:
    Sleeper& sleeper_;
    std::mutex waiterLock_;
    mutable std::mutex queueLock_;
    std::deque<CRetParam> replies_;
    std::atomic<std::uint64_t> waitCount_{0};
};

// The queue of the process, filled by the reader thread of the connected device.
ReplyQueue& ProcessReplyQueue();

}  // namespace vantor
