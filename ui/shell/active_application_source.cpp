#include "ui/shell/active_application_source.h"

#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>

#include "base/log.h"
#include "platform/x11_active_window.h"
#include "ui/shell/kwin_active_window.h"

namespace vantor {
namespace {

constexpr std::size_t kMaxSeenApplications = 64;

}  // namespace

ActiveApplicationSource::ActiveApplicationSource(std::string programDir, Callback onChange,
                                                 QObject* parent)
    : QObject(parent), programDir_(std::move(programDir)), onChange_(std::move(onChange)) {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    backend_ = ChooseActiveWindowBackend(QGuiApplication::platformName().toStdString(),
                                         desktop != nullptr ? desktop : "");
}

ActiveApplicationSource::~ActiveApplicationSource() {
    Stop();
}

bool ActiveApplicationSource::IsWatching() const {
    return x11_ != nullptr || kwin_ != nullptr;
}

bool ActiveApplicationSource::Start() {
    if (IsWatching()) return true;
    if (backend_ == ActiveWindowBackend::kX11) {
        std::string error;
        // The watcher's thread hands each change to the window thread; a change still on
        // its way when this object goes is dropped with it.
        x11_ = X11ActiveWindowWatcher::Start(
            {},
            [this](const ActiveApplication& app) {
                QMetaObject::invokeMethod(
                    this, [this, app] { Report(app); }, Qt::QueuedConnection);
            },
            &error);
        if (!x11_) DbgLog("Rules: no X11 watcher (%s)", error.c_str());
        return x11_ != nullptr;
    }
    if (backend_ == ActiveWindowBackend::kKWin) {
        kwin_ = std::make_unique<KWinActiveWindowReceiver>(
            [this](const ActiveApplication& app) { Report(app); });
        const QString script = QString::fromStdString(programDir_ + "kwin/active_window.js");
        if (!kwin_->Start(script)) kwin_.reset();
        return kwin_ != nullptr;
    }
    return false;
}

void ActiveApplicationSource::Stop() {
    x11_.reset();
    kwin_.reset();
}

void ActiveApplicationSource::Report(const ActiveApplication& app) {
    if (app.pid != getpid() && std::find(seen_.begin(), seen_.end(), app) == seen_.end()) {
        if (seen_.size() >= kMaxSeenApplications) seen_.erase(seen_.begin());
        seen_.push_back(app);
    }
    if (onChange_) onChange_(app);
}

std::vector<ActiveApplication> ActiveApplicationSource::RunningApplications() const {
    if (backend_ == ActiveWindowBackend::kX11) return ListX11Applications({});
    std::vector<ActiveApplication> apps = seen_;
    for (ActiveApplication& app : apps) app.pid = 0;
    return apps;
}

}  // namespace vantor
