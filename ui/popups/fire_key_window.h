// FireKeyWindow: the fire-key window, where the user sets the number of shots (1-3) and the
// interval of the rapid-fire function. Skinned on "msg_nr.png" with the close, OK and
// Cancel buttons of the message window.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "keys/key_assignment.h"
#include "ui/widgets/skinned_popup.h"

class QLineEdit;

namespace vantor {

class SkinnedButton;

class FireKeyWindow : public SkinnedPopup {
    Q_OBJECT

  public:
    // Presets: 3 shots and interval 10, or the parameter of `current` when it holds the
    // fire-key function.
    explicit FireKeyWindow(const KeyAssignment& current, QWidget* parent = nullptr);

    // Rejected at once when the background picture is missing.
    int exec() override;

    // The fire-key parameter after OK: shots | interval << 8.
    std::uint32_t Parameter() const { return parameter_; }

    QLineEdit* ShotsEdit() const { return shots_; }
    QLineEdit* IntervalEdit() const { return interval_; }
    SkinnedButton* OkButton() const { return ok_; }
    SkinnedButton* CancelButton() const { return cancel_; }
    SkinnedButton* CloseButton() const { return close_; }

    void OnOk();

  protected:
    void PaintContent(QPainter& painter) override;
    void OnEnterKey() override { OnOk(); }

  private:
    void OnShotsTyped();
    void OnIntervalTyped();

    std::uint32_t parameter_ = 0;
    QLineEdit* shots_ = nullptr;
    QLineEdit* interval_ = nullptr;
    SkinnedButton* ok_ = nullptr;
    SkinnedButton* cancel_ = nullptr;
    SkinnedButton* close_ = nullptr;
};

// Runs the window for a button's current function; the new parameter, or nothing on cancel.
std::optional<std::uint32_t> EditFireKey(const KeyAssignment& current, QWidget* parent = nullptr);

}  // namespace vantor
