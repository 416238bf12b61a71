// ExitSignalWatcher: SIGTERM and SIGINT (the desktop's or a terminal's request to end) reach
// the window thread as a Qt signal, so the program ends through its normal exit and saves
// what it holds. The signal handler only writes one byte into a pipe; a socket notifier on
// the pipe's other end emits exitRequested() on the thread that made the watcher.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace vantor {

class ExitSignalWatcher : public QObject {
    Q_OBJECT
  public:
    // One watcher at a time; it installs the handlers and puts the old ones back when it goes.
    explicit ExitSignalWatcher(QObject* parent = nullptr);
    ~ExitSignalWatcher() override;
    ExitSignalWatcher(const ExitSignalWatcher&) = delete;
    ExitSignalWatcher& operator=(const ExitSignalWatcher&) = delete;

    // False when the pipe or a handler could not be set up (the signals then end the
    // program as before).
    bool IsWatching() const { return notifier_ != nullptr; }

  signals:
    void exitRequested(int signal);

  private:
    void OnReadable();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vantor
