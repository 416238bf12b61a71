// Every text of every shipped language fits where the windows draw it: each language
// listed in cfg.ini is loaded in turn, the main window with each page and every pop-up are
// drawn with the shipped skin and the program's fonts (the pop-ups in the normal and the
// doubled layout), and every text that had to be cut with "…" (even after the font was
// made smaller) is named with its language, text key and rectangle.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/config/config.h"
#include "app/session/device_session.h"
#include "base/texts.h"
#include "keys/key_functions.h"
#include "keys/macro_file.h"
#include "keys/macro_record.h"
#include "platform/paths.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "tests/support/temp_dir.h"
#include "tests/ui_support/page_test_host.h"
#include "ui/pages/lighting/lighting_page.h"
#include "ui/pages/page_host.h"
#include "ui/pages/performance/older_performance_page.h"
#include "ui/pages/performance/performance_page.h"
#include "ui/popups/fire_key_window.h"
#include "ui/popups/macro_picker.h"
#include "ui/popups/message_window.h"
#include "ui/popups/movement_window.h"
#include "ui/popups/progress_window.h"
#include "ui/shell/about_window.h"
#include "ui/shell/main_window.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_combo_box.h"

namespace vantor {
namespace {

// Texts shown as the body of the message and question window.
const char* const kMessageTexts[] = {
    "tc_msg1",        "tc_msg5",           "tc_msg6",           "tc_msg9",
    "tc_msg10",       "tc_msg11",          "tc_msg12",          "tc_msg13",
    "tc_msg15",       "tc_msg16",          "tc_msg18",          "tc_msg20",
    "tc_msg29",       "tc_msg34",          "tc_msg36",          "tc_macro_msg1",
    "tc_macro_msg6",  "tc_macro_msg8",     "tc_macro_msg9",     "tc_macro_msg17",
    "tc_macro_msg18", "tc_adv_str15",      "tc_adv_str29",      "tc_tip1",
    "tc_tip3",        "tc_debounce_tips",  "tc_save_exit_ask",  "tc_damaged_kept",
    "tc_read_failed", "tc_read_corrected", "tc_partly_written",
};
// Prompts of the one-line input windows, by mode.
const char* const kTextPrompts[] = {"tc_macro_msg11", "tc_macro_msg13"};
const char* const kNumberPrompts[] = {"tc_macro_msg12", "tc_dpirange"};
const char* const kCapturePrompts[] = {"tc_combo_tips", "tc_msg7"};

QString TextOf(const char* key) {
    return QString::fromStdString(Text(key));
}

// A host for pages drawn alone: a record, every check passes, nothing is written.
class DrawingHost : public PageHost {
  public:
    ProfileFile* Record() override { return &record; }
    [[noreturn]] ProfileStore& Store() override { std::abort(); }
    [[noreturn]] MacroLibrary& Macros() override { std::abort(); }
    [[noreturn]] DeviceSession& Session() override { std::abort(); }
    void CheckDeviceReady(std::function<void()> onReady) override { onReady(); }
    bool IsDeviceReady() override { return true; }
    void ApplyChange(std::uint32_t, int) override {}
    void ApplyLightingChange(std::uint32_t, int) override {}
    std::uint16_t ProductId() override { return 0; }
    void ShowText(const std::string&) override {}
    bool AskOkCancel(const std::string&) override { return true; }
    void SwitchPage(PageId) override {}
    void RefreshPages() override {}
    ProfileFile record{};
};

// Draws `window` as it is shown.
void Draw(QWidget* window) {
    window->setAttribute(Qt::WA_DontShowOnScreen);
    window->show();
    (void)window->grab();
    window->hide();
}

std::unique_ptr<MessageWindow> MakeMessageWindow(int mode, const QString& prompt) {
    auto dialog = std::make_unique<MessageWindow>();
    dialog->SetMode(mode);
    dialog->SetPrompt(prompt);
    dialog->SetModifierToggles(mode == kMsgKeyCapture);
    dialog->Prepare();
    return dialog;
}

// The main window against the simulated mouse, once the mouse is read, with each of its
// pages in turn, in the language `languageIndex` of cfg.ini. Drawn in the normal layout
// only: the window takes its layout from the screen, which is small here.
void DrawMainWindow(int languageIndex) {
    test::TempDir data;
    test::ScopedEnv dataEnv("VANTOR_DATA_DIR", data.path());
    std::shared_ptr<SimFirmware> firmware = MakeSimFirmware(0);
    ASSERT_NE(firmware, nullptr);
    SimBackendSettings settings;
    settings.vendorId = Options().VID;
    settings.productId = static_cast<std::uint16_t>(Options().PID.at(0));
    SimHidBackend backend(firmware, settings);
    MainWindowSetup setup;
    setup.startup = {ProgramDir(), data.path(), "Vantor Mouse Center", false};
    setup.backend = &backend;
    setup.trayAvailable = false;
    MainWindow window(setup);
    ASSERT_TRUE(window.Init());
    ASSERT_TRUE(window.ChangeLanguage(languageIndex));
    QElapsedTimer clock;
    clock.start();
    while (window.Store().Current() == nullptr || !window.Session().FirstReadDone()) {
        ASSERT_LT(clock.elapsed(), 8000) << "the mouse was not read";
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    for (int page = 1; page <= kPageCount; ++page) {
        window.SwitchPage(static_cast<PageId>(page));
        Draw(&window);
    }
}

// Every page with the texts it can show, for the first device section.
void DrawPages(const std::string& folder) {
    // A record that shows every control.
    test::PageTestHost host(folder);
    ProfileFile& record = host.record;
    record.nDpiLevels = kDpiLevels;
    record.bDpiXY = 1;
    for (DpiLevel& level : record.Dpi) level.dwDpi = level.dwDpiY = 32000;
    record.nLOD = 1;
    record.stDpiEffect.nMode = 1;
    record.stSys.nDoubleClickTime = 900;
    record.stSys.nWheelLines = 10;
    record.stSys.nMouseSpeed = 20;
    SelectDeviceSection(0);
    PerformancePage newer(nullptr, host, QImage());
    OlderPerformancePage older(nullptr, host, QImage());
    for (PerformancePageBase* page :
         {static_cast<PerformancePageBase*>(&newer), static_cast<PerformancePageBase*>(&older)}) {
        page->setGeometry(LayoutRect(QRect(0, 0, 1018, 539)));
        page->PrepareForDevice();
        page->LoadFromRecord(host.Record());
        Draw(page);
    }
}

// Every pop-up with the texts it can show, drawn once each.
void DrawEveryWindow() {
    for (const char* key : kMessageTexts) Draw(MakeMessageWindow(kMsgMessage, TextOf(key)).get());
    Draw(MakeMessageWindow(kMsgQuestion, TextOf("tc_msg5")).get());
    Draw(MakeMessageWindow(kMsgMessage, TextOf("tc_tip2") + QStringLiteral(" 1234")).get());
    for (const char* key : kTextPrompts) Draw(MakeMessageWindow(kMsgTextInput, TextOf(key)).get());
    for (const char* key : kCapturePrompts) {
        Draw(MakeMessageWindow(kMsgKeyCapture, TextOf(key)).get());
    }
    for (const char* key : kNumberPrompts) {
        auto number = MakeMessageWindow(kMsgNumberInput, TextOf(key));
        number->SetRange(10, 65535);
        number->Edit()->setText(QStringLiteral("70000"));  // shows the range hint
        Draw(number.get());
    }

    KeyAssignment key{};
    key.dwFunID = KF_FIRE;
    FireKeyWindow fireKey(key);
    Draw(&fireKey);

    MovementWindow move;
    move.Prepare();
    Draw(&move);

    QTemporaryDir folder;
    const std::string root = folder.path().toStdString() + "/";
    MacroRecord macro = NewMacro("Reload");
    ASSERT_TRUE(WriteMacroFile(root + "Reload.qxm", macro));
    MacroPicker picker(root, 1);
    Draw(&picker);

    // The lighting page with each main effect (its caption in the effect box) and the
    // logo light; the sleep box shows its longest item.
    DrawingHost host;
    LightingPage led(nullptr, host, QImage());
    led.resize(1018, 539);
    if (Is4KLayout()) {
        led.resize(2036, 1078);
        led.Layout4K();
    }
    led.LoadFromRecord(&host.record);
    for (const EffectItem& item : MainEffectItems(0)) {
        led.ChooseEffect(LightZone::kMain, item.effect);
        Draw(&led);
    }
    led.SelectZone(LightZone::kLogo);
    Draw(&led);
    const DeviceSection& section = CurrentDevice();
    for (int i = 0; i < std::min(section.SleepValCount, 12); ++i) {
        led.ChooseSleep(section.SleepVal[static_cast<std::size_t>(i)]);
        Draw(led.SleepBox());
    }

    AboutWindow about(nullptr, 0x0107);
    if (about.FirmwareButton() != nullptr) about.FirmwareButton()->show();
    Draw(&about);

    DrawPages(root);
}

// The keys whose text is `shown`, or failing that the longest text `shown` starts with
// (a text followed by numbers).
std::string KeysOf(const QString& shown) {
    std::string exact;
    std::string prefix;
    qsizetype prefixLength = 0;
    for (const std::string& key : TextKeys()) {
        const QString text = QString::fromStdString(Text(key));
        if (text.isEmpty()) continue;
        if (text == shown) {
            exact += (exact.empty() ? "" : "/") + key;
        } else if (shown.startsWith(text) && text.size() > prefixLength) {
            prefix = key;
            prefixLength = text.size();
        }
    }
    if (!exact.empty()) return exact;
    return prefix.empty() ? "(no text key)" : prefix;
}

std::string Describe(const std::string& language, bool doubled, const TextFitReport& report) {
    const QRect& r = report.rect;
    return language + " " + KeysOf(report.text) + (doubled ? " (4K)" : "") + " in (" +
           std::to_string(r.left()) + "," + std::to_string(r.top()) + ")-(" +
           std::to_string(r.right() + 1) + "," + std::to_string(r.bottom() + 1) + "): \"" +
           report.text.toStdString() + "\"";
}

TEST(TextsFitTest, EveryTextOfEveryLanguageFitsItsRectangle) {
    ASSERT_TRUE(DataInit(ProgramDir() + "cfg.ini"));
    const std::vector<LanguageEntry>& languages = Options().languages;
    ASSERT_FALSE(languages.empty());

    std::set<std::string> cut;
    std::string language;
    bool doubled = false;
    int drawn = 0;
    SetTextFitObserver([&](const TextFitReport& report) {
        ++drawn;
        if (!report.fits) cut.insert(Describe(language, doubled, report));
    });
    for (const LanguageEntry& entry : languages) {
        language = entry.folder;
        LoadTexts(ProgramDir() + entry.folder + "/text.xml");
        ASSERT_FALSE(Text("tc_ok").empty()) << language;
        for (bool fourK : {false, true}) {
            doubled = fourK;
            Set4KLayout(fourK);
            DrawEveryWindow();
        }
        doubled = false;
        Set4KLayout(false);
        DrawMainWindow(static_cast<int>(&entry - languages.data()));
    }
    Set4KLayout(false);
    SetTextFitObserver({});

    EXPECT_GT(drawn, 0);
    for (const std::string& text : cut) ADD_FAILURE() << "does not fit: " << text;
}

}  // namespace
}  // namespace vantor
