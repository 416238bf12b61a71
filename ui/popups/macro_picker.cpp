#include "ui/popups/macro_picker.h"

#include <QPainter>

#include "app/config/config.h"
#include "base/message_sink.h"
#include "base/texts.h"
#include "keys/macro_library.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/popup_parts.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_tree.h"

namespace vantor {
namespace {

constexpr QRect kTitleRect = Span(20, 12, 340, 34);
constexpr QRect kCloseRect = Span(360, 12, 382, 34);
constexpr QRect kTreeRect = Span(16, 44, 380, 292);
constexpr QRect kOkRect = Span(210, 302, 290, 322);
constexpr QRect kCancelRect = Span(300, 302, 380, 322);
constexpr QRect kMacroPageRect = Span(16, 302, 146, 329);
constexpr int kTreeId = 1000;
constexpr std::uint32_t kMacroIdMask = 0xFFFFFF;

QString TextOf(const char* key) {
    return QString::fromStdString(Text(key));
}

// Copies the library's folders and macros under `item` into the tree under `parent`.
void CopyItems(const MacroLibrary& library, LibraryItemId item, SkinnedTree& tree,
               TreeItemId parent) {
    for (LibraryItemId child : library.Children(item)) {
        const LibraryItem* entry = library.Item(child);
        if (entry == nullptr) continue;
        if (entry->kind == LibraryItemKind::kFolder) {
            const TreeItemId folder = tree.InsertItem(
                true, parent, false, QString::fromStdString(entry->iconPath), 0, 0, entry->text);
            if (folder != kNoTreeItem) CopyItems(library, child, tree, folder);
        } else {
            tree.InsertItem(false, parent, false, static_cast<const QImage*>(nullptr),
                            entry->macroId & kMacroIdMask, 0, entry->text);
        }
    }
}

}  // namespace

MacroPicker::MacroPicker(const std::string& macroRoot, int macroDir, QWidget* parent)
    : SkinnedPopup(parent) {
    if (!InitSkin(QStringLiteral("msg2_nr.png"))) return;
    const QString exitPicture = QStringLiteral("exit_nr.png");
    const QString buttonPicture = QStringLiteral("button2_nr.png");
    close_ = NewPopupButton(this, exitPicture, kCloseRect, {});
    ok_ = NewPopupButton(this, buttonPicture, kOkRect, TextOf("tc_ok"));
    cancel_ = NewPopupButton(this, buttonPicture, kCancelRect, TextOf("tc_cancel"));
    macroPage_ = NewPopupButton(this, buttonPicture, kMacroPageRect, TextOf("tc_macro_msg5"));
    for (SkinnedButton* button : {close_, cancel_}) {
        if (button != nullptr) connect(button, &SkinnedButton::clicked, this, &QDialog::reject);
    }
    if (ok_ != nullptr) connect(ok_, &SkinnedButton::clicked, this, &MacroPicker::OnOk);
    if (macroPage_ != nullptr) {
        // Wider than the button picture so the caption fits: the picture is stretched.
        macroPage_->SetStretch(true);
        macroPage_->setGeometry(LayoutRect(kMacroPageRect));
        connect(macroPage_, &SkinnedButton::clicked, this, [this] {
            result_ = kPickMacroPage;
            accept();
        });
    }
    FillTree(macroRoot, macroDir);
}

void MacroPicker::FillTree(const std::string& macroRoot, int macroDir) {
    tree_ = new SkinnedTree(this);
    tree_->Create(kTreeRect, this, kTreeId, Background(),
                  SkinPath(QStringLiteral("macro/open.png")),
                  SkinPath(QStringLiteral("macro/close.png")));
    // The selected item keeps the tree's dark text: the light text colour of the skin is
    // unreadable on the light selection.
    tree_->SetTextColors(tree_->SelectedTextColor(), ColorFromColorRef(Options().Txt_clr));
    if (Is4KLayout()) Move4K(tree_);
    MacroLibrary library(macroRoot, macroDir);
    library.LoadLibrary(false);
    CopyItems(library, kLibraryRoot, *tree_, kTreeRoot);
}

int MacroPicker::exec() {
    if (!HasSkin()) return Rejected;
    return SkinnedPopup::exec();
}

void MacroPicker::OnOk() {
    if (tree_ == nullptr) return;
    const TreeItemId selected = tree_->SelectedItem();
    const TreeItemData* item = tree_->FindItemData(selected);
    if (item == nullptr || item->kind != TreeItemKind::kLeaf) {
        ShowSystemMessage(Text("tc_macro_msg1"), "Tips");
        return;
    }
    result_ = static_cast<std::int32_t>(item->dwUserValue & kMacroIdMask);
    accept();
}

void MacroPicker::PaintContent(QPainter& painter) {
    DrawText(painter, LayoutRect(kTitleRect), TextOf("tc_macro_list"),
             ColorFromColorRef(Options().Txt_clr));
}

std::optional<std::int32_t> PickMacro(const std::string& macroRoot, int macroDir, QWidget* parent) {
    MacroPicker dialog(macroRoot, macroDir, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Result();
}

}  // namespace vantor
