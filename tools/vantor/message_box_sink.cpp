#include "tools/vantor/message_box_sink.h"

#include <QApplication>
#include <QMessageBox>

namespace vantor {
namespace {

void ShowBox(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok);
    box.exec();
}

}  // namespace

void MessageBoxSink::ShowMessage(std::string_view text, std::string_view caption) {
    const QString t = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QString c = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    ShowBox(t, c);
}

}  // namespace vantor
