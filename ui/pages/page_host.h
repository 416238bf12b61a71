// PageHost: what the main window offers its pages. Pages edit the current profile record,
// ask the device-ready check before a change and hand changes to the apply worker through
// it; every call runs on the window thread. Tests give a page a host of their own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/session/device_session.h"
#include "app/session/window_rules.h"
#include "app/store/profile_store.h"
#include "keys/macro_library.h"
#include "profile/profile_record.h"

namespace vantor {

class PageHost {
  public:
    virtual ~PageHost() = default;

    // The current profile record; null when there is none.
    virtual ProfileFile* Record() = 0;
    // The profile list of the current device section (profile switching, import, export).
    virtual ProfileStore& Store() = 0;
    // The macro library the window loaded.
    virtual MacroLibrary& Macros() = 0;
    // The device session (current DPI level, reads, restore).
    virtual DeviceSession& Session() = 0;

    // The device-ready check with the connection test: `onReady` runs on the window thread
    // when the page may go on (at once, or when the mouse's answer lands); otherwise the
    // reason was shown and `onReady` never runs.
    virtual void CheckDeviceReady(std::function<void()> onReady) = 0;
    // The check without the connection test, for controls that must answer at once (a
    // slider before its thumb moves, a box before its list opens).
    virtual bool IsDeviceReady() = 0;
    // With ApplyNow set: asks the apply worker to write `flags` with `index` (no progress
    // window). With ApplyNow 0 it does nothing: the change stays in the record.
    virtual void ApplyChange(std::uint32_t flags, int index) = 0;
    // The same for the changes of the lighting page, which the mouse may not take at every
    // moment: with ApplyNow set the mouse is asked first (off the window thread); when it
    // cannot take the change the reason is shown and nothing is written (the record keeps
    // the change). A host without that question writes as ApplyChange does.
    virtual void ApplyLightingChange(std::uint32_t flags, int index) { ApplyChange(flags, index); }

    // The product id of the connected mouse; 0 while none is open.
    virtual std::uint16_t ProductId() { return 0; }

    // The skinned message window and question of the main window.
    virtual void ShowText(const std::string& text) = 0;
    virtual bool AskOkCancel(const std::string& text) = 0;
    // The message window; true only when the user closed it with OK, not with its close
    // button. A host without the window counts every close as not OK.
    virtual bool ShowTextOk(const std::string& text) {
        ShowText(text);
        return false;
    }

    // A short confirmation that hides itself (an export, an import, a saved macro). A host
    // without the window shows nothing.
    virtual void ShowNote(const std::string& text) { (void)text; }

    virtual void SwitchPage(PageId page) = 0;
    // Every page shows the current record again (after an import, a profile switch or a
    // renamed macro).
    virtual void RefreshPages() = 0;
};

}  // namespace vantor
