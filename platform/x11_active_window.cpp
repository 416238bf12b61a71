#include "platform/x11_active_window.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include "base/log.h"

namespace vantor {
namespace {

// Longest property value read, in 32-bit units: WM_CLASS and desktop ids are short.
constexpr std::uint32_t kMaxPropertyLongs = 256;
constexpr std::uint32_t kMaxClientWindows = 4096;

template <typename T>
struct FreeDeleter {
    void operator()(T* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter<T>>;

enum AtomIndex : std::size_t {
    kNetActiveWindow,
    kNetClientList,
    kNetWmPid,
    kUtf8String,
    kGtkApplicationId,
    kKdeDesktopFile,
    kAtomCount
};
constexpr std::array<std::string_view, kAtomCount> kAtomNames = {
    "_NET_ACTIVE_WINDOW", "_NET_CLIENT_LIST",    "_NET_WM_PID",
    "UTF8_STRING",        "_GTK_APPLICATION_ID", "_KDE_NET_WM_DESKTOP_FILE"};

}  // namespace

struct X11ActiveWindowWatcher::Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_window_t root = 0;
    std::array<xcb_atom_t, kAtomCount> atoms{};
    int stopFd = -1;

    ~Connection() {
        if (xcb != nullptr) xcb_disconnect(xcb);
        if (stopFd >= 0) close(stopFd);
    }

    // The bytes of a property of `window` (any type when `type` is XCB_ATOM_ANY); nothing
    // when it is not set, has another format or the server refused.
    std::optional<std::string> Property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                        std::uint8_t format = 8) const {
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(xcb, 0, window, property, type, 0, kMaxPropertyLongs);
        const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(xcb, cookie, nullptr));
        if (!reply || reply->format != format || reply->type == XCB_ATOM_NONE) return std::nullopt;
        const int length = xcb_get_property_value_length(reply.get());
        if (length <= 0) return std::string();
        const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
        return std::string(bytes, static_cast<std::size_t>(length));
    }

    std::vector<std::uint32_t> Cardinals(xcb_window_t window, xcb_atom_t property,
                                         xcb_atom_t type) const {
        const std::optional<std::string> bytes = Property(window, property, type, 32);
        std::vector<std::uint32_t> values;
        if (!bytes) return values;
        const std::size_t count = std::min<std::size_t>(bytes->size() / 4, kMaxClientWindows);
        values.resize(count);
        std::copy_n(bytes->data(), count * 4, reinterpret_cast<char*>(values.data()));
        return values;
    }

    xcb_window_t ActiveWindow() const {
        const std::vector<std::uint32_t> window =
            Cardinals(root, atoms[kNetActiveWindow], XCB_ATOM_WINDOW);
        return window.empty() ? 0 : window.front();
    }

    ActiveApplication Describe(xcb_window_t window) const {
        ActiveApplication app;
        if (const auto value = Property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING)) {
            if (const auto names = ParseWmClass(*value)) {
                app.instance = names->first;
                app.windowClass = names->second;
            }
        }
        for (const AtomIndex id : {kGtkApplicationId, kKdeDesktopFile}) {
            const std::optional<std::string> value =
                Property(window, atoms[id], atoms[kUtf8String]);
            if (value && !value->empty()) {
                app.desktopId = value->substr(0, value->find('\0'));
                break;
            }
        }
        const std::vector<std::uint32_t> pid =
            Cardinals(window, atoms[kNetWmPid], XCB_ATOM_CARDINAL);
        if (!pid.empty()) app.pid = static_cast<long>(pid.front());
        return app;
    }
};

struct X11ActiveWindowWatcher::Thread {
    std::thread thread;
};

namespace {

std::unique_ptr<X11ActiveWindowWatcher::Connection> Connect(const std::string& display,
                                                            std::string* error) {
    auto connection = std::make_unique<X11ActiveWindowWatcher::Connection>();
    int screenNumber = 0;
    connection->xcb = xcb_connect(display.empty() ? nullptr : display.c_str(), &screenNumber);
    if (xcb_connection_has_error(connection->xcb) != 0) {
        if (error != nullptr) *error = "no X server at \"" + display + "\"";
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection->xcb));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem == 0) {
        if (error != nullptr) *error = "the X server has no such screen";
        return nullptr;
    }
    connection->root = screens.data->root;
    std::array<xcb_intern_atom_cookie_t, kAtomCount> cookies{};
    for (std::size_t i = 0; i < kAtomCount; ++i) {
        cookies[i] =
            xcb_intern_atom(connection->xcb, 0, static_cast<std::uint16_t>(kAtomNames[i].size()),
                            kAtomNames[i].data());
    }
    for (std::size_t i = 0; i < kAtomCount; ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection->xcb, cookies[i], nullptr));
        if (!reply) {
            if (error != nullptr) *error = "the X server refused the atoms";
            return nullptr;
        }
        connection->atoms[i] = reply->atom;
    }
    return connection;
}

}  // namespace

