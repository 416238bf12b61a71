#include "ui/shell/application_following.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include "base/log.h"
#include "ui/shell/active_application_source.h"
#include "ui/widgets/skinned_menu.h"

namespace vantor {

ApplicationFollowing::ApplicationFollowing(ApplicationFollowingSetup setup, QObject* parent)
    : QObject(parent),
      setup_(std::move(setup)),
      follower_({setup_.activeProfile, [this] { return IsEditing(); }, setup_.switchTo,
                 static_cast<long>(QCoreApplication::applicationPid())}) {
    source_ = std::make_unique<ActiveApplicationSource>(
        setup_.programDir,
        [this](const ActiveApplication& app) { follower_.OnActiveApplication(app); }, this);
}

ApplicationFollowing::~ApplicationFollowing() {
    qApp->removeEventFilter(this);
    source_.reset();
}

std::string ApplicationFollowing::Load() {
    RulesFileLoad load = LoadApplicationRules(setup_.dataDir);
    Apply(load.rules);
    return load.problem;
}

bool ApplicationFollowing::ChangeRules(const ApplicationRules& rules, int* error) {
    if (!SaveApplicationRules(setup_.dataDir, rules, error)) return false;
    Apply(rules);
    return true;
}

void ApplicationFollowing::Apply(const ApplicationRules& rules) {
    // Reading the same rules again is no change: a profile the user chose by hand stays.
    if (loaded_ && rules == follower_.Rules()) return;
    loaded_ = true;
    if (rules.enabled && !source_->IsWatching()) {
        if (source_->Start()) {
            qApp->installEventFilter(this);
            DbgLog("Rules: following the application in front");
        }
    } else if (!rules.enabled && source_->IsWatching()) {
        source_->Stop();
        qApp->removeEventFilter(this);
        DbgLog("Rules: following stopped");
    }
    follower_.SetRules(rules);
}

bool ApplicationFollowing::IsAvailable() const {
    return source_->IsAvailable();
}

bool ApplicationFollowing::IsWatching() const {
    return source_->IsWatching();
}

std::vector<ActiveApplication> ApplicationFollowing::RunningApplications() const {
    return source_->RunningApplications();
}

bool ApplicationFollowing::IsEditing() const {
    return IsMenuOpen() || QApplication::activePopupWidget() != nullptr ||
           QApplication::activeModalWidget() != nullptr ||
           (setup_.isRecording && setup_.isRecording());
}

// Editing ends with a pop-up closing or a click or key that stops a recording; the check
// runs after the event has been handled, and only while a switch waits.
bool ApplicationFollowing::eventFilter(QObject* watched, QEvent* event) {
    if (!follower_.Waiting() || checkQueued_) return QObject::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type == QEvent::Hide || type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease) {
        checkQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                checkQueued_ = false;
                follower_.OnEditingMayHaveEnded();
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vantor
