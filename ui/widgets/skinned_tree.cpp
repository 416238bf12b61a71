#include "ui/widgets/skinned_tree.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

#include "ui/widgets/control_accessibility.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/focus_frame.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

constexpr int kWheelRows = 3;
constexpr int kTooltipDelayMs = 1000;
constexpr std::size_t kWalkTextMaxChars = 1024;
constexpr QRgb kDefaultSelectionArgb = 0x96FFFFFF;  // translucent white
constexpr std::uint32_t kDefaultFrameColorRef = 0x646464;

QRect ToQRect(const Rect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// A cell 15 high (30 in the doubled layout), weight 600.
QFont DefaultTreeFont() {
    QFont font(QStringLiteral("MS Shell Dlg"));
    font.setWeight(QFont::DemiBold);  // 600
    return FontForCellHeight(font, Is4KLayout() ? 30 : 15);
}

// Draws `image` centred in `box` at its own size, or shrunk to fit when it is larger.
void DrawCentred(QPainter& painter, const QImage& image, const QRect& box) {
    if (image.isNull() || box.isEmpty()) return;
    QSize size = image.size();
    if (size.width() > box.width() || size.height() > box.height()) {
        size.scale(box.size(), Qt::KeepAspectRatio);
    }
    QRect target(QPoint(0, 0), size);
    target.moveCenter(box.center());
    painter.drawImage(target, image);
}

// A null image for an empty name or a file that is not a picture.
QImage LoadImageFile(const QString& file) {
    return file.isEmpty() ? QImage() : QImage(file);
}

std::string CutToCharacters(const std::string& text, std::size_t maxChars) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters++ == maxChars) return text.substr(0, i);
    }
    return text;
}

}  // namespace

SkinnedTree::SkinnedTree(QWidget* parent)
    : QWidget(parent),
      data_(ListOwnership::kOwnsData,
            [](TreeItemData& itemData) {
                if (itemData.ownsIcon) delete itemData.icon;
            }),
      selectionColor_(QColor::fromRgba(kDefaultSelectionArgb)),
      frameColor_(ColorFromColorRef(kDefaultFrameColorRef)),
      selectedFont_(DefaultTreeFont()),
      font_(DefaultTreeFont()) {
    EnsureControlAccessibility();
    focusFrame_ = new FocusFrameState(this);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    tooltipTimer_.setSingleShot(true);
    tooltipTimer_.setInterval(kTooltipDelayMs);
    connect(&tooltipTimer_, &QTimer::timeout, this, &SkinnedTree::ShowTooltipNow);
}

SkinnedTree::~SkinnedTree() = default;

void SkinnedTree::Create(const QRect& rect, QWidget* parent, int id, const QImage& backgroundSource,
                         const QString& expandedFolderFile, const QString& collapsedFolderFile) {
    if (parent != nullptr && parent != parentWidget()) setParent(parent);
    controlId_ = id;
    setGeometry(rect);
    // Rows, icons and indents double with the fonts in the 4K layout.
    const int scale = Is4KLayout() ? 2 : 1;
    itemHeight_ = 20 * scale;
    margin_ = 2 * scale;
    indent_ = 19 * scale;
    background_ = BackgroundCrop(backgroundSource, rect);
    SetIconBoxSize(18 * scale, std::min(itemHeight_, 18 * scale));
    tooltipActive_ = false;
    iconSpace_ = false;
    expandedFolder_ = LoadImageFile(expandedFolderFile);
    collapsedFolder_ = LoadImageFile(collapsedFolderFile);
    if (scale > 1) {
        expandedFolder_ = ScaledCopy(expandedFolder_, scale);
        collapsedFolder_ = ScaledCopy(collapsedFolder_, scale);
    }
    show();
}

TreeItemId SkinnedTree::AttachData(TreeItemId item, const QImage* icon, bool ownsIcon,
                                   std::uint32_t userValue, std::uint32_t userWord,
                                   int textOffset) {
    auto* itemData =
        new TreeItemData{item, icon, ownsIcon, userValue, userWord, model_.Kind(item), textOffset};
    DataList::Node* node = data_.Append(itemData);
    if (node == nullptr) {
        delete itemData;
        if (ownsIcon) delete icon;
        model_.Delete(item);
        return kNoTreeItem;
    }
    dataByItem_[item] = node;
    return item;
}

