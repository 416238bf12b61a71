#include "ui/pages/performance/performance_page_base.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/config/config.h"
#include "base/log.h"
#include "base/texts.h"
#include "profile/sensor_tables.h"
#include "ui/pages/performance/dpi_colour_swatch.h"
#include "ui/popups/message_window.h"
#include "ui/widgets/colour_button.h"  // WM_COLOR_CHANGED
#include "ui/widgets/combo_open_check.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/page_lock.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_combo_box.h"
#include "ui/widgets/skinned_slider.h"
#include "ui/widgets/two_thumb_slider.h"
#include "ui/widgets/window_message.h"

namespace vantor {

namespace {

constexpr int kLevelSliderId = 100;  // + level
constexpr int kDpiLightId = 200;
constexpr int kDpiSpeedId = 201;
constexpr int kLevelCountId = 210;
constexpr int kEffectId = 211;
constexpr int kValueLabelWidth = 42;
constexpr int kLabelGap = 70;
constexpr int kSwatchLeft = 33;
constexpr qreal kLockedValueOpacity = 0.4;  // a value the chosen effect does not use
constexpr int kSwatchSize = 18;
constexpr int kSensorModeGap = 45;
constexpr int kNextBoxGap = 35;
constexpr int kNextBoxGapWithSync = 15;
constexpr int kOldCaptionGap = 8;
constexpr int kOldCaptionWidth = 142;
// Left edge of the switch captions: right of the lift-off title, with room for translations
// longer than "Angle snapping".
constexpr int kCaptionLeft = 645;
constexpr int kEffectCaptionLeft = 47;
constexpr int kSliderCaptionLeft = 8;
constexpr QSize kEffectBoxSize{147, 30};
constexpr int kSmallSliderHeight = 10;
constexpr int kOldRateGap = 90;

QImage Skin(const QString& name) {
    QImage image = LoadSkinImage(name);
    return Is4KLayout() ? ScaledCopy(image, 2) : image;
}

void Place(QWidget* widget, const QRect& rect) {
    if (widget != nullptr) widget->setGeometry(LayoutRect(rect));
}

QRect Unscaled(const QWidget* widget) {
    const QRect r = widget->geometry();
    return Is4KLayout() ? QRect(r.x() / 2, r.y() / 2, r.width() / 2, r.height() / 2) : r;
}

// The hint under the DPI rows: its gap below the last row and its height.
constexpr int kHintGap = 10;
constexpr int kHintHeight = 18;
// The lift-off tip: its corner when the DPI light controls are hidden, else the band above
// the lift-off setting (two lines at least).
constexpr QRect kLiftOffTipCorner{QPoint(30, 415), QPoint(430, 512)};
constexpr int kLiftOffTipLeft = 440;
constexpr int kLiftOffTipRight = 880;  // the report rates' captions begin at 892
constexpr int kLiftOffTipMinHeight = 36;

}  // namespace

PerformancePageBase::PerformancePageBase(QWidget* parent, PageHost& host, const QImage& background,
                                         PerformanceLayout layout)
    : SettingsPage(parent, host, background), layout_(std::move(layout)) {
    CreateControls();
    RefreshTexts();
}

PerformancePageBase::~PerformancePageBase() = default;

QColor PerformancePageBase::TextColor() const {
    return ColorFromColorRef(Options().clrTxtAdvDlg);
}

QRect PerformancePageBase::Fixed(const QRect& rect) const {
    return LayoutRect(rect);
}

QImage PerformancePageBase::Crop(const QRect& rect) const {
    return BackgroundCrop(background_, LayoutRect(rect));
}

SkinnedButton* PerformancePageBase::NewBox(const QRect& rect, bool radio) {
    auto* box = new SkinnedButton(this);
    const QString on = radio ? QStringLiteral("radio_dn.png") : QStringLiteral("check_dn.png");
    const QString off = radio ? QStringLiteral("radio_nr.png") : QStringLiteral("check_nr.png");
    box->SetImages(Skin(off), Skin(off), Skin(on));
    box->SetPressedAltImage(Skin(on));
    box->SetCheckMode(true, false);  // the page sets the state after the device-ready check
    box->SetStretch(true);
    Place(box, rect);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

SkinnedSlider* PerformancePageBase::NewSmallSlider(const QPoint& at, int width, const QString& bar,
                                                   const QString& fill, int controlId, int stops) {
    auto* slider = new SkinnedSlider(this);
    slider->Create(LayoutRect(QRect(at, QSize(width, kSmallSliderHeight))), controlId, Skin(bar),
                   Skin(fill), Skin(QStringLiteral("slider.png")));
    slider->SetRange(1, stops);
    slider->SetEvenScale(stops);
    slider->SetShowMarks(true);
    slider->SetAskFirst(true);
    return slider;
}

void PerformancePageBase::CreateControls() {
    for (int i = 0; i < kDpiLevels; ++i) {
        Row& row = rows_[static_cast<std::size_t>(i)];
        row.slider = new TwoThumbSlider(this);
        row.slider->Create(QRect(0, 0, layout_.rowWidth, kRowHeight), kLevelSliderId + i,
                           Skin(layout_.rowBar), Skin(layout_.rowFill),
                           Skin(QStringLiteral("slider.png")), Skin(QStringLiteral("slider2.png")));
        row.slider->SetAskFirst(true);
        row.slider->ShowThumb(false, 1);
        row.label = new SkinnedButton(this);
        connect(row.label, &SkinnedButton::clicked, this, [this, i] { OnLevelLabel(i); });
        for (int axis = 0; axis < 2; ++axis) {
            SkinnedButton*& value = row.value[static_cast<std::size_t>(axis)];
            value = new SkinnedButton(this);
            value->setCursor(Qt::IBeamCursor);
            connect(value, &SkinnedButton::clicked, this, [this, i, axis] { TypeValue(i, axis); });
        }
        row.swatch = new DpiColourSwatch(this);
        row.swatch->SetIndex(i);
        for (QWidget* w : {static_cast<QWidget*>(row.slider), static_cast<QWidget*>(row.label),
                           static_cast<QWidget*>(row.value[0]), static_cast<QWidget*>(row.value[1]),
                           static_cast<QWidget*>(row.swatch)}) {
            w->hide();
        }
    }
    levelCount_ = new SkinnedComboBox(this);
    levelCount_->SetControlId(kLevelCountId);
    levelCount_->SetImages(Skin(QStringLiteral("combo2_nr.png")), {}, {});
    levelCount_->SetStretch(true);
    levelCount_->SetVeto([this](std::uint32_t, std::intptr_t) { return Host().IsDeviceReady(); },
                         0);
    levelCount_->SetChangesOnly(true);
    AskBeforeOpening(levelCount_, [this] { return Host().IsDeviceReady(); });
    xyBox_ = NewBox({}, false);
    connect(xyBox_, &SkinnedButton::clicked, this, [this] {
        RunChange([this] {
            const PerfRequest request = editor_.SetSeparateXY(!xyBox_->GetCheck());
            ShowEditorValues();  // thumbs, their pictures and the value labels
            return std::optional(request);
        });
    });

    for (int r = 0; r < 4; ++r) {
        rates_[static_cast<std::size_t>(r)] = NewBox({}, true);
        connect(rates_[static_cast<std::size_t>(r)], &SkinnedButton::clicked, this,
                [this, r] { RunChange([this, r] { return editor_.SetRateButton(r); }); });
    }
    for (int l = 0; l < 2; ++l) {
        lod_[static_cast<std::size_t>(l)] = NewBox({}, true);
        connect(lod_[static_cast<std::size_t>(l)], &SkinnedButton::clicked, this,
                [this, l] { RunChange([this, l] { return editor_.SetLiftOff(l + 1); }); });
        sensorMode_[static_cast<std::size_t>(l)] = NewBox({}, true);
        connect(sensorMode_[static_cast<std::size_t>(l)], &SkinnedButton::clicked, this, [this, l] {
            RunChange([this, l] { return std::optional(editor_.SetSensorMode(l == 0)); });
        });
    }
    ripple_ = NewBox({}, false);
    connect(ripple_, &SkinnedButton::clicked, this, [this] {
        RunChange([this] { return std::optional(editor_.SetRipple(!editor_.Values().ripple)); });
    });
    fixLine_ = NewBox({}, false);
    connect(fixLine_, &SkinnedButton::clicked, this, [this] {
        RunChange(
            [this] { return std::optional(editor_.SetAngleSnapping(!editor_.Values().fixLine)); });
    });
    motionSync_ = NewBox({}, false);
    connect(motionSync_, &SkinnedButton::clicked, this, [this] {
        RunChange(
            [this] { return std::optional(editor_.SetMotionSync(!editor_.Values().motionSync)); });
    });

    const AppOptions& o = Options();
    effect_ = new SkinnedComboBox(this);
    effect_->SetControlId(kEffectId);
    effect_->SetImages(Skin(QStringLiteral("combo_nr.png")), {}, {});
    effect_->SetStretch(true);
    effect_->SetVeto([this](std::uint32_t, std::intptr_t) { return Host().IsDeviceReady(); }, 0);
    effect_->SetChangesOnly(true);
    AskBeforeOpening(effect_, [this] { return Host().IsDeviceReady(); });
    light_ = NewSmallSlider({o.ptDpiLight.x, o.ptDpiLight.y}, layout_.lightWidth, layout_.lightBar,
                            layout_.lightFill, kDpiLightId, kDpiLightSteps);
    speed_ = NewSmallSlider({o.ptDpiSpeed.x, o.ptDpiSpeed.y}, layout_.lightWidth, layout_.lightBar,
                            layout_.lightFill, kDpiSpeedId, kDpiSpeedSteps);
    for (QWidget* w : {static_cast<QWidget*>(levelCount_), static_cast<QWidget*>(xyBox_),
                       static_cast<QWidget*>(effect_), static_cast<QWidget*>(light_),
                       static_cast<QWidget*>(speed_)}) {
        w->hide();
    }
    for (SkinnedButton* b : rates_) b->hide();
    for (SkinnedButton* b : lod_) b->hide();
    for (SkinnedButton* b : sensorMode_) b->hide();
    ripple_->hide();
    fixLine_->hide();
    motionSync_->hide();
}

bool PerformancePageBase::HasDevice() const {
    return CurrentDevice().Sensor != 0;
}

int PerformancePageBase::DeviceLevels() const {
    return std::clamp(CurrentDevice().DM, 1, kDpiLevels);
}

QRect PerformancePageBase::RowRect(int level) const {
    const AppOptions& o = Options();
    const int y = o.ptDpiBar.y + level * (kRowHeight + CurrentDevice().DPIH);
    return {o.ptDpiBar.x, y, layout_.rowWidth, kRowHeight};
}

QRect PerformancePageBase::LiftOffTipRect() const {
    const DeviceSection& d = CurrentDevice();
    if (!layout_.lodTips || d.ShowLOD == 0 || Text("tc_lodtips").empty()) return {};
    // The tip's own corner, unless the DPI light controls take it (they do on most models).
    if (effect_->isHidden()) return kLiftOffTipCorner;
    // Then just above the lift-off setting, below the DPI rows and their hint and left of
    // the report rates, when two lines fit there.
    const int top = prepared_ && d.ShowDpi != 0
                        ? RowRect(DeviceLevels() - 1).bottom() + 1 + kHintGap + kHintHeight + 8
                        : kPageTitleRect.bottom() + 30;
    const QRect tip(QPoint(kLiftOffTipLeft, top),
                    QPoint(kLiftOffTipRight, layout_.lodTitle.top() - 6));
    return tip.height() >= kLiftOffTipMinHeight ? tip : QRect();
}

PerformanceShown PerformancePageBase::Shown() const {
    return ShownForDevice(CurrentDevice(), false);
}

void PerformancePageBase::PrepareForDevice() {
    const DeviceSection& d = CurrentDevice();
    if (Host().Record() == nullptr || !HasDevice() || d.DM > kDpiLevels) return;
    const std::span<const std::uint16_t> steps =
        TheSensorTables().Steps(static_cast<std::uint32_t>(d.Sensor));
    if (steps.empty()) {
        // A model without DPI steps: the rows of the previous model must not stay.
        prepared_ = false;
        ShowLevelRows();
        return;
    }
    stops_ = DpiStops(steps);
    prepared_ = true;
    // Shown or hidden before placing: the boxes below each other close up over hidden ones,
    // and a control never shown yet (page built under a shown window) counts as hidden.
    const bool showDpi = d.ShowDpi != 0;
    levelCount_->setVisible(showDpi);
    xyBox_->setVisible(showDpi && d.ShowXY != 0);
    const bool showLed = showDpi && d.ShowDpiLED != 0;
    effect_->setVisible(showLed);
    light_->setVisible(showLed);
    speed_->setVisible(showLed);
    for (SkinnedButton* b : rates_) b->setVisible(d.ShowUsbRate != 0);
    for (SkinnedButton* b : lod_) b->setVisible(d.ShowLOD != 0);
    for (SkinnedButton* b : sensorMode_) b->setVisible(d.ptSensorMode != Point{});
    ripple_->setVisible(d.ShowRipple != 0);
    fixLine_->setVisible(d.ShowFixLine != 0);
    motionSync_->setVisible(d.ShowMotionSync != 0);
    PlaceRows();
    for (Row& row : rows_) {
        for (int thumb = 0; thumb < 2; ++thumb) {
            row.slider->SetRange(0, static_cast<int>(stops_.size()) - 1, thumb);
            row.slider->SetValueTable(stops_, thumb);
        }
        row.swatch->SetReadOnly(d.DpiColorReadOnly != 0);
    }
    SetRowScales();
    levelCount_->ClearItems(0);
    for (int n = 1; n <= DeviceLevels(); ++n) {
        levelCount_->AddItem(0, static_cast<std::uint32_t>(n), std::to_string(n));
    }
    effect_->ClearItems(0);
    effect_->AddItem(0, 1, Text("tc_led_mode1"));
    effect_->AddItem(0, 2, Text("tc_led_mode2"));
    effect_->AddItem(0, 0, Text("tc_led_mode7"));

    ShowEditorValues();
}

void PerformancePageBase::SetRowScales() {
    if (!prepared_) return;
    for (Row& row : rows_) {
        for (int thumb = 0; thumb < 2; ++thumb) {
            const SliderThumb* knob = row.slider->Thumb(thumb);
            row.slider->SetScalePos(
                SpreadStopPositions(row.slider->width(), knob != nullptr ? knob->width() : 0,
                                    static_cast<int>(stops_.size())),
                thumb);
        }
    }
}

void PerformancePageBase::Layout4K() {
    PlaceRows();
    SetRowScales();
    update();
}

void PerformancePageBase::PlaceRows() {
    const AppOptions& o = Options();
    const DeviceSection& d = CurrentDevice();
    for (int i = 0; i < kDpiLevels; ++i) {
        Row& row = rows_[static_cast<std::size_t>(i)];
        const QRect bar = RowRect(i);
        Place(row.slider, bar);
        const QRect swatch(bar.left() - kSwatchLeft, bar.top() + 6, kSwatchSize, kSwatchSize);
        Place(row.swatch, swatch);
        const QRect label(swatch.left() - kLabelGap, bar.top(), kLabelGap - 4, kRowHeight);
        Place(row.label, label);
        row.label->SetBackgroundImage(Crop(label));
    }
    ShowSeparateXY();
    const QRect first = RowRect(0);
    Place(levelCount_, QRect(QPoint(first.right() - 83, 25), QPoint(first.right(), 44)));
    const QRect last = RowRect(DeviceLevels() - 1);
    Place(xyBox_, QRect(last.left(), last.bottom() + 1 + 15, kBoxSize, kBoxSize));

    QPoint at = layout_.firstRate;
    for (SkinnedButton* b : rates_) {
        Place(b, QRect(at, QSize(kRadioSize, kRadioSize)));
        at = layout_.ratesInRow ? QPoint(at.x() + kRadioSize + kOldRateGap, at.y())
                                : QPoint(at.x(), at.y() + kRadioSize + o.RateVSp);
    }
    Place(lod_[0], QRect(layout_.firstLod, QSize(kRadioSize, kRadioSize)));
    Place(lod_[1],
          QRect(QPoint(layout_.firstLod.x() + kRadioSize + layout_.lodGap, layout_.firstLod.y()),
                QSize(kRadioSize, kRadioSize)));
    const QPoint mode(d.ptSensorMode.x, d.ptSensorMode.y);
    Place(sensorMode_[0], QRect(mode, QSize(kRadioSize, kRadioSize)));
    Place(sensorMode_[1], QRect(QPoint(mode.x() + kRadioSize + kSensorModeGap, mode.y()),
                                QSize(kRadioSize, kRadioSize)));
    QRect box(QPoint(d.ptRipple.x, d.ptRipple.y), QSize(kBoxSize, kBoxSize));
    const int gap = d.ShowMotionSync != 0 ? kNextBoxGapWithSync : kNextBoxGap;
    for (SkinnedButton* b : {ripple_, fixLine_, motionSync_}) {
        if (b == fixLine_ && d.ptFixLine != Point{}) {
            box.moveTopLeft(QPoint(d.ptFixLine.x, d.ptFixLine.y));
        }
        Place(b, box);
        if (!b->isHidden() || !prepared_) box.translate(0, kBoxSize + gap);
    }
    Place(effect_, QRect(QPoint(o.ptDpiEft.x, o.ptDpiEft.y), kEffectBoxSize));
    Place(light_, QRect(QPoint(o.ptDpiLight.x, o.ptDpiLight.y),
                        QSize(layout_.lightWidth, kSmallSliderHeight)));
    Place(speed_, QRect(QPoint(o.ptDpiSpeed.x, o.ptDpiSpeed.y),
                        QSize(layout_.lightWidth, kSmallSliderHeight)));
}

void PerformancePageBase::ShowSeparateXY() {
    const bool xy = editor_.Values().xy;
    for (int i = 0; i < kDpiLevels; ++i) {
        Row& row = rows_[static_cast<std::size_t>(i)];
        const QRect bar = RowRect(i);
        row.slider->SetThumbImage(
            Skin(xy ? QStringLiteral("slider1.png") : QStringLiteral("slider.png")), 0);
        row.slider->ShowThumb(xy, 1);
        QRect xLabel(bar.right() + 10, bar.top(), 50, kRowHeight);
        QRect yLabel(bar.right() + 8, bar.top() + 15, kValueLabelWidth, 14);
        if (xy) xLabel = QRect(bar.right() + 8, bar.top(), kValueLabelWidth, 14);
        Place(row.value[0], xLabel);
        Place(row.value[1], yLabel);
        row.value[0]->SetBackgroundImage(Crop(xLabel));
        row.value[1]->SetBackgroundImage(Crop(yLabel));
    }
    ShowLevelRows();
}

void PerformancePageBase::ShowLevelRows() {
    const DeviceSection& d = CurrentDevice();
    const PerformanceValues& v = editor_.Values();
    const bool showDpi = prepared_ && d.ShowDpi != 0;
    for (int i = 0; i < kDpiLevels; ++i) {
        Row& row = rows_[static_cast<std::size_t>(i)];
        const bool shown = showDpi && i < v.levels && i < DeviceLevels();
        row.slider->setVisible(shown);
        row.label->setVisible(shown);
        row.value[0]->setVisible(shown);
        row.value[1]->setVisible(shown && v.xy);
        row.swatch->setVisible(shown && d.ShowDpiColor != 0);
    }
    update();
}

void PerformancePageBase::LoadFromRecord(const ProfileFile* record) {
    if (record == nullptr) record = Host().Record();
    if (record == nullptr) return;
    editor_.Load(*record);
    loaded_ = true;
    ShowEditorValues();
}

void PerformancePageBase::ShowEditorValues() {
    ShowValues();
    if (!prepared_ || !loaded_) return;
    const PerformanceValues& v = editor_.Values();
    for (int i = 0; i < kDpiLevels; ++i) {
        Row& row = rows_[static_cast<std::size_t>(i)];
        const std::size_t at = static_cast<std::size_t>(i);
        // A value that is not a stop shows the nearest one; the record keeps its value
        // until the user moves this thumb.
        for (int axis = 0; axis < 2; ++axis) {
            const int value = axis == 0 ? v.dpiX[at] : (v.xy ? v.dpiY[at] : v.dpiX[at]);
            const int stop = NearestStopIndex(stops_, value);
            if (stop >= 0) row.slider->SetPos(stop, false, axis);
            row.value[static_cast<std::size_t>(axis)]->SetText(
                QString::number(row.slider->GetValue(axis)));
        }
        row.swatch->SetColor(v.color[at]);
    }
    levelCount_->SelectValue(static_cast<std::uint32_t>(v.levels));
    effect_->SelectValue(static_cast<std::uint32_t>(v.effectMode));
    SetBoxes();
    ShowSeparateXY();
    ShowDpiLight();
    MarkCurrentLevel(Host().Session().CurDpiLevel());
}

void PerformancePageBase::SetBoxes() {
    const PerformanceValues& v = editor_.Values();
    xyBox_->SetCheck(v.xy);
    const int rate = RateButtonOfRecord(v.reportRate);
    for (int r = 0; r < 4; ++r) rates_[static_cast<std::size_t>(r)]->SetCheck(r == rate);
    if (v.lod == 1 || v.lod == 2) {
        lod_[0]->SetCheck(v.lod == 1);
        lod_[1]->SetCheck(v.lod == 2);
    }
    sensorMode_[0]->SetCheck(v.sensorMode == 1);
    sensorMode_[1]->SetCheck(v.sensorMode != 1);
    ripple_->SetCheck(v.ripple);
    fixLine_->SetCheck(v.fixLine);
    motionSync_->SetCheck(v.motionSync);
}

void PerformancePageBase::ShowDpiLight() {
    const PerformanceValues& v = editor_.Values();
    // The setting the effect does not use keeps showing its value, greyed and locked.
    light_->SetLocked(v.effectMode != 1);
    speed_->SetLocked(v.effectMode != 2);
    const QString why = QString::fromStdString(Text("tc_lock_effect"));
    ShowLockReason(light_, light_->IsLocked(), why);
    ShowLockReason(speed_, speed_->IsLocked(), why);
    light_->SetPos(std::clamp(v.effectLight, 1, kDpiLightSteps));
    speed_->SetPos(std::clamp(v.effectSpeed, 1, kDpiSpeedSteps));
    update();
}

void PerformancePageBase::StoreToRecord(ProfileFile* record) {
    if (record == nullptr || !loaded_) return;
    StorePerformanceValues(editor_.Values(), Shown(), *record);
}

void PerformancePageBase::RunChange(const std::function<std::optional<PerfRequest>()>& change) {
    Host().CheckDeviceReady([this, change] { CommitChange(change()); });
}

void PerformancePageBase::CommitChange(const std::optional<PerfRequest>& request) {
    SetBoxes();
    if (!request) return;
    StoreToRecord(Host().Record());
    Host().ApplyChange(request->flags, request->index);
}

void PerformancePageBase::MarkCurrentLevel(int level) {
    if (level < 0 || level >= kDpiLevels) return;
    markedLevel_ = level;
    const QColor mark = ColorFromColorRef(Options().clrDpiMark);
    const QColor text = TextColor();
    for (int i = 0; i < kDpiLevels; ++i) {
        SkinnedButton* label = rows_[static_cast<std::size_t>(i)].label;
        const QColor c = i == level ? mark : text;
        label->SetTextColors(c, c, c);
        label->update();
    }
}

void PerformancePageBase::SelectReportRateFromDevice(int rateCode) {
    const int button = RateButtonOfDeviceCode(static_cast<std::uint64_t>(rateCode));
    if (button < 0) return;
    editor_.SetRateButton(button);
    SetBoxes();
}

void PerformancePageBase::OnLevelLabel(int level) {
    if (CurrentDevice().SetDPIByClick == 0) return;
    RunChange([this, level]() -> std::optional<PerfRequest> {
        const std::optional<PerfRequest> request = editor_.ChooseCurrentLevel(level);
        if (!request) return std::nullopt;
        Host().Session().SetCurDpiLevel(level);
        MarkCurrentLevel(level);
        return request;
    });
}

void PerformancePageBase::TypeValue(int level, int axis) {
    if (!prepared_ || stops_.empty() || level < 0 || level >= kDpiLevels) return;
    if (axis == 1 && !editor_.Values().xy) return;
    const QString prompt = QString::fromStdString(
        DpiInputPrompt(Text("tc_dpirange"), Text("tc_dpi"), stops_.front(), stops_.back()));
    std::optional<int> typed;
    if (numberPrompt_) {
        typed = numberPrompt_(prompt);
    } else {
        MessageWindow dialog(window());
        dialog.SetMode(kMsgNumberInput);
        dialog.SetPrompt(prompt);
        dialog.SetTextLimit(kNumberInputChars);
        if (dialog.exec() == QDialog::Accepted) typed = dialog.InputNumber();
    }
    if (!typed || *typed == 0) return;
    RunChange([this, level, axis, value = *typed]() -> std::optional<PerfRequest> {
        const std::optional<PerfRequest> request = editor_.TypeLevelDpi(level, axis, value, stops_);
        if (!request) return std::nullopt;
        Row& row = rows_[static_cast<std::size_t>(level)];
        const PerformanceValues& v = editor_.Values();
        const std::size_t at = static_cast<std::size_t>(level);
        row.slider->SetPosByValue(axis == 0 ? v.dpiX[at] : v.dpiY[at], false, axis);
        row.value[static_cast<std::size_t>(axis)]->SetText(
            QString::number(axis == 0 ? v.dpiX[at] : v.dpiY[at]));
        return request;
    });
}

void PerformancePageBase::OnColorChanged(int level, std::uint32_t color) {
    if (level < 0 || level >= kDpiLevels) return;
    DpiColourSwatch* swatch = rows_[static_cast<std::size_t>(level)].swatch;
    // The swatch took the colour already: it shows the record's colour until the change is
    // taken, so a refused change leaves nothing behind.
    swatch->SetColor(editor_.Values().color[static_cast<std::size_t>(level)]);
    RunChange([this, level, color, swatch]() -> std::optional<PerfRequest> {
        const std::optional<PerfRequest> request = editor_.SetLevelColor(level, color);
        if (request) swatch->SetColor(color);
        return request;
    });
}

void PerformancePageBase::OnLevelCountChosen() {
    const int count = static_cast<int>(levelCount_->ControlValue());
    const bool sync = Options().SyncChangeDpiLevel != 0;
    const std::optional<PerfRequest> request = editor_.SetLevelCount(count, DeviceLevels(), sync);
    if (request && sync) {
        Host().Session().SetCurDpiLevel(0);
        MarkCurrentLevel(0);
    }
    ShowLevelRows();
    CommitChange(request);
}

void PerformancePageBase::OnEffectChosen() {
    const std::optional<PerfRequest> request =
        editor_.SetDpiEffect(static_cast<int>(effect_->ControlValue()));
    ShowDpiLight();
    CommitChange(request);
}

std::intptr_t PerformancePageBase::OnWindowMessage(std::uint32_t message, std::uintptr_t,
                                                   std::intptr_t lParam) {
    // Sliders ask before a thumb moves: only a ready device lets it go.
    if (message == WM_SLIDER_CHANGING) return Host().IsDeviceReady() ? 1 : 0;
    // A swatch asks before it takes a colour confirmed in the picker.
    if (message == WM_COLOR_CHANGED && (lParam & kColorChangeQuery) != 0) {
        return Host().IsDeviceReady() ? 1 : 0;
    }
    return 1;
}

bool PerformancePageBase::event(QEvent* event) {
    if (event->type() != WindowMessageEvent::EventType()) return SettingsPage::event(event);
    auto* m = static_cast<WindowMessageEvent*>(event);
    if (m->message == WM_COMMAND) {
        if (static_cast<int>(m->wParam) == kLevelCountId) OnLevelCountChosen();
        if (static_cast<int>(m->wParam) == kEffectId) OnEffectChosen();
        return true;
    }
    if (m->message == WM_COLOR_CHANGED) {
        OnColorChanged(static_cast<int>(m->lParam), static_cast<std::uint32_t>(m->wParam));
        return true;
    }
    if (m->message == WM_SLIDER_MOVING || m->message == WM_SLIDER_CHANGED) {
        const int thumb = static_cast<int>((m->lParam >> 16) & 0xFFFF);
        const int id = static_cast<int>(m->lParam & 0xFFFF);
        OnSlider(m->message, thumb, id, static_cast<int>(m->wParam));
        return true;
    }
    return SettingsPage::event(event);
}

void PerformancePageBase::OnSlider(std::uint32_t message, int thumb, int controlId, int value) {
    const bool released = message == WM_SLIDER_CHANGED;
    if (controlId >= kLevelSliderId && controlId < kLevelSliderId + kDpiLevels) {
        const int level = controlId - kLevelSliderId;
        Row& row = rows_[static_cast<std::size_t>(level)];
        if (thumb == 1 && !editor_.Values().xy) return;
        row.value[static_cast<std::size_t>(thumb)]->SetText(QString::number(value));
        if (!editor_.Values().xy && thumb == 0) {
            row.slider->SetPos(row.slider->GetPos(0), false, 1);
        }
        if (released) CommitChange(editor_.SetLevelDpi(level, thumb, value));
        return;
    }
    if (controlId == kDpiLightId || controlId == kDpiSpeedId) {
        update();  // the value beside the slider
        if (!released) return;
        CommitChange(controlId == kDpiLightId ? editor_.SetDpiLight(value)
                                              : editor_.SetDpiSpeed(value));
        return;
    }
    if (released) OnVariantSlider(controlId, thumb, value);
}

TwoThumbSlider* PerformancePageBase::LevelSlider(int level) const {
    return level >= 0 && level < kDpiLevels ? rows_[static_cast<std::size_t>(level)].slider
                                            : nullptr;
}

DpiColourSwatch* PerformancePageBase::Swatch(int level) const {
    return level >= 0 && level < kDpiLevels ? rows_[static_cast<std::size_t>(level)].swatch
                                            : nullptr;
}

SkinnedButton* PerformancePageBase::LevelLabel(int level) const {
    return level >= 0 && level < kDpiLevels ? rows_[static_cast<std::size_t>(level)].label
                                            : nullptr;
}

SkinnedButton* PerformancePageBase::ValueLabel(int level, int axis) const {
    if (level < 0 || level >= kDpiLevels || axis < 0 || axis > 1) return nullptr;
    return rows_[static_cast<std::size_t>(level)].value[static_cast<std::size_t>(axis)];
}

SkinnedButton* PerformancePageBase::RateButton(int index) const {
    return index >= 0 && index < 4 ? rates_[static_cast<std::size_t>(index)] : nullptr;
}

SkinnedButton* PerformancePageBase::LiftOffButton(int index) const {
    return index >= 0 && index < 2 ? lod_[static_cast<std::size_t>(index)] : nullptr;
}

SkinnedButton* PerformancePageBase::SensorModeButton(int index) const {
    return index >= 0 && index < 2 ? sensorMode_[static_cast<std::size_t>(index)] : nullptr;
}

// The caption under lift-off button `index` (0 or 1): its text, else the height in mm.
QString PerformancePageBase::LiftOffCaption(int index) {
    const QString caption = QString::fromStdString(Text(index == 0 ? "tc_lod1" : "tc_lod2"));
    return caption.isEmpty() ? QStringLiteral("%1 mm").arg(index + 1) : caption;
}

// The painted captions name the controls beside them for assistive tools too.
void PerformancePageBase::NameControls() {
    const auto text = [](const char* key) { return QString::fromStdString(Text(key)); };
    const std::pair<QWidget*, const char*> named[] = {
        {levelCount_, "tc_adv_str19"}, {xyBox_, "tc_msg19"},          {ripple_, "tc_adv_str12"},
        {fixLine_, "tc_adv_str13"},    {motionSync_, "tc_adv_str17"}, {effect_, "tc_adv_str14"},
        {light_, "tc_adv_str7"},       {speed_, "tc_adv_str10"}};
    for (const auto& [widget, key] : named) widget->setAccessibleName(text(key));
    for (std::size_t r = 0; r < rates_.size(); ++r) {
        rates_[r]->setAccessibleName(
            QStringLiteral("%1 %2 Hz").arg(text("tc_adv_str6")).arg(kRateButtonHz[r]));
    }
    for (std::size_t l = 0; l < lod_.size(); ++l) {
        lod_[l]->setAccessibleName(text("tc_adv_str9") + QLatin1Char(' ') +
                                   LiftOffCaption(static_cast<int>(l)));
    }
    for (std::size_t m = 0; m < sensorMode_.size(); ++m) {
        sensorMode_[m]->setAccessibleName(text("tc_msg4") +
                                          (m == 0 ? QStringLiteral(" HP") : QStringLiteral(" LP")));
    }
}

void PerformancePageBase::RefreshTexts() {
    const QColor text = TextColor();
    const QString dpi = QString::fromStdString(Text("tc_dpi"));
    for (int i = 0; i < kDpiLevels; ++i) {
        Row& row = rows_[static_cast<std::size_t>(i)];
        row.label->SetText(layout_.levelLabelWithDpiText
                               ? QStringLiteral("%1 %2").arg(dpi).arg(i + 1)
                               : QStringLiteral("DPI %1").arg(i + 1));
        for (SkinnedButton* value : row.value) value->SetTextColors(text, text, text);
        row.slider->setAccessibleName(row.label->Text());
    }
    NameControls();
    for (SkinnedComboBox* box : {levelCount_, effect_}) {
        box->SetTextColors(ColorFromColorRef(Options().Btn_txt_clr_ov),
                           ColorFromColorRef(Options().Btn_txt_clr_nr),
                           ColorFromColorRef(Options().Btn_txt_clr_dn));
    }
    if (prepared_) {
        // The effect names are language texts.
        const std::uint32_t mode = static_cast<std::uint32_t>(editor_.Values().effectMode);
        effect_->ClearItems(0);
        effect_->AddItem(0, 1, Text("tc_led_mode1"));
        effect_->AddItem(0, 2, Text("tc_led_mode2"));
        effect_->AddItem(0, 0, Text("tc_led_mode7"));
        effect_->SelectValue(mode);
    }
    MarkCurrentLevel(markedLevel_);
    if (prepared_) ShowDpiLight();  // the lock reasons in the new language
    update();
}

void PerformancePageBase::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (!background_.isNull()) painter.drawImage(rect(), background_);
    painter.setFont(WindowFont());
    painter.setPen(TextColor());
    const DeviceSection& d = CurrentDevice();
    const auto text = [](const char* key) { return QString::fromStdString(Text(key)); };
    const auto draw = [&](const QRect& r, int flags, const QString& s) {
        if (!s.isEmpty()) DrawFittedText(painter, Fixed(r), flags, s);
    };
    constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter;
    constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter;
    constexpr int kCentre = Qt::AlignCenter;

    if (prepared_ && d.ShowDpi != 0) {
        painter.save();
        painter.setFont(TitleFont());
        draw(QRect(20, 14, 300, 34), kLeft, text("tc_page2"));
        painter.restore();
        // The hint would lie over the second row's track just below the first row: it goes
        // below the last row the device has, right-aligned the same way.
        const QRect first = RowRect(0);
        const QRect last = RowRect(DeviceLevels() - 1);
        draw(QRect(first.right() + 36 - 400, last.bottom() + 1 + kHintGap, 400, kHintHeight),
             kRight, text("tc_msg26"));
        draw(QRect(first.right() - 83 - 8 - 250, 25, 250, 19), kRight, text("tc_adv_str19"));
        if (!xyBox_->isHidden()) {
            const QRect box = Unscaled(xyBox_);
            draw(QRect(box.right() + 8, box.top() - 4, 250, 19), kLeft, text("tc_msg19"));
        }
    }
    if (d.ShowUsbRate != 0) {
        draw(layout_.rateTitle, kCentre, text("tc_adv_str6"));
        for (int r = 0; r < 4; ++r) {
            const QRect b = Unscaled(rates_[static_cast<std::size_t>(r)]);
            draw(QRect(b.center().x() - 40, b.bottom() + 4, 80, 18), kCentre,
                 QStringLiteral("%1 Hz").arg(kRateButtonHz[static_cast<std::size_t>(r)]));
        }
    }
    if (d.ShowLOD != 0) {
        draw(layout_.lodTitle, kCentre, text("tc_adv_str9"));
        for (int l = 0; l < 2; ++l) {
            const QRect b = Unscaled(lod_[static_cast<std::size_t>(l)]);
            draw(QRect(b.center().x() - 30, b.bottom() + 4, 60, 18), kCentre, LiftOffCaption(l));
        }
        if (const QRect tip = LiftOffTipRect(); !tip.isEmpty()) {
            draw(tip, Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, text("tc_lodtips"));
        }
    }
    const std::pair<SkinnedButton*, const char*> boxes[] = {
        {ripple_, "tc_adv_str12"}, {fixLine_, "tc_adv_str13"}, {motionSync_, "tc_adv_str17"}};
    for (const auto& [box, key] : boxes) {
        if (box->isHidden()) continue;
        const QRect b = Unscaled(box);
        if (layout_.captionsRightOfBoxes) {
            draw(QRect(b.right() + kOldCaptionGap, b.top() - 4, kOldCaptionWidth, 19), kLeft,
                 text(key));
        } else {
            draw(QRect(kCaptionLeft, b.top() - 4, b.left() - 8 - kCaptionLeft, 19), kLeft,
                 text(key));
        }
    }
    if (!sensorMode_[0]->isHidden()) {
        const QRect hp = Unscaled(sensorMode_[0]);
        const QRect lp = Unscaled(sensorMode_[1]);
        draw(QRect(hp.right() + 5, hp.top() - 4, 30, 19), kLeft, QStringLiteral("HP"));
        draw(QRect(lp.right() + 5, lp.top() - 4, 30, 19), kLeft, QStringLiteral("LP"));
        draw(QRect(hp.left() - 8 - 160, hp.top() - 4, 160, 19), kRight, text("tc_msg4"));
        draw(QRect(hp.left() - 100, hp.bottom() + 6, 260, 18), kCentre, text("tc_sensor_tips"));
    }
    if (!effect_->isHidden()) {
        const QRect e = Unscaled(effect_);
        draw(QRect(kEffectCaptionLeft, e.top(), e.left() - 6 - kEffectCaptionLeft, e.height()),
             kLeft, text("tc_adv_str14"));
        const int mode = editor_.Values().effectMode;
        const std::pair<SkinnedSlider*, const char*> sliders[] = {{light_, "tc_adv_str7"},
                                                                  {speed_, "tc_adv_str10"}};
        for (const auto& [slider, key] : sliders) {
            const QRect s = Unscaled(slider);
            // Wider than the effect caption: the sliders start close to the page's edge.
            draw(QRect(kSliderCaptionLeft, s.top() - 5, s.left() - 8 - kSliderCaptionLeft, 20),
                 kRight, text(key));
            // The value of a setting the effect does not use is drawn dimmed.
            const bool active = (slider == light_ && mode == 1) || (slider == speed_ && mode == 2);
            painter.setOpacity(active ? 1.0 : kLockedValueOpacity);
            draw(QRect(s.right() + 10, s.top() - 5, 30, 20), kLeft,
                 QString::number(slider->GetValue()));
            painter.setOpacity(1.0);
        }
    }
    PaintVariant(painter);
}

}  // namespace vantor
