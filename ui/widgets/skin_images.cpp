#include "ui/widgets/skin_images.h"

#include <QPainter>

namespace vantor {

QColor ColorFromColorRef(std::uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

QImage BackgroundCrop(const QImage& background, const QRect& rect) {
    if (background.isNull() || rect.isEmpty()) return {};
    QImage crop(rect.size(), QImage::Format_ARGB32_Premultiplied);
    crop.fill(Qt::transparent);
    QPainter painter(&crop);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), background, rect);
    return crop;
}

QImage BackgroundView(const QImage& background, const QRect& rect) {
    if (rect.isEmpty() || !background.rect().contains(rect) ||
        background.format() != QImage::Format_ARGB32_Premultiplied) {
        return BackgroundCrop(background, rect);
    }
    const uchar* first =
        background.constScanLine(rect.top()) + rect.left() * static_cast<int>(sizeof(QRgb));
    return QImage(first, rect.width(), rect.height(), background.bytesPerLine(),
                  background.format());
}

QImage ScaledCopy(const QImage& picture, int factor) {
    if (picture.isNull() || factor < 1) return {};
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage scaled(source.width() * factor, source.height() * factor,
                  QImage::Format_ARGB32_Premultiplied);
    // Sampling the centre of each target pixel, (x + 0.5) / factor, always lands inside
    // the source for an integer factor, so no edge pixel needs mirroring.
    for (int y = 0; y < scaled.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y / factor));
        auto* to = reinterpret_cast<QRgb*>(scaled.scanLine(y));
        for (int x = 0; x < scaled.width(); ++x) to[x] = from[x / factor];
    }
    return scaled;
}

}  // namespace vantor
