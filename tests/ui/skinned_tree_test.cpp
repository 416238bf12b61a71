#include "ui/widgets/skinned_tree.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/ui_support/window_message_log.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

using test::PostedMessage;
using test::SendMouse;

constexpr int kControlId = 77;

class TreeCtrlExTest : public ::testing::Test {
  protected:
    TreeCtrlExTest() {
        parent.resize(300, 300);
        tree = new SkinnedTree(&parent);
        tree->Create(QRect(0, 0, 200, 200), &parent, kControlId, QImage(), QString(), QString());
        folder = tree->InsertItem(true, kTreeRoot, false, nullptr, 1, 0, "Folder");
        leaf = tree->InsertItem(false, kTreeRoot, false, nullptr, 2, 0, "Leaf");
        parent.show();
    }
    // A point on the text of the item's row.
    QPoint On(TreeItemId item) const { return tree->ItemRowRect(item).center(); }
    static PostedMessage Msg(std::uint32_t message, TreeItemId item) {
        return {message, kControlId, static_cast<std::intptr_t>(item)};
    }

    test::WindowMessageLog parent;
    SkinnedTree* tree = nullptr;
    TreeItemId folder = kNoTreeItem;
    TreeItemId leaf = kNoTreeItem;
};

TEST_F(TreeCtrlExTest, LeftClickSelectsAndPostsExceptOnTheSelectedItem) {
    SendMouse(tree, QEvent::MouseButtonPress, On(leaf));
    SendMouse(tree, QEvent::MouseButtonRelease, On(leaf));
    EXPECT_EQ(tree->SelectedItem(), leaf);
    EXPECT_EQ(parent.Take(), (std::vector{Msg(0x594, leaf)}));

    SendMouse(tree, QEvent::MouseButtonPress, On(leaf));
    EXPECT_TRUE(parent.Take().empty());

    tree->SetRepeatClick(false);
    SendMouse(tree, QEvent::MouseButtonPress, On(leaf));
    EXPECT_EQ(parent.Take(), (std::vector{Msg(0x594, leaf)}));
}

TEST_F(TreeCtrlExTest, DoubleClickTogglesFolderRightReleasePostsAndEmptySpaceIsZero) {
    SendMouse(tree, QEvent::MouseButtonDblClick, On(folder));
    EXPECT_TRUE(tree->IsExpanded(folder));
    SendMouse(tree, QEvent::MouseButtonRelease, On(leaf), Qt::RightButton);
    SendMouse(tree, QEvent::MouseButtonRelease, QPoint(50, 150), Qt::RightButton);
    SendMouse(tree, QEvent::MouseButtonDblClick, QPoint(50, 150));
    EXPECT_EQ(parent.Take(), (std::vector{Msg(0x591, folder), Msg(0x592, leaf), Msg(0x592, 0)}));
    EXPECT_EQ(tree->SelectedItem(), kNoTreeItem);
}

TEST_F(TreeCtrlExTest, ClickOnTheFolderButtonToggles) {
    TreeItemId inner = tree->InsertItem(false, folder, false, nullptr, 3, 0, "Inner");
    EXPECT_TRUE(tree->ItemRowRect(inner).isNull());
    SendMouse(tree, QEvent::MouseButtonPress, QPoint(5, On(folder).y()));
    EXPECT_TRUE(tree->IsExpanded(folder));
    EXPECT_FALSE(tree->ItemRowRect(inner).isNull());
    // A press on the folder's text selects it but leaves it open.
    SendMouse(tree, QEvent::MouseButtonPress, On(folder));
    EXPECT_TRUE(tree->IsExpanded(folder));
}

