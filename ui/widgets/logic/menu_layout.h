// Rows, hover and click rules of the skinned pop-up menu, without pixels.
//
// A menu is a list of at most 50 items in display order. Items whose parent is 255 are the
// rows of the top menu; the items whose parent equals a top-level item's value form that
// item's sub-menu (one level only). The window is `width` wide and holds one row per item
// between two margins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/config_values.h"

namespace vantor {

constexpr std::uint32_t kMenuTopLevel = 255;
constexpr std::size_t kMenuMaxItems = 50;
constexpr std::size_t kMenuTextMaxUnits = 39;  // UTF-16 units, as the item text holds 40
// Posted to the owner with (chosen item value, the owner's user value).
constexpr std::uint32_t kMenuChosenMessage = 0x477;

struct MenuItem {
    std::uint32_t dwParent = kMenuTopLevel;
    std::uint32_t dwValue = 0;
    std::string szText;
};

// Fills items[index]; the text is cut to 39 UTF-16 units. False when `index` lies outside.
bool AddMenuItem(std::span<MenuItem> items, std::uint32_t parent, std::size_t index,
                 std::uint32_t value, std::string_view text);

// The number of items that form the sub-menu of an item with this value. Top-level items
// never count as children, so a top-level item whose value happens to be 255 has none.
std::size_t CountMenuChildren(std::span<const MenuItem> items, std::uint32_t value);

class MenuLayout {
  public:
    struct HoverChange {
        bool changed = false;      // the hovered row changed: repaint, close the sub-menu
        bool openSubMenu = false;  // open the sub-menu of the hovered row
        std::uint32_t subMenuParent = 0;
        Point subMenuTopLeft;  // in the coordinates of `topLeft`
    };
    struct Click {
        bool choose = false;  // post the value and close the menu
        std::uint32_t value = 0;
    };

    // A top menu shows the items whose parent is 255; a sub-menu (`isSubMenu`) shows the
    // items whose parent is `rowParent`. More than 50 items leave the menu without items.
    MenuLayout(std::vector<MenuItem> items, bool isSubMenu, std::uint32_t rowParent, int width,
               int rowHeight, int margin, Point topLeft);

    Rect WindowRect() const { return window_; }
    bool IsSubMenu() const { return isSubMenu_; }
    int RowHeight() const { return rowHeight_; }
    const std::vector<MenuItem>& Items() const { return items_; }

    int RowCount() const { return static_cast<int>(rows_.size()); }
    // Rows are in window coordinates: (0, margin + i * height) to (width, margin + (i+1) * height).
    Rect RowRect(int row) const;
    const MenuItem& RowItem(int row) const;
    bool RowHasChildren(int row) const;
    int RowAt(Point client) const;  // -1 outside every row

    int Hovered() const { return hovered_; }
    HoverChange OnMouseMove(Point client);
    Click OnButtonUp() const;

  private:
    std::vector<MenuItem> items_;
    std::vector<std::size_t> rows_;  // indexes into items_
    bool isSubMenu_;
    int width_;
    int rowHeight_;
    int margin_;
    Rect window_;
    int hovered_ = -1;
};

}  // namespace vantor
