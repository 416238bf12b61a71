// The performance page of the older layout (OldAdvDlg) of the main window.
#pragma once

#include "controls/placeholder_page.h"

namespace vantor {

class CAdvDlg : public CPlaceholderPage {
  public:
    CAdvDlg(QWidget* parent, PageHost& host, const QImage& background)
        : CPlaceholderPage(parent, host, background, "tc_page2") {}
};

}  // namespace vantor
