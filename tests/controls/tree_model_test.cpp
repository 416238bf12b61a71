#include "ui/widgets/logic/tree_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/widgets/logic/tree_rules.h"

namespace vantor {
namespace {

std::vector<std::string> Texts(const TreeModel& model, TreeItemId parent) {
    std::vector<std::string> texts;
    for (TreeItemId id : model.Children(parent)) texts.push_back(model.Text(id));
    return texts;
}

TEST(TreeModelTest, FolderDepthLimitAndNothingUnderALeaf) {
    TreeModel model;
    TreeItemId folder = model.Insert(kTreeRoot, TreeItemKind::kFolder, "0");
    for (int depth = 1; depth <= 5; ++depth) {
        folder = model.Insert(folder, TreeItemKind::kFolder, std::to_string(depth));
        ASSERT_NE(folder, kNoTreeItem) << depth;
        EXPECT_EQ(model.Depth(folder), depth);
    }
    // `folder` lies 5 levels deep: no folder below it, but a leaf is fine.
    EXPECT_EQ(model.Insert(folder, TreeItemKind::kFolder, "6"), kNoTreeItem);
    TreeItemId leaf = model.Insert(folder, TreeItemKind::kLeaf, "macro");
    ASSERT_NE(leaf, kNoTreeItem);
    EXPECT_EQ(model.Insert(leaf, TreeItemKind::kLeaf, "x"), kNoTreeItem);
    EXPECT_EQ(model.Insert(leaf, TreeItemKind::kFolder, "x"), kNoTreeItem);
    EXPECT_EQ(model.Insert(12345, TreeItemKind::kLeaf, "x"), kNoTreeItem);
}

TEST(TreeModelTest, InsertNextToPlacesTheLeafBesideTheItem) {
    TreeModel model;
    TreeItemId a = model.Insert(kTreeRoot, TreeItemKind::kLeaf, "a");
    TreeItemId b = model.Insert(kTreeRoot, TreeItemKind::kLeaf, "b");
    model.InsertNextTo(a, false, "after a");
    model.InsertNextTo(a, true, "before a");
    model.InsertNextTo(b, true, "before b");
    EXPECT_EQ(Texts(model, kTreeRoot),
              (std::vector<std::string>{"before a", "a", "after a", "before b", "b"}));
    EXPECT_EQ(model.InsertNextTo(kTreeRoot, false, "x"), kNoTreeItem);
    EXPECT_EQ(model.InsertNextTo(kNoTreeItem, false, "x"), kNoTreeItem);
    // Inside a folder the leaf stays under that folder.
    TreeItemId folder = model.Insert(kTreeRoot, TreeItemKind::kFolder, "f");
    TreeItemId inner = model.Insert(folder, TreeItemKind::kLeaf, "inner");
    TreeItemId added = model.InsertNextTo(inner, false, "inner 2");
    EXPECT_EQ(model.Parent(added), folder);
    EXPECT_EQ(model.PreviousSibling(added), inner);
}

TEST(TreeModelTest, DeleteTakesTheSubtreeAndTheSelection) {
    TreeModel model;
    TreeItemId folder = model.Insert(kTreeRoot, TreeItemKind::kFolder, "f");
    TreeItemId sub = model.Insert(folder, TreeItemKind::kFolder, "sub");
    TreeItemId leaf = model.Insert(sub, TreeItemKind::kLeaf, "leaf");
    TreeItemId other = model.Insert(kTreeRoot, TreeItemKind::kLeaf, "other");
    model.Select(leaf);
    EXPECT_EQ(model.Delete(folder), (std::vector<TreeItemId>{leaf, sub, folder}));
    EXPECT_EQ(model.Selected(), kNoTreeItem);
    EXPECT_FALSE(model.Contains(leaf));
    EXPECT_EQ(model.Children(kTreeRoot), (std::vector<TreeItemId>{other}));
    // A new item never takes a deleted item's id.
    EXPECT_GT(model.Insert(kTreeRoot, TreeItemKind::kLeaf, "new"), other);
}

TEST(TreeModelTest, VisibleRowsFollowTheExpandedFolders) {
    TreeModel model;
    TreeItemId folder = model.Insert(kTreeRoot, TreeItemKind::kFolder, "f");
    TreeItemId leaf = model.Insert(folder, TreeItemKind::kLeaf, "leaf");
    TreeItemId top = model.Insert(kTreeRoot, TreeItemKind::kLeaf, "top");
    EXPECT_EQ(model.VisibleRows().size(), 2u);
    EXPECT_TRUE(model.Toggle(folder));
    auto rows = model.VisibleRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].item, leaf);
    EXPECT_EQ(rows[1].level, 1);
    EXPECT_EQ(rows[2].item, top);
    EXPECT_FALSE(model.Toggle(leaf));
}

