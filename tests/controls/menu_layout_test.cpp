#include "ui/widgets/logic/menu_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantor {
namespace {

// Three top-level rows; the second ("Media", 0x04000000) has two children.
std::vector<MenuItem> SampleItems() {
    std::vector<MenuItem> items(5);
    AddMenuItem(items, kMenuTopLevel, 0, 0x01000011, "Left");
    AddMenuItem(items, kMenuTopLevel, 1, 0x04000000, "Media");
    AddMenuItem(items, 0x04000000, 2, 0x04000022, "Play");
    AddMenuItem(items, 0x04000000, 3, 0x04000023, "Stop");
    AddMenuItem(items, kMenuTopLevel, 4, 0x01000012, "Middle");
    return items;
}

constexpr int kRow = 30;
constexpr int kMargin = 2;

MenuLayout TopMenu(std::vector<MenuItem> items = SampleItems()) {
    return MenuLayout(std::move(items), false, 0, 120, kRow, kMargin, {100, 200});
}

TEST(MenuItemTest, TextIsCutTo39UnitsWithoutSplittingCharacters) {
    std::vector<MenuItem> items(1);
    EXPECT_TRUE(AddMenuItem(items, 7, 0, 9, std::string(45, 'x')));
    EXPECT_EQ(items[0].szText, std::string(39, 'x'));
    EXPECT_EQ(items[0].dwParent, 7u);
    EXPECT_EQ(items[0].dwValue, 9u);
    // 38 units, then a character outside the BMP (two units) that would not fit whole.
    AddMenuItem(items, 7, 0, 9, std::string(38, 'x') + "\xF0\x9F\x98\x80");
    EXPECT_EQ(items[0].szText, std::string(38, 'x'));
    EXPECT_FALSE(AddMenuItem(items, 7, 1, 9, "outside"));
}

TEST(MenuLayoutTest, TopMenuRowsAndWindow) {
    MenuLayout menu = TopMenu();
    ASSERT_EQ(menu.RowCount(), 3);
    EXPECT_EQ(menu.RowItem(0).szText, "Left");
    EXPECT_EQ(menu.RowItem(1).szText, "Media");
    EXPECT_EQ(menu.RowItem(2).szText, "Middle");
    EXPECT_EQ(menu.WindowRect(), (Rect{100, 200, 220, 200 + 3 * kRow + 2 * kMargin}));
    EXPECT_EQ(menu.RowRect(1), (Rect{0, kMargin + kRow, 120, kMargin + 2 * kRow}));
    EXPECT_TRUE(menu.RowHasChildren(1));
    EXPECT_FALSE(menu.RowHasChildren(0));
    EXPECT_EQ(menu.RowAt({5, kMargin + kRow}), 1);
    EXPECT_EQ(menu.RowAt({5, kMargin - 1}), -1);
    EXPECT_EQ(menu.RowAt({120, kMargin + kRow}), -1);
}

TEST(MenuLayoutTest, MoreThanFiftyItemsGiveAnEmptyFrame) {
    std::vector<MenuItem> fifty(50);
    for (std::size_t i = 0; i < fifty.size(); ++i) {
        AddMenuItem(fifty, kMenuTopLevel, i, static_cast<std::uint32_t>(i + 1000), "item");
    }
    EXPECT_EQ(TopMenu(fifty).RowCount(), 50);
    fifty.push_back({kMenuTopLevel, 2000, "one too many"});
    MenuLayout menu = TopMenu(fifty);
    EXPECT_EQ(menu.RowCount(), 0);
    EXPECT_TRUE(menu.Items().empty());
    EXPECT_EQ(menu.WindowRect(), (Rect{100, 200, 220, 200 + 2 * kMargin}));
}

TEST(MenuLayoutTest, HoveringARowWithChildrenOpensItsSubMenuLevelWithTheRow) {
    MenuLayout menu = TopMenu();
    auto change = menu.OnMouseMove({10, kMargin + kRow + 5});
    EXPECT_TRUE(change.changed);
    ASSERT_TRUE(change.openSubMenu);
    EXPECT_EQ(change.subMenuParent, 0x04000000u);
    // Two children: the sub-menu starts one row above the hovered row.
    EXPECT_EQ(change.subMenuTopLeft, (Point{220, kMargin + kRow + 200 - kRow}));

    // Moving inside the same row changes nothing; another row closes the sub-menu.
    EXPECT_FALSE(menu.OnMouseMove({50, kMargin + kRow + 20}).changed);
    change = menu.OnMouseMove({10, kMargin + 5});
    EXPECT_TRUE(change.changed);
    EXPECT_FALSE(change.openSubMenu);
    EXPECT_EQ(menu.Hovered(), 0);
    change = menu.OnMouseMove({10, 500});
    EXPECT_TRUE(change.changed);
    EXPECT_EQ(menu.Hovered(), -1);
}

TEST(MenuLayoutTest, ClickRules) {
    MenuLayout menu = TopMenu();
    EXPECT_FALSE(menu.OnButtonUp().choose);  // nothing hovered
    menu.OnMouseMove({10, kMargin + kRow + 5});
    EXPECT_FALSE(menu.OnButtonUp().choose);  // the sub-menu header keeps the menu open
    menu.OnMouseMove({10, kMargin + 2 * kRow + 5});
    auto click = menu.OnButtonUp();
    EXPECT_TRUE(click.choose);
    EXPECT_EQ(click.value, 0x01000012u);
}

TEST(MenuLayoutTest, SubMenuShowsTheChildrenAndChoosesThem) {
    MenuLayout sub(SampleItems(), true, 0x04000000, 120, kRow, kMargin, {220, 202});
    ASSERT_EQ(sub.RowCount(), 2);
    EXPECT_EQ(sub.RowItem(0).szText, "Play");
    EXPECT_EQ(sub.RowItem(1).szText, "Stop");
    auto change = sub.OnMouseMove({10, kMargin + kRow + 1});
    EXPECT_TRUE(change.changed);
    EXPECT_FALSE(change.openSubMenu);
    auto click = sub.OnButtonUp();
    EXPECT_TRUE(click.choose);
    EXPECT_EQ(click.value, 0x04000023u);
}

TEST(MenuLayoutTest, TopLevelValue255IsAnOrdinaryChoice) {
    // Combo lists put every item at the top level; the value 255 must not turn the whole
    // list into its own sub-menu.
    std::vector<MenuItem> items(2);
    AddMenuItem(items, kMenuTopLevel, 0, 255, "255");
    AddMenuItem(items, kMenuTopLevel, 1, 256, "256");
    MenuLayout menu = TopMenu(items);
    EXPECT_FALSE(menu.RowHasChildren(0));
    EXPECT_FALSE(menu.OnMouseMove({10, kMargin + 1}).openSubMenu);
    EXPECT_EQ(menu.OnButtonUp().value, 255u);
}

}  // namespace
}  // namespace vantor
