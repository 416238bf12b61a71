// The performance page of the main window.
#pragma once

#include "controls/placeholder_page.h"

namespace vantor {

class CNewAdvDlg : public CPlaceholderPage {
  public:
    CNewAdvDlg(QWidget* parent, const QImage& background)
        : CPlaceholderPage(parent, background, "tc_page2") {}
};

}  // namespace vantor
