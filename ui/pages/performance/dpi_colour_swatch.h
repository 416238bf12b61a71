// DpiColourSwatch: the colour swatch of a DPI level on the performance page. It paints its whole
// area in its colour, with a faint edge. A left click (button released), unless it is read-only,
// opens the desktop's colour picker with the current colour; a confirmed colour is offered to the
// parent first (WM_COLOR_CHANGED sent with lParam = index | kColorChangeQuery; an answer of 0
// refuses it), then taken, repainted and announced (WM_COLOR_CHANGED posted, lParam = index).
#pragma once

#include <QColor>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

namespace vantor {

constexpr std::intptr_t kColorChangeQuery = 0x800000;

class DpiColourSwatch : public QWidget {
    Q_OBJECT
  public:
    // Asks the user for a colour starting at the given one; nothing when cancelled.
    using ColorChooser = std::function<std::optional<QColor>(const QColor& start, QWidget* parent)>;

    explicit DpiColourSwatch(QWidget* parent = nullptr);

    void SetColor(std::uint32_t colorRef);
    std::uint32_t Color() const { return color_; }
    void SetIndex(int index) { index_ = index; }
    int Index() const { return index_; }
    // Read-only: shows the colour, a click does nothing (and the cursor says so).
    void SetReadOnly(bool on);
    bool IsReadOnly() const { return readOnly_; }
    // The desktop's colour picker unless replaced (tests).
    void SetColorChooser(ColorChooser chooser) { chooser_ = std::move(chooser); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    std::uint32_t color_ = 0xFFFFFF;
    int index_ = -1;
    bool readOnly_ = false;
    ColorChooser chooser_;
};

}  // namespace vantor
