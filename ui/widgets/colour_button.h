// ColourButton: the colour button of the lighting page. It shows one colour (inset by 2 px)
// or a picture stretched over it, with an optional 1 px frame. A left press posts
// WM_COLORBTN_CLICKED (wParam 1 while the frame is off, lParam the index) to its parent; a
// double click with the picker enabled opens the desktop's colour picker and, when a colour
// is confirmed, takes it and posts WM_COLOR_CHANGED (colour, index).
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>

namespace vantor {

constexpr std::uint32_t WM_COLORBTN_CLICKED = 0x43E;
constexpr std::uint32_t WM_COLOR_CHANGED = 0x461;

class ColourButton : public QWidget {
    Q_OBJECT
  public:
    explicit ColourButton(QWidget* parent = nullptr);

    void SetColor(std::uint32_t colorRef);
    std::uint32_t Color() const { return color_; }
    void SetFrame(bool shown);
    bool IsFrameShown() const { return frame_; }
    void SetFrameColor(std::uint32_t colorRef);
    void SetIndex(int index) { index_ = index; }
    void SetPickerEnabled(bool on) { pickerEnabled_ = on; }
    void SetImage(const QImage& image);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    std::uint32_t color_ = 0x00FF00;
    std::uint32_t frameColor_ = 0xFFFFFF;
    bool frame_ = false;
    bool pickerEnabled_ = true;
    int index_ = 0;
    QImage image_;
};

}  // namespace vantor
