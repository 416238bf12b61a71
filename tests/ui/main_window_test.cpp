// The main window against the simulated mouse, on the offscreen platform.
#include "ui/shell/main_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <functional>
#include <mutex>

#include "app/config/config.h"
#include "base/save_failure.h"
#include "base/texts.h"
#include "keys/macro_dump.h"
#include "platform/autostart.h"
#include "platform/paths.h"
#include "profile/memory_map.h"
#include "profile/set_flags.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "tests/device/fake_hid.h"
#include "tests/support/temp_dir.h"
#include "tests/ui_support/message_answers.h"
#include "tests/ui_support/sim_window.h"
#include "ui/pages/buttons/buttons_page.h"
#include "ui/pages/settings_page.h"
#include "ui/popups/message_window.h"
#include "ui/popups/progress_window.h"
#include "ui/shell/battery_window.h"
#include "ui/shell/connection_banner.h"
#include "ui/shell/exit_apply_wait.h"
#include "ui/shell/session_popups.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_combo_box.h"
#include "ui/widgets/skinned_menu.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

using test::WaitUntil;

// Lets the session's device work end and its results land on the window.
void Settle(MainWindow& window) {
    ASSERT_TRUE(window.Session().WaitDeviceWork(8000));
    QCoreApplication::sendPostedEvents();
}

class VantorDlgTest : public ::testing::Test {
  protected:
    VantorDlgTest() { EXPECT_TRUE(mouse_.ConfigLoaded()); }
    ~VantorDlgTest() override { window_.reset(); }

    MainWindow& Open(bool startHidden = false, bool trayAvailable = true) {
        MainWindowSetup setup = mouse_.WindowSetup(startHidden);
        setup.trayAvailable = trayAvailable;
        window_ = std::make_unique<MainWindow>(setup);
        EXPECT_TRUE(window_->Init());
        EXPECT_TRUE(WaitUntil([&] { return window_->Started() || window_->HasExited(); }));
        return *window_;
    }
    // Up to the mouse read and the first battery report.
    MainWindow& OpenReady() {
        MainWindow& window = Open();
        EXPECT_TRUE(WaitUntil([&] {
            return window.Store().Current() != nullptr && window.IsBatteryShown() &&
                   window.Session().FirstReadDone();
        }));
        return window;
    }
    std::vector<PageId> VisiblePages() const {
        std::vector<PageId> shown;
        for (int p = 1; p <= kPageCount; ++p) {
            if (!window_->Page(static_cast<PageId>(p))->isHidden())
                shown.push_back(static_cast<PageId>(p));
        }
        return shown;
    }

    static bool MouseReadAndShown(MainWindow& window) {
        return window.Store().Current() != nullptr && window.IsBatteryShown() &&
               window.Session().FirstReadDone() && window.Driver().CmdHandle() != nullptr;
    }

    test::SimMouseFolder mouse_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(VantorDlgTest, ReadsTheMouseShowsTheBatteryAndTheButtonPage) {
    mouse_.Firmware().SetBattery(42, false);
    MainWindow& window = OpenReady();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.PowerWindow()->Level(), 42);
    EXPECT_EQ(window.PowerWindow()->PictureIndex(), 3);  // PowerCritical 10,30,60
    EXPECT_EQ(VisiblePages(), std::vector<PageId>{PageId::kKeys});
    EXPECT_TRUE(window.NaviButton(0)->GetCheck());
    EXPECT_EQ(window.size(), QSize(1020, 700));
    EXPECT_EQ(mouse_.Firmware().LastDriverStatus(), 1);  // told the utility is shown
}

