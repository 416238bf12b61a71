#include "pages/debounce_dlg.h"

#include "app/config.h"
#include "base/texts.h"
#include "pages/logic/key_page_rules.h"
#include "profile/set_flags.h"

namespace vantor {

CDebounceDlg::CDebounceDlg(QWidget* page, PageHost& host, const QImage& pageBackground)
    : CTimeStepDlg(page, host, pageBackground, QRect(45, 447, kWidth, kHeight), "tc_adv_str21",
                   SET_DEBOUNCE) {}

void CDebounceDlg::SetValue(int milliseconds) {
    value_ = milliseconds;
    update();
}

QString CDebounceDlg::ValueText() const {
    return QString::fromStdString(DebounceText(value_));
}

bool CDebounceDlg::StepUp() {
    const std::optional<int> next = DebounceUp(value_, DebounceLimitsOf(Options().DebounceRange));
    if (!next) return false;
    value_ = *next;
    return true;
}

bool CDebounceDlg::StepDown() {
    const std::optional<DebounceDown> next = DebounceDownFrom(
        value_, DebounceLimitsOf(Options().DebounceRange), Options().TipForDebounce);
    if (!next) return false;
    if (next->ask && !host_.AskOkCancel(Text("tc_debounce_tips"))) return false;
    value_ = next->value;
    return true;
}

}  // namespace vantor
