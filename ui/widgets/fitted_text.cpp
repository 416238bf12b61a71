#include "ui/widgets/fitted_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>
#include <climits>

#include "ui/widgets/logic/text_fit.h"

namespace vantor {
namespace {

std::function<void(const TextFitReport&)>& Observer() {
    static std::function<void(const TextFitReport&)> observer;
    return observer;
}

QFont Sized(QFont font, int pixelSize) {
    font.setPixelSize(pixelSize);
    return font;
}

// A font given in points is measured in pixels, so that the sizes can step down.
int PixelSizeOf(const QFont& font) {
    if (font.pixelSize() > 0) return font.pixelSize();
    return QFontMetrics(font).height();
}

}  // namespace

FittedText FitTextToRect(const QFont& font, const QRect& rect, const QString& text, int flags) {
    const bool wrap = (flags & Qt::TextWordWrap) != 0;
    const MeasureText measure = [&](std::string_view utf8, int pixelSize) {
        const QFontMetrics metrics(Sized(font, pixelSize));
        const QString piece = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        if (!wrap) return TextExtent{metrics.horizontalAdvance(piece), metrics.height()};
        const QRect block =
            metrics.boundingRect(QRect(0, 0, rect.width(), INT_MAX / 2), flags, piece);
        return TextExtent{block.width(), block.height()};
    };
    const QByteArray utf8 = text.toUtf8();
    const TextFit fit = FitText(std::string_view(utf8.constData(), utf8.size()), rect.width(),
                                rect.height(), PixelSizeOf(font), measure);
    return {Sized(font, fit.pixelSize), QString::fromStdString(fit.text), fit.fits};
}

void DrawFittedText(QPainter& painter, const QRect& rect, int flags, const QString& text) {
    if (text.isEmpty()) return;
    const FittedText fitted = FitTextToRect(painter.font(), rect, text, flags);
    if (Observer()) {
        QRect where = rect;
        if (const auto* widget = dynamic_cast<const QWidget*>(painter.device())) {
            where.translate(widget->mapTo(widget->window(), QPoint(0, 0)));
        }
        Observer()({text, where, fitted.fits});
    }
    painter.save();
    painter.setFont(fitted.font);
    painter.drawText(rect, flags | Qt::TextDontClip, fitted.text);
    painter.restore();
}

void SetTextFitObserver(std::function<void(const TextFitReport&)> observer) {
    Observer() = std::move(observer);
}

}  // namespace vantor
