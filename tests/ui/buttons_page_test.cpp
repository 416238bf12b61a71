// The button page in the main window against the simulated mouse: each function chosen
// through the page's menu and windows leaves the mouse's memory byte for byte as
// `vantorctl set button` leaves it for the same function.
#include "ui/pages/buttons/buttons_page.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/config/config.h"
#include "app/store/profile_export.h"
#include "base/texts.h"
#include "keys/key_functions.h"
#include "platform/paths.h"
#include "profile/memory_map.h"
#include "profile/sensor_tables.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_state.h"
#include "tests/keys/scripted_store_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/ui_support/page_test_host.h"
#include "tests/ui_support/sim_window.h"
#include "ui/pages/buttons/auto_sleep_box.h"
#include "ui/pages/buttons/debounce_box.h"
#include "ui/pages/buttons/mouse_picture.h"
#include "ui/popups/message_window.h"
#include "ui/shell/main_window.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_menu.h"
#include "ui/widgets/transient_note.h"

namespace vantor {
namespace {

using test::WaitUntil;

// Answers the assignment windows from the test case.
class ScriptedAssignmentUi : public AssignmentUi {
  public:
    std::optional<std::uint32_t> PickMacro() override { return macro; }
    std::optional<std::array<std::uint8_t, 4>> CaptureKeys(const std::string&) override {
        return keys;
    }
    std::optional<FireSetting> EditFireKey(const FireSetting&) override { return fire; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    std::optional<std::uint32_t> macro;
    std::optional<std::array<std::uint8_t, 4>> keys;
    std::optional<FireSetting> fire;
    std::vector<std::string> messages;
};

class KeyDlgTest : public ::testing::Test {
  protected:
    KeyDlgTest() {
        EXPECT_TRUE(mouse_.ConfigLoaded());
        MainWindowSetup setup = mouse_.WindowSetup();
        window_ = std::make_unique<MainWindow>(setup);
        EXPECT_TRUE(window_->Init());
        // The battery shows once the mouse was found; the read follows it.
        EXPECT_TRUE(WaitUntil([&] { return test::MouseRead(*window_); }));
        page_ = static_cast<ButtonsPage*>(window_->Page(PageId::kKeys));
        page_->SetAssignmentUi(&ui_);
        Settle();
    }
    ~KeyDlgTest() override { window_.reset(); }

    // Lets the device thread and the apply worker finish and their results land.
    void Settle() { ASSERT_TRUE(test::SettleWindow(*window_, 3)); }
    // The window's short confirmation shows the text of `key`.
    bool NoteSays(const char* key) const {
        const TransientNote* note = window_->Note();
        return note != nullptr && note->isVisible() &&
               note->text() == QString::fromStdString(Text(key));
    }

    // The mouse's memory after `vantorctl set button ...` on a copy of the mouse as it is.
    SimFirmwareState ViaVantorctl(const std::string& args) {
        const std::string state = mouse_.DataDir() + "/ctl_sim.bin";
        EXPECT_TRUE(SaveSimState(state, mouse_.Firmware().State()));
        const std::string line = std::string("env -u VANTOR_SIMULATE ") + VANTORCTL_PATH +
                                 " --data-dir " + mouse_.DataDir() + "/ --simulate --sim-state " +
                                 state + " set button " + args + " >/dev/null 2>&1";
        (void)std::system(line.c_str());
        const std::optional<SimFirmwareState> after = LoadSimState(state);
        EXPECT_TRUE(after.has_value());
        return after.value_or(SimFirmwareState{});
    }

