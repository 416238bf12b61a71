#include "ui/shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSessionManager>
#include <QStyle>
#include <QUrl>
#include <cerrno>

#include "app/config/config.h"
#include "app/config/discovery_config.h"
#include "base/ini.h"
#include "base/log.h"
#include "base/save_failure.h"
#include "base/texts.h"
#include "keys/macro_dump.h"
#include "platform/autostart.h"
#include "platform/heap_trim.h"
#include "profile/codec_context.h"
#include "ui/pages/buttons/buttons_page.h"
#include "ui/pages/buttons/mouse_picture.h"
#include "ui/pages/lighting/lighting_page.h"
#include "ui/pages/macros/macros_page.h"
#include "ui/pages/performance/older_performance_page.h"
#include "ui/pages/performance/performance_page.h"
#include "ui/pages/settings_page.h"
#include "ui/popups/message_window.h"
#include "ui/shell/about_window.h"
#include "ui/shell/autostart_action.h"
#include "ui/shell/battery_window.h"
#include "ui/shell/connection_banner.h"
#include "ui/shell/desktop_notifier.h"
#include "ui/shell/documentation_link.h"
#include "ui/shell/exit_apply_wait.h"
#include "ui/shell/session_adapters.h"
#include "ui/shell/session_popups.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skin_loaders.h"
#include "ui/widgets/skin_preload.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_combo_box.h"
#include "ui/widgets/skinned_menu.h"
#include "ui/widgets/skinned_popup.h"
#include "ui/widgets/transient_note.h"
#include "ui/widgets/window_outline.h"

namespace vantor {
namespace {

constexpr int kWindowButtonSize = 25;
constexpr int kWindowButtonSpacing = 3;
constexpr QRect kDefaultPageArea{QPoint(1, 160), QPoint(1018, 698)};
// Below the battery at the right end of the title area: the pages cover the page area.
constexpr QRect kDefaultHomePageLink{QPoint(745, 134), QPoint(1004, 153)};
constexpr QRect kTitleRect{62, 20, 500, 40};
// Right of the page buttons, left of the battery: the title area's free space.
constexpr QRect kConnectionBannerRect{300, 100, 620, 54};
constexpr QRect kNotMouseRect{62, 62, 640, 24};      // under the title
constexpr QRgb kNotMouseColor = qRgb(255, 170, 60);  // a warning, readable on the dark skin
constexpr int kTitleAreaHeight = 100;  // a right click above this opens the extra menus
constexpr std::uint32_t kMaskVeilArgb = 0xC8FFFFFF;
constexpr int kExitDeviceWorkMs = 2000;
constexpr int kWindowIconSize = 128;
constexpr int kHeapTrimDelayMs = 1000;  // quiet time after the last start-up step
constexpr std::size_t kSelectorNameChars = 19;

// Control ids of the window's own buttons, as WM_COMMAND reports them.
enum ControlId : int {
    kIdMinimize = 1001,
    kIdExit,
    kIdHelp,
    kIdLanguage,
    kIdHomePage,
    kIdNavi1,  // kIdNavi1 + 0..3
};

QRect FromRect(const Rect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

QPoint FromPoint(const Point& p) {
    return QPoint(p.x, p.y);
}

std::size_t PageSlot(PageId page) {
    return static_cast<std::size_t>(static_cast<int>(page) - 1);
}

}  // namespace

MainWindow::MainWindow(MainWindowSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      setup_(std::move(setup)),
      store_(setup_.startup.dataDir) {
    writer_ = std::make_unique<FileWriter>([this](const FileWriteResult& result) {
        QMetaObject::invokeMethod(
            this, [this, result] { OnFileWritten(result); }, Qt::QueuedConnection);
    });
    // Without a sink of the program's own, messages go to standard error.
    if (setup_.messages == nullptr) setup_.messages = &stderrMessages_;
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QString::fromStdString(setup_.startup.title));
    trayIconSetting_ = EffectiveTrayIcon(Options().TrayIcon, setup_.startHidden);
    shownFlag_ = !StartsHidden(setup_.startHidden, setup_.trayAvailable);

    driver_.SetRetry(Options().Retry);
    discovery_ =
        std::make_unique<Discovery>(*setup_.backend, &poster_, DiscoveryConfigFromOptions());
    driver_.SetClearCandidatesHook([this] { discovery_->ClearMatched(); });
    finder_ = std::make_unique<DiscoveryFinder>(*discovery_);
    timers_ = new QtSessionTimers([this](int id) { session_->OnTimer(id); }, this);
    popups_ = new SessionPopups(this);
    heapTrim_.setSingleShot(true);
    connect(&heapTrim_, &QTimer::timeout, this, [] {
        DropPreloadedSkinPictures();
        ReturnFreeHeapMemory();
    });
    library_ = std::make_unique<MacroLibrary>(store_.DataDir() + "Mac/", Options().MacroDir);
    library_->SetFileWriter(writer_.get());

    DeviceSessionSetup s;
    s.driver = &driver_;
    s.store = &store_;
    s.finder = finder_.get();
    s.window = this;
    s.timers = timers_;
    s.poster = &poster_;
    s.macros = library_.get();
    s.saveProfile = [this] { SaveProfileInBackground(); };
    session_ = std::make_unique<DeviceSession>(std::move(s));
    exitWait_ = new ExitApplyWait(session_->Worker(), *popups_, this);

    std::vector<std::string> folders;
    for (const LanguageEntry& language : Options().languages) folders.push_back(language.folder);
    languages_ = std::make_unique<LanguageSelection>(std::move(folders), setup_.startup.programDir,
                                                     setup_.startup.dataDir);
    languages_->AddListener(this);
    languages_->SetFileWriter(writer_.get());
    qApp->installEventFilter(this);
    // The desktop session ends: everything is saved as at the exit, without questions (the
    // session may not wait for an answer). The program may end without a further call.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] {
        if (!exited_) SaveEverything(false);
    });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!exited_) SaveEverything(false);
    });
}

