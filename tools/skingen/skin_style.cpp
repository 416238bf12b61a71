#include "tools/skingen/skin_style.h"

#include <QLinearGradient>
#include <QPen>

namespace vantor::skingen {

QImage NewPicture(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Prepare(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

QPainterPath Rounded(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void Panel(QPainter& painter, const QRectF& rect, qreal radius, const QColor& top,
           const QColor& bottom, const QColor& border) {
    // A one-pixel pen centred on half pixels lands exactly on the outer pixel row.
    const QRectF inner = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient gradient(inner.topLeft(), inner.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.save();
    painter.setPen(border.isValid() ? QPen(border, 1) : Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawPath(Rounded(inner, radius));
    painter.restore();
}

QPainterPath MouseBody() {
    QPainterPath body;
    body.moveTo(180, 22);
    body.cubicTo(250, 22, 292, 60, 296, 150);
    body.cubicTo(300, 230, 292, 330, 262, 380);
    body.cubicTo(240, 408, 120, 408, 98, 380);
    body.cubicTo(68, 330, 60, 230, 64, 150);
    body.cubicTo(68, 60, 110, 22, 180, 22);
    return body;
}

void Glow(QPainter& painter, const QPainterPath& path, const QColor& colour, int spread) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (int i = spread; i > 0; --i) {
        QColor c = colour;
        c.setAlpha(colour.alpha() * (spread - i + 1) / (spread * 4));
        painter.setPen(QPen(c, i * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    }
    painter.restore();
}

void Stroke(QPainter& painter, const QPainterPath& path, const QColor& colour, qreal width) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    painter.restore();
}

}  // namespace vantor::skingen