    test::SimMouseFolder mouse_;
    std::unique_ptr<MainWindow> window_;
    ButtonsPage* page_ = nullptr;
    ScriptedAssignmentUi ui_;
};

TEST_F(KeyDlgTest, EachFunctionKindLeavesTheMemoryAsVantorctlDoes) {
    const int lockStep = DpiStepIndex(static_cast<std::uint32_t>(CurrentDevice().Sensor), 800);
    ASSERT_GE(lockStep, 0);
    struct Case {
        const char* vantorctl;
        int button;  // 0-based
        std::uint32_t menuId;
        std::optional<std::array<std::uint8_t, 4>> keys;
        std::optional<FireSetting> fire;
    };
    const Case cases[] = {
        {"2 middle", 1, KF_MIDDLE_CLICK, {}, {}},
        {"3 key:ctrl+c", 2, KF_KEY_COMBO, std::array<std::uint8_t, 4>{0x01, 'C', 0, 0}, {}},
        {"4 key:f5", 3, KF_KEY_COMBO, std::array<std::uint8_t, 4>{0, 0x74, 0, 0}, {}},
        {"3 media:volume-up", 2, KF_VOLUME_UP, {}, {}},
        {"5 app:calculator", 4, KF_APP_CALCULATOR, {}, {}},
        {"4 fire:3,20", 3, KF_FIRE, {}, FireSetting{3, 20}},
        {"5 dpi-lock:800", 4, KF_DPI_LOCK + (static_cast<std::uint32_t>(lockStep) << 8), {}, {}},
        {"6 disable", 5, KF_DISABLE, {}, {}},
        {"6 dpi-up", 5, KF_DPI_UP, {}, {}},
        {"7 profile", 6, KF_PROFILE_SWITCH, {}, {}},
        {"2 rate", 1, KF_REPORT_RATE, {}, {}},
        {"7 led", 6, KF_LED_TOGGLE, {}, {}},
        // Refused on both paths: no other button keeps the left click.
        {"1 right", 0, KF_RIGHT_CLICK, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vantorctl);
        const SimFirmwareState expected = ViaVantorctl(c.vantorctl);
        ui_.keys = c.keys;
        ui_.fire = c.fire;
        page_->OnFunctionChosen(c.menuId, c.button);
        Settle();
        const SimFirmwareState actual = mouse_.Firmware().State();
        EXPECT_EQ(actual.activeProfile, expected.activeProfile);
        EXPECT_TRUE(actual.profiles == expected.profiles);
        const std::string label = page_->KeyButton(c.button)->Text().toStdString();
        EXPECT_FALSE(label.empty());
    }
    EXPECT_EQ(ui_.messages, std::vector<std::string>{Text("tc_msg1")});
}

TEST_F(KeyDlgTest, ShowsOneLabelledButtonPerMouseButtonAndTheMenuOfTheModel) {
    const int keys = CurrentDevice().keyCount;
    for (int i = 0; i < kKeyButtonCount; ++i) {
        EXPECT_EQ(page_->KeyButton(i)->isVisibleTo(page_), i < keys) << i;
        if (i < keys) {
            EXPECT_FALSE(page_->KeyButton(i)->Text().isEmpty()) << i;
        }
    }
    EXPECT_EQ(page_->KeyButton(0)->Text().toStdString(), Text("tc_click"));
    QTest::mouseClick(page_->KeyButton(1), Qt::LeftButton);
    ASSERT_TRUE(IsMenuOpen());
    // A click on the button whose menu is open closes it; a click on another button opens
    // that one's menu instead.
    QTest::mouseClick(page_->KeyButton(1), Qt::LeftButton);
    EXPECT_FALSE(IsMenuOpen());
    QTest::mouseClick(page_->KeyButton(1), Qt::LeftButton);
    QTest::mouseClick(page_->KeyButton(0), Qt::LeftButton);
    ASSERT_TRUE(IsMenuOpen());
    EXPECT_EQ(OpenMenu()->Anchor(), page_->KeyButton(0));
    QTest::mouseClick(page_->KeyButton(0), Qt::LeftButton);
    EXPECT_FALSE(IsMenuOpen());
}

// The mouse picture marks the button under the cursor from the buttons' enter and leave
// events: no timer asks for the cursor while nothing moves.
TEST_F(KeyDlgTest, HoverMarkFollowsEnterAndLeaveOfTheKeyButtons) {
    const int keys = CurrentDevice().keyCount;
    ASSERT_GE(keys, 2);
    ASSERT_LT(keys, kKeyButtonCount);
    MousePicture* mark = page_->MarkWindow();
    ASSERT_NE(mark, nullptr);
    auto send = [](QWidget* button, QEvent::Type type) {
        if (type == QEvent::Enter) {
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
            QCoreApplication::sendEvent(button, &enter);
        } else {
            QEvent leave(type);
            QCoreApplication::sendEvent(button, &leave);
        }
    };
    auto marked = [&] {
        std::vector<int> on;
        for (int i = 0; i < kKeysPerSet; ++i) {
            if (mark->Area(i) != nullptr && mark->Area(i)->GetCheck()) on.push_back(i);
        }
        return on;
    };
    send(page_->KeyButton(1), QEvent::Enter);
    EXPECT_EQ(page_->MarkedButton(), 1);
    EXPECT_EQ(marked(), std::vector<int>{1});
    // Moving straight onto the next button: its enter may come before the old one's leave.
    send(page_->KeyButton(0), QEvent::Enter);
    send(page_->KeyButton(1), QEvent::Leave);
    EXPECT_EQ(page_->MarkedButton(), 0);
    EXPECT_EQ(marked(), std::vector<int>{0});
    send(page_->KeyButton(0), QEvent::Leave);
    EXPECT_EQ(page_->MarkedButton(), -1);
    EXPECT_TRUE(marked().empty());
    // A button the model does not have marks nothing.
    send(page_->KeyButton(keys), QEvent::Enter);
    EXPECT_EQ(page_->MarkedButton(), -1);
    // Hiding the page clears the mark.
    send(page_->KeyButton(0), QEvent::Enter);
    window_->SwitchPage(PageId::kMacro);
    EXPECT_EQ(page_->MarkedButton(), -1);
    EXPECT_TRUE(marked().empty());
}

TEST_F(KeyDlgTest, DebounceAndAutoSleepStepWriteTheRecordAndTheMouse) {
    DebounceBox* debounce = page_->DebounceWindow();
    AutoSleepBox* sleep = page_->AutoSleepWindow();
    const int before = window_->Record()->nDebounce;
    QTest::mouseClick(debounce->PlusButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(window_->Record()->nDebounce, before + 1);
    EXPECT_EQ(debounce->ValueText().toStdString(), std::to_string(before + 1) + " ms");
    sleep->SelectValue(60);
    QTest::mouseClick(sleep->PlusButton(), Qt::LeftButton);  // at 10 m: nothing
    Settle();
    EXPECT_EQ(sleep->ValueText(), QStringLiteral("10 m"));
    QTest::mouseClick(sleep->MinusButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(window_->Record()->nAutoSleep, 54);
    EXPECT_EQ(sleep->ValueText(), QStringLiteral("9 m"));
    sleep->SelectValue(7);  // no step: the selection stays
    EXPECT_EQ(sleep->Value(), 54);
}

// With an empty library the macro function says so and leads to the macro page, but only
// when the user closes the message with OK.
TEST_F(KeyDlgTest, AnEmptyLibraryLeadsToTheMacroPageOnlyAfterOk) {
    ASSERT_EQ(window_->Macros().Macros().Count(), 0u);
    const KeyAssignment button2 = window_->Record()->Key[0][1];
    bool answerOk = false;
    int shown = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* message = qobject_cast<MessageWindow*>(QApplication::activeModalWidget());
        if (message == nullptr) return;
        ++shown;
        if (answerOk) {
            message->OnOk();
        } else {
            message->reject();  // its close button
        }
    });
    answer.start(20);
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "closed");
        answerOk = ok;
        const int before = shown;
        page_->OnFunctionChosen(KF_MACRO, 1);
        ASSERT_TRUE(WaitUntil([&] { return shown > before; }));
        QCoreApplication::processEvents();
        EXPECT_EQ(window_->CurrentPage(), ok ? PageId::kMacro : PageId::kKeys);
    }
    answer.stop();
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(std::memcmp(&window_->Record()->Key[0][1], &button2, sizeof button2), 0);
}

TEST_F(KeyDlgTest, RefusedImportsChangeNeitherTheRecordNorTheMouse) {
    test::ScriptedStoreUi files;
    page_->SetStoreUi(&files);
    const SimFirmwareState mouse = mouse_.Firmware().State();
    const std::string good = mouse_.DataDir() + "/good.qxa";
    files.savePaths.push_back(good);
    page_->OnExport();  // keeps the active DPI level in the record
    const ProfileFile before = *window_->Record();
    const std::vector<std::uint8_t> image = test::ReadBytes(good);
    ASSERT_EQ(image.size(), kExportFileSize);
    std::vector<std::uint8_t> foreign = image;
    foreign[0] ^= 0xFF;  // not a profile record
    const std::vector<std::vector<std::uint8_t>> bad = {{image.begin(), image.end() - 1},
                                                        [&] {
                                                            auto big = image;
                                                            big.push_back(0);
                                                            return big;
                                                        }(),
                                                        foreign};
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const std::string path = mouse_.DataDir() + "/bad" + std::to_string(i) + ".qxa";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bad[i].data()),
                   static_cast<std::streamsize>(bad[i].size()));
        files.openPaths.push_back(path);
        page_->OnImport();
        Settle();
        EXPECT_EQ(files.messages.size(), i + 1) << "import " << i << " shows why it was refused";
        EXPECT_TRUE(NoteSays("tc_note_export")) << "a refused import confirms nothing";
        EXPECT_EQ(std::memcmp(window_->Record(), &before, sizeof before), 0) << i;
        EXPECT_TRUE(mouse_.Firmware().State().profiles == mouse.profiles) << i;
    }
}

