// CNewAdvDlg: the DPI and performance page of the main window (650-pixel level rows, report
// rates in a column, and a link that opens the desktop's own mouse settings).
#pragma once

#include "pages/performance_page.h"

namespace vantor {

class CNewAdvDlg : public CPerformancePage {
  public:
    CNewAdvDlg(QWidget* parent, PageHost& host, const QImage& background);

    void Layout4K() override;
    void RefreshTexts() override;
    CPngBtn* SysLink() const { return sysLink_; }

  private:
    void PlaceSysLink();

    CPngBtn* sysLink_ = nullptr;
};

}  // namespace vantor
