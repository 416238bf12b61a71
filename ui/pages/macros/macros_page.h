// MacrosPage: the macro page of the main window. The macro library as a tree on the left,
// the event rows of the selected macro beside it, and the macro's options with the record,
// insert, edit, delete and save buttons on the right. Keys typed while recording become
// press and release rows with the pauses between them.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <optional>

#include "base/store_ui.h"
#include "keys/macro_library.h"
#include "ui/pages/macros/logic/macros_page_rules.h"
#include "ui/pages/settings_page.h"

class QLineEdit;

namespace vantor {

class SkinnedButton;
class SkinnedTree;

class MacrosPage : public SettingsPage, public MacroLibraryEvents {
    Q_OBJECT

  public:
    MacrosPage(QWidget* parent, PageHost& host, const QImage& background);
    ~MacrosPage() override;

    void LoadFromRecord(const ProfileFile* record) override;
    void RefreshTexts() override;
    void Layout4K() override;
    bool IsRecording() const override { return recording_; }

    // Commands, also for tests.
    void OnRecord();
    void OnNewMacro();
    void OnDeleteItem();
    void OnRenameItem();
    void OnImport();
    void OnExport();
    void OnEditRow();
    void OnDeleteRow();
    void OnSave();
    void OnInsertChosen(std::uint32_t value);
    void SelectLibraryItem(LibraryItemId item);
    // The library tree again from the library (after a command or when the page shows).
    void RebuildTree();
    // A key message while recording.
    void RecordKey(std::uint8_t code, bool up);

    // The file dialogs and message windows of the library commands; null gives the real
    // windows. Tests answer them from a script.
    void SetStoreUi(StoreUi* ui) { storeUi_ = ui; }

    SkinnedTree* Tree() const { return tree_; }
    SkinnedTree* EventList() const { return list_; }
    const MacroEditor& Editor() const { return editor_; }
    SkinnedButton* SaveButton() const { return save_; }
    SkinnedButton* RenameButton() const { return renameItem_; }
    SkinnedButton* DeleteItemButton() const { return deleteItem_; }
    SkinnedButton* EditRowButton() const { return editRow_; }
    SkinnedButton* DeleteRowButton() const { return deleteRow_; }
    QLineEdit* CountEdit() const { return count_; }
    std::uint32_t ShownMacroId() const { return shownMacro_; }

    // MacroLibraryEvents.
    void ShowMacro(std::uint32_t id, bool saveButtonShown) override;
    void MacroSaveFailed(std::uint32_t id) override;
    void ClearEditor() override;
    void MacroReplaced(std::uint32_t id) override;
    void MacroNamesChanged() override;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    SkinnedButton* NewButton(const QString& picture, const QRect& rect, void (MacrosPage::*slot)());
    SkinnedButton* NewOption(const QString& picture, const QRect& rect, int group);
    LibraryItemId SelectedLibraryItem() const;
    // Rename and Delete need a selected library item, Edit and Delete of the event list a
    // selected event: they are enabled only while there is one.
    void EnableSelectionButtons();
    MacroRecord* ShownRecord();
    std::optional<int> SelectedRow() const;
    void FillList(std::optional<int> select);
    void ShowRecordOptions(const MacroRecord& record);
    void MarkChanged(std::uint32_t bits);
    void SetMode(int mode);
    // True (after the message) while recording.
    bool RefusedWhileRecording();
    void OpenInsertMenu(QPoint topLeft, bool withMoreButtons);
    void InsertKeyRow(bool press);
    void InsertDelayRow();
    void InsertMoveRow();
    // Dragging a macro onto a folder (or empty space: the root) moves it there.
    void DragOnTree(QEvent* event);
    StoreUi& Files();

    MacroEditor editor_;
    bool recording_ = false;
    QElapsedTimer clock_;
    std::uint32_t shownMacro_ = 0;  // 0: no macro shown
    LibraryItemId shownItem_ = kLibraryRoot;
    int mode_ = 0;
    QPoint dragStart_;
    LibraryItemId dragItem_ = kLibraryRoot;

    SkinnedTree* tree_ = nullptr;
    SkinnedTree* list_ = nullptr;
    SkinnedButton* record_ = nullptr;
    SkinnedButton* newMacro_ = nullptr;
    SkinnedButton* deleteItem_ = nullptr;
    SkinnedButton* renameItem_ = nullptr;
    SkinnedButton* editRow_ = nullptr;
    SkinnedButton* deleteRow_ = nullptr;
    SkinnedButton* save_ = nullptr;
    SkinnedButton* insert_ = nullptr;
    SkinnedButton* modes_[3] = {};
    SkinnedButton* auto_ = nullptr;
    QLineEdit* count_ = nullptr;

    std::unique_ptr<StoreUi> windowStoreUi_;
    StoreUi* storeUi_ = nullptr;
};

}  // namespace vantor