// The shipped configuration with `line` added to its [OPT] section, in `folder`.
std::string ConfigWith(const std::string& folder, const std::string& line) {
    std::string text = test::ReadText(ProgramDir() + "cfg.ini");
    const std::size_t opt = text.find("[OPT]\n");
    EXPECT_NE(opt, std::string::npos);
    if (opt != std::string::npos) text.insert(opt + 6, line + "\n");
    const std::string path = folder + "/cfg.ini";
    test::WriteText(path, text);
    return path;
}

// A TipForDebounce above 255 places the debounce tip on the page (x low, y high 16 bits).
TEST(KeyDlgAloneTest, ATipPlaceInTheConfigurationShowsTheDebounceTip) {
    test::TempDir folder;
    LoadTexts(ProgramDir() + "text.xml");
    test::PageTestHost host(folder.path() + "/");
    for (const bool tip : {true, false}) {
        SCOPED_TRACE(tip ? "with the tip" : "shipped");
        ASSERT_TRUE(DataInit(tip ? ConfigWith(folder.path(), "TipForDebounce=19661040")
                                 : ProgramDir() + "cfg.ini"));
        ButtonsPage page(nullptr, host, QImage());
        page.resize(1018, 539);
        page.PrepareForDevice();
        ASSERT_TRUE(page.DebounceWindow()->isVisibleTo(&page));
        if (!tip) {
            EXPECT_TRUE(page.DebounceTipRect().isEmpty());
            continue;
        }
        const QRect place = page.DebounceTipRect();
        EXPECT_EQ(place, QRect(240, 300, 400, 48));  // 19661040 = 300 << 16 | 240
        // The text is drawn there.
        QImage drawn(page.size(), QImage::Format_ARGB32);
        drawn.fill(Qt::black);
        page.render(&drawn);
        int lit = 0;
        for (int y = place.top(); y <= place.bottom(); ++y) {
            for (int x = place.left(); x <= place.right(); ++x)
                lit += drawn.pixel(x, y) != qRgb(0, 0, 0);
        }
        EXPECT_GT(lit, 50);
    }
}

