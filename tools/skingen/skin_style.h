// The look of the default skin: one dark theme with one accent colour, and the small
// drawing helpers every picture of the skin is made of.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace vantor::skingen {

namespace colours {
inline const QColor kWindowTop(0x1D, 0x1F, 0x25);
inline const QColor kWindowBottom(0x14, 0x15, 0x19);
inline const QColor kPanelTop(0x26, 0x28, 0x30);
inline const QColor kPanelBottom(0x1E, 0x20, 0x27);
inline const QColor kControlTop(0x33, 0x36, 0x40);
inline const QColor kControlBottom(0x2A, 0x2C, 0x35);
inline const QColor kHoverTop(0x3D, 0x41, 0x4D);
inline const QColor kHoverBottom(0x33, 0x36, 0x41);
inline const QColor kBorder(0x3A, 0x3D, 0x48);
inline const QColor kBorderLight(0x4A, 0x4E, 0x5B);
inline const QColor kGroove(0x12, 0x13, 0x17);
inline const QColor kText(0xC8, 0xC8, 0xCC);
inline const QColor kMuted(0x80, 0x84, 0x90);
inline const QColor kAccent(0x00, 0xAA, 0xFF);
inline const QColor kAccentDark(0x00, 0x6E, 0xB0);
inline const QColor kDanger(0xE8, 0x4A, 0x4A);
inline const QColor kWarn(0xF0, 0xB0, 0x30);
inline const QColor kGood(0x3C, 0xC8, 0x78);
}  // namespace colours

// A transparent picture with an antialiasing painter ready on it.
QImage NewPicture(int width, int height);
void Prepare(QPainter& painter);

QPainterPath Rounded(const QRectF& rect, qreal radius);
// Rounded rectangle with a vertical gradient and a one-pixel border, snapped to the pixel
// grid so the edges stay crisp.
void Panel(QPainter& painter, const QRectF& rect, qreal radius, const QColor& top,
           const QColor& bottom, const QColor& border);
// Top view of the mouse shell, x 64..296 and y 22..401, nose at (180, 22).
QPainterPath MouseBody();
// A soft glow of `colour` around `path`.
void Glow(QPainter& painter, const QPainterPath& path, const QColor& colour, int spread);
// Round-capped line.
void Stroke(QPainter& painter, const QPainterPath& path, const QColor& colour, qreal width);

}  // namespace vantor::skingen
