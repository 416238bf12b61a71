#include "ui/widgets/logic/tree_model.h"

#include <algorithm>

namespace vantor {
namespace {
const std::vector<TreeItemId> kNoChildren;
const std::string kNoText;
}  // namespace

const TreeModel::Item* TreeModel::Find(TreeItemId item) const {
    auto it = items_.find(item);
    return it != items_.end() ? &it->second : nullptr;
}

TreeModel::Item* TreeModel::Find(TreeItemId item) {
    auto it = items_.find(item);
    return it != items_.end() ? &it->second : nullptr;
}

std::vector<TreeItemId>* TreeModel::ChildList(TreeItemId parent) {
    if (parent == kTreeRoot) return &rootChildren_;
    Item* item = Find(parent);
    return item != nullptr ? &item->children : nullptr;
}

TreeItemId TreeModel::NewItem(TreeItemId parent, TreeItemKind kind, std::string text) {
    // Ids skip the two reserved values; after four billion insertions they would wrap, which
    // no tree of this program comes near.
    TreeItemId id = nextId_++;
    if (id == kTreeRoot) id = nextId_++;
    if (nextId_ == kNoTreeItem) nextId_ = 1;
    Item item;
    item.parent = parent;
    item.kind = kind;
    item.text = std::move(text);
    items_.emplace(id, std::move(item));
    return id;
}

TreeItemId TreeModel::Insert(TreeItemId parent, TreeItemKind kind, std::string text) {
    if (parent != kTreeRoot) {
        const Item* parentItem = Find(parent);
        if (parentItem == nullptr || parentItem->kind != TreeItemKind::kFolder) return kNoTreeItem;
        if (kind == TreeItemKind::kFolder && Depth(parent) >= kTreeMaxFolderDepth) {
            return kNoTreeItem;
        }
    }
    TreeItemId id = NewItem(parent, kind, std::move(text));
    ChildList(parent)->push_back(id);
    return id;
}

TreeItemId TreeModel::InsertNextTo(TreeItemId item, bool before, std::string text) {
    const Item* existing = Find(item);
    if (existing == nullptr) return kNoTreeItem;
    TreeItemId parent = existing->parent;
    std::vector<TreeItemId>* siblings = ChildList(parent);
    auto position = std::find(siblings->begin(), siblings->end(), item);
    if (position == siblings->end()) return kNoTreeItem;
    // "Before" places the leaf after the previous sibling, that is directly before the item.
    if (!before) ++position;
    TreeItemId id = NewItem(parent, TreeItemKind::kLeaf, std::move(text));
    siblings->insert(position, id);
    return id;
}

void TreeModel::CollectSubtree(TreeItemId item, std::vector<TreeItemId>& out) const {
    for (TreeItemId child : Children(item)) CollectSubtree(child, out);
    out.push_back(item);
}

std::vector<TreeItemId> TreeModel::Delete(TreeItemId item) {
    std::vector<TreeItemId> removed;
    const Item* existing = Find(item);
    if (existing == nullptr) return removed;
    std::vector<TreeItemId>* siblings = ChildList(existing->parent);
    siblings->erase(std::remove(siblings->begin(), siblings->end(), item), siblings->end());
    CollectSubtree(item, removed);
    for (TreeItemId id : removed) {
        items_.erase(id);
        if (id == selected_) selected_ = kNoTreeItem;
    }
    return removed;
}

void TreeModel::Clear() {
    items_.clear();
    rootChildren_.clear();
    selected_ = kNoTreeItem;
}

bool TreeModel::Contains(TreeItemId item) const {
    return Find(item) != nullptr;
}

TreeItemId TreeModel::Parent(TreeItemId item) const {
    const Item* existing = Find(item);
    return existing != nullptr ? existing->parent : kNoTreeItem;
}

const std::vector<TreeItemId>& TreeModel::Children(TreeItemId item) const {
    if (item == kTreeRoot) return rootChildren_;
    const Item* existing = Find(item);
    return existing != nullptr ? existing->children : kNoChildren;
}

TreeItemId TreeModel::PreviousSibling(TreeItemId item) const {
    const std::vector<TreeItemId>& siblings = Children(Parent(item));
    auto position = std::find(siblings.begin(), siblings.end(), item);
    if (position == siblings.end() || position == siblings.begin()) return kNoTreeItem;
    return *(position - 1);
}

int TreeModel::Depth(TreeItemId item) const {
    const Item* existing = Find(item);
    if (existing == nullptr) return -1;
    int depth = 0;
    // Every parent link points at an existing item or the root, so this ends.
    for (TreeItemId parent = existing->parent; parent != kTreeRoot; parent = Parent(parent)) {
        ++depth;
    }
    return depth;
}

TreeItemKind TreeModel::Kind(TreeItemId item) const {
    const Item* existing = Find(item);
    return existing != nullptr ? existing->kind : TreeItemKind::kLeaf;
}

const std::string& TreeModel::Text(TreeItemId item) const {
    const Item* existing = Find(item);
    return existing != nullptr ? existing->text : kNoText;
}

bool TreeModel::SetText(TreeItemId item, std::string text) {
    Item* existing = Find(item);
    if (existing == nullptr) return false;
    existing->text = std::move(text);
    return true;
}

bool TreeModel::IsExpanded(TreeItemId item) const {
    const Item* existing = Find(item);
    return existing != nullptr && existing->expanded;
}

void TreeModel::SetExpanded(TreeItemId item, bool expanded) {
    Item* existing = Find(item);
    if (existing != nullptr && existing->kind == TreeItemKind::kFolder) {
        existing->expanded = expanded;
    }
}

bool TreeModel::Toggle(TreeItemId item) {
    Item* existing = Find(item);
    if (existing == nullptr || existing->kind != TreeItemKind::kFolder) return false;
    existing->expanded = !existing->expanded;
    return true;
}

void TreeModel::Select(TreeItemId item) {
    selected_ = Contains(item) ? item : kNoTreeItem;
}

void TreeModel::AppendVisible(TreeItemId parent, int level, std::vector<VisibleRow>& out) const {
    for (TreeItemId child : Children(parent)) {
        out.push_back({child, level});
        if (IsExpanded(child)) AppendVisible(child, level + 1, out);
    }
}

std::vector<TreeModel::VisibleRow> TreeModel::VisibleRows() const {
    std::vector<VisibleRow> rows;
    AppendVisible(kTreeRoot, 0, rows);
    return rows;
}

bool TreeModel::WalkChildren(TreeItemId item, bool intoFolders,
                             const std::function<bool(TreeItemId)>& visit) const {
    // A copy, so that a visitor may change the tree without invalidating the loop.
    const std::vector<TreeItemId> children = Children(item);
    for (TreeItemId child : children) {
        if (!Contains(child)) continue;
        if (intoFolders && IsFolder(child) && WalkChildren(child, true, visit)) return true;
        if (visit(child)) return true;
    }
    return false;
}

}  // namespace vantor
