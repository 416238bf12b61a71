// PerformancePage: the DPI and performance page of the main window (650-pixel level rows, report
// rates in a column, and a link that opens the desktop's own mouse settings).
#pragma once

#include "ui/pages/performance/performance_page_base.h"

namespace vantor {

class PerformancePage : public PerformancePageBase {
  public:
    PerformancePage(QWidget* parent, PageHost& host, const QImage& background);

    void Layout4K() override;
    void RefreshTexts() override;
    SkinnedButton* SysLink() const { return sysLink_; }

  private:
    void PlaceSysLink();

    SkinnedButton* sysLink_ = nullptr;
};

}  // namespace vantor
