// The command-line tool's stand-in for the main window: worker threads post their messages
// into a queue that the command waits on.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "base/poster.h"

namespace vantor::cli {

struct PostedMessage {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class MessageQueue : public MessagePoster {
  public:
    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // Takes the oldest message numbered `message` (any number when nothing is given),
    // waiting until `deadline` at most. Other messages stay queued in their order.
    std::optional<PostedMessage> WaitFor(std::optional<std::uint32_t> message,
                                         std::chrono::steady_clock::time_point deadline);

  private:
    std::optional<PostedMessage> TakeLocked(std::optional<std::uint32_t> message);

    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<PostedMessage> messages_;
};

}  // namespace vantor::cli
