#include "ui/pages/lighting/lighting_page.h"

#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "app/config/config.h"
#include "base/poster.h"
#include "base/texts.h"
#include "profile/set_flags.h"
#include "ui/pages/lighting/colour_wheel.h"
#include "ui/widgets/colour_button.h"
#include "ui/widgets/combo_open_check.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/logic/slider_scale.h"
#include "ui/widgets/page_lock.h"
#include "ui/widgets/popup_parts.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_combo_box.h"
#include "ui/widgets/skinned_slider.h"

namespace vantor {

namespace {

constexpr QSize kEffectBoxSize{147, 30};
constexpr QSize kSliderSize{261, 20};  // the 10 px track with room for the thumb
constexpr int kSliderTrackOffset = 5;
constexpr QSize kResultSize{30, 30};
constexpr QSize kColorBoxSize{45, 20};
constexpr int kColorBoxStep = 75;
constexpr int kColorLabelWidth = 25;
constexpr QSize kSwitchSize{11, 11};
constexpr QSize kSleepBoxSize{83, 19};
constexpr QSize kZoneButtonSize{150, 27};
constexpr int kZoneButtonsLeft = 320;
constexpr int kZoneButtonsTop = 7;
constexpr int kCaptionGap = 8;
constexpr int kEffectCaptionLeft = 72;  // inside the skin's left panel
constexpr int kPanelRight = 970;
constexpr QRect kTitleRect{60, 4, 250, 32};
constexpr int kZoneRadioGroup = 41;

QPoint At(const Point& p) {
    return {p.x, p.y};
}

QColor TextColor() {
    return ColorFromColorRef(Options().clrTxtLedDlg);
}

// A colour spread over the hues, for the effects that have no colour of their own.
QColor RainbowAt(double fraction) {
    return QColor::fromHsvF(static_cast<float>(std::fmod(std::max(fraction, 0.0), 1.0)), 1.0F,
                            1.0F);
}

}  // namespace

LightingPage::LightingPage(QWidget* parent, PageHost& host, const QImage& background)
    : SettingsPage(parent, host, background) {
    const AppOptions& o = Options();
    const QColor text = TextColor();
    panel_ = LoadSkinImage(QStringLiteral("led_nr.png"));
    setFont(WindowFont());  // the captions of the buttons and boxes (larger in the 4K layout)

    for (LightZone zone : {LightZone::kMain, LightZone::kLogo}) {
        auto* box = new SkinnedComboBox(this);
        box->SetControlId(zone == LightZone::kMain ? kIdMainEffect : kIdLogoEffect);
        box->LoadImages(QStringLiteral("combo_nr.png"), {}, {}, QStringLiteral("combo_ds.png"));
        box->setGeometry(QRect(At(o.ptLedEft), kEffectBoxSize));
        box->SetCaptionLayout(10, Qt::AlignLeft | Qt::AlignVCenter);
        box->SetTextColors(ColorFromColorRef(o.Btn_txt_clr_ov), ColorFromColorRef(o.Btn_txt_clr_nr),
                           ColorFromColorRef(o.Btn_txt_clr_dn));
        box->SetChangesOnly(true);
        AskBeforeOpening(box, [this] { return Host().IsDeviceReady(); });
        effectBox_[Slot(zone)] = box;

        auto* radio = new SkinnedButton(this);
        radio->LoadImages(QStringLiteral("button2_nr.png"), {}, {});
        radio->SetRadio(kZoneRadioGroup);
        radio->SetTextColors(ColorFromColorRef(o.Btn_txt_clr_ov),
                             ColorFromColorRef(o.Btn_txt_clr_nr),
                             ColorFromColorRef(o.Btn_txt_clr_dn));
        // Above the left panel, beside the title: the light the controls below edit.
        const int x =
            kZoneButtonsLeft + (zone == LightZone::kMain ? 0 : kZoneButtonSize.width() + 10);
        radio->setGeometry(QRect(QPoint(x, kZoneButtonsTop), kZoneButtonSize));
        radio->SetStretch(true);
        connect(radio, &SkinnedButton::clicked, this, [this, zone] { SelectZone(zone); });
        radio->hide();
        zoneBtn_[Slot(zone)] = radio;
    }

    const QImage thumb = LoadSkinImage(QStringLiteral("slider.png"));
    track_ = LoadSkinImage(QStringLiteral("bar_nr.png"));
    fill_ = LoadSkinImage(QStringLiteral("bar_ov.png"));
    auto makeSlider = [&](const Point& at, int id) {
        auto* bar = new SkinnedSlider(this);
        bar->Create(QRect(QPoint(at.x, at.y - kSliderTrackOffset), kSliderSize), id, track_, fill_,
                    thumb);
        bar->SetAskFirst(true);
        bar->SetShowMarks(true);
        return bar;
    };
    lightBar_ = makeSlider(o.ptLight, kIdLight);
    speedBar_ = makeSlider(o.ptSpeed, kIdSpeed);
    auto makeLabel = [&](const Point& at) {
        auto* label = new SkinnedButton(this);
        const QRect rect(at.x + kSliderSize.width() + 12, at.y - kSliderTrackOffset, 36,
                         kSliderSize.height());
        label->setGeometry(rect);
        label->SetBackgroundImage(BackgroundCrop(panel_.isNull() ? background_ : panel_, rect));
        label->SetTextColors(text, text, text);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setFocusPolicy(Qt::NoFocus);  // shows the slider's value
        return label;
    };
    lightLabel_ = makeLabel(o.ptLight);
    speedLabel_ = makeLabel(o.ptSpeed);

    picker_ = new ColourWheel(this, At(o.ptGradit), At(o.ptGrid));
    connect(picker_, &ColourWheel::colorPicked, this, [this](std::uint32_t c) { PickColor(c); });

    resultBtn_ = new ColourButton(this);
    resultBtn_->setGeometry(QRect(At(o.ptResult), kResultSize));
    resultBtn_->SetColor(0x00FF00);

    const int ids[3] = {kIdRed, kIdGreen, kIdBlue};
    for (int i = 0; i < 3; ++i) {
        const QRect rect(QPoint(o.ptRGBEdit.x + i * kColorBoxStep, o.ptRGBEdit.y), kColorBoxSize);
        QLineEdit* edit = CreatePopupEdit(this, rect, 3, ids[i]);
        edit->setAlignment(Qt::AlignCenter);
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        connect(edit, &QLineEdit::textEdited, this, [this, i] { OnColorBoxEdited(i); });
        edits_[static_cast<std::size_t>(i)] = edit;
    }

    sleepBox_ = new SkinnedComboBox(this);
    sleepBox_->SetControlId(kIdSleep);
    sleepBox_->LoadImages(QStringLiteral("combo2_nr.png"), {}, {}, QStringLiteral("combo2_ds.png"));
    sleepBox_->setGeometry(QRect(At(o.ptSleep), kSleepBoxSize));
    sleepBox_->SetCaptionLayout(6, Qt::AlignLeft | Qt::AlignVCenter);
    sleepBox_->SetTextColors(ColorFromColorRef(o.Btn_txt_clr_ov),
                             ColorFromColorRef(o.Btn_txt_clr_nr),
                             ColorFromColorRef(o.Btn_txt_clr_dn));
    sleepBox_->SetChangesOnly(true);
    AskBeforeOpening(sleepBox_, [this] { return Host().IsDeviceReady(); });

    lightOff_ = new SkinnedButton(this);
    lightOff_->SetControlId(kIdLightOff);
    lightOff_->LoadImages(QStringLiteral("check_nr.png"), {}, {});
    lightOff_->SetPressedAltImage(LoadSkinImage(QStringLiteral("check_dn.png")));
    lightOff_->SetCheckMode(true, false);
    lightOff_->setGeometry(QRect(At(o.ptLightOffOnMoving), kSwitchSize));
    connect(lightOff_, &SkinnedButton::clicked, this, [this] { ToggleLightOff(); });

    RefreshTexts();
    PrepareForDevice();
}

bool LightingPage::ZoneOffered(LightZone zone) const {
    return zone == LightZone::kMain ? showMain_ : showLogo_;
}

void LightingPage::PrepareForDevice() {
    const DeviceSection& section = CurrentDevice();
    setup_ = CurrentLightingSetup();
    showMain_ = section.ShowMainEffect != 0;
    showLogo_ = section.ShowLogoEffect != 0;
    showSleep_ = section.ShowSleep != 0;
    if (!ZoneOffered(zone_)) zone_ = showMain_ ? LightZone::kMain : LightZone::kLogo;
    FillEffectBoxes();
    FillSleepBox();
    sleepBox_->setVisible(showSleep_);
    lightOff_->setVisible(showSleep_);

    const QString file = QStringLiteral("%1%2/mouse_led.png")
                             .arg(section.CID & 0xFF, 2, 16, QChar('0'))
                             .arg(section.MID & 0xFF, 2, 16, QChar('0'));
    mouseLed_ = LoadSkinImage(file);
    logoMask_ = LoadSkinImage(
        QString(file).replace(QStringLiteral("mouse_led"), QStringLiteral("mouse_logo")));
    if (!mouseLed_.isNull()) {
        mouseLed_ = mouseLed_.convertToFormat(QImage::Format_ARGB32);
        if (!logoMask_.isNull()) {
            logoMask_ = logoMask_.scaled(mouseLed_.size()).convertToFormat(QImage::Format_ARGB32);
        }
        // The picture stands between its mark and the brightness caption, centred in the
        // right half of the page.
        const Point mark = section.ptLedMark;
        const QRect box(mark.x, mark.y + 14, kPanelRight - mark.x,
                        std::max(Options().ptLight.y - 36 - mark.y - 14, 40));
        QSize size = mouseLed_.size();
        size.scale(box.size(), Qt::KeepAspectRatio);
        size = size.boundedTo(mouseLed_.size());
        mouseRect_ = QRect(QPoint(box.center().x() - size.width() / 2, box.top()), size);
    }
    SelectZone(zone_);
}

void LightingPage::FillEffectBoxes() {
    for (LightZone zone : {LightZone::kMain, LightZone::kLogo}) {
        SkinnedComboBox* box = effectBox_[Slot(zone)];
        box->ClearItems(0);
        const std::vector<EffectItem> items =
            zone == LightZone::kMain ? MainEffectItems(setup_.ledMask) : LogoEffectItems();
        for (const EffectItem& item : items) box->AddItem(0, item.effect, Text(item.textKey));
        box->SetActiveList(0);
        box->SelectValue(shown_[Slot(zone)].effect);
    }
}

void LightingPage::FillSleepBox() {
    const DeviceSection& section = CurrentDevice();
    const std::uint32_t selected = static_cast<std::uint32_t>(sleepBox_->ControlValue());
    const bool hadSelection = sleepBox_->SelectedIndex() >= 0;
    sleepBox_->ClearItems(0);
    const int count =
        std::clamp(section.SleepValCount, 0, static_cast<int>(section.SleepVal.size()));
    for (const SleepItem& item :
         SleepItems(section.SleepVal.data(), count, Text("tc_adv_str24"), Text("tc_adv_str22"))) {
        sleepBox_->AddItem(0, item.seconds, item.text);
    }
    sleepBox_->SetActiveList(0);
    sleepBox_->SelectIndex(-1);
    if (hadSelection) sleepBox_->SelectValue(selected);
}

void LightingPage::SelectZone(LightZone zone) {
    const bool any = showMain_ || showLogo_;
    if (!any) {
        // A model without lights: only the sleep settings are left on the page.
        for (QWidget* w : std::initializer_list<QWidget*>{
                 effectBox_[0], effectBox_[1], zoneBtn_[0], zoneBtn_[1], lightBar_, speedBar_,
                 lightLabel_, speedLabel_, resultBtn_, picker_, edits_[0], edits_[1], edits_[2]}) {
            w->hide();
        }
        litMouse_ = QImage();
        update();
        return;
    }
    if (!ZoneOffered(zone)) return;
    picker_->show();
    zone_ = zone;
    const bool both = showMain_ && showLogo_;
    for (LightZone z : {LightZone::kMain, LightZone::kLogo}) {
        effectBox_[Slot(z)]->setVisible(z == zone_ && ZoneOffered(z));
        zoneBtn_[Slot(z)]->setVisible(both);
        zoneBtn_[Slot(z)]->SetCheck(z == zone_);
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{lightBar_, speedBar_, lightLabel_, speedLabel_}) {
        w->show();
    }
    const StepRange light = LightRange(zone_, setup_.lightParam);
    const StepRange speed = SpeedRange(zone_);
    lightBar_->SetRange(light.minimum, light.maximum);
    lightBar_->SetEvenScale(light.maximum - light.minimum + 1);
    speedBar_->SetRange(speed.minimum, speed.maximum);
    speedBar_->SetEvenScale(speed.maximum - speed.minimum + 1);
    ShowZoneControls();
}

void LightingPage::ShowZoneControls() {
    const ShownLighting& shown = shown_[Slot(zone_)];
    const EffectRule rule = zone_ == LightZone::kMain ? MainEffectRule(setup_, shown.effect)
                                                      : LogoEffectRule(shown.effect);
    effectBox_[Slot(zone_)]->SelectValue(shown.effect);
    // A setting the effect does not use keeps showing its value, greyed and locked.
    lightBar_->SetTrackImages(track_, fill_);
    speedBar_->SetTrackImages(track_, fill_);
    lightBar_->SetLocked(rule.light == 0);
    speedBar_->SetLocked(rule.speed == 0);
    lightBar_->SetPos(shown.light);
    speedBar_->SetPos(shown.speed);
    const bool color = rule.hasColor;
    resultBtn_->setVisible(color);
    for (QLineEdit* edit : edits_) edit->setVisible(color);
    picker_->SetPicking(color);
    ShowColor(shown.color);
    resultBtn_->SetColor(shown.color);
    UpdateLabels();
    RebuildMousePicture();
    update();
}

void LightingPage::UpdateLabels() {
    const EffectRule rule = zone_ == LightZone::kMain
                                ? MainEffectRule(setup_, shown_[Slot(zone_)].effect)
                                : LogoEffectRule(shown_[Slot(zone_)].effect);
    lightLabel_->SetText(QString::number(lightBar_->GetPos()));
    speedLabel_->SetText(QString::number(speedBar_->GetPos()));
    lightLabel_->SetLocked(rule.light == 0);
    speedLabel_->SetLocked(rule.speed == 0);
    ShowLockReasons();
}

void LightingPage::ShowColor(std::uint32_t colorRef) {
    const std::array<int, 3> bytes = ColorBytes(colorRef);
    for (std::size_t i = 0; i < edits_.size(); ++i) edits_[i]->setText(QString::number(bytes[i]));
}

void LightingPage::LoadFromRecord(const ProfileFile* record) {
    if (record == nullptr) return;
    shown_[Slot(LightZone::kMain)] = ShowZone(setup_, LightZone::kMain, record->stMainRGB);
    shown_[Slot(LightZone::kLogo)] = ShowZone(setup_, LightZone::kLogo, record->stLogoRGB);
    effectBox_[Slot(LightZone::kLogo)]->SelectValue(shown_[Slot(LightZone::kLogo)].effect);
    effectBox_[Slot(LightZone::kMain)]->SelectValue(shown_[Slot(LightZone::kMain)].effect);
    if (!sleepBox_->SelectValue(static_cast<std::uint32_t>(record->nSleepTime))) {
        sleepBox_->SelectIndex(-1);
    }
    lightOff_->SetCheck(record->bLightOffOnMoving != 0);
    const bool enabled = SleepControlsEnabled(Host().ProductId(), Options().PID);
    sleepBox_->SetLocked(!enabled);
    lightOff_->SetLocked(!enabled);
    ShowLockReasons();
    SelectZone(zone_);
}

void LightingPage::RefreshLighting() {
    LoadFromRecord(Host().Record());
}

void LightingPage::StoreToRecord(ProfileFile* record) {
    if (record == nullptr) return;
    // A light that shows its default in place of what the record held stays as the record
    // has it until the user changes that light.
    if (showMain_ && shown_[Slot(LightZone::kMain)].fromRecord) {
        StoreZone(shown_[Slot(LightZone::kMain)], record->stMainRGB);
    }
    if (showLogo_ && shown_[Slot(LightZone::kLogo)].fromRecord) {
        StoreZone(shown_[Slot(LightZone::kLogo)], record->stLogoRGB);
    }
    if (sleepBox_->SelectedIndex() >= 0) {
        record->nSleepTime = static_cast<std::int32_t>(sleepBox_->ControlValue());
    }
    record->bLightOffOnMoving = lightOff_->GetCheck() ? 1 : 0;
}

void LightingPage::CommitLighting(LightZone zone) {
    shown_[Slot(zone)].fromRecord = true;
    StoreToRecord(Host().Record());
    Host().ApplyLightingChange(SET_LED, zone == LightZone::kMain ? kLedPartMain : kLedPartLogo);
    RebuildMousePicture();
    update();
}

void LightingPage::ChooseEffect(LightZone zone, std::uint32_t effect) {
    ShownLighting& shown = shown_[Slot(zone)];
    shown.effect = effect;
    if (zone == LightZone::kMain) {
        RgbEffect chosen{};
        ChooseMainEffect(setup_, effect, chosen);
        shown.speed = static_cast<int>(chosen.nSpeed);
        shown.light = static_cast<int>(chosen.nLight);
    } else {
        // The logo light keeps its values; a slider that becomes active shows (and the
        // record then holds) a step of its range.
        const EffectRule rule = LogoEffectRule(effect);
        const StepRange speed = SpeedRange(zone);
        const StepRange light = LightRange(zone, setup_.lightParam);
        if (rule.speed != 0) shown.speed = std::clamp(shown.speed, speed.minimum, speed.maximum);
        if (rule.light != 0) shown.light = std::clamp(shown.light, light.minimum, light.maximum);
    }
    if (zone == zone_) ShowZoneControls();
    CommitLighting(zone);
}

void LightingPage::SetSliderValue(bool light, int value) {
    Host().CheckDeviceReady([this, light, value, zone = zone_] {
        ShownLighting& shown = shown_[Slot(zone)];
        (light ? shown.light : shown.speed) = value;
        if (zone == zone_) {
            (light ? lightBar_ : speedBar_)->SetPos(value);
            UpdateLabels();
        }
        CommitLighting(zone);
    });
}

void LightingPage::PickColor(std::uint32_t colorRef) {
    if (resultBtn_->isHidden()) return;
    ShowColor(colorRef);
    // The main light's box being shown decides the light, as the colour controls belong to it.
    const LightZone zone =
        effectBox_[Slot(LightZone::kMain)]->isVisible() ? LightZone::kMain : zone_;
    Host().CheckDeviceReady([this, colorRef, zone] {
        resultBtn_->SetColor(colorRef);
        shown_[Slot(zone)].color = colorRef;
        CommitLighting(zone);
    });
}

void LightingPage::OnColorBoxEdited(int channel) {
    QLineEdit* edit = edits_[static_cast<std::size_t>(channel)];
    if (const auto clamped = ClampedColorText(edit->text().toStdString())) {
        edit->setText(QString::fromStdString(*clamped));
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
    }
    const LightZone zone = zone_;
    Host().CheckDeviceReady([this, zone] {
        const std::uint32_t color =
            ColorFromBoxes(edits_[0]->text().toStdString(), edits_[1]->text().toStdString(),
                           edits_[2]->text().toStdString());
        if (resultBtn_->isHidden()) return;
        resultBtn_->SetColor(color);
        shown_[Slot(zone)].color = color;
        CommitLighting(zone);
    });
}

void LightingPage::ChooseSleep(std::uint32_t seconds) {
    if (!sleepBox_->SelectValue(seconds)) return;
    StoreToRecord(Host().Record());
    Host().ApplyLightingChange(SET_SLEEP, 0);
}

void LightingPage::ToggleLightOff() {
    if (lightOff_->IsLocked()) return;
    Host().CheckDeviceReady([this] {
        lightOff_->SetCheck(!lightOff_->GetCheck());
        StoreToRecord(Host().Record());
        Host().ApplyLightingChange(SET_LIGHTOFF, 0);
    });
}

std::intptr_t LightingPage::OnWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                            std::intptr_t lParam) {
    (void)wParam;
    (void)lParam;
    // A slider asks before its thumb moves.
    if (message == WM_SLIDER_CHANGING) return Host().IsDeviceReady() ? 1 : 0;
    return 1;
}

