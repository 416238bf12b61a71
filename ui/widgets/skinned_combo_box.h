// SkinnedComboBox: an image button that opens a skinned drop-down (SkinnedMenu) with the items of
// its active list and shows the chosen one as its caption.
//
// The button keeps four item lists of which one is active; at most the first 20 items of
// the active list are offered. A choice passes the optional veto callback and, with the
// changes-only flag, must differ from the current value; then the item becomes the
// selection (caption = prefix + item text, control value = item value) and
// WM_COMMAND (control id, 0) is posted to the parent.
//
// A click toggles the drop-down. From the keyboard, Space, Enter, F4 and Alt+Down open it,
// and Up and Down choose the previous or next item directly (the same veto and message).
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "ui/widgets/logic/my_list.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {

struct ComboItem {
    std::uint32_t value = 0;
    std::string text;
};

class SkinnedComboBox : public SkinnedButton {
    Q_OBJECT

  public:
    static constexpr int kListCount = 4;
    static constexpr int kMaxOfferedItems = 20;
    static constexpr int kRowHeight = 20;

    enum class Placement : int {
        kBelow = 0,     // below the button, or ending at its top near the screen bottom
        kCentered = 1,  // centred on the button's top edge
    };

    // Asked before a choice is taken; returning 0 refuses it.
    using VetoCallback = std::function<int(std::uint32_t value, std::intptr_t userValue)>;

    explicit SkinnedComboBox(QWidget* parent = nullptr);
    ~SkinnedComboBox() override;

    // Appends an item to list `list` (0-3); false for another list number.
    bool AddItem(int list, std::uint32_t value, const std::string& text);
    void ClearItems(int list);
    // Chooses the list that is offered and searched; 0-3.
    bool SetActiveList(int list);
    int ActiveList() const { return activeList_; }
    int ItemCount(int list) const;

    // Selects item `index` of the active list; -1 clears the caption and sets the control
    // value to -1. False (nothing changes) for an index outside the list.
    bool SelectIndex(int index);
    // Selects the first of the first 20 items of the active list that has `value`.
    bool SelectValue(std::uint32_t value);
    int SelectedIndex() const { return selectedIndex_; }

    void SetPrefix(const QString& prefix) { prefix_ = prefix; }
    // Caption placement used for every selection (see SkinnedButton::SetText).
    void SetCaptionLayout(int leftOffset, int drawFlags);
    // Drop-down width; 0 takes the button's width.
    void SetDropWidth(int width) { dropWidth_ = width; }
    void SetPlacement(Placement placement) { placement_ = placement; }
    void SetChangesOnly(bool on) { changesOnly_ = on; }
    void SetVeto(VetoCallback veto, std::intptr_t userValue);

    // Screen rectangle the drop-down opens at for `rows` rows.
    QRect DropRect(int rows) const;

  protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    using ItemList = CMyList<ComboItem>;

    void OpenDropDown();
    // Opens the drop-down, or closes it when it is this button's list that is open.
    void ToggleDropDown();
    // Chooses the item `step` places from the selection, as a choice from the list would.
    void StepSelection(int step);
    void OnChosen(std::uint32_t value);
    // Index of `value` among the first 20 items of the active list, or -1.
    int OfferedIndexOf(std::uint32_t value) const;
    const ComboItem* ItemAt(int index) const;

    std::array<ItemList, kListCount> lists_;
    int activeList_ = 0;
    int selectedIndex_ = -1;
    QString prefix_;
    int captionLeft_ = 0;
    int captionFlags_ = 0;
    int dropWidth_ = 0;
    Placement placement_ = Placement::kBelow;
    bool changesOnly_ = false;
    VetoCallback veto_;
    std::intptr_t vetoUserValue_ = 0;
};

}  // namespace vantor
