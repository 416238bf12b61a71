// ColourWheel: the colour wheel ("color.png") and the 14 preset cells of the lighting
// page, in one window that covers both. A left click inside the ellipse inscribed in the
// wheel takes the wheel's colour under the pointer; a click in a preset cell takes that
// cell's colour; both emit colorPicked. Other clicks pass to the page (which lets the
// main window be dragged). While picking is off the window only paints.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>

#include "ui/pages/lighting/logic/lighting_rules.h"

namespace vantor {

class ColourWheel : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWheelSize = 173;

    // `wheelAt` and `gridAt` are page coordinates (ptGradit, ptGrid); the window places
    // itself over both.
    ColourWheel(QWidget* parent, QPoint wheelAt, QPoint gridAt);

    void SetPicking(bool on);
    bool IsPicking() const { return picking_; }
    // The colour a click at `shown` (window coordinates) takes, or nothing.
    std::optional<std::uint32_t> ColorAt(QPoint shown) const;
    // Places in the normal layout, for tests: the centre of preset `index`, the wheel.
    QPoint PresetCentre(int index) const;
    QRect WheelRect() const;

  signals:
    void colorPicked(std::uint32_t colorRef);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QImage wheel_;
    QPoint wheelAt_;  // window coordinates
    QPoint gridAt_;
    bool picking_ = false;
};

}  // namespace vantor
