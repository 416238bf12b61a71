// OlderPerformancePage: the older layout of the DPI and performance page (OldAdvDlg): 390-pixel
// level rows, report rates in a row, and a section that edits the desktop pointer settings the
// profile carries (pointer speed, wheel lines, double-click time, enhanced precision).
#pragma once

#include <array>

#include "ui/pages/performance/performance_page_base.h"

namespace vantor {

class OlderPerformancePage : public PerformancePageBase {
  public:
    OlderPerformancePage(QWidget* parent, PageHost& host, const QImage& background);

    void Layout4K() override;

    SkinnedSlider* PointerSpeedSlider() const { return sliders_[kSpeed]; }
    SkinnedSlider* WheelLinesSlider() const { return sliders_[kWheel]; }
    SkinnedSlider* DoubleClickSlider() const { return sliders_[kDoubleClick]; }
    SkinnedButton* EnhancePrecisionBox() const { return enhance_; }
    SkinnedButton* OneScreenBox() const { return oneScreen_; }

  protected:
    PerformanceShown Shown() const override;
    void ShowValues() override;
    void PaintVariant(QPainter& painter) override;
    void OnVariantSlider(int controlId, int thumb, int value) override;
    // A click on this layout's background does nothing (the newer one lets the main window
    // take it and drag itself).
    void mousePressEvent(QMouseEvent* event) override;

  private:
    enum Slider { kSpeed = 0, kWheel = 1, kDoubleClick = 2 };
    void PlacePointerSection();

    std::array<SkinnedSlider*, 3> sliders_{};
    SkinnedButton* enhance_ = nullptr;
    SkinnedButton* oneScreen_ = nullptr;
};

}  // namespace vantor