TEST(TreeModelTest, WalkVisitsFolderContentFirstAndStops) {
    TreeModel model;
    TreeItemId folder = model.Insert(kTreeRoot, TreeItemKind::kFolder, "f");
    model.Insert(folder, TreeItemKind::kLeaf, "in f");
    model.Insert(kTreeRoot, TreeItemKind::kLeaf, "top");
    std::vector<std::string> seen;
    auto record = [&](TreeItemId id) {
        seen.push_back(model.Text(id));
        return false;
    };
    EXPECT_FALSE(model.WalkChildren(kTreeRoot, true, record));
    EXPECT_EQ(seen, (std::vector<std::string>{"in f", "f", "top"}));
    seen.clear();
    model.WalkChildren(kTreeRoot, false, record);
    EXPECT_EQ(seen, (std::vector<std::string>{"f", "top"}));
    seen.clear();
    EXPECT_TRUE(model.WalkChildren(kTreeRoot, true, [&](TreeItemId id) {
        seen.push_back(model.Text(id));
        return true;
    }));
    EXPECT_EQ(seen, (std::vector<std::string>{"in f"}));
}

TEST(TreeRulesTest, LeftClickRepeatRuleAndToggle) {
    TreeModel model;
    TreeItemId folder = model.Insert(kTreeRoot, TreeItemKind::kFolder, "f");
    TreeItemId leaf = model.Insert(kTreeRoot, TreeItemKind::kLeaf, "l");

    auto action = LeftButtonDownAction(model, leaf, false, folder, true);
    EXPECT_EQ(action.message, kTreeLeftClickMessage);
    EXPECT_TRUE(action.takeFocus);
    // Clicking the selected item again: silent with the switch on, posted with it off.
    EXPECT_EQ(LeftButtonDownAction(model, leaf, false, leaf, true).message, 0u);
    EXPECT_EQ(LeftButtonDownAction(model, leaf, false, leaf, false).message, kTreeLeftClickMessage);
    // Only a folder's button or indent toggles it on a single click.
    EXPECT_TRUE(LeftButtonDownAction(model, folder, true, leaf, true).toggle);
    EXPECT_FALSE(LeftButtonDownAction(model, folder, false, leaf, true).toggle);
    EXPECT_FALSE(LeftButtonDownAction(model, leaf, true, folder, true).toggle);

    EXPECT_EQ(DoubleClickAction(model, kNoTreeItem).message, 0u);
    action = DoubleClickAction(model, folder);
    EXPECT_TRUE(action.toggle);
    EXPECT_EQ(action.message, kTreeDoubleClickMessage);
    EXPECT_FALSE(DoubleClickAction(model, leaf).toggle);
}

TEST(TreeRulesTest, TooltipOnlyAboveTwelveCharacters) {
    EXPECT_FALSE(TreeTextNeedsTooltip("123456789012"));
    EXPECT_TRUE(TreeTextNeedsTooltip("1234567890123"));
    // Twelve characters of two bytes each are still twelve characters.
    std::string umlauts;
    for (int i = 0; i < 12; ++i) umlauts += "\xC3\xA4";
    EXPECT_FALSE(TreeTextNeedsTooltip(umlauts));
}

TEST(TreeRulesTest, RowBoxes) {
    TreeRowGeometry g{.textLeft = 40,
                      .top = 20,
                      .bottom = 40,
                      .clientRight = 200,
                      .indent = 19,
                      .margin = 2,
                      .iconBoxWidth = 18,
                      .textOffset = 3};
    struct Case {
        TreeItemKind kind;
        bool iconBox;
        Rect button, icon, text;
    };
    const Case cases[] = {
        {TreeItemKind::kFolder, true, {21, 20, 40, 40}, {42, 20, 60, 40}, {65, 20, 195, 40}},
        {TreeItemKind::kFolder, false, {21, 20, 40, 40}, {}, {43, 20, 195, 40}},
        {TreeItemKind::kLeaf, true, {}, {21, 20, 40, 40}, {43, 20, 195, 40}},
        {TreeItemKind::kLeaf, false, {}, {}, {43, 20, 195, 40}},
    };
    for (const Case& c : cases) {
        TreeRowBoxes boxes = ComputeTreeRowBoxes(c.kind, c.iconBox, g);
        EXPECT_EQ(boxes.button, c.button);
        EXPECT_EQ(boxes.icon, c.icon);
        EXPECT_EQ(boxes.text, c.text);
    }
}

TEST(TreeRulesTest, ChildrenStartOneIndentRightOfTheirParentsName) {
    // The tree's own numbers: text left = (level + 1) x indent.
    auto boxesAt = [](int level, TreeItemKind kind, bool iconBox) {
        TreeRowGeometry g{.textLeft = (level + 1) * 19,
                          .top = 0,
                          .bottom = 20,
                          .clientRight = 400,
                          .indent = 19,
                          .margin = 2,
                          .iconBoxWidth = 18,
                          .textOffset = 0};
        return ComputeTreeRowBoxes(kind, iconBox, g);
    };
    for (int level = 0; level < 4; ++level) {
        const int parentText = boxesAt(level, TreeItemKind::kFolder, false).text.left;
        for (TreeItemKind kind : {TreeItemKind::kFolder, TreeItemKind::kLeaf}) {
            for (bool iconBox : {false, true}) {
                SCOPED_TRACE(testing::Message() << "level " << level << " icon " << iconBox);
                EXPECT_GE(boxesAt(level + 1, kind, iconBox).text.left, parentText + 19);
            }
        }
    }
}

}  // namespace
}  // namespace vantor
