#include "ui/pages/performance/dpi_colour_swatch.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

#include "ui/widgets/colour_button.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/window_message.h"

namespace vantor {

DpiColourSwatch::DpiColourSwatch(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    chooser_ = [](const QColor& start, QWidget* owner) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(start, owner);
        if (!chosen.isValid()) return std::nullopt;
        return chosen;
    };
}

void DpiColourSwatch::SetColor(std::uint32_t colorRef) {
    color_ = colorRef & 0xFFFFFF;
    update();
}

void DpiColourSwatch::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    painter.fillRect(rect(), ColorFromColorRef(color_));
    // A faint edge keeps a dark colour visible on the dark page.
    painter.setPen(QColor(255, 255, 255, 90));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void DpiColourSwatch::SetReadOnly(bool on) {
    readOnly_ = on;
    setCursor(on ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void DpiColourSwatch::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();  // a click on the swatch never drags the window
    if (event->button() != Qt::LeftButton || readOnly_ || !chooser_) return;
    if (!rect().contains(event->position().toPoint())) return;  // released outside
    const std::optional<QColor> chosen = chooser_(ColorFromColorRef(color_), this);
    if (!chosen) return;
    const std::uint32_t colorRef = static_cast<std::uint32_t>(chosen->red()) |
                                   (static_cast<std::uint32_t>(chosen->green()) << 8) |
                                   (static_cast<std::uint32_t>(chosen->blue()) << 16);
    if (SendWindowMessage(parentWidget(), WM_COLOR_CHANGED, colorRef,
                          static_cast<std::intptr_t>(index_) | kColorChangeQuery) == 0) {
        return;
    }
    SetColor(colorRef);
    PostWindowMessage(parentWidget(), WM_COLOR_CHANGED, colorRef, index_);
}

}  // namespace vantor
