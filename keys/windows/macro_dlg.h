// CMacroDlg: the macro page of the main window. The macro library as a tree on the left,
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
#include "controls/page.h"
#include "keys/macro_library.h"
#include "pages/logic/macro_page_rules.h"

class QLineEdit;

namespace vantor {

class CPngBtn;
class CTreeCtrlEx;

class CMacroDlg : public CPage, public MacroLibraryEvents {
    Q_OBJECT

  public:
    CMacroDlg(QWidget* parent, PageHost& host, const QImage& background);
    ~CMacroDlg() override;

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

    CTreeCtrlEx* Tree() const { return tree_; }
    CTreeCtrlEx* EventList() const { return list_; }
    const MacroEditor& Editor() const { return editor_; }
    CPngBtn* SaveButton() const { return save_; }
    CPngBtn* RenameButton() const { return renameItem_; }
    CPngBtn* DeleteItemButton() const { return deleteItem_; }
    CPngBtn* EditRowButton() const { return editRow_; }
    CPngBtn* DeleteRowButton() const { return deleteRow_; }
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
    CPngBtn* NewButton(const QString& picture, const QRect& rect, void (CMacroDlg::*slot)());
    CPngBtn* NewOption(const QString& picture, const QRect& rect, int group);
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

    CTreeCtrlEx* tree_ = nullptr;
    CTreeCtrlEx* list_ = nullptr;
    CPngBtn* record_ = nullptr;
    CPngBtn* newMacro_ = nullptr;
    CPngBtn* deleteItem_ = nullptr;
    CPngBtn* renameItem_ = nullptr;
    CPngBtn* editRow_ = nullptr;
    CPngBtn* deleteRow_ = nullptr;
    CPngBtn* save_ = nullptr;
    CPngBtn* insert_ = nullptr;
    CPngBtn* modes_[3] = {};
    CPngBtn* auto_ = nullptr;
    QLineEdit* count_ = nullptr;

    std::unique_ptr<StoreUi> windowStoreUi_;
    StoreUi* storeUi_ = nullptr;
};

}  // namespace vantor