bool LightingPage::event(QEvent* event) {
    if (event->type() != WindowMessageEvent::EventType()) return SettingsPage::event(event);
    const auto* m = static_cast<WindowMessageEvent*>(event);
    const int id = static_cast<int>(m->lParam & 0xFFFF);
    if (m->message == WM_COMMAND) {
        const int control = static_cast<int>(m->wParam);
        if (control == kIdMainEffect || control == kIdLogoEffect) {
            const LightZone zone = control == kIdMainEffect ? LightZone::kMain : LightZone::kLogo;
            ChooseEffect(zone, static_cast<std::uint32_t>(effectBox_[Slot(zone)]->ControlValue()));
        } else if (control == kIdSleep) {
            ChooseSleep(static_cast<std::uint32_t>(sleepBox_->ControlValue()));
        }
    } else if (m->message == WM_SLIDER_MOVING) {
        UpdateLabels();
    } else if (m->message == WM_SLIDER_CHANGED && (id == kIdLight || id == kIdSpeed)) {
        SetSliderValue(id == kIdLight, static_cast<int>(m->wParam));
    } else if (m->message == WM_COLORBTN_CLICKED) {
        resultBtn_->SetFrame(true);
    } else if (m->message == WM_COLOR_CHANGED) {
        // A colour confirmed in the desktop's picker (double click on the colour button)
        // is taken like a picked one, so the boxes and the record follow the button.
        resultBtn_->SetColor(shown_[Slot(zone_)].color);  // it follows once the change is taken
        PickColor(static_cast<std::uint32_t>(m->wParam));
    }
    return true;
}

