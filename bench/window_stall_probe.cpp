// Window-thread stalls: runs the real main window against the simulated mouse (offscreen)
// and measures how late a 1 ms timer on the window thread fires while the program starts,
// finds the mouse, reads the profile, reacts to the mouse's keys, is hidden and shown,
// takes a burst of 20 apply requests, sees the receiver unplugged and plugged in again,
// and talks to a mouse that stops answering; and a read that brings macros the library does
// not know (up to 16 buttons, as many as the model's key matrix has; each becomes a macro
// file). Every event the window thread dispatches is
// timed too, so the longest stall of each phase comes with the event that caused it.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bin/window_stall_probe [--latency MS] [--data DIR]
//
// --latency: the simulated mouse's reply latency (default 4 ms). --data: the user data
// folder to use and keep (default: a new one, removed after, which is the first start:
// the profile files are written then).
//
// Prints one line per phase: the longest lateness of the 1 ms timer, how many ticks were
// later than 16 ms, the longest single event with its receiver, and the resident memory
// at the end of the phase (VmRSS) with its peak so far (VmHWM). The Init row runs from the
// exec of the program (the probe starts itself again to know that moment), so it includes
// loading the program and its libraries. Run it several times and take the medians: a
// shared machine adds its own scheduling delays.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/config/config.h"
#include "app/session/startup.h"
#include "base/message_sink.h"
#include "keys/key_functions.h"
#include "keys/macro_record.h"
#include "profile/set_flags.h"
#include "tools/common/simulated_mouse.h"
#include "tools/vantor/sim_menu.h"
#include "ui/shell/main_window.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/window_message.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace vantor;

constexpr double kGoalMs = 16.0;
constexpr int kModalCloseMs = 400;  // a message window nobody answers is closed after this

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct PhaseFigures {
    double longestLateMs = 0;
    int lateTicks = 0;  // ticks later than the goal
    double longestEventMs = 0;
    std::string longestEvent;
    long rssKb = 0;   // at the end of the phase
    long peakKb = 0;  // the process's peak by then
};

// A "VmRSS:"-style line of /proc/self/status in kB; 0 when missing.
long StatusKb(const char* key) {
    std::FILE* file = std::fopen("/proc/self/status", "r");
    if (file == nullptr) return 0;
    char line[256];
    long kb = 0;
    const std::size_t keyLength = std::strlen(key);
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::strncmp(line, key, keyLength) == 0) kb = std::atol(line + keyLength);
    }
    std::fclose(file);
    return kb;
}

// The moment the program was started: the probe executes itself once more and hands that
// moment on in the environment, so that program loading counts too.
constexpr const char* kExecTimeVariable = "VANTOR_PROBE_EXEC_NS";

Clock::time_point ExecMoment(char** argv) {
    if (const char* ns = std::getenv(kExecTimeVariable)) {
        return Clock::time_point(std::chrono::nanoseconds(std::strtoll(ns, nullptr, 10)));
    }
    const auto now = Clock::now();
    setenv(kExecTimeVariable, std::to_string(now.time_since_epoch().count()).c_str(), 1);
    execv("/proc/self/exe", argv);
    return now;  // exec failed: from here on
}

// Figures of every phase, in the order the phases ran.
class Recorder {
  public:
    void SetPhase(const std::string& name) {
        if (!phase_.empty()) EndPhase();
        if (!figures_.count(name)) order_.push_back(name);
        figures_[name];
        phase_ = name;
    }
    const std::string& Phase() const { return phase_; }
    PhaseFigures& Current() { return figures_[phase_]; }
    void EndPhase() {
        PhaseFigures& f = Current();
        f.rssKb = StatusKb("VmRSS:");
        f.peakKb = StatusKb("VmHWM:");
    }
    void Print() const {
        std::printf("%-28s %12s %10s %12s %8s %8s  %s\n", "phase", "longest ms", ">16 ms",
                    "event ms", "RSS MB", "peak MB", "longest event");
        for (const std::string& name : order_) {
            const PhaseFigures& f = figures_.at(name);
            std::printf("%-28s %12.1f %10d %12.1f %8.1f %8.1f  %s\n", name.c_str(), f.longestLateMs,
                        f.lateTicks, f.longestEventMs, static_cast<double>(f.rssKb) / 1024,
                        static_cast<double>(f.peakKb) / 1024, f.longestEvent.c_str());
        }
    }

