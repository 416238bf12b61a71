// The 4K layout decision, the 4K move of child windows and the shared fonts.
//
// On a usable screen of at least 3500 x 1451 pixels the whole interface is drawn at twice
// its size. The font heights below are cell heights; the sizes follow the 4K flag at the
// time they are asked for.
#pragma once

#include <QFont>
#include <QRect>
#include <string>

class QScreen;
class QWidget;

namespace vantor {

// True for a usable screen at least 3500 wide whose height minus 50 exceeds 1400. A wide
// screen that is too low logs "Screen size too small, not set 4K flag".
bool Wants4KLayout(int usableWidth, int usableHeight);

// Measures the usable area of `screen` (the primary screen when null), logs
// "xScreen=%d, yScreen=%d", decides and sets the 4K flag. Returns the flag.
bool Init4KLayout(const QScreen* screen = nullptr);

// `rect` with every coordinate doubled (left, top, right and bottom).
QRect Doubled(const QRect& rect);

// Replaces the child's rectangle in its parent's coordinates by the doubled one.
void Move4K(QWidget* child);

// `font` at the largest pixel size whose character cell (ascent plus descent) is at most
// `cellHeight` pixels: the meaning of a window font height.
QFont FontForCellHeight(QFont font, int cellHeight);

// "MS Shell Dlg" with a cell 26 high, weight 500, in 4K, else 16 high, weight 400; Swiss
// family.
QFont FallbackFont();
// Main window title: "MS Shell Dlg", bold 700, a cell 34 high in 4K else 24.
QFont TitleFont();
// Main window language selector: "MS Shell Dlg", weight 400, a cell 24 high in 4K else 14.
QFont SelectorFont();

// Registers "<program folder>appfont.ttf" and keeps the font `fontName` of `pixelSize`
// (weight 90) as the shared application font. Does nothing and returns false when the name
// is empty, the file is missing or cannot be registered.
bool LoadApplicationFont(const std::string& fontName, int pixelSize);
// Unregisters the font file and forgets the shared application font.
void UnloadApplicationFont();
bool HasApplicationFont();
// The application font when there is one, else the fallback font.
QFont WindowFont();

}  // namespace vantor
