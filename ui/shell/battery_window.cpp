#include "ui/shell/battery_window.h"

#include <QPainter>

#include "app/config/config.h"
#include "ui/shell/logic/battery_rules.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"

namespace vantor {
namespace {

const QColor kNoBackgroundFill(15, 15, 15);

}  // namespace

BatteryWindow::BatteryWindow(QWidget* parent, const QImage& background)
    : QWidget(parent), background_(background) {
    pictures_[0] = LoadSkinImage(QStringLiteral("power_charging.png"));
    for (int i = 1; i <= 4; ++i) {
        pictures_[static_cast<std::size_t>(i)] =
            LoadSkinImage(QStringLiteral("power%1.png").arg(i));
    }
    repaintTimer_.setInterval(kChargingRepaintTimerMs);
    connect(&repaintTimer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    SetPower(100, false);
}

void BatteryWindow::SetPower(int level, bool charging) {
    level_ = level;
    charging_ = charging;
    picture_ = PowerPictureIndex(level, charging, Options().PowerCritical);
    if (charging && level != 1) {
        repaintTimer_.start();
    } else {
        repaintTimer_.stop();
    }
    update();
}

bool BatteryWindow::ShowsPercentage() const {
    return ShowsPowerPercentage(Options().ShowPower, level_, charging_);
}

QString BatteryWindow::PercentageText() const {
    return QStringLiteral("%1 %").arg(level_);
}

void BatteryWindow::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    if (background_.isNull()) {
        painter.fillRect(rect(), kNoBackgroundFill);
    } else {
        painter.drawImage(rect(), background_);
    }
    const QImage& picture = pictures_[static_cast<std::size_t>(picture_)];
    if (!picture.isNull()) painter.drawImage(QRect(QPoint(0, 0), size()), picture);
    if (!ShowsPercentage()) return;
    painter.setFont(FallbackFont());
    painter.setPen(ColorFromColorRef(Options().Txt_clr));
    // "100 %" is about as wide as the window: when even the smaller font cannot hold it, the
    // space goes before any digit does.
    const QRect box = Is4KLayout() ? QRect(0, 50, width(), 30) : QRect(0, 22, width(), 20);
    QString text = PercentageText();
    if (!FitTextToRect(painter.font(), box, text, Qt::AlignCenter).fits) {
        text = QStringLiteral("%1%").arg(level_);
    }
    DrawFittedText(painter, box, Qt::AlignCenter, text);
}

}  // namespace vantor
