#include "ui/widgets/skinned_slider.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <vector>

#include "base/message_sink.h"
#include "ui/widgets/two_thumb_slider.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

struct Message {
    std::uint32_t number;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool operator==(const Message&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Message& m) {
    return out << std::hex << "{0x" << m.number << ", " << std::dec << m.wParam << ", 0x"
               << std::hex << m.lParam << "}" << std::dec;
}

// The page under test: records posted and sent messages and answers the veto.
class Page : public QWidget, public WindowMessageReceiver {
  public:
    std::vector<Message> posted;
    std::vector<Message> sent;
    std::intptr_t answer = 1;

    std::intptr_t OnWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) override {
        sent.push_back({message, wParam, lParam});
        return answer;
    }

  protected:
    bool event(QEvent* event) override {
        if (event->type() == WindowMessageEvent::EventType()) {
            const auto* m = static_cast<WindowMessageEvent*>(event);
            posted.push_back({m->message, m->wParam, m->lParam});
            return true;
        }
        return QWidget::event(event);
    }
};

QImage Solid(QColor color, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

constexpr int kId = 0x21;

class SliderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageSink(&sink_);
        page_.resize(400, 100);
        page_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page_));
    }
    void TearDown() override { SetMessageSink(nullptr); }

    std::vector<Message> Posted() {
        QCoreApplication::sendPostedEvents(&page_);
        auto messages = page_.posted;
        page_.posted.clear();
        return messages;
    }

    // Mouse moves and releases go straight to the thumb that holds the mouse, at a point
    // given in track coordinates, as the window system delivers them during a drag.
    static void SendToThumb(SkinnedSlider& bar, QEvent::Type type, QPoint inBar) {
        SliderThumb* thumb = bar.Thumb();
        const QPoint local = thumb->mapFrom(&bar, inBar);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseMove ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, local, thumb->mapToGlobal(local), button, held, {});
        QCoreApplication::sendEvent(thumb, &event);
    }

    static int ThumbCentre(const SkinnedSlider& bar, int thumb = 0) {
        return bar.Thumb(thumb)->geometry().center().x() + 1;  // width 10: centre is x + 5
    }

    RecordingMessageSink sink_;
    Page page_;
};

// A DPI-like slider: 300 wide, a 10-pixel thumb, five stops with a value table.
class DpiSliderTest : public SliderTest {
  protected:
    void SetUp() override {
        SliderTest::SetUp();
        bar_ = new SkinnedSlider(&page_);
        ASSERT_EQ(bar_->Create(QRect(10, 10, 300, 20), kId, Solid(Qt::darkGray, 300, 20),
                               Solid(Qt::cyan, 300, 20), Solid(Qt::white, 10, 16)),
                  0);
        bar_->SetRange(0, 4);
        bar_->SetValueTable(kValues);
        bar_->SetEvenScale(5);  // 5, 77, 150, 222, 295
        bar_->show();
        ASSERT_TRUE(sink_.messages.empty());
    }

    static constexpr int kValues[] = {400, 800, 1600, 3200, 6400};
    SkinnedSlider* bar_ = nullptr;
};

TEST_F(DpiSliderTest, ClickMovesThumbToNearestStopAndPostsChangedValue) {
    QTest::mouseClick(bar_, Qt::LeftButton, {}, QPoint(140, 10));
    EXPECT_EQ(bar_->GetPos(), 2);
    EXPECT_EQ(ThumbCentre(*bar_), 150);
    EXPECT_EQ(bar_->FillWidth(), 150);
    EXPECT_EQ(Posted(), (std::vector<Message>{{WM_SLIDER_CHANGED, 1600, kId}}));

    // Exactly between two stops (5 and 77): the later stop.
    QTest::mouseClick(bar_, Qt::LeftButton, {}, QPoint(41, 10));
    EXPECT_EQ(bar_->GetValue(), 800);
}