void LightingPage::mousePressEvent(QMouseEvent* event) {
    event->ignore();  // the main window is dragged by the page's empty places
}

void LightingPage::RefreshTexts() {
    captions_ = {
        QString::fromStdString(Text("tc_page4")),     QString::fromStdString(Text("tc_adv_str8")),
        QString::fromStdString(Text("tc_adv_str7")),  QString::fromStdString(Text("tc_adv_str10")),
        QString::fromStdString(Text("tc_adv_str20")), QString::fromStdString(Text("tc_adv_str23")),
        QString::fromStdString(Text("tc_adv_str11"))};
    zoneBtn_[0]->SetText(QString::fromStdString(Text("tc_led_eft1")));
    zoneBtn_[1]->SetText(QString::fromStdString(Text("tc_led_eft2")));
    // The painted captions name the controls beside them for assistive tools too.
    for (SkinnedComboBox* box : effectBox_) box->setAccessibleName(captions_[1]);
    lightBar_->setAccessibleName(captions_[2]);
    speedBar_->setAccessibleName(captions_[3]);
    sleepBox_->setAccessibleName(captions_[4]);
    lightOff_->setAccessibleName(captions_[5]);
    FillEffectBoxes();
    FillSleepBox();
    ShowLockReasons();
    update();
}

