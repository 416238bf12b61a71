#include "controls/png_hslider_ex.h"

#include "controls/logic/slider_scale.h"

namespace vantor {

CPngHSliderEx::CPngHSliderEx(CPngSliderBar* bar, int thumbIndex)
    : CPngSlider(bar, thumbIndex, Qt::Horizontal) {}

CPngHSliderEx::~CPngHSliderEx() = default;

CPngHSliderBarEx::CPngHSliderBarEx(QWidget* parent) : CPngSliderBar(parent, 2) {}

CPngHSliderBarEx::~CPngHSliderBarEx() = default;

int CPngHSliderBarEx::Create(const QRect& rect, int controlId, const QImage& background,
                             const QImage& fill, const QImage& upperThumb,
                             const QImage& lowerThumb) {
    if (lowerThumb.isNull() || lowerThumb.width() == 0) {
        ReportSliderCreateFailed();
        return -1;
    }
    SetThumbImage(lowerThumb, 1);
    return CPngSliderBar::Create(rect, controlId, background, fill, upperThumb, Qt::Horizontal);
}

CPngSlider* CPngHSliderBarEx::CreateThumb(int thumb) {
    return new CPngHSliderEx(this, thumb);
}

bool CPngHSliderBarEx::BothThumbsShown() const {
    return IsThumbVisible(0) && IsThumbVisible(1);
}

int CPngHSliderBarEx::ThumbForPoint(const QPoint& point) const {
    if (!IsThumbVisible(1)) return 0;
    if (!IsThumbVisible(0)) return 1;
    return point.y() >= height() / 2 ? 1 : 0;
}

int CPngHSliderBarEx::ThumbCrossCentre(int thumb) const {
    if (!BothThumbsShown()) return height() / 2;
    return thumb == 0 ? height() / 4 : height() * 3 / 4;
}

}  // namespace vantor
