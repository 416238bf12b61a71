#include "ui/shell/mouse_locked_pages.h"

#include "ui/pages/settings_page.h"

namespace vantor {

void MouseLockedPages::SetLocked(bool locked) {
    locked_ = locked;
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i] == nullptr) continue;
        if (locked && !locks_[i].IsLocked()) locks_[i].Lock(pages_[i]);
        if (!locked) locks_[i].Unlock();
    }
}

void MouseLockedPages::Add(PageId id, SettingsPage* page) {
    if (!NeedsMouse(id)) return;
    pages_[Slot(id)] = page;
    if (locked_) locks_[Slot(id)].Lock(page);
}

}  // namespace vantor
