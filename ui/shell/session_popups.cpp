#include "ui/shell/session_popups.h"

#include <QWidget>
#include <algorithm>

#include "ui/popups/message_window.h"
#include "ui/popups/progress_window.h"

namespace vantor {

SessionPopups::SessionPopups(QWidget* owner) : QObject(owner), owner_(owner) {}

MessageWindow* SessionPopups::NewMessage(int mode, const std::string& text) {
    auto* dialog = new MessageWindow(owner_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->SetMode(mode);
    dialog->SetPrompt(QString::fromStdString(text));
    if (!dialog->Prepare()) {
        delete dialog;
        return nullptr;
    }
    return dialog;
}

MessageWindow* SessionPopups::ReadWait() const {
    return readWait_;
}

ProgressWindow* SessionPopups::Progress() const {
    return progress_;
}

void SessionPopups::ShowNotice(const std::string& text) {
    MessageWindow* notice = NewMessage(kMsgMessage, text);
    if (notice == nullptr) return;
    notices_.push_back(notice);
    connect(notice, &QDialog::finished, this, [this, notice] { NoticeClosed(notice); });
    notice->open();
}

void SessionPopups::NoticeClosed(MessageWindow* notice) {
    notices_.erase(std::remove(notices_.begin(), notices_.end(), notice), notices_.end());
    if (!notices_.empty()) return;
    std::vector<std::function<void()>> waiting;
    waiting.swap(afterNotices_);
    for (const std::function<void()>& then : waiting) then();
}

void SessionPopups::AfterNotices(std::function<void()> then) {
    if (notices_.empty()) {
        then();
        return;
    }
    afterNotices_.push_back(std::move(then));
}

void SessionPopups::AskOkCancel(const std::string& text, std::function<void()> onOk) {
    MessageWindow* question = NewMessage(kMsgQuestion, text);
    if (question == nullptr) return;
    connect(question, &QDialog::accepted, this, [onOk = std::move(onOk)] {
        if (onOk) onOk();
    });
    question->open();
}

void SessionPopups::ShowReadWait(const std::string& text) {
    if (progress_ != nullptr && progress_->isVisible()) {
        waitBehindProgress_ = text;
        return;
    }
    if (readWait_ != nullptr && readWait_->isVisible()) {
        readWait_->SetPrompt(QString::fromStdString(text));
        readWait_->update();
        return;
    }
    auto* wait = new MessageWindow(owner_);
    wait->setAttribute(Qt::WA_DeleteOnClose);
    wait->SetMode(kMsgMessage);
    wait->SetPrompt(QString::fromStdString(text));
    wait->SetClosedByOwner(true);
    if (!wait->Prepare()) {
        delete wait;
        return;
    }
    readWait_ = wait;
    wait->open();
}

void SessionPopups::CloseReadWait() {
    waitBehindProgress_.reset();
    // Closed now and deleted later: a read asked for meanwhile gets a window of its own.
    if (readWait_ != nullptr) readWait_->done(QDialog::Accepted);
    readWait_ = nullptr;
}

std::shared_ptr<ProgressSink> SessionPopups::OpenProgress(const std::string& text) {
    auto* progress = new ProgressWindow(owner_);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->SetText(QString::fromStdString(text));
    progress->SetTextRect(kRestoreProgressTextRect);
    progress->SetBarRect(kRestoreProgressBarRect);
    progress->SetRange(0, 100);
    if (!progress->Prepare()) {
        delete progress;
        return nullptr;
    }
    progress_ = progress;
    connect(progress, &QDialog::finished, this, &SessionPopups::ProgressClosed);
    progress->open();
    return progress->Sink();
}

void SessionPopups::CloseProgress() {
    if (progress_ != nullptr) progress_->done(QDialog::Accepted);
}

void SessionPopups::ProgressClosed() {
    progress_ = nullptr;
    if (!waitBehindProgress_) return;
    const std::string text = *waitBehindProgress_;
    waitBehindProgress_.reset();
    ShowReadWait(text);
}

}  // namespace vantor
