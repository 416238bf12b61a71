// A page that shows only its title over the skin, standing in for a page whose controls
// are not built yet.
#pragma once

#include <string>

#include "controls/page.h"

namespace vantor {

class CPlaceholderPage : public CPage {
  public:
    // `titleKey` names the language text of the page's title (e.g. "tc_page1").
    CPlaceholderPage(QWidget* parent, PageHost& host, const QImage& background,
                     std::string titleKey);

    void RefreshTexts() override;
    QString Title() const { return title_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::string titleKey_;
    QString title_;
};

}  // namespace vantor
