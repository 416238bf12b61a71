// Image buttons, combo boxes, check boxes, slider bars and thumbs, menus, the colour
// wheel, digits and the small icons of the macro editor.
#include <QConicalGradient>
#include <QFont>
#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>

#include "tools/skingen/skin_style.h"
#include "tools/skingen/window_pictures.h"

namespace vantor::skingen {
namespace {

using namespace colours;

QImage Button(int width, int height, qreal radius) {
    QImage image = NewPicture(width, height);
    QPainter p(&image);
    Prepare(p);
    Panel(p, QRectF(0, 0, width, height), radius, kControlTop, kControlBottom, kBorderLight);
    // Highlight on the top edge.
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    p.drawLine(QPointF(radius, 1.5), QPointF(width - radius, 1.5));
    return image;
}

// The disabled face: flat, sunk into the panel, with a dim border and no highlight, so it
// reads neither as a live button nor as a pressed one.
QImage DisabledButton(int width, int height, qreal radius) {
    QImage image = NewPicture(width, height);
    QPainter p(&image);
    Prepare(p);
    Panel(p, QRectF(0, 0, width, height), radius, kPanelBottom, kPanelBottom, kBorder);
    return image;
}

QImage Combo(int width, int height, bool disabled = false) {
    const qreal radius = height > 20 ? 6 : 4;
    QImage image = disabled ? DisabledButton(width, height, radius) : Button(width, height, radius);
    QPainter p(&image);
    Prepare(p);
    const qreal cx = width - height / 2.0 - 2;
    const qreal cy = height / 2.0;
    const qreal s = height > 20 ? 4 : 3;
    QPainterPath chevron;
    chevron.moveTo(cx - s, cy - s / 2);
    chevron.lineTo(cx, cy + s / 2);
    chevron.lineTo(cx + s, cy - s / 2);
    Stroke(p, chevron, disabled ? kMuted : kAccent, 1.8);
    p.setPen(QPen(kBorder, 1));
    const qreal divider = width - height - 2.5;
    p.drawLine(QPointF(divider, 4), QPointF(divider, height - 4));
    return image;
}

QImage CheckBox(bool checked) {
    QImage image = NewPicture(11, 11);
    QPainter p(&image);
    Prepare(p);
    if (checked) {
        Panel(p, QRectF(0, 0, 11, 11), 2.5, kAccent, kAccentDark, kAccent);
        QPainterPath tick;
        tick.moveTo(2.6, 5.6);
        tick.lineTo(4.6, 7.7);
        tick.lineTo(8.4, 3.3);
        Stroke(p, tick, QColor(0xFF, 0xFF, 0xFF), 1.6);
    } else {
        Panel(p, QRectF(0, 0, 11, 11), 2.5, kGroove, kPanelBottom, kBorderLight);
    }
    return image;
}

QImage Radio(bool checked) {
    QImage image = NewPicture(12, 12);
    QPainter p(&image);
    Prepare(p);
    p.setPen(QPen(checked ? kAccent : kBorderLight, 1));
    p.setBrush(kGroove);
    p.drawEllipse(QRectF(0.5, 0.5, 11, 11));
    if (checked) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(6, 6), 3, 3);
    }
    return image;
}

// Slider bar: a groove across the picture, vertically centred; the _ov picture is the
// filled (accent) groove.
QImage Bar(int width, int height, bool filled) {
    QImage image = NewPicture(width, height);
    QPainter p(&image);
    Prepare(p);
    const qreal groove = height >= 20 ? 6 : 4;
    const QRectF rect(1, (height - groove) / 2.0, width - 2, groove);
    if (filled) {
        QLinearGradient fill(rect.topLeft(), rect.topRight());
        fill.setColorAt(0, kAccentDark);
        fill.setColorAt(1, kAccent);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(rect, groove / 2, groove / 2);
    } else {
        p.setPen(QPen(QColor(0x2E, 0x30, 0x38), 1));
        p.setBrush(kGroove);
        p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), groove / 2, groove / 2);
    }
    return image;
}

// A rounded thumb of `width` x `height` with a coloured ring.
QImage Thumb(const QColor& ring, int width, int height) {
    QImage image = NewPicture(width, height);
    QPainter p(&image);
    Prepare(p);
    QRadialGradient face(QPointF(width / 2.0 - 1, height / 2.0 - 2), height / 2.0);
    face.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    face.setColorAt(1, QColor(0xD8, 0xDC, 0xE4));
    p.setPen(QPen(ring, 2));
    p.setBrush(face);
    const qreal radius = std::min(width, height) / 2.0 - 1.5;
    p.drawRoundedRect(QRectF(1, 1, width - 2, height - 2), radius, radius);
    return image;
}

