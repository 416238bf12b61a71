// TimeStepBox: the small window of the button page that shows one time value with − and
// + buttons on "key_time.png" (the debounce and auto-sleep windows). A step first runs the
// main window's device-ready check; then the value changes, the page's record callback
// writes the record and, with ApplyNow, the apply worker writes the setting.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "ui/pages/page_host.h"

namespace vantor {

class SkinnedButton;

class TimeStepBox : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 170;
    static constexpr int kHeight = 30;

    // `pageBackground` is the page's background (unscaled); `rect` the window's place on the
    // page. `applyFlag` is the flag word handed to the apply worker after a change.
    TimeStepBox(QWidget* page, PageHost& host, const QImage& pageBackground, const QRect& rect,
                std::string captionKey, std::uint32_t applyFlag);

    // Called after every change made with the buttons (the page writes the record fields).
    void SetOnChanged(std::function<void()> onChanged) { onChanged_ = std::move(onChanged); }

    void RefreshTexts();

    SkinnedButton* MinusButton() const { return minus_; }
    SkinnedButton* PlusButton() const { return plus_; }
    QString Caption() const { return caption_; }
    virtual QString ValueText() const = 0;
    virtual void Layout4K();

  protected:
    // The new value is taken; false when nothing changes.
    virtual bool StepDown() = 0;
    virtual bool StepUp() = 0;
    void paintEvent(QPaintEvent* event) override;
    PageHost& host_;

  private:
    void OnStep(bool up);

    QImage face_;
    QImage background_;
    std::string captionKey_;
    std::uint32_t applyFlag_;
    QString caption_;
    SkinnedButton* minus_ = nullptr;
    SkinnedButton* plus_ = nullptr;
    QRect valueRect_;
    QRect captionRect_;
    std::function<void()> onChanged_;
};

}  // namespace vantor
