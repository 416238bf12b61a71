#include "ui/shell/rules_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/store/profile_store.h"
#include "base/texts.h"
#include "ui/popups/message_window.h"
#include "ui/shell/application_following.h"

namespace vantor {
namespace {

QString Tr(const char* key) {
    return QString::fromStdString(Text(key));
}

QString ProfileLabel(int profile) {
    return QString::fromStdString(DefaultProfileName(profile));
}

template <typename T>
T* Named(T* widget, const QString& name) {
    widget->setAccessibleName(name);
    return widget;
}

QString RuleText(const ApplicationRule& rule) {
    return QString::fromStdString(rule.application) + QStringLiteral("  \u2192  ") +
           ProfileLabel(rule.profile);
}

}  // namespace

RulesEditor::RulesEditor(ApplicationFollowing& following, const std::string& problem,
                         QWidget* parent)
    : QDialog(parent), following_(following) {
    setWindowTitle(Tr("tc_rules"));
    Build(problem);
    FillRunningApplications();
    ShowRules(following_.Rules().rules.empty() ? -1 : 0);
}

void RulesEditor::Build(const std::string& problem) {
    auto* layout = new QVBoxLayout(this);
    enabled_ = Named(new QCheckBox(Tr("tc_rules_on"), this), Tr("tc_rules_on"));
    enabled_->setChecked(following_.Rules().enabled);
    layout->addWidget(enabled_);

    QString status;
    if (!following_.IsAvailable()) status = Tr("tc_rules_na");
    if (!problem.empty()) {
        if (!status.isEmpty()) status += QLatin1Char('\n');
        status += Tr("tc_rules_damaged") + QLatin1Char('\n') + QString::fromStdString(problem);
    }
    status_ = new QLabel(status, this);
    status_->setWordWrap(true);
    status_->setVisible(!status.isEmpty());
    layout->addWidget(status_);

    auto* listLabel = new QLabel(Tr("tc_rules_list"), this);
    list_ = Named(new QListWidget(this), Tr("tc_rules_list"));
    listLabel->setBuddy(list_);
    list_->installEventFilter(this);
    layout->addWidget(listLabel);
    layout->addWidget(list_);

    auto* order = new QHBoxLayout;
    up_ = Named(new QPushButton(Tr("tc_rules_up"), this), Tr("tc_rules_up"));
    down_ = Named(new QPushButton(Tr("tc_rules_down"), this), Tr("tc_rules_down"));
    remove_ = Named(new QPushButton(Tr("tc_rules_remove"), this), Tr("tc_rules_remove"));
    for (QPushButton* b : {up_, down_, remove_}) {
        b->setAutoDefault(false);
        order->addWidget(b);
    }
    order->addStretch();
    layout->addLayout(order);

    auto* adding = new QHBoxLayout;
    auto* appLabel = new QLabel(Tr("tc_rules_app"), this);
    application_ = Named(new QComboBox(this), Tr("tc_rules_app"));
    application_->setEditable(true);
    application_->setInsertPolicy(QComboBox::NoInsert);
    application_->setMinimumContentsLength(24);
    application_->lineEdit()->setMaxLength(static_cast<int>(kMaxApplicationNameBytes));
    appLabel->setBuddy(application_);
    profile_ = Named(new QComboBox(this), Tr("tc_profile"));
    for (int p = 1; p <= kRuleProfileCount; ++p) profile_->addItem(ProfileLabel(p), p);
    add_ = Named(new QPushButton(Tr("tc_rules_add"), this), Tr("tc_rules_add"));
    add_->setAutoDefault(false);
    adding->addWidget(appLabel);
    adding->addWidget(application_, 1);
    adding->addWidget(profile_);
    adding->addWidget(add_);
    layout->addLayout(adding);

    auto* others = new QHBoxLayout;
    auto* defaultLabel = new QLabel(Tr("tc_rules_default"), this);
    default_ = Named(new QComboBox(this), Tr("tc_rules_default"));
    default_->addItem(Tr("tc_rules_keep"), 0);
    for (int p = 1; p <= kRuleProfileCount; ++p) default_->addItem(ProfileLabel(p), p);
    default_->setCurrentIndex(following_.Rules().defaultProfile);
    defaultLabel->setBuddy(default_);
    others->addWidget(defaultLabel);
    others->addWidget(default_, 1);
    layout->addLayout(others);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(Tr("tc_ok"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);

    connect(enabled_, &QCheckBox::toggled, this, [this](bool on) {
        ApplicationRules rules = following_.Rules();
        rules.enabled = on;
        if (!Change(rules)) enabled_->setChecked(!on);
    });
    connect(default_, &QComboBox::activated, this, [this] {
        ApplicationRules rules = following_.Rules();
        rules.defaultProfile = default_->currentData().toInt();
        if (!Change(rules)) default_->setCurrentIndex(following_.Rules().defaultProfile);
    });
    connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowSelectedRule(); });
    connect(add_, &QPushButton::clicked, this, &RulesEditor::AddRule);
    connect(remove_, &QPushButton::clicked, this, &RulesEditor::RemoveRule);
    connect(up_, &QPushButton::clicked, this, [this] { MoveRule(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { MoveRule(1); });
    connect(application_, &QComboBox::editTextChanged, this, [this] { RefreshButtons(); });
}

void RulesEditor::FillRunningApplications() {
    for (const ActiveApplication& app : following_.RunningApplications()) {
        const QString name = QString::fromStdString(DisplayName(app));
        if (!name.isEmpty() && application_->findText(name) < 0) application_->addItem(name);
    }
    application_->setCurrentIndex(-1);
    application_->setEditText({});
}

void RulesEditor::ShowRules(int selectRow) {
    list_->clear();
    for (const ApplicationRule& rule : following_.Rules().rules) list_->addItem(RuleText(rule));
    if (selectRow >= 0 && selectRow < list_->count()) list_->setCurrentRow(selectRow);
    RefreshButtons();
}

void RulesEditor::ShowSelectedRule() {
    const int row = list_->currentRow();
    const std::vector<ApplicationRule>& rules = following_.Rules().rules;
    if (row >= 0 && row < static_cast<int>(rules.size())) {
        const ApplicationRule& rule = rules[static_cast<std::size_t>(row)];
        application_->setEditText(QString::fromStdString(rule.application));
        profile_->setCurrentIndex(rule.profile - 1);
    }
    RefreshButtons();
}

void RulesEditor::RefreshButtons() {
    const int row = list_->currentRow();
    const int count = list_->count();
    remove_->setEnabled(row >= 0);
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row + 1 < count);
    add_->setEnabled(IsValidApplicationName(application_->currentText().trimmed().toStdString()));
}

void RulesEditor::AddRule() {
    const std::string name = application_->currentText().trimmed().toStdString();
    ApplicationRules rules = following_.Rules();
    if (!SetApplicationRule(rules, name, profile_->currentData().toInt())) return;
    if (!Change(rules)) return;
    int row = 0;
    for (const ApplicationRule& rule : rules.rules) {
        if (NamesApplication(rule.application, {{}, name, {}, 0})) break;
        ++row;
    }
    ShowRules(row);
}

void RulesEditor::RemoveRule() {
    const int row = list_->currentRow();
    ApplicationRules rules = following_.Rules();
    if (row < 0 || row >= static_cast<int>(rules.rules.size())) return;
    rules.rules.erase(rules.rules.begin() + row);
    if (Change(rules)) ShowRules(std::min(row, static_cast<int>(rules.rules.size()) - 1));
}

void RulesEditor::MoveRule(int step) {
    const int row = list_->currentRow();
    const int target = row + step;
    ApplicationRules rules = following_.Rules();
    const int count = static_cast<int>(rules.rules.size());
    if (row < 0 || row >= count || target < 0 || target >= count) return;
    std::swap(rules.rules[static_cast<std::size_t>(row)],
              rules.rules[static_cast<std::size_t>(target)]);
    if (Change(rules)) ShowRules(target);
}

bool RulesEditor::Change(const ApplicationRules& rules) {
    int error = 0;
    if (following_.ChangeRules(rules, &error)) return true;
    ShowMessage(Text("tc_rules_save"), this);
    return false;
}

// Delete removes the selected rule; Alt+Up and Alt+Down move it.
bool RulesEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            RemoveRule();
            return true;
        }
        if ((key->modifiers() & Qt::AltModifier) != 0 &&
            (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            MoveRule(key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vantor
