#include "ui/widgets/skinned_menu.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPointer>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"
#include "tests/ui_support/window_message_log.h"

namespace vantor {
namespace {

using test::DeletePending;
using test::MoveMouse;
using test::PostedMessage;
using test::SendMouse;

constexpr int kRowHeight = 24;
constexpr std::intptr_t kUserValue = 7;
constexpr std::uint32_t kMedia = 0x04000000;

void WriteSkinPicture(const std::string& skins, const char* name) {
    QImage picture(150, kRowHeight, QImage::Format_ARGB32);
    picture.fill(QColor(40, 40, 40));
    ASSERT_TRUE(picture.save(QString::fromStdString(skins + name)));
}

// A program folder of its own with the four row pictures (or without menu_nr.png).
class MenuDlgTest : public ::testing::Test {
  protected:
    explicit MenuDlgTest(bool withRowPicture = true) : env_("VANTOR_PROGRAM_DIR", dir_.path()) {
        const std::string skins = dir_ / "skins/";
        EXPECT_TRUE(MakeDirectory(skins));
        if (withRowPicture) WriteSkinPicture(skins, "menu_nr.png");
        for (const char* name : {"menu_ov.png", "menusub_nr.png", "menusub_ov.png"}) {
            WriteSkinPicture(skins, name);
        }
    }
    ~MenuDlgTest() override {
        CloseMenu();
        DeletePending();
    }

    static std::vector<MenuItem> Items() {
        std::vector<MenuItem> items(5);
        AddMenuItem(items, kMenuTopLevel, 0, 0x01000011, "Left click");
        AddMenuItem(items, kMenuTopLevel, 1, kMedia, "Media");
        AddMenuItem(items, kMedia, 2, 0x04000022, "Play/Pause");
        AddMenuItem(items, kMedia, 3, 0x04000023, "Stop");
        AddMenuItem(items, kMenuTopLevel, 4, 0x01000012, "Middle click");
        return items;
    }
    SkinnedMenu* Show(const std::vector<MenuItem>& items) {
        return ShowMenu(&owner, 160, QPoint(300, 200), {}, kUserValue, items);
    }

