#include "ui/pages/macros/macros_page.h"

#include <QGuiApplication>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <array>
#include <utility>

#include "app/config/config.h"
#include "base/texts.h"
#include "profile/set_flags.h"
#include "ui/popups/message_window.h"
#include "ui/popups/movement_window.h"
#include "ui/popups/store_dialogs.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/popup_parts.h"
#include "ui/widgets/qt_key_to_vk.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_menu.h"
#include "ui/widgets/skinned_tree.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

constexpr int kTreeId = 1101;
constexpr int kListId = 1102;
constexpr int kAllButtons = 255;
constexpr std::uint32_t kMacroIdMask = 0xFFFFFF;

// Menu values: the key rows, a delay, and the mouse buttons by code (0xF0-0xF4).
constexpr std::uint32_t kInsertPress = 1;
constexpr std::uint32_t kInsertRelease = 2;
constexpr std::uint32_t kInsertDelay = 3;
constexpr std::uint32_t kEditRowItem = 4;
constexpr std::uint32_t kDeleteRowItem = 5;
constexpr std::uint32_t kInsertSubMenu = 6;
constexpr std::uint32_t kRenameItem = 7;
constexpr std::uint32_t kNewMacroItem = 8;
constexpr std::uint32_t kDeleteItemItem = 9;
constexpr std::uint32_t kImportItem = 10;
constexpr std::uint32_t kExportItem = 11;
constexpr std::uint32_t kInsertMove = 12;
constexpr std::intptr_t kInsertMenuUser = 1;

constexpr QRect kDefaultTreeRect = Span(20, 36, 300, 470);
constexpr QRect kDefaultListRect = Span(320, 36, 640, 470);
constexpr int kButtonW = 88;
constexpr int kButtonH = 27;
constexpr int kDefaultOptX = 756;
constexpr int kOptW = 300;

QString TextOf(const char* key) {
    return QString::fromStdString(Text(key));
}

QRect ConfiguredRect(const Rect& configured, const QRect& fallback) {
    if (configured.IsEmpty()) return fallback;
    return Span(configured.left, configured.top, configured.right, configured.bottom);
}

QRect TreeRect() {
    return ConfiguredRect(Options().rcMacroList, kDefaultTreeRect);
}

QRect ListRect() {
    return ConfiguredRect(Options().rcKeyList, kDefaultListRect);
}

int OptX() {
    return Options().MacroOptX > 0 ? Options().MacroOptX : kDefaultOptX;
}

QPoint RecordPoint() {
    const Point& p = Options().ptRecord;
    return p.x != 0 || p.y != 0 ? QPoint(p.x, p.y) : QPoint(OptX(), 54);
}

// The options panel hangs below the record button.
int OptTop() {
    return RecordPoint().y() + 40;
}

QRect OptionRect(int row) {
    return QRect(OptX(), OptTop() + 74 + row * 26, 14, 14);
}

QRect OptionTextRect(int row) {
    return QRect(OptX() + 20, OptTop() + 74 + row * 26 - 4, kOptW - 20, 22);
}

QRect InsertLabelRect() {
    return QRect(OptX(), OptTop(), kOptW, 22);
}

QRect InsertRect() {
    return QRect(OptX(), OptTop() + 24, 147, 30);
}

QRect CountRect() {
    return QRect(OptX() + 20, OptTop() + 74 + 3 * 26 - 4, 60, 22);
}

QRect SaveRect() {
    return QRect(OptX(), OptTop() + 74 + 5 * 26 + 10, 150, kButtonH);
}

QRect TitleAbove(const QRect& box) {
    return QRect(box.left(), box.top() - 28, box.width() + 60, 24);
}

// The code of a captured single key: the key, or the first left modifier held.
std::optional<std::uint8_t> CapturedCode(const KeyCombination& combination) {
    if (combination.keys[0] != 0) return combination.keys[0];
    const std::pair<std::uint8_t, std::uint8_t> modifiers[] = {
        {kLeftCtrlBit, 0xA2}, {kLeftShiftBit, 0xA0}, {kLeftAltBit, 0xA4}, {kLeftWinBit, 0x5B}};
    for (const auto& [bit, code] : modifiers) {
        if ((combination.modifiers & bit) != 0) return code;
    }
    return std::nullopt;
}

}  // namespace

