// One running copy per user. The first copy holds an advisory lock on a file in the
// user's private runtime folder (the kernel drops it when the process dies, so a crashed
// copy never blocks a new start) and listens on a local socket beside it. A later copy
// finds the lock taken and hands its message (e.g. "show your window") to the first one.
// At its exit the first copy stops listening (a message then finds nobody) and lets go of
// the lock and the socket together at its very end; a later copy that finds the lock taken
// but nobody listening waits for that end instead of giving up.
// The folder must be private to the user, the lock file the user's own, and both sides
// of the socket check that the other is the same user.
#pragma once

#include <chrono>
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

enum class InstanceClaim {
    kHeld,     // this process holds the lock
    kRunning,  // another copy of this user holds it
    kFailed,   // the lock cannot be used; Error() says why
};

class SingleInstance {
  public:
    using Handler = std::function<void(const InstanceMessage&)>;

    // `folder` defaults to the private runtime folder (PrivateRuntimeDir).
    explicit SingleInstance(std::string name, std::string folder = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    [[nodiscard]] InstanceClaim Acquire();
    // Acquire, tried again until the lock is free or `limit` has passed.
    [[nodiscard]] InstanceClaim WaitForRelease(std::chrono::milliseconds limit);
    // Why Acquire failed: a sentence naming the folder or file and the problem.
    const std::string& Error() const { return error_; }

    // Holder only: calls `handler` on a listener thread for every message a later copy
    // sends. Connections of other users are dropped unread. The handler must only post
    // to the window thread.
    [[nodiscard]] bool Listen(Handler handler);
    // Ends the listener: later messages are refused; the lock and the socket's file stay.
    void StopListening();
    // Stops listening and lets go of the socket and the lock together (the destructor does).
    void Release();

    // Later copy: delivers `message` to the holder. Returns the holder's process id, or 0
    // when no holder of this user answered.
    long Notify(const InstanceMessage& message) const;

  private:
    void ListenLoop();

    std::string error_;  // set when the folder is unusable
    std::string lockPath_;
    std::string socketPath_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    int stopFd_ = -1;     // eventfd that wakes the listener for shutdown
    bool bound_ = false;  // the socket's file is this holder's
    Handler handler_;
    std::thread listener_;
};

}  // namespace vantor