    test::TempDir dir_;
    test::ScopedEnv env_;
    test::WindowMessageLog owner;
};

TEST_F(MenuDlgTest, RowsComeFromTheTopLevelItemsAtThePictureHeight) {
    SkinnedMenu* menu = Show(Items());
    ASSERT_EQ(menu->Layout().RowCount(), 3);
    EXPECT_EQ(menu->geometry(), QRect(300, 200, 160, 3 * kRowHeight + 4));
    EXPECT_TRUE(menu->isVisible());
}

TEST_F(MenuDlgTest, ShadowLiesBesideAndBelowWithoutCoveringARow) {
    SkinnedMenu* menu = Show(Items());
    QWidget* shadow = menu->Shadow();
    ASSERT_NE(shadow, nullptr);
    EXPECT_TRUE(shadow->isVisible());
    EXPECT_EQ(shadow->geometry(), menu->geometry().translated(4, 4));
    const QRegion covered = shadow->mask().translated(shadow->pos());
    EXPECT_TRUE(covered.intersected(menu->geometry()).isEmpty());
    EXPECT_FALSE(covered.isEmpty());
    CloseMenu();
    EXPECT_FALSE(shadow->isVisible());
}

TEST_F(MenuDlgTest, CurrentValueMarksItsRowAndKeepsTheTextClearOfTheMark) {
    SkinnedMenu* menu = Show(Items());
    EXPECT_EQ(menu->CurrentRow(), -1);
    const QRect before = menu->RowTextRect(2);
    menu->SetCurrentValue(0x01000012);
    EXPECT_EQ(menu->CurrentRow(), 2);
    EXPECT_LT(menu->RowTextRect(2).right(), before.right());
    menu->SetCurrentValue(0x7777);  // a value of no row marks nothing
    EXPECT_EQ(menu->CurrentRow(), -1);
}

TEST_F(MenuDlgTest, OnlyRowsWithASubMenuGiveUpTextRoomForTheArrow) {
    SkinnedMenu* menu = Show(Items());
    const QRect plain = menu->RowTextRect(0);
    const QRect withArrow = menu->RowTextRect(1);
    EXPECT_EQ(plain.left(), withArrow.left());
    EXPECT_GT(plain.right(), withArrow.right());
    EXPECT_GE(plain.width(), 160 - 2 * plain.left());
}

TEST_F(MenuDlgTest, FiftyOneItemsShowAnEmptyFrame) {
    std::vector<MenuItem> items(51);
    for (std::size_t i = 0; i < items.size(); ++i) {
        AddMenuItem(items, kMenuTopLevel, i, static_cast<std::uint32_t>(i), "item");
    }
    SkinnedMenu* menu = Show(items);
    EXPECT_EQ(menu->Layout().RowCount(), 0);
    EXPECT_EQ(menu->height(), 4);
}

TEST_F(MenuDlgTest, PlainItemPostsItsValueWithTheUserValueAndCloses) {
    SkinnedMenu* menu = Show(Items());
    MoveMouse(menu, menu->RowCentre(2));
    SendMouse(menu, QEvent::MouseButtonPress, menu->RowCentre(2));
    SendMouse(menu, QEvent::MouseButtonRelease, menu->RowCentre(2));
    EXPECT_EQ(owner.Take(), (std::vector<PostedMessage>{{0x477, 0x01000012, kUserValue}}));
    EXPECT_FALSE(IsMenuOpen());
}

TEST_F(MenuDlgTest, SubMenuHeaderStaysOpenAndTheSubItemReachesTheOwner) {
    SkinnedMenu* menu = Show(Items());
    MoveMouse(menu, menu->RowCentre(1));
    SkinnedMenu* sub = menu->SubMenu();
    ASSERT_NE(sub, nullptr);
    // At the right edge; two rows ending level with the hovered row.
    EXPECT_EQ(sub->geometry(),
              QRect(460, 200 + 2 + kRowHeight - kRowHeight, 160, 2 * kRowHeight + 4));
    ASSERT_EQ(sub->Layout().RowCount(), 2);

    SendMouse(menu, QEvent::MouseButtonRelease, menu->RowCentre(1));
    EXPECT_TRUE(owner.Take().empty());
    EXPECT_TRUE(IsMenuOpen());
    EXPECT_EQ(menu->SubMenu(), sub);

    MoveMouse(sub, sub->RowCentre(1));
    SendMouse(sub, QEvent::MouseButtonRelease, sub->RowCentre(1));
    QCoreApplication::sendPostedEvents(menu);  // the sub-menu's choice reaches its menu
    EXPECT_EQ(owner.Take(), (std::vector<PostedMessage>{{0x477, 0x04000023, kUserValue}}));
    EXPECT_FALSE(IsMenuOpen());
}

TEST_F(MenuDlgTest, HoveringAnotherRowClosesTheSubMenu) {
    SkinnedMenu* menu = Show(Items());
    MoveMouse(menu, menu->RowCentre(1));
    QPointer<SkinnedMenu> sub = menu->SubMenu();
    MoveMouse(menu, menu->RowCentre(0));
    EXPECT_EQ(menu->SubMenu(), nullptr);
    DeletePending();
    EXPECT_TRUE(sub.isNull());
}

TEST_F(MenuDlgTest, OpeningASecondMenuClosesTheFirst) {
    QPointer<SkinnedMenu> first = Show(Items());
    MoveMouse(first, first->RowCentre(1));
    QPointer<SkinnedMenu> firstSub = first->SubMenu();
    SkinnedMenu* second = Show(Items());
    EXPECT_EQ(OpenMenu(), second);
    DeletePending();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(firstSub.isNull());
    EXPECT_FALSE(second->isHidden());
}

TEST_F(MenuDlgTest, ClosesWhenTheUserTurnsElsewhereButNotOnAPressOnItself) {
    QWidget elsewhere;
    elsewhere.show();
    const std::vector<std::pair<const char*, std::function<void(SkinnedMenu*)>>> cases = {
        {"press on the menu",
         [](SkinnedMenu* menu) { SendMouse(menu, QEvent::MouseButtonPress, menu->RowCentre(0)); }},
        {"press elsewhere",
         [&](SkinnedMenu*) { SendMouse(&elsewhere, QEvent::MouseButtonPress, QPoint(1, 1)); }},
        {"Escape", [&](SkinnedMenu*) { QTest::keyClick(&elsewhere, Qt::Key_Escape); }},
        {"owner hidden", [&](SkinnedMenu*) { owner.hide(); }},
        {"owner's window moved", [&](SkinnedMenu*) { owner.move(owner.pos() + QPoint(30, 0)); }},
        {"owner's window minimised", [&](SkinnedMenu*) { owner.showMinimized(); }},
    };
    for (const auto& [what, act] : cases) {
        owner.showNormal();
        QCoreApplication::processEvents();
        SkinnedMenu* menu = Show(Items());
        act(menu);
        QCoreApplication::processEvents();
        EXPECT_EQ(IsMenuOpen(), std::string(what) == "press on the menu") << what;
        CloseMenu();
    }
    EXPECT_TRUE(owner.Take().empty());
}

TEST_F(MenuDlgTest, KeysMoveTheHighlightEnterTheSubMenuAndChoose) {
    owner.show();
    SkinnedMenu* menu = Show(Items());
    QTest::keyClick(&owner, Qt::Key_Down);  // the first row
    QTest::keyClick(&owner, Qt::Key_Down);  // Media, which opens its sub-menu
    EXPECT_EQ(menu->Layout().Hovered(), 1);
    ASSERT_NE(menu->SubMenu(), nullptr);
    QTest::keyClick(&owner, Qt::Key_Right);  // into it: Play/Pause
    QTest::keyClick(&owner, Qt::Key_Down);   // Stop
    EXPECT_EQ(menu->SubMenu()->Layout().Hovered(), 1);
    QTest::keyClick(&owner, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();  // the sub-menu hands its choice to the menu
    EXPECT_EQ(owner.Take(), (std::vector<PostedMessage>{{0x477, 0x04000023, kUserValue}}));
    EXPECT_FALSE(IsMenuOpen());

    // Up from nothing wraps to the last row; Left in the top menu changes nothing.
    menu = Show(Items());
    QTest::keyClick(&owner, Qt::Key_Up);
    QTest::keyClick(&owner, Qt::Key_Left);
    QTest::keyClick(&owner, Qt::Key_Enter);
    EXPECT_EQ(owner.Take(), (std::vector<PostedMessage>{{0x477, 0x01000012, kUserValue}}));
}

class MenuWithoutRowPictureTest : public MenuDlgTest {
  protected:
    MenuWithoutRowPictureTest() : MenuDlgTest(false) { SetMessageSink(&sink_); }
    ~MenuWithoutRowPictureTest() override { SetMessageSink(nullptr); }
    RecordingMessageSink sink_;
};

TEST_F(MenuWithoutRowPictureTest, WarnsAndGivesRowsOfHeightZero) {
    SkinnedMenu* menu = Show(Items());
    EXPECT_EQ(
        sink_.messages,
        (std::vector<std::pair<std::string, std::string>>{{"Menu item height is 0", "Warring"}}));
    EXPECT_EQ(menu->Layout().RowCount(), 3);
    EXPECT_EQ(menu->height(), 4);
}

}  // namespace
}  // namespace vantor