MacrosPage::MacrosPage(QWidget* parent, PageHost& host, const QImage& background)
    : SettingsPage(parent, host, background), windowStoreUi_(std::make_unique<StoreDialogs>(this)) {
    clock_.start();
    tree_ = new SkinnedTree(this);
    tree_->Create(TreeRect(), this, kTreeId, background, SkinPath(QStringLiteral("macro/open.png")),
                  SkinPath(QStringLiteral("macro/close.png")));
    tree_->SetTextColors(tree_->SelectedTextColor(), ColorFromColorRef(Options().Txt_clr));
    tree_->SetFrameColor(Options().clrMacFrame);
    list_ = new SkinnedTree(this);
    list_->Create(ListRect(), this, kListId, background, {}, {});
    list_->SetTextColors(list_->SelectedTextColor(), ColorFromColorRef(Options().Txt_clr));
    list_->SetFrameColor(Options().clrMacFrame);
    list_->SetIconSpace(true);

    const QString button = QStringLiteral("button2_nr.png");
    const int treeBottom = TreeRect().bottom() + 10;
    newMacro_ = NewButton(button, QRect(TreeRect().left(), treeBottom, kButtonW, kButtonH),
                          &MacrosPage::OnNewMacro);
    renameItem_ =
        NewButton(button, QRect(TreeRect().left() + kButtonW + 8, treeBottom, kButtonW, kButtonH),
                  &MacrosPage::OnRenameItem);
    deleteItem_ = NewButton(
        button, QRect(TreeRect().left() + 2 * (kButtonW + 8), treeBottom, kButtonW, kButtonH),
        &MacrosPage::OnDeleteItem);
    const int listBottom = ListRect().bottom() + 10;
    editRow_ = NewButton(button, QRect(ListRect().left(), listBottom, kButtonW, kButtonH),
                         &MacrosPage::OnEditRow);
    deleteRow_ =
        NewButton(button, QRect(ListRect().left() + kButtonW + 8, listBottom, kButtonW, kButtonH),
                  &MacrosPage::OnDeleteRow);
    record_ = NewButton(button, QRect(RecordPoint(), QSize(150, kButtonH)), &MacrosPage::OnRecord);
    save_ = NewButton(button, SaveRect(), &MacrosPage::OnSave);
    insert_ = NewButton(QStringLiteral("combo_nr.png"), InsertRect(), nullptr);
    if (insert_ != nullptr) {
        connect(insert_, &SkinnedButton::clicked, this, [this] {
            OpenInsertMenu(insert_->mapToGlobal(QPoint(0, insert_->height())), false);
        });
    }
    for (int i = 0; i < 3; ++i) {
        modes_[i] = NewOption(QStringLiteral("radio"), OptionRect(i), 1);
        if (modes_[i] != nullptr) {
            static constexpr int kModeOfRadio[3] = {0, 2, 1};
            connect(modes_[i], &SkinnedButton::clicked, this, [this, i] {
                if (RefusedWhileRecording()) {
                    SetMode(mode_);
                    return;
                }
                SetMode(kModeOfRadio[i]);
                MarkChanged(kMacroSettingsChanged);
            });
        }
    }
    auto_ = NewOption(QStringLiteral("check"), OptionRect(4), 0);
    if (auto_ != nullptr) {
        connect(auto_, &SkinnedButton::clicked, this, [this] {
            if (RefusedWhileRecording()) {
                auto_->SetCheck(!auto_->GetCheck());
                return;
            }
            MarkChanged(kMacroSettingsChanged);
        });
    }
    count_ = CreatePopupEdit(this, CountRect(), 3);
    count_->setValidator(new QIntValidator(-999, 999, count_));
    connect(count_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const std::string clamped = ClampLoopCountText(text.toStdString());
        if (clamped != text.toStdString()) {
            count_->setText(QString::fromStdString(clamped));
            count_->end(false);
        }
        MarkChanged(kMacroSettingsChanged);
    });
    if (save_ != nullptr) save_->hide();
    connect(tree_, &SkinnedTree::selectionChanged, this, &MacrosPage::EnableSelectionButtons);
    connect(list_, &SkinnedTree::selectionChanged, this, &MacrosPage::EnableSelectionButtons);
    EnableSelectionButtons();
    RefreshTexts();
    Host().Macros().SetEvents(this);
    SetMode(0);
    tree_->installEventFilter(this);
}

MacrosPage::~MacrosPage() {
    if (recording_) qApp->removeEventFilter(this);
    Host().Macros().SetEvents(nullptr);
}

