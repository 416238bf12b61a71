// Base class of the skinned pop-up windows (message, fire key, picker, movement, progress,
// About...). It gives every pop-up the same frame:
//
//  - InitSkin(file) loads the background picture from the skins folder, sizes the window
//    to it (doubled in the 4K layout), centres it on the parent window and cuts the outline
//    with the pop-up mask colour clrMaskDialog (tolerance 0). The window title is
//    "VantorMsgTopWindow".
//  - Painting goes into an off-screen pixmap of the window's size: the background is drawn
//    stretched over it, then PaintContent() adds texts (transparent background), then the
//    pixmap reaches the screen in one step.
//  - Pressing the left mouse button on the window itself (not on a child control) and
//    dragging moves the window.
//  - Keys: Escape cancels the window (OnEscapeKey, by default reject()); Enter on a focused
//    button clicks that button, elsewhere it calls OnEnterKey, which a window with an OK
//    overrides (OnEnterKey() { OnOk(); }); F1 is swallowed. Space and every other key go to
//    the focused control: a text box takes them, a button clicks. Tab moves the focus.
//
// Typical use:
//     class CMyDlg : public SkinnedPopup {
//         CMyDlg(QWidget* parent) : SkinnedPopup(parent) {
//             if (!InitSkin("msg_nr.png")) { ... the caller does not run it ... }
//         }
//         void PaintContent(QPainter& p) override { DrawText(p, LayoutRect({..}), ...); }
//     };
#pragma once

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QKeyEvent;
class QPainter;

namespace vantor {

// Title of every skinned pop-up window.
inline constexpr const char* kSkinnedDialogTitle = "VantorMsgTopWindow";

class SkinnedPopup : public QDialog {
    Q_OBJECT

  public:
    explicit SkinnedPopup(QWidget* parent = nullptr);
    ~SkinnedPopup() override;

    // Loads `file` from the skins folder and lays the window out around it. False (and
    // nothing changed) when the picture cannot be decoded.
    bool InitSkin(const QString& file);
    bool HasSkin() const { return !background_.isNull(); }

    // The background as loaded (unscaled), and as painted (doubled in the 4K layout).
    const QImage& Background() const { return background_; }
    const QImage& DisplayBackground() const { return display_; }

    // The part of the displayed background under `rect` (window coordinates), the
    // backing picture of a child control placed there.
    QImage BackgroundUnder(const QRect& rect) const;

    // Moving by dragging is on by default.
    void SetDragMoves(bool on) { dragMoves_ = on; }

    // Centres the window on its parent window (on the primary screen without a parent).
    void CenterOnParent();

  protected:
    // Draws on top of the background, in window coordinates; the painter's font is
    // WindowFont(). Default: nothing.
    virtual void PaintContent(QPainter& painter);

    // Key hooks, called on key press of Enter (Return or keypad Enter, unless a button has
    // the focus), Escape and F1. Enter and F1 do nothing by default; Escape cancels.
    virtual void OnEnterKey() {}
    virtual void OnEscapeKey() { reject(); }
    virtual void OnHelpKey() {}

    // Sees every key press and release meant for this window or one of its children before
    // they do; true swallows it. The default handles the three keys above. Override to
    // capture other keys (call the base for the rest).
    virtual bool PreTranslateKey(QKeyEvent* event);
    // The control the key being looked at in PreTranslateKey is meant for.
    QWidget* KeyTarget() const { return keyTarget_; }

    // Draws `text` into `rect` in `colour` with a transparent background, fitted to the
    // rectangle (DrawFittedText).
    static void DrawText(QPainter& painter, const QRect& rect, const QString& text,
                         const QColor& colour, int flags = Qt::AlignLeft | Qt::AlignVCenter);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* keyTarget_ = nullptr;
    QImage background_;
    QImage display_;
    bool dragMoves_ = true;
    bool dragging_ = false;
    QPoint dragOffset_;
};

}  // namespace vantor
