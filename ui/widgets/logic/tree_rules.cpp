#include "ui/widgets/logic/tree_rules.h"

namespace vantor {

TreeClickAction LeftButtonDownAction(const TreeModel& model, TreeItemId hit, bool onButtonOrIndent,
                                     TreeItemId previousSelection, bool repeatClickSwitch) {
    TreeClickAction action;
    if (hit == kNoTreeItem) {
        action.message = kTreeLeftClickMessage;
        return action;
    }
    action.takeFocus = true;
    action.toggle = onButtonOrIndent && model.IsFolder(hit);
    // With the repeat-click switch on, clicking the selected item again tells nobody.
    if (!(repeatClickSwitch && hit == previousSelection)) action.message = kTreeLeftClickMessage;
    return action;
}

TreeClickAction DoubleClickAction(const TreeModel& model, TreeItemId hit) {
    TreeClickAction action;
    if (hit == kNoTreeItem) return action;
    action.toggle = model.IsFolder(hit);
    action.message = kTreeDoubleClickMessage;
    return action;
}

TreeClickAction RightButtonUpAction() {
    TreeClickAction action;
    action.message = kTreeRightButtonUpMessage;
    return action;
}

bool TreeTextNeedsTooltip(std::string_view utf8Text) {
    std::size_t characters = 0;
    for (char c : utf8Text) {
        // Continuation bytes (10xxxxxx) do not start a character.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    }
    return characters > kTreeTooltipThreshold;
}

TreeRowBoxes ComputeTreeRowBoxes(TreeItemKind kind, bool showIconBox, const TreeRowGeometry& g) {
    TreeRowBoxes boxes;
    const int textRight = g.clientRight - 5;
    if (kind == TreeItemKind::kFolder) {
        boxes.button = {g.textLeft - g.indent, g.top, g.textLeft, g.bottom};
        if (showIconBox) {
            boxes.icon = {g.textLeft + g.margin, g.top, g.textLeft + g.margin + g.iconBoxWidth,
                          g.bottom};
        }
        const int iconColumn = showIconBox ? 2 * g.margin + g.iconBoxWidth : 0;
        boxes.text = {g.textLeft + g.textOffset + iconColumn, g.top, textRight, g.bottom};
    } else {
        // A leaf's icon takes the column of a folder's image; its text, with or without an
        // icon, starts where the names of its folder siblings start. Starting a leaf without
        // icon in that column put children left of their parent's name.
        if (showIconBox) boxes.icon = {g.textLeft - g.indent, g.top, g.textLeft, g.bottom};
        boxes.text = {g.textLeft + g.textOffset, g.top, textRight, g.bottom};
    }
    return boxes;
}

}  // namespace vantor
