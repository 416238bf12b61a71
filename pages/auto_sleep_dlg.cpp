#include "pages/auto_sleep_dlg.h"

#include "base/log.h"
#include "pages/logic/key_page_rules.h"
#include "profile/set_flags.h"
#include "profile/setting_ranges.h"

namespace vantor {

CAutoSleepDlg::CAutoSleepDlg(QWidget* page, PageHost& host, const QImage& pageBackground)
    : CTimeStepDlg(page, host, pageBackground, QRect(45, 412, kWidth, kHeight), "tc_msg27",
                   SET_AUTOSLEEP) {
    DbgLog("CKeyDlg SleepDlg rc=%d,%d,%d,%d", x(), y(), x() + width(), y() + height());
}

void CAutoSleepDlg::SelectValue(int tensOfSeconds) {
    if (const std::optional<int> index = AutoSleepIndexOf(tensOfSeconds)) {
        index_ = *index;
        update();
    }
}

int CAutoSleepDlg::Value() const {
    return kAutoSleepSteps[static_cast<std::size_t>(index_)];
}

QString CAutoSleepDlg::ValueText() const {
    return QString::fromStdString(AutoSleepText(Value()));
}

void CAutoSleepDlg::Layout4K() {
    DbgLog("CAutoSleepDlg::LayoutFor4K");
    CTimeStepDlg::Layout4K();
}

bool CAutoSleepDlg::StepUp() {
    if (index_ >= static_cast<int>(kAutoSleepSteps.size()) - 1) return false;
    ++index_;
    return true;
}

bool CAutoSleepDlg::StepDown() {
    if (index_ <= 0) return false;
    --index_;
    return true;
}

}  // namespace vantor