SkinnedButton* MacrosPage::NewButton(const QString& picture, const QRect& rect,
                                     void (MacrosPage::*slot)()) {
    auto* button = new SkinnedButton(this);
    button->LoadImages(picture, {}, {});
    button->SetStretch(true);
    button->setGeometry(rect);
    button->SetBackgroundImage(background_.copy(rect));
    button->SetTextColors(ColorFromColorRef(Options().Btn_txt_clr_ov),
                          ColorFromColorRef(Options().Btn_txt_clr_nr),
                          ColorFromColorRef(Options().Btn_txt_clr_dn));
    if (slot != nullptr) connect(button, &SkinnedButton::clicked, this, slot);
    return button;
}

SkinnedButton* MacrosPage::NewOption(const QString& picture, const QRect& rect, int group) {
    auto* button = new SkinnedButton(this);
    button->LoadImages(picture + "_nr.png", {}, picture + "_dn.png");
    button->SetPressedAltImage(LoadSkinImage(picture + "_dn.png"));
    button->setGeometry(rect);
    button->SetBackgroundImage(background_.copy(rect));
    if (group != 0) {
        button->SetRadio(group);
    } else {
        button->SetCheckMode(true);
    }
    return button;
}

void MacrosPage::RefreshTexts() {
    if (record_ != nullptr)
        record_->SetText(TextOf(recording_ ? "tc_macro_stop" : "tc_macro_start"));
    if (newMacro_ != nullptr) newMacro_->SetText(TextOf("tc_macro_msg5"));
    if (renameItem_ != nullptr) renameItem_->SetText(TextOf("tc_macro_msg20"));
    if (deleteItem_ != nullptr) deleteItem_->SetText(TextOf("tc_macro_msg10"));
    if (editRow_ != nullptr) editRow_->SetText(TextOf("tc_macro_msg7"));
    if (deleteRow_ != nullptr) deleteRow_->SetText(TextOf("tc_macro_msg10"));
    if (save_ != nullptr) save_->SetText(TextOf("tc_macro_msg19"));
    if (insert_ != nullptr) insert_->SetText(TextOf("tc_macro_loop"));
    tree_->setAccessibleName(TextOf("tc_macro_list"));
    list_->setAccessibleName(TextOf("tc_macro_key_list"));
    if (count_ != nullptr) count_->setAccessibleName(TextOf("tc_macro_loop1"));
    // The options are named by the captions painted beside them.
    static constexpr std::array<const char*, 3> kModeNames = {"tc_macro_loop1", "tc_macro_loop2",
                                                              "tc_macro_loop3"};
    for (std::size_t i = 0; i < kModeNames.size(); ++i) {
        if (modes_[i] != nullptr) modes_[i]->setAccessibleName(TextOf(kModeNames[i]));
    }
    if (auto_ != nullptr) auto_->setAccessibleName(TextOf("tc_macro_auto"));
    FillList(SelectedRow());
    update();
}

void MacrosPage::Layout4K() {
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        // The repeat count box was placed at the doubled size when it was made.
        if (widget != nullptr && widget != count_) Move4K(widget);
    }
    list_->SetItemHeight(38);
}

void MacrosPage::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    painter.drawImage(rect(), background_);
    painter.setPen(ColorFromColorRef(Options().Txt_clr));
    auto draw = [&](QRect box, const char* key) {
        if (Is4KLayout()) box = Doubled(box);
        DrawFittedText(painter, box, Qt::AlignLeft | Qt::AlignVCenter, TextOf(key));
    };
    painter.setFont(TitleFont());
    draw(kPageTitleRect, "tc_page3");
    painter.setFont(WindowFont());
    draw(TitleAbove(TreeRect()), "tc_macro_list");
    draw(TitleAbove(ListRect()), "tc_macro_key_list");
    draw(InsertLabelRect(), "tc_macro_loop");
    draw(OptionTextRect(0), "tc_macro_loop1");
    draw(OptionTextRect(1), "tc_macro_loop2");
    draw(OptionTextRect(2), "tc_macro_loop3");
    draw(OptionTextRect(4), "tc_macro_auto");
}

void MacrosPage::showEvent(QShowEvent* event) {
    SettingsPage::showEvent(event);
    RebuildTree();
}

void MacrosPage::LoadFromRecord(const ProfileFile* record) {
    (void)record;
    if (isVisible() && !recording_) RebuildTree();
}

// ---- Library tree ----

