#include "ui/widgets/transient_note.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "ui/widgets/fitted_text.h"

namespace vantor {
namespace {

const QColor kNoteFill(20, 60, 36, 235);
const QColor kNoteEdge(80, 200, 120);
const QColor kNoteText(225, 250, 232);
constexpr int kPaddingX = 16;
constexpr int kPaddingY = 8;
constexpr int kBottomMargin = 24;
constexpr qreal kCornerRadius = 8;

}  // namespace

TransientNote::TransientNote(QWidget* window) : QLabel(window) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide_.setSingleShot(true);
    connect(&hide_, &QTimer::timeout, this, &QWidget::hide);
    hide();
}

void TransientNote::ShowNote(const QString& text) {
    setText(text);
    QWidget* window = parentWidget();
    const QFontMetrics metrics(font());
    const int maxWidth = std::max(window->width() * 2 / 3, 1);
    const int width = std::min(metrics.horizontalAdvance(text) + 2 * kPaddingX + 2, maxWidth);
    const int height = metrics.height() + 2 * kPaddingY;
    setGeometry((window->width() - width) / 2, window->height() - height - kBottomMargin, width,
                height);
    show();
    raise();
    update();
    hide_.start(kShownMs);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void TransientNote::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kNoteEdge, 1.5));
    painter.setBrush(kNoteFill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), kCornerRadius, kCornerRadius);
    painter.setPen(kNoteText);
    painter.setFont(font());
    DrawFittedText(painter, rect().adjusted(kPaddingX, 0, -kPaddingX, 0), Qt::AlignCenter, text());
}

}  // namespace vantor
