// Drawing texts with the shared fitting rule (ui/widgets/logic/text_fit.h): every caption,
// prompt, menu row and tree row goes through DrawFittedText, so a translation that is too
// long is drawn a step smaller and then cut with "…", never clipped mid-letter.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <functional>

class QPainter;

namespace vantor {

struct FittedText {
    QFont font;
    QString text;
    bool fits = true;  // false when the text had to be cut
};

// Fits `text` into `rect` with `font` and the Qt alignment `flags` (Qt::TextWordWrap
// wraps it into the rectangle's width).
FittedText FitTextToRect(const QFont& font, const QRect& rect, const QString& text, int flags);

// Draws `text` fitted into `rect` with the painter's font, pen and `flags`.
void DrawFittedText(QPainter& painter, const QRect& rect, int flags, const QString& text);

// What was drawn where: `rect` in the coordinates of the window painted on.
struct TextFitReport {
    QString text;
    QRect rect;
    bool fits = true;
};
// Called for every text DrawFittedText draws; for checks of the translations. An empty
// function switches it off.
void SetTextFitObserver(std::function<void(const TextFitReport&)> observer);

}  // namespace vantor
