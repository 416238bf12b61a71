// Every picture of the default skin, drawn with QPainter, and writing them into a folder.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace vantor {
struct DeviceSection;
}

namespace vantor::skingen {

struct SkinPicture {
    QString name;  // path under the skins folder, e.g. "number/number1.png"
    QImage image;
};

// Window backgrounds, window and navigation buttons, controls, icons and digits.
std::vector<SkinPicture> DrawDefaultSkin();

// "<cid><mid>/mouse_nr.png", "mouse_dn.png" (buttons highlighted) and "mouse_led.png"
// (lighting areas) of one device section; its Mark rectangles are the buttons.
std::vector<SkinPicture> DrawMousePictures(const DeviceSection& section);

// The application icon, `size` pixels square.
QImage DrawAppIcon(int size);

// The application icon as appico.ico (16 to 256 pixels in one file) and appico.png (256
// pixels) in `programDir`, and as <size>x<size>/apps/<name>.png for the hicolor icon theme
// under `themeDir`. False with a reason in `error` on the first failure.
bool WriteAppIcons(const QString& programDir, const QString& themeDir, const QString& name,
                   QString* error);

// Writes every picture as PNG under `folder`, creating sub-folders. False with a reason
// in `error` on the first failure.
bool WriteSkin(const QString& folder, const std::vector<SkinPicture>& pictures, QString* error);

}  // namespace vantor::skingen
