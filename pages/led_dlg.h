// The lighting page of the main window.
#pragma once

#include "controls/placeholder_page.h"

namespace vantor {

class CLedDlg : public CPlaceholderPage {
  public:
    CLedDlg(QWidget* parent, PageHost& host, const QImage& background)
        : CPlaceholderPage(parent, host, background, "tc_page4") {}
};

}  // namespace vantor
