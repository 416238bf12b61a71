#include "device/reply_queue.h"

#include <algorithm>

#include "base/log.h"
#include "device/log_ids.h"

namespace vantor {

CRetParam::CRetParam(const std::uint8_t* payload16) {
    std::copy(payload16, payload16 + kReplyPayloadLength, reply.bytes.begin());
}

void ReplyQueue::Append(const std::uint8_t* payload16) {
    std::lock_guard<std::mutex> lock(queueLock_);
    if (replies_.size() >= kMaxQueued) replies_.pop_front();
    replies_.emplace_back(payload16);
}

void ReplyQueue::Clear() {
    std::lock_guard<std::mutex> lock(queueLock_);
    replies_.clear();
}

std::size_t ReplyQueue::Size() const {
    std::lock_guard<std::mutex> lock(queueLock_);
    return replies_.size();
}

bool ReplyQueue::PopFront(CRetParam* out) {
    std::lock_guard<std::mutex> lock(queueLock_);
    if (replies_.empty()) return false;
    *out = replies_.front();
    replies_.pop_front();
    return true;
}

int ReplyQueue::WaitNotify(std::uint32_t nCmdID, CRetParam* reply, const std::uint8_t* echo) {
    std::lock_guard<std::mutex> waiter(waiterLock_);
    waitCount_.fetch_add(1, std::memory_order_relaxed);
    const auto wanted = static_cast<std::uint8_t>(nCmdID & 0xFF);
    sleeper_.SleepMs(kFirstSleepMs);
    int emptyPolls = 0;
    CRetParam taken;
    for (;;) {
        if (PopFront(&taken)) {
            // A reply of another command is dropped, never delivered late; the count of
            // empty polls is not reset by it.
            if (taken.reply.CommandId() != wanted) continue;
            if (echo != nullptr &&
                !std::equal(echo, echo + 3, taken.reply.bytes.begin() + kPayloadAddressHigh)) {
                continue;
            }
            *reply = taken;
            return 1;
        }
        if (emptyPolls > kMaxEmptyPolls) {
            DbgLog("WaitNotify TimeOut for nCmdID=%x, ThreadId=0x%x", wanted, LogThreadId());
            return -1;
        }
        ++emptyPolls;
        sleeper_.SleepMs(kPollSleepMs);
    }
}

ReplyQueue& ProcessReplyQueue() {
    static ReplyQueue queue;
    return queue;
}

}  // namespace vantor