TEST_F(VantorDlgTest, EachNavigationButtonShowsExactlyItsPage) {
    MainWindow& window = Open();
    const PageId expected[] = {PageId::kKeys, PageId::kPerformance, PageId::kMacro,
                               PageId::kLighting};
    for (int navi : {1, 2, 3, 0}) {
        SkinnedButton* button = window.NaviButton(navi);
        ASSERT_NE(button, nullptr);
        ASSERT_FALSE(button->isHidden()) << "navi" << navi + 1;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(window.CurrentPage(), expected[navi]);
        EXPECT_EQ(VisiblePages(), std::vector<PageId>{expected[navi]});
        for (int other = 0; other < 4; ++other) {
            EXPECT_EQ(window.NaviButton(other)->GetCheck(), other == navi)
                << "after navi" << navi + 1 << ", navi" << other + 1;
        }
    }
}

TEST_F(VantorDlgTest, PagesAnswerCtrlDigitsAndCtrlTabAndFocusedControlsGetTheirKeys) {
    MainWindow& window = Open();
    const std::vector<std::pair<QKeyCombination, PageId>> steps = {
        {Qt::ControlModifier | Qt::Key_2, PageId::kPerformance},
        {Qt::ControlModifier | Qt::Key_Tab, PageId::kMacro},
        {Qt::ControlModifier | Qt::Key_Tab, PageId::kLighting},
        {Qt::ControlModifier | Qt::Key_Tab, PageId::kKeys},  // round again
        {Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Backtab, PageId::kLighting},
        {Qt::ControlModifier | Qt::Key_3, PageId::kMacro},
        {Qt::ControlModifier | Qt::Key_1, PageId::kKeys},
    };
    for (const auto& [keys, page] : steps) {
        QTest::keyClick(&window, keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(window.CurrentPage(), page) << keys.toCombined();
    }
    // A hidden page button's page is not reachable either.
    window.NaviButton(3)->hide();
    QTest::keyClick(&window, Qt::Key_4, Qt::ControlModifier);
    EXPECT_EQ(window.CurrentPage(), PageId::kKeys);

    // Space on a focused page button opens its page; Enter on the language selector opens
    // its list, which a page switch closes.
    window.NaviButton(1)->setFocus();
    QTest::keyClick(window.NaviButton(1), Qt::Key_Space);
    EXPECT_EQ(window.CurrentPage(), PageId::kPerformance);
    QTest::keyClick(window.LanguageSelector(), Qt::Key_Return);
    EXPECT_TRUE(IsMenuOpen());
    QTest::keyClick(&window, Qt::Key_1, Qt::ControlModifier);
    EXPECT_FALSE(IsMenuOpen());
}

TEST_F(VantorDlgTest, ChangesMadeOnTheMouseReachTheWindow) {
    MainWindow& window = OpenReady();
    const int before = window.Session().CurDpiLevel();
    ASSERT_GE(before, 0);
    mouse_.Firmware().PressDpiButton();
    EXPECT_TRUE(WaitUntil([&] { return window.Session().CurDpiLevel() != before; }));
    EXPECT_EQ(window.Session().CurDpiLevel(), mouse_.Firmware().Memory(0)[4]);

    mouse_.Firmware().SwitchReportRate(8);
    EXPECT_TRUE(WaitUntil([&] { return window.Store().Current()->dwReportRate == 0x125; }));
}

// Whether the banner shows the text of `key` (null: hidden).
bool BannerSays(const MainWindow& window, const char* key) {
    const ConnectionBanner* banner = window.Banner();
    if (key == nullptr) return banner->isHidden();
    return !banner->isHidden() && banner->text() == QString::fromStdString(Text(key));
}

TEST_F(VantorDlgTest, UnplugLocksTheMousePagesWithTheirValuesAndPlugBringsThemBack) {
    MainWindow& window = OpenReady();
    auto* keys = static_cast<ButtonsPage*>(window.Page(PageId::kKeys));
    const QString firstButton = keys->KeyButton(0)->Text();
    ASSERT_FALSE(firstButton.isEmpty());
    EXPECT_TRUE(BannerSays(window, nullptr));

    mouse_.Backend().Unplug();
    EXPECT_TRUE(WaitUntil([&] {
        return window.Driver().CmdHandle() == nullptr && !window.IsBatteryShown() &&
               BannerSays(window, "tc_nomouse");
    }));
    // What changes the mouse is locked and keeps showing its value; the export of the
    // stored profile and the macro editor still work.
    EXPECT_FALSE(keys->KeyButton(0)->isEnabled());
    EXPECT_EQ(keys->KeyButton(0)->Text(), firstButton);
    EXPECT_FALSE(keys->ImportButton()->isEnabled());
    EXPECT_TRUE(keys->ExportButton()->isEnabled());
    EXPECT_TRUE(window.Page(PageId::kMacro)->isEnabled());
    // A page built while the mouse is away is locked from the start.
    const auto lockedControls = [](SettingsPage* page) {
        int locked = 0;
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            locked += child->isEnabled() ? 0 : 1;
        }
        return locked;
    };
    EXPECT_GT(lockedControls(window.Page(PageId::kLighting)), 0);

    mouse_.Firmware().SetBattery(77, false);
    mouse_.Backend().Plug();
    EXPECT_TRUE(WaitUntil([&] {
        return window.Driver().CmdHandle() != nullptr && window.IsBatteryShown() &&
               window.PowerWindow()->Level() == 77 && BannerSays(window, nullptr);
    }));
    EXPECT_TRUE(keys->KeyButton(0)->isEnabled());
    EXPECT_EQ(lockedControls(window.Page(PageId::kLighting)), 0);
}

