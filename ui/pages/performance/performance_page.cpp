#include "ui/pages/performance/performance_page.h"

#include "app/config/config.h"
#include "base/texts.h"
#include "platform/pointer_settings.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/page_lock.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {

PerformancePage::PerformancePage(QWidget* parent, PageHost& host, const QImage& background)
    : PerformancePageBase(parent, host, background, PerformanceLayout{}) {
    if (Options().ShowSys == 0) return;
    sysLink_ = new SkinnedButton(this);
    sysLink_->setCursor(Qt::PointingHandCursor);
    KeepWorkingWhenLocked(sysLink_);  // the desktop's settings, not the mouse's
    // A small font: the link is narrow and some languages have long single words.
    sysLink_->setFont(FontForCellHeight(WindowFont(), Is4KLayout() ? 26 : 13));
    // Without a settings program of the desktop the user learns where to look instead.
    connect(sysLink_, &SkinnedButton::clicked, this, [this] {
        if (!OpenDesktopMouseSettings()) Host().ShowText(Text("tc_sysmissing"));
    });
    PlaceSysLink();
    RefreshTexts();
}

void PerformancePage::RefreshTexts() {
    PerformancePageBase::RefreshTexts();
    if (sysLink_ == nullptr) return;
    // The page's own picture is not drawn here, so the link says what it opens.
    sysLink_->SetText(QString::fromStdString(Text("tc_adv_str18")), 0,
                      Qt::AlignCenter | Qt::TextWordWrap);
    sysLink_->SetTextColors(ColorFromColorRef(Options().Btn_txt_clr_ov),
                            ColorFromColorRef(Options().Btn_txt_clr_nr),
                            ColorFromColorRef(Options().Btn_txt_clr_dn));
}

void PerformancePage::PlaceSysLink() {
    if (sysLink_ == nullptr) return;
    const Rect& r = Options().rcSys;
    const QRect link(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    sysLink_->setGeometry(LayoutRect(link));
    sysLink_->SetBackgroundImage(BackgroundCrop(PageBackground(), LayoutRect(link)));
}

void PerformancePage::Layout4K() {
    PerformancePageBase::Layout4K();
    PlaceSysLink();
}

}  // namespace vantor
