// Test helpers for controls that post window messages and react to the mouse: a widget
// that keeps every window message posted to it, and direct mouse events (no cursor needed).
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <cstdint>
#include <utility>
#include <vector>

#include "ui/widgets/window_message.h"

namespace vantor::test {

struct PostedMessage {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool operator==(const PostedMessage&) const = default;
};

class WindowMessageLog : public QWidget {
  public:
    // Delivers what was posted so far and hands it over.
    std::vector<PostedMessage> Take() {
        QCoreApplication::sendPostedEvents(this);
        return std::exchange(messages_, {});
    }

  protected:
    bool event(QEvent* event) override {
        if (event->type() == WindowMessageEvent::EventType()) {
            auto* message = static_cast<WindowMessageEvent*>(event);
            messages_.push_back({message->message, message->wParam, message->lParam});
            return true;
        }
        return QWidget::event(event);
    }

  private:
    std::vector<PostedMessage> messages_;
};

inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::LeftButton) {
    const bool held = type != QEvent::MouseButtonRelease && button != Qt::NoButton;
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button,
                      held ? Qt::MouseButtons(button) : Qt::MouseButtons(), Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void MoveMouse(QWidget* widget, QPoint pos) {
    SendMouse(widget, QEvent::MouseMove, pos, Qt::NoButton);
}

// Runs pending deleteLater() calls.
inline void DeletePending() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace vantor::test
