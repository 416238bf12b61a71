// The application in front on an X11 desktop: the window manager keeps the active window in
// the root window's _NET_ACTIVE_WINDOW property. A thread of its own, on a connection of its
// own, is told of every change of that property (PropertyNotify) and blocks in poll()
// without a time-out in between, so it costs no wake-up while nothing changes. It reads the
// new window's WM_CLASS, its desktop id where the desktop sets one and its _NET_WM_PID.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/active_window.h"

namespace vantor {

// The instance and class of a WM_CLASS value ("instance\0class\0"); nothing for a value
// that is not two strings.
std::optional<std::pair<std::string, std::string>> ParseWmClass(std::string_view value);

class X11ActiveWindowWatcher {
  public:
    using Callback = std::function<void(const ActiveApplication&)>;

    // Connects to `display` (empty: $DISPLAY) and starts watching; the application in front
    // now is reported first. Null (with the reason in `error`) when there is no X server.
    // `onChange` runs on the watcher's thread, once for each change of the active window
    // (never for "no window", which window managers set for a moment while they switch).
    static std::unique_ptr<X11ActiveWindowWatcher> Start(const std::string& display,
                                                         Callback onChange,
                                                         std::string* error = nullptr);
    // Stops the thread and waits for it; no callback runs afterwards.
    ~X11ActiveWindowWatcher();
    X11ActiveWindowWatcher(const X11ActiveWindowWatcher&) = delete;
    X11ActiveWindowWatcher& operator=(const X11ActiveWindowWatcher&) = delete;

    struct Connection;

  private:
    X11ActiveWindowWatcher(std::unique_ptr<Connection> connection, Callback onChange);
    void Run();

    std::unique_ptr<Connection> connection_;
    Callback onChange_;
    struct Thread;
    std::unique_ptr<Thread> thread_;
};

// The applications with a window on `display` (the window manager's _NET_CLIENT_LIST), each
// once, in the order of the list; empty without an X server or window manager.
std::vector<ActiveApplication> ListX11Applications(const std::string& display);

}  // namespace vantor