void LightingPage::ShowLockReasons() {
    const QString effect = QString::fromStdString(Text("tc_lock_effect"));
    for (SkinnedSlider* bar : {lightBar_, speedBar_}) ShowLockReason(bar, bar->IsLocked(), effect);
    ShowLockReason(lightLabel_, lightLabel_->IsLocked(), effect);
    ShowLockReason(speedLabel_, speedLabel_->IsLocked(), effect);
    const QString cable = QString::fromStdString(Text("tc_lock_cable"));
    ShowLockReason(sleepBox_, sleepBox_->IsLocked(), cable);
    ShowLockReason(lightOff_, lightOff_->IsLocked(), cable);
}

void LightingPage::Layout4K() {
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr) continue;
        // The number boxes were placed at the doubled size when they were made.
        if (std::find(edits_.begin(), edits_.end(), widget) != edits_.end()) continue;
        Move4K(widget);
    }
}

void LightingPage::RebuildMousePicture() {
    if (mouseLed_.isNull() || (!showMain_ && !showLogo_)) {
        litMouse_ = QImage();
        return;
    }
    // How each light is drawn: off (dark), in its own colour, or across the hues.
    struct Look {
        bool off = false;
        bool rainbow = false;
        QColor color;
        double level = 1.0;
    };
    auto lookOf = [this](LightZone zone) {
        const ShownLighting& shown = shown_[Slot(zone)];
        const EffectRule rule = zone == LightZone::kMain ? MainEffectRule(setup_, shown.effect)
                                                         : LogoEffectRule(shown.effect);
        const StepRange range = LightRange(zone, setup_.lightParam);
        Look look;
        look.off = shown.effect == 0;
        look.rainbow = !rule.hasColor;
        look.color = ColorFromColorRef(shown.color);
        if (rule.light != 0) {
            look.level = 0.35 + 0.65 * std::clamp(shown.light, 1, range.maximum) / range.maximum;
        }
        return look;
    };
    // With both lights the logo part of the picture shows the logo light; otherwise the
    // one light of the model lights every part.
    const LightZone only = showMain_ ? LightZone::kMain : LightZone::kLogo;
    const Look main = lookOf(only);
    const Look logo = showMain_ && showLogo_ ? lookOf(LightZone::kLogo) : main;
    const bool split = showMain_ && showLogo_ && !logoMask_.isNull();

    const QColor body(0x2C, 0x2F, 0x39);
    litMouse_ = mouseLed_.copy();
    const int w = litMouse_.width();
    const int h = litMouse_.height();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(litMouse_.scanLine(y));
        const auto* mask =
            split ? reinterpret_cast<const QRgb*>(logoMask_.constScanLine(y)) : nullptr;
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (a == 0) continue;
            // The lit parts of the picture are the strongly blue ones (the skin's glow).
            const double lit = std::clamp((qBlue(p) - qRed(p) - 30) / 150.0, 0.0, 1.0);
            if (lit <= 0.0) continue;
            const Look& look = mask != nullptr && qAlpha(mask[x]) > 0 ? logo : main;
            const QColor target = look.off       ? body
                                  : look.rainbow ? RainbowAt(static_cast<double>(x + y) / (w + h))
                                                 : look.color;
            const double value = std::max({qRed(p), qGreen(p), qBlue(p)}) / 255.0;
            const double gain = look.off ? 1.0 : value * look.level;
            auto mix = [&](int original, int wanted) {
                return std::clamp(static_cast<int>(original * (1.0 - lit) + wanted * gain * lit), 0,
                                  255);
            };
            const int alpha = look.off ? static_cast<int>(a * (1.0 - lit * 0.85)) : a;
            line[x] = qRgba(mix(qRed(p), target.red()), mix(qGreen(p), target.green()),
                            mix(qBlue(p), target.blue()), alpha);
        }
    }
}