TreeItemId SkinnedTree::AddItem(bool folder, TreeItemId parent, bool select, const QImage* icon,
                                bool ownsIcon, std::uint32_t userValue, std::uint32_t userWord,
                                const std::string& text, int textOffset) {
    const TreeItemKind kind = folder ? TreeItemKind::kFolder : TreeItemKind::kLeaf;
    TreeItemId item = model_.Insert(parent, kind, text);
    if (item == kNoTreeItem) {
        if (ownsIcon) delete icon;
        return kNoTreeItem;
    }
    if (AttachData(item, icon, ownsIcon, userValue, userWord, textOffset) == kNoTreeItem) {
        return kNoTreeItem;
    }
    if (select) {
        model_.SetExpanded(parent, true);
        SelectItem(item);
    }
    update();
    return item;
}

TreeItemId SkinnedTree::InsertItem(bool folder, TreeItemId parent, bool select, const QImage* icon,
                                   std::uint32_t userValue, std::uint32_t userWord,
                                   const std::string& text, int textOffset) {
    return AddItem(folder, parent, select, icon, false, userValue, userWord, text, textOffset);
}

TreeItemId SkinnedTree::InsertItem(bool folder, TreeItemId parent, bool select,
                                   const QString& iconFile, std::uint32_t userValue,
                                   std::uint32_t userWord, const std::string& text,
                                   int textOffset) {
    const QImage* icon = nullptr;
    QImage loaded = LoadImageFile(iconFile);
    if (!loaded.isNull()) icon = new QImage(std::move(loaded));
    return AddItem(folder, parent, select, icon, icon != nullptr, userValue, userWord, text,
                   textOffset);
}

TreeItemId SkinnedTree::InsertNextTo(TreeItemId item, bool before, const QImage* icon,
                                     std::uint32_t userValue, std::uint32_t userWord,
                                     const std::string& text) {
    TreeItemId added = model_.InsertNextTo(item, before, text);
    if (added == kNoTreeItem) return kNoTreeItem;
    added = AttachData(added, icon, false, userValue, userWord, 0);
    update();
    return added;
}

bool SkinnedTree::DeleteItem(TreeItemId item) {
    const TreeItemId selected = model_.Selected();
    const std::vector<TreeItemId> removed = model_.Delete(item);
    for (TreeItemId id : removed) {
        auto it = dataByItem_.find(id);
        if (it != dataByItem_.end()) {
            data_.Remove(it->second);
            dataByItem_.erase(it);
        }
        if (id == hovered_) HoverItem(kNoTreeItem);
    }
    ClampScroll();
    update();
    if (model_.Selected() != selected) emit selectionChanged();
    return !removed.empty();
}

void SkinnedTree::DeleteAllItems() {
    const bool hadSelection = model_.Selected() != kNoTreeItem;
    model_.Clear();
    dataByItem_.clear();
    data_.Clear();
    HoverItem(kNoTreeItem);
    firstVisibleRow_ = 0;
    update();
    if (hadSelection) emit selectionChanged();
}

bool SkinnedTree::UpdateItem(TreeItemId item, std::optional<std::uint32_t> userWord,
                             std::optional<std::string> text) {
    TreeItemData* itemData = FindItemData(item);
    if (itemData == nullptr) return false;
    if (userWord) itemData->dwUserWord = *userWord;
    if (text) model_.SetText(item, std::move(*text));
    update();
    return true;
}

bool SkinnedTree::ToggleFolder(TreeItemId item) {
    if (!model_.Toggle(item)) return false;
    ClampScroll();
    update();
    return true;
}

TreeItemId SkinnedTree::FindTopLevelItem(const std::string& text) const {
    const QString wanted = QString::fromStdString(text);
    for (TreeItemId item : model_.Children(kTreeRoot)) {
        if (QString::fromStdString(model_.Text(item)).compare(wanted, Qt::CaseInsensitive) == 0) {
            return item;
        }
    }
    return kNoTreeItem;
}