MainWindow::~MainWindow() {
    following_.reset();   // no switch is asked for while the session goes
    writer_.reset();      // writes what was handed over; its posted results go with the window
    libraryLoader_ = {};  // its result, posted to this window, is dropped with it
    qApp->removeEventFilter(this);
    languages_->RemoveListener(this);
    delete timers_;  // no tick reaches the session while it goes
    timers_ = nullptr;
    // No device change may arrive while the link goes down.
    monitor_.reset();
    // Workers waiting on a message are released before the session stops them.
    if (workerMessages_ != nullptr) {
        workerMessages_->Close();
        SetMessageSink(setup_.messages);
    }
    // The mouse still hears that the program has gone (the driver status of OnExit).
    session_->WaitDeviceWork(kExitDeviceWorkMs);
    session_.reset();
    driver_.ClearHandle();
    discovery_->ClearThread();
    driver_.SetClearCandidatesHook({});
    discovery_.reset();
    if (tray_ != nullptr) tray_->hide();
    // The pages read their background from background_, which goes before the children.
    for (SettingsPage*& page : pages_) {
        delete page;
        page = nullptr;
    }
}

// ---- Start-up ----

bool MainWindow::Init() {
    LoadWindowIcon();
    Init4KLayout(screen());
    // Pages and their controls take the window font of the layout (larger in 4K).
    setFont(WindowFont());
    (void)store_.LoadCID();  // no CID.dct yet: the first device section stays current
    PreloadMousePictures();
    languages_->SelectAtStartup();
    if (!LoadSkins()) {
        ShowSystemMessage("Load skins failed.", "Error");
        return false;
    }
    CreateButtons();
    CreateLanguageSelector();
    RefreshWindowTexts();
    CreateHomePageLink();
    CreateConnectionBanner();
    CreatePages();
    if (Is4KLayout()) Apply4KLayout();
    CreateRulesButton();
    SwitchPage(PageId::kKeys);

    // The device search pauses between its probes, so it runs on the device thread: the
    // window shows at once and the start goes on when the search lands.
    session_->SearchDevices([this](int found) {
        devicesFound_ = found;
        ContinueStartWhenReady();
    });
    StartLibraryLoad();
    if (shownFlag_) ShowTheWindow();
    return true;
}

void MainWindow::StartLibraryLoad() {
    libraryLoader_ = std::jthread([this, root = library_->Root(), macroDir = Options().MacroDir] {
        auto loaded = std::make_shared<MacroLibrary>(root, macroDir);
        loaded->LoadLibrary(true);
        QMetaObject::invokeMethod(
            this,
            [this, loaded] {
                if (exited_) return;
                library_->TakeLoaded(std::move(*loaded));
                libraryLoaded_ = true;
                ContinueStartWhenReady();
            },
            Qt::QueuedConnection);
    });
}

void MainWindow::ContinueStartWhenReady() {
    if (libraryLoaded_ && devicesFound_ && !started_) ContinueStart(*devicesFound_);
}

void MainWindow::ContinueStart(int found) {
    DbgLog("nDevNum=%d", found);
    if (found <= 0 && Options().Suwnd == 0) {
        // A mouse this user may not open gets the fix rather than "no device".
        ShowNotice(Text(session_->Connection() == MouseConnection::kNoPermission ? "tc_noaccess"
                                                                                 : "tc_msg15"));
        exitCode_ = 1;
        CloseWindow();
        return;
    }
    timers_->Start(CHECK_DEV_NUM_TIMER_ID, kCheckDevNumTimerMs);
    session_->LandStartSearch(found);
    workerMessages_ = std::make_unique<PostingMessageSink>(poster_, *setup_.messages);
    SetMessageSink(workerMessages_.get());
    session_->StartApplyWorker(workerMessages_.get());
    // The monitor's thread hands each change to the window thread (the monitor stops before
    // the window goes).
    monitor_ = setup_.backend->WatchDeviceChanges([this](const HidDeviceChange& change) {
        QMetaObject::invokeMethod(
            this, [this, change] { session_->OnDeviceChange(change); }, Qt::QueuedConnection);
    });
    if (HasTrayIcon(trayIconSetting_) && setup_.trayAvailable) CreateTrayIcon();
    session_->RefreshLayout();
    StartFollowing();
    started_ = true;
    TrimHeapWhenSettled();
}

