// A main window stand-in for pages tested on their own: one record, no device, a
// device-ready answer the test chooses, and the writes the page asked for.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/session/device_session.h"
#include "app/store/profile_store.h"
#include "keys/macro_library.h"
#include "ui/pages/page_host.h"

namespace vantor::test {

class PageTestHost : public PageHost {
  public:
    // `folder` holds the (empty) profile list and macro library.
    explicit PageTestHost(const std::string& folder)
        : store_(folder), macros_(folder, 0), session_(DeviceSessionSetup{}) {}

    ProfileFile record{};
    bool ready = true;
    std::vector<std::pair<std::uint32_t, int>> writes;

    ProfileFile* Record() override { return &record; }
    ProfileStore& Store() override { return store_; }
    MacroLibrary& Macros() override { return macros_; }
    DeviceSession& Session() override { return session_; }
    void CheckDeviceReady(std::function<void()> onReady) override {
        if (ready && onReady) onReady();
    }
    bool IsDeviceReady() override { return ready; }
    void ApplyChange(std::uint32_t flags, int index) override { writes.emplace_back(flags, index); }
    void ShowText(const std::string&) override {}
    bool AskOkCancel(const std::string&) override { return false; }
    void SwitchPage(PageId) override {}
    void RefreshPages() override {}

  private:
    ProfileStore store_;
    MacroLibrary macros_;
    DeviceSession session_;
};

}  // namespace vantor::test
