#include "ui/popups/macro_picker.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <algorithm>
#include <cstdlib>

#include "app/config/config.h"
#include "base/message_sink.h"
#include "base/texts.h"
#include "keys/macro_file.h"
#include "keys/macro_record.h"
#include "tests/ui/popup_test_skin.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_tree.h"

namespace vantor {
namespace {

// A library root with the macro "top" and a folder "games" holding the macro "inner".
class PickMacroDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageSink(&messages_);
        MacroRecord top = NewMacro("top");
        topId_ = top.dwMacroID;
        ASSERT_TRUE(WriteMacroFile(root_ / "top.qxm", top));
        MacroRecord inner = NewMacro("inner");
        ASSERT_TRUE(WriteMacroFile(root_ / "games/inner.qxm", inner));
    }
    void TearDown() override { SetMessageSink(nullptr); }

    std::vector<std::string> TopLevelTexts(SkinnedTree& tree) {
        std::vector<std::string> texts;
        for (TreeItemId item : tree.Model().Children(kTreeRoot))
            texts.push_back(tree.ItemText(item));
        return texts;
    }

    test::PopupTestSkin skin_;
    test::TempDir root_;
    RecordingMessageSink messages_;
    std::uint32_t topId_ = 0;
};

TEST_F(PickMacroDlgTest, FoldersAppearOnlyWithMacroDir) {
    MacroPicker flat(root_.path(), 0);
    EXPECT_EQ(TopLevelTexts(*flat.Tree()), std::vector<std::string>{"top"});

    MacroPicker nested(root_.path(), 1);
    auto texts = TopLevelTexts(*nested.Tree());
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"games", "top"}));
    EXPECT_EQ(nested.OkButton()->pos(), QPoint(210, 302));
    EXPECT_EQ(nested.CloseButton()->pos(), QPoint(360, 12));
    EXPECT_EQ(nested.MacroPageButton()->Text(), QString::fromStdString(Text("tc_macro_msg5")));
}

TEST_F(PickMacroDlgTest, OkNeedsAMacroAndGivesItsId) {
    MacroPicker dialog(root_.path(), 1);
    dialog.show();
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_EQ(messages_.messages[0].first, Text("tc_macro_msg1"));
    EXPECT_EQ(messages_.messages[0].second, "Tips");

    SkinnedTree& tree = *dialog.Tree();
    for (TreeItemId item : tree.Model().Children(kTreeRoot)) {
        if (tree.ItemText(item) == "games") tree.SelectItem(item);
    }
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);  // a folder is not a macro
    EXPECT_EQ(messages_.messages.size(), 2u);

    tree.SelectItem(tree.FindTopLevelItem("top"));
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Result(), static_cast<std::int32_t>(topId_ & 0xFFFFFF));
}

TEST_F(PickMacroDlgTest, MacroPageButtonGivesMinusOneAndCloseCancels) {
    MacroPicker dialog(root_.path(), 0);
    dialog.show();
    QTest::mouseClick(dialog.MacroPageButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Result(), kPickMacroPage);

    MacroPicker closed(root_.path(), 0);
    closed.show();
    QTest::mouseClick(closed.CloseButton(), Qt::LeftButton);
    EXPECT_EQ(closed.result(), QDialog::Rejected);
}

TEST_F(PickMacroDlgTest, SelectedMacroStaysReadable) {
    // The shipped configuration's light text colour.
    ASSERT_TRUE(DataInit(test::SourceDataDir() + "cfg.ini"));
    MacroPicker dialog(root_.path(), 0);
    SkinnedTree& tree = *dialog.Tree();
    const TreeItemId top = tree.Model().Children(kTreeRoot).front();
    tree.SelectItem(top);
    QImage canvas(tree.size(), QImage::Format_ARGB32);
    tree.render(&canvas);
    // The letters of the selected row stand out from the selection behind them.
    const QRect row = tree.ItemRowRect(top);
    const int background = canvas.pixelColor(row.right() - 8, row.center().y()).lightness();
    int farthest = 0;
    for (int x = row.left(); x < row.left() + 40; ++x) {
        for (int y = row.top(); y <= row.bottom(); ++y) {
            farthest =
                std::max(farthest, std::abs(canvas.pixelColor(x, y).lightness() - background));
        }
    }
    EXPECT_GT(farthest, 100);
}

}  // namespace
}  // namespace vantor
