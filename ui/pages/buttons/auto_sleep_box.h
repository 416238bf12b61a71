// AutoSleepBox: the idle time after which the wireless mouse sleeps, one of thirteen steps
// from 10 seconds to 10 minutes. Placed 5 pixels above the debounce window.
#pragma once

#include "ui/pages/buttons/time_step_box.h"

namespace vantor {

class AutoSleepBox : public TimeStepBox {
    Q_OBJECT
  public:
    AutoSleepBox(QWidget* page, PageHost& host, const QImage& pageBackground);

    // Selects the step of `tensOfSeconds`; a value that is no step keeps the selection.
    void SelectValue(int tensOfSeconds);
    // The selected step's value in tens of seconds.
    int Value() const;
    int Index() const { return index_; }
    QString ValueText() const override;
    void Layout4K() override;

  protected:
    bool StepDown() override;
    bool StepUp() override;

  private:
    int index_ = 3;  // 1 minute
};

}  // namespace vantor