TEST_F(VantorDlgTest, AMouseSwitchedOffAtTheStartIsAskedForAndTakenWhenItAnswers) {
    mouse_.Firmware().SetMouseConnected(false);
    MainWindow& window = Open();
    EXPECT_TRUE(WaitUntil([&] { return BannerSays(window, "tc_mouseoff"); }));
    EXPECT_FALSE(static_cast<ButtonsPage*>(window.Page(PageId::kKeys))->KeyButton(0)->isEnabled());
    // The banner follows the language.
    ASSERT_TRUE(window.ChangeLanguage(1));
    EXPECT_TRUE(BannerSays(window, "tc_mouseoff"));

    mouse_.Firmware().SetMouseConnected(true);
    EXPECT_TRUE(WaitUntil([&] { return MouseReadAndShown(window); }, 20000));
    EXPECT_TRUE(BannerSays(window, nullptr));
}

// Lists the simulated mouse's interfaces but refuses to open them, as hidraw does for a
// user without the udev rule.
class NoAccessBackend : public HidBackend {
  public:
    explicit NoAccessBackend(HidBackend& listed) : listed_(listed) {}
    std::vector<HidInterfaceInfo> Enumerate() override { return listed_.Enumerate(); }
    std::shared_ptr<HidHandle> Open(const std::string& /*path*/, std::uint32_t* error) override {
        if (error != nullptr) *error = kHidAccessDenied;
        return nullptr;
    }
    std::unique_ptr<Monitor> WatchDeviceChanges(
        std::function<void(const HidDeviceChange&)> callback) override {
        return listed_.WatchDeviceChanges(std::move(callback));
    }

  private:
    HidBackend& listed_;
};

TEST_F(VantorDlgTest, AMouseThisUserMayNotOpenSaysHowToGetAccess) {
    NoAccessBackend backend(mouse_.Backend());
    MainWindowSetup setup = mouse_.WindowSetup();
    setup.backend = &backend;
    window_ = std::make_unique<MainWindow>(setup);
    ASSERT_TRUE(window_->Init());
    EXPECT_TRUE(WaitUntil([&] { return BannerSays(*window_, "tc_noaccess"); }));
    EXPECT_NE(window_->Banner()->text().indexOf(QStringLiteral("70-vantor.rules")), -1);
}

