// The macro page inside the main window against the simulated mouse, offscreen.
#include "ui/pages/macros/macros_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/config/config.h"
#include "base/file_io.h"
#include "base/save_failure.h"
#include "base/texts.h"
#include "keys/macro_file.h"
#include "platform/paths.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "tests/keys/scripted_store_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/ui_support/message_answers.h"
#include "tests/ui_support/page_test_host.h"
#include "tests/ui_support/sim_window.h"
#include "tests/ui_support/window_message_log.h"
#include "ui/popups/movement_window.h"
#include "ui/shell/main_window.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_menu.h"
#include "ui/widgets/skinned_tree.h"
#include "ui/widgets/transient_note.h"

namespace vantor {
namespace {

class MacroDlgTest : public ::testing::Test {
  protected:
    MacroDlgTest() {
        EXPECT_TRUE(mouse_.ConfigLoaded());
        MainWindowSetup setup = mouse_.WindowSetup();
        setup.trayAvailable = false;
        window_ = std::make_unique<MainWindow>(setup);
        EXPECT_TRUE(window_->Init());
        // The start goes on (macro library loaded) once the device search has landed.
        QElapsedTimer clock;
        clock.start();
        while (!window_->Started() && clock.elapsed() < 8000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        EXPECT_TRUE(window_->Started());
        window_->SwitchPage(PageId::kMacro);
        page_ = dynamic_cast<MacrosPage*>(window_->Page(PageId::kMacro));
    }
    ~MacroDlgTest() override {
        window_->Session().WaitDeviceWork(8000);
        window_.reset();
    }

    // A saved macro "m" in the library, shown on the page.
    std::uint32_t AddShownMacro() {
        MacroLibrary& library = window_->Macros();
        const MacroRecord record = NewMacro("m");
        EXPECT_TRUE(library.Add_Macro(record));
        page_->RebuildTree();
        const auto item = library.FindMacroItem(record.dwMacroID);
        EXPECT_TRUE(item.has_value());
        page_->SelectLibraryItem(*item);
        return record.dwMacroID;
    }

    // Chooses the row with `text` in the open menu (or its open sub-menu) as a user does.
    static bool ChooseInMenu(const std::string& text) {
        for (SkinnedMenu* menu : {OpenMenu(), OpenMenu() ? OpenMenu()->SubMenu() : nullptr}) {
            if (menu == nullptr) continue;
            for (int row = 0; row < menu->Layout().RowCount(); ++row) {
                if (menu->Layout().RowItem(row).szText != text) continue;
                test::MoveMouse(menu, menu->RowCentre(row));
                test::SendMouse(menu, QEvent::MouseButtonPress, menu->RowCentre(row));
                test::SendMouse(menu, QEvent::MouseButtonRelease, menu->RowCentre(row));
                QCoreApplication::processEvents();
                return true;
            }
        }
        return false;
    }

    // A right click on the tree at `at` (tree coordinates) opens its menu.
    void RightClickTree(QPoint at) {
        test::SendMouse(page_->Tree(), QEvent::MouseButtonPress, at, Qt::RightButton);
        test::SendMouse(page_->Tree(), QEvent::MouseButtonRelease, at, Qt::RightButton);
        QCoreApplication::processEvents();
    }

    void Key(QEvent::Type type, int key) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QCoreApplication::sendEvent(page_, &event);
    }