void MainWindow::TrimHeapWhenSettled() {
    heapTrim_.start(kHeapTrimDelayMs);
}

// The button page shows the mouse picture of the model once the mouse is found; it is
// decoded meanwhile, while the device search runs.
void MainWindow::PreloadMousePictures() {
    const DeviceSection& d = CurrentDevice();
    const QString folder = MousePicture::MouseFolder(d.CID, d.MID);
    PreloadSkinPictures({SkinPath(folder + QStringLiteral("mouse_nr.png")),
                         SkinPath(folder + QStringLiteral("mouse_dn.png"))});
}

void MainWindow::LoadWindowIcon() {
    const std::string& folder = setup_.startup.programDir;
    // Why no icon was taken, as a system error: no file (2), or for the last file found,
    // not readable (13) or not a picture (22).
    unsigned error = ENOENT;
    for (const auto& [name, format] : {std::pair{"appico.png", "png"}, {"appico.ico", "ico"}}) {
        const QString path = QString::fromStdString(folder + name);
        const QFileInfo info(path);
        if (!info.exists()) continue;
        if (!info.isFile() || !info.isReadable()) {
            error = EACCES;
            continue;
        }
        QImage picture = ReadPicture(path, format);
        if (picture.isNull()) {
            error = EINVAL;
            continue;
        }
        // Title bars and trays show it small; the launcher takes the installed icon.
        if (picture.width() > kWindowIconSize || picture.height() > kWindowIconSize) {
            picture = picture.scaled(kWindowIconSize, kWindowIconSize, Qt::KeepAspectRatio,
                                     Qt::SmoothTransformation);
        }
        icon_ = QIcon(QPixmap::fromImage(picture));
        break;
    }
    if (icon_.isNull()) {
        DbgLog("Load Icon err=%x", error);
        icon_ = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    }
    setWindowIcon(icon_);
}

bool MainWindow::LoadSkins() {
    background_ = LoadSkinImage(QStringLiteral("key_nr.png"));
    if (background_.isNull()) return false;
    display_ = Is4KLayout() ? ScaledCopy(background_, 2) : background_;

    // Centred on the usable screen, or at 10 when it does not fit.
    const QRect screenArea = screen() != nullptr ? screen()->availableGeometry() : QRect();
    auto place = [](int screenSize, int pictureSize) {
        const int diff = screenSize - pictureSize;
        const int pos = diff / 2;
        return diff < 2 || pos >= screenSize ? 10 : pos;
    };
    resize(display_.size());
    move(screenArea.x() + place(screenArea.width(), display_.width()),
         screenArea.y() + place(screenArea.height(), display_.height()));
    ApplyWindowOutline(this, display_, Options().clrMask, kMainWindowOutlineTolerance);
    return true;
}

void MainWindow::CreateButtons() {
    const AppOptions& options = Options();
    const QPoint min = FromPoint(options.ptMin);
    const QSize size(kWindowButtonSize, kWindowButtonSize);
    auto button = [this, &size](const char* file, QPoint at, int id) {
        const QString name = QString::fromLatin1(file);
        SkinnedButton* b =
            NewSmallPngButton(this, background_, {name, name, name, QRect(at, size), {}, id});
        if (b != nullptr)
            connect(b, &SkinnedButton::clicked, this, [this, id] {
                if (id == kIdMinimize) OnMinimizeButton();
                if (id == kIdExit) OnExitButton();
                if (id == kIdHelp) OnHelpButton();
            });
        return b;
    };
    minButton_ = button("min_nr.png", min, kIdMinimize);
    exitButton_ =
        button("exit_nr.png", min + QPoint(kWindowButtonSize + kWindowButtonSpacing, 0), kIdExit);
    helpButton_ =
        button("help_nr.png", min - QPoint(kWindowButtonSize + kWindowButtonSpacing, 0), kIdHelp);

    const DeviceSection& section = CurrentDevice();
    const auto rects =
        LayoutNaviButtons(options.ptNavi.x, options.ptNavi.y, options.NaviW, options.ShowMacro != 0,
                          section.ShowMainEffect != 0 || section.ShowLogoEffect != 0);
    for (int i = 0; i < 4; ++i) {
        const NaviRect& r = rects[static_cast<std::size_t>(i)];
        const QString normal = QStringLiteral("navi%1_nr.png").arg(i + 1);
        const QString down = QStringLiteral("navi%1_dn.png").arg(i + 1);
        SkinnedButton* b = NewSmallPngButton(
            this, background_,
            {normal, normal, down, QRect(r.x, r.y, r.width, r.height), {}, kIdNavi1 + i});
        navi_[static_cast<std::size_t>(i)] = b;
        if (b == nullptr) continue;
        b->SetCheckMode(true, false);
        b->setVisible(r.shown);
        connect(b, &SkinnedButton::clicked, this, [this, i] { SwitchPage(PageOfNaviButton(i)); });
    }
}

