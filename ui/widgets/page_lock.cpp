#include "ui/widgets/page_lock.h"

#include <QVariant>

namespace vantor {

void KeepWorkingWhenLocked(QWidget* control) {
    if (control != nullptr) control->setProperty(kKeepsWorkingProperty, true);
}

void ShowLockReason(QWidget* control, bool locked, const QString& why) {
    if (control != nullptr) control->setToolTip(locked ? why : QString());
}

void PageLock::Lock(QWidget* page) {
    Unlock();
    locked_ = true;
    if (page == nullptr) return;
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || !child->isEnabledTo(page)) continue;
        if (child->property(kKeepsWorkingProperty).toBool()) continue;
        child->setEnabled(false);
        disabled_.emplace_back(child);
    }
}

void PageLock::Unlock() {
    for (const QPointer<QWidget>& child : disabled_) {
        if (child != nullptr) child->setEnabled(true);
    }
    disabled_.clear();
    locked_ = false;
}

}  // namespace vantor