TEST_F(DpiSliderTest, AskFirstSendsChangingAndAZeroAnswerLeavesTheThumb) {
    bar_->SetAskFirst(true);
    page_.answer = 0;
    QTest::mouseClick(bar_, Qt::LeftButton, {}, QPoint(290, 10));
    EXPECT_EQ(page_.sent, (std::vector<Message>{{WM_SLIDER_CHANGING, 6400, kId}}));
    EXPECT_EQ(bar_->GetPos(), 0);
    EXPECT_EQ(ThumbCentre(*bar_), 5);
    EXPECT_TRUE(Posted().empty());

    // A refused drag does not start either.
    QTest::mousePress(bar_->Thumb(), Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_FALSE(bar_->Thumb()->IsDragging());
    QTest::mouseRelease(bar_->Thumb(), Qt::LeftButton, {}, QPoint(5, 8));

    page_.answer = 1;
    QTest::mouseClick(bar_, Qt::LeftButton, {}, QPoint(290, 10));
    EXPECT_EQ(bar_->GetValue(), 6400);
    EXPECT_EQ(Posted(), (std::vector<Message>{{WM_SLIDER_CHANGED, 6400, kId}}));
}

TEST_F(DpiSliderTest, DragPostsMovingOnEachNewValueThenChangedOnRelease) {
    SliderThumb* thumb = bar_->Thumb();
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(5, 8));
    ASSERT_TRUE(thumb->IsDragging());
    // Bar x = thumb x + 5 on press; moves are given in bar coordinates.
    for (int x : {20, 30, 100, 110, 1000}) SendToThumb(*bar_, QEvent::MouseMove, {x, 10});
    EXPECT_EQ(ThumbCentre(*bar_), 300);  // clamped to the track
    EXPECT_EQ(bar_->FillWidth(), 300);
    SendToThumb(*bar_, QEvent::MouseButtonRelease, {1000, 10});
    EXPECT_EQ(ThumbCentre(*bar_), 295);  // settled on the last stop
    EXPECT_EQ(Posted(), (std::vector<Message>{{WM_SLIDER_MOVING, 800, kId},
                                              {WM_SLIDER_MOVING, 6400, kId},
                                              {WM_SLIDER_CHANGED, 6400, kId}}));
}

TEST_F(DpiSliderTest, ArrowHomeAndEndKeysMoveAsClicksDoAndAskFirst) {
    EXPECT_EQ(bar_->focusPolicy(), Qt::TabFocus);
    QTest::keyClick(bar_, Qt::Key_Right);
    QTest::keyClick(bar_, Qt::Key_End);
    QTest::keyClick(bar_, Qt::Key_Up);  // already at the end: nothing
    EXPECT_EQ(Posted(), (std::vector<Message>{{WM_SLIDER_CHANGED, 800, kId},
                                              {WM_SLIDER_CHANGED, 6400, kId}}));
    bar_->SetAskFirst(true);
    page_.answer = 0;
    QTest::keyClick(bar_, Qt::Key_Home);
    EXPECT_EQ(page_.sent, (std::vector<Message>{{WM_SLIDER_CHANGING, 400, kId}}));
    EXPECT_EQ(bar_->GetValue(), 6400);
    bar_->SetLocked(true);
    page_.answer = 1;
    QTest::keyClick(bar_, Qt::Key_Left);
    EXPECT_EQ(bar_->GetValue(), 6400);
    EXPECT_TRUE(Posted().empty());
}

TEST_F(DpiSliderTest, AssistiveToolsReadAndSetTheValueAsASlider) {
    bar_->setAccessibleName(QStringLiteral("DPI"));
    QAccessibleInterface* slider = QAccessible::queryAccessibleInterface(bar_);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->role(), QAccessible::Slider);
    EXPECT_EQ(slider->text(QAccessible::Name), QStringLiteral("DPI"));
    EXPECT_EQ(slider->childCount(), 0);  // the thumb is part of it
    QAccessibleValueInterface* value = slider->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue().toInt(), 400);
    EXPECT_EQ(value->maximumValue().toInt(), 6400);
    value->setCurrentValue(1500);  // the nearest stop
    EXPECT_EQ(value->currentValue().toInt(), 1600);
    EXPECT_EQ(slider->text(QAccessible::Value), QStringLiteral("1600"));
    EXPECT_EQ(Posted(), (std::vector<Message>{{WM_SLIDER_CHANGED, 1600, kId}}));
    bar_->SetLocked(true);
    EXPECT_TRUE(slider->state().disabled);
    value->setCurrentValue(6400);
    EXPECT_EQ(bar_->GetValue(), 1600);
}

TEST_F(DpiSliderTest, LockedTrackIgnoresClicksAndDrags) {
    bar_->SetLocked(true);
    QTest::mouseClick(bar_, Qt::LeftButton, {}, QPoint(290, 10));
    QTest::mousePress(bar_->Thumb(), Qt::LeftButton, {}, QPoint(5, 8));
    SendToThumb(*bar_, QEvent::MouseMove, {200, 10});
    SendToThumb(*bar_, QEvent::MouseButtonRelease, {200, 10});
    EXPECT_EQ(bar_->GetPos(), 0);
    EXPECT_TRUE(Posted().empty());
}

