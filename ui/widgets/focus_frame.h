// The frame a skinned control draws around itself while it has the keyboard focus, so that
// Tab shows where the focus is on the self-painted faces.
#pragma once

#include <QObject>
#include <QRect>

class QPainter;
class QWidget;

namespace vantor {

// Draws the focus frame just inside `rect`, whatever clipping the painter has.
void DrawFocusFrame(QPainter& painter, const QRect& rect);

// Whether a control shows its focus frame: only while it has a focus that came from the
// keyboard (Tab, Backtab, a shortcut), not one that a click or the window's activation gave
// it, so the frame marks where the keyboard is without marking a control at every start.
// Watches the control's focus events and repaints it when that changes; owned by it.
class FocusFrameState : public QObject {
  public:
    explicit FocusFrameState(QWidget* control);
    bool Shown() const { return shown_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* control_;
    bool shown_ = false;
};

}  // namespace vantor
