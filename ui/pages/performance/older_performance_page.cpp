#include "ui/pages/performance/older_performance_page.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/config/config.h"
#include "base/texts.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_slider.h"

namespace vantor {
namespace {

constexpr int kPointerSliderIdBase = 300;  // + Slider
constexpr int kPointerSliderWidth = 261;
constexpr int kPointerSliderHeight = 10;

PerformanceLayout OlderLayout() {
    PerformanceLayout layout;
    layout.rowWidth = 390;
    layout.rowBar = QStringLiteral("dpibar_nr.png");
    layout.rowFill = QStringLiteral("dpibar_ov.png");
    layout.levelLabelWithDpiText = true;
    layout.ratesInRow = true;
    layout.firstRate = {620, 73};
    layout.rateTitle = QRect(QPoint(594, 22), QPoint(894, 42));
    layout.firstLod = {632, 196};
    layout.lodGap = 57;
    layout.lodTitle = QRect(QPoint(594, 148), QPoint(794, 168));
    layout.lodTips = false;
    layout.captionsRightOfBoxes = true;
    layout.lightWidth = 374;
    layout.lightBar = QStringLiteral("dpibar_nr.png");
    layout.lightFill = QStringLiteral("dpibar_ov.png");
    return layout;
}

QPoint At(const Point& p) {
    return {p.x, p.y};
}

std::span<const int> StopsOf(int slider) {
    if (slider == 0) return kPointerSpeedStops;
    if (slider == 1) return kWheelLineStops;
    return kDoubleClickStops;
}

}  // namespace

OlderPerformancePage::OlderPerformancePage(QWidget* parent, PageHost& host,
                                           const QImage& background)
    : PerformancePageBase(parent, host, background, OlderLayout()) {
    const AppOptions& o = Options();
    const Point starts[] = {o.ptMoveSpeed, o.ptScrollSpeed, o.ptDbClickSpeed};
    for (int s = 0; s < 3; ++s) {
        const std::span<const int> stops = StopsOf(s);
        SkinnedSlider* slider = NewSmallSlider(
            At(starts[s]), kPointerSliderWidth, QStringLiteral("bar_nr.png"),
            QStringLiteral("bar_ov.png"), kPointerSliderIdBase + s, static_cast<int>(stops.size()));
        slider->SetRange(0, static_cast<int>(stops.size()) - 1);
        slider->SetValueTable(stops);
        slider->SetEvenScale(static_cast<int>(stops.size()));
        slider->setVisible(o.ShowSys != 0);
        sliders_[static_cast<std::size_t>(s)] = slider;
    }
    // The two boxes change only the desktop settings: no device-ready check.
    enhance_ = NewBox({}, false);
    connect(enhance_, &SkinnedButton::clicked, this, [this] {
        CommitChange(MutableEditor().SetEnhancePrecision(!Editor().Values().enhancePrecision));
    });
    oneScreen_ = NewBox({}, false);
    connect(oneScreen_, &SkinnedButton::clicked, this, [this] {
        CommitChange(MutableEditor().SetOneScreenPerNotch(!Editor().Values().oneScreenPerNotch));
        ShowValues();
    });
    enhance_->setVisible(o.ShowSys != 0);
    oneScreen_->setVisible(o.ShowSys != 0);
    PlacePointerSection();
}

void OlderPerformancePage::PlacePointerSection() {
    const AppOptions& o = Options();
    const Point starts[] = {o.ptMoveSpeed, o.ptScrollSpeed, o.ptDbClickSpeed};
    for (int s = 0; s < 3; ++s) {
        sliders_[static_cast<std::size_t>(s)]->setGeometry(
            LayoutRect(QRect(At(starts[s]), QSize(kPointerSliderWidth, kPointerSliderHeight))));
    }
    const auto below = [](const Point& p) {
        return LayoutRect(QRect(p.x, p.y + kPointerSliderHeight + 8, kBoxSize, kBoxSize));
    };
    enhance_->setGeometry(below(o.ptMoveSpeed));
    oneScreen_->setGeometry(below(o.ptScrollSpeed));
}

void OlderPerformancePage::Layout4K() {
    PerformancePageBase::Layout4K();
    PlacePointerSection();
}

PerformanceShown OlderPerformancePage::Shown() const {
    return ShownForDevice(CurrentDevice(), Options().ShowSys != 0);
}

void OlderPerformancePage::ShowValues() {
    const PerformanceValues& v = Editor().Values();
    const int values[] = {v.mouseSpeed, v.wheelLines, v.doubleClickTime};
    for (int s = 0; s < 3; ++s) {
        // A value between stops shows the nearest stop; the record keeps it until the user
        // moves the slider.
        const int stop = NearestStopIndex(StopsOf(s), values[s]);
        if (stop >= 0) sliders_[static_cast<std::size_t>(s)]->SetPos(stop);
    }
    enhance_->SetCheck(v.enhancePrecision);
    oneScreen_->SetCheck(v.oneScreenPerNotch);
    update();
}

void OlderPerformancePage::OnVariantSlider(int controlId, int /*thumb*/, int value) {
    PerformanceEditor& editor = MutableEditor();
    if (controlId == kPointerSliderIdBase + kSpeed) CommitChange(editor.SetPointerSpeed(value));
    if (controlId == kPointerSliderIdBase + kWheel) CommitChange(editor.SetWheelLines(value));
    if (controlId == kPointerSliderIdBase + kDoubleClick) {
        CommitChange(editor.SetDoubleClickTime(value));
    }
    update();
}

void OlderPerformancePage::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void OlderPerformancePage::PaintVariant(QPainter& painter) {
    if (Options().ShowSys == 0) return;
    const AppOptions& o = Options();
    const auto text = [](const char* key) { return QString::fromStdString(Text(key)); };
    const auto draw = [&](const QRect& r, int flags, const QString& s) {
        if (!s.isEmpty()) DrawFittedText(painter, Fixed(r), flags, s);
    };
    constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter;
    draw(QRect(594, o.ptMoveSpeed.y - 60, 350, 20), kLeft, text("tc_adv_str18"));
    const PerformanceValues& v = Editor().Values();
    const struct {
        Point at;
        const char* caption;
        QString value;
    } rows[] = {
        {o.ptMoveSpeed, "tc_adv_str2", QString::number(v.mouseSpeed)},
        {o.ptScrollSpeed, "tc_adv_str3",
         v.oneScreenPerNotch ? QString() : QString::number(v.wheelLines)},
        {o.ptDbClickSpeed, "tc_adv_str1", QString::number(v.doubleClickTime)},
    };
    for (const auto& row : rows) {
        draw(QRect(row.at.x, row.at.y - 25, 200, 20), kLeft, text(row.caption));
        const int right = row.at.x + kPointerSliderWidth;
        draw(QRect(QPoint(right + 12, row.at.y - 4), QPoint(right + 37, row.at.y + 14)), kLeft,
             row.value);
    }
    const Point& dbl = o.ptDbClickSpeed;
    draw(QRect(dbl.x, dbl.y + kPointerSliderHeight + 4, 100, 18), kLeft, text("tc_msg37"));
    draw(QRect(dbl.x + kPointerSliderWidth - 100, dbl.y + kPointerSliderHeight + 4, 100, 18),
         Qt::AlignRight | Qt::AlignVCenter, text("tc_msg38"));
    const auto beside = [&](const Point& p, const char* key) {
        draw(QRect(p.x + kBoxSize + 8, p.y + kPointerSliderHeight + 4, 330, 19), kLeft, text(key));
    };
    beside(o.ptMoveSpeed, "tc_adv_str5");
    beside(o.ptScrollSpeed, "tc_adv_str4");
}

}  // namespace vantor