    test::SimMouseFolder mouse_;
    std::unique_ptr<MainWindow> window_;
    MacrosPage* page_ = nullptr;
};

TEST_F(MacroDlgTest, RecordsKeysUntilStoppedAndSavesThemIntoTheMacroFile) {
    ASSERT_NE(page_, nullptr);
    const std::uint32_t id = AddShownMacro();
    EXPECT_EQ(page_->ShownMacroId(), id);
    page_->OnRecord();
    EXPECT_TRUE(page_->IsRecording());
    Key(QEvent::KeyPress, Qt::Key_Control);
    Key(QEvent::KeyPress, Qt::Key_Control);  // held: one press
    Key(QEvent::KeyPress, Qt::Key_Space);    // the main window swallows Space otherwise
    Key(QEvent::KeyRelease, Qt::Key_Space);
    Key(QEvent::KeyRelease, Qt::Key_Control);
    Key(QEvent::KeyPress, Qt::Key_Escape);  // stops the recording; not recorded
    Key(QEvent::KeyRelease, Qt::Key_Escape);
    EXPECT_FALSE(page_->IsRecording());
    EXPECT_TRUE(page_->SaveButton()->isVisibleTo(page_));
    Key(QEvent::KeyPress, Qt::Key_A);  // not recording: no row
    page_->OnSave();
    EXPECT_FALSE(page_->SaveButton()->isVisibleTo(page_));
    const TransientNote* note = window_->Note();
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), QString::fromStdString(Text("tc_macro_msg9")));

    ASSERT_TRUE(window_->Writer().Flush(8000));  // the file goes through the writer thread
    const MacroFileResult file = ReadMacroFile(mouse_.DataDir() + "Mac/m.qxm");
    ASSERT_EQ(file.status, MacroFileStatus::kOk);
    std::vector<std::pair<int, int>> keys;
    for (int i = 0; i < MacroEventCount(file.record); ++i) {
        keys.emplace_back(file.record.stEvents[i].wCode, file.record.stEvents[i].wKind);
    }
    const std::vector<std::pair<int, int>> want = {{0x11, 1}, {0x20, 1}, {0x20, 0}, {0x11, 0}};
    EXPECT_EQ(keys, want);
}

TEST_F(MacroDlgTest, AMacroThatCannotBeWrittenKeepsItsSaveButtonAndConfirmsNothing) {
    ASSERT_NE(page_, nullptr);
    AddShownMacro();
    // A folder in the macro file's place: the save's rename fails, for root as well.
    const std::filesystem::path file = mouse_.DataDir() + "Mac/m.qxm";
    std::filesystem::remove(file);
    std::filesystem::create_directories(file / "in-the-way");
    page_->OnInsertChosen(0xF0);
    page_->OnSave();
    // The writer thread's failure comes back to the window as a queued call.
    ASSERT_TRUE(window_->Writer().Flush(8000));
    EXPECT_TRUE(test::WaitUntil([&] { return page_->SaveButton()->isVisibleTo(page_); }));
    EXPECT_TRUE(window_->Note() == nullptr || window_->Note()->isHidden());
}

TEST_F(MacroDlgTest, SelectionButtonsFollowTheSelectionAndAnotherItemDropsUnsavedRows) {
    ASSERT_NE(page_, nullptr);
    // Rename, Delete, Edit and the event list's Delete: (item buttons, row buttons) enabled.
    const auto enabled = [this] {
        return std::pair{
            page_->RenameButton()->isEnabled() && page_->DeleteItemButton()->isEnabled(),
            page_->EditRowButton()->isEnabled() && page_->DeleteRowButton()->isEnabled()};
    };
    EXPECT_EQ(enabled(), std::pair(false, false));
    AddShownMacro();
    EXPECT_EQ(enabled(), std::pair(true, false));
    page_->OnInsertChosen(0xF0);  // left button: press and release rows, the new one selected
    EXPECT_EQ(page_->Editor().Rows().size(), 2u);
    EXPECT_EQ(enabled(), std::pair(true, true));
    EXPECT_TRUE(page_->SaveButton()->isVisibleTo(page_));
    page_->OnDeleteRow();
    page_->OnDeleteRow();
    EXPECT_EQ(enabled(), std::pair(true, false));  // no event left to select

    page_->OnInsertChosen(0xF0);
    page_->Tree()->SelectItem(kNoTreeItem);
    page_->SelectLibraryItem(kLibraryRoot);
    EXPECT_TRUE(page_->Editor().Rows().empty());
    EXPECT_FALSE(page_->SaveButton()->isVisibleTo(page_));
    EXPECT_EQ(enabled(), std::pair(false, false));
}

