#include "ui/pages/buttons/debounce_box.h"

#include "app/config/config.h"
#include "base/texts.h"
#include "profile/set_flags.h"
#include "ui/pages/buttons/logic/buttons_page_rules.h"

namespace vantor {

DebounceBox::DebounceBox(QWidget* page, PageHost& host, const QImage& pageBackground)
    : TimeStepBox(page, host, pageBackground, QRect(45, 447, kWidth, kHeight), "tc_adv_str21",
                  SET_DEBOUNCE) {}

void DebounceBox::SetValue(int milliseconds) {
    value_ = milliseconds;
    update();
}

QString DebounceBox::ValueText() const {
    return QString::fromStdString(DebounceText(value_));
}

bool DebounceBox::StepUp() {
    const std::optional<int> next = DebounceUp(value_, DebounceLimitsOf(Options().DebounceRange));
    if (!next) return false;
    value_ = *next;
    return true;
}

bool DebounceBox::StepDown() {
    const std::optional<DebounceDown> next = DebounceDownFrom(
        value_, DebounceLimitsOf(Options().DebounceRange), Options().TipForDebounce);
    if (!next) return false;
    if (next->ask && !host_.AskOkCancel(Text("tc_debounce_tips"))) return false;
    value_ = next->value;
    return true;
}

}  // namespace vantor
