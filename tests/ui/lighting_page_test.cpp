// The lighting page in the main window against the simulated mouse, on the offscreen
// platform: what the page writes is what the command-line tool writes for the same values,
// changes made on the mouse reach the page, and records the model cannot show.
#include "ui/pages/lighting/lighting_page.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/config/config.h"
#include "base/message_sink.h"
#include "base/texts.h"
#include "platform/paths.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_state.h"
#include "tests/support/temp_dir.h"
#include "tests/ui_support/sim_window.h"
#include "ui/pages/lighting/colour_wheel.h"
#include "ui/shell/main_window.h"
#include "ui/widgets/colour_button.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_combo_box.h"
#include "ui/widgets/skinned_slider.h"

namespace vantor {
namespace {

using test::WaitUntil;

// Pixels of `picture` lit strongly in red (the lit parts of the mouse picture are blue
// in the skin).
int RedPixels(const QImage& picture) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            if (qAlpha(p) > 0 && qRed(p) > qBlue(p) + 80 && qRed(p) > qGreen(p) + 80) ++count;
        }
    }
    return count;
}

std::string Hex6(std::uint32_t colorRef) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", colorRef & 0xFF, (colorRef >> 8) & 0xFF,
                  (colorRef >> 16) & 0xFF);
    return text;
}

class LedDlgTest : public ::testing::Test {
  protected:
    LedDlgTest() {
        EXPECT_TRUE(mouse_.ConfigLoaded());
        MainWindowSetup setup = mouse_.WindowSetup();
        setup.messages = &messages_;  // the apply worker's failures, if any
        window_ = std::make_unique<MainWindow>(setup);
        EXPECT_TRUE(window_->Init());
        EXPECT_TRUE(WaitUntil([&] { return test::MouseRead(*window_); }));
        window_->SwitchPage(PageId::kLighting);
        page_ = static_cast<LightingPage*>(window_->Page(PageId::kLighting));
    }
    ~LedDlgTest() override {
        window_.reset();
        EXPECT_TRUE(messages_.Messages().empty());
    }

    // Lets the device-ready checks, the readiness questions and the writes they start end.
    void Settle() { ASSERT_TRUE(test::SettleWindow(*window_, 4)); }

    SimProfileImage Memory() const {
        return mouse_.Firmware().Memory(mouse_.Firmware().ActiveProfile());
    }