TEST_F(DpiSliderTest, ProgrammaticMovesNotifyOnlyWhenAskedAndUnknownValuesKeepThePosition) {
    bar_->SetPos(3);
    EXPECT_EQ(ThumbCentre(*bar_), 222);
    EXPECT_TRUE(bar_->SetPosByValue(1600, true));
    EXPECT_FALSE(bar_->SetPosByValue(1000, true));
    EXPECT_EQ(bar_->GetPos(), 2);
    EXPECT_EQ(Posted(), (std::vector<Message>{{WM_SLIDER_CHANGED, 1600, kId}}));

    bar_->SetNotify(false);
    QTest::mouseClick(bar_, Qt::LeftButton, {}, QPoint(290, 10));
    EXPECT_EQ(bar_->GetValue(), 6400);
    EXPECT_TRUE(Posted().empty());
}

TEST_F(SliderTest, ProportionalSliderWithoutScaleCentresThumbOnItsStep) {
    SkinnedSlider bar(&page_);
    ASSERT_EQ(bar.Create(QRect(0, 0, 261, 10), kId, {}, {}, Solid(Qt::white, 10, 10)), 0);
    bar.SetRange(1, 10);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(60, 5));  // 60 / 29 = 2.07 steps
    EXPECT_EQ(bar.GetValue(), 3);
    EXPECT_EQ(ThumbCentre(bar), 58);
}

TEST_F(SliderTest, MissingThumbPictureFailsCreation) {
    SkinnedSlider bar(&page_);
    EXPECT_EQ(bar.Create(QRect(0, 0, 100, 10), kId, {}, {}, QImage()), -1);
    TwoThumbSlider dual(&page_);
    EXPECT_EQ(dual.Create(QRect(0, 0, 100, 20), kId, {}, {}, Solid(Qt::white, 10, 8), {}), -1);
    EXPECT_EQ(sink_.messages,
              (std::vector<std::pair<std::string, std::string>>{
                  {"Create slider failed", "Warrning"}, {"Create slider failed", "Warrning"}}));
}

class DualSliderTest : public SliderTest {
  protected:
    void SetUp() override {
        SliderTest::SetUp();
        bar_ = new TwoThumbSlider(&page_);
        ASSERT_EQ(bar_->Create(QRect(0, 0, 300, 28), kId, {}, {}, Solid(Qt::red, 10, 10),
                               Solid(Qt::blue, 10, 10)),
                  0);
        for (int thumb : {0, 1}) {
            bar_->SetRange(0, 4, thumb);
            bar_->SetValueTable(kValues, thumb);
            bar_->SetEvenScale(5, thumb);
        }
        bar_->show();
    }

    static constexpr int kValues[] = {400, 800, 1600, 3200, 6400};
    TwoThumbSlider* bar_ = nullptr;
};

TEST_F(DualSliderTest, LowerHalfClickMovesSecondThumbAndReportsItsIndex) {
    EXPECT_EQ(bar_->Thumb(0)->geometry().center().y(), 6);   // upper half: centre 7
    EXPECT_EQ(bar_->Thumb(1)->geometry().center().y(), 20);  // lower half: centre 21
    QTest::mouseClick(bar_, Qt::LeftButton, {}, QPoint(222, 20));
    QTest::mouseClick(bar_, Qt::LeftButton, {}, QPoint(77, 3));
    EXPECT_EQ(bar_->GetValue(0), 800);
    EXPECT_EQ(bar_->GetValue(1), 3200);
    EXPECT_EQ(Posted(), (std::vector<Message>{{WM_SLIDER_CHANGED, 3200, (1 << 16) | kId},
                                              {WM_SLIDER_CHANGED, 800, kId}}));
}

TEST_F(DualSliderTest, WithSecondThumbHiddenTheFirstTakesTheWholeTrack) {
    bar_->ShowThumb(false, 1);
    EXPECT_EQ(bar_->Thumb(0)->geometry().center().y(), 13);
    QTest::mouseClick(bar_, Qt::LeftButton, {}, QPoint(295, 25));
    EXPECT_EQ(bar_->GetValue(0), 6400);
    EXPECT_EQ(bar_->GetPos(1), 0);
    EXPECT_EQ(Posted(), (std::vector<Message>{{WM_SLIDER_CHANGED, 6400, kId}}));
}

}  // namespace
}  // namespace vantor
