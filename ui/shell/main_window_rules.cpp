// The main window's part of the on-board profile following the application in front: the
// link beside the page buttons that opens the rules editor, and the start of following.
#include <QDesktopServices>

#include "app/config/config.h"
#include "base/log.h"
#include "base/texts.h"
#include "ui/pages/settings_page.h"
#include "ui/shell/application_following.h"
#include "ui/shell/main_window.h"
#include "ui/shell/rules_editor.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

// Right of the page buttons, on the title area's background.
constexpr QRect kRulesLink{QPoint(300, 134), QPoint(560, 153)};

}  // namespace

void MainWindow::CreateRulesButton() {
    rulesButton_ = new SkinnedButton(this);
    rulesButton_->setCursor(Qt::PointingHandCursor);
    rulesButton_->setGeometry(kRulesLink);
    rulesButton_->SetBackgroundImage(BackgroundCrop(background_, kRulesLink));
    rulesButton_->SetTextColors(ColorFromColorRef(Options().Btn_txt_clr_ov),
                                ColorFromColorRef(Options().Btn_txt_clr_nr),
                                ColorFromColorRef(Options().Btn_txt_clr_dn));
    QFont font = rulesButton_->font();
    font.setUnderline(true);
    rulesButton_->setFont(font);
    if (Is4KLayout()) Move4K(rulesButton_);
    connect(rulesButton_, &SkinnedButton::clicked, this, &MainWindow::OpenRulesEditor);
    RefreshRulesButton();
}

void MainWindow::RefreshRulesButton() {
    if (rulesButton_ == nullptr) return;
    const QString text = QString::fromStdString(Text("tc_rules"));
    rulesButton_->SetText(text, 0, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine);
    rulesButton_->setAccessibleName(text);
    rulesButton_->setToolTip(text);
}

void MainWindow::StartFollowing() {
    ApplicationFollowingSetup setup;
    setup.dataDir = setup_.startup.dataDir;
    setup.programDir = setup_.startup.programDir;
    // The profile the last read found active; unknown until a read has landed.
    setup.activeProfile = [this] {
        return session_->FirstReadDone() && store_.Current() != nullptr ? store_.CurrentIndex() + 1
                                                                        : 0;
    };
    setup.isRecording = [this] {
        const SettingsPage* macro = BuiltPage(PageId::kMacro);
        return macro != nullptr && macro->IsRecording();
    };
    // The same path as the button page's profile selector.
    setup.switchTo = [this](int profile) { session_->SwitchOnBoardProfile(profile - 1); };
    following_ = std::make_unique<ApplicationFollowing>(std::move(setup));
    rulesProblem_ = following_->Load();
    if (!rulesProblem_.empty()) DbgLog("Rules: %s", rulesProblem_.c_str());
}

void MainWindow::OpenRulesEditor() {
    if (following_ == nullptr) return;  // the start has not gone on yet
    // The file may have been changed meanwhile (vantorctl rules): the editor starts from it,
    // so that its saves keep those changes.
    if (std::string problem = following_->Load(); !problem.empty()) {
        DbgLog("Rules: %s", problem.c_str());
        rulesProblem_ = std::move(problem);
    }
    RulesEditor editor(*following_, rulesProblem_, this);
    editor.exec();
}

}  // namespace vantor
