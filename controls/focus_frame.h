// The frame a skinned control draws around itself while it has the keyboard focus, so that
// Tab shows where the focus is on the self-painted faces.
#pragma once

#include <QRect>

class QPainter;

namespace vantor {

// Draws the focus frame just inside `rect`, whatever clipping the painter has.
void DrawFocusFrame(QPainter& painter, const QRect& rect);

}  // namespace vantor
