// The application icon: the mouse of the skin on a dark tile, in every size the desktop
// asks for, as the window's appico.ico / appico.png and as hicolor theme icons.
#include <QBuffer>
#include <QDir>
#include <QLinearGradient>
#include <QList>
#include <QRadialGradient>
#include <algorithm>

#include "base/file_io.h"
#include "tools/skingen/skin_pictures.h"
#include "tools/skingen/skin_style.h"

namespace vantor::skingen {
namespace {

using namespace colours;

constexpr int kDesignSize = 256;  // the drawing below is made in this square
constexpr int kIcoSizes[] = {16, 24, 32, 48, 64, 128, 256};
constexpr int kThemeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

void PutLe16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

void PutLe32(QByteArray& out, qint64 value) {
    PutLe16(out, static_cast<int>(value & 0xFFFF));
    PutLe16(out, static_cast<int>((value >> 16) & 0xFFFF));
}

bool EncodePng(const QImage& image, QByteArray* bytes) {
    QBuffer buffer(bytes);
    return buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG");
}

// An ICO file whose entries are PNG images (icon directory, one 16-byte entry per image,
// then the images), the form every current reader takes for sizes up to 256.
bool EncodeIco(const std::vector<QImage>& images, QByteArray* ico) {
    QList<QByteArray> pngs;
    for (const QImage& image : images) {
        QByteArray png;
        if (!EncodePng(image, &png)) return false;
        pngs.append(png);
    }
    PutLe16(*ico, 0);  // reserved
    PutLe16(*ico, 1);  // type: icon
    PutLe16(*ico, static_cast<int>(images.size()));
    qint64 offset = 6 + 16 * static_cast<qint64>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int size = images[i].width();
        ico->append(static_cast<char>(size >= 256 ? 0 : size));  // 0 stands for 256
        ico->append(static_cast<char>(size >= 256 ? 0 : size));
        ico->append('\0');  // no palette
        ico->append('\0');  // reserved
        PutLe16(*ico, 1);   // colour planes
        PutLe16(*ico, 32);  // bits per pixel
        const qint64 bytes = pngs[static_cast<qsizetype>(i)].size();
        PutLe32(*ico, bytes);
        PutLe32(*ico, offset);
        offset += bytes;
    }
    for (const QByteArray& png : pngs) ico->append(png);
    return true;
}

}  // namespace

QImage DrawAppIcon(int size) {
    QImage image = NewPicture(size, size);
    QPainter p(&image);
    Prepare(p);
    p.scale(static_cast<qreal>(size) / kDesignSize, static_cast<qreal>(size) / kDesignSize);
    // Lines never get thinner than about one and a half pixels of the finished icon.
    const qreal pixel = static_cast<qreal>(kDesignSize) / size;
    auto line = [pixel](qreal width) { return std::max(width, 1.5 * pixel); };

    const QRectF tile(8, 8, 240, 240);
    QLinearGradient tileShade(tile.topLeft(), tile.bottomLeft());
    tileShade.setColorAt(0, kPanelTop);
    tileShade.setColorAt(1, kWindowBottom);
    p.setPen(QPen(kBorderLight, line(3)));
    p.setBrush(tileShade);
    p.drawPath(Rounded(tile, 52));
    QRadialGradient halo(QPointF(128, 120), 120);
    halo.setColorAt(0, QColor(0, 170, 255, 60));
    halo.setColorAt(1, QColor(0, 170, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawPath(Rounded(tile.adjusted(2, 2, -2, -2), 50));

    // The skin's mouse shell, scaled to stand 190 high in the middle of the tile.
    p.save();
    p.translate(128, 128);
    p.scale(0.5, 0.5);
    p.translate(-180, -212);
    const QPainterPath body = MouseBody();
    if (size >= 48) Glow(p, body, kAccent, 6);
    QLinearGradient shell(64, 0, 296, 0);
    shell.setColorAt(0, QColor(0x24, 0x26, 0x2E));
    shell.setColorAt(0.5, QColor(0x38, 0x3B, 0x47));
    shell.setColorAt(1, QColor(0x22, 0x24, 0x2C));
    p.setPen(QPen(kAccent, 2 * line(6)));
    p.setBrush(shell);
    p.drawPath(body);
    QPainterPath seam;
    seam.moveTo(180, 30);
    seam.lineTo(180, 185);
    seam.moveTo(70, 185);
    seam.cubicTo(120, 202, 240, 202, 290, 185);
    Stroke(p, seam, kAccentDark, 2 * line(5));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPath(Rounded(QRectF(166, 70, 28, 70), 14));  // wheel
    if (size >= 32) {                                  // the brand chevron on the palm rest
        QPainterPath mark;
        mark.moveTo(150, 262);
        mark.lineTo(180, 318);
        mark.lineTo(210, 262);
        Stroke(p, mark, kAccent, 2 * line(8));
    }
    p.restore();
    return image;
}

bool WriteAppIcons(const QString& programDir, const QString& themeDir, const QString& name,
                   QString* error) {
    std::vector<QImage> icoImages;
    for (int size : kIcoSizes) icoImages.push_back(DrawAppIcon(size));
    QByteArray ico;
    if (!EncodeIco(icoImages, &ico)) {
        *error = "cannot encode appico.ico";
        return false;
    }
    const QString icoPath = QDir(programDir).filePath("appico.ico");
    int errorNumber = 0;
    if (!WriteFileAtomic(icoPath.toStdString(), ico.constData(),
                         static_cast<std::size_t>(ico.size()), &errorNumber)) {
        *error = QStringLiteral("cannot write %1 (errno %2)").arg(icoPath).arg(errorNumber);
        return false;
    }
    if (!WriteSkin(programDir, {{"appico.png", icoImages.back()}}, error)) return false;

    std::vector<SkinPicture> themeIcons;
    for (int size : kThemeSizes) {
        themeIcons.push_back(
            {QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(name), DrawAppIcon(size)});
    }
    return WriteSkin(themeDir, themeIcons, error);
}

}  // namespace vantor::skingen
