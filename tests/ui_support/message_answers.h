// Answers the skinned message and question windows that open while it lives, as a user
// would: keeps each text and presses OK, or closes the window when `answer` says no.
#pragma once

#include <QApplication>
#include <QString>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

#include "ui/popups/message_window.h"

namespace vantor::test {

class MessageAnswers {
  public:
    explicit MessageAnswers(std::function<bool(const QString&)> answer = {})
        : answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* message = qobject_cast<MessageWindow*>(QApplication::activeModalWidget());
            if (message == nullptr || !message->isVisible() || message->ClosesByItself()) return;
            texts_.push_back(message->Prompt());
            if (!answer_ || answer_(message->Prompt())) {
                message->OnOk();
            } else {
                message->reject();
            }
        });
        timer_.start(20);
    }

    const std::vector<QString>& Texts() const { return texts_; }

  private:
    std::function<bool(const QString&)> answer_;
    std::vector<QString> texts_;
    QTimer timer_;
};

}  // namespace vantor::test
