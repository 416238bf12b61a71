#include "ui/widgets/skinned_slider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/widgets/control_accessibility.h"
#include "ui/widgets/focus_frame.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

// How strongly a locked or disabled slider shows its fill and thumbs.
constexpr qreal kFadedSliderOpacity = 0.4;

}  // namespace

SliderThumb::SliderThumb(SkinnedSlider* bar, int thumbIndex, Qt::Orientation orientation)
    : QWidget(bar), bar_(bar), thumbIndex_(thumbIndex), orientation_(orientation) {}

SliderThumb::~SliderThumb() = default;

void SliderThumb::SetImage(const QImage& image) {
    image_ = image;
    resize(image.size());
    update();
}

int SliderThumb::Along(const QPoint& point) const {
    return orientation_ == Qt::Horizontal ? point.x() : point.y();
}

void SliderThumb::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (bar_->IsFaded()) painter.setOpacity(kFadedSliderOpacity);
    painter.drawImage(rect(), image_);
}

void SliderThumb::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !bar_->BeginDrag(thumbIndex_)) return;
    dragging_ = true;
    const QSize half = size() / 2;
    grabOffset_ = Along(event->position().toPoint()) -
                  (orientation_ == Qt::Horizontal ? half.width() : half.height());
}

void SliderThumb::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!dragging_) return;
    const QPoint inBar = mapTo(bar_, event->position().toPoint());
    bar_->DragTo(thumbIndex_, Along(inBar) - grabOffset_);
}

void SliderThumb::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    bar_->EndDrag(thumbIndex_);
}

SkinnedSlider::SkinnedSlider(QWidget* parent) : SkinnedSlider(parent, 1) {}

SkinnedSlider::SkinnedSlider(QWidget* parent, int thumbCount)
    : QWidget(parent), thumbs_(static_cast<std::size_t>(std::max(thumbCount, 1))) {
    EnsureControlAccessibility();
    focusFrame_ = new FocusFrameState(this);
    setFocusPolicy(Qt::TabFocus);
}

SkinnedSlider::~SkinnedSlider() = default;

int SkinnedSlider::Create(const QRect& rect, int controlId, const QImage& background,
                          const QImage& fill, const QImage& thumb, Qt::Orientation orientation) {
    if (thumb.isNull() || thumb.width() == 0) {
        ReportSliderCreateFailed();
        return -1;
    }
    orientation_ = orientation;
    controlId_ = controlId;
    background_ = background;
    fill_ = fill;
    setGeometry(rect);
    for (int i = 0; i < ThumbCount(); ++i) {
        ThumbSlot& slot = thumbs_[static_cast<std::size_t>(i)];
        if (slot.window == nullptr) slot.window = CreateThumb(i);
        if (i == 0 || slot.image.isNull()) slot.image = thumb;
        slot.window->SetImage(slot.image);
        slot.window->setVisible(slot.visible);
    }
    PlaceThumbs();
    return 0;
}

SliderThumb* SkinnedSlider::CreateThumb(int thumb) {
    return new SliderThumb(this, thumb, orientation_);
}

bool SkinnedSlider::ValidThumb(int thumb) const {
    return thumb >= 0 && thumb < ThumbCount();
}

const SliderState& SkinnedSlider::State(int thumb) const {
    static const SliderState kNone;
    return ValidThumb(thumb) ? thumbs_[static_cast<std::size_t>(thumb)].state : kNone;
}

SliderThumb* SkinnedSlider::Thumb(int thumb) const {
    return ValidThumb(thumb) ? thumbs_[static_cast<std::size_t>(thumb)].window : nullptr;
}

void SkinnedSlider::SetTrackImages(const QImage& background, const QImage& fill) {
    background_ = background;
    fill_ = fill;
    update();
}

void SkinnedSlider::SetThumbImage(const QImage& image, int thumb) {
    if (!ValidThumb(thumb)) return;
    ThumbSlot& slot = thumbs_[static_cast<std::size_t>(thumb)];
    slot.image = image;
    if (slot.window != nullptr) {
        slot.window->SetImage(image);
        PlaceThumbs();
    }
}

void SkinnedSlider::ShowThumb(bool visible, int thumb) {
    if (!ValidThumb(thumb)) return;
    ThumbSlot& slot = thumbs_[static_cast<std::size_t>(thumb)];
    slot.visible = visible;
    if (slot.window != nullptr) slot.window->setVisible(visible);
    PlaceThumbs();  // the other thumb may take the whole track now
    update();
}

void SkinnedSlider::SetLocked(bool on) {
    if (locked_ == on) return;
    locked_ = on;
    update();
    for (const ThumbSlot& slot : thumbs_) {
        if (slot.window != nullptr) slot.window->update();
    }
}

