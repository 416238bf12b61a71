#include "controls/focus_frame.h"

#include <QColor>
#include <QPainter>

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

}  // namespace vantor
