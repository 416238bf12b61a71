#include "ui/widgets/skinned_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/widgets/control_accessibility.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/focus_frame.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

QImage Cropped(const QImage& image, const QRect& source) {
    if (image.isNull() || image.width() == 0) return {};
    if (!source.isValid()) return image;
    return image.copy(source);
}

// A state picture equal to the normal one counts as absent, so the state gets its own tint.
QImage UnlessSame(const QImage& image, const QImage& normal) {
    return !image.isNull() && image == normal ? QImage() : image;
}

constexpr qreal kDisabledCaptionOpacity = 0.45;
constexpr qreal kDisabledFaceOpacity = 0.5;

// A picture lightened (hover) or darkened (pressed) where it is opaque: the look of a state
// that has no picture of its own.
QImage Tinted(const QImage& image, const QColor& tint) {
    QImage tinted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(tinted.rect(), tint);
    return tinted;
}

// A picture faded to half its opacity: the disabled look of a button without a disabled
// picture. Darkening it, as for pressed, made a disabled button look pressed.
QImage Faded(const QImage& image) {
    QImage faded(image.size(), QImage::Format_ARGB32_Premultiplied);
    faded.fill(Qt::transparent);
    QPainter painter(&faded);
    painter.setOpacity(kDisabledFaceOpacity);
    painter.drawImage(0, 0, image);
    return faded;
}

QImage LoadOptional(const QString& file) {
    return file.isEmpty() ? QImage() : LoadSkinImage(file);
}

}  // namespace

SkinnedButton::SkinnedButton(QWidget* parent) : QWidget(parent) {
    EnsureControlAccessibility();
    focusFrame_ = new FocusFrameState(this);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, false);
    // Tab reaches every button; a click leaves the focus where it was (a text box keeps it).
    setFocusPolicy(Qt::TabFocus);
}

SkinnedButton::~SkinnedButton() = default;

void SkinnedButton::SetImages(const QImage& normal, const QImage& hover, const QImage& pressed,
                              const QImage& disabled, const QRect& source) {
    normal_ = Cropped(normal, source);
    hoverImage_ = UnlessSame(Cropped(hover, source), normal_);
    pressedImage_ = UnlessSame(Cropped(pressed, source), normal_);
    disabledImage_ = UnlessSame(Cropped(disabled, source), normal_);
    update();
}

bool SkinnedButton::LoadImages(const QString& normal, const QString& hover, const QString& pressed,
                               const QString& disabled, const QRect& source) {
    SetImages(LoadOptional(normal), LoadOptional(hover), LoadOptional(pressed),
              LoadOptional(disabled), source);
    return !normal_.isNull();
}

void SkinnedButton::SetPressedAltImage(const QImage& image) {
    pressedAlt_ = Cropped(image, {});
    update();
}

void SkinnedButton::SetBackgroundImage(const QImage& image) {
    background_ = Cropped(image, {});
    update();
}

void SkinnedButton::SetIcon(const QImage& icon, int x) {
    icon_ = Cropped(icon, {});
    iconX_ = x;
    update();
}

void SkinnedButton::SetText(const QString& text, int leftOffset, int drawFlags) {
    text_ = text;
    textLeft_ = leftOffset;
    textFlags_ = drawFlags;
    update();
}

void SkinnedButton::SetTextRect(const QRect& rect) {
    textRect_ = rect;
    update();
}

void SkinnedButton::SetTextColors(const QColor& hover, const QColor& normal,
                                  const QColor& pressed) {
    textHover_ = hover;
    textNormal_ = normal;
    textPressed_ = pressed;
    update();
}

void SkinnedButton::SetCheckMode(bool checkMode, bool autoToggle) {
    checkMode_ = checkMode;
    autoToggle_ = autoToggle;
    if (!checkMode) radioGroup_ = 0;
    update();
}

void SkinnedButton::SetRadio(int group) {
    checkMode_ = true;
    autoToggle_ = false;
    radioGroup_ = group;
    update();
}

void SkinnedButton::SetCheck(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    update();
}

