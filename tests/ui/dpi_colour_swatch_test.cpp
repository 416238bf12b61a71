// The two colour windows: the DPI level swatch asks its parent before it takes a colour,
// the lighting page's colour button reports presses.
#include "ui/pages/performance/dpi_colour_swatch.h"

#include <gtest/gtest.h>

#include "tests/ui_support/window_message_log.h"
#include "ui/widgets/colour_button.h"

namespace vantor {
namespace {

using test::PostedMessage;

// A parent that answers the swatch's question and keeps what was posted.
class AnsweringParent : public test::WindowMessageLog, public WindowMessageReceiver {
  public:
    std::intptr_t OnWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) override {
        asked.push_back({message, wParam, lParam});
        return answer;
    }
    std::intptr_t answer = 1;
    std::vector<PostedMessage> asked;
};

TEST(ColorDlgTest, TheSwatchTakesAPickedColourOnlyWhenItsParentAgrees) {
    AnsweringParent parent;
    auto* swatch = new DpiColourSwatch(&parent);
    swatch->resize(20, 20);
    swatch->SetIndex(3);
    EXPECT_EQ(swatch->Color(), 0xFFFFFFu);
    std::optional<QColor> pick = QColor(255, 128, 0);
    std::vector<QRgb> starts;  // the colour the picker opened with, each time
    swatch->SetColorChooser([&](const QColor& start, QWidget*) {
        starts.push_back(start.rgb());
        return pick;
    });

    parent.answer = 0;  // refused: nothing changes, nothing is announced
    test::SendMouse(swatch, QEvent::MouseButtonRelease, {5, 5});
    EXPECT_EQ(parent.asked,
              (std::vector<PostedMessage>{{WM_COLOR_CHANGED, 0x0080FF, 3 | kColorChangeQuery}}));
    EXPECT_EQ(swatch->Color(), 0xFFFFFFu);
    EXPECT_TRUE(parent.Take().empty());

    parent.answer = 1;
    test::SendMouse(swatch, QEvent::MouseButtonRelease, {5, 5});
    EXPECT_EQ(swatch->Color(), 0x0080FFu);
    EXPECT_EQ(parent.Take(), (std::vector<PostedMessage>{{WM_COLOR_CHANGED, 0x0080FF, 3}}));

    pick.reset();  // cancelled
    test::SendMouse(swatch, QEvent::MouseButtonRelease, {5, 5});
    swatch->SetReadOnly(true);
    test::SendMouse(swatch, QEvent::MouseButtonRelease, {5, 5});
    EXPECT_EQ(starts,
              (std::vector<QRgb>{qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(255, 128, 0)}));
    EXPECT_EQ(swatch->Color(), 0x0080FFu);
    EXPECT_TRUE(parent.Take().empty());
}

TEST(ColorDlgTest, TheColourButtonReportsAPressWithItsFrameState) {
    test::WindowMessageLog parent;
    auto* button = new ColourButton(&parent);
    button->resize(30, 30);
    button->SetIndex(2);
    EXPECT_EQ(button->Color(), 0x00FF00u);
    test::SendMouse(button, QEvent::MouseButtonPress, {5, 5});
    button->SetFrame(true);
    test::SendMouse(button, QEvent::MouseButtonPress, {5, 5});
    EXPECT_EQ(parent.Take(), (std::vector<PostedMessage>{{WM_COLORBTN_CLICKED, 1, 2},
                                                         {WM_COLORBTN_CLICKED, 0, 2}}));
}

}  // namespace
}  // namespace vantor
