// Image sliders: a track window (SkinnedSlider) that hosts thumb windows (SliderThumb).
//
// The track paints its background picture (or a solid colour), the fill picture from the
// start of the track up to the fill width, and optional scale marks. A thumb is placed with
// its centre on the x (or y) of its position: the scale position when the thumb has one,
// else proportionally along the track.
//
// Messages to the track's parent, with lParam = thumb index << 16 | control id and
// wParam = the value (the value-table entry of the position, or the position itself):
//   WM_SLIDER_CHANGING (sent, ask-first only) before a click sets a value and before a
//     thumb starts to move (with the current value); an answer of 0 cancels it;
//   WM_SLIDER_MOVING (posted) whenever the value under a dragged thumb changes;
//   WM_SLIDER_CHANGED (posted) after a click, at the end of a drag, and after a
//     programmatic move asked to notify.
// With the notify flag off the track posts nothing; a locked track ignores the mouse and is
// painted faded with its thumb in place.
//
// The track takes the focus from the Tab key (and shows a frame); the arrow keys move the
// first visible thumb one position, Page Up and Page Down a tenth of the range, Home and
// End to the ends, each as a click there would (asked first, then WM_SLIDER_CHANGED).
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <memory>
#include <span>
#include <vector>

#include "ui/widgets/logic/slider_scale.h"

namespace vantor {

class FocusFrameState;

class SkinnedSlider;

// Thumb window; dragging it moves it along its track.
class SliderThumb : public QWidget {
    Q_OBJECT

  public:
    SliderThumb(SkinnedSlider* bar, int thumbIndex, Qt::Orientation orientation);
    ~SliderThumb() override;

    void SetImage(const QImage& image);
    const QImage& Image() const { return image_; }
    int ThumbIndex() const { return thumbIndex_; }
    bool IsDragging() const { return dragging_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int Along(const QPoint& point) const;

    SkinnedSlider* bar_;
    int thumbIndex_;
    Qt::Orientation orientation_;
    QImage image_;
    bool dragging_ = false;
    int grabOffset_ = 0;  // press point minus thumb centre, along the track
};

// Track of a single-thumb slider, horizontal or vertical (the base of the two-thumb track).
class SkinnedSlider : public QWidget {
    Q_OBJECT

  public:
    explicit SkinnedSlider(QWidget* parent = nullptr);
    ~SkinnedSlider() override;

    // Places the track at `rect` and creates its thumb. Returns 0, or -1 after the message
    // box "Create slider failed" when the thumb picture is missing.
    int Create(const QRect& rect, int controlId, const QImage& background, const QImage& fill,
               const QImage& thumb, Qt::Orientation orientation = Qt::Horizontal);

    void SetTrackImages(const QImage& background, const QImage& fill);
    void SetThumbImage(const QImage& image, int thumb = 0);
    // A hidden thumb (an inactive slider) takes no clicks and drives no fill.
    void ShowThumb(bool visible, int thumb = 0);
    bool IsThumbVisible(int thumb = 0) const;

    void SetRange(int minimum, int maximum, int thumb = 0);
    void SetValueTable(std::span<const int> values, int thumb = 0);
    void SetScalePos(std::span<const int> positions, int thumb = 0);
    // Scale positions spread evenly over the track for `count` stops of this thumb.
    void SetEvenScale(int count, int thumb = 0);

    // Programmatic moves; `notify` posts WM_SLIDER_CHANGED.
    void SetPos(int position, bool notify = false, int thumb = 0);
    // False, and the thumb unchanged, when the value table has no such value.
    bool SetPosByValue(int value, bool notify = false, int thumb = 0);
    int GetPos(int thumb = 0) const;
    int GetValue(int thumb = 0) const;
    const SliderState& State(int thumb = 0) const;

    void SetAskFirst(bool on) { askFirst_ = on; }
    void SetNotify(bool on) { notify_ = on; }
    // A locked track ignores the mouse and the keyboard; it and its thumbs are painted faded
    // (as when disabled), so the value still shows.
    void SetLocked(bool on);
    bool IsLocked() const { return locked_; }
    // Locked or disabled: painted faded.
    bool IsFaded() const { return locked_ || !isEnabled(); }
    // An invalid colour switches back to the background picture.
    void SetBackgroundColor(const QColor& color);
    void SetShowMarks(bool on, const QColor& color = QColor(255, 255, 255, 110));

    int ControlId() const { return controlId_; }
    int FillWidth() const { return fillWidth_; }
    SliderThumb* Thumb(int thumb = 0) const;
    int ThumbCount() const { return static_cast<int>(thumbs_.size()); }

    // A move by the user (keyboard or assistive tool) to `position`, as a click there: not
    // while locked or with the thumb hidden, asked first, then notified. False when refused.
    bool UserMoveTo(int position, int thumb = 0);
    // The thumb the keyboard moves: the first visible one, or -1.
    int KeyboardThumb() const;

    // Called by the thumbs while they are dragged. BeginDrag returns false when the drag
    // must not start (locked, or vetoed by the parent).
    bool BeginDrag(int thumb);
    void DragTo(int thumb, int centre);
    void EndDrag(int thumb);

  protected:
    SkinnedSlider(QWidget* parent, int thumbCount);

    // The thumb a click at `point` moves.
    virtual int ThumbForPoint(const QPoint& point) const;
    // The centre of a thumb across the track (y of a horizontal track).
    virtual int ThumbCrossCentre(int thumb) const;
    virtual SliderThumb* CreateThumb(int thumb);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    Qt::Orientation orientation() const { return orientation_; }
    int TrackLength() const;
    // Places every thumb on its position again.
    void PlaceThumbs();

  private:
    FocusFrameState* focusFrame_ = nullptr;  // owned by this control
    struct ThumbSlot {
        SliderState state;
        SliderThumb* window = nullptr;
        QImage image;
        bool visible = true;
    };

    bool ValidThumb(int thumb) const;
    void PlaceThumb(int thumb, int centre);
    void PostToParent(std::uint32_t message, int thumb);
    // With the ask-first flag, sends WM_SLIDER_CHANGING and returns the parent's consent.
    bool ParentAllows(int thumb, int value);
    int ThumbAlongSize(int thumb) const;

    std::vector<ThumbSlot> thumbs_;
    Qt::Orientation orientation_ = Qt::Horizontal;
    int controlId_ = 0;
    QImage background_;
    QImage fill_;
    QColor backgroundColor_;
    bool showMarks_ = false;
    QColor markColor_;
    int fillWidth_ = 0;
    bool askFirst_ = false;
    bool notify_ = true;
    bool locked_ = false;
};

}  // namespace vantor