void SkinnedButton::SetLocked(bool locked) {
    if (locked_ == locked) return;
    locked_ = locked;
    if (locked) pressed_ = false;
    update();
}

void SkinnedButton::SetStretch(bool on) {
    stretch_ = on;
    update();
}

void SkinnedButton::SetClipRegion(const QRegion& region) {
    clip_ = region;
    update();
}

void SkinnedButton::SetDebugFrame(bool on, const QColor& color) {
    debugFrame_ = on;
    debugColor_ = color;
    update();
}

void SkinnedButton::SetToolTipText(const QString& text) {
    setToolTip(text);
}

ButtonLook SkinnedButton::CurrentLook() const {
    ButtonStateInput state;
    state.checkMode = checkMode_;
    state.checked = checked_;
    state.pressed = pressed_;
    state.hover = hover_;
    state.disabled = !isEnabled() || locked_;
    state.hasPressedAlt = !pressedAlt_.isNull();
    return ChooseButtonLook(state);
}

QImage SkinnedButton::FaceImage(ButtonFace face) const {
    const QImage* image = &normal_;
    switch (face) {
        case ButtonFace::Normal:
            break;
        case ButtonFace::Hover:
            image = &hoverImage_;
            break;
        case ButtonFace::Pressed:
            image = &pressedImage_;
            break;
        case ButtonFace::Disabled:
            image = &disabledImage_;
            break;
        case ButtonFace::PressedAlt:
            image = &pressedAlt_;
            break;
        case ButtonFace::DisabledChecked: {
            const QImage checked = FaceImage(ButtonFace::Pressed);
            return checked.isNull() ? checked : Faded(checked);
        }
    }
    if (!image->isNull() || normal_.isNull()) return *image;
    // A state without its own picture shows the normal one, tinted for hover, pressed and
    // disabled.
    switch (face) {
        case ButtonFace::Hover:
            return Tinted(normal_, QColor(255, 255, 255, 36));
        case ButtonFace::Pressed:
            return Tinted(normal_, QColor(0, 0, 0, 70));
        case ButtonFace::Disabled:
            return Faded(normal_);
        default:
            return normal_;
    }
}

QColor SkinnedButton::CaptionColor(ButtonTextColor which) const {
    switch (which) {
        case ButtonTextColor::Hover:
            return textHover_;
        case ButtonTextColor::Pressed:
            return textPressed_;
        case ButtonTextColor::Disabled: {
            QColor dimmed = textNormal_;
            dimmed.setAlpha(static_cast<int>(dimmed.alpha() * kDisabledCaptionOpacity));
            return dimmed;
        }
        case ButtonTextColor::Normal:
            break;
    }
    return textNormal_;
}

void SkinnedButton::DrawImage(QPainter& painter, const QImage& image, const QRect& target) const {
    if (image.isNull()) return;
    if (!stretch_ || image.size() == target.size()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, !stretch_);
        painter.drawImage(target, image);
        return;
    }
    // Sharp stretch: every target pixel takes the source pixel under its centre (the
    // half-pixel offset), edges repeat mirrored instead of blending with nothing.
    const QImage scaled =
        image.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target.topLeft(), scaled);
}

void SkinnedButton::DrawLockedVeil(QPainter& painter, const QImage& face,
                                   const QRect& target) const {
    // A button without a picture (a value label) shows its dimmed caption alone.
    if (face.isNull()) return;
    const QColor veil = QColor::fromRgba(kLockedVeilArgb);
    // The veil takes the face's outline, so a round or rounded picture stays round instead
    // of turning into a grey rectangle.
    QImage shaped(target.size(), QImage::Format_ARGB32_Premultiplied);
    shaped.fill(Qt::transparent);
    {
        QPainter shape(&shaped);
        DrawImage(shape, face, shaped.rect());
        shape.setCompositionMode(QPainter::CompositionMode_SourceIn);
        shape.fillRect(shaped.rect(), veil);
    }
    painter.drawImage(target.topLeft(), shaped);
}

