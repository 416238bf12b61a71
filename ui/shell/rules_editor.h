// RulesEditor: the small window where the user gives applications their on-board profile.
// An on/off switch, the ordered list of rules (move up, move down, remove), a row to add a
// rule (an application chosen from those running, or typed, and a profile) and the profile
// for every other application. Each change is saved at once. Every control is reached with
// Tab, carries an accessible name in the user's language, and the list takes Delete.
#pragma once

#include <QDialog>

#include "app/rules/application_rules.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace vantor {

class ApplicationFollowing;

class RulesEditor : public QDialog {
  public:
    // `problem` is shown above the list (a damaged rules file found at the start).
    RulesEditor(ApplicationFollowing& following, const std::string& problem,
                QWidget* parent = nullptr);

    QCheckBox* EnabledBox() const { return enabled_; }
    QListWidget* RuleList() const { return list_; }
    QComboBox* ApplicationBox() const { return application_; }
    QComboBox* ProfileBox() const { return profile_; }
    QComboBox* DefaultBox() const { return default_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* RemoveButton() const { return remove_; }
    QPushButton* UpButton() const { return up_; }
    QPushButton* DownButton() const { return down_; }
    QLabel* StatusLabel() const { return status_; }

    // The commands of the buttons.
    void AddRule();
    void RemoveRule();
    void MoveRule(int step);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Build(const std::string& problem);
    void FillRunningApplications();
    void ShowRules(int selectRow);
    void ShowSelectedRule();
    void RefreshButtons();
    // Saves and applies `rules`; tells the user when the file could not be written.
    bool Change(const ApplicationRules& rules);

    ApplicationFollowing& following_;
    QCheckBox* enabled_ = nullptr;
    QLabel* status_ = nullptr;
    QListWidget* list_ = nullptr;
    QComboBox* application_ = nullptr;
    QComboBox* profile_ = nullptr;
    QComboBox* default_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
};

}  // namespace vantor
