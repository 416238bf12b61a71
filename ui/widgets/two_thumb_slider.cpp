#include "ui/widgets/two_thumb_slider.h"

#include "ui/widgets/logic/slider_scale.h"

namespace vantor {

TwoThumbSliderThumb::TwoThumbSliderThumb(SkinnedSlider* bar, int thumbIndex)
    : SliderThumb(bar, thumbIndex, Qt::Horizontal) {}

TwoThumbSliderThumb::~TwoThumbSliderThumb() = default;

TwoThumbSlider::TwoThumbSlider(QWidget* parent) : SkinnedSlider(parent, 2) {}

TwoThumbSlider::~TwoThumbSlider() = default;

int TwoThumbSlider::Create(const QRect& rect, int controlId, const QImage& background,
                           const QImage& fill, const QImage& upperThumb, const QImage& lowerThumb) {
    if (lowerThumb.isNull() || lowerThumb.width() == 0) {
        ReportSliderCreateFailed();
        return -1;
    }
    SetThumbImage(lowerThumb, 1);
    return SkinnedSlider::Create(rect, controlId, background, fill, upperThumb, Qt::Horizontal);
}

SliderThumb* TwoThumbSlider::CreateThumb(int thumb) {
    return new TwoThumbSliderThumb(this, thumb);
}

bool TwoThumbSlider::BothThumbsShown() const {
    return IsThumbVisible(0) && IsThumbVisible(1);
}

int TwoThumbSlider::ThumbForPoint(const QPoint& point) const {
    if (!IsThumbVisible(1)) return 0;
    if (!IsThumbVisible(0)) return 1;
    return point.y() >= height() / 2 ? 1 : 0;
}

int TwoThumbSlider::ThumbCrossCentre(int thumb) const {
    if (!BothThumbsShown()) return height() / 2;
    return thumb == 0 ? height() / 4 : height() * 3 / 4;
}

}  // namespace vantor
