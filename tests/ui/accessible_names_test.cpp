// Every control of the main window that the keyboard reaches, on every page and in every
// language, tells assistive tools what it is (a role) and what it is for (a name).
#include <gtest/gtest.h>

#include <QAccessible>
#include <QStringList>
#include <QWidget>

#include "app/config/config.h"
#include "base/texts.h"
#include "platform/paths.h"
#include "tests/ui_support/sim_window.h"
#include "ui/shell/main_window.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

bool HasRole(QAccessible::Role role) {
    return role != QAccessible::NoRole && role != QAccessible::Client &&
           role != QAccessible::Pane && role != QAccessible::Grouping;
}

QString Describe(QAccessibleInterface* item) {
    const QObject* object = item->object();
    const auto* widget = qobject_cast<const QWidget*>(object);
    QString where = object != nullptr ? QString::fromLatin1(object->metaObject()->className())
                                      : QStringLiteral("?");
    if (widget != nullptr) {
        const QRect box(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
        where += QStringLiteral(" at %1,%2 %3x%4")
                     .arg(box.x())
                     .arg(box.y())
                     .arg(box.width())
                     .arg(box.height());
    }
    return where;
}

// The shown objects under `item` that take the focus but lack a role or a name.
void CollectNameless(QAccessibleInterface* item, QStringList& problems) {
    if (item == nullptr || item->state().invisible) return;
    if (item->state().focusable) {
        if (!HasRole(item->role())) problems << Describe(item) + QStringLiteral(": no role");
        if (item->text(QAccessible::Name).trimmed().isEmpty()) {
            problems << Describe(item) + QStringLiteral(": no name");
        }
    }
    for (int i = 0; i < item->childCount(); ++i) CollectNameless(item->child(i), problems);
}

TEST(AccessibleNamesTest, EveryFocusableControlHasARoleAndANameOnEveryPageInEveryLanguage) {
    test::SimMouseFolder mouse;
    ASSERT_TRUE(mouse.ConfigLoaded());
    MainWindow window(mouse.WindowSetup());
    ASSERT_TRUE(window.Init());
    ASSERT_TRUE(test::WaitUntil([&] { return test::MouseRead(window); }));
    ASSERT_GT(window.Languages().LanguageCount(), 1);
    for (int language = 0; language < window.Languages().LanguageCount(); ++language) {
        ASSERT_TRUE(language == 0 || window.ChangeLanguage(language));
        // The page buttons are named in the language shown.
        EXPECT_EQ(QAccessible::queryAccessibleInterface(window.NaviButton(0))
                      ->text(QAccessible::Name)
                      .toStdString(),
                  Text("tc_page1"));
        for (int page = 1; page <= kPageCount; ++page) {
            window.SwitchPage(static_cast<PageId>(page));
            QStringList problems;
            CollectNameless(QAccessible::queryAccessibleInterface(&window), problems);
            EXPECT_TRUE(problems.isEmpty()) << "language " << language << ", page " << page << ":\n"
                                            << problems.join('\n').toStdString();
        }
    }
    window.ChangeLanguage(0);
    LoadTexts(ProgramDir() + "text.xml");
}

}  // namespace
}  // namespace vantor