void MacrosPage::RebuildTree() {
    const LibraryItemId selected = SelectedLibraryItem();
    MacroLibrary& library = Host().Macros();
    tree_->DeleteAllItems();
    TreeItemId toSelect = kNoTreeItem;
    std::function<void(LibraryItemId, TreeItemId)> copy = [&](LibraryItemId item,
                                                              TreeItemId parent) {
        for (LibraryItemId child : library.Children(item)) {
            const LibraryItem* entry = library.Item(child);
            if (entry == nullptr) continue;
            const bool folder = entry->kind == LibraryItemKind::kFolder;
            const TreeItemId id =
                folder
                    ? tree_->InsertItem(true, parent, false,
                                        QString::fromStdString(entry->iconPath), 0, child,
                                        entry->text)
                    : tree_->InsertItem(false, parent, false, static_cast<const QImage*>(nullptr),
                                        entry->macroId & kMacroIdMask, child, entry->text);
            if (id == kNoTreeItem) continue;
            if (child == selected || (selected == kLibraryRoot && child == shownItem_)) {
                toSelect = id;
            }
            if (folder) copy(child, id);
        }
    };
    copy(kLibraryRoot, kTreeRoot);
    if (toSelect != kNoTreeItem) {
        tree_->SelectItem(toSelect);
        tree_->EnsureVisible(toSelect);
    }
}

void MacrosPage::EnableSelectionButtons() {
    const bool item = SelectedLibraryItem() != kLibraryRoot;
    const bool row = SelectedRow().has_value();
    for (SkinnedButton* button : {renameItem_, deleteItem_}) {
        if (button != nullptr) button->setEnabled(item);
    }
    for (SkinnedButton* button : {editRow_, deleteRow_}) {
        if (button != nullptr) button->setEnabled(row);
    }
}

LibraryItemId MacrosPage::SelectedLibraryItem() const {
    const TreeItemData* itemData = tree_->FindItemData(tree_->SelectedItem());
    return itemData == nullptr ? kLibraryRoot : itemData->dwUserWord;
}

void MacrosPage::SelectLibraryItem(LibraryItemId item) {
    const LibraryItem* entry = Host().Macros().Item(item);
    if (save_ != nullptr) save_->hide();
    if (entry == nullptr || entry->kind != LibraryItemKind::kMacro) {
        shownMacro_ = 0;
        shownItem_ = item;
        editor_.Clear();
        FillList(std::nullopt);
        return;
    }
    shownItem_ = item;
    ShowMacro(entry->macroId, false);
}

MacroRecord* MacrosPage::ShownRecord() {
    return shownMacro_ == 0 ? nullptr : Host().Macros().Macros().FindById(shownMacro_);
}

void MacrosPage::ShowMacro(std::uint32_t id, bool saveButtonShown) {
    shownMacro_ = id;
    if (auto item = Host().Macros().FindMacroItem(id)) shownItem_ = *item;
    MacroRecord* record = ShownRecord();
    if (record == nullptr) {
        ClearEditor();
        return;
    }
    ShowRecordOptions(*record);
    editor_.SetRows(RowsFromRecord(*record));
    FillList(std::nullopt);
    if (save_ != nullptr) save_->setVisible(saveButtonShown);
    if (isVisible()) RebuildTree();
}

void MacrosPage::ShowRecordOptions(const MacroRecord& record) {
    SetMode(static_cast<int>(record.dwLoopMode));
    if (mode_ == 0) count_->setText(QString::number(std::max<int>(record.nLoopCount, 1)));
    if (auto_ != nullptr) auto_->SetCheck(record.dwAuto != 0);
}

void MacrosPage::SetMode(int mode) {
    mode_ = mode == 1 || mode == 2 ? mode : 0;
    static constexpr int kRadioOfMode[3] = {0, 2, 1};
    for (int i = 0; i < 3; ++i) {
        if (modes_[i] != nullptr) modes_[i]->SetCheck(i == kRadioOfMode[mode_]);
    }
    if (mode_ == 0 && count_->text().isEmpty()) count_->setText(QStringLiteral("1"));
    count_->setVisible(mode_ == 0 && !recording_);
}

void MacrosPage::ClearEditor() {
    shownMacro_ = 0;
    editor_.Clear();
    FillList(std::nullopt);
    if (save_ != nullptr) save_->hide();
}

void MacrosPage::MacroReplaced(std::uint32_t id) {
    if ((id & kMacroIdMask) == (shownMacro_ & kMacroIdMask)) ClearEditor();
}

void MacrosPage::MacroNamesChanged() {
    Host().RefreshPages();
    Host().ApplyChange(SET_KEY, kAllButtons);
}

// ---- Event list ----

std::optional<int> MacrosPage::SelectedRow() const {
    const TreeItemData* itemData = list_->FindItemData(list_->SelectedItem());
    if (itemData == nullptr) return std::nullopt;
    return static_cast<int>(itemData->dwUserValue);
}

