#include "tools/skinpreview/preview_registry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace vantor::preview {
namespace {

std::vector<PreviewEntry>& Storage() {
    static std::vector<PreviewEntry> entries;
    return entries;
}

// The widget's window as the screen shows it.
QImage GrabFromScreen(QWidget* widget) {
    QWidget* window = widget->window();
    window->show();
    window->raise();
    // Long enough for the window to be mapped and painted.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 400) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QScreen* screen = window->screen();
    const QRect area(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    const QImage picture =
        screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    window->hide();
    return picture;
}

}  // namespace

bool Register(const std::string& name, RenderFunction render) {
    Storage().push_back({name, std::move(render)});
    return true;
}

const std::vector<PreviewEntry>& Entries() {
    return Storage();
}

QImage Grab(QWidget* widget) {
    if (widget == nullptr) return {};
    widget->ensurePolished();
    if (!qgetenv("VANTOR_PREVIEW_SCREEN").isEmpty()) return GrabFromScreen(widget);
    // A control shown on its own has no parent to show through its transparent corners.
    if (widget->isWindow()) widget->setAttribute(Qt::WA_TranslucentBackground);
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    widget->show();
    return widget->grab().toImage();
}

QImage Row(const std::vector<QImage>& pictures, int gap) {
    int width = gap;
    int height = 0;
    for (const QImage& picture : pictures) {
        width += picture.width() + gap;
        height = std::max(height, picture.height());
    }
    QImage row(width, height + 2 * gap, QImage::Format_ARGB32_Premultiplied);
    row.fill(QColor(0x17, 0x18, 0x1C));
    QPainter painter(&row);
    int x = gap;
    for (const QImage& picture : pictures) {
        painter.drawImage(x, gap, picture);
        x += picture.width() + gap;
    }
    return row;
}

}  // namespace vantor::preview