TEST_F(TreeCtrlExTest, UserInputOffIgnoresButtonsAndKeys) {
    tree->SetUserInput(false);
    SendMouse(tree, QEvent::MouseButtonPress, On(leaf));
    SendMouse(tree, QEvent::MouseButtonRelease, On(leaf), Qt::RightButton);
    SendMouse(tree, QEvent::MouseButtonDblClick, On(folder));
    EXPECT_TRUE(parent.Take().empty());
    EXPECT_EQ(tree->SelectedItem(), kNoTreeItem);
    EXPECT_FALSE(tree->IsExpanded(folder));

    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(tree, &down);
    EXPECT_EQ(tree->SelectedItem(), kNoTreeItem);
}

TEST_F(TreeCtrlExTest, KeysSelectOpenAndActAsTheMouseButtonsWould) {
    EXPECT_EQ(tree->focusPolicy(), Qt::StrongFocus);
    const auto key = [this](Qt::Key k) { QTest::keyClick(tree, k); };
    key(Qt::Key_Down);  // nothing selected: the first row
    key(Qt::Key_Down);
    key(Qt::Key_Down);  // the last row stays
    key(Qt::Key_Up);
    EXPECT_EQ(tree->SelectedItem(), folder);
    EXPECT_EQ(parent.Take(),
              (std::vector{Msg(0x594, folder), Msg(0x594, leaf), Msg(0x594, folder)}));
    key(Qt::Key_Right);
    EXPECT_TRUE(tree->IsExpanded(folder));
    key(Qt::Key_Left);
    EXPECT_FALSE(tree->IsExpanded(folder));
    key(Qt::Key_Return);
    key(Qt::Key_Menu);
    EXPECT_EQ(parent.Take(), (std::vector{Msg(0x591, folder), Msg(0x592, folder)}));
}

TEST_F(TreeCtrlExTest, TooltipOnlyForTextsLongerThanTwelveCharacters) {
    TreeItemId twelve = tree->InsertItem(false, kTreeRoot, false, nullptr, 0, 0, "123456789012");
    TreeItemId thirteen = tree->InsertItem(false, kTreeRoot, false, nullptr, 0, 0, "1234567890123");
    SendMouse(tree, QEvent::MouseMove, On(twelve), Qt::NoButton);
    EXPECT_EQ(tree->HoveredItem(), twelve);
    EXPECT_FALSE(tree->IsTooltipActive());

    SendMouse(tree, QEvent::MouseMove, On(thirteen), Qt::NoButton);
    EXPECT_EQ(tree->HoveredItem(), thirteen);
    EXPECT_TRUE(tree->IsTooltipActive());
    EXPECT_EQ(tree->TooltipText(), QStringLiteral("1234567890123"));

    // Moving back onto a short item switches the tooltip off again.
    SendMouse(tree, QEvent::MouseMove, On(twelve), Qt::NoButton);
    EXPECT_FALSE(tree->IsTooltipActive());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(tree, &leave);
    EXPECT_EQ(tree->HoveredItem(), kNoTreeItem);
}

TEST_F(TreeCtrlExTest, InsertRulesSelectionAndLookups) {
    TreeItemId sub = tree->InsertItem(true, folder, true, nullptr, 10, 20, "Sub");
    ASSERT_NE(sub, kNoTreeItem);
    EXPECT_TRUE(tree->IsExpanded(folder));
    EXPECT_EQ(tree->SelectedItem(), sub);
    EXPECT_EQ(tree->InsertItem(false, leaf, false, nullptr, 0, 0, "under a leaf"), kNoTreeItem);

    TreeItemId before = tree->InsertNextTo(leaf, true, nullptr, 5, 6, "Before leaf");
    EXPECT_EQ(tree->Model().PreviousSibling(leaf), before);
    EXPECT_EQ(tree->InsertNextTo(kTreeRoot, false, nullptr, 0, 0, "x"), kNoTreeItem);

    EXPECT_EQ(tree->FindTopLevelItem("fOLDER"), folder);
    EXPECT_EQ(tree->FindTopLevelItem("sub"), kNoTreeItem);  // not at the top level

    ASSERT_TRUE(tree->UpdateItem(sub, 99u, std::string("Renamed")));
    EXPECT_EQ(tree->ItemText(sub), "Renamed");
    EXPECT_EQ(tree->FindItemData(sub)->dwUserWord, 99u);
    EXPECT_EQ(tree->FindItemData(sub)->dwUserValue, 10u);

    std::vector<std::string> seen;
    tree->WalkChildren(kTreeRoot, true,
                       [&](TreeItemId, TreeItemData& data, const std::string& text) {
                           seen.push_back(text + ":" + std::to_string(data.dwUserValue));
                           return false;
                       });
    EXPECT_EQ(seen,
              (std::vector<std::string>{"Renamed:10", "Folder:1", "Before leaf:5", "Leaf:2"}));

    EXPECT_TRUE(tree->DeleteItem(folder));
    EXPECT_EQ(tree->FindItemData(sub), nullptr);
    EXPECT_EQ(tree->SelectedItem(), kNoTreeItem);
}