void SkinnedButton::DrawCaption(QPainter& painter, const QColor& color) const {
    if (text_.isEmpty()) return;
    QRect rect = textRect_.isValid() ? textRect_ : this->rect();
    rect.setLeft(rect.left() + textLeft_);
    if (pressShift_ && pressed_) rect.translate(1, 1);
    painter.setPen(color);
    painter.setFont(font());
    int flags = textFlags_;
    if (flags == 0) {
        flags = Qt::AlignVCenter | Qt::TextSingleLine;
        flags |= textLeft_ < 1 ? Qt::AlignHCenter : Qt::AlignLeft;
        // A centred caption keeps clear of the face's rounded edges.
        if (textLeft_ < 1) {
            const int padding = std::max(2, font().pixelSize() / 4);
            rect.adjust(padding, 0, -padding, 0);
        }
    }
    DrawFittedText(painter, rect, flags, text_);
}

void SkinnedButton::DrawItem(QPainter& painter) {
    const QRect client = rect();
    if (!clip_.isNull()) painter.setClipRegion(clip_);
    DrawImage(painter, background_, client);

    const ButtonLook look = CurrentLook();
    const QImage face = FaceImage(look.face);
    DrawImage(painter, face, client);
    if (!checkMode_ && !icon_.isNull()) {
        const bool shift = pressShift_ && pressed_;
        const QPoint at(iconX_ - (shift ? 1 : 0),
                        (client.height() - icon_.height()) / 2 + (shift ? 1 : 0));
        painter.drawImage(at, icon_);
    }
    DrawCaption(painter, CaptionColor(look.color));

    if (locked_) DrawLockedVeil(painter, face, client);
    if (focusFrame_->Shown()) DrawFocusFrame(painter, client);
    if (debugFrame_) {
        painter.setPen(debugColor_);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(client.adjusted(0, 0, -1, -1));
    }
}

void SkinnedButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    DrawItem(painter);
}

void SkinnedButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    if (locked_) return;
    pressed_ = true;
    ApplyPressCheck();
    update();
}

void SkinnedButton::ApplyPressCheck() {
    if (radioGroup_ != 0) {
        if (!checked_) {
            checked_ = true;
            UncheckRadioSiblings();
        }
    } else if (checkMode_ && autoToggle_) {
        checked_ = !checked_;
    }
}

void SkinnedButton::NotifyClicked() {
    if (controlId_ != 0) {
        PostWindowMessage(parentWidget(), WM_COMMAND, static_cast<std::uintptr_t>(controlId_), 0);
    }
    emit clicked();
}

void SkinnedButton::Click() {
    if (locked_ || !isEnabled()) return;
    ApplyPressCheck();
    update();
    NotifyClicked();
}

void SkinnedButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!event->isAutoRepeat()) Click();
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void SkinnedButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (locked_ || !pressed_) return;
    pressed_ = false;
    update();
    if (!rect().contains(event->position().toPoint())) return;
    NotifyClicked();
}

void SkinnedButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    if (locked_) return;
    if (doubleClickNotify_) {
        PostWindowMessage(parentWidget(), WM_PNGBTN_DBLCLK, reinterpret_cast<std::uintptr_t>(this),
                          controlValue_);
    }
    // The second press of a double click counts as a press, as on a plain button.
    mousePressEvent(event);
}

void SkinnedButton::mouseMoveEvent(QMouseEvent* event) {
    if (!hover_) {
        hover_ = true;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void SkinnedButton::leaveEvent(QEvent* event) {
    if (hover_) {
        hover_ = false;
        update();
    }
    QWidget::leaveEvent(event);
}

void SkinnedButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            hover_ = false;
            pressed_ = false;
        }
        update();
    }
    QWidget::changeEvent(event);
}

void SkinnedButton::UncheckRadioSiblings() {
    QWidget* parent = parentWidget();
    if (parent == nullptr) return;
    for (SkinnedButton* sibling :
         parent->findChildren<SkinnedButton*>(Qt::FindDirectChildrenOnly)) {
        if (sibling != this && sibling->radioGroup_ == radioGroup_) sibling->SetCheck(false);
    }
}

}  // namespace vantor