void LightingPage::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    if (!background_.isNull()) painter.drawImage(rect(), background_);
    // Positions are those of the normal layout; LayoutRect doubles them in the 4K layout,
    // whose fonts are already the larger ones.
    if (!panel_.isNull()) painter.drawImage(LayoutRect(QRect(QPoint(0, 0), panel_.size())), panel_);
    if (!litMouse_.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(LayoutRect(mouseRect_), litMouse_);
    }
    const AppOptions& o = Options();
    const auto draw = [&painter](const QRect& r, int flags, const QString& text) {
        DrawFittedText(painter, LayoutRect(r), flags, text);
    };
    painter.setPen(TextColor());
    painter.setFont(TitleFont());
    draw(kTitleRect, Qt::AlignLeft | Qt::AlignVCenter, captions_[0]);
    painter.setFont(WindowFont());
    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    if (showMain_ || showLogo_) {
        draw(QRect(kEffectCaptionLeft, o.ptLedEft.y,
                   o.ptLedEft.x - kEffectCaptionLeft - kCaptionGap, kEffectBoxSize.height()),
             left, captions_[1]);
        draw(QRect(o.ptLight.x, o.ptLight.y - 28, kSliderSize.width(), 18), left, captions_[2]);
        draw(QRect(o.ptSpeed.x, o.ptSpeed.y - 28, kSliderSize.width(), 18), left, captions_[3]);
    }
    if (showSleep_) {
        const int sleepX = o.ptSleep.x + kSleepBoxSize.width() + kCaptionGap;
        draw(QRect(sleepX, o.ptSleep.y, kPanelRight - 12 - sleepX, kSleepBoxSize.height()), left,
             captions_[4]);
        const int offX = o.ptLightOffOnMoving.x + kSwitchSize.width() + kCaptionGap;
        draw(QRect(offX, o.ptLightOffOnMoving.y - 4, kPanelRight - 12 - offX, 19), left,
             captions_[5]);
    }
    if (!resultBtn_->isHidden()) {
        draw(QRect(o.ptGrid.x - 18, o.ptGrid.y - 40, 300, 18), left, captions_[6]);
        static const char* const kChannels[3] = {"R", "G", "B"};
        for (int i = 0; i < 3; ++i) {
            const QRect label(o.ptRGBEdit.x + i * kColorBoxStep - kColorLabelWidth, o.ptRGBEdit.y,
                              kColorLabelWidth - 4, kColorBoxSize.height());
            draw(label, Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(kChannels[i]));
        }
    }
}

}  // namespace vantor