TEST_F(VantorDlgTest, ExitSavesTheProfileStoreAndEndsTheProgram) {
    MainWindow& window = OpenReady();
    const std::string profileFile = window.Store().ProfileFilePath();
    std::filesystem::remove(profileFile);
    const std::string macroNames = mouse_.DataDir() + "mac.dct";
    std::filesystem::remove(macroNames);
    window.Store().Current()->dwReportRate = 0x250;
    QSignalSpy finished(&window, &MainWindow::finished);
    QTest::mouseClick(window.ExitButton(), Qt::LeftButton);  // ExitType 0: exit
    EXPECT_TRUE(window.HasExited());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(finished.wait(2000));
    EXPECT_EQ(std::filesystem::file_size(profileFile), kProfileFileSize);
    EXPECT_EQ(std::filesystem::file_size(macroNames), kMacroDumpSize);  // at every exit
    ProfileStore reloaded(mouse_.DataDir());
    ASSERT_TRUE(reloaded.LoadCID());
    ASSERT_TRUE(reloaded.LoadPro());
    ASSERT_NE(reloaded.Current(), nullptr);
    EXPECT_EQ(reloaded.Current()->dwReportRate, 0x250u);
    Settle(window);
    EXPECT_EQ(mouse_.Firmware().LastDriverStatus(), 0);
}

// A save that fails is shown in the skinned message window with the file and the reason.
// At exit the user is asked before the program ends without the profile file; trying again
// writes it.
TEST_F(VantorDlgTest, FailedSavesAreShownAndTheExitAsksBeforeEndingWithoutTheProfile) {
    MainWindow& window = OpenReady();
    ASSERT_TRUE(window.Writer().Flush(8000));
    const std::string profileFile = window.Store().ProfileFilePath();
    std::filesystem::remove(profileFile);
    std::filesystem::create_directory(profileFile);  // no file can take its place
    const QString exitQuestion = QString::fromStdString(Text("tc_save_exit_ask"));
    int questions = 0;
    test::MessageAnswers answers([&](const QString& text) {
        if (text.contains(exitQuestion) && ++questions == 1) std::filesystem::remove(profileFile);
        return true;
    });
    window.Session().StartReadCurCfgThread();  // lands with a save of the profile file
    ASSERT_TRUE(WaitUntil([&] { return !answers.Texts().empty(); }));
    EXPECT_EQ(answers.Texts().front(), QString::fromStdString(SaveFailedText(profileFile, EISDIR)));

    window.Store().Current()->dwReportRate = 0x250;
    QSignalSpy finished(&window, &MainWindow::finished);
    QTest::mouseClick(window.ExitButton(), Qt::LeftButton);
    EXPECT_TRUE(finished.wait(4000));
    EXPECT_EQ(questions, 1);
    ASSERT_TRUE(std::filesystem::is_regular_file(profileFile));
    ProfileStore reloaded(mouse_.DataDir());
    ASSERT_TRUE(reloaded.LoadPro());
    EXPECT_EQ(reloaded.Current()->dwReportRate, 0x250u);
}

// A read that fails is told, and a line under the title says that the pages do not show the
// mouse's settings, until a read succeeds.
TEST_F(VantorDlgTest, AFailedReadIsShownUntilAReadSucceeds) {
    MainWindow& window = OpenReady();
    test::MessageAnswers answers;
    SimFaults faults;
    faults.errorEveryNth = 1;
    mouse_.Backend().SetFaults(faults);
    window.Session().StartReadCurCfgThread();
    ASSERT_TRUE(WaitUntil([&] { return window.Session().FirstReadDone(); }));
    ASSERT_TRUE(WaitUntil([&] { return !answers.Texts().empty(); }));
    EXPECT_EQ(answers.Texts().front(), QString::fromStdString(Text("tc_read_failed")));
    ASSERT_NE(window.NotMouseSettingsLabel(), nullptr);
    EXPECT_TRUE(window.NotMouseSettingsLabel()->isVisible());
    EXPECT_EQ(window.NotMouseSettingsLabel()->text(), QString::fromStdString(Text("tc_not_mouse")));

    mouse_.Backend().SetFaults({});
    window.Session().StartReadCurCfgThread();
    ASSERT_TRUE(WaitUntil([&] { return window.Session().FirstReadDone(); }));
    Settle(window);
    EXPECT_FALSE(window.NotMouseSettingsLabel()->isVisible());
    EXPECT_EQ(answers.Texts().size(), 1u);
}

