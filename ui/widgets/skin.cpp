#include "ui/widgets/skin.h"

#include <QFile>
#include <QImageReader>
#include <atomic>

#include "platform/paths.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin_preload.h"

namespace vantor {
namespace {
std::atomic<bool> g_4kLayout{false};
}  // namespace

QString SkinPath(const QString& file) {
    return QString::fromStdString(ProgramDir()) + QStringLiteral("skins/") + file;
}

QImage ReadPicture(const QString& path, const char* format) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&file, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QImage DecodeSkinPicture(const QString& path) {
    const QImage image = ReadPicture(path, "png");
    if (image.isNull() || image.width() == 0) return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage LoadSkinImage(const QString& file) {
    const QString path = SkinPath(file);
    if (std::optional<QImage> preloaded = TakePreloadedSkinPicture(path)) return *preloaded;
    return DecodeSkinPicture(path);
}

bool Is4KLayout() {
    return g_4kLayout.load();
}

void Set4KLayout(bool on) {
    g_4kLayout.store(on);
}

QRect LayoutRect(const QRect& rect) {
    return Is4KLayout() ? Doubled(rect) : rect;
}

}  // namespace vantor
