#include "pages/new_adv_dlg.h"

#include "app/config.h"
#include "base/log.h"
#include "controls/png_btn.h"
#include "controls/skin.h"
#include "controls/skin_images.h"
#include "platform/pointer_settings.h"

namespace vantor {

CNewAdvDlg::CNewAdvDlg(QWidget* parent, PageHost& host, const QImage& background)
    : CPerformancePage(parent, host, background, PerformanceLayout{}) {
    if (Options().ShowSys == 0) return;
    sysLink_ = new CPngBtn(this);
    sysLink_->setCursor(Qt::PointingHandCursor);
    connect(sysLink_, &CPngBtn::clicked, this, [] {
        if (!OpenDesktopMouseSettings()) DbgLog("No desktop mouse settings to open");
    });
    PlaceSysLink();
}

void CNewAdvDlg::PlaceSysLink() {
    if (sysLink_ == nullptr) return;
    const Rect& r = Options().rcSys;
    const QRect link(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    sysLink_->setGeometry(LayoutRect(link));
    sysLink_->SetBackgroundImage(BackgroundCrop(PageBackground(), LayoutRect(link)));
}

void CNewAdvDlg::Layout4K() {
    CPerformancePage::Layout4K();
    PlaceSysLink();
}

}  // namespace vantor