bool SkinnedSlider::IsThumbVisible(int thumb) const {
    return ValidThumb(thumb) && thumbs_[static_cast<std::size_t>(thumb)].visible;
}

void SkinnedSlider::SetRange(int minimum, int maximum, int thumb) {
    if (!ValidThumb(thumb)) return;
    thumbs_[static_cast<std::size_t>(thumb)].state.SetRange(minimum, maximum);
    PlaceThumbs();
    update();
}

void SkinnedSlider::SetValueTable(std::span<const int> values, int thumb) {
    if (!ValidThumb(thumb)) return;
    thumbs_[static_cast<std::size_t>(thumb)].state.SetValueTable(values);
}

void SkinnedSlider::SetScalePos(std::span<const int> positions, int thumb) {
    if (!ValidThumb(thumb)) return;
    thumbs_[static_cast<std::size_t>(thumb)].state.SetScalePos(positions);
    PlaceThumbs();
    update();
}

void SkinnedSlider::SetEvenScale(int count, int thumb) {
    if (!ValidThumb(thumb)) return;
    SetScalePos(EvenScalePositions(TrackLength(), ThumbAlongSize(thumb), count), thumb);
}

void SkinnedSlider::SetPos(int position, bool notify, int thumb) {
    if (!ValidThumb(thumb)) return;
    ThumbSlot& slot = thumbs_[static_cast<std::size_t>(thumb)];
    slot.state.SetPos(position);
    const int centre = slot.state.XOfPos(slot.state.Pos(), TrackLength());
    PlaceThumb(thumb, centre);
    if (slot.visible) fillWidth_ = centre;
    update();
    if (notify) PostToParent(WM_SLIDER_CHANGED, thumb);
}

bool SkinnedSlider::SetPosByValue(int value, bool notify, int thumb) {
    if (!ValidThumb(thumb)) return false;
    SliderState probe = thumbs_[static_cast<std::size_t>(thumb)].state;
    if (!probe.SetPosByValue(value)) return false;
    SetPos(probe.Pos(), notify, thumb);
    return true;
}

int SkinnedSlider::GetPos(int thumb) const {
    return State(thumb).Pos();
}

int SkinnedSlider::GetValue(int thumb) const {
    return State(thumb).Value();
}

void SkinnedSlider::SetBackgroundColor(const QColor& color) {
    backgroundColor_ = color;
    update();
}

void SkinnedSlider::SetShowMarks(bool on, const QColor& color) {
    showMarks_ = on;
    markColor_ = color;
    update();
}

int SkinnedSlider::TrackLength() const {
    return orientation_ == Qt::Horizontal ? width() : height();
}

int SkinnedSlider::ThumbAlongSize(int thumb) const {
    const QImage& image = thumbs_[static_cast<std::size_t>(thumb)].image;
    return orientation_ == Qt::Horizontal ? image.width() : image.height();
}

int SkinnedSlider::ThumbForPoint(const QPoint& /*point*/) const {
    return 0;
}

int SkinnedSlider::ThumbCrossCentre(int /*thumb*/) const {
    return (orientation_ == Qt::Horizontal ? height() : width()) / 2;
}

void SkinnedSlider::PlaceThumb(int thumb, int centre) {
    SliderThumb* window = thumbs_[static_cast<std::size_t>(thumb)].window;
    if (window == nullptr) return;
    const QSize size = window->size();
    const int cross = ThumbCrossCentre(thumb);
    if (orientation_ == Qt::Horizontal) {
        window->move(centre - size.width() / 2, cross - size.height() / 2);
    } else {
        window->move(cross - size.width() / 2, centre - size.height() / 2);
    }
}

void SkinnedSlider::PlaceThumbs() {
    for (int i = 0; i < ThumbCount(); ++i) {
        const SliderState& state = thumbs_[static_cast<std::size_t>(i)].state;
        PlaceThumb(i, state.XOfPos(state.Pos(), TrackLength()));
    }
}

void SkinnedSlider::PostToParent(std::uint32_t message, int thumb) {
    if (!notify_) return;
    PostWindowMessage(parentWidget(), message, static_cast<std::uintptr_t>(GetValue(thumb)),
                      SliderMessageParam(thumb, controlId_));
}

bool SkinnedSlider::ParentAllows(int thumb, int value) {
    return !askFirst_ ||
           SendWindowMessage(parentWidget(), WM_SLIDER_CHANGING, static_cast<std::uintptr_t>(value),
                             SliderMessageParam(thumb, controlId_)) != 0;
}

