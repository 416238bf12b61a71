// DebounceBox: the button debounce time in milliseconds, stepped by one within
// DebounceRange; stepping down to TipForDebounce or below asks first.
#pragma once

#include "ui/pages/buttons/time_step_box.h"

namespace vantor {

class DebounceBox : public TimeStepBox {
    Q_OBJECT
  public:
    DebounceBox(QWidget* page, PageHost& host, const QImage& pageBackground);

    // Shows a value as it is (the record's value, not checked against the range).
    void SetValue(int milliseconds);
    int Value() const { return value_; }
    QString ValueText() const override;

  protected:
    bool StepDown() override;
    bool StepUp() override;

  private:
    int value_ = 0;
};

}  // namespace vantor