TEST_F(MacroDlgTest, TheTreeMenuImportsAndExportsMacroFiles) {
    ASSERT_NE(page_, nullptr);
    test::ScriptedStoreUi files;
    page_->SetStoreUi(&files);
    MacroLibrary& library = window_->Macros();
    test::TempDir outside;

    // A macro file from elsewhere, imported on the empty part of the tree: into the root.
    MacroRecord walk = NewMacro("other name");
    walk.stEvents[0].wCode = 0x41;
    walk.stEvents[0].wKind = kMacroKindPress;
    walk.stEvents[0].dwDelay = 20;
    walk.stEvents[1].wCode = 0x41;
    walk.stEvents[1].wKind = kMacroKindRelease;
    const MacroFileBytes bytes = EncodeMacroFile(walk);
    const std::string source = outside.path() + "/walk.qxm";
    ASSERT_TRUE(WriteFileAtomic(source, bytes.data(), bytes.size()));
    files.openPaths.push_back(source);
    const std::size_t before = library.Macros().Count();
    RightClickTree(QPoint(10, page_->Tree()->height() - 5));
    ASSERT_TRUE(ChooseInMenu(Text("tc_macro_msg3")));
    EXPECT_TRUE(files.messages.empty());
    ASSERT_EQ(library.Macros().Count(), before + 1);
    const MacroRecord* imported = library.FindMacroByName("walk");
    ASSERT_NE(imported, nullptr);
    EXPECT_NE(imported->dwMacroID, walk.dwMacroID);  // a new id
    EXPECT_EQ(page_->ShownMacroId(), imported->dwMacroID);
    EXPECT_EQ(page_->Editor().Rows().size(), 3u);  // press, 20 ms, release
    ASSERT_TRUE(window_->Writer().Flush(8000));
    const MacroFileResult stored = ReadMacroFile(mouse_.DataDir() + "Mac/walk.qxm");
    ASSERT_EQ(stored.status, MacroFileStatus::kOk);
    EXPECT_EQ(stored.record.dwMacroID, imported->dwMacroID);

    // Exported from its own menu: the library file, byte for byte.
    const auto item = library.FindMacroItem(imported->dwMacroID);
    ASSERT_TRUE(item.has_value());
    TreeItemId row = kNoTreeItem;
    page_->Tree()->WalkChildren(kTreeRoot, true,
                                [&](TreeItemId id, TreeItemData& data, const std::string&) {
                                    if (data.dwUserWord != *item) return false;
                                    row = id;
                                    return true;
                                });
    ASSERT_NE(row, kNoTreeItem);
    page_->Tree()->EnsureVisible(row);
    ASSERT_FALSE(page_->Tree()->ItemRowRect(row).isEmpty());
    const std::string target = outside.path() + "/copy.qxm";
    files.savePaths.push_back(target);
    RightClickTree(page_->Tree()->ItemRowRect(row).center());
    ASSERT_TRUE(ChooseInMenu(Text("tc_macro_msg4")));
    ASSERT_EQ(files.requests.size(), 2u);
    EXPECT_EQ(files.requests[1].fileName, "walk.qxm");
    EXPECT_EQ(ReadWholeFile(target, 4096), ReadWholeFile(mouse_.DataDir() + "Mac/walk.qxm", 4096));
    EXPECT_TRUE(files.messages.empty());
    page_->SetStoreUi(nullptr);
}

