// SkinnedTree: the fully self-painted tree of the macro library and of the macro page's
// event list.
//
// Items are folders and leaves under an invisible root (kTreeRoot) and are named by
// TreeItemId values that are never reused. Each item has one TreeItemData record, kept in an
// owning CMyList; an icon that the tree loaded from a file belongs to the tree and goes with
// the item.
//
// Input: a left press selects the item under the pointer and posts
// kTreeLeftClickMessage (0x594), a double click posts kTreeDoubleClickMessage (0x591) and a
// right-button release posts kTreeRightButtonUpMessage (0x592), each to the parent widget
// with (control id, item under the pointer or 0). With the user-input switch off every mouse
// button is ignored; with the repeat-click switch on (the default) a press on the item that
// is already selected posts nothing. The keyboard does the same: Up and Down select the
// row above or below as a left press would, Right and Left open and close a folder, Enter
// acts as a double click and the Menu key (or Shift+F10) as a right-button release.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "ui/widgets/logic/my_list.h"
#include "ui/widgets/logic/tree_model.h"
#include "ui/widgets/logic/tree_rules.h"

namespace vantor {

class FocusFrameState;

struct TreeItemData {
    TreeItemId hItem = kNoTreeItem;
    const QImage* icon = nullptr;
    bool ownsIcon = false;  // the tree loaded the icon from a file and deletes it
    std::uint32_t dwUserValue = 0;
    std::uint32_t dwUserWord = 0;
    TreeItemKind kind = TreeItemKind::kLeaf;
    int textOffset = 0;  // extra pixels before the text
};

class SkinnedTree : public QWidget {
    Q_OBJECT

  public:
    // Visitor of WalkChildren: return true to stop.
    using ItemVisitor =
        std::function<bool(TreeItemId item, TreeItemData& data, const std::string& text)>;

    explicit SkinnedTree(QWidget* parent = nullptr);
    ~SkinnedTree() override;

    // Places the tree at `rect` in `parent` with control id `id`, backs it with the part of
    // `backgroundSource` under `rect` (none when it is null), and loads the folder images
    // from files (a file that does not load leaves that image empty). Rows are 20 pixels
    // high, 40 in the 4K layout.
    void Create(const QRect& rect, QWidget* parent, int id, const QImage& backgroundSource,
                const QString& expandedFolderFile, const QString& collapsedFolderFile);

    // Appends a folder or a leaf under `parent` (an item or kTreeRoot). Returns kNoTreeItem
    // when refused: a folder under a parent 5 or more levels deep, anything under a leaf.
    // With `select` the parent folder is expanded and the new item becomes the selection.
    // `icon` is not owned and must outlive the item.
    TreeItemId InsertItem(bool folder, TreeItemId parent, bool select, const QImage* icon,
                          std::uint32_t userValue, std::uint32_t userWord, const std::string& text,
                          int textOffset = 0);
    // The same with an icon file that the tree loads and owns (none when it does not load).
    TreeItemId InsertItem(bool folder, TreeItemId parent, bool select, const QString& iconFile,
                          std::uint32_t userValue, std::uint32_t userWord, const std::string& text,
                          int textOffset = 0);
    // A leaf beside `item` under the same parent: after it, or with `before` directly before
    // it. kNoTreeItem for no item or the root.
    TreeItemId InsertNextTo(TreeItemId item, bool before, const QImage* icon,
                            std::uint32_t userValue, std::uint32_t userWord,
                            const std::string& text);

    bool DeleteItem(TreeItemId item);
    void DeleteAllItems();
    bool UpdateItem(TreeItemId item, std::optional<std::uint32_t> userWord,
                    std::optional<std::string> text);
    // Flips a folder between expanded and collapsed.
    bool ToggleFolder(TreeItemId item);
    // The first child of the root whose text equals `text` ignoring letter case.
    TreeItemId FindTopLevelItem(const std::string& text) const;
    // Visits the children of `item` (with `intoFolders`, a folder's content before the
    // folder); texts are cut to 1024 characters. True when the visitor stopped the walk.
    bool WalkChildren(TreeItemId item, bool intoFolders, const ItemVisitor& visit);