void MainWindow::CreateLanguageSelector() {
    const QPoint min = FromPoint(Options().ptMin);
    const QRect rect(min + QPoint(-161, -2), min + QPoint(-50 - 1, 28 - 1));
    languageSelector_ = new SkinnedComboBox(this);
    languageSelector_->setGeometry(rect);
    languageSelector_->SetStretch(true);
    languageSelector_->LoadImages(QStringLiteral("combo3_nr.png"), QStringLiteral("combo3_nr.png"),
                                  QStringLiteral("combo3_nr.png"));
    languageSelector_->SetBackgroundImage(BackgroundCrop(background_, rect));
    languageSelector_->setFont(SelectorFont());
    languageSelector_->SetTextColors(ColorFromColorRef(Options().Btn_txt_clr_ov),
                                     ColorFromColorRef(Options().Btn_txt_clr_nr),
                                     ColorFromColorRef(Options().Btn_txt_clr_dn));
    languageSelector_->SetCaptionLayout(10, Qt::AlignLeft | Qt::AlignVCenter);
    languageSelector_->SetControlId(kIdLanguage);
    languageSelector_->SetChangesOnly(true);
    const std::vector<LanguageEntry>& languages = Options().languages;
    for (std::size_t i = 0; i < languages.size(); ++i) {
        languageSelector_->AddItem(0, static_cast<std::uint32_t>(i),
                                   CutToChars(languages[i].name, kSelectorNameChars));
    }
    languageSelector_->SelectValue(static_cast<std::uint32_t>(languages_->CurrentIndex()));
    languageSelector_->setVisible(languages_->LanguageCount() > 0);
}

namespace {}  // namespace

void MainWindow::CreateHomePageLink() {
    const Rect& configured = Options().rcHomePageBtn;
    homePage_ = new SkinnedButton(this);
    homePage_->SetControlId(kIdHomePage);
    homePage_->setCursor(Qt::PointingHandCursor);
    if (configured.IsEmpty()) {
        homePage_->setGeometry(kDefaultHomePageLink);
        homePage_->SetBackgroundImage(BackgroundCrop(background_, kDefaultHomePageLink));
        homePage_->SetTextColors(ColorFromColorRef(Options().Btn_txt_clr_ov),
                                 ColorFromColorRef(Options().Btn_txt_clr_nr),
                                 ColorFromColorRef(Options().Btn_txt_clr_dn));
        // Underlined, so it reads as a link.
        QFont font = homePage_->font();
        font.setUnderline(true);
        homePage_->setFont(font);
    } else {
        homePage_->setGeometry(FromRect(configured));
        homePage_->SetBackgroundImage(BackgroundCrop(background_, FromRect(configured)));
    }
    connect(homePage_, &SkinnedButton::clicked, this, [this] {
        const QUrl target = DocumentationUrl(setup_.startup.programDir, Text("tc_mainweb"));
        if (!target.isEmpty()) QDesktopServices::openUrl(target);
    });
    RefreshHomePageLink();
}

void MainWindow::RefreshHomePageLink() {
    if (homePage_ == nullptr) return;
    const bool shown = !DocumentationUrl(setup_.startup.programDir, Text("tc_mainweb")).isEmpty();
    if (Options().rcHomePageBtn.IsEmpty()) {
        homePage_->SetText(QString::fromStdString(Text("tc_msg24")), 0,
                           Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine);
    }
    homePage_->setVisible(shown);
}

void MainWindow::CreateConnectionBanner() {
    connectionBanner_ = new ConnectionBanner(this);
    connectionBanner_->setGeometry(kConnectionBannerRect);
    connect(connectionBanner_, &ConnectionBanner::shownChanged, this,
            [this](MouseConnection shown) {
                mouseLockedPages_.SetLocked(!MouseControlsEnabled(shown, Options().GoWithNoDev));
            });
}

void MainWindow::ShowConnection(MouseConnection connection) {
    if (connectionBanner_ != nullptr) connectionBanner_->SetConnection(connection);
}

void MainWindow::CreatePages() {
    const Rect& configured = Options().rcSubDlg;
    pageArea_ = configured.IsEmpty() ? kDefaultPageArea : FromRect(configured);
    // Every page paints the same part of the background; it reads it from the window's
    // picture (which lives as long as the window) rather than from a copy.
    pageBackground_ = BackgroundView(background_, pageArea_);
    power_ = new BatteryWindow(
        this,
        BackgroundCrop(background_, QRect(FromPoint(Options().ptPower),
                                          QSize(BatteryWindow::kWidth, BatteryWindow::kHeight))));
    power_->setGeometry(
        QRect(FromPoint(Options().ptPower), QSize(BatteryWindow::kWidth, BatteryWindow::kHeight)));
    power_->hide();
}

SettingsPage* MainWindow::NewPage(PageId id) {
    switch (id) {
        case PageId::kKeys:
            return new ButtonsPage(this, *this, pageBackground_);
        case PageId::kMacro:
            return new MacrosPage(this, *this, pageBackground_);
        case PageId::kPerformance:
            if (Options().OldAdvDlg != 0)
                return new OlderPerformancePage(this, *this, pageBackground_);
            return new PerformancePage(this, *this, pageBackground_);
        case PageId::kLighting:
            return new LightingPage(this, *this, pageBackground_);
    }
    return nullptr;
}

