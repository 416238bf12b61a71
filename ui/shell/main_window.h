// MainWindow: the program's one top-level window. A frameless skinned window with the
// background picture, minimise, exit and help buttons, the language selector, four
// navigation buttons, the optional home-page link, the battery window and the page area
// that shows exactly one page. It owns the device link, discovery and the device session,
// turns the posted device messages into session calls, hides itself in the tray and saves
// the profile store on exit.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <set>
#include <thread>

#include "app/config/language.h"
#include "app/session/device_session.h"
#include "app/session/low_battery_notice.h"
#include "app/session/startup.h"
#include "app/session/window_rules.h"
#include "app/store/profile_store.h"
#include "base/file_writer.h"
#include "base/message_sink.h"
#include "device/discovery.h"
#include "device/usb_driver.h"
#include "keys/macro_library.h"
#include "platform/hid.h"
#include "ui/pages/page_host.h"
#include "ui/popups/progress_window.h"
#include "ui/shell/application_following.h"
#include "ui/shell/mouse_locked_pages.h"
#include "ui/widgets/window_message.h"

class QLabel;
class QMenu;

namespace vantor {

class SettingsPage;
class SkinnedButton;
class SkinnedComboBox;
class BatteryWindow;
class DesktopNotifier;
class QtSessionTimers;
class DiscoveryFinder;
class ConnectionBanner;
class TransientNote;
class SessionPopups;
class ExitApplyWait;

constexpr std::intptr_t kTrayRightButtonUp = 517;

struct MainWindowSetup {
    StartupState startup;
    HidBackend* backend = nullptr;  // not owned; outlives the window
    bool startHidden = false;       // started with arguments: wait in the tray
    bool trayAvailable = true;      // the desktop has a notification area
    // Shows messages on the window thread (message boxes); null: standard error.
    MessageSink* messages = nullptr;
};

class MainWindow : public QWidget, public SessionWindow, public LanguageListener, public PageHost {
    Q_OBJECT
  public:
    explicit MainWindow(MainWindowSetup setup, QWidget* parent = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The start-up of the window. False when the window must close again; the reason was
    // shown ("Load skins failed."). The start goes on when the device search has landed
    // (Started()); without a device the window then shows why and closes.
    bool Init();
    bool Started() const { return started_; }
    // The program's exit status once the window has finished: 1 when the start found no
    // mouse and closed the window, else 0.
    int ExitCode() const { return exitCode_; }

    // A menu offered in the tray menu and by a right click on the title area (the
    // simulated mouse's controls). Not owned.
    void AddExtraMenu(QMenu* menu);

    // What the window offers to pages (PageHost).
    ProfileFile* Record() override { return store_.Current(); }
    ProfileStore& Store() override { return store_; }
    MacroLibrary& Macros() override { return *library_; }
    DeviceSession& Session() override { return *session_; }
    void CheckDeviceReady(std::function<void()> onReady) override;
    bool IsDeviceReady() override { return session_->IsDeviceReady(); }
    void ApplyChange(std::uint32_t flags, int index) override;
    void ApplyLightingChange(std::uint32_t flags, int index) override;
    std::uint16_t ProductId() override { return driver_.CmdHandle() ? driver_.nPID : 0; }
    void SwitchPage(PageId page) override;
    bool ShowTextOk(const std::string& text) override;
    void ShowNote(const std::string& text) override;
    // The confirmation shown last (null before the first).
    TransientNote* Note() const { return note_; }
    void Restore() { session_->Restore(); }

    // Commands of the window's own buttons and of the tray.
    void OnExitButton();
    void OnMinimizeButton();
    void OnHelpButton();
    void ShowTheWindow();
    void OnExit();
    bool ChangeLanguage(int index);

    // State for the program and its tests.
    PageId CurrentPage() const { return currentPage_; }
    // The page, built now when it was not yet.
    SettingsPage* Page(PageId page);
    // The page when it has been built, else null.
    SettingsPage* BuiltPage(PageId page) const;
    SkinnedButton* NaviButton(int index) const { return navi_[static_cast<std::size_t>(index)]; }
    SkinnedButton* ExitButton() const { return exitButton_; }
    SkinnedButton* MinimizeButton() const { return minButton_; }
    SkinnedComboBox* LanguageSelector() const { return languageSelector_; }
    BatteryWindow* PowerWindow() const { return power_; }
    QSystemTrayIcon* Tray() const { return tray_; }
    QMenu* TrayMenu() const { return trayMenu_.get(); }
    QAction* TrayAutostart() const { return trayAutostart_; }
    CUSBDriver& Driver() { return driver_; }
    LanguageSelection& Languages() { return *languages_; }
    bool IsShownFlag() const { return shownFlag_; }
    SkinnedButton* HomePageLink() const { return homePage_; }
    bool HasExited() const { return exited_; }
    int LowBatteryNotices() const { return lowBatteryNotices_; }
    // The on-board profile following the application in front (null before the start has
    // gone on), the link that opens its rules editor, and the editor itself.
    ApplicationFollowing* Following() const { return following_.get(); }
    SkinnedButton* RulesButton() const { return rulesButton_; }
    void OpenRulesEditor();
    // The line under the title that says the pages do not show the mouse's settings (a read
    // failed); null until the first failed read, hidden after a read that succeeded.
    QLabel* NotMouseSettingsLabel() const { return notMouseLabel_; }
    // The thread that writes the program's files.
    FileWriter& Writer() { return *writer_; }

    // PageHost: a modal message and question.
    void ShowText(const std::string& text) override;
    bool AskOkCancel(const std::string& text) override;
    // SessionWindow.
    void ShowNotice(const std::string& text) override;
    void Ask(const std::string& text, std::function<void()> onOk) override;
    void ShowReadWait(const std::string& text) override;
    void CloseReadWait() override;
    std::shared_ptr<ProgressSink> OpenRestoreProgress(const std::string& text) override;
    void CloseWindow() override;
    SessionPopups& Popups() { return *popups_; }
    bool IsWindowVisible() const override { return isVisible(); }
    void ShowsMouseSettings(bool shown) override;
    void LayoutForDevice() override;
    void RefreshPages() override;
    void RefreshPerformancePage() override;
    void RefreshLightingPage() override;
    void MarkCurrentLevel(int level) override;
    void SelectReportRateFromDevice(int rateCode) override;
    bool IsBatteryShown() const override;
    void ShowBattery() override;
    void HideBattery() override;
    void SetPower(int level, bool charging) override;
    void ShowConnection(MouseConnection connection) override;
    // The line that says the mouse cannot be reached and what to do.
    ConnectionBanner* Banner() const { return connectionBanner_; }

    // LanguageListener.
    void OnLanguageChanged() override;

    // Keeps the window hidden while it waits in the tray.
    void setVisible(bool visible) override;

  signals:
    // The window has closed for good; the program ends.
    void finished();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void OnWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    void OnTrayNotify(std::intptr_t what);
    void ContinueStart(int devicesFound);
    // The macro library is read on a thread of its own while the window builds and the
    // device search runs; the start goes on when both have landed.
    void StartLibraryLoad();
    void ContinueStartWhenReady();
    void LoadWindowIcon();
    bool LoadSkins();
    void CreateButtons();
    void CreateLanguageSelector();
    void CreateHomePageLink();
    // The link to the rules editor beside the page buttons (vantor_dlg_rules.cpp).
    void CreateRulesButton();
    void RefreshRulesButton();
    // Loads the rules and follows the application in front while they are on.
    void StartFollowing();
    void CreateConnectionBanner();
    // The link's caption in the current language; shown only when its documentation is there.
    void RefreshHomePageLink();
    void CreatePages();
    void Apply4KLayout();
    void CreateTrayIcon();
    void RefreshTrayTexts();
    // A desktop notice with the program's title; the tray's balloon without the service.
    void ShowNotice(const QString& text);
    void RefreshWindowTexts();
    void TellDriverStatus(std::uint8_t status);
    void CloseSkinnedPopups();
    // Whether page button `index` (0-3) is shown, and the page this many shown buttons on.
    bool IsNaviShown(int index) const;
    void StepPage(int step);
    void HideWindow();
    // Writes mac.dct, the macro names of the library.
    void SaveMacroNames();
    // Saves unsaved macros, mac.dct, the profile file and CID.dct and waits for the writer;
    // with `askOnFailure` a failed profile save asks the user (SaveProfileAtExit).
    void SaveEverything(bool askOnFailure);
    // Hands the profile file to the writer thread (after a read from the mouse).
    void SaveProfileInBackground();
    // The exit's save of the profile file; when it fails the user chooses between trying
    // again and ending without it. False when the file was not saved.
    bool SaveProfileAtExit();
    // Macros edited on the macro page and not saved yet, and macros whose last write failed.
    void SaveUnsavedMacros();
    // A write of the writer thread has ended (window thread): a failure is shown.
    void OnFileWritten(const FileWriteResult& result);
    void Finish();
    SettingsPage* NewPage(PageId page);
    WindowCloseSettings CloseSettings() const;

    StderrMessageSink stderrMessages_;
    // Writes the profile file, macro files, lang.ini, mac.dct and CID.dct; made first and
    // stopped first, so every result it posts finds the window.
    std::unique_ptr<FileWriter> writer_;
    std::set<std::string> toldDamaged_;  // kept copies of damaged profile files, told once
    MainWindowSetup setup_;
    ProfileStore store_;
    CUSBDriver driver_;
    QtMessagePoster poster_{this};
    // Messages of worker threads, shown on the window thread through setup_.messages.
    std::unique_ptr<PostingMessageSink> workerMessages_;
    std::unique_ptr<Discovery> discovery_;
    std::unique_ptr<DiscoveryFinder> finder_;
    QtSessionTimers* timers_ = nullptr;
    std::unique_ptr<MacroLibrary> library_;
    std::unique_ptr<DeviceSession> session_;
    std::unique_ptr<LanguageSelection> languages_;
    std::unique_ptr<HidBackend::Monitor> monitor_;
    SessionPopups* popups_ = nullptr;
    ExitApplyWait* exitWait_ = nullptr;  // a child: goes after the session has stopped
    LowBatteryNotice lowBattery_;
    int lowBatteryNotices_ = 0;
    DesktopNotifier* notifier_ = nullptr;  // made with the first notice

    QImage background_;  // key_nr.png as loaded
    QImage display_;     // as painted (doubled in the 4K layout)
    QIcon icon_;
    SkinnedButton* minButton_ = nullptr;
    SkinnedButton* exitButton_ = nullptr;
    SkinnedButton* helpButton_ = nullptr;
    SkinnedComboBox* languageSelector_ = nullptr;
    SkinnedButton* homePage_ = nullptr;
    QLabel* notMouseLabel_ = nullptr;
    std::array<SkinnedButton*, 4> navi_{};
    std::array<SettingsPage*, kPageCount> pages_{};  // null until first needed
    QImage pageBackground_;                          // the background under the page area
    bool laidOutForDevice_ = false;
    BatteryWindow* power_ = nullptr;
    ConnectionBanner* connectionBanner_ = nullptr;
    TransientNote* note_ = nullptr;  // made at the first note
    MouseLockedPages mouseLockedPages_;
    QRect pageArea_;
    PageId currentPage_ = PageId::kKeys;

    QSystemTrayIcon* tray_ = nullptr;
    std::unique_ptr<QMenu> trayMenu_;
    QAction* trayShow_ = nullptr;
    QAction* trayExit_ = nullptr;
    QAction* trayAutostart_ = nullptr;  // start at login
    std::vector<QMenu*> extraMenus_;

    int trayIconSetting_ = 0;
    bool shownFlag_ = true;
    int exitCode_ = 0;
    bool started_ = false;  // the device search has landed and the start went on
    bool exited_ = false;
    bool finished_ = false;
    bool dragging_ = false;
    bool painted_ = false;
    // Start-up and a first page build decode pictures through large temporary buffers;
    // once the window has settled, the heap hands their pages back to the system.
    QTimer heapTrim_;
    void TrimHeapWhenSettled();
    void PreloadMousePictures();
    QPoint dragOffset_;
    std::jthread libraryLoader_;
    bool libraryLoaded_ = false;
    std::optional<int> devicesFound_;  // the device search has landed with this count
    std::unique_ptr<ApplicationFollowing> following_;
    std::string rulesProblem_;  // why the rules file was refused at the start
    SkinnedButton* rulesButton_ = nullptr;
};

}  // namespace vantor
