// Previews of the application shell: the main window's background with its buttons, the
// digit and battery pictures, the mouse pictures and the About box.
#include <QPainter>

#include "app/config/config.h"
#include "tools/skinpreview/preview_registry.h"
#include "ui/shell/about_window.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

QPoint PointOr(const Point& point, QPoint fallback) {
    return point.x == 0 && point.y == 0 ? fallback : QPoint(point.x, point.y);
}

}  // namespace

VANTOR_PREVIEW(shell_main_window) {
    QImage window = LoadSkinImage(QStringLiteral("key_nr.png"));
    if (window.isNull()) return {};
    const AppOptions& options = Options();
    QPainter painter(&window);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QPoint minimise = PointOr(options.ptMin, {952, 12});
    painter.drawImage(minimise, LoadSkinImage(QStringLiteral("min_nr.png")));
    painter.drawImage(minimise + QPoint(28, 0), LoadSkinImage(QStringLiteral("exit_nr.png")));
    painter.drawImage(minimise - QPoint(28, 0), LoadSkinImage(QStringLiteral("help_nr.png")));
    const QRect selector(minimise + QPoint(-161, -2), minimise + QPoint(-50, 28));
    painter.drawImage(selector, LoadSkinImage(QStringLiteral("combo3_nr.png")));
    painter.setFont(SelectorFont());
    painter.setPen(ColorFromColorRef(options.Btn_txt_clr_nr));
    painter.drawText(selector.adjusted(10, 0, -30, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("English"));

    const int width = options.NaviW < 1 ? 60 : options.NaviW;
    const int gap = width == 60 ? 4 : 0;
    QPoint navi = PointOr(options.ptNavi, {25, 110});
    for (int i = 1; i <= 4; ++i) {
        const QString state = i == 1 ? QStringLiteral("_dn") : QStringLiteral("_nr");
        painter.drawImage(QRect(navi, QSize(width, 49)),
                          LoadSkinImage(QStringLiteral("navi%1%2.png").arg(i).arg(state)));
        navi.rx() += width + gap;
    }
    painter.drawImage(PointOr(options.ptPower, {949, 66}),
                      LoadSkinImage(QStringLiteral("power3.png")));
    painter.setFont(TitleFont());
    painter.setPen(ColorFromColorRef(options.Txt_clr));
    painter.drawText(QRect(62, 20, 500, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(options.Title));
    painter.drawImage(QPoint(337, 225), LoadSkinImage(QStringLiteral("0101/mouse_nr.png")));
    return window;
}

VANTOR_PREVIEW(shell_numbers) {
    std::vector<QImage> pictures;
    for (int i = 1; i <= 16; ++i) {
        pictures.push_back(ScaledCopy(LoadSkinImage(QStringLiteral("number%1.png").arg(i)), 2));
    }
    for (int i = 1; i <= 16; ++i) {
        pictures.push_back(
            ScaledCopy(LoadSkinImage(QStringLiteral("number/number%1.png").arg(i)), 2));
    }
    return preview::Row(pictures, 6);
}

VANTOR_PREVIEW(shell_power) {
    std::vector<QImage> pictures;
    for (int i = 1; i <= 4; ++i) {
        pictures.push_back(ScaledCopy(LoadSkinImage(QStringLiteral("power%1.png").arg(i)), 2));
    }
    pictures.push_back(ScaledCopy(LoadSkinImage(QStringLiteral("power_charging.png")), 2));
    return preview::Row(pictures);
}

VANTOR_PREVIEW(shell_window_buttons) {
    std::vector<QImage> pictures;
    for (const char* name : {"min_nr.png", "exit_nr.png", "help_nr.png"}) {
        pictures.push_back(ScaledCopy(LoadSkinImage(QString::fromLatin1(name)), 2));
    }
    for (int i = 1; i <= 4; ++i) {
        pictures.push_back(LoadSkinImage(QStringLiteral("navi%1_nr.png").arg(i)));
        pictures.push_back(LoadSkinImage(QStringLiteral("navi%1_dn.png").arg(i)));
    }
    return preview::Row(pictures);
}

VANTOR_PREVIEW(shell_mouse_pictures) {
    std::vector<QImage> pictures;
    for (const char* folder : {"0101", "0102"}) {
        for (const char* name : {"mouse_nr.png", "mouse_dn.png", "mouse_led.png"}) {
            pictures.push_back(
                LoadSkinImage(QString::fromLatin1(folder) + '/' + QString::fromLatin1(name)));
        }
    }
    return preview::Row(pictures);
}

VANTOR_PREVIEW(shell_about_box) {
    AboutWindow about(nullptr, 0x0107);
    if (!about.HasSkin()) return {};
    // Shown here whatever ShowFWUpdate says, so that its caption can be looked at.
    if (about.FirmwareButton() != nullptr) about.FirmwareButton()->show();
    return preview::Grab(&about);
}

}  // namespace vantor
