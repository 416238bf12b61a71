// Previews of the pop-up menu (with a sub-menu open), the combo button closed and open, and
// the macro tree with folders, macros, a selection and a hovered row.
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <vector>

#include "tools/skinpreview/preview_registry.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skinned_combo_box.h"
#include "ui/widgets/skinned_menu.h"
#include "ui/widgets/skinned_tree.h"

namespace vantor {
namespace {

const QColor kCanvas(0x17, 0x18, 0x1C);

void Hover(QWidget* widget, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(widget->mapToGlobal(pos)),
                     Qt::NoButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(widget, &move);
}

// Pop-up windows drawn where they stand on the screen, relative to `origin`.
QImage Compose(QPoint origin, QSize size, const std::vector<QWidget*>& windows) {
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(kCanvas);
    QPainter painter(&canvas);
    for (QWidget* window : windows) {
        if (window == nullptr) continue;
        painter.drawImage(window->mapToGlobal(QPoint(0, 0)) - origin, preview::Grab(window));
    }
    return canvas;
}

std::vector<MenuItem> FunctionMenuItems() {
    const std::vector<std::pair<std::uint32_t, const char*>> top = {
        {0x01000011, "Left click"}, {0x01000013, "Right click"}, {0x01000012, "Middle click"},
        {0x01000014, "Forward"},    {0x01000015, "Back"},        {0x020000A1, "Key combination"},
        {0x080000A2, "Disable"},    {0x08000000, "DPI"},         {0x04000000, "Multimedia"}};
    const std::vector<std::pair<std::uint32_t, const char*>> media = {
        {0x04000021, "Media player"},   {0x04000022, "Play/Pause"}, {0x04000025, "Next track"},
        {0x04000024, "Previous track"}, {0x04000028, "Mute"},       {0x04000026, "Volume up"},
        {0x04000027, "Volume down"}};
    std::vector<MenuItem> items(top.size() + media.size());
    std::size_t index = 0;
    for (const auto& [value, text] : top) AddMenuItem(items, kMenuTopLevel, index++, value, text);
    for (const auto& [value, text] : media) AddMenuItem(items, 0x04000000, index++, value, text);
    return items;
}

}  // namespace

VANTOR_PREVIEW(menus_popup_with_submenu) {
    const QPoint origin(100, 100);
    const std::vector<MenuItem> items = FunctionMenuItems();
    SkinnedMenu* menu =
        ShowMenu(nullptr, 160, origin + QPoint(12, 170), ConfiguredMenuColors(), 0, items);
    Hover(menu, menu->RowCentre(8));
    SkinnedMenu* sub = menu->SubMenu();
    QImage picture = Compose(origin, QSize(360, 420),
                             {menu->Shadow(), menu, sub != nullptr ? sub->Shadow() : nullptr, sub});
    CloseMenu();
    return picture;
}

VANTOR_PREVIEW(menus_combo_closed_and_open) {
    QWidget host;
    host.setGeometry(100, 100, 190, 330);
    host.setFont(WindowFont());  // the font a page gives its controls
    SkinnedComboBox combo(&host);
    combo.LoadImages(QStringLiteral("combo_nr.png"), {}, {});
    combo.setGeometry(20, 12, 147, 30);
    combo.SetTextColors(QColor(255, 255, 255), QColor(200, 200, 204), QColor(0, 170, 255));
    combo.SetCaptionLayout(10, 0);
    combo.SetTextRect(QRect(0, 0, 147 - 32, 30));  // clear of the arrow at the right end
    for (int rate : {125, 250, 500, 1000, 2000, 4000, 8000}) {
        combo.AddItem(0, static_cast<std::uint32_t>(rate), std::to_string(rate) + " Hz");
    }
    combo.SelectValue(1000);
    host.setAttribute(Qt::WA_DontShowOnScreen);
    host.show();
    const QImage closed = preview::Grab(&combo);

    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5),
                        QPointF(combo.mapToGlobal(QPoint(5, 5))), Qt::LeftButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(&combo, &release);
    SkinnedMenu* menu = OpenMenu();
    if (menu != nullptr) Hover(menu, menu->RowCentre(2));
    QImage open = Compose(QPoint(100, 100), QSize(190, 220),
                          {&combo, menu != nullptr ? menu->Shadow() : nullptr, menu});
    CloseMenu();
    return preview::Row({closed, open});
}

VANTOR_PREVIEW(menus_macro_tree) {
    QWidget host;
    host.resize(240, 260);
    SkinnedTree tree;
    tree.Create(QRect(0, 0, 240, 260), &host, 1, QImage(),
                SkinPath(QStringLiteral("macro/open.png")),
                SkinPath(QStringLiteral("macro/close.png")));
    tree.SetBackgroundColor(QColor(30, 30, 34));
    tree.SetTextColors(QColor(16, 16, 20), QColor(200, 200, 204));
    tree.SetHoverColor(QColor(48, 48, 56));
    tree.SetHoverHighlight(true);
    tree.SetFrameColor(0x5C5050);  // 80,80,92 as COLORREF
    const QImage press = LoadSkinImage(QStringLiteral("mac_d.png"));
    const QImage release = LoadSkinImage(QStringLiteral("mac_u.png"));
    const QImage delay = LoadSkinImage(QStringLiteral("mac_t.png"));

    TreeItemId games = tree.InsertItem(true, kTreeRoot, false, nullptr, 0, 0, "Games");
    TreeItemId shooters = tree.InsertItem(true, games, false, nullptr, 0, 0, "Shooters");
    tree.InsertItem(false, shooters, false, nullptr, 1, 0, "Burst fire");
    TreeItemId reload = tree.InsertItem(false, shooters, true, nullptr, 2, 0, "Quick reload");
    tree.InsertItem(false, games, false, nullptr, 3, 0, "Build and place a wall");
    tree.InsertItem(true, kTreeRoot, false, nullptr, 0, 0, "Office");
    tree.InsertItem(false, kTreeRoot, false, &press, 4, 0, "Ctrl");
    tree.InsertItem(false, kTreeRoot, false, &delay, 5, 0, "50 ms");
    tree.InsertItem(false, kTreeRoot, false, &release, 6, 0, "Ctrl");
    tree.ToggleFolder(games);
    tree.SelectItem(reload);
    host.setAttribute(Qt::WA_DontShowOnScreen);
    host.show();
    Hover(&tree, tree.ItemRowRect(games).center());
    return preview::Grab(&tree);
}

}  // namespace vantor
