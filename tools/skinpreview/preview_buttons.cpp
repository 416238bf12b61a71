// Previews of the image buttons and sliders in their states, drawn from the default skin.
#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

#include "tools/skinpreview/preview_registry.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_slider.h"
#include "ui/widgets/two_thumb_slider.h"

namespace vantor {
namespace {

const QColor kTextNormal(0xD8, 0xDA, 0xE0);
const QColor kTextHover(0xFF, 0xFF, 0xFF);
const QColor kTextPressed(0x4F, 0xC3, 0xF7);

enum class Pose { Normal, Hover, Pressed, Locked, Disabled };

void Put(SkinnedButton& button, Pose pose) {
    if (pose == Pose::Hover || pose == Pose::Pressed) {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton,
                         Qt::NoButton, {});
        QCoreApplication::sendEvent(&button, &move);
    }
    if (pose == Pose::Pressed) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                          Qt::LeftButton, {});
        QCoreApplication::sendEvent(&button, &press);
    }
    if (pose == Pose::Locked) button.SetLocked(true);
    if (pose == Pose::Disabled) button.setEnabled(false);
}

QImage PushButton(Pose pose) {
    SkinnedButton button;
    button.LoadImages(QStringLiteral("button2_nr.png"), {}, {}, QStringLiteral("button2_ds.png"));
    button.resize(80, 27);
    button.SetTextColors(kTextHover, kTextNormal, kTextPressed);
    button.SetText(QStringLiteral("Apply"));
    button.SetPressShift(true);
    Put(button, pose);
    return preview::Grab(&button);
}

QImage Mark(const QString& normal, const QString& checked, bool isChecked, Pose pose) {
    SkinnedButton button;
    button.LoadImages(normal, {}, checked);
    button.SetCheckMode(true, true);
    button.SetCheck(isChecked);
    button.resize(LoadSkinImage(normal).size());
    Put(button, pose);
    return preview::Grab(&button);
}

QImage TextLabel(const QString& text, int left) {
    SkinnedButton label;
    label.resize(120, 20);
    label.SetTextColors(kTextHover, kTextNormal, kTextPressed);
    label.SetText(text, left);
    return preview::Grab(&label);
}

}  // namespace

VANTOR_PREVIEW(buttons_push_states) {
    return preview::Row({PushButton(Pose::Normal), PushButton(Pose::Hover),
                         PushButton(Pose::Pressed), PushButton(Pose::Locked),
                         PushButton(Pose::Disabled)});
}

VANTOR_PREVIEW(buttons_check_and_radio) {
    std::vector<QImage> pictures;
    for (const auto& [normal, checked] :
         {std::pair{QStringLiteral("check_nr.png"), QStringLiteral("check_dn.png")},
          std::pair{QStringLiteral("radio_nr.png"), QStringLiteral("radio_dn.png")}}) {
        for (bool isChecked : {false, true}) {
            for (Pose pose : {Pose::Normal, Pose::Hover, Pose::Locked}) {
                pictures.push_back(Mark(normal, checked, isChecked, pose));
            }
        }
    }
    return preview::Row(pictures, 8);
}

VANTOR_PREVIEW(buttons_text_labels) {
    return preview::Row({TextLabel(QStringLiteral("DPI 1"), 0),
                         TextLabel(QStringLiteral("1600"), 4),
                         TextLabel(QStringLiteral("A caption far too long to fit"), 0)});
}

VANTOR_PREVIEW(sliders_single) {
    QWidget page;
    page.resize(300, 70);
    page.setStyleSheet(QStringLiteral("background: #17181C"));
    const QImage thumb = LoadSkinImage(QStringLiteral("slider.png"));
    auto* brightness = new SkinnedSlider(&page);
    if (brightness->Create(QRect(20, 10, 261, 20), 1, LoadSkinImage(QStringLiteral("bar_nr.png")),
                           LoadSkinImage(QStringLiteral("bar_ov.png")), thumb) != 0) {
        return {};
    }
    brightness->SetRange(1, 10);
    brightness->SetEvenScale(10);
    brightness->SetShowMarks(true);
    brightness->SetPos(6);
    auto* inactive = new SkinnedSlider(&page);
    inactive->Create(QRect(20, 40, 261, 20), 2, LoadSkinImage(QStringLiteral("bar_nr.png")),
                     LoadSkinImage(QStringLiteral("bar_ov.png")), thumb);
    inactive->SetRange(1, 5);
    inactive->ShowThumb(false);
    // The page is grabbed as a translucent window: lay it on the canvas so the light
    // marks and thumbs show as they do on a page.
    return preview::Row({preview::Grab(&page)}, 0);
}

VANTOR_PREVIEW(sliders_dpi_rows) {
    QWidget page;
    page.resize(690, 80);
    page.setStyleSheet(QStringLiteral("background: #17181C"));
    const std::vector<int> dpi{400, 800, 1200, 1600, 2400, 3200, 4800, 6400, 12800, 26000};
    for (int row = 0; row < 2; ++row) {
        auto* bar = new TwoThumbSlider(&page);
        const bool separate = row == 1;
        const QImage upper =
            LoadSkinImage(separate ? QStringLiteral("slider1.png") : QStringLiteral("slider.png"));
        const QImage lower = LoadSkinImage(QStringLiteral("slider2.png"));
        if (bar->Create(QRect(20, 10 + row * 36, 650, 29), row,
                        LoadSkinImage(QStringLiteral("longbar_nr.png")),
                        LoadSkinImage(QStringLiteral("longbar_ov.png")), upper, lower) != 0) {
            return {};
        }
        for (int thumb : {0, 1}) {
            bar->SetRange(0, static_cast<int>(dpi.size()) - 1, thumb);
            bar->SetValueTable(dpi, thumb);
            bar->SetEvenScale(static_cast<int>(dpi.size()), thumb);
        }
        bar->ShowThumb(separate, 1);
        bar->SetShowMarks(true);
        bar->SetPosByValue(separate ? 6400 : 1600, false, 0);
        bar->SetPosByValue(3200, false, 1);
        bar->SetPosByValue(separate ? 6400 : 1600, false, 0);  // the fill follows X
    }
    // The page is grabbed as a translucent window: lay it on the canvas so the light
    // marks and thumbs show as they do on a page.
    return preview::Row({preview::Grab(&page)}, 0);
}

}  // namespace vantor
