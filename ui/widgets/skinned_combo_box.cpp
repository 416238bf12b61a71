#include "ui/widgets/skinned_combo_box.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "ui/widgets/skin.h"
#include "ui/widgets/skinned_menu.h"
#include "ui/widgets/window_message.h"

namespace vantor {

SkinnedComboBox::SkinnedComboBox(QWidget* parent) : SkinnedButton(parent) {
    SetControlValue(-1);  // nothing selected
}

// An open drop-down is a child window of the button and goes with it.
SkinnedComboBox::~SkinnedComboBox() = default;

bool SkinnedComboBox::AddItem(int list, std::uint32_t value, const std::string& text) {
    if (list < 0 || list >= kListCount) return false;
    auto* item = new ComboItem{value, text};
    if (lists_[static_cast<std::size_t>(list)].Append(item) == nullptr) {
        delete item;
        return false;
    }
    return true;
}

void SkinnedComboBox::ClearItems(int list) {
    if (list < 0 || list >= kListCount) return;
    lists_[static_cast<std::size_t>(list)].Clear();
    if (list == activeList_) SelectIndex(-1);
}

bool SkinnedComboBox::SetActiveList(int list) {
    if (list < 0 || list >= kListCount) return false;
    activeList_ = list;
    return true;
}

int SkinnedComboBox::ItemCount(int list) const {
    if (list < 0 || list >= kListCount) return 0;
    return static_cast<int>(lists_[static_cast<std::size_t>(list)].Count());
}

const ComboItem* SkinnedComboBox::ItemAt(int index) const {
    if (index < 0) return nullptr;
    auto* node = lists_[static_cast<std::size_t>(activeList_)].Head();
    for (int i = 0; node != nullptr && i < index; ++i) node = node->next;
    return node != nullptr ? node->data : nullptr;
}

int SkinnedComboBox::OfferedIndexOf(std::uint32_t value) const {
    auto* node = lists_[static_cast<std::size_t>(activeList_)].Head();
    for (int i = 0; node != nullptr && i < kMaxOfferedItems; ++i, node = node->next) {
        if (node->data->value == value) return i;
    }
    return -1;
}

bool SkinnedComboBox::SelectIndex(int index) {
    if (index == -1) {
        selectedIndex_ = -1;
        SetControlValue(-1);
        SetText(QString(), captionLeft_, captionFlags_);
        return true;
    }
    const ComboItem* item = ItemAt(index);
    if (item == nullptr) return false;
    selectedIndex_ = index;
    SetControlValue(static_cast<std::intptr_t>(item->value));
    SetText(prefix_ + QString::fromStdString(item->text), captionLeft_, captionFlags_);
    return true;
}

bool SkinnedComboBox::SelectValue(std::uint32_t value) {
    const int index = OfferedIndexOf(value);
    return index >= 0 && SelectIndex(index);
}

void SkinnedComboBox::SetCaptionLayout(int leftOffset, int drawFlags) {
    captionLeft_ = leftOffset;
    captionFlags_ = drawFlags;
    SetText(Text(), captionLeft_, captionFlags_);
}

void SkinnedComboBox::SetVeto(VetoCallback veto, std::intptr_t userValue) {
    veto_ = std::move(veto);
    vetoUserValue_ = userValue;
}

QRect SkinnedComboBox::DropRect(int rows) const {
    const QRect button(mapToGlobal(QPoint(0, 0)), size());
    const int rowHeight = Is4KLayout() ? 2 * kRowHeight : kRowHeight;
    const int listHeight = rows * rowHeight;
    int top = button.top() + button.height();  // the button's bottom edge
    if (placement_ == Placement::kCentered) {
        top = button.top() - listHeight / 2;
    } else {
        const QScreen* screen =
            this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
        const int screenHeight = screen != nullptr ? screen->availableGeometry().height() : 0;
        if (screenHeight < top + listHeight) top = button.top() - listHeight;
    }
    const int width = dropWidth_ > 0 ? dropWidth_ : button.width();
    return QRect(button.left(), top, width, listHeight);
}

void SkinnedComboBox::OpenDropDown() {
    std::vector<MenuItem> items;
    for (auto* node = lists_[static_cast<std::size_t>(activeList_)].Head();
         node != nullptr && items.size() < kMaxOfferedItems; node = node->next) {
        items.emplace_back();
        AddMenuItem(items, kMenuTopLevel, items.size() - 1, node->data->value, node->data->text);
    }
    const QRect drop = DropRect(static_cast<int>(items.size()));
    SkinnedMenu* menu =
        ShowMenu(this, drop.width(), drop.topLeft(), ConfiguredMenuColors(), ControlId(), items);
    if (menu != nullptr) menu->SetAnchor(this);
    // The open list marks the value the button shows.
    if (menu != nullptr && selectedIndex_ >= 0) {
        menu->SetCurrentValue(static_cast<std::uint32_t>(ControlValue()));
    }
}

void SkinnedComboBox::OnChosen(std::uint32_t value) {
    CloseMenu();
    if (veto_ && veto_(value, vetoUserValue_) == 0) return;
    if (changesOnly_ && static_cast<std::intptr_t>(value) == ControlValue()) return;
    const int index = OfferedIndexOf(value);
    if (index < 0) return;
    SelectIndex(index);
    PostWindowMessage(parentWidget(), WM_COMMAND, static_cast<std::uintptr_t>(ControlId()), 0);
}

bool SkinnedComboBox::event(QEvent* event) {
    if (event->type() == WindowMessageEvent::EventType()) {
        auto* message = static_cast<WindowMessageEvent*>(event);
        if (message->message == kMenuChosenMessage) {
            OnChosen(static_cast<std::uint32_t>(message->wParam));
            return true;
        }
    }
    return SkinnedButton::event(event);
}

void SkinnedComboBox::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void SkinnedComboBox::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void SkinnedComboBox::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || IsLocked()) return;
    ToggleDropDown();
}

void SkinnedComboBox::ToggleDropDown() {
    // Another list was closed by the press that led here; this one opens.
    if (IsMenuOpen() && OpenMenu()->Anchor() == this) {
        CloseMenu();
        return;
    }
    OpenDropDown();
}

void SkinnedComboBox::StepSelection(int step) {
    const int count = std::min(ItemCount(activeList_), kMaxOfferedItems);
    if (count == 0) return;
    const int index = selectedIndex_ < 0 ? (step > 0 ? 0 : count - 1)
                                         : std::clamp(selectedIndex_ + step, 0, count - 1);
    if (index == selectedIndex_) return;
    if (const ComboItem* item = ItemAt(index)) OnChosen(item->value);
}

void SkinnedComboBox::keyPressEvent(QKeyEvent* event) {
    if (IsLocked() || !isEnabled()) return SkinnedButton::keyPressEvent(event);
    const bool alt = (event->modifiers() & Qt::AltModifier) != 0;
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F4:
            ToggleDropDown();
            return;
        case Qt::Key_Down:
            if (alt) {
                ToggleDropDown();
            } else {
                StepSelection(1);
            }
            return;
        case Qt::Key_Up:
            StepSelection(-1);
            return;
        default:
            SkinnedButton::keyPressEvent(event);
    }
}

}  // namespace vantor
