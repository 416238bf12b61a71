#include "ui/shell/documentation_link.h"

#include <QFileInfo>
#include <QString>

namespace vantor {

QUrl DocumentationUrl(const std::string& programDir, const std::string& target) {
    const QString text = QString::fromStdString(target).trimmed();
    if (text.isEmpty()) return {};
    if (text.contains(QStringLiteral("://"))) return QUrl(text);
    const QFileInfo file(QString::fromStdString(programDir) + text);
    if (!file.isFile()) return {};
    return QUrl::fromLocalFile(file.canonicalFilePath());
}

}  // namespace vantor
