// SkinnedMenu: the skinned pop-up menu. A borderless window of picture rows (menu_nr.png,
// menu_ov.png, and menusub_nr.png / menusub_ov.png for rows that open a sub-menu) with one
// level of sub-menus. Choosing an item posts kMenuChosenMessage (0x477) to the owner with
// (item value, the owner's user value) and closes the menu; a sub-menu hands its choice to
// its parent menu, which posts it. At most one menu is open in the whole program.
//
// The open menu closes when the user turns elsewhere: a press outside it (the press still
// reaches what was clicked, so a click on another drop-down opens that one), Escape, Tab,
// the hiding of its owner (a page switch), a move or minimising of the owner's window, and
// the program losing the focus. A press on the anchor (the drop-down button that opened it)
// is left to the anchor, which closes its own list. The menu never takes the focus; while
// it is open, Up and Down move its highlight, Right and Enter open a sub-menu, Left leaves
// it, and Enter chooses the highlighted row.
#pragma once

#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <span>

#include "ui/widgets/logic/menu_layout.h"

namespace vantor {

// Text colours of the rows as COLORREF values (Menu_txt_clr_nr, _ov, _dn of cfg.ini).
struct MenuTextColors {
    std::uint32_t normal = 0;
    std::uint32_t hover = 0;
    std::uint32_t pressed = 0;
};

// The menu colours of the configuration.
MenuTextColors ConfiguredMenuColors();

class SkinnedMenu : public QWidget {
    Q_OBJECT

  public:
    // `owner` receives the choice; `parent` owns the window (the owner window, or the parent
    // menu for a sub-menu).
    SkinnedMenu(QWidget* parent, QObject* owner, MenuLayout layout, MenuTextColors colors,
                std::intptr_t userValue);
    ~SkinnedMenu() override;

    const MenuLayout& Layout() const { return layout_; }
    SkinnedMenu* SubMenu() const { return subMenu_.data(); }
    // The drop shadow: a window of the menu's size behind it, offset down and right, shaped
    // to the part the menu does not cover. Shown and hidden with the menu.
    QWidget* Shadow() const { return shadow_.data(); }

    // Marks the row of the item with `value` as the current choice (a drop-down's value).
    void SetCurrentValue(std::optional<std::uint32_t> value);
    int CurrentRow() const;
    QPoint RowCentre(int row) const;
    // Where a row's text is drawn: indented from both edges, with room for the arrow on a
    // row that opens a sub-menu.
    QRect RowTextRect(int row) const;

    // The widget whose own clicks open and close this menu; a press on it does not count
    // as a press outside.
    void SetAnchor(QWidget* anchor) { anchor_ = anchor; }
    QWidget* Anchor() const { return anchor_.data(); }

    // Keyboard navigation of the open menu; true when the key was used.
    bool HandleKey(int key);

    void setVisible(bool visible) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void OpenSubMenu(std::uint32_t parentValue, QPoint topLeft);
    void CloseSubMenu();
    void Choose(std::uint32_t value);
    void CloseSelf();
    // Highlights the row `step` rows on (wrapping), as the pointer would.
    void MoveHighlight(int step);
    void ApplyHover(const MenuLayout::HoverChange& change);
    // Whether a press on `widget` closes the open menu.
    bool PressDismisses(const QWidget* widget) const;
    // Whether an event on `watched` means the owner has gone out of view or moved.
    bool OwnerLeft(const QObject* watched, const QEvent* event) const;

    QObject* owner_;
    MenuLayout layout_;
    MenuTextColors colors_;
    std::intptr_t userValue_;
    void PlaceShadow();

    QPointer<SkinnedMenu> subMenu_;
    QPointer<QWidget> anchor_;
    bool keysInSubMenu_ = false;
    QPointer<QWidget> shadow_;
    std::optional<std::uint32_t> current_;
    bool pressed_ = false;
};

// Closes any open menu and opens one at `topLeft` (screen coordinates) `width` pixels wide
// with `items` in display order. More than 50 items give an empty frame. When menu_nr.png
// is missing the box "Menu item height is 0" titled "Warring" is shown and the rows are 0
// pixels high.
SkinnedMenu* ShowMenu(QObject* owner, int width, QPoint topLeft, const MenuTextColors& colors,
                      std::intptr_t userValue, std::span<const MenuItem> items);

// Destroys the open menu and its sub-menu; does nothing while a menu is being created.
void CloseMenu();
bool IsMenuOpen();
SkinnedMenu* OpenMenu();

}  // namespace vantor
