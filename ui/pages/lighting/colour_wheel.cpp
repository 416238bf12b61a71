#include "ui/pages/lighting/colour_wheel.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"

namespace vantor {

namespace {
constexpr int kGridColumns = 7;
constexpr int kGridRows = 2;
constexpr int kGridWidth = kGridColumns * kPresetCellSize + (kGridColumns - 1) * kPresetCellGap;
constexpr int kGridHeight = kGridRows * kPresetCellSize + (kGridRows - 1) * kPresetRowGap;
}  // namespace

ColourWheel::ColourWheel(QWidget* parent, QPoint wheelAt, QPoint gridAt)
    : QWidget(parent), wheel_(LoadSkinImage(QStringLiteral("color.png"))) {
    const QRect wheel(wheelAt, QSize(kWheelSize, kWheelSize));
    const QRect grid(gridAt, QSize(kGridWidth, kGridHeight));
    const QRect both = wheel.united(grid);
    setGeometry(both);
    wheelAt_ = wheelAt - both.topLeft();
    gridAt_ = gridAt - both.topLeft();
    if (!wheel_.isNull() && wheel_.size() != QSize(kWheelSize, kWheelSize)) {
        wheel_ =
            wheel_.scaled(kWheelSize, kWheelSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    wheel_ = wheel_.convertToFormat(QImage::Format_ARGB32);
    setMouseTracking(true);
}

void ColourWheel::SetPicking(bool on) {
    if (picking_ == on) return;
    picking_ = on;
    if (!on) unsetCursor();
    update();
}

QRect ColourWheel::WheelRect() const {
    return {wheelAt_, QSize(kWheelSize, kWheelSize)};
}

QPoint ColourWheel::PresetCentre(int index) const {
    const CellRect cell = PresetCell(gridAt_.x(), gridAt_.y(), index);
    return {cell.x + cell.width / 2, cell.y + cell.height / 2};
}

std::optional<std::uint32_t> ColourWheel::ColorAt(QPoint shown) const {
    // The window is doubled in the 4K layout; its places are those of the normal one.
    const QPoint point = Is4KLayout() ? shown / 2 : shown;
    const int preset = PresetAt(gridAt_.x(), gridAt_.y(), point.x(), point.y());
    if (preset >= 0) return PresetColors()[static_cast<std::size_t>(preset)];
    const CellRect wheel{wheelAt_.x(), wheelAt_.y(), kWheelSize, kWheelSize};
    if (wheel_.isNull() || !InEllipse(wheel, point.x(), point.y())) return std::nullopt;
    const QPoint at = point - wheelAt_;
    const QRgb pixel = wheel_.pixel(std::clamp(at.x(), 0, wheel_.width() - 1),
                                    std::clamp(at.y(), 0, wheel_.height() - 1));
    return static_cast<std::uint32_t>(qRed(pixel)) |
           (static_cast<std::uint32_t>(qGreen(pixel)) << 8) |
           (static_cast<std::uint32_t>(qBlue(pixel)) << 16);
}

void ColourWheel::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    if (Is4KLayout()) painter.scale(2, 2);
    // While the effect has no colour of its own the wheel and the cells only fade in.
    if (!picking_) painter.setOpacity(0.3);
    if (!wheel_.isNull()) painter.drawImage(wheelAt_, wheel_);
    const auto& colors = PresetColors();
    for (int i = 0; i < static_cast<int>(colors.size()); ++i) {
        const CellRect cell = PresetCell(gridAt_.x(), gridAt_.y(), i);
        painter.fillRect(QRect(cell.x, cell.y, cell.width, cell.height),
                         ColorFromColorRef(colors[static_cast<std::size_t>(i)]));
    }
}

void ColourWheel::mousePressEvent(QMouseEvent* event) {
    const auto color = picking_ && event->button() == Qt::LeftButton
                           ? ColorAt(event->position().toPoint())
                           : std::nullopt;
    if (!color) {
        event->ignore();  // the page lets the main window be dragged
        return;
    }
    event->accept();
    emit colorPicked(*color);
}

void ColourWheel::mouseMoveEvent(QMouseEvent* event) {
    if (picking_ && ColorAt(event->position().toPoint())) {
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
    event->ignore();
}

}  // namespace vantor