SettingsPage* MainWindow::Page(PageId id) {
    SettingsPage*& page = pages_[PageSlot(id)];
    if (page != nullptr) return page;
    // Pages are built when first needed, which keeps the start short; a new page catches
    // up with everything the built ones were told.
    page = NewPage(id);
    page->hide();
    page->setGeometry(pageArea_);
    if (Is4KLayout()) {
        Move4K(page);
        page->Layout4K();
    }
    if (laidOutForDevice_) page->PrepareForDevice();
    page->LoadFromRecord(store_.Current());
    if (session_->CurDpiLevel() >= 0) page->MarkCurrentLevel(session_->CurDpiLevel());
    mouseLockedPages_.Add(id, page);
    TrimHeapWhenSettled();
    return page;
}

SettingsPage* MainWindow::BuiltPage(PageId id) const {
    return pages_[PageSlot(id)];
}

void MainWindow::Apply4KLayout() {
    for (QWidget* child :
         std::initializer_list<QWidget*>{minButton_, exitButton_, helpButton_, languageSelector_,
                                         homePage_, power_, connectionBanner_}) {
        if (child != nullptr) Move4K(child);
    }
    for (SkinnedButton* b : navi_) {
        if (b != nullptr) Move4K(b);
    }
    for (SettingsPage* page : pages_) {
        if (page == nullptr) continue;
        Move4K(page);
        page->Layout4K();
    }
}

void MainWindow::CreateTrayIcon() {
    trayMenu_ = std::make_unique<QMenu>();
    trayShow_ = trayMenu_->addAction(QString());
    connect(trayShow_, &QAction::triggered, this, &MainWindow::ShowTheWindow);
    for (QMenu* menu : extraMenus_) trayMenu_->addMenu(menu);
    trayAutostart_ = AddAutostartAction(trayMenu_.get(), setup_.startup.title);
    trayMenu_->addSeparator();
    trayExit_ = trayMenu_->addAction(QString());
    connect(trayExit_, &QAction::triggered, this, &MainWindow::OnExit);
    RefreshTrayTexts();

    tray_ = new QSystemTrayIcon(icon_, this);
    tray_->setToolTip(QString::fromStdString(setup_.startup.title));
    tray_->setContextMenu(trayMenu_.get());
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger) OnTrayNotify(kTrayNotifyLParam);
    });
    tray_->show();
}

// The window's own buttons show no caption; their tooltips and accessible names say what
// they do in the user's language.
void MainWindow::RefreshWindowTexts() {
    auto name = [](QWidget* widget, const char* key) {
        if (widget == nullptr) return;
        const QString text = QString::fromStdString(Text(key));
        widget->setToolTip(text);
        widget->setAccessibleName(text);
    };
    name(minButton_, "tc_msg30");
    name(exitButton_, "tc_exit");
    name(helpButton_, "tc_msg23");
    name(languageSelector_, "tc_msg22");
    static constexpr std::array<const char*, 4> kPageNames = {"tc_page1", "tc_page2", "tc_page3",
                                                              "tc_page4"};
    for (std::size_t i = 0; i < navi_.size(); ++i) name(navi_[i], kPageNames[i]);
    RefreshRulesButton();
    if (notMouseLabel_ != nullptr) {
        notMouseLabel_->setText(QString::fromStdString(Text("tc_not_mouse")));
        notMouseLabel_->setAccessibleName(notMouseLabel_->text());
    }
}

void MainWindow::ShowsMouseSettings(bool shown) {
    if (shown && notMouseLabel_ == nullptr) return;
    if (notMouseLabel_ == nullptr) {
        notMouseLabel_ = new QLabel(this);
        notMouseLabel_->setGeometry(LayoutRect(kNotMouseRect));
        QPalette palette = notMouseLabel_->palette();
        palette.setColor(QPalette::WindowText, QColor(kNotMouseColor));
        notMouseLabel_->setPalette(palette);
        RefreshWindowTexts();
    }
    notMouseLabel_->setVisible(!shown);
}

void MainWindow::RefreshTrayTexts() {
    if (trayShow_ != nullptr) trayShow_->setText(QString::fromStdString(Text("tc_config")));
    if (trayExit_ != nullptr) trayExit_->setText(QString::fromStdString(Text("tc_exit")));
    if (trayAutostart_ != nullptr) RefreshAutostartText(trayAutostart_);
}

void MainWindow::AddExtraMenu(QMenu* menu) {
    extraMenus_.push_back(menu);
    if (trayMenu_ && trayExit_ != nullptr) trayMenu_->insertMenu(trayExit_, menu);
}

// ---- Pages ----

void MainWindow::SwitchPage(PageId page) {
    const SettingsPage* macro = BuiltPage(PageId::kMacro);
    if (!MaySwitchPage(macro != nullptr && macro->IsRecording())) {
        ShowText(Text("tc_macro_msg17"));
        return;
    }
    CloseMenu();  // a list of the old page, or of the window, closes with the switch
    for (SkinnedButton* b : navi_) {
        if (b != nullptr) b->SetCheck(false);
    }
    for (SettingsPage* p : pages_) {
        if (p != nullptr) p->hide();
    }
    currentPage_ = page;
    if (SkinnedButton* b = navi_[static_cast<std::size_t>(NaviButtonOfPage(page))])
        b->SetCheck(true);
    if (SettingsPage* p = Page(page)) p->show();
}

