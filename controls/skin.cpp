#include "controls/skin.h"

#include <atomic>

#include "platform/paths.h"

namespace vantor {
namespace {
std::atomic<bool> g_4kLayout{false};
}  // namespace

QString SkinPath(const QString& file) {
    return QString::fromStdString(ProgramDir()) + QStringLiteral("skins/") + file;
}

QImage LoadSkinImage(const QString& file) {
    QImage image(SkinPath(file));
    if (image.isNull() || image.width() == 0) return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool Is4KLayout() {
    return g_4kLayout.load();
}

void Set4KLayout(bool on) {
    g_4kLayout.store(on);
}

QRect LayoutRect(const QRect& rect) {
    if (!Is4KLayout()) return rect;
    return {rect.x() * 2, rect.y() * 2, rect.width() * 2, rect.height() * 2};
}

}  // namespace vantor
