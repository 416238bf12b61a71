// The button assignment page of the main window.
#pragma once

#include "controls/placeholder_page.h"

namespace vantor {

class CKeyDlg : public CPlaceholderPage {
  public:
    CKeyDlg(QWidget* parent, const QImage& background)
        : CPlaceholderPage(parent, background, "tc_page1") {}
};

}  // namespace vantor