TEST_F(TreeCtrlExTest, IconFilesAreLoadedAndOwnedByTheTree) {
    test::TempDir dir;
    QImage icon(8, 8, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    ASSERT_TRUE(icon.save(QString::fromStdString(dir / "icon.png")));
    TreeItemId withIcon = tree->InsertItem(false, kTreeRoot, false,
                                           QString::fromStdString(dir / "icon.png"), 0, 0, "icon");
    TreeItemId broken = tree->InsertItem(false, kTreeRoot, false,
                                         QString::fromStdString(dir / "missing.png"), 0, 0, "none");
    ASSERT_NE(tree->FindItemData(withIcon)->icon, nullptr);
    EXPECT_TRUE(tree->FindItemData(withIcon)->ownsIcon);
    EXPECT_EQ(tree->FindItemData(broken)->icon, nullptr);
    // A refused item does not keep the icon it loaded (the leak checker watches this).
    EXPECT_EQ(tree->InsertItem(false, withIcon, false, QString::fromStdString(dir / "icon.png"), 0,
                               0, "refused"),
              kNoTreeItem);
    tree->DeleteAllItems();
    EXPECT_EQ(tree->Model().Count(), 0u);
}

TEST_F(TreeCtrlExTest, PaintsSelectionOverTheFullWidthAndTheFrame) {
    tree->SelectItem(leaf);
    QImage canvas(tree->size(), QImage::Format_ARGB32);
    tree->render(&canvas);
    const QRect row = tree->ItemRowRect(leaf);
    // Translucent white (alpha 0x96) over the black background, right of the text.
    const QColor selection = canvas.pixelColor(row.right() - 2, row.center().y());
    EXPECT_NEAR(selection.red(), 0x96, 2);
    EXPECT_EQ(selection.red(), selection.blue());
    EXPECT_EQ(canvas.pixelColor(0, 100), QColor(0x64, 0x64, 0x64));
    const QColor unselected = canvas.pixelColor(row.right() - 2, On(folder).y());
    EXPECT_EQ(unselected, QColor(0, 0, 0));

    tree->SetFrameColor(0);
    tree->render(&canvas);
    EXPECT_EQ(canvas.pixelColor(0, 100), QColor(0, 0, 0));
}

TEST_F(TreeCtrlExTest, LeafTextKeepsClearOfTheFrame) {
    // A top-level leaf without icon starts its text box at the client's left edge, where
    // the frame is drawn; its letters must not run into the frame.
    tree->SetFrameColor(0);
    tree->SetTextColors(Qt::white, Qt::white);
    QImage canvas(tree->size(), QImage::Format_ARGB32);
    tree->render(&canvas);
    const QRect row = tree->ItemRowRect(leaf);
    for (int x = 0; x < 3; ++x) {
        for (int y = row.top(); y <= row.bottom(); ++y) {
            EXPECT_EQ(canvas.pixelColor(x, y), QColor(0, 0, 0)) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace vantor
