#include "ui/widgets/skinned_combo_box.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <vector>

#include "tests/ui_support/window_message_log.h"
#include "ui/widgets/skinned_menu.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

using test::DeletePending;
using test::PostedMessage;
using test::SendMouse;

constexpr int kComboId = 1201;

class ComboBtnTest : public ::testing::Test {
  protected:
    ComboBtnTest() {
        parent.setGeometry(0, 0, 400, 300);
        combo = new SkinnedComboBox(&parent);
        combo->setGeometry(20, 40, 147, 30);
        combo->SetControlId(kComboId);
        combo->SetPrefix(QStringLiteral("Rate: "));
        for (std::uint32_t i = 0; i < 25; ++i) {
            combo->AddItem(0, 100 + i, std::to_string(100 + i) + " Hz");
        }
        parent.show();
    }
    ~ComboBtnTest() override {
        CloseMenu();
        DeletePending();
    }
    void Click() {
        SendMouse(combo, QEvent::MouseButtonPress, QPoint(5, 5));
        SendMouse(combo, QEvent::MouseButtonRelease, QPoint(5, 5));
    }
    void Choose(std::uint32_t value) {
        PostWindowMessage(combo, kMenuChosenMessage, value, kComboId);
        QCoreApplication::sendPostedEvents(combo);
    }
    static std::vector<PostedMessage> Command() { return {{WM_COMMAND, kComboId, 0}}; }

    test::WindowMessageLog parent;
    SkinnedComboBox* combo = nullptr;
};

TEST_F(ComboBtnTest, OffersTheFirstTwentyItemsBelowTheButton) {
    Click();
    SkinnedMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Layout().RowCount(), 20);
    EXPECT_EQ(menu->Layout().RowItem(19).dwValue, 119u);
    const QPoint buttonBottomLeft = combo->mapToGlobal(QPoint(0, combo->height()));
    EXPECT_EQ(menu->pos(), buttonBottomLeft);
    EXPECT_EQ(menu->width(), 147);
    EXPECT_EQ(menu->CurrentRow(), -1);  // nothing selected yet
    // A click while it is open closes it instead.
    Click();
    EXPECT_FALSE(IsMenuOpen());
    EXPECT_TRUE(parent.Take().empty());
}

TEST_F(ComboBtnTest, ChoiceSelectsWithPrefixAndTellsTheParent) {
    Choose(105);
    EXPECT_EQ(combo->SelectedIndex(), 5);
    EXPECT_EQ(combo->ControlValue(), 105);
    EXPECT_EQ(combo->Text(), QStringLiteral("Rate: 105 Hz"));
    EXPECT_EQ(parent.Take(), Command());
    // Items past the twentieth are never chosen.
    Choose(122);
    EXPECT_EQ(combo->ControlValue(), 105);
    EXPECT_TRUE(parent.Take().empty());
    EXPECT_FALSE(combo->SelectValue(122));

    // The list opened again marks the chosen value.
    Click();
    ASSERT_NE(OpenMenu(), nullptr);
    EXPECT_EQ(OpenMenu()->CurrentRow(), 5);
}

TEST_F(ComboBtnTest, ChangesOnlyIgnoresTheCurrentValue) {
    combo->SelectValue(103);
    Choose(103);
    EXPECT_EQ(parent.Take(), Command());  // without the flag the same value is reported
    combo->SetChangesOnly(true);
    Choose(103);
    EXPECT_TRUE(parent.Take().empty());
    Choose(104);
    EXPECT_EQ(parent.Take(), Command());
}

TEST_F(ComboBtnTest, VetoKeepsTheSelection) {
    combo->SelectValue(101);
    std::vector<std::pair<std::uint32_t, std::intptr_t>> asked;
    combo->SetVeto(
        [&](std::uint32_t value, std::intptr_t user) {
            asked.emplace_back(value, user);
            return value == 110 ? 0 : 1;
        },
        55);
    Choose(110);
    EXPECT_EQ(combo->ControlValue(), 101);
    EXPECT_TRUE(parent.Take().empty());
    Choose(111);
    EXPECT_EQ(combo->ControlValue(), 111);
    EXPECT_EQ(asked, (std::vector<std::pair<std::uint32_t, std::intptr_t>>{{110, 55}, {111, 55}}));
}

