#include "ui/shell/connection_banner.h"

#include <QAccessible>
#include <QPainter>

#include "base/texts.h"
#include "ui/widgets/fitted_text.h"

namespace vantor {
namespace {

const QColor kBannerFill(58, 40, 8, 235);
const QColor kBannerEdge(255, 170, 0);
const QColor kBannerText(255, 236, 200);
constexpr int kPadding = 8;
constexpr qreal kCornerRadius = 6;

}  // namespace

ConnectionBanner::ConnectionBanner(QWidget* parent) : QLabel(parent) {
    grace_.setSingleShot(true);
    connect(&grace_, &QTimer::timeout, this, &ConnectionBanner::ShowPending);
    setWordWrap(true);
    hide();
}

void ConnectionBanner::SetConnection(MouseConnection connection) {
    pending_ = connection;
    if (ConnectionTextKey(connection) == nullptr) {
        grace_.stop();
        ShowPending();
        return;
    }
    if (!grace_.isActive()) grace_.start(kGraceMs);
}

void ConnectionBanner::ShowPending() {
    if (pending_ == shown_) return;
    shown_ = pending_;
    RefreshTexts();
    setVisible(ConnectionTextKey(shown_) != nullptr);
    if (isVisible()) {
        raise();
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
    emit shownChanged(shown_);
}

void ConnectionBanner::RefreshTexts() {
    const char* key = ConnectionTextKey(shown_);
    setText(key != nullptr ? QString::fromStdString(Text(key)) : QString());
    update();
}

void ConnectionBanner::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kBannerEdge, 1.5));
    painter.setBrush(kBannerFill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), kCornerRadius, kCornerRadius);
    painter.setPen(kBannerText);
    painter.setFont(font());
    DrawFittedText(painter, rect().adjusted(kPadding, kPadding / 2, -kPadding, -kPadding / 2),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
}

}  // namespace vantor
