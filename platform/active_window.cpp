#include "platform/active_window.h"

namespace vantor {

ActiveWindowBackend ChooseActiveWindowBackend(std::string_view platform,
                                              std::string_view currentDesktop) {
    if (platform == "xcb") return ActiveWindowBackend::kX11;
    if (!platform.starts_with("wayland")) return ActiveWindowBackend::kNone;
    while (!currentDesktop.empty()) {
        const std::size_t end = currentDesktop.find(':');
        if (currentDesktop.substr(0, end) == "KDE") return ActiveWindowBackend::kKWin;
        if (end == std::string_view::npos) break;
        currentDesktop.remove_prefix(end + 1);
    }
    return ActiveWindowBackend::kNone;
}

}  // namespace vantor