void MacrosPage::FillList(std::optional<int> select) {
    static const QImage pressIcon = LoadSkinImage(QStringLiteral("mac_d.png"));
    static const QImage releaseIcon = LoadSkinImage(QStringLiteral("mac_u.png"));
    static const QImage delayIcon = LoadSkinImage(QStringLiteral("mac_t.png"));
    static const QImage moveIcon = LoadSkinImage(QStringLiteral("mac_m.png"));
    list_->DeleteAllItems();
    const auto& rows = editor_.Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MacroEditorRow& row = rows[i];
        const QImage* icon = row.kind == kMacroRowPress     ? &pressIcon
                             : row.kind == kMacroRowRelease ? &releaseIcon
                             : row.kind == kMacroRowDelay   ? &delayIcon
                                                            : &moveIcon;
        const TreeItemId id = list_->InsertItem(false, kTreeRoot, false, icon,
                                                static_cast<std::uint32_t>(i), row.value, row.text);
        if (select && *select == static_cast<int>(i)) {
            list_->SelectItem(id);
            list_->EnsureVisible(id);
        }
    }
}

void MacrosPage::MarkChanged(std::uint32_t bits) {
    MacroRecord* record = ShownRecord();
    if (record == nullptr) return;
    record->dwState = record->dwState | bits;
    if (save_ != nullptr) save_->show();
}

bool MacrosPage::RefusedWhileRecording() {
    if (!recording_) return false;
    Host().ShowText(Text("tc_macro_msg17"));
    return true;
}

// ---- Recording ----

void MacrosPage::OnRecord() {
    if (recording_) {
        recording_ = false;
        qApp->removeEventFilter(this);
        record_->SetText(TextOf("tc_macro_start"));
        tree_->SetUserInput(true);
        count_->setVisible(mode_ == 0);
        MarkChanged(kMacroChangedBoth);
        return;
    }
    if (ShownRecord() == nullptr) {
        Host().ShowText(Text("tc_macro_msg1"));
        return;
    }
    editor_.StartRecording();
    FillList(std::nullopt);
    recording_ = true;
    record_->SetText(TextOf("tc_macro_stop"));
    tree_->SetUserInput(false);
    count_->hide();
    // Before the main window's filter and the focused control: every key is recorded.
    qApp->installEventFilter(this);
    setFocus();
}

bool MacrosPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tree_ && !recording_) {
        DragOnTree(event);
        return false;
    }
    if (!recording_ || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != window()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // Escape ends the recording, so it needs no mouse; an Escape for the macro itself is
    // inserted from the insert list.
    if (key->key() == Qt::Key_Escape) {
        if (event->type() == QEvent::KeyPress && !key->isAutoRepeat()) OnRecord();
        return true;
    }
    // A held key repeats as release and press pairs; only the first press counts.
    if (!key->isAutoRepeat()) {
        const std::uint8_t code = VkFromKeyEvent(*key);
        if (code != 0) RecordKey(code, event->type() == QEvent::KeyRelease);
    }
    return true;
}

void MacrosPage::RecordKey(std::uint8_t code, bool up) {
    const MacroRecord* record = ShownRecord();
    const bool autoDelay = auto_ != nullptr && auto_->GetCheck();
    (void)record;
    const RecordResult result = editor_.RecordKey(
        code, up, static_cast<std::uint64_t>(clock_.elapsed()), autoDelay, Options().MinUIDelay);
    if (result == RecordResult::kFull) {
        Host().ShowText(Text("tc_macro_msg18"));
        return;
    }
    if (result == RecordResult::kAdded) {
        FillList(static_cast<int>(editor_.Rows().size()) - 1);
    }
}

// ---- Tree commands ----

void MacrosPage::OnNewMacro() {
    if (RefusedWhileRecording()) return;
    StoreUi& ui = Files();
    const LibraryItemId selected = SelectedLibraryItem();
    if (auto item = Host().Macros().NewMacroCommand(selected, ui)) {
        shownItem_ = *item;
        RebuildTree();
    }
}

void MacrosPage::OnRenameItem() {
    if (RefusedWhileRecording()) return;
    const LibraryItemId selected = SelectedLibraryItem();
    if (selected == kLibraryRoot) {
        Host().ShowText(Text("tc_macro_msg1"));
        return;
    }
    StoreUi& ui = Files();
    if (Host().Macros().RenameItem(selected, ui)) RebuildTree();
}

void MacrosPage::OnDeleteItem() {
    if (RefusedWhileRecording()) return;
    StoreUi& ui = Files();
    if (Host().Macros().DeleteItem(SelectedLibraryItem(), ui)) {
        shownItem_ = kLibraryRoot;
        RebuildTree();
    }
}

