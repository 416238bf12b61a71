// The macro page inside the main window against the simulated mouse, offscreen.
#include "keys/windows/macro_dlg.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "app/config.h"
#include "app/windows/vantor_dlg.h"
#include "base/texts.h"
#include "controls/layout_4k.h"
#include "controls/png_btn.h"
#include "controls/skin.h"
#include "controls/tree_ctrl_ex.h"
#include "keys/macro_file.h"
#include "platform/paths.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "tests/support/temp_dir.h"
#include "tests/ui_support/page_test_host.h"
#include "tests/ui_support/sim_window.h"

namespace vantor {
namespace {

class MacroDlgTest : public ::testing::Test {
  protected:
    MacroDlgTest() {
        EXPECT_TRUE(mouse_.ConfigLoaded());
        VantorDlgSetup setup = mouse_.WindowSetup();
        setup.trayAvailable = false;
        window_ = std::make_unique<CVantorDlg>(setup);
        EXPECT_TRUE(window_->Init());
        // The start goes on (macro library loaded) once the device search has landed.
        QElapsedTimer clock;
        clock.start();
        while (!window_->Started() && clock.elapsed() < 8000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        EXPECT_TRUE(window_->Started());
        window_->SwitchPage(PageId::kMacro);
        page_ = dynamic_cast<CMacroDlg*>(window_->Page(PageId::kMacro));
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

    void Key(QEvent::Type type, int key) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QCoreApplication::sendEvent(page_, &event);
    }

    test::SimMouseFolder mouse_;
    std::unique_ptr<CVantorDlg> window_;
    CMacroDlg* page_ = nullptr;
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
    page_->OnRecord();
    EXPECT_FALSE(page_->IsRecording());
    EXPECT_TRUE(page_->SaveButton()->isVisibleTo(page_));
    Key(QEvent::KeyPress, Qt::Key_A);  // not recording: no row
    page_->OnSave();
    EXPECT_FALSE(page_->SaveButton()->isVisibleTo(page_));

    const MacroFileResult file = ReadMacroFile(mouse_.DataDir() + "Mac/m.qxm");
    ASSERT_EQ(file.status, MacroFileStatus::kOk);
    std::vector<std::pair<int, int>> keys;
    for (int i = 0; i < MacroEventCount(file.record); ++i) {
        keys.emplace_back(file.record.stEvents[i].wCode, file.record.stEvents[i].wKind);
    }
    const std::vector<std::pair<int, int>> want = {{0x11, 1}, {0x20, 1}, {0x20, 0}, {0x11, 0}};
    EXPECT_EQ(keys, want);
}

TEST_F(MacroDlgTest, SelectingAnotherItemDropsUnsavedRowsAndHidesSave) {
    ASSERT_NE(page_, nullptr);
    AddShownMacro();
    page_->OnInsertChosen(0xF0);  // left button: press and release rows
    EXPECT_EQ(page_->Editor().Rows().size(), 2u);
    EXPECT_TRUE(page_->SaveButton()->isVisibleTo(page_));
    page_->SelectLibraryItem(kLibraryRoot);
    EXPECT_TRUE(page_->Editor().Rows().empty());
    EXPECT_FALSE(page_->SaveButton()->isVisibleTo(page_));
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
        CMacroDlg single(nullptr, host, QImage());
        count = single.CountEdit()->geometry();
        save = single.SaveButton()->geometry();
    }
    Set4KLayout(true);
    CMacroDlg page(nullptr, host, QImage());
    page.Layout4K();
    Set4KLayout(false);
    EXPECT_EQ(page.CountEdit()->geometry(), Doubled(count));
    EXPECT_EQ(page.SaveButton()->geometry(), Doubled(save));
}

}  // namespace
}  // namespace vantor
