// MovementWindow: the movement input window of the macro editor, where the user types the
// horizontal and vertical displacement (-127..127) of a mouse-movement event. Skinned on
// "msg_nr.png"; the caller sets both values, runs the window and reads them back on OK.
#pragma once

#include "ui/widgets/skinned_popup.h"

class QLineEdit;

namespace vantor {

class SkinnedButton;

constexpr int kMoveXEditId = 513;
constexpr int kMoveYEditId = 514;

class MovementWindow : public SkinnedPopup {
    Q_OBJECT

  public:
    explicit MovementWindow(QWidget* parent = nullptr);

    // Set before the window runs; read after OK.
    void SetValues(int x, int y) {
        x_ = x;
        y_ = y;
    }
    int X() const { return x_; }
    int Y() const { return y_; }

    // Creates the controls for the preset values; showing the window does it once by itself.
    // False when the background picture is missing.
    bool Prepare();
    // Rejected at once (values unchanged) when the background picture is missing.
    int exec() override;

    QLineEdit* XEdit() const { return xEdit_; }
    QLineEdit* YEdit() const { return yEdit_; }
    SkinnedButton* OkButton() const { return ok_; }
    SkinnedButton* CancelButton() const { return cancel_; }
    SkinnedButton* CloseButton() const { return close_; }

    void OnOk();

  protected:
    void PaintContent(QPainter& painter) override;
    void OnEnterKey() override { OnOk(); }
    void showEvent(QShowEvent* event) override;

  private:
    QLineEdit* NewMoveEdit(const QRect& rect, int id, int value);

    int x_ = 0;
    int y_ = 0;
    bool prepared_ = false;
    QLineEdit* xEdit_ = nullptr;
    QLineEdit* yEdit_ = nullptr;
    SkinnedButton* ok_ = nullptr;
    SkinnedButton* cancel_ = nullptr;
    SkinnedButton* close_ = nullptr;
};

}  // namespace vantor
