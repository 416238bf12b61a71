// Window messages between skinned windows: a message number with two values, as the
// controls and the device link exchange them. Posted messages travel as Qt events and
// never block; sent messages are answered at once by the receiver.
#pragma once

#include <QEvent>
#include <QObject>
#include <cstdint>
#include <mutex>

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

// A MessagePoster for worker threads: posts to a window while it exists. The target is
// held under a lock that Post takes too, and it is let go before the window is destroyed
// (when it is destroyed at the latest), so a worker never posts to a window that is gone.
class QtMessagePoster : public MessagePoster {
  public:
    // Made on the target's thread.
    explicit QtMessagePoster(QObject* target);
    ~QtMessagePoster() override;
    QtMessagePoster(const QtMessagePoster&) = delete;
    QtMessagePoster& operator=(const QtMessagePoster&) = delete;

    // Any thread; does nothing once the target is gone.
    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    bool IsValid() const override;
    // On the target's thread, e.g. in the window's destructor: nothing is posted any more.
    void Detach();

  private:
    mutable std::mutex mutex_;
    QObject* target_ = nullptr;
    QMetaObject::Connection destroyed_;
};

}  // namespace vantor