    // Runs the command-line tool on a simulated mouse that starts from `state`; the memory
    // it leaves behind.
    std::optional<SimProfileImage> CtlMemory(const SimFirmwareState& state,
                                             const std::string& args) {
        const std::string file = work_ / "ctl-state.bin";
        if (!SaveSimState(file, state)) return std::nullopt;
        const std::string line = std::string("env -u VANTOR_SIMULATE ") + VANTORCTL_PATH +
                                 " --data-dir " + (work_ / "ctl-data") +
                                 " --simulate --sim-state " + file + " " + args + " >" +
                                 (work_ / "out") + " 2>&1";
        const int status = std::system(line.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << args << ": " << test::ReadText(work_ / "out");
        const std::optional<SimFirmwareState> after = LoadSimState(file);
        if (!after) return std::nullopt;
        return after->profiles[after->activeProfile];
    }

    RecordingMessageSink messages_;
    test::SimMouseFolder mouse_{test::ProductList::kSecond};
    test::TempDir work_;
    std::unique_ptr<MainWindow> window_;
    LightingPage* page_ = nullptr;
};

struct LightCase {
    LightZone zone;
    std::uint32_t effect;
    int speed;            // used when the effect has a speed
    int light;            // used when the effect has a brightness
    std::uint32_t color;  // used when the effect has a colour
};

TEST_F(LedDlgTest, EveryLightingChoiceLeavesTheBytesTheCommandLineToolLeaves) {
    const LightCase cases[] = {
        {LightZone::kMain, 1, 0, 1, 0x0000FF}, {LightZone::kMain, 1, 0, 10, 0x7F00E4},
        {LightZone::kMain, 2, 1, 5, 0x00FF00}, {LightZone::kMain, 2, 10, 10, 0xFFFFFF},
        {LightZone::kMain, 3, 3, 7, 0},        {LightZone::kMain, 4, 9, 2, 0},
        {LightZone::kMain, 5, 6, 6, 0x33A0FF}, {LightZone::kMain, 6, 2, 9, 0},
        {LightZone::kMain, 0, 0, 0, 0},        {LightZone::kMain, 3, 8, 10, 0},
        {LightZone::kLogo, 1, 0, 4, 0x00FFFF}, {LightZone::kLogo, 2, 5, 10, 0x862E60},
        {LightZone::kLogo, 3, 1, 1, 0},        {LightZone::kLogo, 0, 0, 0, 0},
        {LightZone::kLogo, 2, 3, 6, 0x0050FF},
    };
    for (const LightCase& c : cases) {
        const bool main = c.zone == LightZone::kMain;
        SCOPED_TRACE((main ? "main " : "logo ") + std::to_string(c.effect));
        const SimFirmwareState before = mouse_.Firmware().State();

        page_->SelectZone(c.zone);
        page_->ChooseEffect(c.zone, c.effect);
        Settle();
        const EffectRule rule =
            main ? MainEffectRule(CurrentLightingSetup(), c.effect) : LogoEffectRule(c.effect);
        if (rule.speed != 0) page_->SetSliderValue(false, c.speed);
        if (rule.light != 0) page_->SetSliderValue(true, c.light);
        Settle();
        if (rule.hasColor) {
            EXPECT_FALSE(page_->ResultButton()->isHidden());
            page_->PickColor(c.color);
            Settle();
        } else {
            EXPECT_TRUE(page_->ResultButton()->isHidden());
        }

        const RgbEffect& record =
            main ? window_->Record()->stMainRGB : window_->Record()->stLogoRGB;
        EXPECT_EQ(record.nMode, c.effect);
        if (rule.speed != 0) {
            EXPECT_EQ(record.nSpeed, static_cast<std::uint32_t>(c.speed));
        }
        if (rule.light != 0) {
            EXPECT_EQ(record.nLight, static_cast<std::uint32_t>(c.light));
        }
        if (rule.hasColor) {
            EXPECT_EQ(record.dwColor, c.color);
        }
        // The tool takes steps from 1; a step of an effect without that slider does not
        // reach the mouse either way.
        const std::string args =
            std::string("set light ") + (main ? "main " : "logo ") + std::to_string(c.effect) +
            " " + std::to_string(std::clamp<std::uint32_t>(record.nSpeed, 1, main ? 10 : 5)) + " " +
            std::to_string(std::clamp<std::uint32_t>(record.nLight, 1, 10)) + " " +
            Hex6(record.dwColor);
        const std::optional<SimProfileImage> expected = CtlMemory(before, args);
        ASSERT_TRUE(expected.has_value());
        EXPECT_TRUE(*expected == Memory()) << args;
    }
}

TEST_F(LedDlgTest, ChoosingAnEffectLoadsItsDefaultsAndTypingAColourKeepsItToAByte) {
    page_->SelectZone(LightZone::kMain);
    page_->ChooseEffect(LightZone::kMain, 3);
    Settle();
    EXPECT_EQ(window_->Record()->stMainRGB.nSpeed, 8u);
    EXPECT_EQ(window_->Record()->stMainRGB.nLight, 10u);
    EXPECT_TRUE(page_->ResultButton()->isHidden());
    EXPECT_EQ(page_->SpeedSlider()->GetPos(), 8);
    EXPECT_EQ(page_->LightValueLabel()->Text(), QStringLiteral("10"));

    page_->ChooseEffect(LightZone::kMain, 1);  // static: colour, no speed
    Settle();
    EXPECT_FALSE(page_->ResultButton()->isHidden());
    // The speed it does not use stays shown, greyed, and says why it is locked.
    EXPECT_TRUE(page_->SpeedSlider()->IsThumbVisible());
    EXPECT_TRUE(page_->SpeedSlider()->IsLocked());
    EXPECT_EQ(page_->SpeedValueLabel()->Text(), QString::number(page_->SpeedSlider()->GetPos()));
    EXPECT_EQ(page_->SpeedSlider()->toolTip(), QString::fromStdString(Text("tc_lock_effect")));
    EXPECT_FALSE(page_->LightSlider()->IsLocked());
    EXPECT_TRUE(page_->LightSlider()->toolTip().isEmpty());
    QLineEdit* red = page_->ColorBox(0);
    red->setFocus();
    red->selectAll();
    QTest::keyClicks(red, QStringLiteral("300"));
    EXPECT_EQ(red->text(), QStringLiteral("255"));
    EXPECT_EQ(red->cursorPosition(), 3);
    QLineEdit* blue = page_->ColorBox(2);
    blue->selectAll();
    QTest::keyClicks(blue, QStringLiteral("16"));
    Settle();
    const std::uint32_t typed = 0xFF | (page_->ColorBox(1)->text().toUInt() << 8) | (16u << 16);
    EXPECT_EQ(window_->Record()->stMainRGB.dwColor, typed);
    EXPECT_EQ(page_->ResultButton()->Color(), typed);

    // The first preset cell is red.
    const QPoint cell = page_->Picker()->PresetCentre(0);
    QTest::mouseClick(page_->Picker(), Qt::LeftButton, {}, cell);
    Settle();
    EXPECT_EQ(window_->Record()->stMainRGB.dwColor, 0x0000FFu);
    EXPECT_EQ(page_->ColorBox(0)->text(), QStringLiteral("255"));
    EXPECT_EQ(page_->ColorBox(1)->text(), QStringLiteral("0"));
    EXPECT_EQ(page_->ColorBox(2)->text(), QStringLiteral("0"));

    // The mouse picture lights in the chosen colour, and not at all with the light off.
    ASSERT_FALSE(page_->LitMousePicture().isNull());
    EXPECT_GT(RedPixels(page_->LitMousePicture()), 200);
    page_->ChooseEffect(LightZone::kMain, 0);
    Settle();
    EXPECT_EQ(RedPixels(page_->LitMousePicture()), 0);
}

TEST_F(LedDlgTest, TheLightingKeyOnTheMouseUpdatesThePageAndTheRecord) {
    page_->SelectZone(LightZone::kMain);
    page_->ChooseEffect(LightZone::kMain, 2);
    page_->SetSliderValue(true, 4);
    Settle();
    ASSERT_EQ(window_->Record()->stMainRGB.nLight, 4u);
    mouse_.Firmware().PressLightingKey(SimLightingZone::kMain);
    ASSERT_TRUE(WaitUntil([&] { return window_->Record()->stMainRGB.nLight == 5; }));
    EXPECT_EQ(page_->Shown(LightZone::kMain).light, 5);
    EXPECT_EQ(page_->LightSlider()->GetPos(), 5);
    EXPECT_EQ(page_->LightValueLabel()->Text(), QStringLiteral("5"));

    page_->SelectZone(LightZone::kLogo);
    page_->ChooseEffect(LightZone::kLogo, 1);
    page_->SetSliderValue(true, 10);
    Settle();
    mouse_.Firmware().PressLightingKey(SimLightingZone::kLogo);
    ASSERT_TRUE(WaitUntil([&] { return window_->Record()->stLogoRGB.nLight != 10; }));
    EXPECT_EQ(page_->Shown(LightZone::kLogo).light,
              static_cast<int>(window_->Record()->stLogoRGB.nLight));
    EXPECT_EQ(page_->LightSlider()->GetPos(), page_->Shown(LightZone::kLogo).light);
}

TEST_F(LedDlgTest, ARecordTheModelCannotShowLeavesTheMouseAloneUntilTheUserChooses) {
    Settle();
    const SimProfileImage before = Memory();
    ProfileFile& record = *window_->Record();
    record.stMainRGB.nMode = 9;
    record.stLogoRGB.nMode = 2;
    record.stLogoRGB.nSpeed = 7;  // the logo light has five speeds
    window_->RefreshPages();
    const ShownLighting main = page_->Shown(LightZone::kMain);
    EXPECT_FALSE(main.fromRecord);
    EXPECT_EQ(main.effect, static_cast<std::uint32_t>(Options().LEDParam[0]));
    EXPECT_EQ(static_cast<std::uint32_t>(page_->EffectBox(LightZone::kMain)->ControlValue()),
              main.effect);
    EXPECT_FALSE(page_->Shown(LightZone::kLogo).fromRecord);

    // Another setting of the page is stored and written; the lights stay as they were.
    ASSERT_FALSE(page_->LightOffSwitch()->IsLocked());
    page_->ToggleLightOff();
    Settle();
    EXPECT_EQ(record.stMainRGB.nMode, 9u);
    EXPECT_EQ(record.stLogoRGB.nSpeed, 7u);
    SimProfileImage after = Memory();
    EXPECT_NE(after, before);  // the switch
    constexpr std::size_t kMainGroup = 0xA0;
    constexpr std::size_t kLogoGroup = 0x54;
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(after[kMainGroup + i], before[kMainGroup + i]);
    for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(after[kLogoGroup + i], before[kLogoGroup + i]);

    // Choosing an effect writes it.
    page_->SelectZone(LightZone::kMain);
    page_->ChooseEffect(LightZone::kMain, 5);
    Settle();
    EXPECT_EQ(record.stMainRGB.nMode, 5u);
    EXPECT_EQ(record.stLogoRGB.nSpeed, 7u);  // the logo light still as it was
    EXPECT_NE(Memory(), after);
}

TEST_F(LedDlgTest, AMouseThatCannotTakeALightingChangeNowIsLeftAloneWithAMessage) {
    Settle();
    mouse_.Firmware().SetReady(false);
    const SimProfileImage before = Memory();
    int messages = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++messages;
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        }
    });
    closer.start(20);
    page_->ChooseEffect(LightZone::kMain, 4);
    Settle();
    ASSERT_TRUE(WaitUntil([&] { return messages > 0; }));
    EXPECT_EQ(window_->Record()->stMainRGB.nMode, 4u);  // the record keeps the change
    EXPECT_EQ(Memory(), before);
    // The page's other settings wait for the mouse the same way.
    page_->ToggleLightOff();
    Settle();
    ASSERT_TRUE(WaitUntil([&] { return messages > 1; }));
    EXPECT_EQ(window_->Record()->bLightOffOnMoving, page_->LightOffSwitch()->GetCheck() ? 1 : 0);
    EXPECT_EQ(Memory(), before);
    closer.stop();

    mouse_.Firmware().SetReady(true);
    page_->ChooseEffect(LightZone::kMain, 6);
    Settle();
    EXPECT_NE(Memory(), before);
}

}  // namespace
}  // namespace vantor