bool SkinnedTree::WalkChildren(TreeItemId item, bool intoFolders, const ItemVisitor& visit) {
    return model_.WalkChildren(item, intoFolders, [&](TreeItemId child) {
        TreeItemData* itemData = FindItemData(child);
        if (itemData == nullptr) return false;
        return visit(child, *itemData, CutToCharacters(model_.Text(child), kWalkTextMaxChars));
    });
}

TreeItemData* SkinnedTree::FindItemData(TreeItemId item) const {
    auto it = dataByItem_.find(item);
    return it != dataByItem_.end() ? it->second->data : nullptr;
}

void SkinnedTree::SelectItem(TreeItemId item) {
    const TreeItemId before = model_.Selected();
    model_.Select(item);
    update();
    if (model_.Selected() != before) emit selectionChanged();
}

void SkinnedTree::EnsureVisible(TreeItemId item) {
    if (!model_.Contains(item)) return;
    for (TreeItemId parent = model_.Parent(item); parent != kTreeRoot;
         parent = model_.Parent(parent)) {
        model_.SetExpanded(parent, true);
    }
    const auto rows = model_.VisibleRows();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        if (rows[static_cast<std::size_t>(i)].item != item) continue;
        if (i < firstVisibleRow_) firstVisibleRow_ = i;
        const int shown = std::max(1, height() / itemHeight_);
        if (i >= firstVisibleRow_ + shown) firstVisibleRow_ = i - shown + 1;
    }
    ClampScroll();
    update();
}

QRect SkinnedTree::ItemRowRect(TreeItemId item) const {
    const auto rows = model_.VisibleRows();
    for (int i = firstVisibleRow_; i < static_cast<int>(rows.size()); ++i) {
        if (rows[static_cast<std::size_t>(i)].item == item) {
            return QRect(0, (i - firstVisibleRow_) * itemHeight_, width(), itemHeight_);
        }
    }
    return {};
}

TreeItemId SkinnedTree::ItemAt(const QPoint& client) const {
    if (client.y() < 0 || !rect().contains(client)) return kNoTreeItem;
    const auto rows = model_.VisibleRows();
    const std::size_t row =
        static_cast<std::size_t>(firstVisibleRow_ + client.y() / std::max(1, itemHeight_));
    return row < rows.size() ? rows[row].item : kNoTreeItem;
}

void SkinnedTree::SetBackgroundColor(const QColor& color) {
    backgroundColor_ = color;
    update();
}

void SkinnedTree::SetSelectionColor(const QColor& color) {
    selectionColor_ = color;
    update();
}

void SkinnedTree::SetHoverColor(const QColor& color) {
    hoverColor_ = color;
    update();
}

void SkinnedTree::SetTextColors(const QColor& selected, const QColor& other) {
    selectedTextColor_ = selected;
    textColor_ = other;
    update();
}

void SkinnedTree::SetFonts(const QFont& selected, const QFont& other) {
    selectedFont_ = selected;
    font_ = other;
    update();
}

void SkinnedTree::SetFrameColor(std::uint32_t colorRef) {
    frameColor_ = colorRef != 0 ? ColorFromColorRef(colorRef) : QColor();
    update();
}

void SkinnedTree::SetItemHeight(int height) {
    itemHeight_ = std::max(1, height);
    ClampScroll();
    update();
}

void SkinnedTree::SetIconBoxSize(int width, int height) {
    iconBoxWidth_ = std::max(0, width);
    iconBoxHeight_ = std::max(0, height);
    update();
}

void SkinnedTree::SetHoverHighlight(bool on) {
    hoverHighlight_ = on;
    update();
}

void SkinnedTree::SetDebugFrame(bool on) {
    debugFrame_ = on;
    update();
}

void SkinnedTree::SetIconSpace(bool on) {
    iconSpace_ = on;
    update();
}

int SkinnedTree::VisibleRowCount() const {
    return static_cast<int>(model_.VisibleRows().size());
}

void SkinnedTree::ClampScroll() {
    const int shown = std::max(1, height() / std::max(1, itemHeight_));
    firstVisibleRow_ = std::clamp(firstVisibleRow_, 0, std::max(0, VisibleRowCount() - shown));
}

