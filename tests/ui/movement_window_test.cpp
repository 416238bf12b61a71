#include "ui/popups/movement_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "tests/ui/popup_test_skin.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

class MoveDlgTest : public ::testing::Test {
  protected:
    test::PopupTestSkin skin_;
};

TEST_F(MoveDlgTest, PresetZeroLeavesItsBoxEmpty) {
    MovementWindow dialog;
    dialog.SetValues(0, 5);
    dialog.show();
    EXPECT_EQ(dialog.XEdit()->text(), "");
    EXPECT_EQ(dialog.YEdit()->text(), "5");
    EXPECT_EQ(dialog.XEdit()->geometry(), QRect(135, 70, 80, 20));
    EXPECT_EQ(dialog.YEdit()->geometry(), QRect(242, 70, 80, 20));
    EXPECT_EQ(dialog.XEdit()->maxLength(), 4);
    EXPECT_EQ(dialog.windowTitle(), "VantorMsgTopWindow");
}

TEST_F(MoveDlgTest, TypingKeepsValuesWithinOneSignedByte) {
    MovementWindow dialog;
    dialog.show();
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"200", "127"}, {"-300", "-127"}, {"12a", "12"}, {"-", "-"}, {"+5", "+5"}};
    for (const auto& c : cases) {
        dialog.XEdit()->clear();
        QTest::keyClicks(dialog.XEdit(), c.typed);
        EXPECT_EQ(dialog.XEdit()->text(), c.shown) << c.typed;
    }
}

TEST_F(MoveDlgTest, OkReadsLeadingNumbersAndEmptyBoxesKeepTheirValue) {
    MovementWindow dialog;
    dialog.SetValues(7, 9);
    dialog.show();
    dialog.XEdit()->setText("-");
    dialog.YEdit()->clear();
    QTest::keyClick(dialog.XEdit(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.X(), 0);
    EXPECT_EQ(dialog.Y(), 9);
}

TEST_F(MoveDlgTest, CancelAndMissingBackgroundKeepTheValues) {
    MovementWindow dialog;
    dialog.SetValues(3, 4);
    dialog.show();
    dialog.XEdit()->setText("100");
    QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.X(), 3);

    test::TempDir empty;
    test::ScopedEnv env("VANTOR_PROGRAM_DIR", empty.path());
    MovementWindow missing;
    missing.SetValues(1, 2);
    EXPECT_EQ(missing.exec(), QDialog::Rejected);
    EXPECT_EQ(missing.X(), 1);
}

}  // namespace
}  // namespace vantor
