// vantor: the window program. Reads its command line, runs the shared start-up, makes
// sure only one copy runs, opens the mouse (hidraw, or the simulated mouse) and runs the
// main window until it closes.
#include <QApplication>
#include <QSystemTrayIcon>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "app/config/config.h"
#include "app/session/startup.h"
#include "base/log.h"
#include "base/version.h"
#include "platform/autostart.h"
#include "platform/device_lock.h"
#include "platform/heap_trim.h"
#include "platform/hidraw_backend.h"
#include "platform/single_instance.h"
#include "tools/common/launch_options.h"
#include "tools/common/simulated_mouse.h"
#include "tools/vantor/message_box_sink.h"
#include "tools/vantor/sim_menu.h"
#include "ui/shell/exit_signal_watcher.h"
#include "ui/shell/main_window.h"
#include "ui/widgets/layout_4k.h"

namespace {

constexpr const char* kInstanceName = "MUTEX_QX_WIRELESS";

int Fail(const std::string& message, int code) {
    std::fprintf(stderr, "vantor: %s\n", message.c_str());
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vantor;
    ShareOneHeapAcrossThreads();
    LaunchOptions launch;
    std::string error;
    if (!ParseLaunchOptions(argc, argv, &launch, &error)) return Fail(error, 2);
    if (launch.help) {
        std::fputs(LaunchUsage(), stdout);
        return 0;
    }
    if (launch.version) {
        std::printf("vantor %s\n", ProgramVersion());
        return 0;
    }

    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // Names the desktop entry, so the desktop matches the window and its icon to it.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(ApplicationId()));
    MessageBoxSink messages;
    SetMessageSink(&messages);

    StartupState startup;
    if (!InitProgramData(argc, argv, &startup)) return 1;
    // Only arguments other than the program's own options ask for a start in the tray.
    startup.startedWithArguments = launch.startHidden;
    SingleInstance instance(kInstanceName);
    switch (ClaimSingleInstance(instance, startup)) {
        case InstanceClaim::kHeld:
            break;
        case InstanceClaim::kRunning:
            return 0;
        case InstanceClaim::kFailed:
            ShowSystemMessage(instance.Error(), "Error");
            return 1;
    }
    LoadApplicationFont(Options().FontName, Options().FontSize);

    // The window holds the mouse while it runs; vantorctl then says who has it. The simulated
    // mouse is shared only through its state file.
    DeviceLock deviceLock;
    const std::string lockPath = !launch.simulate          ? DeviceLockPath(startup.dataDir)
                                 : launch.simState.empty() ? std::string()
                                                           : SimStateLockPath(launch.simState);
    if (!lockPath.empty()) {
        std::string holder;
        int lockError = 0;
        if (!deviceLock.Acquire(lockPath, "vantor", kDeviceLockWait, &holder, &lockError)) {
            const std::string why =
                lockError == EWOULDBLOCK
                    ? "The mouse is in use by " + DescribeLockHolder(holder) + "."
                    : "Cannot open the lock file " + lockPath + ": " + std::strerror(lockError);
            ShowSystemMessage(why, "Error");
            return 1;
        }
    }

    std::optional<SimulatedMouse> simulated;
    std::unique_ptr<HidBackend> hidraw;
    HidBackend* backend = nullptr;
    if (launch.simulate) {
        SimulationError kind = SimulationError::kNone;
        simulated = StartSimulatedMouse(*launch.simulate, launch.simState, &error, &kind);
        if (!simulated) return Fail(error, kind == SimulationError::kUsage ? 2 : 1);
        simulated->backend->SetFaults(launch.simFaults);
        backend = simulated->backend.get();
    } else {
        hidraw = std::make_unique<HidrawBackend>();
        backend = hidraw.get();
    }

    int result = 0;
    {
        MainWindowSetup setup;
        setup.startup = startup;
        setup.backend = backend;
        setup.startHidden = launch.startHidden;
        setup.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
        setup.messages = &messages;
        if (!setup.trayAvailable) DbgLog("No system tray: the window stays in the task bar");
        MainWindow window(setup);
        std::unique_ptr<SimMenu> simMenu;
        if (simulated) {
            simMenu = std::make_unique<SimMenu>(*simulated->firmware, *simulated->backend);
            simMenu->SetBatteryChanged([&window] { window.Session().BatteryUpdate(); });
            window.AddExtraMenu(simMenu.get());
        }
        QObject::connect(&window, &MainWindow::finished, &app, &QApplication::quit);
        // SIGTERM and SIGINT end the program as its exit command does, saving what it holds.
        ExitSignalWatcher exitSignals;
        QObject::connect(&exitSignals, &ExitSignalWatcher::exitRequested, &window,
                         [&window] { window.OnExit(); });
        const bool listening =
            instance.Listen([&window, title = startup.title](const InstanceMessage& message) {
                // A second start only ever asks to show the window.
                if (message.title == title && message.message == kTrayNotifyMessage &&
                    message.lParam == kTrayNotifyLParam) {
                    QMetaObject::invokeMethod(
                        &window, [&window] { window.ShowTheWindow(); }, Qt::QueuedConnection);
                }
            });
        // Without the socket a second start cannot wake this copy; the window still runs.
        if (!listening) DbgLog("SingleInstance: cannot listen for a second start");
        // A window that cannot start (no skin) or that closes because the start found no
        // mouse ends the program with a failure status.
        if (window.Init()) {
            result = app.exec();
            if (result == 0) result = window.ExitCode();
        } else {
            result = 1;
        }
        instance.StopListening();
    }
    if (simulated && !SaveSimulatedMouse(*simulated, &error)) result = Fail(error, 1);
    UnloadApplicationFont();
    // Lock and socket go together: a start meanwhile has waited for this moment.
    instance.Release();
    LogProgramExit();
    return result;
}