// A damaged profile file is kept beside the new one and the user is told once, though the
// file is loaded again when the mouse is found.
TEST_F(VantorDlgTest, ADamagedProfileFileIsKeptAndToldOnce) {
    const std::string profileFile =
        mouse_.DataDir() + ProfileFileName(static_cast<std::uint32_t>(DeviceSectionAt(0).CID),
                                           static_cast<std::uint32_t>(DeviceSectionAt(0).MID));
    test::WriteText(profileFile, "not a profile file");
    test::MessageAnswers answers;
    MainWindow& window = OpenReady();
    Settle(window);
    QTest::qWait(200);
    const QString told =
        QString::fromStdString(Text("tc_damaged_kept") + " " + profileFile + ".damaged");
    EXPECT_EQ(std::count(answers.Texts().begin(), answers.Texts().end(), told), 1);
    EXPECT_EQ(test::ReadText(profileFile + ".damaged"), "not a profile file");
    EXPECT_EQ(window.Store().ProfileFilePath(), profileFile);
}

// The profile button read: its wait window opens without a modal loop of its own (the test
// goes on while it shows) and the read's result closes it.
TEST_F(VantorDlgTest, TheReadWaitShowsWhileTheReadRunsAndItsResultClosesIt) {
    MainWindow& window = OpenReady();
    ASSERT_EQ(window.Popups().ReadWait(), nullptr);
    SimFaults slow;
    slow.replyLatencyMs = 5;  // a read long enough to see its wait window
    mouse_.Backend().SetFaults(slow);
    ASSERT_TRUE(mouse_.Firmware().SelectProfileOnMouse(1));
    EXPECT_TRUE(WaitUntil([&] {
        return window.Popups().ReadWait() != nullptr && window.Popups().ReadWait()->isVisible();
    }));
    EXPECT_FALSE(window.Session().FirstReadDone());
    EXPECT_TRUE(WaitUntil([&] {
        return window.Session().FirstReadDone() && window.Store().CurrentIndex() == 1 &&
               (window.Popups().ReadWait() == nullptr || !window.Popups().ReadWait()->isVisible());
    }));
}

// Exit lets the last change reach the mouse: the program ends when the apply worker has
// written it, with the progress window after half a second, and at most about 3 s later.
TEST_F(VantorDlgTest, ExitEndsTheProgramOnlyWhenTheLastChangeHasReachedTheMouse) {
    MainWindow& window = OpenReady();
    ApplyWorker& worker = window.Session().Worker();
    bool busyAtTheEnd = true;
    QObject::connect(&window, &MainWindow::finished, [&] { busyAtTheEnd = worker.IsBusy(); });
    QSignalSpy finished(&window, &MainWindow::finished);
    {
        // The mouse is busy with something else while the change waits.
        std::unique_lock<std::mutex> device(window.Session().DeviceMutex());
        window.Store().Current()->nDebounce = 7;
        worker.RequestApply(SET_DEBOUNCE, 0);
        QTest::mouseClick(window.ExitButton(), Qt::LeftButton);
        EXPECT_TRUE(window.HasExited());
        EXPECT_TRUE(WaitUntil([&] {
            return window.Popups().Progress() != nullptr && window.Popups().Progress()->isVisible();
        }));
        EXPECT_EQ(finished.count(), 0);
    }
    EXPECT_TRUE(finished.wait(8000));
    EXPECT_FALSE(busyAtTheEnd);
    EXPECT_EQ(mouse_.Firmware().Memory(0)[memory_map::kDebounce], 7);
}

