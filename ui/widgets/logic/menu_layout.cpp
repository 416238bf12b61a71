#include "ui/widgets/logic/menu_layout.h"

#include "base/utf.h"

namespace vantor {

bool AddMenuItem(std::span<MenuItem> items, std::uint32_t parent, std::size_t index,
                 std::uint32_t value, std::string_view text) {
    if (index >= items.size()) return false;
    items[index] = {parent, value, Utf16ToUtf8(Utf8ToUtf16(text, kMenuTextMaxUnits))};
    return true;
}

std::size_t CountMenuChildren(std::span<const MenuItem> items, std::uint32_t value) {
    if (value == kMenuTopLevel) return 0;
    std::size_t count = 0;
    for (const MenuItem& item : items) {
        if (item.dwParent == value) ++count;
    }
    return count;
}

MenuLayout::MenuLayout(std::vector<MenuItem> items, bool isSubMenu, std::uint32_t rowParent,
                       int width, int rowHeight, int margin, Point topLeft)
    : isSubMenu_(isSubMenu), width_(width), rowHeight_(rowHeight), margin_(margin) {
    if (items.size() <= kMenuMaxItems) items_ = std::move(items);
    const std::uint32_t shownParent = isSubMenu ? rowParent : kMenuTopLevel;
    // A sub-menu of the top-level value would repeat the top menu; it has no rows.
    if (!(isSubMenu && shownParent == kMenuTopLevel)) {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (items_[i].dwParent == shownParent) rows_.push_back(i);
        }
    }
    const int height = RowCount() * rowHeight_ + 2 * margin_;
    window_ = {topLeft.x, topLeft.y, topLeft.x + width_, topLeft.y + height};
}

Rect MenuLayout::RowRect(int row) const {
    return {0, margin_ + row * rowHeight_, width_, margin_ + (row + 1) * rowHeight_};
}

const MenuItem& MenuLayout::RowItem(int row) const {
    return items_.at(rows_.at(static_cast<std::size_t>(row)));
}

bool MenuLayout::RowHasChildren(int row) const {
    return CountMenuChildren(items_, RowItem(row).dwValue) > 0;
}

int MenuLayout::RowAt(Point client) const {
    if (client.x < 0 || client.x >= width_) return -1;
    for (int row = 0; row < RowCount(); ++row) {
        const Rect rect = RowRect(row);
        if (client.y >= rect.top && client.y < rect.bottom) return row;
    }
    return -1;
}

MenuLayout::HoverChange MenuLayout::OnMouseMove(Point client) {
    HoverChange change;
    const int row = RowAt(client);
    if (row == hovered_) return change;
    hovered_ = row;
    change.changed = true;
    if (isSubMenu_ || row < 0) return change;
    const std::uint32_t value = RowItem(row).dwValue;
    const int children = static_cast<int>(CountMenuChildren(items_, value));
    if (children == 0) return change;
    // The sub-menu opens at the right edge with its rows ending level with the hovered row.
    change.openSubMenu = true;
    change.subMenuParent = value;
    change.subMenuTopLeft = {window_.right,
                             RowRect(row).top + window_.top - rowHeight_ * (children - 1)};
    return change;
}

MenuLayout::Click MenuLayout::OnButtonUp() const {
    Click click;
    if (hovered_ < 0) return click;
    if (!isSubMenu_ && RowHasChildren(hovered_)) return click;
    click.choose = true;
    click.value = RowItem(hovered_).dwValue;
    return click;
}

}  // namespace vantor
