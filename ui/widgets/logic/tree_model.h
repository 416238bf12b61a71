// The item structure behind the self-painted tree: folders and leaves under an invisible
// root, their texts, which folders are expanded and which item is selected. Items are named
// by ids that are never reused while the model lives, so a stale id (for example one carried
// by a posted notification) finds nothing instead of another item.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vantor {

using TreeItemId = std::uint32_t;
constexpr TreeItemId kNoTreeItem = 0;
constexpr TreeItemId kTreeRoot = 0xFFFF0000u;

// A folder may not be created under a folder that has this many ancestors or more.
constexpr int kTreeMaxFolderDepth = 5;

enum class TreeItemKind : int {
    kLeaf = 1,
    kFolder = 2,
};

class TreeModel {
  public:
    struct VisibleRow {
        TreeItemId item;
        int level;  // 0 for the root's children
    };

    // Appends a new last child of `parent` (an item or kTreeRoot). Refused (kNoTreeItem) when
    // the parent is neither the root nor a folder, and for a folder whose parent has
    // kTreeMaxFolderDepth or more ancestors.
    TreeItemId Insert(TreeItemId parent, TreeItemKind kind, std::string text);

    // A new leaf beside `item`, under the same parent: after `item`, or with `before` after
    // the item's previous sibling (first when there is none). Refused for no item or the root.
    TreeItemId InsertNextTo(TreeItemId item, bool before, std::string text);

    // Removes the item and everything under it; returns the removed ids, children first.
    std::vector<TreeItemId> Delete(TreeItemId item);
    void Clear();

    bool Contains(TreeItemId item) const;
    // kTreeRoot for a top-level item, kNoTreeItem for an unknown one.
    TreeItemId Parent(TreeItemId item) const;
    // The children of an item or of kTreeRoot in order; empty for an unknown item.
    const std::vector<TreeItemId>& Children(TreeItemId item) const;
    TreeItemId PreviousSibling(TreeItemId item) const;
    // The number of ancestors (0 for a top-level item); -1 for an unknown item or the root.
    int Depth(TreeItemId item) const;
    TreeItemKind Kind(TreeItemId item) const;
    bool IsFolder(TreeItemId item) const { return Kind(item) == TreeItemKind::kFolder; }

    const std::string& Text(TreeItemId item) const;
    bool SetText(TreeItemId item, std::string text);

    bool IsExpanded(TreeItemId item) const;
    void SetExpanded(TreeItemId item, bool expanded);
    // Flips the expanded state of a folder; false for anything else.
    bool Toggle(TreeItemId item);

    TreeItemId Selected() const { return selected_; }
    // Selects an existing item (or nothing with kNoTreeItem).
    void Select(TreeItemId item);

    // Every item whose ancestors are all expanded, in display order.
    std::vector<VisibleRow> VisibleRows() const;

    // Calls `visit` for the children of `item`; with `intoFolders` the content of a child
    // folder is visited before the folder itself. Stops and returns true as soon as `visit`
    // returns true.
    bool WalkChildren(TreeItemId item, bool intoFolders,
                      const std::function<bool(TreeItemId)>& visit) const;

    std::size_t Count() const { return items_.size(); }

  private:
    struct Item {
        TreeItemId parent = kTreeRoot;
        TreeItemKind kind = TreeItemKind::kLeaf;
        bool expanded = false;
        std::string text;
        std::vector<TreeItemId> children;
    };

    const Item* Find(TreeItemId item) const;
    Item* Find(TreeItemId item);
    std::vector<TreeItemId>* ChildList(TreeItemId parent);
    TreeItemId NewItem(TreeItemId parent, TreeItemKind kind, std::string text);
    void CollectSubtree(TreeItemId item, std::vector<TreeItemId>& out) const;
    void AppendVisible(TreeItemId parent, int level, std::vector<VisibleRow>& out) const;

    std::unordered_map<TreeItemId, Item> items_;
    std::vector<TreeItemId> rootChildren_;
    TreeItemId nextId_ = 1;
    TreeItemId selected_ = kNoTreeItem;
};

}  // namespace vantor