TEST_F(VantorDlgTest, ExitGivesUpWaitingForAMouseThatDoesNotTakeTheChange) {
    MainWindow& window = OpenReady();
    QSignalSpy finished(&window, &MainWindow::finished);
    std::unique_lock<std::mutex> device(window.Session().DeviceMutex());
    window.Session().Worker().RequestApply(SET_DEBOUNCE, 0);
    QTest::mouseClick(window.ExitButton(), Qt::LeftButton);
    EXPECT_TRUE(finished.wait(kExitApplyWaitMs + 5000));
    EXPECT_TRUE(window.Session().Worker().IsBusy());
    device.unlock();  // the stop of the window's worker needs the mouse back
}

TEST_F(VantorDlgTest, MinimiseHidesIntoTheTrayOrMinimisesWithoutOne) {
    {
        MainWindow& window = OpenReady();
        QTest::mouseClick(window.MinimizeButton(), Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
        Settle(window);
        EXPECT_EQ(mouse_.Firmware().LastDriverStatus(), 0);
        // The tray click (and a second start) brings it back.
        PostWindowMessage(&window, kTrayNotifyMessage, 0, kTrayNotifyLParam);
        EXPECT_TRUE(WaitUntil([&] { return window.isVisible(); }));
        Settle(window);
        EXPECT_EQ(mouse_.Firmware().LastDriverStatus(), 1);
    }
    window_.reset();
    MainWindow& window = Open(false, false);
    ASSERT_TRUE(WaitUntil([&] { return window.isVisible(); }));
    QTest::mouseClick(window.MinimizeButton(), Qt::LeftButton);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
}

TEST_F(VantorDlgTest, StartWithArgumentsWaitsInTheTrayUnlessThereIsNone) {
    {
        MainWindow& window = Open(true, true);
        // Up to the end of the start's read, when a window would have shown itself.
        EXPECT_TRUE(WaitUntil([&] { return test::MouseRead(window); }));
        EXPECT_FALSE(window.isVisible());
        EXPECT_NE(window.Tray(), nullptr);
        PostWindowMessage(&window, kTrayNotifyMessage, 0, kTrayNotifyLParam);
        EXPECT_TRUE(WaitUntil([&] { return window.isVisible(); }));
    }
    window_.reset();
    MainWindow& window = Open(true, false);
    EXPECT_TRUE(WaitUntil([&] { return window.isVisible(); }));
}

TEST_F(VantorDlgTest, LanguageChangeRetextsTheWindowAndIsRemembered) {
    MainWindow& window = Open();
    EXPECT_EQ(window.TrayMenu()->actions().front()->text(), QStringLiteral("Settings"));
    ASSERT_TRUE(window.ChangeLanguage(1));
    EXPECT_EQ(window.TrayMenu()->actions().front()->text(), QStringLiteral("Einstellungen"));
    ASSERT_TRUE(window.Writer().Flush(8000));  // lang.ini goes through the writer thread
    LanguageSelection again({"en", "de"}, ProgramDir(), mouse_.DataDir());
    EXPECT_EQ(again.SelectAtStartup(), 1);
    LoadTexts(ProgramDir() + "text.xml");
}

TEST_F(VantorDlgTest, TrayAutostartSwitchWritesAndRemovesTheLoginEntry) {
    test::TempDir config;
    test::ScopedEnv configEnv("XDG_CONFIG_HOME", config.path());
    MainWindow& window = Open();
    QAction* autostart = window.TrayAutostart();
    ASSERT_NE(autostart, nullptr);
    EXPECT_FALSE(autostart->isChecked());
    const std::string entry = AutostartEntryPath(ApplicationId());
    autostart->trigger();
    EXPECT_TRUE(std::filesystem::exists(entry));
    EXPECT_TRUE(autostart->isChecked());
    autostart->trigger();
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_FALSE(autostart->isChecked());
}

TEST_F(VantorDlgTest, LowBatteryNoticeOncePerDischarge) {
    MainWindow& window = OpenReady();
    const int critical = Options().PowerCritical[0];
    // The battery is asked on the session's device thread; its answer lands as a posted
    // result, so each update waits for the device thread and then for the window thread.
    auto update = [&window] {
        window.Session().BatteryUpdate();
        ASSERT_TRUE(window.Session().WaitDeviceWork(5000));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    };
    mouse_.Firmware().SetBattery(static_cast<std::uint8_t>(critical), false);
    update();
    update();
    EXPECT_EQ(window.LowBatteryNotices(), 1);
    EXPECT_EQ(window.PowerWindow()->PictureIndex(), 1);
    mouse_.Firmware().SetBattery(static_cast<std::uint8_t>(critical), true);
    update();
    mouse_.Firmware().SetBattery(static_cast<std::uint8_t>(critical - 1), false);
    update();
    EXPECT_EQ(window.LowBatteryNotices(), 2);
}

// The documentation link shows where no page covers it, and only where the documentation
// is installed beside the program folder (not in the build folder the tests run from).
TEST_F(VantorDlgTest, TheDocumentationLinkIsVisibleWhereTheDocumentationIs) {
    namespace fs = std::filesystem;
    test::TempDir root;
    const std::string program = root.path() + "/share/vantor/";
    fs::create_directories(program);
    for (const fs::directory_entry& entry : fs::directory_iterator(ProgramDir())) {
        const std::string name = entry.path().filename().string();
        if (name == "cfg.ini" || name == "text.xml" ||
            (entry.is_directory() && fs::exists(entry.path() / "text.xml"))) {
            fs::copy(entry.path(), program + name, fs::copy_options::recursive);
        }
    }
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "installed" : "build folder");
        if (installed) {
            fs::create_directories(root.path() + "/share/doc/vantor");
            test::WriteText(root.path() + "/share/doc/vantor/README.md", "# Vantor\n");
        }
        MainWindowSetup setup = mouse_.WindowSetup();
        setup.startup.programDir = program;
        window_ = std::make_unique<MainWindow>(setup);
        ASSERT_TRUE(window_->Init());
        EXPECT_TRUE(WaitUntil([&] { return window_->Started(); }));
        SkinnedButton* link = window_->HomePageLink();
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->isVisible(), installed);
        if (installed) {
            EXPECT_EQ(link->Text().toStdString(), Text("tc_msg24"));
            const QPoint centre = link->geometry().center();
            EXPECT_EQ(window_->childAt(centre), link) << "covered";
            for (int p = 1; p <= kPageCount; ++p) {
                EXPECT_FALSE(
                    window_->Page(static_cast<PageId>(p))->geometry().intersects(link->geometry()));
            }
        }
        window_.reset();
    }
}

// Without a usable icon file the window takes a built-in icon and the log says why.
TEST_F(VantorDlgTest, TheLogSaysWhyTheWindowIconWasNotLoaded) {
    const struct {
        const char* file;  // written with bytes that are no picture; null: no file
        const char* line;
    } cases[] = {{nullptr, "Load Icon err=2"}, {"appico.png", "Load Icon err=16"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        test::TempDir folder;
        if (c.file != nullptr) test::WriteText(folder.path() + "/" + c.file, "no picture");
        test::LogCapture log;
        MainWindowSetup setup = mouse_.WindowSetup();
        setup.startup.programDir = folder.path() + "/";
        window_ = std::make_unique<MainWindow>(setup);
        ASSERT_TRUE(window_->Init());
        EXPECT_FALSE(window_->windowIcon().isNull());
        EXPECT_EQ(log.Count("Load Icon err="), 1);
        EXPECT_TRUE(log.Has(c.line));
        EXPECT_TRUE(WaitUntil([&] { return window_->Started(); }));
        window_.reset();
    }
}

}  // namespace
}  // namespace vantor
