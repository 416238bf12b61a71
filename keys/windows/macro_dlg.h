// The macro editor page of the main window.
#pragma once

#include "controls/placeholder_page.h"

namespace vantor {

class CMacroDlg : public CPlaceholderPage {
  public:
    CMacroDlg(QWidget* parent, PageHost& host, const QImage& background)
        : CPlaceholderPage(parent, host, background, "tc_page3") {}
};

}  // namespace vantor