void SkinnedTree::PostNotification(std::uint32_t message, TreeItemId hit) {
    if (message == 0) return;
    PostWindowMessage(parentWidget(), message, static_cast<std::uintptr_t>(controlId_),
                      static_cast<std::intptr_t>(hit));
}

void SkinnedTree::ApplyClick(const TreeClickAction& action, TreeItemId hit) {
    if (action.takeFocus) setFocus(Qt::MouseFocusReason);
    if (action.toggle) ToggleFolder(hit);
    PostNotification(action.message, hit);
}

void SkinnedTree::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (!userInput_ || event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    const TreeItemId hit = ItemAt(pos);
    const TreeItemId previous = model_.Selected();
    SelectItem(hit);
    bool onButtonOrIndent = false;
    if (hit != kNoTreeItem) onButtonOrIndent = pos.x() < TextLeft(model_.Depth(hit));
    ApplyClick(LeftButtonDownAction(model_, hit, onButtonOrIndent, previous, repeatClick_), hit);
}

void SkinnedTree::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (!userInput_ || event->button() != Qt::LeftButton) return;
    const TreeItemId hit = ItemAt(event->position().toPoint());
    SelectItem(hit);
    ApplyClick(DoubleClickAction(model_, hit), hit);
}

void SkinnedTree::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (!userInput_ || event->button() != Qt::RightButton) return;
    const TreeItemId hit = ItemAt(event->position().toPoint());
    SelectItem(hit);
    ApplyClick(RightButtonUpAction(), hit);
}

void SkinnedTree::mouseMoveEvent(QMouseEvent* event) {
    HoverItem(ItemAt(event->position().toPoint()));
}

void SkinnedTree::leaveEvent(QEvent* event) {
    HoverItem(kNoTreeItem);
    QWidget::leaveEvent(event);
}

void SkinnedTree::HoverItem(TreeItemId item) {
    if (item == hovered_) return;
    if (item != kNoTreeItem) {
        tooltipActive_ = false;
        tooltipTimer_.stop();
        QToolTip::hideText();
        const std::string& text = model_.Text(item);
        if (TreeTextNeedsTooltip(text)) {
            setFocus(Qt::MouseFocusReason);
            tooltipText_ = QString::fromStdString(text);
            tooltipActive_ = true;
            tooltipTimer_.start();
        }
    }
    hovered_ = item;
    if (hoverHighlight_) update();
}

void SkinnedTree::ShowTooltipNow() {
    if (tooltipActive_ && hovered_ != kNoTreeItem) {
        QToolTip::showText(QCursor::pos(), tooltipText_, this);
    }
}

void SkinnedTree::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    firstVisibleRow_ -= steps * kWheelRows;
    ClampScroll();
    update();
    event->accept();
}

TreeItemId SkinnedTree::RowNextTo(TreeItemId item, int step) const {
    const auto rows = model_.VisibleRows();
    if (rows.empty()) return kNoTreeItem;
    int index = -1;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        if (rows[static_cast<std::size_t>(i)].item == item) index = i;
    }
    index = index < 0 ? (step > 0 ? 0 : static_cast<int>(rows.size()) - 1)
                      : std::clamp(index + step, 0, static_cast<int>(rows.size()) - 1);
    return rows[static_cast<std::size_t>(index)].item;
}

void SkinnedTree::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (!userInput_) return;
    const TreeItemId selected = model_.Selected();
    const bool folder = selected != kNoTreeItem && model_.Kind(selected) == TreeItemKind::kFolder;
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const TreeItemId next = RowNextTo(selected, event->key() == Qt::Key_Down ? 1 : -1);
            if (next == kNoTreeItem || next == selected) return;
            SelectItem(next);
            EnsureVisible(next);
            ApplyClick(LeftButtonDownAction(model_, next, false, selected, repeatClick_), next);
            return;
        }
        case Qt::Key_Left:
        case Qt::Key_Right:
            // Right opens a closed folder, Left closes an open one.
            if (folder && model_.IsExpanded(selected) == (event->key() == Qt::Key_Left)) {
                ToggleFolder(selected);
            }
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (selected != kNoTreeItem) ApplyClick(DoubleClickAction(model_, selected), selected);
            return;
        case Qt::Key_Menu:
            ApplyClick(RightButtonUpAction(), selected);
            return;
        case Qt::Key_F10:
            if ((event->modifiers() & Qt::ShiftModifier) != 0) {
                ApplyClick(RightButtonUpAction(), selected);
            }
            return;
        default:
            // Tab and the window's keys go on.
            event->ignore();
    }
}

