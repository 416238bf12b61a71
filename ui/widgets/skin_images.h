// Picture helpers shared by the skinned windows: colours from the configuration, the crop
// of a window background that backs a child control, and the doubled copy of the 4K layout.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdint>

namespace vantor {

// A COLORREF from cfg.ini (red in bits 0-7, green in 8-15, blue in 16-23) as an opaque colour.
QColor ColorFromColorRef(std::uint32_t colorRef);

// A picture of `rect`'s size holding that part of `background`; parts of the rectangle
// outside the background stay transparent. A null background or an empty rectangle gives
// a null image.
QImage BackgroundCrop(const QImage& background, const QRect& rect);

// The same part of `background` without a copy of its pixels: an image that reads them in
// place, for large parts such as the page area. `background` must stay unchanged and alive
// as long as the result; when the rectangle is not inside it, or its pixels are not
// premultiplied ARGB32, this is BackgroundCrop.
QImage BackgroundView(const QImage& background, const QRect& rect);

// `picture` scaled by `factor` with nearest-neighbour sampling at pixel centres, so every
// source pixel becomes a sharp factor x factor block and the edges are not blurred.
// A factor below 1 or a null picture gives a null image.
QImage ScaledCopy(const QImage& picture, int factor);

}  // namespace vantor
