#include "ui/widgets/window_message.h"

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

QtMessagePoster::QtMessagePoster(QObject* target) : target_(target) {
    // destroyed() comes before QObject removes the events still posted to the target, so an
    // event posted up to the detach is removed with the others and none comes after.
    if (target != nullptr) {
        destroyed_ = QObject::connect(target, &QObject::destroyed, [this] { Detach(); });
    }
}

QtMessagePoster::~QtMessagePoster() {
    QObject::disconnect(destroyed_);
}

void QtMessagePoster::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (target_ != nullptr) PostWindowMessage(target_, message, wParam, lParam);
}

bool QtMessagePoster::IsValid() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return target_ != nullptr;
}

void QtMessagePoster::Detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    target_ = nullptr;
}

}  // namespace vantor
