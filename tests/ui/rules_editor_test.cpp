#include "ui/shell/rules_editor.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMetaMethod>
#include <QPushButton>
#include <QTest>

#include "app/rules/application_rules_file.h"
#include "base/texts.h"
#include "tests/support/shipped_languages.h"
#include "tests/support/temp_dir.h"
#include "ui/shell/application_following.h"
#include "ui/shell/kwin_active_window.h"

namespace vantor {
namespace {

class RulesEditorTest : public ::testing::Test {
  protected:
    RulesEditorTest() { LoadTexts(test::SourceDataDir() + "en/text.xml"); }

    // The rules as the file holds them now.
    ApplicationRules Saved() const { return LoadApplicationRules(data_.path()).rules; }

    void Add(RulesEditor& editor, const char* application, int profile) {
        editor.ApplicationBox()->setEditText(QString::fromLatin1(application));
        editor.ProfileBox()->setCurrentIndex(profile - 1);
        editor.AddButton()->click();
    }

    test::TempDir data_;
    std::vector<int> switches_;
    ApplicationFollowing following_{{data_.path(),
                                     {},
                                     [] { return 1; },
                                     [] { return false; },
                                     [this](int profile) { switches_.push_back(profile); }}};
};

TEST_F(RulesEditorTest, EachChangeIsSavedAtOnceInTheListsOrder) {
    EXPECT_EQ(following_.Load(), "");
    RulesEditor editor(following_, {});
    EXPECT_FALSE(editor.EnabledBox()->isChecked());  // off until the user turns it on
    EXPECT_FALSE(editor.AddButton()->isEnabled());   // no application named yet

    Add(editor, "Steam", 2);
    Add(editor, "XTerm", 3);
    Add(editor, "  Firefox ", 4);  // blanks around a typed name are dropped
    Add(editor, "steam", 1);       // the rule of an application that has one changes
    ApplicationRules expected;
    expected.rules = {{"Steam", 1}, {"XTerm", 3}, {"Firefox", 4}};
    EXPECT_EQ(Saved(), expected);
    EXPECT_EQ(editor.RuleList()->count(), 3);

    editor.RuleList()->setCurrentRow(2);
    editor.UpButton()->click();
    EXPECT_EQ(editor.RuleList()->currentRow(), 1);
    editor.RuleList()->setCurrentRow(0);
    EXPECT_FALSE(editor.UpButton()->isEnabled());
    editor.RemoveButton()->click();
    expected.rules = {{"Firefox", 4}, {"XTerm", 3}};
    EXPECT_EQ(Saved(), expected);

    editor.DefaultBox()->setCurrentIndex(2);
    emit editor.DefaultBox()->activated(2);
    editor.EnabledBox()->setChecked(true);
    expected.defaultProfile = 2;
    expected.enabled = true;
    EXPECT_EQ(Saved(), expected);
    EXPECT_EQ(following_.Rules(), expected);
}

TEST_F(RulesEditorTest, KeyboardRemovesAndMovesRulesAndEveryControlIsNamed) {
    ApplicationRules rules;
    rules.rules = {{"A", 1}, {"B", 2}, {"C", 3}};
    ASSERT_TRUE(following_.ChangeRules(rules));
    RulesEditor editor(following_, {});
    editor.show();
    editor.RuleList()->setFocus();
    editor.RuleList()->setCurrentRow(0);
    QTest::keyClick(editor.RuleList(), Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(editor.RuleList(), Qt::Key_Delete);  // A, moved to the second row
    ApplicationRules expected;
    expected.rules = {{"B", 2}, {"C", 3}};
    EXPECT_EQ(Saved(), expected);
    // Selecting a rule shows it in the adding row, where its profile can be changed.
    editor.RuleList()->setCurrentRow(1);
    EXPECT_EQ(editor.ApplicationBox()->currentText(), QStringLiteral("C"));
    EXPECT_EQ(editor.ProfileBox()->currentIndex(), 2);

    for (QWidget* child : editor.findChildren<QWidget*>()) {
        if (child->focusPolicy() == Qt::NoFocus || !child->isVisible() ||
            child->focusProxy() != nullptr || child->parentWidget() != &editor) {
            continue;
        }
        EXPECT_FALSE(child->accessibleName().isEmpty() &&
                     child->property("text").toString().isEmpty())
            << child->metaObject()->className();
    }
}

// The file read again (when the editor opens, after vantorctl changed it) applies only what
// changed: the same rules leave a profile the user chose by hand alone.
TEST_F(RulesEditorTest, ReadingTheSameRulesAgainChangesNothing) {
    ApplicationRules rules;
    rules.enabled = true;
    rules.rules = {{"Game", 2}};
    ASSERT_TRUE(SaveApplicationRules(data_.path(), rules));
    EXPECT_EQ(following_.Load(), "");
    following_.Follower().OnActiveApplication({"", "Game", "", 1});
    EXPECT_EQ(following_.Load(), "");
    EXPECT_EQ(switches_, std::vector<int>{2});
    rules.rules = {{"Game", 3}};
    ASSERT_TRUE(SaveApplicationRules(data_.path(), rules));
    EXPECT_EQ(following_.Load(), "");
    EXPECT_EQ(switches_, (std::vector<int>{2, 3}));
}

TEST_F(RulesEditorTest, SaysWhatWasRefusedAndThatTheDesktopCannotTell) {
    RulesEditor editor(following_, "app_rules.txt is damaged (line 2: a rule needs a profile 1-4)");
    const QString status = editor.StatusLabel()->text();
    // The offscreen platform tells no application in front.
    EXPECT_FALSE(following_.IsAvailable());
    EXPECT_TRUE(status.contains(QString::fromStdString(Text("tc_rules_na"))));
    EXPECT_TRUE(status.contains(QStringLiteral("line 2")));
}

TEST(KWinActiveWindowReceiverTest, ReportsWhatTheScriptSendsBoundsChecked) {
    std::vector<ActiveApplication> reports;
    KWinActiveWindowReceiver receiver(
        [&](const ActiveApplication& app) { reports.push_back(app); });
    receiver.ActiveWindowChanged(QStringLiteral("org.kde.dolphin"), QStringLiteral("dolphin"),
                                 QStringLiteral("dolphin"), 4711);
    receiver.ActiveWindowChanged(QString(300, QLatin1Char('x')), {}, {}, -5);
    receiver.ActiveWindowChanged({}, {}, {}, 1);  // nothing that names an application
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], (ActiveApplication{"org.kde.dolphin", "dolphin", "dolphin", 4711}));
    EXPECT_EQ(reports[1].desktopId.size(), kMaxApplicationNameBytes);
    EXPECT_EQ(reports[1].pid, 0);
    // The script reaches the method over D-Bus: it is exported as a scriptable slot.
    const QMetaObject* meta = receiver.metaObject();
    const int index = meta->indexOfMethod("ActiveWindowChanged(QString,QString,QString,qlonglong)");
    ASSERT_GE(index, 0);
    EXPECT_TRUE(meta->method(index).attributes() & QMetaMethod::Scriptable);
}

}  // namespace
}  // namespace vantor
