// Skin pictures and the shared layout switches of the skinned windows.
//
// Every picture lives in the "skins" folder of the program folder and is looked up by file
// name ("key_nr.png", "macro/open.png"). The 4K layout draws the whole user interface at
// twice its size; it is decided once by the main window.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

namespace vantor {

// "<program folder>skins/<file>".
QString SkinPath(const QString& file);

// The decoded picture, or a null image when the file is missing or not a picture.
QImage LoadSkinImage(const QString& file);

// The picture at `path` decoded the way LoadSkinImage does; safe on any thread.
QImage DecodeSkinPicture(const QString& path);

// Reads a picture in the named format ("png", "ico") only. A picture read without a
// format is probed by every picture plugin, which loads them all for the rest of the run.
QImage ReadPicture(const QString& path, const char* format);

bool Is4KLayout();
void Set4KLayout(bool on);

// Doubles a rectangle in the 4K layout, leaves it alone otherwise.
QRect LayoutRect(const QRect& rect);

}  // namespace vantor
