// The button assignment page of the main window.
#pragma once

#include "controls/placeholder_page.h"

namespace vantor {

class CKeyDlg : public CPlaceholderPage {
  public:
    CKeyDlg(QWidget* parent, PageHost& host, const QImage& background)
        : CPlaceholderPage(parent, host, background, "tc_page1") {}
};

}  // namespace vantor
