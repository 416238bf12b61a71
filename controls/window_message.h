// Window messages between skinned windows: a message number with two values, as the
// controls and the device link exchange them. Posted messages travel as Qt events and
// never block; sent messages are answered at once by the receiver.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <cstdint>

#include "base/poster.h"

namespace vantor {

class WindowMessageEvent : public QEvent {
  public:
    static QEvent::Type EventType();
    WindowMessageEvent(std::uint32_t number, std::uintptr_t w, std::intptr_t l)
        : QEvent(EventType()), message(number), wParam(w), lParam(l) {}

    const std::uint32_t message;
    const std::uintptr_t wParam;
    const std::intptr_t lParam;
};

// A window that answers sent messages (e.g. a slider asking its parent first).
class WindowMessageReceiver {
  public:
    virtual ~WindowMessageReceiver() = default;
    virtual std::intptr_t OnWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                          std::intptr_t lParam) = 0;
};

// Posts to `target` (ignored when it is null); safe from any thread.
void PostWindowMessage(QObject* target, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam);

// Sends to `target` and returns its answer; 1 when it does not answer sent messages.
std::intptr_t SendWindowMessage(QObject* target, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam);

// A MessagePoster for worker threads: posts to a window while it exists.
class QtMessagePoster : public MessagePoster {
  public:
    explicit QtMessagePoster(QObject* target) : target_(target) {}
    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    bool IsValid() const override;

  private:
    QPointer<QObject> target_;
};

}  // namespace vantor
