#include "controls/window_message.h"

#include <QCoreApplication>

namespace vantor {

QEvent::Type WindowMessageEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostWindowMessage(QObject* target, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    if (target == nullptr) return;
    QCoreApplication::postEvent(target, new WindowMessageEvent(message, wParam, lParam));
}

std::intptr_t SendWindowMessage(QObject* target, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    auto* receiver = dynamic_cast<WindowMessageReceiver*>(target);
    return receiver != nullptr ? receiver->OnWindowMessage(message, wParam, lParam) : 1;
}

void QtMessagePoster::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    // QPointer is not thread-safe to read while the window is being destroyed; the window
    // thread clears the target before it destroys the window (see IsValid).
    QObject* target = target_.data();
    if (target != nullptr) PostWindowMessage(target, message, wParam, lParam);
}

bool QtMessagePoster::IsValid() const {
    return !target_.isNull();
}

}  // namespace vantor
