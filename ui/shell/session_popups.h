// The main window's pop-ups that the device session opens: notices, the restore question,
// the read wait and the progress windows. The session opens them from the handlers of its
// results, so none of them runs a modal loop of its own: each is opened window-modal and the
// program goes on; answers come back through callbacks, and the read wait and the progress
// windows are closed by the results they wait for.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/apply_worker.h"

class QWidget;

namespace vantor {

class MessageWindow;
class ProgressWindow;

class SessionPopups : public QObject {
    Q_OBJECT
  public:
    // `owner` (the main window) is the parent of every pop-up.
    explicit SessionPopups(QWidget* owner);

    void ShowNotice(const std::string& text);
    // `onOk` runs when the user answers OK.
    void AskOkCancel(const std::string& text, std::function<void()> onOk);
    // One wait window at a time, shown until CloseReadWait. While a progress window is open
    // it waits behind it and shows when the progress window closes, unless the read has
    // ended by then.
    void ShowReadWait(const std::string& text);
    void CloseReadWait();
    // A progress window with `text` (the restore layout); null when it cannot be shown.
    std::shared_ptr<ProgressSink> OpenProgress(const std::string& text);
    // Closes the progress window opened last, if it is still open.
    void CloseProgress();

    // Runs `then` once no notice is open (at once when none is).
    void AfterNotices(std::function<void()> then);

    // What is open, for the window's tests.
    MessageWindow* ReadWait() const;
    ProgressWindow* Progress() const;
    int OpenNotices() const { return static_cast<int>(notices_.size()); }

  private:
    MessageWindow* NewMessage(int mode, const std::string& text);
    void NoticeClosed(MessageWindow* notice);
    void ProgressClosed();

    QWidget* owner_;
    QPointer<MessageWindow> readWait_;
    std::optional<std::string> waitBehindProgress_;
    QPointer<ProgressWindow> progress_;
    std::vector<MessageWindow*> notices_;
    std::vector<std::function<void()>> afterNotices_;
};

}  // namespace vantor
