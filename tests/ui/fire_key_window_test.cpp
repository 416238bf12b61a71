#include "ui/popups/fire_key_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "keys/key_functions.h"
#include "tests/ui/popup_test_skin.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

KeyAssignment FireKey(std::uint32_t parameter) {
    KeyAssignment key{};
    key.dwFunID = KF_FIRE;
    key.dwParameter = parameter;
    return key;
}

class FirekeyDlgTest : public ::testing::Test {
  protected:
    test::PopupTestSkin skin_;
};

TEST_F(FirekeyDlgTest, PresetsComeFromTheFireKeyOrTheDefaults) {
    FireKeyWindow other(KeyAssignment{});
    EXPECT_EQ(other.ShotsEdit()->text(), "3");
    EXPECT_EQ(other.IntervalEdit()->text(), "10");

    FireKeyWindow fire(FireKey(0x2802));
    EXPECT_EQ(fire.ShotsEdit()->text(), "2");
    EXPECT_EQ(fire.IntervalEdit()->text(), "40");

    FireKeyWindow zero(FireKey(0x1400));
    EXPECT_EQ(zero.ShotsEdit()->text(), "1");
    EXPECT_EQ(zero.IntervalEdit()->text(), "20");

    EXPECT_EQ(fire.OkButton()->geometry().topLeft(), QPoint(136, 110));
    EXPECT_EQ(fire.CancelButton()->geometry().topLeft(), QPoint(242, 110));
    EXPECT_LT(fire.ShotsEdit()->x(), fire.IntervalEdit()->x());
}

TEST_F(FirekeyDlgTest, TypingClampsAndOkRaisesTheInterval) {
    FireKeyWindow dialog(KeyAssignment{});
    dialog.show();
    dialog.ShotsEdit()->clear();
    QTest::keyClicks(dialog.ShotsEdit(), "5");
    EXPECT_EQ(dialog.ShotsEdit()->text(), "3");
    dialog.IntervalEdit()->clear();
    QTest::keyClicks(dialog.IntervalEdit(), "300");
    EXPECT_EQ(dialog.IntervalEdit()->text(), "255");

    dialog.IntervalEdit()->setText("4");
    QTest::keyClick(dialog.IntervalEdit(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Parameter(), 3u | 10u << 8);
}

TEST_F(FirekeyDlgTest, EmptyShotsKeepTheWindowOpenAndEscapeCancels) {
    FireKeyWindow dialog(KeyAssignment{});
    dialog.show();
    dialog.ShotsEdit()->clear();
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(dialog.ShotsEdit(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace vantor
