// The pages whose controls change the mouse (buttons, performance, lighting) are locked
// while the mouse cannot be reached; the macro editor works on the library alone and stays
// usable. A page built later takes the lock that holds then.
#pragma once

#include <array>

#include "app/session/window_rules.h"
#include "ui/widgets/page_lock.h"

namespace vantor {

class SettingsPage;

class MouseLockedPages {
  public:
    void SetLocked(bool locked);
    bool IsLocked() const { return locked_; }
    // A page that has just been built.
    void Add(PageId id, SettingsPage* page);

  private:
    static bool NeedsMouse(PageId id) { return id != PageId::kMacro; }
    static std::size_t Slot(PageId id) { return static_cast<std::size_t>(id) - 1; }

    bool locked_ = false;
    std::array<SettingsPage*, kPageCount> pages_{};
    std::array<PageLock, kPageCount> locks_;
};

}  // namespace vantor