void MacrosPage::OnImport() {
    if (RefusedWhileRecording()) return;
    StoreUi& ui = Files();
    if (auto item = Host().Macros().ImportMacroFile(SelectedLibraryItem(), ui)) {
        shownItem_ = *item;
        RebuildTree();
        Host().ShowNote(Text("tc_note_macro_import"));
    }
}

void MacrosPage::OnExport() {
    if (RefusedWhileRecording()) return;
    StoreUi& ui = Files();
    // A failure is shown by the library; a success by a short note.
    if (Host().Macros().ExportMacroFile(SelectedLibraryItem(), ui)) {
        Host().ShowNote(Text("tc_note_macro_export"));
    }
}

StoreUi& MacrosPage::Files() {
    return storeUi_ != nullptr ? *storeUi_ : *windowStoreUi_;
}

void MacrosPage::DragOnTree(QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease) {
        return;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return;
    const QPoint at = mouse->position().toPoint();
    const TreeItemData* under = tree_->FindItemData(tree_->ItemAt(at));
    if (event->type() == QEvent::MouseButtonPress) {
        dragStart_ = at;
        dragItem_ = under != nullptr && under->kind == TreeItemKind::kLeaf ? under->dwUserWord
                                                                           : kLibraryRoot;
        return;
    }
    const LibraryItemId dragged = std::exchange(dragItem_, kLibraryRoot);
    if (dragged == kLibraryRoot || (at - dragStart_).manhattanLength() < 8) return;
    MacroLibrary& library = Host().Macros();
    // Dropped on a folder: into it; on a macro: beside it; on empty space: the root.
    LibraryItemId folder = kLibraryRoot;
    if (under != nullptr) {
        const LibraryItem* target = library.Item(under->dwUserWord);
        if (target == nullptr) return;
        folder = target->kind == LibraryItemKind::kFolder ? under->dwUserWord : target->parent;
    }
    const LibraryItem* item = library.Item(dragged);
    if (item == nullptr || item->parent == folder) return;
    StoreUi& ui = Files();
    if (library.MoveMacroItem(dragged, folder, ui)) {
        shownItem_ = dragged;
        // After the tree has handled this release.
        QMetaObject::invokeMethod(
            this, [this] { RebuildTree(); }, Qt::QueuedConnection);
    }
}

// ---- Rows ----

void MacrosPage::OpenInsertMenu(QPoint topLeft, bool withMoreButtons) {
    if (ShownRecord() == nullptr) {
        Host().ShowText(Text("tc_macro_msg1"));
        return;
    }
    std::vector<MenuItem> items;
    items.push_back({kMenuTopLevel, kInsertPress, Text("tc_macro_msg14")});
    items.push_back({kMenuTopLevel, kInsertRelease, Text("tc_macro_msg15")});
    if (!withMoreButtons) items.push_back({kMenuTopLevel, kInsertDelay, Text("tc_macro_msg16")});
    items.push_back({kMenuTopLevel, kInsertMove, Text("tc_adv_str27")});
    const char* names[] = {"tc_click", "tc_menu", "tc_middle", "tc_forward", "tc_back"};
    const int buttons = withMoreButtons ? 5 : 3;
    for (int i = 0; i < buttons; ++i) {
        if ((kMacroEditorButtonMask & (1u << i)) == 0) continue;
        items.push_back({kMenuTopLevel, 0xF0u + static_cast<std::uint32_t>(i), Text(names[i])});
    }
    ShowMenu(this, Is4KLayout() ? 294 : 147, topLeft, ConfiguredMenuColors(), kInsertMenuUser,
             items);
}

void MacrosPage::OnInsertChosen(std::uint32_t value) {
    if (ShownRecord() == nullptr) {
        Host().ShowText(Text("tc_macro_msg1"));
        return;
    }
    if (editor_.IsFull()) {
        Host().ShowText(Text("tc_macro_msg18"));
        return;
    }
    const bool before = Options().InsertBefore == 1;
    std::optional<int> selected;
    if (value == kInsertPress || value == kInsertRelease) {
        InsertKeyRow(value == kInsertPress);
        return;
    }
    if (value == kInsertDelay) {
        InsertDelayRow();
        return;
    }
    if (value == kInsertMove) {
        InsertMoveRow();
        return;
    }
    if (value >= 0xF0 && value <= 0xF4) {
        selected = editor_.InsertButton(SelectedRow(), before, static_cast<std::uint8_t>(value));
        if (!selected) {
            Host().ShowText(Text("tc_macro_msg18"));
            return;
        }
        FillList(selected);
        MarkChanged(kMacroEventsChanged);
    }
}