void MainWindow::CheckDeviceReady(std::function<void()> onReady) {
    session_->CheckDeviceReady(std::move(onReady));
}

void MainWindow::ApplyChange(std::uint32_t flags, int index) {
    if (Options().ApplyNow == 0) return;
    session_->Worker().RequestApply(flags, index);
}

void MainWindow::ApplyLightingChange(std::uint32_t flags, int index) {
    if (Options().ApplyNow == 0) return;
    session_->ApplyUnlessBusy(flags, index, [this] { ShowText(Text("tc_adv_str29")); });
}

void MainWindow::LayoutForDevice() {
    // The profile file has just been loaded: a damaged one was kept beside it, and the
    // user hears of it once (the next load finds it again until the first save).
    const std::string& damaged = store_.KeptDamagedFile();
    if (!damaged.empty() && toldDamaged_.insert(damaged).second) {
        const std::string text =
            TextOr("tc_damaged_kept", "The damaged profile file was kept as:") + " " + damaged;
        QMetaObject::invokeMethod(
            this, [this, text] { ShowNotice(text); }, Qt::QueuedConnection);
    }
    const DeviceSection& section = CurrentDevice();
    if (SkinnedButton* lighting = navi_[3]) {
        lighting->setVisible(section.ShowMainEffect != 0 || section.ShowLogoEffect != 0);
    }
    laidOutForDevice_ = true;
    for (SettingsPage* page : pages_) {
        if (page != nullptr) page->PrepareForDevice();
    }
}

// Pages not built yet are told nothing: they read the record when they are built.
void MainWindow::RefreshPages() {
    for (SettingsPage* page : pages_) {
        if (page != nullptr) page->LoadFromRecord(store_.Current());
    }
    TrimHeapWhenSettled();  // a profile read or import has just landed
}

void MainWindow::RefreshPerformancePage() {
    if (SettingsPage* page = BuiltPage(PageId::kPerformance))
        page->LoadFromRecord(store_.Current());
}

void MainWindow::RefreshLightingPage() {
    if (SettingsPage* page = BuiltPage(PageId::kLighting)) page->RefreshLighting();
}

void MainWindow::MarkCurrentLevel(int level) {
    if (SettingsPage* page = BuiltPage(PageId::kPerformance)) page->MarkCurrentLevel(level);
}

void MainWindow::SelectReportRateFromDevice(int rateCode) {
    if (SettingsPage* page = BuiltPage(PageId::kPerformance))
        page->SelectReportRateFromDevice(rateCode);
}

// ---- Battery ----

bool MainWindow::IsBatteryShown() const {
    return power_ != nullptr && !power_->isHidden();
}

void MainWindow::ShowBattery() {
    if (power_ != nullptr) power_->show();
}

void MainWindow::HideBattery() {
    if (power_ != nullptr) power_->hide();
}

void MainWindow::SetPower(int level, bool charging) {
    if (power_ != nullptr) power_->SetPower(level, charging);
    const bool hidden = (Options().ShowPower & kShowPowerHideBattery) != 0;
    if (!lowBattery_.OnBatteryReport(level, charging, Options().PowerCritical[0], hidden)) return;
    ++lowBatteryNotices_;
    ShowNotice(QString::fromStdString(Text("tc_msg16")));
}

void MainWindow::ShowNotice(const QString& text) {
    const QString title = QString::fromStdString(setup_.startup.title);
    if (notifier_ == nullptr) {
        const QString id = QString::fromLatin1(ApplicationId());
        notifier_ = new DesktopNotifier({title, id, id}, QDBusConnection::sessionBus(), this);
    }
    notifier_->Notify(title, text, [tray = QPointer<QSystemTrayIcon>(tray_), title, text] {
        if (tray) tray->showMessage(title, text, QSystemTrayIcon::Warning);
    });
}

// ---- Messages of the session ----

void MainWindow::ShowText(const std::string& text) {
    ShowMessage(text, this);
}

void MainWindow::ShowNotice(const std::string& text) {
    popups_->ShowNotice(text);
}

void MainWindow::Ask(const std::string& text, std::function<void()> onOk) {
    popups_->AskOkCancel(text, std::move(onOk));
}

bool MainWindow::AskOkCancel(const std::string& text) {
    return AskQuestion(text, this);
}

bool MainWindow::ShowTextOk(const std::string& text) {
    return ShowMessage(text, this) == QDialog::Accepted;
}

void MainWindow::ShowNote(const std::string& text) {
    if (note_ == nullptr) note_ = new TransientNote(this);
    note_->ShowNote(QString::fromStdString(text));
}

void MainWindow::ShowReadWait(const std::string& text) {
    // A window waiting in the tray shows no wait message.
    if (isVisible()) popups_->ShowReadWait(text);
}

void MainWindow::CloseReadWait() {
    popups_->CloseReadWait();
}

std::shared_ptr<ProgressSink> MainWindow::OpenRestoreProgress(const std::string& text) {
    return popups_->OpenProgress(text);
}

