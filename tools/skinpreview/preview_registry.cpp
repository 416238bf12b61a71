#include "tools/skinpreview/preview_registry.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace vantor::preview {
namespace {

std::vector<PreviewEntry>& Storage() {
    static std::vector<PreviewEntry> entries;
    return entries;
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
