// MousePicture: the mouse picture on the button page, a child window with one area per
// mouse button that can be highlighted to show which button is being set.
//
// Its background is the page background behind it with "mouse_nr.png" of the device's
// skin folder drawn over it; "mouse_dn.png" composed the same way gives the highlighted
// look. Pressing the left mouse button on it drags the main window.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <array>

#include "base/config_values.h"
#include "profile/profile_record.h"

namespace vantor {

class SkinnedButton;

class MousePicture : public QWidget {
    Q_OBJECT

  public:
    explicit MousePicture(QWidget* page);

    // "<cid><mid>/" as two-digit hex numbers each, e.g. "0101/".
    static QString MouseFolder(int cid, int mid);

    // Composes the pictures over `pageBackground` (unscaled) at `position` in the page and
    // creates area i from mark i (x, y, right, bottom in the picture) when the mark is not
    // empty and i < keyCount. False, with nothing created, when "mouse_nr.png" is missing.
    bool Create(const QImage& pageBackground, QPoint position, int cid, int mid,
                const std::array<Rect, kKeysPerSet>& marks, int keyCount);

    // Highlights area `index` (0-15) and clears the others; a larger index only clears.
    void MarkKey(unsigned index);

    // Null where no area is shown.
    SkinnedButton* Area(int index) const;
    const QImage& Picture() const { return picture_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QImage picture_;
    std::array<SkinnedButton*, kKeysPerSet> areas_{};
    bool dragging_ = false;
    QPoint dragOffset_;
};

}  // namespace vantor