void MainWindow::CloseWindow() {
    // A notice that says why (no mouse, two mice) is read before the program ends.
    popups_->AfterNotices([this] {
        HideWindow();
        Finish();
    });
}

// ---- Window commands ----

WindowCloseSettings MainWindow::CloseSettings() const {
    return {Options().ExitType, trayIconSetting_, tray_ != nullptr};
}

void MainWindow::TellDriverStatus(std::uint8_t status) {
    session_->TellDrvStatus(status);
}

void MainWindow::HideWindow() {
    shownFlag_ = false;
    hide();
}

void MainWindow::OnExitButton() {
    TellDriverStatus(0);
    switch (ExitButtonAction(CloseSettings())) {
        case WindowAction::kExit:
            HideWindow();
            OnExit();
            break;
        case WindowAction::kHideToTray:
            HideWindow();
            break;
        case WindowAction::kMinimize:
            showMinimized();
            break;
        case WindowAction::kNothing:
            break;
    }
}

void MainWindow::OnMinimizeButton() {
    TellDriverStatus(0);
    const WindowAction action = MinimizeButtonAction(CloseSettings());
    if (Options().ExitType == 0) DbgLog("Min window");
    if (action == WindowAction::kHideToTray) {
        HideWindow();
    } else if (action == WindowAction::kMinimize) {
        showMinimized();
    }
}

void MainWindow::OnHelpButton() {
    std::optional<std::uint16_t> version;
    if (const auto device = discovery_->GetCurParam()) version = device->version;
    AboutWindow about(this, version);
    about.exec();
}

void MainWindow::ShowTheWindow() {
    if (isVisible()) {
        showNormal();
        raise();
        activateWindow();
        return;
    }
    shownFlag_ = true;
    TellDriverStatus(1);
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::CloseSkinnedPopups() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* popup = qobject_cast<SkinnedPopup*>(window);
        if (popup != nullptr && popup->isVisible()) popup->close();
    }
}

void MainWindow::OnExit() {
    if (exited_) return;
    exited_ = true;
    DbgLog("OnExit");
    TellDriverStatus(0);
    CloseSkinnedPopups();
    timers_->Stop(FINDDEV_TIMER_ID);
    timers_->Stop(kSearchRetryTimerId);
    SaveEverything(true);
    library_->Macros().Clear();
    HideWindow();
    // The program ends once the changes still waiting for the apply worker are written.
    exitWait_->Start([this] { Finish(); });
}

void MainWindow::SaveEverything(bool askOnFailure) {
    SaveUnsavedMacros();
    SaveMacroNames();
    if (CurrentDevice().Sensor != 0) {
        if (askOnFailure) {
            (void)SaveProfileAtExit();
        } else {
            SaveProfileInBackground();
        }
        writer_->Write(store_.CidFilePath(), store_.CidFileImage());
    }
    // Everything handed to the writer reaches the disk before the program ends, and a
    // failed write is shown now, while the program still runs.
    constexpr int kExitWriteWaitMs = 30000;
    if (!writer_->Flush(kExitWriteWaitMs)) DbgLog("Save: file writes still running");
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void MainWindow::SaveUnsavedMacros() {
    if (!libraryLoaded_) return;
    if (auto* macroPage = qobject_cast<MacrosPage*>(BuiltPage(PageId::kMacro))) {
        if (macroPage->SaveButton() != nullptr && !macroPage->SaveButton()->isHidden() &&
            !macroPage->IsRecording()) {
            macroPage->OnSave();
        }
    }
    library_->FlushAllDirty();
}

void MainWindow::SaveMacroNames() {
    // Before the library has landed its list is empty, and the kept names stay.
    if (!libraryLoaded_) return;
    writer_->Write(store_.DataDir() + "mac.dct", BuildMacroDump(library_->Macros()));
}

void MainWindow::SaveProfileInBackground() {
    if (auto bytes = store_.ProfileFileImage()) {
        writer_->Write(store_.ProfileFilePath(), std::move(*bytes));
    }
}

bool MainWindow::SaveProfileAtExit() {
    for (;;) {
        std::optional<std::vector<std::uint8_t>> bytes = store_.ProfileFileImage();
        if (!bytes) return false;
        const FileWriteResult result =
            writer_->WriteAndWait(store_.ProfileFilePath(), std::move(*bytes));
        if (result.ok) return true;
        const std::string question = SaveFailedText(result.path, result.error) + "\n" +
                                     TextOr("tc_save_exit_ask", "Try again?");
        if (!AskOkCancel(question)) {
            DbgLog("OnExit: the profile file was not saved");
            return false;
        }
    }
}

void MainWindow::OnFileWritten(const FileWriteResult& result) {
    if (result.ok) return;
    (void)library_->MacroWriteFailed(result.path, result.error);
    // A note that confirmed handing the file over would now say the opposite of the truth.
    if (note_ != nullptr) note_->hide();
    // Non-modal: a result handler never runs a loop of its own; notices stack.
    ShowNotice(SaveFailedText(result.path, result.error));
}

void MainWindow::Finish() {
    if (finished_) return;
    finished_ = true;
    QMetaObject::invokeMethod(this, &MainWindow::finished, Qt::QueuedConnection);
}

bool MainWindow::ChangeLanguage(int index) {
    return languages_->ChangeLanguage(index);
}

void MainWindow::OnLanguageChanged() {
    for (SettingsPage* page : pages_) {
        if (page != nullptr) page->RefreshTexts();
    }
    RefreshTrayTexts();
    RefreshHomePageLink();
    RefreshWindowTexts();
    if (connectionBanner_ != nullptr) connectionBanner_->RefreshTexts();
    if (languageSelector_ != nullptr) {
        languageSelector_->SelectValue(static_cast<std::uint32_t>(languages_->CurrentIndex()));
    }
    if (store_.Current() != nullptr) update();
}

// ---- Window messages ----

void MainWindow::OnWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    switch (message) {
        case WM_DEVICE_BEHAVIOR:
            session_->OnDeviceBehavior(wParam, lParam);
            break;
        case WM_FIND_DEVICE_OK:
            session_->OnFindDeviceMessage();
            break;
        case WM_SESSION_RESULT:
            session_->OnSessionResult(wParam);
            break;
        case WM_SHOW_POSTED_MESSAGES:
            if (workerMessages_ != nullptr) workerMessages_->ShowWaitingMessages();
            break;
        case kTrayNotifyMessage:
            OnTrayNotify(lParam);
            break;
        case WM_COMMAND:
            if (wParam == kIdLanguage && languageSelector_ != nullptr) {
                ChangeLanguage(static_cast<int>(languageSelector_->ControlValue()));
            }
            break;
        default:
            break;
    }
}

