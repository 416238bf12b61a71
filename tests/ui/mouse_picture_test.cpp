#include "ui/pages/buttons/mouse_picture.h"

#include <gtest/gtest.h>

#include "tests/ui/popup_test_skin.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

class KeyMarkDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A half-transparent mouse: the page shows through where it is transparent.
        test::WriteSkinPicture(skin_.ProgramDir(), "0102/mouse_nr.png", 40, 30,
                               QColor(255, 0, 0, 0));
        test::WriteSkinPicture(skin_.ProgramDir(), "0102/mouse_dn.png", 40, 30, Qt::blue);
        page_.resize(200, 200);
        background_ = QImage(200, 200, QImage::Format_ARGB32);
        background_.fill(Qt::green);
        marks_[0] = {0, 0, 10, 10};
        marks_[1] = {20, 5, 30, 25};
        marks_[3] = {5, 5, 8, 8};  // beyond the key count below
    }

    test::PopupTestSkin skin_;
    QWidget page_;
    QImage background_;
    std::array<Rect, kKeysPerSet> marks_{};
};

TEST_F(KeyMarkDlgTest, AreasFollowTheMarksAndTheKeyCount) {
    MousePicture marks(&page_);
    ASSERT_TRUE(marks.Create(background_, QPoint(50, 60), 1, 2, marks_, 3));
    EXPECT_EQ(marks.geometry(), QRect(50, 60, 40, 30));
    // The page background shows through the transparent mouse picture.
    EXPECT_EQ(marks.Picture().pixelColor(1, 1), QColor(Qt::green));
    ASSERT_NE(marks.Area(0), nullptr);
    marks.MarkKey(0);
    EXPECT_EQ(marks.Area(0)->grab().toImage().pixelColor(1, 1), QColor(Qt::blue));
    EXPECT_EQ(marks.Area(1)->geometry(), QRect(20, 5, 10, 20));
    EXPECT_EQ(marks.Area(2), nullptr);  // empty mark
    EXPECT_EQ(marks.Area(3), nullptr);  // i >= key count
}

TEST_F(KeyMarkDlgTest, MarkKeyHighlightsOneAreaAndLargeIndexesClear) {
    MousePicture marks(&page_);
    ASSERT_TRUE(marks.Create(background_, QPoint(0, 0), 1, 2, marks_, 16));
    marks.MarkKey(1);
    EXPECT_FALSE(marks.Area(0)->GetCheck());
    EXPECT_TRUE(marks.Area(1)->GetCheck());
    marks.MarkKey(0);
    EXPECT_TRUE(marks.Area(0)->GetCheck());
    EXPECT_FALSE(marks.Area(1)->GetCheck());
    marks.MarkKey(16);
    EXPECT_FALSE(marks.Area(0)->GetCheck());
}

TEST_F(KeyMarkDlgTest, AreaKeepsToTheMousePicture) {
    marks_[4] = {30, 20, 99999, 99999};  // a mark far beyond the 40 x 30 picture
    marks_[5] = {50, 40, 60, 50};        // wholly outside it
    MousePicture marks(&page_);
    ASSERT_TRUE(marks.Create(background_, QPoint(0, 0), 1, 2, marks_, 16));
    ASSERT_NE(marks.Area(4), nullptr);
    EXPECT_EQ(marks.Area(4)->geometry(), QRect(30, 20, 10, 10));
    EXPECT_EQ(marks.Area(5), nullptr);
}

TEST_F(KeyMarkDlgTest, MissingMousePictureCreatesNothing) {
    MousePicture marks(&page_);
    EXPECT_FALSE(marks.Create(background_, QPoint(0, 0), 9, 9, marks_, 16));
    EXPECT_EQ(marks.Area(0), nullptr);
    EXPECT_EQ(MousePicture::MouseFolder(0x1A, 2), "1a02/");
}

}  // namespace
}  // namespace vantor
