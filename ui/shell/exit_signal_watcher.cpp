#include "ui/shell/exit_signal_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "base/log.h"

namespace vantor {
namespace {

constexpr std::array<int, 2> kExitSignals = {SIGTERM, SIGINT};

int g_writeEnd = -1;  // written by the handler only
int g_readEnd = -1;
std::array<struct sigaction, kExitSignals.size()> g_oldActions{};

void OnExitSignal(int signal) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // A full pipe already holds a request; nothing more is needed.
    (void)!write(g_writeEnd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

ExitSignalWatcher::ExitSignalWatcher(QObject* parent) : QObject(parent) {
    if (g_writeEnd >= 0) return;  // another watcher has the signals
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        DbgLog("ExitSignalWatcher: pipe err=%d", errno);
        return;
    }
    g_readEnd = fds[0];
    g_writeEnd = fds[1];
    struct sigaction action {};
    action.sa_handler = OnExitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kExitSignals.size(); ++i) {
        sigaction(kExitSignals[i], &action, &g_oldActions[i]);
    }
    notifier_ = new QSocketNotifier(g_readEnd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ExitSignalWatcher::OnReadable);
}

ExitSignalWatcher::~ExitSignalWatcher() {
    if (notifier_ == nullptr) return;
    for (std::size_t i = 0; i < kExitSignals.size(); ++i) {
        sigaction(kExitSignals[i], &g_oldActions[i], nullptr);
    }
    delete notifier_;
    notifier_ = nullptr;
    close(g_readEnd);
    close(g_writeEnd);
    g_readEnd = -1;
    g_writeEnd = -1;
}

void ExitSignalWatcher::OnReadable() {
    unsigned char byte = 0;
    int last = 0;
    while (read(g_readEnd, &byte, 1) == 1) last = byte;
    if (last == 0) return;
    DbgLog("Exit signal %d", last);
    emit exitRequested(last);
}

}  // namespace vantor
