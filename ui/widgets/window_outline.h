// Non-rectangular skinned windows: the window keeps only the pixels of its background
// picture that are not the mask colour (nor transparent).
#pragma once

#include <QImage>
#include <QRegion>
#include <cstdint>

class QWidget;

namespace vantor {

// Tolerance per channel of the main window's outline; pop-up windows use 0.
constexpr int kMainWindowOutlineTolerance = 10;

// The region of the picture's pixels that lie outside [mask, mask + tolerance] on some
// channel; transparent pixels are painted in the mask colour first. `maskColorRef` is a
// COLORREF. The runs are added to the region 100 rectangles at a time.
QRegion OutlineRegion(const QImage& picture, std::uint32_t maskColorRef, int tolerance);

// `picture` as a window cut by its outline shows it: pixels inside the outline fully
// opaque in their own colour, the others transparent. Painting the half transparent
// edge pixels as they are left them darkened on a screen without translucent windows.
QImage OpaqueWithinOutline(const QImage& picture);

// Gives `window` the outline of `picture`; a mask colour of 0 means no mask and leaves
// the window rectangular.
void ApplyWindowOutline(QWidget* window, const QImage& picture, std::uint32_t maskColorRef,
                        int tolerance);

}  // namespace vantor