// Menu rows are 20 pixels high: the combo buttons place their drop-downs for rows of 20,
// and the menu takes its row height from this picture.
QImage MenuRow(bool hover, bool sub) {
    constexpr int kRowHeight = 20;
    QImage image = NewPicture(150, kRowHeight);
    QPainter p(&image);
    Prepare(p);
    p.fillRect(image.rect(), hover ? QColor(0x0B, 0x3A, 0x55) : QColor(0x23, 0x25, 0x2C));
    if (hover) p.fillRect(QRectF(0, 0, 3, kRowHeight), kAccent);
    p.fillRect(QRectF(0, kRowHeight - 1, 150, 1), QColor(0x2C, 0x2E, 0x36));
    if (sub) {
        QPainterPath arrow;
        arrow.moveTo(138, 6);
        arrow.lineTo(142, 10);
        arrow.lineTo(138, 14);
        Stroke(p, arrow, hover ? kAccent : kMuted, 1.6);
    }
    return image;
}

QImage Digit(int number, bool outlined) {
    QImage image = NewPicture(18, 18);
    QPainter p(&image);
    Prepare(p);
    p.setPen(outlined ? QPen(kAccent, 1) : Qt::NoPen);
    p.setBrush(outlined ? QColor(0x0B, 0x2A, 0x3D) : kAccent);
    p.drawEllipse(QRectF(0.5, 0.5, 17, 17));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(number >= 10 ? 9 : 11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(outlined ? kAccent : QColor(0xFF, 0xFF, 0xFF));
    p.drawText(QRectF(0, 0, 18, 18), Qt::AlignCenter, QString::number(number));
    return image;
}

QImage ColourWheel() {
    constexpr int kSize = 173;
    QImage image = NewPicture(kSize, kSize);
    QPainter p(&image);
    Prepare(p);
    const QPointF centre(kSize / 2.0, kSize / 2.0);
    QConicalGradient hue(centre, 0);
    for (int i = 0; i <= 6; ++i) hue.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(hue);
    p.drawEllipse(QRectF(0.5, 0.5, kSize - 1, kSize - 1));
    QRadialGradient white(centre, kSize / 2.0);
    white.setColorAt(0, QColor(255, 255, 255, 255));
    white.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(white);
    p.drawEllipse(QRectF(0.5, 0.5, kSize - 1, kSize - 1));
    return image;
}

enum class RowIcon { Down, Up, Delay, Move, FolderOpen, FolderClosed };

QImage Icon(RowIcon icon) {
    QImage image = NewPicture(16, 16);
    QPainter p(&image);
    Prepare(p);
    QPainterPath path;
    switch (icon) {
        case RowIcon::Down:
        case RowIcon::Up: {
            const bool down = icon == RowIcon::Down;
            path.moveTo(8, down ? 3 : 13);
            path.lineTo(8, down ? 13 : 3);
            path.moveTo(4, down ? 9 : 7);
            path.lineTo(8, down ? 13 : 3);
            path.lineTo(12, down ? 9 : 7);
            Stroke(p, path, down ? kAccent : kGood, 2);
            break;
        }
        case RowIcon::Delay:
            Stroke(p, Rounded(QRectF(2, 2, 12, 12), 6), kWarn, 1.6);
            path.moveTo(8, 4.5);
            path.lineTo(8, 8);
            path.lineTo(10.5, 9.5);
            Stroke(p, path, kWarn, 1.6);
            break;
        case RowIcon::Move:
            path.moveTo(8, 2);
            path.lineTo(8, 14);
            path.moveTo(2, 8);
            path.lineTo(14, 8);
            path.moveTo(6, 4);
            path.lineTo(8, 2);
            path.lineTo(10, 4);
            path.moveTo(12, 6);
            path.lineTo(14, 8);
            path.lineTo(12, 10);
            Stroke(p, path, kText, 1.5);
            break;
        case RowIcon::FolderOpen:
        case RowIcon::FolderClosed: {
            const QColor colour = icon == RowIcon::FolderOpen ? kAccent : kMuted;
            p.setPen(Qt::NoPen);
            p.setBrush(colour.darker(130));
            p.drawRoundedRect(QRectF(1, 3, 7, 4), 1.2, 1.2);
            p.setBrush(colour);
            if (icon == RowIcon::FolderOpen) {
                path.moveTo(1, 5);
                path.lineTo(12.5, 5);
                path.lineTo(12.5, 7);
                path.lineTo(15, 7);
                path.lineTo(12.5, 13.5);
                path.lineTo(1, 13.5);
                path.closeSubpath();
                p.drawPath(path);
            } else {
                p.drawRoundedRect(QRectF(1, 5, 14, 8.5), 1.5, 1.5);
            }
            break;
        }
    }
    return image;
}

// Debounce band 170 x 30 with the faces of its - (79,5)-(96,25) and + (142,5)-(162,25)
// buttons and the value box between them.
QImage KeyTimeBand() {
    QImage image = NewPicture(170, 30);
    QPainter p(&image);
    Prepare(p);
    Panel(p, QRectF(0, 0, 170, 30), 6, kPanelTop, kPanelBottom, kBorder);
    Panel(p, QRectF(97, 6, 45, 19), 3, kGroove, kGroove, QColor(0x2E, 0x30, 0x38));
    for (const QRectF& face : {QRectF(79, 5, 17, 20), QRectF(142, 5, 20, 20)}) {
        Panel(p, face, 4, kControlTop, kControlBottom, kBorderLight);
    }
    QPainterPath signs;
    signs.moveTo(84, 15);
    signs.lineTo(91, 15);
    signs.moveTo(148, 15);
    signs.lineTo(156, 15);
    signs.moveTo(152, 11);
    signs.lineTo(152, 19);
    Stroke(p, signs, kText, 1.6);
    return image;
}

QImage ProgressBar() {
    QImage image = NewPicture(441, 22);
    QPainter p(&image);
    Prepare(p);
    QLinearGradient fill(0, 0, 441, 0);
    fill.setColorAt(0, kAccentDark);
    fill.setColorAt(1, kAccent);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0, 0, 441, 22), 6, 6);
    QLinearGradient shine(0, 0, 0, 22);
    shine.setColorAt(0, QColor(255, 255, 255, 50));
    shine.setColorAt(0.5, QColor(255, 255, 255, 0));
    p.setBrush(shine);
    p.drawRoundedRect(QRectF(0, 0, 441, 22), 6, 6);
    return image;
}

}  // namespace

