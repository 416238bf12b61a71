#include "ui/popups/store_dialogs.h"

#include <QFileDialog>
#include <QStringList>

#include "ui/popups/message_window.h"

namespace vantor {

QString QtNameFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i + 1].isEmpty()) continue;
        QString name = parts[i];
        const qsizetype paren = name.indexOf('(');
        if (paren > 0) name = name.left(paren).trimmed();
        filters << name + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    }
    return filters.join(";;");
}

std::optional<std::string> StoreDialogs::AskSavePath(const FileDialogRequest& request) {
    QFileDialog::Options options;
    if (!request.confirmOverwrite) options |= QFileDialog::DontConfirmOverwrite;
    const QString suggested = request.fileName.find('*') == std::string::npos
                                  ? QString::fromStdString(request.fileName)
                                  : QString();
    QString path = QFileDialog::getSaveFileName(parent_, QString(), suggested,
                                                QtNameFilter(request.filter), nullptr, options);
    if (path.isEmpty()) return std::nullopt;
    const QString extension = QString::fromStdString(request.defaultExtension);
    if (!extension.isEmpty() && !path.endsWith(extension, Qt::CaseInsensitive)) path += extension;
    return path.toStdString();
}

std::optional<std::string> StoreDialogs::AskOpenPath(const FileDialogRequest& request) {
    const QString path =
        QFileDialog::getOpenFileName(parent_, QString(), QString(), QtNameFilter(request.filter));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

void StoreDialogs::ShowMessage(const std::string& text) {
    vantor::ShowMessage(text, parent_);
}

bool StoreDialogs::Ask(const std::string& question) {
    return AskQuestion(question, parent_);
}

std::optional<std::string> StoreDialogs::AskText(const std::string& prompt, int maxChars) {
    return InputText(prompt, maxChars, parent_);
}

}  // namespace vantor
