#include "ui/widgets/window_outline.h"

#include <QRect>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "ui/widgets/logic/outline_runs.h"

namespace vantor {
namespace {
constexpr std::size_t kRectsPerBatch = 100;
}  // namespace

QRegion OutlineRegion(const QImage& picture, std::uint32_t maskColorRef, int tolerance) {
    if (picture.isNull()) return {};
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    const int width = pixels.width();
    const int height = pixels.height();
    // Rows of a QImage may be padded, so copy them into one tight buffer.
    std::vector<std::uint32_t> buffer(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(pixels.constScanLine(y));
        std::copy(row, row + width, buffer.begin() + static_cast<std::ptrdiff_t>(y) * width);
    }
    const std::vector<OutlineRect> runs =
        OutlineRuns(buffer.data(), width, height, maskColorRef, tolerance);

    QRegion region;
    std::vector<QRect> batch;
    batch.reserve(kRectsPerBatch);
    auto flush = [&] {
        QRegion part;
        part.setRects(batch.data(), static_cast<int>(batch.size()));
        region += part;
        batch.clear();
    };
    for (const OutlineRect& run : runs) {
        batch.emplace_back(run.left, run.top, run.right - run.left, run.bottom - run.top);
        if (batch.size() == kRectsPerBatch) flush();
    }
    if (!batch.empty()) flush();
    return region;
}

QImage OpaqueWithinOutline(const QImage& picture) {
    QImage opaque = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < opaque.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(opaque.scanLine(y));
        for (int x = 0; x < opaque.width(); ++x) {
            row[x] = qAlpha(row[x]) >= kOutlineAlphaThreshold ? (row[x] | 0xFF000000u) : 0u;
        }
    }
    return opaque.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void ApplyWindowOutline(QWidget* window, const QImage& picture, std::uint32_t maskColorRef,
                        int tolerance) {
    if (window == nullptr) return;
    if (maskColorRef == 0 || picture.isNull()) {
        window->clearMask();
        return;
    }
    window->setMask(OutlineRegion(picture, maskColorRef, tolerance));
    window->update();
}

}  // namespace vantor