void AddControlPictures(std::vector<SkinPicture>& out) {
    // Each button and combo face has a disabled picture "<name>_ds.png" beside it.
    out.push_back({"button_nr.png", Button(222, 19, 4)});
    out.push_back({"button_ds.png", DisabledButton(222, 19, 4)});
    out.push_back({"button2_nr.png", Button(80, 27, 6)});
    out.push_back({"button2_ds.png", DisabledButton(80, 27, 6)});
    out.push_back({"reset_nr.png", Button(111, 27, 6)});
    out.push_back({"reset_ds.png", DisabledButton(111, 27, 6)});
    out.push_back({"combo_nr.png", Combo(147, 30)});
    out.push_back({"combo_ds.png", Combo(147, 30, true)});
    out.push_back({"combo2_nr.png", Combo(83, 19)});
    out.push_back({"combo2_ds.png", Combo(83, 19, true)});
    out.push_back({"combo3_nr.png", Combo(111, 30)});
    out.push_back({"combo3_ds.png", Combo(111, 30, true)});
    // Two spellings are in use; file names are case-sensitive here.
    for (const char* base : {"check", "Check"}) {
        out.push_back({QString::fromLatin1(base) + "_nr.png", CheckBox(false)});
        out.push_back({QString::fromLatin1(base) + "_dn.png", CheckBox(true)});
    }
    out.push_back({"radio_nr.png", Radio(false)});
    out.push_back({"radio_dn.png", Radio(true)});
    out.push_back({"longbar_nr.png", Bar(650, 29, false)});
    out.push_back({"longbar_ov.png", Bar(650, 29, true)});
    out.push_back({"dpibar_nr.png", Bar(390, 29, false)});
    out.push_back({"dpibar_ov.png", Bar(390, 29, true)});
    out.push_back({"bar_nr.png", Bar(261, 10, false)});
    out.push_back({"bar_ov.png", Bar(261, 10, true)});
    out.push_back({"slider.png", Thumb(kAccent, 14, 20)});
    // The X and Y thumbs share a 29-pixel DPI row, one centred on each quarter line, so
    // each keeps within its half.
    out.push_back({"slider1.png", Thumb(kAccent, 14, 14)});
    out.push_back({"slider2.png", Thumb(kWarn, 14, 14)});
    out.push_back({"menu_nr.png", MenuRow(false, false)});
    out.push_back({"menu_ov.png", MenuRow(true, false)});
    out.push_back({"menusub_nr.png", MenuRow(false, true)});
    out.push_back({"menusub_ov.png", MenuRow(true, true)});
    out.push_back({"key_time.png", KeyTimeBand()});
    out.push_back({"progress_ov.png", ProgressBar()});
    out.push_back({"color.png", ColourWheel()});
    for (int i = 1; i <= 16; ++i) {
        out.push_back({QStringLiteral("number%1.png").arg(i), Digit(i, false)});
        out.push_back({QStringLiteral("number/number%1.png").arg(i), Digit(i, true)});
    }
    out.push_back({"mac_d.png", Icon(RowIcon::Down)});
    out.push_back({"mac_u.png", Icon(RowIcon::Up)});
    out.push_back({"mac_t.png", Icon(RowIcon::Delay)});
    out.push_back({"mac_m.png", Icon(RowIcon::Move)});
    out.push_back({"macro/open.png", Icon(RowIcon::FolderOpen)});
    out.push_back({"macro/close.png", Icon(RowIcon::FolderClosed)});
}

}  // namespace vantor::skingen