std::optional<std::pair<std::string, std::string>> ParseWmClass(std::string_view value) {
    const std::size_t end = value.find('\0');
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view rest = value.substr(end + 1);
    rest = rest.substr(0, rest.find('\0'));
    return std::pair{std::string(value.substr(0, end)), std::string(rest)};
}

std::unique_ptr<X11ActiveWindowWatcher> X11ActiveWindowWatcher::Start(const std::string& display,
                                                                      Callback onChange,
                                                                      std::string* error) {
    std::unique_ptr<Connection> connection = Connect(display, error);
    if (!connection) return nullptr;
    connection->stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (connection->stopFd < 0) {
        if (error != nullptr) *error = "no event descriptor";
        return nullptr;
    }
    // Changes of the root window's properties: the active window is one of them.
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection->xcb, connection->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection->xcb);
    return std::unique_ptr<X11ActiveWindowWatcher>(
        new X11ActiveWindowWatcher(std::move(connection), std::move(onChange)));
}

X11ActiveWindowWatcher::X11ActiveWindowWatcher(std::unique_ptr<Connection> connection,
                                               Callback onChange)
    : connection_(std::move(connection)),
      onChange_(std::move(onChange)),
      thread_(std::make_unique<Thread>()) {
    thread_->thread = std::thread([this] { Run(); });
    // Named, so that wake-up counts and traces tell it apart.
    pthread_setname_np(thread_->thread.native_handle(), "active-window");
}

X11ActiveWindowWatcher::~X11ActiveWindowWatcher() {
    const std::uint64_t one = 1;
    if (write(connection_->stopFd, &one, sizeof one) < 0) DbgLog("X11 watcher: stop err=%d", errno);
    thread_->thread.join();
}

void X11ActiveWindowWatcher::Run() {
    Connection& c = *connection_;
    xcb_window_t reported = 0;
    auto reportIfChanged = [&] {
        const xcb_window_t window = c.ActiveWindow();
        if (window == 0 || window == reported) return;
        reported = window;
        onChange_(c.Describe(window));
    };
    reportIfChanged();
    std::array<pollfd, 2> fds{{{xcb_get_file_descriptor(c.xcb), POLLIN, 0}, {c.stopFd, POLLIN, 0}}};
    for (;;) {
        // Events already read from the socket (with the replies above) are taken first.
        bool activeChanged = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(c.xcb)) {
            if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
                const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if (notify->window == c.root && notify->atom == c.atoms[kNetActiveWindow]) {
                    activeChanged = true;
                }
            }
            std::free(event);
        }
        if (activeChanged) {
            reportIfChanged();
            continue;  // the replies may have brought further events
        }
        if (xcb_connection_has_error(c.xcb) != 0) {
            DbgLog("X11 watcher: the X connection was lost");
            return;
        }
        if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            DbgLog("X11 watcher: poll err=%d", errno);
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) return;
    }
}

std::vector<ActiveApplication> ListX11Applications(const std::string& display) {
    std::vector<ActiveApplication> apps;
    const std::unique_ptr<X11ActiveWindowWatcher::Connection> c = Connect(display, nullptr);
    if (!c) return apps;
    for (const std::uint32_t window :
         c->Cardinals(c->root, c->atoms[kNetClientList], XCB_ATOM_WINDOW)) {
        ActiveApplication app = c->Describe(window);
        if (app.pid == getpid()) continue;  // the program's own windows
        app.pid = 0;                        // one entry per application, whichever process shows it
        if (app.windowClass.empty() && app.desktopId.empty()) continue;
        if (std::find(apps.begin(), apps.end(), app) == apps.end()) apps.push_back(std::move(app));
    }
    return apps;
}

}  // namespace vantor