void SkinnedTree::keyReleaseEvent(QKeyEvent* event) {
    event->ignore();
}

void SkinnedTree::PaintRow(QPainter& painter, const TreeModel::VisibleRow& row, int top) {
    const TreeItemData* itemData = FindItemData(row.item);
    if (itemData == nullptr) return;
    const int bottom = top + itemHeight_;
    const bool selected = row.item == model_.Selected();
    const bool hasIconBox = itemData->icon != nullptr || iconSpace_;
    TreeRowGeometry geometry;
    geometry.textLeft = TextLeft(row.level);
    geometry.top = top;
    geometry.bottom = bottom;
    geometry.clientRight = width();
    geometry.indent = indent_;
    geometry.margin = margin_;
    geometry.iconBoxWidth = iconBoxWidth_;
    geometry.textOffset = itemData->textOffset;
    const TreeRowBoxes boxes = ComputeTreeRowBoxes(itemData->kind, hasIconBox, geometry);

    const QRect fullRow(0, top, width(), itemHeight_);
    if (selected) {
        painter.fillRect(fullRow, selectionColor_);
    } else if (hoverHighlight_ && row.item == hovered_) {
        painter.fillRect(fullRow, hoverColor_);
    }

    if (itemData->kind == TreeItemKind::kFolder) {
        DrawCentred(painter, model_.IsExpanded(row.item) ? expandedFolder_ : collapsedFolder_,
                    ToQRect(boxes.button));
    }
    if (itemData->icon != nullptr && !boxes.icon.IsEmpty()) {
        QRect iconBox = ToQRect(boxes.icon);
        QImage icon = *itemData->icon;
        if (iconBoxWidth_ > 0 && iconBoxHeight_ > 0) {
            icon = icon.scaled(iconBoxWidth_, iconBoxHeight_, Qt::KeepAspectRatio,
                               Qt::SmoothTransformation);
        }
        DrawCentred(painter, icon, iconBox);
    }

    const QRect textBox = ToQRect(boxes.text);
    // The letters keep two margins from the box's left edge: a top-level leaf's box starts
    // at the client edge, under the frame.
    const QRect letters = textBox.adjusted(2 * margin_, 0, 0, 0);
    painter.setFont(selected ? selectedFont_ : font_);
    painter.setPen(selected ? selectedTextColor_ : textColor_);
    DrawFittedText(painter, letters, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   QString::fromStdString(model_.Text(row.item)));

    if (debugFrame_) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QColor(255, 0, 0));
        painter.drawRect(QRect(geometry.textLeft, top, width() - geometry.textLeft, itemHeight_)
                             .adjusted(0, 0, -1, -1));
        painter.setPen(QColor(0, 255, 0));
        painter.drawRect(textBox.adjusted(0, 0, -1, -1));
        if (!boxes.icon.IsEmpty()) {
            painter.setPen(QColor(0, 0, 255));
            painter.drawRect(ToQRect(boxes.icon).adjusted(0, 0, -1, -1));
        }
    }
}

void SkinnedTree::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (!background_.isNull()) {
        painter.drawImage(rect(), background_);
    } else {
        painter.fillRect(rect(), backgroundColor_);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const auto rows = model_.VisibleRows();
    for (int i = firstVisibleRow_; i < static_cast<int>(rows.size()); ++i) {
        const int top = (i - firstVisibleRow_) * itemHeight_;
        if (top >= height()) break;
        PaintRow(painter, rows[static_cast<std::size_t>(i)], top);
    }
    if (frameColor_.isValid()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(frameColor_);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (focusFrame_->Shown()) DrawFocusFrame(painter, rect());
}

}  // namespace vantor
