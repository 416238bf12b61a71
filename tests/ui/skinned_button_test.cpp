#include "ui/widgets/skinned_button.h"

#include <utility>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <memory>
#include <vector>

#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

// A parent window that keeps every window message posted to it.
class MessageLog : public QWidget {
  public:
    struct Message {
        std::uint32_t number;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Message> messages;

  protected:
    bool event(QEvent* event) override {
        if (event->type() == WindowMessageEvent::EventType()) {
            const auto* message = static_cast<WindowMessageEvent*>(event);
            messages.push_back({message->message, message->wParam, message->lParam});
            return true;
        }
        return QWidget::event(event);
    }
};

QImage Solid(QColor color, int width = 40, int height = 20) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

QImage Render(SkinnedButton& button) {
    return button.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

class PngBtnTest : public ::testing::Test {
  protected:
    void SetUp() override {
        parent_.resize(200, 100);
        button_ = new SkinnedButton(&parent_);
        button_->setGeometry(10, 10, 40, 20);
        button_->SetImages(Solid(Qt::red), Solid(Qt::green), Solid(Qt::blue), Solid(Qt::gray));
        button_->SetControlId(42);
        parent_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent_));
    }

    std::vector<MessageLog::Message> Drain() {
        QCoreApplication::sendPostedEvents(&parent_);
        auto messages = parent_.messages;
        parent_.messages.clear();
        return messages;
    }

    MessageLog parent_;
    SkinnedButton* button_ = nullptr;
};

TEST_F(PngBtnTest, ClickPostsCommandWithControlIdAndEmitsClicked) {
    int clicks = 0;
    QObject::connect(button_, &SkinnedButton::clicked, [&clicks] { ++clicks; });
    QTest::mouseClick(button_, Qt::LeftButton);
    const auto messages = Drain();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].number, WM_COMMAND);
    EXPECT_EQ(messages[0].wParam, 42u);
    EXPECT_EQ(clicks, 1);

    // Released outside the button: no click.
    QTest::mousePress(button_, Qt::LeftButton);
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(clicks, 1);
}

TEST_F(PngBtnTest, TabReachesTheButtonAndSpaceOrEnterClicksItUnlessLocked) {
    EXPECT_EQ(button_->focusPolicy(), Qt::TabFocus);
    int clicks = 0;
    QObject::connect(button_, &SkinnedButton::clicked, [&clicks] { ++clicks; });
    button_->SetCheckMode(true, true);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) QTest::keyClick(button_, key);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(button_->GetCheck());  // toggled twice
    EXPECT_EQ(Drain().size(), 2u);
    // The focus frame shows on the face when the keyboard brought the focus, not when a
    // click or the window's activation gave it.
    for (const auto& [reason, frame] :
         {std::pair{Qt::ActiveWindowFocusReason, false}, std::pair{Qt::MouseFocusReason, false},
          std::pair{Qt::TabFocusReason, true}}) {
        button_->clearFocus();
        button_->setFocus(reason);
        EXPECT_EQ(Render(*button_).pixel(1, 1) != QColor(Qt::red).rgb(), frame) << reason;
    }
    button_->SetLocked(true);
    QTest::keyClick(button_, Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(PngBtnTest, AutoToggleCheckFlipsOnEveryPressAndPaintsPressedFaceWhileChecked) {
    button_->SetCheckMode(true, true);
    QTest::mousePress(button_, Qt::LeftButton);
    EXPECT_TRUE(button_->GetCheck());
    QTest::mouseRelease(button_, Qt::LeftButton);
    EXPECT_EQ(Render(*button_).pixel(5, 5), QColor(Qt::blue).rgb());

    QTest::mouseClick(button_, Qt::LeftButton);
    EXPECT_FALSE(button_->GetCheck());
    EXPECT_EQ(Render(*button_).pixel(5, 5), QColor(Qt::red).rgb());

    // Without auto-toggle the state belongs to the caller.
    button_->SetCheckMode(true, false);
    QTest::mouseClick(button_, Qt::LeftButton);
    EXPECT_FALSE(button_->GetCheck());
}

TEST_F(PngBtnTest, RadioPressChecksItselfAndClearsItsGroupOnly) {
    auto* second = new SkinnedButton(&parent_);
    auto* otherGroup = new SkinnedButton(&parent_);
    button_->SetRadio(1);
    second->SetRadio(1);
    otherGroup->SetRadio(2);
    second->SetCheck(true);
    otherGroup->SetCheck(true);

    QTest::mouseClick(button_, Qt::LeftButton);
    EXPECT_TRUE(button_->GetCheck());
    EXPECT_FALSE(second->GetCheck());
    EXPECT_TRUE(otherGroup->GetCheck());

    QTest::mouseClick(button_, Qt::LeftButton);  // a checked radio stays checked
    EXPECT_TRUE(button_->GetCheck());
}

TEST_F(PngBtnTest, LockedButtonIgnoresClicksAndIsDimmed) {
    button_->SetCheckMode(true, true);
    button_->SetDoubleClickNotify(true);
    button_->SetLocked(true);
    int clicks = 0;
    QObject::connect(button_, &SkinnedButton::clicked, [&clicks] { ++clicks; });
    QTest::mouseClick(button_, Qt::LeftButton);
    QTest::mouseDClick(button_, Qt::LeftButton);
    EXPECT_FALSE(button_->GetCheck());
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(Drain().empty());

    // Dimmed, but the value shows through: a locked box that is checked still looks checked
    // (its blue face greyed), not like an empty one.
    EXPECT_NE(Render(*button_).pixel(5, 5), QColor(Qt::red).rgb());
    button_->SetCheck(true);
    const QColor checked = QColor::fromRgb(Render(*button_).pixel(5, 5));
    EXPECT_NE(checked.rgb(), QColor(Qt::blue).rgb());
    EXPECT_GT(checked.blue(), checked.red() + 40);
    EXPECT_GT(checked.blue(), checked.green() + 40);
}

TEST_F(PngBtnTest, LockedVeilCoversOnlyThePictureNotItsTransparentCorners) {
    // A face with a transparent strip, as a rounded or round picture has at its corners.
    QImage face = Solid(Qt::red);
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < 4; ++x) face.setPixel(x, y, 0);
    }
    button_->SetImages(face, {}, {});
    const QImage unlocked = Render(*button_);
    button_->SetLocked(true);
    const QImage locked = Render(*button_);
    EXPECT_EQ(locked.pixel(1, 10), unlocked.pixel(1, 10));
    EXPECT_NE(locked.pixel(20, 10), unlocked.pixel(20, 10));
}