    int ItemDepth(TreeItemId item) const { return model_.Depth(item); }
    TreeItemData* FindItemData(TreeItemId item) const;
    const TreeModel& Model() const { return model_; }
    std::string ItemText(TreeItemId item) const { return model_.Text(item); }
    bool IsExpanded(TreeItemId item) const { return model_.IsExpanded(item); }
    TreeItemId SelectedItem() const { return model_.Selected(); }
    void SelectItem(TreeItemId item);
    // Scrolls so that the item's row is visible, expanding its folders.
    void EnsureVisible(TreeItemId item);
    int ControlId() const { return controlId_; }

    // Row of a visible item in client coordinates (full width); empty when not shown.
    QRect ItemRowRect(TreeItemId item) const;
    TreeItemId ItemAt(const QPoint& client) const;

    void SetBackgroundColor(const QColor& color);
    void SetSelectionColor(const QColor& color);
    void SetHoverColor(const QColor& color);
    void SetTextColors(const QColor& selected, const QColor& other);
    // Dark by default, for the light default selection.
    QColor SelectedTextColor() const { return selectedTextColor_; }
    void SetFonts(const QFont& selected, const QFont& other);
    // A COLORREF; 0 draws no frame.
    void SetFrameColor(std::uint32_t colorRef);
    void SetItemHeight(int height);
    void SetIconBoxSize(int width, int height);
    void SetHoverHighlight(bool on);
    void SetDebugFrame(bool on);
    void SetIconSpace(bool on);
    void SetUserInput(bool on) { userInput_ = on; }
    bool UserInput() const { return userInput_; }
    void SetRepeatClick(bool on) { repeatClick_ = on; }

    TreeItemId HoveredItem() const { return hovered_; }
    QString TooltipText() const { return tooltipText_; }
    bool IsTooltipActive() const { return tooltipActive_; }

  signals:
    // The selected item changed (a click, a key, SelectItem, or the selected item went).
    void selectionChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    FocusFrameState* focusFrame_ = nullptr;  // owned by this control
    using DataList = CMyList<TreeItemData>;

    TreeItemId AddItem(bool folder, TreeItemId parent, bool select, const QImage* icon,
                       bool ownsIcon, std::uint32_t userValue, std::uint32_t userWord,
                       const std::string& text, int textOffset);
    TreeItemId AttachData(TreeItemId item, const QImage* icon, bool ownsIcon,
                          std::uint32_t userValue, std::uint32_t userWord, int textOffset);
    int TextLeft(int level) const { return (level + 1) * indent_; }
    int VisibleRowCount() const;
    // The shown row `step` rows from `item` (clamped), or the first or last row.
    TreeItemId RowNextTo(TreeItemId item, int step) const;
    void ClampScroll();
    void ApplyClick(const TreeClickAction& action, TreeItemId hit);
    void PostNotification(std::uint32_t message, TreeItemId hit);
    void HoverItem(TreeItemId item);
    void ShowTooltipNow();
    void PaintRow(QPainter& painter, const TreeModel::VisibleRow& row, int top);

    TreeModel model_;
    DataList data_;
    std::unordered_map<TreeItemId, DataList::Node*> dataByItem_;
    int controlId_ = 0;

    QImage background_;
    QColor backgroundColor_{0, 0, 0};
    QImage expandedFolder_;
    QImage collapsedFolder_;
    QColor selectionColor_;
    QColor hoverColor_{0, 0, 0};
    QColor selectedTextColor_{16, 16, 20};  // dark on the light default selection
    QColor textColor_{220, 220, 220};
    QColor frameColor_;
    QFont selectedFont_;
    QFont font_;

    int itemHeight_ = 20;
    int iconBoxWidth_ = 18;
    int iconBoxHeight_ = 18;
    int margin_ = 2;
    int indent_ = 19;
    int firstVisibleRow_ = 0;

    TreeItemId hovered_ = kNoTreeItem;
    bool hoverHighlight_ = false;
    bool debugFrame_ = false;
    bool iconSpace_ = false;
    bool userInput_ = true;
    bool repeatClick_ = true;

    QString tooltipText_;
    bool tooltipActive_ = false;
    QTimer tooltipTimer_;
};

}  // namespace vantor
