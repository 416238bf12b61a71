// Backgrounds of the main window, the pages and the pop-up windows, and the window and
// navigation buttons.
#include <QConicalGradient>
#include <QLinearGradient>
#include <QRadialGradient>

#include "tools/skingen/skin_pictures.h"
#include "tools/skingen/skin_style.h"
#include "tools/skingen/window_pictures.h"

namespace vantor::skingen {
namespace {

using namespace colours;

// Pop-up windows: rounded panel on transparent corners (cut by the dialog mask), a
// subtle header band and an accent line.
QImage PopupBackground(int width, int height, int headerHeight) {
    QImage image = NewPicture(width, height);
    QPainter p(&image);
    Prepare(p);
    Panel(p, QRectF(0, 0, width, height), 10, kPanelTop, kWindowBottom, kBorderLight);
    p.setPen(Qt::NoPen);
    QLinearGradient header(0, 0, 0, headerHeight);
    header.setColorAt(0, QColor(255, 255, 255, 14));
    header.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(header);
    p.drawPath(Rounded(QRectF(1, 1, width - 2, headerHeight), 9));
    QLinearGradient line(0, 0, width, 0);
    line.setColorAt(0, QColor(0, 170, 255, 0));
    line.setColorAt(0.5, kAccent);
    line.setColorAt(1, QColor(0, 170, 255, 0));
    p.setBrush(line);
    p.drawRect(QRectF(20, headerHeight, width - 80, 1));  // clear of the close button
    return image;
}

// The progress window with the empty track of its bar, (45, 101)-(486, 123) as the
// restore-defaults action lays it out, so the filling bar shows how far it has to go.
QImage ProgressBackground() {
    QImage image = PopupBackground(530, 150, 40);
    QPainter p(&image);
    Prepare(p);
    Panel(p, QRectF(44, 100, 443, 24), 7, kGroove, kGroove, QColor(0x2E, 0x30, 0x38));
    return image;
}

void Grid(QPainter& p, const QRectF& area, int step, int alpha) {
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, alpha), 1));
    for (qreal x = area.left() + step; x < area.right(); x += step) {
        p.drawLine(QPointF(x + 0.5, area.top()), QPointF(x + 0.5, area.bottom()));
    }
    for (qreal y = area.top() + step; y < area.bottom(); y += step) {
        p.drawLine(QPointF(area.left(), y + 0.5), QPointF(area.right(), y + 0.5));
    }
    p.restore();
}

