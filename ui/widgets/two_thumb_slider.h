// The two-thumb horizontal slider: TwoThumbSlider hosts an upper thumb (index 0, e.g. the
// X resolution) and a lower thumb (index 1, e.g. Y), each with its own range, value table
// and scale. A click in the lower half of the track moves the lower thumb; with the lower
// thumb hidden the upper one takes the whole track and every click. Messages, fill and
// marks are those of SkinnedSlider.
#pragma once

#include "ui/widgets/skinned_slider.h"

namespace vantor {

// Thumb window of the two-thumb track.
class TwoThumbSliderThumb : public SliderThumb {
    Q_OBJECT

  public:
    TwoThumbSliderThumb(SkinnedSlider* bar, int thumbIndex);
    ~TwoThumbSliderThumb() override;
};

class TwoThumbSlider : public SkinnedSlider {
    Q_OBJECT

  public:
    explicit TwoThumbSlider(QWidget* parent = nullptr);
    ~TwoThumbSlider() override;

    // Places the track and creates both thumbs; -1 after "Create slider failed" when a
    // thumb picture is missing.
    int Create(const QRect& rect, int controlId, const QImage& background, const QImage& fill,
               const QImage& upperThumb, const QImage& lowerThumb);

  protected:
    int ThumbForPoint(const QPoint& point) const override;
    int ThumbCrossCentre(int thumb) const override;
    SliderThumb* CreateThumb(int thumb) override;

  private:
    bool BothThumbsShown() const;
};

}  // namespace vantor
