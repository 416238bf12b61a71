#include "tools/vantor/message_box_sink.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

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
    if (qApp == nullptr) return;
    if (QThread::currentThread() == qApp->thread()) {
        ShowBox(t, c);
    } else {
        QMetaObject::invokeMethod(
            qApp, [t, c] { ShowBox(t, c); }, Qt::QueuedConnection);
    }
}

}  // namespace vantor