TEST_F(PngBtnTest, DoubleClickPostsWindowAndControlValueOnlyWhenAsked) {
    button_->SetControlValue(7);
    QTest::mouseDClick(button_, Qt::LeftButton);
    for (const auto& message : Drain()) EXPECT_NE(message.number, WM_PNGBTN_DBLCLK);

    button_->SetDoubleClickNotify(true);
    QTest::mouseDClick(button_, Qt::LeftButton);
    const auto messages = Drain();
    int found = 0;
    for (const auto& message : messages) {
        if (message.number != WM_PNGBTN_DBLCLK) continue;
        ++found;
        EXPECT_EQ(message.wParam, reinterpret_cast<std::uintptr_t>(button_));
        EXPECT_EQ(message.lParam, 7);
    }
    EXPECT_EQ(found, 1);
}

TEST_F(PngBtnTest, HoverFollowsMouseMoveAndLeave) {
    QTest::mouseMove(button_, QPoint(5, 5));
    EXPECT_TRUE(button_->IsHover());
    EXPECT_EQ(Render(*button_).pixel(5, 5), QColor(Qt::green).rgb());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button_, &leave);
    EXPECT_FALSE(button_->IsHover());
    EXPECT_EQ(Render(*button_).pixel(5, 5), QColor(Qt::red).rgb());
}

TEST_F(PngBtnTest, StateWithoutItsOwnPictureShowsTintedNormalPicture) {
    // Hover missing, pressed the same picture as normal.
    button_->SetImages(Solid(Qt::red), QImage(), Solid(Qt::red), Solid(Qt::gray));
    QTest::mouseMove(button_, QPoint(5, 5));
    const QColor hover = QColor::fromRgb(Render(*button_).pixel(5, 5));
    EXPECT_EQ(hover.red(), 255);
    EXPECT_GT(hover.green(), 0);  // lightened
    QTest::mousePress(button_, Qt::LeftButton);
    const QColor pressed = QColor::fromRgb(Render(*button_).pixel(5, 5));
    EXPECT_LT(pressed.red(), 255);  // darkened
    EXPECT_EQ(pressed.green(), 0);
    QTest::mouseRelease(button_, Qt::LeftButton);
    button_->setEnabled(false);
    EXPECT_EQ(Render(*button_).pixel(5, 5), QColor(Qt::gray).rgb());
}

TEST_F(PngBtnTest, StretchKeepsEdgesSharp) {
    // A 2x1 picture, black then white, stretched to 40 pixels: a hard edge in the middle.
    QImage picture(2, 1, QImage::Format_ARGB32_Premultiplied);
    picture.setPixel(0, 0, qRgb(0, 0, 0));
    picture.setPixel(1, 0, qRgb(255, 255, 255));
    button_->SetImages(picture, {}, {});
    button_->SetStretch(true);
    const QImage shown = Render(*button_);
    EXPECT_EQ(shown.pixel(19, 10), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(20, 10), qRgb(255, 255, 255));
}

TEST_F(PngBtnTest, SourceRectangleCropsEveryPicture) {
    QImage strip(80, 20, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::red);
    QPainter(&strip).fillRect(40, 0, 40, 20, Qt::yellow);
    button_->SetImages(strip, strip, strip, {}, QRect(40, 0, 40, 20));
    EXPECT_EQ(Render(*button_).pixel(5, 5), QColor(Qt::yellow).rgb());
}

}  // namespace
}  // namespace vantor
