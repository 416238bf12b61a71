#include "platform/x11_active_window.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using namespace std::string_view_literals;

TEST(X11ActiveWindowTest, WmClassIsTwoStringsOrNothing) {
    using Names = std::pair<std::string, std::string>;
    struct Case {
        std::string_view value;
        std::optional<Names> names;
    };
    const Case cases[] = {
        {"xterm\0XTerm\0"sv, Names{"xterm", "XTerm"}},
        {"xterm\0XTerm"sv, Names{"xterm", "XTerm"}},  // no closing NUL
        {"\0Steam\0"sv, Names{"", "Steam"}},
        {"a\0b\0c\0"sv, Names{"a", "b"}},  // more than two strings: the first two
        {"xterm"sv, std::nullopt},         // one string
        {""sv, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseWmClass(c.value), c.names) << c.value;
}

TEST(X11ActiveWindowTest, WithoutAnXServerNothingStarts) {
    std::string error;
    EXPECT_EQ(X11ActiveWindowWatcher::Start(
                  ":4711", [](const ActiveApplication&) {}, &error),
              nullptr);
    EXPECT_NE(error.find(":4711"), std::string::npos);
    EXPECT_TRUE(ListX11Applications(":4711").empty());
}

TEST(ActiveWindowBackendTest, FollowsThePlatformAndTheDesktop) {
    struct Case {
        const char* platform;
        const char* desktop;
        ActiveWindowBackend backend;
    };
    const Case cases[] = {
        {"xcb", "GNOME", ActiveWindowBackend::kX11},
        {"xcb", "", ActiveWindowBackend::kX11},
        {"wayland", "KDE", ActiveWindowBackend::kKWin},
        {"wayland-egl", "foo:KDE", ActiveWindowBackend::kKWin},
        {"wayland", "ubuntu:GNOME", ActiveWindowBackend::kNone},
        {"wayland", "KDEx", ActiveWindowBackend::kNone},
        {"offscreen", "KDE", ActiveWindowBackend::kNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseActiveWindowBackend(c.platform, c.desktop), c.backend)
            << c.platform << " " << c.desktop;
    }
}

}  // namespace
}  // namespace vantor
