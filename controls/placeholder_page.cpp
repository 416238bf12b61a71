#include "controls/placeholder_page.h"

#include <QPainter>

#include "app/config.h"
#include "base/texts.h"
#include "controls/layout_4k.h"
#include "controls/skin_images.h"

namespace vantor {

CPlaceholderPage::CPlaceholderPage(QWidget* parent, PageHost& host, const QImage& background,
                                   std::string titleKey)
    : CPage(parent, host, background), titleKey_(std::move(titleKey)) {
    RefreshTexts();
}

void CPlaceholderPage::RefreshTexts() {
    title_ = QString::fromStdString(Text(titleKey_));
    update();
}

void CPlaceholderPage::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    if (!background_.isNull()) painter.drawImage(rect(), background_);
    painter.setFont(TitleFont());
    painter.setPen(ColorFromColorRef(Options().Txt_clr));
    painter.drawText(rect(), Qt::AlignCenter, title_);
}

}  // namespace vantor