// A skin without the number pictures beside the buttons: the buttons and their labels
// still show, only the numbers are missing.
TEST(KeyDlgAloneTest, ASkinWithoutNumberPicturesStillShowsTheButtons) {
    test::TempDir program;
    namespace fs = std::filesystem;
    fs::copy(ProgramDir() + "skins", program.path() + "/skins", fs::copy_options::recursive);
    fs::remove_all(program.path() + "/skins/number");
    test::ScopedEnv env("VANTOR_PROGRAM_DIR", program.path() + "/");
    ASSERT_TRUE(DataInit(test::SourceDataDir() + "cfg.ini"));
    LoadTexts(test::SourceDataDir() + "text.xml");
    test::TempDir data;
    test::PageTestHost host(data.path() + "/");
    ButtonsPage page(nullptr, host, QImage());
    page.resize(1018, 539);
    page.PrepareForDevice();
    page.LoadFromRecord(&host.record);
    const int keys = CurrentDevice().keyCount;
    ASSERT_GT(keys, 0);
    for (int i = 0; i < kKeyButtonCount; ++i) {
        EXPECT_EQ(page.KeyButton(i)->isVisibleTo(&page), i < keys) << i;
        if (i < keys) {
            EXPECT_FALSE(page.KeyButton(i)->Text().isEmpty()) << i;
        }
    }
    EXPECT_FALSE(page.grab().isNull());  // paints without the pictures
}