TEST_F(ComboBtnTest, ListsIndexesAndClearing) {
    combo->AddItem(2, 7, "seven");
    EXPECT_FALSE(combo->AddItem(4, 1, "no such list"));
    EXPECT_TRUE(combo->SetActiveList(2));
    EXPECT_FALSE(combo->SelectValue(100));
    EXPECT_FALSE(combo->SelectIndex(1));
    EXPECT_TRUE(combo->SelectIndex(0));
    EXPECT_EQ(combo->Text(), QStringLiteral("Rate: seven"));
    EXPECT_TRUE(combo->SelectIndex(-1));
    EXPECT_EQ(combo->Text(), QString());
    EXPECT_EQ(combo->ControlValue(), -1);
    EXPECT_EQ(combo->SelectedIndex(), -1);
}

TEST_F(ComboBtnTest, APressOnAnotherDropDownClosesThisListAndOpensThatOne) {
    auto* other = new SkinnedComboBox(&parent);
    other->setGeometry(200, 40, 147, 30);
    other->AddItem(0, 1, "one");
    other->show();
    Click();
    ASSERT_TRUE(IsMenuOpen());
    EXPECT_EQ(OpenMenu()->Anchor(), combo);
    SendMouse(other, QEvent::MouseButtonPress, QPoint(5, 5));
    EXPECT_FALSE(IsMenuOpen());
    SendMouse(other, QEvent::MouseButtonRelease, QPoint(5, 5));
    ASSERT_TRUE(IsMenuOpen());
    EXPECT_EQ(OpenMenu()->Anchor(), other);
    // A press on the parent window closes it and opens nothing.
    SendMouse(&parent, QEvent::MouseButtonPress, QPoint(390, 290));
    EXPECT_FALSE(IsMenuOpen());
    EXPECT_TRUE(parent.Take().empty());
}

TEST_F(ComboBtnTest, KeyboardStepsTheChoiceAndOpensTheListAtIt) {
    QTest::keyClick(combo, Qt::Key_Up);  // nothing selected: the last offered item
    EXPECT_EQ(combo->ControlValue(), 119);
    QTest::keyClick(combo, Qt::Key_Down);  // already the last: no change, no message
    EXPECT_EQ(parent.Take(), Command());

    combo->SelectValue(104);
    QTest::keyClick(combo, Qt::Key_Space);
    ASSERT_TRUE(IsMenuOpen());
    QTest::keyClick(combo, Qt::Key_Down);  // lands on the shown value first
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(combo);
    EXPECT_FALSE(IsMenuOpen());
    EXPECT_EQ(combo->ControlValue(), 105);
    EXPECT_EQ(parent.Take(), Command());

    QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(IsMenuOpen());
    QTest::keyClick(combo, Qt::Key_Escape);
    EXPECT_FALSE(IsMenuOpen());
    EXPECT_EQ(combo->ControlValue(), 105);
}

TEST_F(ComboBtnTest, PlacementNearTheScreenBottomAndCentred) {
    const int screenHeight = QGuiApplication::primaryScreen()->availableGeometry().height();
    const QRect button(combo->mapToGlobal(QPoint(0, 0)), combo->size());
    // Twenty rows fit below a button at the top of the screen...
    EXPECT_EQ(combo->DropRect(20).top(), button.bottom() + 1);
    // ...but not below one whose bottom is close to the screen's bottom.
    const int rowsThatDoNotFit = (screenHeight - button.bottom()) / 20 + 1;
    EXPECT_EQ(combo->DropRect(rowsThatDoNotFit).top(), button.top() - rowsThatDoNotFit * 20);
    combo->SetPlacement(SkinnedComboBox::Placement::kCentered);
    EXPECT_EQ(combo->DropRect(5).top(), button.top() - 50);
    combo->SetDropWidth(200);
    EXPECT_EQ(combo->DropRect(5).width(), 200);
}

}  // namespace
}  // namespace vantor