void MacrosPage::InsertKeyRow(bool press) {
    const auto captured = CaptureKeys(Text("tc_msg7"), true, false, this);
    if (!captured) return;
    const auto code = CapturedCode(*captured);
    if (!code) return;
    const auto row = editor_.InsertKey(SelectedRow(), Options().InsertBefore == 1, *code, press);
    if (!row) return;
    FillList(row);
    MarkChanged(kMacroEventsChanged);
}

void MacrosPage::InsertDelayRow() {
    const auto ms = InputNumber(Text("tc_macro_msg12"), std::max(Options().MinUIDelay, 0), 65535,
                                kNumberInputChars, this);
    if (!ms) return;
    const auto row =
        editor_.InsertDelay(SelectedRow(), Options().InsertBefore == 1, *ms, Options().MinDelay);
    if (!row) return;
    FillList(row);
    MarkChanged(kMacroEventsChanged);
}

void MacrosPage::InsertMoveRow() {
    MovementWindow dialog(this);
    dialog.SetValues(0, 0);
    if (dialog.exec() != QDialog::Accepted) return;
    const auto row =
        editor_.InsertMove(SelectedRow(), Options().InsertBefore == 1, dialog.X(), dialog.Y());
    if (!row) return;  // a movement of 0, 0 moves nothing
    FillList(row);
    MarkChanged(kMacroEventsChanged);
}

void MacrosPage::OnEditRow() {
    if (RefusedWhileRecording()) return;
    const std::optional<int> row = SelectedRow();
    if (!row || *row >= static_cast<int>(editor_.Rows().size())) {
        Host().ShowText(Text("tc_macro_msg1"));
        return;
    }
    const MacroEditorRow current = editor_.Rows()[static_cast<std::size_t>(*row)];
    bool changed = false;
    if (current.kind == kMacroRowDelay) {
        const auto ms =
            InputNumber(Text("tc_macro_msg12"), std::max(Options().MinUIDelay, 0), 65535,
                        kNumberInputChars, this, static_cast<int>(current.value));
        changed = ms && editor_.EditDelay(*row, *ms, Options().MinDelay);
    } else if (current.kind == kMacroRowMove) {
        MovementWindow dialog(this);
        dialog.SetValues(MoveRowX(current.value), MoveRowY(current.value));
        changed =
            dialog.exec() == QDialog::Accepted && editor_.EditMove(*row, dialog.X(), dialog.Y());
    } else {
        const auto captured = CaptureKeys(Text("tc_msg7"), true, false, this);
        const auto code = captured ? CapturedCode(*captured) : std::nullopt;
        changed = code && editor_.EditKey(*row, *code);
    }
    if (!changed) return;
    FillList(row);
    MarkChanged(kMacroEventsChanged);
}

void MacrosPage::OnDeleteRow() {
    if (RefusedWhileRecording()) return;
    const std::optional<int> row = SelectedRow();
    if (!row || !editor_.DeleteRow(*row)) {
        Host().ShowText(Text("tc_macro_msg1"));
        return;
    }
    const int count = static_cast<int>(editor_.Rows().size());
    FillList(count == 0 ? std::nullopt : std::optional<int>(std::min(*row, count - 1)));
    MarkChanged(kMacroEventsChanged);
}

void MacrosPage::OnSave() {
    if (RefusedWhileRecording()) return;
    MacroRecord* record = ShownRecord();
    if (record == nullptr) {
        Host().ShowText(Text("tc_macro_msg1"));
        return;
    }
    if ((record->dwState & kMacroSettingsChanged) != 0) {
        record->dwLoopMode = static_cast<std::uint32_t>(mode_);
        if (mode_ == 0) record->nLoopCount = LoopCountFromText(count_->text().toStdString());
        record->dwAuto = auto_ != nullptr && auto_->GetCheck() ? 1u : 0u;
    }
    if ((record->dwState & kMacroEventsChanged) != 0) {
        std::vector<MacroEditorRow> rows = editor_.Rows();
        TidyMacroRows(rows);
        editor_.SetRows(rows);
        BuildMacroEvents(rows, *record);
        FillList(std::nullopt);
    }
    const std::uint32_t id = record->dwMacroID;
    bool saved = false;
    if (auto item = Host().Macros().FindMacroItem(id)) {
        saved = Host().Macros().Flush_Dirty_Macro(*item);  // a failed write stays marked
    }
    // A macro that could not be written keeps its Save button, so the user can try again.
    if (save_ != nullptr) save_->setVisible(!saved);
    if (saved) Host().ShowNote(Text("tc_macro_msg9"));
    if (const ProfileFile* profile = Host().Record();
        profile != nullptr && IsMacroAssigned(*profile, id & kMacroIdMask)) {
        Host().ApplyChange(SET_KEY, kAllButtons);
    }
}