  private:
    std::vector<std::string> order_;
    std::map<std::string, PhaseFigures> figures_;
    std::string phase_;
};

Recorder recorder;
std::uint64_t probeTicks = 0;  // ticks of the 1 ms timer so far

std::string Describe(QObject* receiver, QEvent* event) {
    std::string text = receiver->metaObject()->className();
    if (!receiver->objectName().isEmpty())
        text += " '" + receiver->objectName().toStdString() + "'";
    if (QObject* parent = receiver->parent()) {
        text += " in ";
        text += parent->metaObject()->className();
    }
    if (event->type() == WindowMessageEvent::EventType()) {
        text += " message " + std::to_string(static_cast<WindowMessageEvent*>(event)->message);
    } else {
        text += " event " + std::to_string(static_cast<int>(event->type()));
    }
    return text;
}

// Times each event the window thread dispatches. An event during which the 1 ms timer
// ticked ran a nested event loop (a modal window) and did not stall the thread.
class TimingApplication : public QApplication {
  public:
    using QApplication::QApplication;
    QObject* probe = nullptr;

    bool notify(QObject* receiver, QEvent* event) override {
        if (receiver == probe) return QApplication::notify(receiver, event);
        const std::uint64_t ticksBefore = probeTicks;
        const QPointer<QObject> alive(receiver);  // an event may delete its receiver
        const char* className = receiver->metaObject()->className();
        const QEvent::Type type = event->type();
        const Clock::time_point start = Clock::now();
        const bool result = QApplication::notify(receiver, event);
        const double ms = MsSince(start);
        PhaseFigures& f = recorder.Current();
        if (probeTicks == ticksBefore && ms > f.longestEventMs) {
            f.longestEventMs = ms;
            f.longestEvent = alive ? Describe(receiver, event)
                                   : std::string(className) + " (deleted) event " +
                                         std::to_string(static_cast<int>(type));
        }
        return result;
    }
};

class SilentSink : public MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view) override {
        std::printf("  (message: %.*s)\n", static_cast<int>(text.size()), text.data());
    }
};

QAction* FindAction(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) return action;
        if (action->menu() != nullptr) {
            if (QAction* inner = FindAction(action->menu(), text)) return inner;
        }
    }
    return nullptr;
}

// A macro of one key press, named "probe N".
MacroRecord ProbeMacro(int n) {
    MacroRecord macro{};
    macro.dwMagicNumber = kMacroMagicNumber;
    macro.dwMacroID = 0x5000 + static_cast<std::uint32_t>(n);
    macro.nLoopCount = 1;
    SetMacroName(macro, "probe " + std::to_string(n));
    macro.stEvents[0].wCode = static_cast<std::uint16_t>(0x41 + n);
    macro.stEvents[0].wKind = kMacroKindPress;
    macro.stEvents[0].dwDelay = 10;
    macro.stEvents[1].wCode = static_cast<std::uint16_t>(0x41 + n);
    macro.stEvents[1].wKind = kMacroKindRelease;
    return macro;
}

// One step of the scenario: runs `start` once, then waits until `done` holds or
// `timeoutMs` passed.
struct Step {
    std::string phase;
    std::function<void()> start;
    std::function<bool()> done;
    int timeoutMs = 5000;
};

}  // namespace

