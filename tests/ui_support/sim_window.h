// What the window tests share: a data folder of their own with the shipped configuration
// and texts loaded, a simulated mouse behind a HID backend, the setup of a main window on
// it, and waits that let the window's events, the device thread and the apply worker run.
#pragma once

#include <QCoreApplication>
#include <QTest>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/config/config.h"
#include "base/texts.h"
#include "platform/paths.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "tests/support/temp_dir.h"
#include "ui/shell/main_window.h"

namespace vantor::test {

// Processes window events until `done` holds; false after `ms`.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 8000) {
    return QTest::qWaitFor(done, ms);
}

// Lets the device thread's work and the apply worker's writes end and their results land
// on the window, `rounds` times (a result may ask for more work); false on a timeout.
inline bool SettleWindow(MainWindow& window, int rounds = 1) {
    for (int round = 0; round < rounds; ++round) {
        if (!window.Session().WaitDeviceWork(8000)) return false;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        if (!window.Session().Worker().WaitIdle(8000)) return false;
        QCoreApplication::processEvents();
    }
    return true;
}

// True once the window has found the mouse, shows its battery and has read its profile.
inline bool MouseRead(MainWindow& window) {
    return window.Store().Current() != nullptr && window.IsBatteryShown() &&
           window.Session().FirstReadDone();
}

enum class ProductList { kFirst, kSecond };  // PID or PID2 of the configuration

class SimMouseFolder {
  public:
    explicit SimMouseFolder(ProductList products = ProductList::kFirst)
        : dataEnv_("VANTOR_DATA_DIR", data_.path()) {
        loaded_ = DataInit(ProgramDir() + "cfg.ini");
        LoadTexts(ProgramDir() + "text.xml");
        firmware_ = MakeSimFirmware(0);
        SimBackendSettings settings;
        settings.vendorId = Options().VID;
        const auto& ids = products == ProductList::kFirst ? Options().PID : Options().PID2;
        settings.productId = static_cast<std::uint16_t>(ids.at(0));
        backend_ = std::make_unique<SimHidBackend>(firmware_, settings);
    }

    bool ConfigLoaded() const { return loaded_; }
    const std::string& DataDir() const { return data_.path(); }
    SimFirmware& Firmware() { return *firmware_; }
    const SimFirmware& Firmware() const { return *firmware_; }
    SimHidBackend& Backend() { return *backend_; }

    // A window on this folder and mouse; the test sets the rest (messages, tray).
    MainWindowSetup WindowSetup(bool startHidden = false) {
        MainWindowSetup setup;
        setup.startup = {ProgramDir(), data_.path(), "Vantor Mouse Center", startHidden};
        setup.backend = backend_.get();
        setup.startHidden = startHidden;
        return setup;
    }

  private:
    TempDir data_;
    ScopedEnv dataEnv_;
    bool loaded_ = false;
    std::shared_ptr<SimFirmware> firmware_;
    std::unique_ptr<SimHidBackend> backend_;
};

}  // namespace vantor::test
