// Rules of the self-painted tree that need no pixels: what a mouse click does, when an item
// gets a tooltip, and where the button, icon and text of an item row are drawn.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/config_values.h"
#include "ui/widgets/logic/tree_model.h"

namespace vantor {

// Notifications posted to the tree's parent with (control id, item under the pointer).
constexpr std::uint32_t kTreeDoubleClickMessage = 0x591;
constexpr std::uint32_t kTreeRightButtonUpMessage = 0x592;
constexpr std::uint32_t kTreeLeftClickMessage = 0x594;

// Texts longer than this many characters are shown in full as a tooltip.
constexpr std::size_t kTreeTooltipThreshold = 12;

struct TreeClickAction {
    bool toggle = false;        // flip the expanded state of the item (a folder)
    bool takeFocus = false;     // the tree takes the keyboard focus
    std::uint32_t message = 0;  // notification to post, 0 for none
};

// Left button down on `hit` (kNoTreeItem for empty space). `onButtonOrIndent` is true when
// the pointer lies left of the item's text, `previousSelection` is the selection before the
// click selected `hit`.
TreeClickAction LeftButtonDownAction(const TreeModel& model, TreeItemId hit, bool onButtonOrIndent,
                                     TreeItemId previousSelection, bool repeatClickSwitch);
TreeClickAction DoubleClickAction(const TreeModel& model, TreeItemId hit);
TreeClickAction RightButtonUpAction();

// Counts characters, not bytes, of UTF-8 text.
bool TreeTextNeedsTooltip(std::string_view utf8Text);

struct TreeRowGeometry {
    int textLeft = 0;  // left edge of the item's text part (after its indent)
    int top = 0;
    int bottom = 0;
    int clientRight = 0;
    int indent = 0;
    int margin = 0;
    int iconBoxWidth = 0;
    int textOffset = 0;
};

struct TreeRowBoxes {
    Rect button;  // folder image; empty for leaves
    Rect icon;    // empty when the item gets no icon box
    Rect text;
};

// `showIconBox`: the item has an icon or the icon-space switch is on. The text of every
// child starts one indent right of its parent's text.
TreeRowBoxes ComputeTreeRowBoxes(TreeItemKind kind, bool showIconBox, const TreeRowGeometry& g);

}  // namespace vantor