void MacrosPage::MacroSaveFailed(std::uint32_t id) {
    if (id == shownMacro_ && save_ != nullptr) save_->show();
}

// ---- Notifications ----

bool MacrosPage::event(QEvent* event) {
    if (event->type() != WindowMessageEvent::EventType()) return SettingsPage::event(event);
    const auto* message = static_cast<WindowMessageEvent*>(event);
    const auto control = static_cast<int>(message->wParam);
    const auto item = static_cast<TreeItemId>(message->lParam);
    if (message->message == kMenuChosenMessage) {
        const auto value = static_cast<std::uint32_t>(message->wParam);
        switch (value) {
            case kEditRowItem:
                OnEditRow();
                break;
            case kDeleteRowItem:
                OnDeleteRow();
                break;
            case kRenameItem:
                OnRenameItem();
                break;
            case kNewMacroItem:
                OnNewMacro();
                break;
            case kDeleteItemItem:
                OnDeleteItem();
                break;
            case kImportItem:
                OnImport();
                break;
            case kExportItem:
                OnExport();
                break;
            default:
                OnInsertChosen(value);
                break;
        }
        return true;
    }
    if (control == kTreeId && message->message == kTreeLeftClickMessage) {
        if (RefusedWhileRecording()) return true;
        const TreeItemData* itemData = tree_->FindItemData(item);
        if (itemData != nullptr) SelectLibraryItem(itemData->dwUserWord);
        return true;
    }
    if (control == kTreeId && message->message == kTreeRightButtonUpMessage) {
        if (RefusedWhileRecording()) return true;
        const TreeItemData* itemData = tree_->FindItemData(item);
        // Read before the selection shows the macro: that rebuilds the tree and its items.
        const bool onItem = itemData != nullptr;
        const bool onMacro = onItem && itemData->kind == TreeItemKind::kLeaf;
        const LibraryItemId libraryItem = onItem ? itemData->dwUserWord : kLibraryRoot;
        // On an empty part of the tree the commands work on the root.
        tree_->SelectItem(onItem ? item : kNoTreeItem);
        SelectLibraryItem(libraryItem);
        std::vector<MenuItem> items;
        if (!onMacro) items.push_back({kMenuTopLevel, kNewMacroItem, Text("tc_macro_msg5")});
        if (!onMacro) items.push_back({kMenuTopLevel, kImportItem, Text("tc_macro_msg3")});
        if (onMacro) items.push_back({kMenuTopLevel, kExportItem, Text("tc_macro_msg4")});
        if (onItem) {
            items.push_back({kMenuTopLevel, kRenameItem, Text("tc_macro_msg20")});
            items.push_back({kMenuTopLevel, kDeleteItemItem, Text("tc_macro_msg10")});
        }
        ShowMenu(this, Is4KLayout() ? 294 : 147, QCursor::pos(), ConfiguredMenuColors(), 0, items);
        return true;
    }
    if (control == kListId && message->message == kTreeRightButtonUpMessage) {
        if (RefusedWhileRecording()) return true;
        if (item != kNoTreeItem) list_->SelectItem(item);
        std::vector<MenuItem> items;
        if (item != kNoTreeItem) {
            items.push_back({kMenuTopLevel, kEditRowItem, Text("tc_macro_msg7")});
            items.push_back({kMenuTopLevel, kDeleteRowItem, Text("tc_macro_msg10")});
        }
        if (ShownRecord() != nullptr) {
            items.push_back({kMenuTopLevel, kInsertSubMenu, Text("tc_macro_loop")});
            items.push_back({kInsertSubMenu, kInsertPress, Text("tc_macro_msg14")});
            items.push_back({kInsertSubMenu, kInsertRelease, Text("tc_macro_msg15")});
            items.push_back({kInsertSubMenu, kInsertMove, Text("tc_adv_str27")});
            const char* names[] = {"tc_click", "tc_menu", "tc_middle", "tc_forward", "tc_back"};
            for (std::uint32_t i = 0; i < 5; ++i) {
                items.push_back({kInsertSubMenu, 0xF0 + i, Text(names[i])});
            }
        }
        if (!items.empty()) {
            ShowMenu(this, Is4KLayout() ? 294 : 147, QCursor::pos(), ConfiguredMenuColors(), 0,
                     items);
        }
        return true;
    }
    return true;
}

}  // namespace vantor