// An import is written into the mouse whether or not the pages apply their changes at once:
// the imported profile is what the mouse should hold.
TEST_F(KeyDlgTest, AnImportReachesTheMouseAlsoWithoutApplyNow) {
    AppOptions& options = const_cast<AppOptions&>(Options());
    const int applyNow = options.ApplyNow;
    options.ApplyNow = 0;
    test::ScriptedStoreUi files;
    page_->SetStoreUi(&files);
    const std::string path = mouse_.DataDir() + "/p.qxa";
    files.savePaths.push_back(path);
    page_->OnExport();
    std::vector<std::uint8_t> image = test::ReadBytes(path);
    ASSERT_EQ(image.size(), kExportFileSize);
    const std::uint8_t debounce = window_->Record()->nDebounce == 9 ? 10 : 9;
    image[offsetof(ProfileFile, nDebounce)] = debounce;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    EXPECT_TRUE(NoteSays("tc_note_export"));
    files.openPaths.push_back(path);
    page_->OnImport();
    Settle();
    options.ApplyNow = applyNow;
    EXPECT_TRUE(files.messages.empty());
    EXPECT_TRUE(NoteSays("tc_note_import"));
    EXPECT_EQ(window_->Record()->nDebounce, debounce);
    const SimFirmwareState mouse = mouse_.Firmware().State();
    EXPECT_EQ(mouse.profiles[mouse.activeProfile][memory_map::kDebounce], debounce);
}

// In the 4K layout the mouse picture doubles with the rest of the page: its place, its
// size and the picture it draws, whether the page was laid out for the device before or
// after it switched to 4K.
TEST(KeyDlg4KTest, MousePictureDoublesWithThePage) {
    ASSERT_TRUE(DataInit(ProgramDir() + "cfg.ini"));
    const DeviceSection& device = CurrentDevice();
    const QImage mouse =
        LoadSkinImage(MousePicture::MouseFolder(device.CID, device.MID) + "mouse_nr.png");
    ASSERT_FALSE(mouse.isNull());
    const QRect single(QPoint(device.ptMark.x, device.ptMark.y), mouse.size());
    for (const bool deviceFirst : {false, true}) {
        SCOPED_TRACE(deviceFirst ? "laid out for the device, then 4K" : "4K, then the device");
        test::TempDir folder;
        test::PageTestHost host(folder.path() + "/");
        Set4KLayout(true);
        ButtonsPage page(nullptr, host, QImage());
        if (deviceFirst) page.PrepareForDevice();
        page.Layout4K();
        if (!deviceFirst) page.PrepareForDevice();
        Set4KLayout(false);
        const MousePicture* mark = page.MarkWindow();
        ASSERT_NE(mark, nullptr);
        EXPECT_EQ(mark->geometry(), Doubled(single));
        EXPECT_EQ(mark->Picture().size(), mark->size()) << "the picture is drawn unstretched";
        // The picture keeps its place beside the buttons, which double too.
        const QRect firstButton = page.KeyButton(0)->geometry();
        EXPECT_EQ(firstButton.topLeft(), QPoint(Options().ptKey.x, Options().ptKey.y) * 2);
        EXPECT_EQ(mark->geometry().left() - (firstButton.left() + firstButton.width()),
                  (single.left() - (Options().ptKey.x + 222)) * 2);
    }
}

}  // namespace
}  // namespace vantor
