#include "ui/widgets/skinned_popup.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include "base/skin_style.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/window_outline.h"

namespace vantor {

SkinnedPopup::SkinnedPopup(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowTitle(QString::fromLatin1(kSkinnedDialogTitle));
    setFont(WindowFont());
    // Keys are looked at before the focused child gets them, as a pop-up's message
    // pre-translation does.
    qApp->installEventFilter(this);
}

SkinnedPopup::~SkinnedPopup() {
    qApp->removeEventFilter(this);
}

bool SkinnedPopup::InitSkin(const QString& file) {
    QImage picture = LoadSkinImage(file);
    if (picture.isNull()) return false;
    background_ = std::move(picture);
    display_ = Is4KLayout() ? ScaledCopy(background_, 2) : background_;
    if (CurrentSkinStyle().popupMaskColour != 0) display_ = OpaqueWithinOutline(display_);
    setFixedSize(display_.size());
    CenterOnParent();
    ApplyWindowOutline(this, display_, CurrentSkinStyle().popupMaskColour, 0);
    update();
    return true;
}

QImage SkinnedPopup::BackgroundUnder(const QRect& rect) const {
    return BackgroundCrop(display_, rect);
}

void SkinnedPopup::CenterOnParent() {
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner != nullptr) {
        area = owner->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isEmpty()) return;
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void SkinnedPopup::PaintContent(QPainter& /*painter*/) {}

bool SkinnedPopup::PreTranslateKey(QKeyEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A focused button takes Enter as its own click (Cancel cancels).
            if (qobject_cast<SkinnedButton*>(focusWidget()) != nullptr) return false;
            if (press) OnEnterKey();
            return true;
        case Qt::Key_Escape:
            if (press) OnEscapeKey();
            return true;
        case Qt::Key_F1:
            if (press) OnHelpKey();
            return true;
        default:
            return false;
    }
}

void SkinnedPopup::DrawText(QPainter& painter, const QRect& rect, const QString& text,
                            const QColor& colour, int flags) {
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(colour);
    DrawFittedText(painter, rect, flags, text);
    painter.restore();
}

void SkinnedPopup::paintEvent(QPaintEvent* /*event*/) {
    const qreal ratio = devicePixelRatioF();
    QPixmap buffer(size() * ratio);
    buffer.setDevicePixelRatio(ratio);
    buffer.fill(Qt::transparent);
    {
        QPainter painter(&buffer);
        if (!display_.isNull()) painter.drawImage(rect(), display_);
        painter.setFont(font());
        painter.setRenderHint(QPainter::TextAntialiasing);
        PaintContent(painter);
    }
    QPainter screen(this);
    screen.setCompositionMode(QPainter::CompositionMode_Source);
    screen.drawPixmap(0, 0, buffer);
}

void SkinnedPopup::mousePressEvent(QMouseEvent* event) {
    if (dragMoves_ && event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void SkinnedPopup::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void SkinnedPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QDialog::mouseReleaseEvent(event);
}

bool SkinnedPopup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this) {
            keyTarget_ = widget;
            return PreTranslateKey(static_cast<QKeyEvent*>(event));
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vantor
