// The mouse pictures of a device section: a top view of the mouse on which every button
// sits exactly in its Mark rectangle, so the button page's marks fall on the buttons.
#include <QBuffer>
#include <QConicalGradient>
#include <QDir>
#include <QLinearGradient>
#include <QRadialGradient>

#include "app/config/config.h"
#include "base/file_io.h"
#include "tools/skingen/skin_pictures.h"
#include "tools/skingen/skin_style.h"
#include "tools/skingen/window_pictures.h"

namespace vantor::skingen {
namespace {

using namespace colours;

constexpr int kMouseWidth = 360;
constexpr int kMouseHeight = 420;

enum class MouseLook { Normal, Pressed, Lighting };

QImage Mouse(const DeviceSection& section, MouseLook look) {
    QImage image = NewPicture(kMouseWidth, kMouseHeight);
    QPainter p(&image);
    Prepare(p);
    const QPainterPath body = MouseBody();
    if (look == MouseLook::Lighting) Glow(p, body, kAccent, 8);
    QLinearGradient shell(60, 0, 300, 0);
    shell.setColorAt(0, QColor(0x24, 0x26, 0x2E));
    shell.setColorAt(0.5, QColor(0x34, 0x37, 0x42));
    shell.setColorAt(1, QColor(0x22, 0x24, 0x2C));
    p.setPen(QPen(kBorderLight, 1.5));
    p.setBrush(shell);
    p.drawPath(body);
    // Seam between the two main buttons and the palm rest.
    QPainterPath seam;
    seam.moveTo(180, 22);
    seam.lineTo(180, 185);
    seam.moveTo(72, 185);
    seam.cubicTo(120, 200, 240, 200, 288, 185);
    Stroke(p, seam, QColor(0x14, 0x15, 0x19), 2);

    if (look == MouseLook::Lighting) {
        // Lighting areas: the logo on the palm rest and the strip along the sides.
        // The logo sits between the palm-rest buttons, clear of the marks.
        QRadialGradient logo(QPointF(180, 250), 30);
        logo.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
        logo.setColorAt(0.35, kAccent);
        logo.setColorAt(1, QColor(0, 170, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(logo);
        p.drawEllipse(QPointF(180, 250), 30, 30);
        QPainterPath strip;
        strip.moveTo(100, 384);
        strip.cubicTo(130, 400, 230, 400, 260, 384);
        Stroke(p, strip, kAccent, 4);
    }

    const int count = std::clamp(section.keyCount, 0, static_cast<int>(section.marks.size()));
    for (int i = 0; i < count; ++i) {
        const Rect& mark = section.marks[i];
        const QRectF rect(mark.left, mark.top, mark.right - mark.left, mark.bottom - mark.top);
        if (rect.width() <= 0 || rect.height() <= 0) continue;
        const qreal radius = std::min(rect.width(), rect.height()) / 2.5;
        if (look == MouseLook::Pressed) {
            Glow(p, Rounded(rect, radius), kAccent, 4);
            Panel(p, rect, radius, QColor(0x0D, 0x4A, 0x6E), QColor(0x08, 0x32, 0x4C), kAccent);
        } else {
            Panel(p, rect, radius, QColor(0x3A, 0x3D, 0x49), QColor(0x2C, 0x2F, 0x39),
                  QColor(0x50, 0x54, 0x62));
        }
        if (rect.height() > rect.width() * 1.6 && rect.width() < 40) {
            // A narrow tall button is the wheel: draw its ridges.
            p.setPen(QPen(look == MouseLook::Pressed ? kAccent : kGroove, 1.5));
            for (qreal y = rect.top() + 8; y < rect.bottom() - 6; y += 7) {
                p.drawLine(QPointF(rect.left() + 7, y), QPointF(rect.right() - 7, y));
            }
        }
    }
    return image;
}

// Where the logo light lies on the lit picture (opaque) and where the main light does
// (transparent), so the lighting page can light the two parts with their own effects.
QImage LogoMask() {
    QImage image = NewPicture(kMouseWidth, kMouseHeight);
    QPainter p(&image);
    Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(180, 250), 34, 34);
    return image;
}

}  // namespace

std::vector<SkinPicture> DrawMousePictures(const DeviceSection& section) {
    const QString folder = QStringLiteral("%1%2/")
                               .arg(section.CID & 0xFF, 2, 16, QChar('0'))
                               .arg(section.MID & 0xFF, 2, 16, QChar('0'));
    return {
        {folder + "mouse_nr.png", Mouse(section, MouseLook::Normal)},
        {folder + "mouse_dn.png", Mouse(section, MouseLook::Pressed)},
        {folder + "mouse_led.png", Mouse(section, MouseLook::Lighting)},
        {folder + "mouse_logo.png", LogoMask()},
    };
}

std::vector<SkinPicture> DrawDefaultSkin() {
    std::vector<SkinPicture> pictures;
    AddWindowPictures(pictures);
    AddControlPictures(pictures);
    return pictures;
}

bool WriteSkin(const QString& folder, const std::vector<SkinPicture>& pictures, QString* error) {
    const QDir root(folder);
    for (const SkinPicture& picture : pictures) {
        const QString path = root.filePath(picture.name);
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
            *error = "cannot create the folder of " + path;
            return false;
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.image.save(&buffer, "PNG")) {
            *error = "cannot encode " + picture.name;
            return false;
        }
        int errorNumber = 0;
        if (!WriteFileAtomic(path.toStdString(), bytes.constData(),
                             static_cast<std::size_t>(bytes.size()), &errorNumber)) {
            *error = QStringLiteral("cannot write %1 (errno %2)").arg(path).arg(errorNumber);
            return false;
        }
    }
    return true;
}

}  // namespace vantor::skingen