void SkinnedSlider::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || locked_) return;
    const QPoint point = event->position().toPoint();
    const int thumb = ThumbForPoint(point);
    if (!IsThumbVisible(thumb)) return;
    ThumbSlot& slot = thumbs_[static_cast<std::size_t>(thumb)];
    const int along = orientation_ == Qt::Horizontal ? point.x() : point.y();
    const int position = slot.state.PosFromX(along, TrackLength());
    if (!ParentAllows(thumb, slot.state.ValueAt(position))) return;
    SetPos(position, true, thumb);
}

bool SkinnedSlider::UserMoveTo(int position, int thumb) {
    if (locked_ || !isEnabled() || !IsThumbVisible(thumb)) return false;
    const SliderState& state = thumbs_[static_cast<std::size_t>(thumb)].state;
    const int clamped = std::clamp(position, state.Minimum(), state.Maximum());
    if (!ParentAllows(thumb, state.ValueAt(clamped))) return false;
    SetPos(clamped, true, thumb);
    return true;
}

int SkinnedSlider::KeyboardThumb() const {
    for (int i = 0; i < ThumbCount(); ++i) {
        if (IsThumbVisible(i)) return i;
    }
    return -1;
}

void SkinnedSlider::keyPressEvent(QKeyEvent* event) {
    const int thumb = KeyboardThumb();
    if (thumb < 0) return QWidget::keyPressEvent(event);
    const SliderState& state = State(thumb);
    const int page = std::max(1, (state.Maximum() - state.Minimum()) / 10);
    int target = state.Pos();
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Down:
            target -= 1;
            break;
        case Qt::Key_Right:
        case Qt::Key_Up:
            target += 1;
            break;
        case Qt::Key_PageDown:
            target -= page;
            break;
        case Qt::Key_PageUp:
            target += page;
            break;
        case Qt::Key_Home:
            target = state.Minimum();
            break;
        case Qt::Key_End:
            target = state.Maximum();
            break;
        default:
            return QWidget::keyPressEvent(event);
    }
    event->accept();
    if (std::clamp(target, state.Minimum(), state.Maximum()) != state.Pos()) {
        UserMoveTo(target, thumb);
    }
}

bool SkinnedSlider::BeginDrag(int thumb) {
    if (locked_ || !IsThumbVisible(thumb)) return false;
    return ParentAllows(thumb, GetValue(thumb));
}

void SkinnedSlider::DragTo(int thumb, int centre) {
    if (!ValidThumb(thumb)) return;
    ThumbSlot& slot = thumbs_[static_cast<std::size_t>(thumb)];
    const int length = TrackLength();
    const int clamped = std::clamp(centre, 0, std::max(length, 0));
    PlaceThumb(thumb, clamped);
    fillWidth_ = clamped;
    update();
    const int position = slot.state.PosFromX(clamped, length);
    if (position == slot.state.Pos()) return;
    slot.state.SetPos(position);
    PostToParent(WM_SLIDER_MOVING, thumb);
}

void SkinnedSlider::EndDrag(int thumb) {
    if (!ValidThumb(thumb)) return;
    SetPos(GetPos(thumb), true, thumb);  // settle on the stop and report the value
}

void SkinnedSlider::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceThumbs();
}

void SkinnedSlider::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect track = rect();
    if (backgroundColor_.isValid()) {
        painter.fillRect(track, backgroundColor_);
    } else if (!background_.isNull()) {
        painter.drawImage(track, background_);
    }
    if (!fill_.isNull() && fillWidth_ > 0) {
        // The fill picture is scaled to the whole track and shown up to the fill width.
        painter.save();
        if (IsFaded()) painter.setOpacity(kFadedSliderOpacity);
        const QRect covered = orientation_ == Qt::Horizontal
                                  ? QRect(0, 0, fillWidth_, track.height())
                                  : QRect(0, 0, track.width(), fillWidth_);
        painter.setClipRect(covered);
        painter.drawImage(track, fill_);
        painter.restore();
    }
    if (showMarks_) {
        const SliderState& state = thumbs_.front().state;
        painter.setPen(markColor_);
        const bool horizontal = orientation_ == Qt::Horizontal;
        const int crossEnd = (horizontal ? track.height() : track.width()) - 1;
        const std::int64_t count = std::min<std::int64_t>(
            std::int64_t{state.Maximum()} - state.Minimum() + 1, kMaxSliderEntries);
        for (std::int64_t i = 0; i < count; ++i) {
            const int position = state.Minimum() + static_cast<int>(i);
            const int along = std::clamp(state.XOfPos(position, TrackLength()), 0,
                                         std::max(TrackLength() - 1, 0));
            if (horizontal) {
                painter.drawLine(along, crossEnd - 2, along, crossEnd);
            } else {
                painter.drawLine(crossEnd - 2, along, crossEnd, along);
            }
        }
    }
    if (focusFrame_->Shown()) DrawFocusFrame(painter, track);
}

}  // namespace vantor
