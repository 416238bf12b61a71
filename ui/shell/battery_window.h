// BatteryWindow: the battery window of the main window, 37 x 43 at ptPower. It shows one of
// the battery pictures (power1..power4 by level, power_charging while charging) over the
// main window's background and, depending on ShowPower, the level as a percentage.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>

namespace vantor {

class BatteryWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 37;
    static constexpr int kHeight = 43;
    static constexpr int kChargingRepaintTimerMs = 1400;

    // `background` is the main window's background under the window (may be null).
    BatteryWindow(QWidget* parent, const QImage& background);

    // One battery report: level 0-100 and the charging flag.
    void SetPower(int level, bool charging);

    int Level() const { return level_; }
    bool IsCharging() const { return charging_; }
    // 0 the charging picture, 1..4 power1..power4.
    int PictureIndex() const { return picture_; }
    bool ShowsPercentage() const;
    QString PercentageText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage background_;
    std::array<QImage, 5> pictures_;  // charging, power1..power4
    int level_ = 100;
    bool charging_ = false;
    int picture_ = 4;
    QTimer repaintTimer_;
};

}  // namespace vantor