QImage MainBackground() {
    constexpr int kWidth = 1020;
    constexpr int kHeight = 700;
    QImage image = NewPicture(kWidth, kHeight);
    QPainter p(&image);
    Prepare(p);
    Panel(p, QRectF(0, 0, kWidth, kHeight), 14, kWindowTop, kWindowBottom, kBorder);
    // Header glow behind the title and the navigation.
    QRadialGradient glow(QPointF(180, 40), 420);
    glow.setColorAt(0, QColor(0, 170, 255, 34));
    glow.setColorAt(1, QColor(0, 170, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawPath(Rounded(QRectF(1, 1, kWidth - 2, 158), 13));
    // Brand mark left of the title.
    QPainterPath mark;
    mark.moveTo(26, 28);
    mark.lineTo(38, 52);
    mark.lineTo(50, 28);
    Stroke(p, mark, kAccent, 4);
    // Navigation rail around the four 60 x 49 buttons from ptNavi (25, 110), 4 pixels
    // apart, standing on the separator above the page area (1,160)-(1019,699).
    Panel(p, QRectF(18, 104, 266, 56), 8, QColor(0x22, 0x24, 0x2B), QColor(0x1A, 0x1B, 0x21),
          QColor(0x2C, 0x2E, 0x36));
    p.fillRect(QRectF(1, 159, kWidth - 2, 1), kBorder);
    QRectF page(1, 160, kWidth - 2, 539);
    QLinearGradient pageShade(page.topLeft(), page.bottomLeft());
    pageShade.setColorAt(0, QColor(0, 0, 0, 40));
    pageShade.setColorAt(0.1, QColor(0, 0, 0, 0));
    p.fillRect(page, pageShade);
    // Bay of the battery window at ptPower (949, 66), 37 x 43.
    Panel(p, QRectF(945, 62, 45, 51), 8, QColor(0x1A, 0x1B, 0x21), QColor(0x1E, 0x20, 0x26),
          QColor(0x2C, 0x2E, 0x36));
    return image;
}

QImage PageBackground(bool lighting) {
    constexpr int kWidth = 1018;
    constexpr int kHeight = 539;
    QImage image = NewPicture(kWidth, kHeight);
    QPainter p(&image);
    Prepare(p);
    QLinearGradient shade(0, 0, 0, kHeight);
    shade.setColorAt(0, QColor(0x18, 0x19, 0x1E));
    shade.setColorAt(1, QColor(0x14, 0x15, 0x19));
    p.fillRect(image.rect(), shade);
    Grid(p, QRectF(0, 0, kWidth, kHeight), 24, 5);
    // Card behind the controls; the lighting page keeps the left part for its wheel.
    if (lighting) {
        Panel(p, QRectF(60, 40, 440, 470), 12, kPanelTop, kPanelBottom, kBorder);
        Panel(p, QRectF(530, 40, 440, 470), 12, kPanelTop, kPanelBottom, kBorder);
    } else {
        Panel(p, QRectF(80, 30, 860, 480), 12, kPanelTop, kPanelBottom, kBorder);
    }
    return image;
}

enum class NaviIcon { Buttons, Performance, Macro, Lighting };

void DrawNaviIcon(QPainter& p, NaviIcon icon, const QColor& c) {
    const QPointF centre(30, 24.5);
    switch (icon) {
        case NaviIcon::Buttons: {  // a mouse with its split buttons
            QPainterPath body = Rounded(QRectF(21, 10, 18, 29), 9);
            Stroke(p, body, c, 2);
            QPainterPath split;
            split.moveTo(30, 10);
            split.lineTo(30, 21);
            split.moveTo(21, 21);
            split.lineTo(39, 21);
            Stroke(p, split, c, 2);
            break;
        }
        case NaviIcon::Performance: {  // a gauge with its needle
            QPainterPath arc;
            arc.arcMoveTo(QRectF(16, 12, 28, 28), 200);
            arc.arcTo(QRectF(16, 12, 28, 28), 200, -220);
            Stroke(p, arc, c, 2.5);
            QPainterPath needle;
            needle.moveTo(30, 26);
            needle.lineTo(38, 18);
            Stroke(p, needle, c, 2.5);
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawEllipse(QPointF(30, 26), 2.5, 2.5);
            break;
        }
        case NaviIcon::Macro: {  // a key cap with a play mark
            Stroke(p, Rounded(QRectF(17, 13, 26, 23), 5), c, 2);
            QPainterPath play;
            play.moveTo(27, 19);
            play.lineTo(35, 24.5);
            play.lineTo(27, 30);
            play.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawPath(play);
            break;
        }
        case NaviIcon::Lighting: {  // a light with rays
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawEllipse(centre, 5, 5);
            QPainterPath rays;
            for (int i = 0; i < 8; ++i) {
                QLineF ray = QLineF::fromPolar(9, i * 45).translated(centre);
                QLineF out = QLineF::fromPolar(14, i * 45).translated(centre);
                rays.moveTo(ray.p2());
                rays.lineTo(out.p2());
            }
            Stroke(p, rays, c, 2);
            break;
        }
    }
}

QImage NaviButton(NaviIcon icon, bool pressed) {
    QImage image = NewPicture(60, 49);
    QPainter p(&image);
    Prepare(p);
    if (pressed) {
        Panel(p, QRectF(0, 0, 60, 49), 8, QColor(0x0B, 0x3A, 0x55), QColor(0x08, 0x2A, 0x40),
              kAccentDark);
        p.fillRect(QRectF(14, 45, 32, 3), kAccent);
        DrawNaviIcon(p, icon, QColor(0xFF, 0xFF, 0xFF));
    } else {
        Panel(p, QRectF(0, 0, 60, 49), 8, kControlTop, kControlBottom, kBorder);
        DrawNaviIcon(p, icon, kText);
    }
    return image;
}

enum class WindowIcon { Minimise, Exit, Help };

QImage WindowButton(WindowIcon icon) {
    QImage image = NewPicture(25, 25);
    QPainter p(&image);
    Prepare(p);
    const QColor fill = icon == WindowIcon::Exit ? QColor(0x4A, 0x22, 0x26) : kControlTop;
    Panel(p, QRectF(0, 0, 25, 25), 6, fill, fill.darker(115), kBorderLight);
    QPainterPath glyph;
    switch (icon) {
        case WindowIcon::Minimise:
            glyph.moveTo(7.5, 13);
            glyph.lineTo(17.5, 13);
            break;
        case WindowIcon::Exit:
            glyph.moveTo(8.5, 8.5);
            glyph.lineTo(16.5, 16.5);
            glyph.moveTo(16.5, 8.5);
            glyph.lineTo(8.5, 16.5);
            break;
        case WindowIcon::Help: {
            glyph.moveTo(9.5, 10);
            glyph.cubicTo(9.5, 6.5, 15.5, 6.5, 15.5, 10);
            glyph.cubicTo(15.5, 12.5, 12.5, 12.5, 12.5, 15);
            p.setPen(Qt::NoPen);
            p.setBrush(kText);
            p.drawEllipse(QPointF(12.5, 18.5), 1.3, 1.3);
            break;
        }
    }
    Stroke(p, glyph, icon == WindowIcon::Exit ? QColor(0xFF, 0x9A, 0x9A) : kText, 2);
    return image;
}

// Battery window 37 x 43: a lying battery in the upper half with `bars` of 4 filled, or a
// charging bolt; the lower half stays free for the percentage the window writes there.
QImage PowerPicture(int bars, bool charging) {
    QImage image = NewPicture(37, 43);
    QPainter p(&image);
    Prepare(p);
    const QColor level = charging ? kAccent : bars <= 1 ? kDanger : bars == 2 ? kWarn : kGood;
    p.setPen(Qt::NoPen);
    p.setBrush(kText);
    p.drawRoundedRect(QRectF(30, 8, 3.5, 6), 1.2, 1.2);
    Stroke(p, Rounded(QRectF(4.5, 4.5, 25, 13), 3), kText, 2);
    const int filled = charging ? 4 : bars;
    for (int i = 0; i < filled; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(level);
        p.drawRoundedRect(QRectF(7 + i * 5.5, 7, 4.5, 8), 1, 1);
    }
    if (charging) {
        QPainterPath bolt;
        bolt.moveTo(19, 5);
        bolt.lineTo(12, 12);
        bolt.lineTo(17, 12);
        bolt.lineTo(15, 17);
        bolt.lineTo(23, 10);
        bolt.lineTo(18, 10);
        bolt.closeSubpath();
        p.setBrush(QColor(0xFF, 0xFF, 0xFF));
        p.setPen(QPen(kGroove, 1.2));
        p.drawPath(bolt);
    }
    return image;
}

}  // namespace

void AddWindowPictures(std::vector<SkinPicture>& out) {
    out.push_back({"key_nr.png", MainBackground()});
    out.push_back({"adv_nr.png", PageBackground(false)});
    out.push_back({"led_nr.png", PageBackground(true)});
    out.push_back({"msg_nr.png", PopupBackground(436, 150, 24)});
    out.push_back({"msg2_nr.png", PopupBackground(396, 340, 44)});
    out.push_back({"progress_nr.png", ProgressBackground()});
    const NaviIcon icons[] = {NaviIcon::Buttons, NaviIcon::Performance, NaviIcon::Macro,
                              NaviIcon::Lighting};
    for (int i = 0; i < 4; ++i) {
        const QString base = QStringLiteral("navi%1").arg(i + 1);
        out.push_back({base + "_nr.png", NaviButton(icons[i], false)});
        out.push_back({base + "_dn.png", NaviButton(icons[i], true)});
    }
    out.push_back({"min_nr.png", WindowButton(WindowIcon::Minimise)});
    out.push_back({"exit_nr.png", WindowButton(WindowIcon::Exit)});
    out.push_back({"help_nr.png", WindowButton(WindowIcon::Help)});
    for (int i = 1; i <= 4; ++i) {
        out.push_back({QStringLiteral("power%1.png").arg(i), PowerPicture(i, false)});
    }
    out.push_back({"power_charging.png", PowerPicture(4, true)});
}

}  // namespace vantor::skingen