TEST_F(MacroDlgTest, TheInsertMenuInsertsAMovementRow) {
    ASSERT_NE(page_, nullptr);
    AddShownMacro();
    // The movement window answers 5, -200 (cut to -127), then OK.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<MovementWindow*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        dialog->XEdit()->setText(QStringLiteral("5"));
        dialog->YEdit()->setText(QStringLiteral("-200"));
        dialog->OnOk();
    });
    answer.start(20);
    for (SkinnedButton* button : page_->findChildren<SkinnedButton*>()) {
        if (button->Text().toStdString() == Text("tc_macro_loop")) {
            QTest::mouseClick(button, Qt::LeftButton);
        }
    }
    ASSERT_TRUE(IsMenuOpen());
    ASSERT_TRUE(ChooseInMenu(Text("tc_adv_str27")));
    ASSERT_TRUE(test::WaitUntil([&] { return !page_->Editor().Rows().empty(); }));
    answer.stop();
    const MacroEditorRow& row = page_->Editor().Rows()[0];
    EXPECT_EQ(row.kind, kMacroRowMove);
    EXPECT_EQ(MoveRowX(row.value), 5);
    EXPECT_EQ(MoveRowY(row.value), -127);
    EXPECT_TRUE(page_->SaveButton()->isVisibleTo(page_));
}

// In 4K every control doubles once with the page; the repeat count box, which is made at
// the doubled size, had been doubled again and left the page.
TEST(MacroDlg4KTest, ControlsDoubleOnceWithThePage) {
    ASSERT_TRUE(DataInit(ProgramDir() + "cfg.ini"));
    test::TempDir folder;
    test::PageTestHost host(folder.path() + "/");
    QRect count;
    QRect save;
    {
        MacrosPage single(nullptr, host, QImage());
        count = single.CountEdit()->geometry();
        save = single.SaveButton()->geometry();
    }
    Set4KLayout(true);
    MacrosPage page(nullptr, host, QImage());
    page.Layout4K();
    Set4KLayout(false);
    EXPECT_EQ(page.CountEdit()->geometry(), Doubled(count));
    EXPECT_EQ(page.SaveButton()->geometry(), Doubled(save));
}

// A save that fails says why, keeps the Save button and leaves the macro marked, so that a
// later save (or the exit) writes it.
TEST_F(MacroDlgTest, AFailedSaveSaysWhyAndKeepsTheSaveButton) {
    const std::uint32_t id = AddShownMacro();
    MacroLibrary& library = window_->Macros();
    ASSERT_TRUE(window_->Writer().Flush(8000));
    const std::string path = *library.ItemPath(*library.FindMacroItem(id));
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    test::MessageAnswers answers;
    MacroRecord* record = library.Macros().FindById(id);
    record->dwState |= kMacroEventsChanged;
    page_->SaveButton()->show();
    QTest::mouseClick(page_->SaveButton(), Qt::LeftButton);
    ASSERT_TRUE(test::WaitUntil([&] { return !answers.Texts().empty(); }));
    EXPECT_EQ(answers.Texts().front(), QString::fromStdString(SaveFailedText(path, EISDIR)));
    EXPECT_FALSE(page_->SaveButton()->isHidden());
    EXPECT_NE(library.Macros().FindById(id)->dwState & kMacroEventsChanged, 0u);

    std::filesystem::remove(path);
    QTest::mouseClick(page_->SaveButton(), Qt::LeftButton);
    ASSERT_TRUE(window_->Writer().Flush(8000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(page_->SaveButton()->isHidden());
    EXPECT_EQ(ReadMacroFile(path).status, MacroFileStatus::kOk);
    EXPECT_EQ(answers.Texts().size(), 1u);
}

// Rows edited and not saved are written when the program ends.
TEST_F(MacroDlgTest, TheExitSavesWhatTheEditorHolds) {
    AddShownMacro();
    page_->OnInsertChosen(0xF0);  // left button: press and release rows
    ASSERT_TRUE(page_->SaveButton()->isVisibleTo(page_));
    window_->OnExit();
    const MacroFileResult file = ReadMacroFile(mouse_.DataDir() + "Mac/m.qxm");
    ASSERT_EQ(file.status, MacroFileStatus::kOk);
    EXPECT_EQ(MacroEventCount(file.record), 2);
}

}  // namespace
}  // namespace vantor