int main(int argc, char** argv) {
    const Clock::time_point processStart = ExecMoment(argv);
    int latencyMs = 4;
    std::filesystem::path data;  // empty: a new folder, as at the very first start
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--latency") == 0) latencyMs = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--data") == 0) data = argv[i + 1];
    }
    // The user's own data stays untouched.
    const bool ownData = data.empty();
    if (ownData) {
        data =
            std::filesystem::temp_directory_path() / ("vantor-stall-" + std::to_string(getpid()));
    }
    std::filesystem::create_directories(data);
    setenv("VANTOR_DATA_DIR", data.c_str(), 1);

    recorder.SetPhase("Init (exec to the loop)");
    TimingApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    SilentSink messages;
    SetMessageSink(&messages);
    StartupState startup;
    if (!InitProgramData(1, argv, &startup)) return 1;
    LoadApplicationFont(Options().FontName, Options().FontSize);
    std::string error;
    SimulationError kind = SimulationError::kNone;
    std::optional<SimulatedMouse> mouse = StartSimulatedMouse(1, "", &error, &kind);
    if (!mouse) {
        std::fprintf(stderr, "window_stall_probe: %s\n", error.c_str());
        return 1;
    }
    SimFaults faults;
    faults.replyLatencyMs = latencyMs;
    mouse->backend->SetFaults(faults);

    int result = 0;
    {
        MainWindowSetup setup;
        setup.startup = startup;
        setup.backend = mouse->backend.get();
        setup.trayAvailable = false;
        setup.messages = &messages;
        MainWindow window(setup);
        SimMenu simMenu(*mouse->firmware, *mouse->backend);
        simMenu.SetBatteryChanged([&window] { window.Session().BatteryUpdate(); });
        window.AddExtraMenu(&simMenu);
        auto click = [&simMenu](const char* text) {
            if (QAction* action = FindAction(&simMenu, QString::fromUtf8(text))) action->trigger();
        };
        auto ready = [&window] {
            return window.Driver().CmdHandle() != nullptr && window.Session().FirstReadDone() &&
                   window.IsBatteryShown();
        };
        if (!window.Init()) return 1;
        recorder.Current().longestLateMs = MsSince(processStart);
        recorder.Current().longestEvent = "loading, construction and Init of the window";

        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        app.probe = &probe;
        Clock::time_point lastTick = Clock::now();
        QObject::connect(&probe, &QTimer::timeout, [&] {
            ++probeTicks;
            const Clock::time_point now = Clock::now();
            const double late =
                std::chrono::duration<double, std::milli>(now - lastTick).count() - 1.0;
            lastTick = now;
            PhaseFigures& f = recorder.Current();
            if (late > f.longestLateMs) f.longestLateMs = late;
            if (late > kGoalMs) ++f.lateTicks;
        });

        int macroButtons = 0;  // buttons set to a macro for the macro read
        const std::vector<Step> steps = {
            {"start, find, read profile", [] {}, [&] { return ready() && window.isVisible(); },
             8000},
            // The first opening of each page builds it: its longest event is the build.
            {"first opening: performance", [&] { window.SwitchPage(PageId::kPerformance); },
             [] { return false; }, 200},
            {"first opening: macros", [&] { window.SwitchPage(PageId::kMacro); },
             [] { return false; }, 200},
            {"first opening: lighting", [&] { window.SwitchPage(PageId::kLighting); },
             [] { return false; }, 200},
            {"back to the buttons", [&] { window.SwitchPage(PageId::kKeys); }, [] { return false; },
             200},
            {"mouse keys",
             [&] {
                 click("Press the DPI button");
                 click("Main lighting");
                 click("Logo lighting");
                 click("DPI indicator");
                 click("500 Hz");
             },
             [] { return false; }, 800},
            {"battery from the sim menu", [&] { click("25 %"); }, [] { return false; }, 300},
            {"hide and show",
             [&] {
                 window.OnMinimizeButton();
                 window.ShowTheWindow();
             },
             [] { return false; }, 300},
            {"burst of 20 apply requests",
             [&] {
                 for (int i = 0; i < 20; ++i) {
                     window.Session().Worker().RequestApply(i % 2 ? SET_DPI : SET_LED,
                                                            kSetIndexAll);
                 }
                 click("Press the DPI button");
                 click("Main lighting");
                 click("50 %");
             },
             [&] { return !window.Session().Worker().IsBusy(); }, 20000},
            {"receiver unplugged", [&] { click("Receiver plugged in"); },
             [&] { return window.Driver().CmdHandle() == nullptr; }, 3000},
            {"plugged in, found again", [&] { click("Receiver plugged in"); }, ready, 10000},
            {"mouse stops answering",
             [&] {
                 SimFaults silent;
                 silent.dropEveryNth = 1;
                 mouse->backend->SetFaults(silent);
                 click("10 %");
                 click("Main lighting");
                 window.OnMinimizeButton();
                 window.ShowTheWindow();
                 window.Session().Worker().RequestApply(SET_DPI, kSetIndexAll);
             },
             [&] { return !window.Session().Worker().IsBusy(); }, 15000},
            {"16 macro buttons written",
             [&] {
                 mouse->backend->SetFaults(faults);
                 ProfileFile* record = window.Store().Current();
                 for (KeyAssignment& key : record->Key[record->nKeySet]) {
                     if (key.nMatrixIndex < 1 || macroButtons == 16) continue;
                     const MacroRecord macro = ProbeMacro(macroButtons);
                     if (!window.Macros().Add_Macro(macro)) continue;
                     key.dwFunID = KF_MACRO;
                     key.dwMacroID = macro.dwMacroID;
                     ++macroButtons;
                 }
                 window.Session().Worker().RequestApply(SET_KEY, kSetIndexAll);
             },
             [&] { return !window.Session().Worker().IsBusy(); }, 20000},
            {"library forgets them",
             [&] {
                 // The read of the next phase then adds every one with its file.
                 (void)window.Writer().Flush(10000);
                 std::filesystem::remove_all(window.Macros().Root());
                 window.Macros().LoadLibrary(true);
             },
             [] { return false; }, 200},
            {"a read that brings 16 new macros", [&] { window.Session().StartReadCurCfgThread(); },
             [&] {
                 return window.Session().FirstReadDone() &&
                        window.Macros().Macros().Count() >= macroButtons;
             },
             10000},
            {"exit", [&] { window.OnExit(); }, [&] { return window.HasExited(); }, 3000},
        };

        std::size_t next = 0;
        bool started = false;
        Clock::time_point stepStart;
        Clock::time_point modalSince;
        QWidget* modal = nullptr;
        QTimer driver;
        driver.setObjectName(QStringLiteral("scenario step"));
        QObject::connect(&driver, &QTimer::timeout, [&] {
            // Nobody answers message windows here: close them after a moment.
            QWidget* open = QApplication::activeModalWidget();
            if (open != modal) {
                modal = open;
                modalSince = Clock::now();
            } else if (open != nullptr && MsSince(modalSince) > kModalCloseMs) {
                if (auto* dialog = qobject_cast<QDialog*>(open)) {
                    dialog->reject();
                } else {
                    open->close();
                }
            }
            if (next >= steps.size()) return;
            const Step& step = steps[next];
            if (!started) {
                started = true;
                stepStart = Clock::now();
                recorder.SetPhase(step.phase);
                step.start();
                return;
            }
            const bool timedOut = MsSince(stepStart) > step.timeoutMs;
            if (!step.done() && !timedOut) return;
            if (timedOut && step.done() == false && step.timeoutMs >= 3000) {
                std::printf("  (%s: not done after %d ms)\n", step.phase.c_str(), step.timeoutMs);
            }
            ++next;
            started = false;
            if (next == steps.size()) QTimer::singleShot(200, &app, &QApplication::quit);
        });
        recorder.SetPhase(steps[0].phase);
        probe.start(1);
        driver.start(10);
        result = app.exec();
        recorder.EndPhase();
        std::printf("  (macro read: %d buttons set to macros)\n", macroButtons);
        probe.stop();
        driver.stop();
    }
    recorder.Print();
    if (ownData) std::filesystem::remove_all(data);
    return result;
}
