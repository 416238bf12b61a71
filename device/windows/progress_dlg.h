// CProgressDlg: the skinned progress window that a requesting window shows modally while
// the apply worker writes to the mouse. The worker finds it by its title "MyProgressDlg..",
// posts the position message 0x42B (wParam = position) and closes it with WM_CLOSE.
//
// Enter, Escape and Space are swallowed, so only the exit button or the worker closes it.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include "controls/skinned_dialog.h"
#include "device/apply_worker.h"

namespace vantor {

class CPngBtn;

class CProgressDlg : public CSkinnedDialog {
    Q_OBJECT

  public:
    explicit CProgressDlg(QWidget* parent = nullptr);
    ~CProgressDlg() override;

    // Set by the creator before the window runs; rectangles in unscaled window coordinates.
    void SetText(const QString& text) { text_ = text; }
    void SetTextRect(const QRect& rect) { textRect_ = rect; }
    // The bar spans x from `left` to `right` (the fill grows from `left`), y `top`-`bottom`.
    void SetBarRect(const QRect& rect) { barRect_ = rect; }
    // Minimum 0 and maximum 10 until set.
    void SetRange(int minimum, int maximum);
    void SetDebugOutput(bool on) { debugOutput_ = on; }

    // Loads the pictures, lays the window out and makes it findable. Showing the window
    // does it once by itself. False when the background picture is missing.
    bool Prepare();

    int Position() const { return position_; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    CPngBtn* ExitButton() const { return exit_; }
    // Right edge of the filled bar part, in window coordinates.
    int FillRight() const;

  protected:
    void PaintContent(QPainter& painter) override;
    bool PreTranslateKey(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void SetPos(std::uintptr_t position);

    QImage bar_;
    QString text_;
    QRect textRect_;
    QRect barRect_;
    int minimum_ = 0;
    int maximum_ = 10;
    int position_ = 0;
    bool debugOutput_ = false;
    bool prepared_ = false;
    QFont font_;
    CPngBtn* exit_ = nullptr;
};

// The restore-defaults action's layout.
inline constexpr QRect kRestoreProgressTextRect{15, 12, 440, 20};
inline constexpr QRect kRestoreProgressBarRect{45, 101, 441, 22};

// Finds the open progress window for the apply worker. Safe to use from the worker
// thread: the window registers itself when it is shown and leaves before it is destroyed,
// and posting to it is guarded by the same lock.
class ProgressWindowSearch : public ProgressWindowFinder {
  public:
    MessagePoster* FindProgressWindow() override;
};

}  // namespace vantor
