// SkinnedButton: the image button of every page. It paints itself from skin pictures (normal,
// hover, pressed, disabled, plus an optional icon, pressed-alternative and background),
// draws an optional caption, follows the mouse for the hover look and can act as a push
// button, a check box or a radio button.
//
// A click (button released over the button) emits clicked() and posts WM_COMMAND
// (control id, 0) to the parent when the control id is not 0. With the double-click flag a
// double click posts WM_PNGBTN_DBLCLK (this window, control value) to the parent. A locked
// button ignores presses, releases and double clicks and is painted as a disabled one (its
// value faded, a checked box still checked) under a light grey tint.
//
// The button takes the focus from the Tab key and then shows a frame; Space and Enter act
// as a click (toggling a check box, checking a radio button).
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "ui/widgets/logic/button_state.h"

namespace vantor {

class FocusFrameState;

constexpr std::uint32_t WM_PNGBTN_DBLCLK = 0x703;

// Grey tint over a locked button (ARGB), light enough that its faded value shows through.
constexpr std::uint32_t kLockedVeilArgb = 0x50505050;

class SkinnedButton : public QWidget {
    Q_OBJECT

  public:
    explicit SkinnedButton(QWidget* parent = nullptr);
    ~SkinnedButton() override;

    // Face pictures; a null picture (missing, or width 0) is dropped, and so is a state
    // picture equal to the normal one: such a state shows the normal picture, lightened for
    // hover, darkened for pressed and faded for disabled. With a valid `source` each picture is
    // cropped to it.
    void SetImages(const QImage& normal, const QImage& hover, const QImage& pressed,
                   const QImage& disabled = {}, const QRect& source = {});
    // The same from skin file names ("check_nr.png"); an empty name means no picture.
    // Returns false when the normal picture could not be decoded.
    bool LoadImages(const QString& normal, const QString& hover, const QString& pressed,
                    const QString& disabled = {}, const QRect& source = {});
    void SetPressedAltImage(const QImage& image);
    void SetBackgroundImage(const QImage& image);
    // Icon drawn at `x`, vertically centred (push mode only).
    void SetIcon(const QImage& icon, int x);

    // Caption. `drawFlags` are Qt alignment and text flags; 0 selects single line,
    // vertically centred, and horizontally centred when `leftOffset` is below 1. A caption
    // too long for its rectangle is drawn smaller, then cut with "…" (DrawFittedText).
    void SetText(const QString& text, int leftOffset = 0, int drawFlags = 0);
    QString Text() const { return text_; }
    // Caption rectangle in client coordinates; an empty rectangle means the client area.
    void SetTextRect(const QRect& rect);
    void SetTextColors(const QColor& hover, const QColor& normal, const QColor& pressed);

    // Check mode: the button keeps a checked state; with auto-toggle a press flips it.
    void SetCheckMode(bool checkMode, bool autoToggle = true);
    // Radio mode: check mode where a press checks the button and unchecks every sibling
    // SkinnedButton of the same non-zero group.
    void SetRadio(int group);
    // Sets the checked state; repaints only when it changes.
    void SetCheck(bool checked);
    bool GetCheck() const { return checked_; }
    bool IsCheckMode() const { return checkMode_; }
    bool IsRadio() const { return radioGroup_ != 0; }

    void SetLocked(bool locked);
    bool IsLocked() const { return locked_; }
    void SetPressShift(bool on) { pressShift_ = on; }
    void SetStretch(bool on);
    // Painting is limited to `region` (client coordinates); a null region switches it off.
    void SetClipRegion(const QRegion& region);
    // One-pixel frame in `color` around the button (the UIDebug switch of cfg.ini).
    void SetDebugFrame(bool on, const QColor& color = QColor(255, 0, 255));
    void SetToolTipText(const QString& text);
    void SetDoubleClickNotify(bool on) { doubleClickNotify_ = on; }

    void SetControlId(int id) { controlId_ = id; }
    int ControlId() const { return controlId_; }
    // The value reported with the double-click message (the selected value of a combo).
    void SetControlValue(std::intptr_t value) { controlValue_ = value; }
    std::intptr_t ControlValue() const { return controlValue_; }

    bool IsHover() const { return hover_; }
    bool IsPressed() const { return pressed_; }
    // The look the next paint uses; exposed so tests and previews need no pixels.
    ButtonLook CurrentLook() const;

    // What a click does, for the keyboard and for assistive tools: the press (toggle or
    // radio check) and the click notifications. Nothing while locked or disabled.
    void Click();

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Paints the whole button into `painter` (client coordinates); derived buttons may add.
    virtual void DrawItem(QPainter& painter);

  private:
    FocusFrameState* focusFrame_ = nullptr;  // owned by this control
    QImage FaceImage(ButtonFace face) const;
    void DrawImage(QPainter& painter, const QImage& image, const QRect& target) const;
    // The grey veil of a locked button over the face picture's pixels (none without one).
    void DrawLockedVeil(QPainter& painter, const QImage& face, const QRect& target) const;
    void DrawCaption(QPainter& painter, const QColor& color) const;
    QColor CaptionColor(ButtonTextColor which) const;
    void UncheckRadioSiblings();
    // The check change of a press: toggles or checks as the mode asks.
    void ApplyPressCheck();
    // The notifications of a completed click.
    void NotifyClicked();

    QImage normal_, hoverImage_, pressedImage_, disabledImage_, icon_, pressedAlt_, background_;
    int iconX_ = 0;
    QRect textRect_;
    QString text_;
    int textLeft_ = 0;
    int textFlags_ = 0;
    QColor textHover_{Qt::white}, textNormal_{Qt::white}, textPressed_{Qt::white};
    bool checkMode_ = false;
    bool checked_ = false;
    bool autoToggle_ = false;
    int radioGroup_ = 0;
    bool hover_ = false;
    bool pressed_ = false;
    bool pressShift_ = false;
    QRegion clip_;
    bool locked_ = false;
    bool doubleClickNotify_ = false;
    bool debugFrame_ = false;
    QColor debugColor_;
    bool stretch_ = false;
    int controlId_ = 0;
    std::intptr_t controlValue_ = 0;
};

}  // namespace vantor