void MainWindow::OnTrayNotify(std::intptr_t what) {
    if (what == kTrayNotifyLParam) {
        ShowTheWindow();
    } else if (what == kTrayRightButtonUp && trayMenu_) {
        trayMenu_->popup(QCursor::pos());
    }
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == WindowMessageEvent::EventType()) {
        const auto* m = static_cast<WindowMessageEvent*>(event);
        OnWindowMessage(m->message, m->wParam, m->lParam);
        return true;
    }
    return QWidget::event(event);
}

// The window's keys, looked at before its controls: Ctrl+1..4 open the pages of the shown
// page buttons, Ctrl+Tab and Ctrl+Shift+Tab step through them, F1 opens the About box.
// Every other key (Enter, Escape and Space included) goes to the focused control.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || (widget != this && !isAncestorOf(widget))) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = (key->modifiers() & Qt::ControlModifier) != 0;
    if (key->key() == Qt::Key_F1 && !ctrl) {
        OnHelpButton();
        return true;
    }
    if (!ctrl) return false;
    if (key->key() >= Qt::Key_1 && key->key() <= Qt::Key_4) {
        const int index = key->key() - Qt::Key_1;
        if (IsNaviShown(index)) SwitchPage(PageOfNaviButton(index));
        return true;
    }
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        StepPage(key->key() == Qt::Key_Tab ? 1 : -1);
        return true;
    }
    return false;
}

bool MainWindow::IsNaviShown(int index) const {
    const SkinnedButton* button = navi_[static_cast<std::size_t>(index)];
    return button != nullptr && !button->isHidden();
}

void MainWindow::StepPage(int step) {
    const int count = static_cast<int>(navi_.size());
    int index = NaviButtonOfPage(currentPage_);
    for (int tries = 0; tries < count; ++tries) {
        index = ((index + step) % count + count) % count;
        if (IsNaviShown(index)) {
            SwitchPage(PageOfNaviButton(index));
            return;
        }
    }
}

void MainWindow::setVisible(bool visible) {
    if (visible && !shownFlag_) return;
    QWidget::setVisible(visible);
}

// ---- Painting and moving ----

void MainWindow::paintEvent(QPaintEvent* event) {
    (void)event;
    if (!painted_) {
        painted_ = true;
        DbgLog("First paint");  // the start-up benchmark waits for this line
        TrimHeapWhenSettled();
    }
    // The window's backing store is the off-screen picture that reaches the screen in one
    // step; a canvas of our own would cost a window-sized copy per paint and its memory.
    QPainter painter(this);
    if (Options().clrMask != 0) painter.fillRect(rect(), QColor::fromRgba(kMaskVeilArgb));
    painter.drawImage(rect(), display_);
    painter.setFont(TitleFont());
    painter.setPen(ColorFromColorRef(Options().Txt_clr));
    painter.drawText(LayoutRect(kTitleRect), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(setup_.startup.title));
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
    }
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (extraMenus_.empty() ||
        event->pos().y() >= LayoutRect(QRect(0, 0, 1, kTitleAreaHeight)).height()) {
        return;
    }
    QMenu menu;
    for (QMenu* extra : extraMenus_) menu.addMenu(extra);
    menu.exec(event->globalPos());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closed by the desktop (not by the window's own buttons): treat it as the exit button.
    if (!finished_) {
        event->ignore();
        OnExitButton();
        return;
    }
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if ((change->oldState() & Qt::WindowMinimized) && !(windowState() & Qt::WindowMinimized)) {
            TellDriverStatus(1);
        }
    }
    QWidget::changeEvent(event);
}

}  // namespace vantor
