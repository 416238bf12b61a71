#include "ui/widgets/focus_frame.h"

#include <QColor>
#include <QFocusEvent>
#include <QPainter>
#include <QWidget>

namespace vantor {
namespace {

// The accent colour of the skin, clear on the dark faces and on the light ones.
const QColor kFocusFrameColour(0x00, 0xAA, 0xFF);
constexpr int kFrameWidth = 2;

}  // namespace

void DrawFocusFrame(QPainter& painter, const QRect& rect) {
    painter.save();
    painter.setClipping(false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kFocusFrameColour, kFrameWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(1, 1, -1, -1));
    painter.restore();
}

FocusFrameState::FocusFrameState(QWidget* control) : QObject(control), control_(control) {
    control->installEventFilter(this);
}

bool FocusFrameState::eventFilter(QObject* watched, QEvent* event) {
    if (watched == control_ && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        shown_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                 reason == Qt::ShortcutFocusReason;
        control_->update();
    } else if (watched == control_ && event->type() == QEvent::FocusOut) {
        shown_ = false;
        control_->update();
    }
    return false;
}

}  // namespace vantor
