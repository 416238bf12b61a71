// ProgressWindow: the skinned progress window that a requesting window opens while the apply
// worker writes to the mouse. The requesting window hands the window's progress sink to the
// apply request; the worker sets the position and closes the window through it.
//
// Enter, Escape and Space are swallowed, so only the exit button or the worker closes it.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <memory>
#include <mutex>

#include "device/apply_worker.h"
#include "ui/widgets/skinned_popup.h"

namespace vantor {

class SkinnedButton;
class ProgressWindowSink;

// The window's title.
constexpr const char* kProgressWindowTitle = "MyProgressDlg..";

class ProgressWindow : public SkinnedPopup {
    Q_OBJECT

  public:
    explicit ProgressWindow(QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Set by the creator before the window runs; rectangles in unscaled window coordinates.
    void SetText(const QString& text) { text_ = text; }
    void SetTextRect(const QRect& rect) { textRect_ = rect; }
    // The bar spans x from `left` to `right` (the fill grows from `left`), y `top`-`bottom`.
    void SetBarRect(const QRect& rect) { barRect_ = rect; }
    // Minimum 0 and maximum 10 until set.
    void SetRange(int minimum, int maximum);
    void SetDebugOutput(bool on) { debugOutput_ = on; }

    // Loads the pictures and lays the window out. Showing the window does it once by
    // itself. False when the background picture is missing.
    bool Prepare();

    // The sink an apply request reports to: any thread may call it; its calls reach this
    // window on the window thread, and none after the window has closed or gone.
    std::shared_ptr<ProgressSink> Sink();
    // Position `position` when it lies within the range, else the minimum; repaints at once.
    void SetPosition(int position);

    int Position() const { return position_; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    SkinnedButton* ExitButton() const { return exit_; }
    // Right edge of the filled bar part, in window coordinates.
    int FillRight() const;

  protected:
    void PaintContent(QPainter& painter) override;
    bool PreTranslateKey(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    std::shared_ptr<ProgressWindowSink> sink_;

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
    SkinnedButton* exit_ = nullptr;
};

// The restore-defaults action's layout.
inline constexpr QRect kRestoreProgressTextRect{15, 12, 440, 20};
inline constexpr QRect kRestoreProgressBarRect{45, 101, 441, 22};

// ProgressWindow's sink. The window detaches it when it hides or goes; a call that comes
// later does nothing.
class ProgressWindowSink : public ProgressSink {
  public:
    explicit ProgressWindowSink(ProgressWindow* window) : window_(window) {}
    void Detach();
    bool IsOpen() const override;
    void SetPosition(int position) override;
    void Close() override;

  private:
    mutable std::mutex mutex_;  // held while a call is handed to the window
    ProgressWindow* window_;
};

}  // namespace vantor
