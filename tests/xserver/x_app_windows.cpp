// Test helper for the X-server tests: maps one small window for each class named on the
// command line (WM_CLASS "<class in lower case>", "<class>"), lists them in the root
// window's _NET_CLIENT_LIST, and keeps _NET_ACTIVE_WINDOW as a window manager does: an
// activation request (what `xdotool windowactivate` sends) makes that window the active
// one. Prints "<class> <window id>" per window, then "active <window id> <time in ms>" for
// each activation (the wall clock just after the property was set), until it is killed.
#include <xcb/xcb.h>

#include <unistd.h>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

void SetWindows(xcb_connection_t* c, xcb_window_t root, xcb_atom_t property,
                const std::vector<xcb_window_t>& windows) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, property, XCB_ATOM_WINDOW, 32,
                        static_cast<std::uint32_t>(windows.size()), windows.data());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: x_app_windows CLASS...\n");
        return 2;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        std::fprintf(stderr, "x_app_windows: no X server\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t root = screen->root;
    const xcb_atom_t active = Atom(c, "_NET_ACTIVE_WINDOW");
    const xcb_atom_t supported = Atom(c, "_NET_SUPPORTED");
    const xcb_atom_t clientList = Atom(c, "_NET_CLIENT_LIST");
    const xcb_atom_t wmPid = Atom(c, "_NET_WM_PID");

    // Activation requests are client messages to the root window.
    const std::uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootMask);
    const xcb_atom_t supportedAtoms[] = {active, clientList};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, supported, XCB_ATOM_ATOM, 32, 2,
                        supportedAtoms);

    std::vector<xcb_window_t> windows;
    const auto pid = static_cast<std::uint32_t>(getpid());
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        std::string instance = name;
        for (char& ch : instance)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        const xcb_window_t window = xcb_generate_id(c);
        const std::uint32_t values[] = {screen->white_pixel};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, static_cast<std::int16_t>(40 * i),
                          static_cast<std::int16_t>(40 * i), 200, 120, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL,
                          values);
        const std::string wmClass = instance + '\0' + name + '\0';
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(wmClass.size()), wmClass.data());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(name.size()), name.data());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, wmPid, XCB_ATOM_CARDINAL, 32, 1,
                            &pid);
        xcb_map_window(c, window);
        windows.push_back(window);
        std::printf("%s %u\n", name.c_str(), window);
    }
    SetWindows(c, root, clientList, windows);
    xcb_flush(c);
    std::fflush(stdout);

    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (message->type == active) {
                SetWindows(c, root, active, {message->window});
                xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, message->window,
                                    XCB_CURRENT_TIME);
                xcb_flush(c);
                // When the change reached the server, for the benchmark's latency.
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                std::printf("active %u %lld\n", message->window,
                            static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
                std::fflush(stdout);
            }
        }
        std::free(event);
    }
    xcb_disconnect(c);
    return 0;
}
