// PageLock: disables the controls of a page while what they change cannot be reached, and
// enables exactly those again afterwards. The controls keep showing their values (a
// disabled control paints its value greyed). A control that works all the same (a file
// export, a link to the desktop's settings) carries the property kKeepsWorkingProperty.
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

namespace vantor {

inline constexpr const char* kKeepsWorkingProperty = "keepsWorkingWhenLocked";

// Marks `control` as one that stays enabled while its page is locked.
void KeepWorkingWhenLocked(QWidget* control);

// The tooltip of a control that can be locked on its own: why, while it is locked.
void ShowLockReason(QWidget* control, bool locked, const QString& why);

class PageLock {
  public:
    // Disables every enabled direct child of `page` that does not keep working. Locking
    // again first releases the earlier lock.
    void Lock(QWidget* page);
    // Enables the controls the lock disabled; one disabled for another reason meanwhile
    // (a masked mouse button) stays as its page left it.
    void Unlock();
    bool IsLocked() const { return locked_; }

  private:
    std::vector<QPointer<QWidget>> disabled_;
    bool locked_ = false;
};

}  // namespace vantor
