// StoreDialogs: the file dialogs of the desktop and the skinned message, question and text
// windows, for the profile store and the macro library.
#pragma once

#include <QPointer>
#include <QWidget>

#include "base/store_ui.h"

namespace vantor {

class StoreDialogs : public StoreUi {
  public:
    explicit StoreDialogs(QWidget* parent) : parent_(parent) {}

    std::optional<std::string> AskSavePath(const FileDialogRequest& request) override;
    std::optional<std::string> AskOpenPath(const FileDialogRequest& request) override;
    void ShowMessage(const std::string& text) override;
    bool Ask(const std::string& question) override;
    std::optional<std::string> AskText(const std::string& prompt, int maxChars) override;

  private:
    QPointer<QWidget> parent_;
};

// "qxa(*.qxa)|*.qxa|" (pairs of name and pattern) as a Qt name filter "qxa (*.qxa)".
QString QtNameFilter(const std::string& filter);

}  // namespace vantor
