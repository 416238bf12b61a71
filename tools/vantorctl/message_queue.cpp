#include "tools/vantorctl/message_queue.h"

namespace vantor::cli {

void MessageQueue::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back({message, wParam, lParam});
    }
    posted_.notify_all();
}

std::optional<PostedMessage> MessageQueue::TakeLocked(std::optional<std::uint32_t> message) {
    for (auto it = messages_.begin(); it != messages_.end(); ++it) {
        if (!message || it->message == *message) {
            PostedMessage taken = *it;
            messages_.erase(it);
            return taken;
        }
    }
    return std::nullopt;
}

std::optional<PostedMessage> MessageQueue::WaitFor(std::optional<std::uint32_t> message,
                                                   std::chrono::steady_clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    std::optional<PostedMessage> taken;
    posted_.wait_until(lock, deadline, [&] {
        taken = TakeLocked(message);
        return taken.has_value();
    });
    return taken;
}

}  // namespace vantor::cli
