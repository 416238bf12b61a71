#include "ui/pages/buttons/auto_sleep_box.h"

#include "base/log.h"
#include "profile/set_flags.h"
#include "profile/setting_ranges.h"
#include "ui/pages/buttons/logic/buttons_page_rules.h"

namespace vantor {

AutoSleepBox::AutoSleepBox(QWidget* page, PageHost& host, const QImage& pageBackground)
    : TimeStepBox(page, host, pageBackground, QRect(45, 412, kWidth, kHeight), "tc_msg27",
                  SET_AUTOSLEEP) {
    DbgLog("CKeyDlg SleepDlg rc=%d,%d,%d,%d", x(), y(), x() + width(), y() + height());
}

void AutoSleepBox::SelectValue(int tensOfSeconds) {
    if (const std::optional<int> index = AutoSleepIndexOf(tensOfSeconds)) {
        index_ = *index;
        update();
    }
}

int AutoSleepBox::Value() const {
    return kAutoSleepSteps[static_cast<std::size_t>(index_)];
}

QString AutoSleepBox::ValueText() const {
    return QString::fromStdString(AutoSleepText(Value()));
}

void AutoSleepBox::Layout4K() {
    DbgLog("CAutoSleepDlg::LayoutFor4K");
    TimeStepBox::Layout4K();
}

bool AutoSleepBox::StepUp() {
    if (index_ >= static_cast<int>(kAutoSleepSteps.size()) - 1) return false;
    ++index_;
    return true;
}

bool AutoSleepBox::StepDown() {
    if (index_ <= 0) return false;
    --index_;
    return true;
}

}  // namespace vantor
