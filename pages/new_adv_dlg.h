// The performance page of the main window.
#pragma once

#include "controls/placeholder_page.h"

namespace vantor {

class CNewAdvDlg : public CPlaceholderPage {
  public:
    CNewAdvDlg(QWidget* parent, PageHost& host, const QImage& background)
        : CPlaceholderPage(parent, host, background, "tc_page2") {}
};

}  // namespace vantor
