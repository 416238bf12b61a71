#include "ui/widgets/layout_4k.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <optional>

#include "base/log.h"
#include "platform/paths.h"
#include "ui/widgets/skin.h"

namespace vantor {
namespace {

constexpr int kMin4KWidth = 3500;
constexpr int kMin4KHeightAfterTaskbar = 1400;
constexpr int kTaskbarAllowance = 50;
constexpr int kApplicationFontWeight = 90;
constexpr int kDefaultFontPixels = 16;

struct ApplicationFontState {
    int fontId = -1;
    std::optional<QFont> font;
};

ApplicationFontState& AppFont() {
    static ApplicationFontState state;
    return state;
}

// The window font heights count the whole character cell (ascent plus descent), as a
// positive LOGFONT height does, not the em size.
QFont ShellDlgFont(int cellHeight, int weight) {
    QFont font(QStringLiteral("MS Shell Dlg"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return FontForCellHeight(font, cellHeight);
}

}  // namespace

bool Wants4KLayout(int usableWidth, int usableHeight) {
    if (usableWidth < kMin4KWidth) return false;
    if (usableHeight - kTaskbarAllowance > kMin4KHeightAfterTaskbar) return true;
    DbgLog("Screen size too small, not set 4K flag");
    return false;
}

bool Init4KLayout(const QScreen* screen) {
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    const QRect usable = screen != nullptr ? screen->availableGeometry() : QRect();
    DbgLog("xScreen=%d, yScreen=%d", usable.width(), usable.height());
    const bool on = Wants4KLayout(usable.width(), usable.height());
    Set4KLayout(on);
    return on;
}

QRect Doubled(const QRect& rect) {
    return {rect.x() * 2, rect.y() * 2, rect.width() * 2, rect.height() * 2};
}

void Move4K(QWidget* child) {
    if (child == nullptr) return;
    child->setGeometry(Doubled(child->geometry()));
}

QFont FontForCellHeight(QFont font, int cellHeight) {
    for (int size = std::max(cellHeight, 1); size > 1; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        if (metrics.ascent() + metrics.descent() <= cellHeight) return font;
    }
    font.setPixelSize(1);
    return font;
}

QFont FallbackFont() {
    return Is4KLayout() ? ShellDlgFont(26, 500) : ShellDlgFont(16, 400);
}

QFont TitleFont() {
    return ShellDlgFont(Is4KLayout() ? 34 : 24, 700);
}

QFont SelectorFont() {
    return ShellDlgFont(Is4KLayout() ? 24 : 14, 400);
}

bool LoadApplicationFont(const std::string& fontName, int pixelSize) {
    UnloadApplicationFont();
    if (fontName.empty()) return false;
    const std::string path = ProgramDir() + "appfont.ttf";
    if (!FileExists(path)) return false;
    const int id = QFontDatabase::addApplicationFont(QString::fromStdString(path));
    if (id < 0) return false;
    QFont font(QString::fromStdString(fontName));
    font.setPixelSize(pixelSize > 0 ? pixelSize : kDefaultFontPixels);
    font.setWeight(static_cast<QFont::Weight>(kApplicationFontWeight));
    AppFont().fontId = id;
    AppFont().font = font;
    return true;
}

void UnloadApplicationFont() {
    ApplicationFontState& state = AppFont();
    if (state.fontId >= 0) QFontDatabase::removeApplicationFont(state.fontId);
    state.fontId = -1;
    state.font.reset();
}

bool HasApplicationFont() {
    return AppFont().font.has_value();
}

QFont WindowFont() {
    return HasApplicationFont() ? *AppFont().font : FallbackFont();
}

}  // namespace vantor
