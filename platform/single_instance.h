// One running copy per user. The first copy holds an advisory lock on a file in the
// user's runtime folder (the kernel drops it when the process dies, so a crashed copy
// never blocks a new start) and listens on a local socket beside it. A later copy finds
// the lock taken and hands its message (e.g. "show your window") to the first one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace vantor {

struct InstanceMessage {
    std::string title;  // the receiver acts only when it is its own title
    std::uint32_t message = 0;
    std::uint32_t wParam = 0;
    std::uint32_t lParam = 0;
};

class SingleInstance {
  public:
    using Handler = std::function<void(const InstanceMessage&)>;

    // `folder` defaults to $XDG_RUNTIME_DIR, else /tmp with the user id in the names.
    explicit SingleInstance(std::string name, std::string folder = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process holds the lock (now or already); false when another
    // running process holds it.
    [[nodiscard]] bool Acquire();

    // Holder only: calls `handler` on a listener thread for every message a later copy
    // sends. The handler must only post to the window thread.
    [[nodiscard]] bool Listen(Handler handler);
    void StopListening();

    // Later copy: delivers `message` to the holder. Returns the holder's process id, or 0
    // when no holder answered.
    long Notify(const InstanceMessage& message) const;

  private:
    void ListenLoop();

    std::string lockPath_;
    std::string socketPath_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    int stopFd_ = -1;  // eventfd that wakes the listener for shutdown
    Handler handler_;
    std::thread listener_;
};

}  // namespace vantor
