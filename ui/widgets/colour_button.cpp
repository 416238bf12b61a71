#include "ui/widgets/colour_button.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

#include "ui/widgets/skin_images.h"
#include "ui/widgets/window_message.h"

namespace vantor {

namespace {
std::uint32_t ColorRefFromColor(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}
}  // namespace

ColourButton::ColourButton(QWidget* parent) : QWidget(parent) {}

void ColourButton::SetColor(std::uint32_t colorRef) {
    if (color_ == colorRef) return;
    color_ = colorRef;
    update();
}

void ColourButton::SetFrame(bool shown) {
    frame_ = shown;
    update();
}

void ColourButton::SetFrameColor(std::uint32_t colorRef) {
    frameColor_ = colorRef;
    update();
}

void ColourButton::SetImage(const QImage& image) {
    image_ = image;
    update();
}

void ColourButton::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    if (!image_.isNull()) {
        painter.drawImage(rect(), image_);
    } else {
        painter.fillRect(rect().adjusted(2, 2, -2, -2), ColorFromColorRef(color_));
    }
    if (frame_) {
        painter.setPen(ColorFromColorRef(frameColor_));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ColourButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    PostWindowMessage(parentWidget(), WM_COLORBTN_CLICKED, frame_ ? 0 : 1, index_);
}

void ColourButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pickerEnabled_) return;
    const QColor chosen = QColorDialog::getColor(ColorFromColorRef(color_), this);
    if (!chosen.isValid()) return;
    SetColor(ColorRefFromColor(chosen));
    PostWindowMessage(parentWidget(), WM_COLOR_CHANGED, color_, index_);
}

}  // namespace vantor
