// The performance page inside the main window, against the simulated mouse (ApplyNow is on
// in the shipped cfg.ini, so page changes reach the mouse through the apply worker).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <functional>

#include "app/config/config.h"
#include "base/message_sink.h"
#include "base/texts.h"
#include "platform/paths.h"
#include "profile/sensor_tables.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "tests/support/temp_dir.h"
#include "tests/ui_support/page_test_host.h"
#include "tests/ui_support/sim_window.h"
#include "tests/ui_support/window_message_log.h"
#include "ui/pages/performance/dpi_colour_swatch.h"
#include "ui/pages/performance/older_performance_page.h"
#include "ui/pages/performance/performance_page.h"
#include "ui/shell/main_window.h"
#include "ui/widgets/logic/slider_scale.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_combo_box.h"
#include "ui/widgets/skinned_menu.h"
#include "ui/widgets/two_thumb_slider.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

using test::WaitUntil;

class PerformancePageTest : public ::testing::Test {
  protected:
    PerformancePageTest() {
        EXPECT_TRUE(mouse_.ConfigLoaded());
        MainWindowSetup setup = mouse_.WindowSetup();
        setup.messages = &messages_;
        window_ = std::make_unique<MainWindow>(setup);
        EXPECT_TRUE(window_->Init());
        EXPECT_TRUE(WaitUntil([&] { return test::MouseRead(*window_); }));
        EXPECT_TRUE(window_->Session().WaitDeviceWork(8000));
        QCoreApplication::sendPostedEvents();
        page_ = dynamic_cast<PerformancePage*>(window_->Page(PageId::kPerformance));
        window_->SwitchPage(PageId::kPerformance);
    }
    ~PerformancePageTest() override {
        window_.reset();
        EXPECT_EQ(messages_.shown, std::vector<std::string>{});
    }

    ProfileFile& Record() { return *window_->Store().Current(); }
    // Lets the apply worker write what the page asked for.
    void Settle() { ASSERT_TRUE(test::SettleWindow(*window_)); }
    std::span<const std::uint16_t> Steps() const {
        return TheSensorTables().Steps(static_cast<std::uint32_t>(CurrentDevice().Sensor));
    }

    // Message boxes of the worker threads; a page change must not raise any.
    struct RecordingSink : MessageSink {
        void ShowMessage(std::string_view text, std::string_view caption) override {
            shown.push_back(std::string(caption) + ": " + std::string(text));
        }
        std::vector<std::string> shown;
    };

    RecordingSink messages_;
    test::SimMouseFolder mouse_;
    std::unique_ptr<MainWindow> window_;
    PerformancePage* page_ = nullptr;
};

TEST_F(PerformancePageTest, ShowsTheRecordOnTheSensorsSteps) {
    ASSERT_NE(page_, nullptr);
    ASSERT_TRUE(page_->IsPrepared());
    const int levels = Record().nDpiLevels;
    for (int i = 0; i < kDpiLevels; ++i) {
        TwoThumbSlider* slider = page_->LevelSlider(i);
        EXPECT_EQ(slider->isVisible(), i < levels) << i;
        EXPECT_EQ(slider->State(0).Maximum() + 1, static_cast<int>(Steps().size()));
        if (i < levels) {
            EXPECT_EQ(slider->GetValue(0), static_cast<int>(Record().Dpi[i].dwDpi));
            EXPECT_EQ(page_->ValueLabel(i, 0)->Text(), QString::number(Record().Dpi[i].dwDpi));
        }
    }
    EXPECT_EQ(page_->LevelCountBox()->ControlValue(), levels);
    EXPECT_EQ(page_->MarkedLevel(), window_->Session().CurDpiLevel());
}

TEST_F(PerformancePageTest, ReleasedThumbWritesItsLevelIntoTheMouse) {
    const auto before = mouse_.Firmware().Memory(0);
    TwoThumbSlider* slider = page_->LevelSlider(1);
    const int index =
        static_cast<int>(std::find(Steps().begin(), Steps().end(), 3200) - Steps().begin());
    slider->SetPos(index, true);  // as a click on the track reports it
    Settle();
    EXPECT_EQ(Record().Dpi[1].dwDpi, 3200u);
    EXPECT_EQ(Record().Dpi[1].dwDpiY, 3200u);
    const auto after = mouse_.Firmware().Memory(0);
    EXPECT_NE(before, after);
    // Only the DPI entry of level 2 (4 bytes at 0x0010) changed.
    for (std::size_t a = 0; a < after.size(); ++a) {
        if (a < 0x10 || a >= 0x14) {
            EXPECT_EQ(before[a], after[a]) << std::hex << a;
        }
    }
}

TEST_F(PerformancePageTest, SeparateXYShowsYThumbsAndLabelsOnActiveRows) {
    ASSERT_FALSE(Record().bDpiXY);
    QTest::mouseClick(page_->SeparateXYBox(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(Record().bDpiXY, 1);
    EXPECT_TRUE(page_->SeparateXYBox()->GetCheck());
    for (int i = 0; i < Record().nDpiLevels; ++i) {
        EXPECT_TRUE(page_->LevelSlider(i)->IsThumbVisible(1)) << i;
        EXPECT_TRUE(page_->ValueLabel(i, 1)->isVisible()) << i;
    }
}

TEST_F(PerformancePageTest, ValuesNotOnTheStepsShowTheNearestStepAndStayInTheRecord) {
    Record().Dpi[0].dwDpi = 1234;  // the sensor steps by 50
    Record().Dpi[0].dwDpiY = 1234;
    window_->RefreshPages();
    EXPECT_EQ(page_->LevelSlider(0)->GetValue(0), 1250);
    // Another change stores the page into the record: level 1 keeps its value.
    page_->LevelSlider(2)->SetPos(3, true);
    Settle();
    EXPECT_EQ(Record().Dpi[0].dwDpi, 1234u);
    EXPECT_EQ(Record().Dpi[2].dwDpi, static_cast<std::uint32_t>(Steps()[3]));
}

TEST_F(PerformancePageTest, TypedValueTakesTheNearestStep) {
    page_->SetNumberPrompt([](const QString& prompt) {
        EXPECT_FALSE(prompt.isEmpty());
        return std::optional<int>(1234);
    });
    page_->TypeValue(0, 0);
    Settle();
    EXPECT_EQ(Record().Dpi[0].dwDpi, 1250u);
    EXPECT_EQ(page_->ValueLabel(0, 0)->Text(), QStringLiteral("1250"));
}

TEST_F(PerformancePageTest, ChangesOnTheMouseReachThePage) {
    const int before = window_->Session().CurDpiLevel();
    mouse_.Firmware().PressDpiButton();
    EXPECT_TRUE(WaitUntil([&] { return window_->Session().CurDpiLevel() != before; }));
    EXPECT_EQ(page_->MarkedLevel(), window_->Session().CurDpiLevel());
    mouse_.Firmware().SwitchReportRate(8);
    EXPECT_TRUE(WaitUntil([&] { return page_->RateButton(0)->GetCheck(); }));
    for (int r = 1; r < 4; ++r) EXPECT_FALSE(page_->RateButton(r)->GetCheck());
}

TEST_F(PerformancePageTest, RateAndSwitchesWriteTheirBytes) {
    QTest::mouseClick(page_->RateButton(2), Qt::LeftButton);  // 500 Hz
    QTest::mouseClick(page_->RippleBox(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(Record().dwReportRate, 0x500u);
    const auto memory = mouse_.Firmware().Memory(0);
    EXPECT_EQ(memory[0x0000], 2);  // device code of 500 Hz
    EXPECT_EQ(memory[0x00B1], static_cast<std::uint8_t>(Record().nRipple));
}

TEST_F(PerformancePageTest, OlderLayoutEditsThePointerSettingsOfTheRecord) {
    OlderPerformancePage older(window_.get(), *window_, QImage());
    older.PrepareForDevice();
    Record().stSys.nDoubleClickTime = 500;  // between two stops
    Record().stSys.nWheelLines = -1;
    older.LoadFromRecord(&Record());
    EXPECT_EQ(older.DoubleClickSlider()->GetValue(), 480);
    EXPECT_EQ(older.WheelLinesSlider()->GetValue(), 3);
    EXPECT_TRUE(older.OneScreenBox()->GetCheck());
    older.show();
    QTest::mouseClick(older.EnhancePrecisionBox(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(Record().stSys.nDoubleClickTime, 500);  // untouched until moved
    EXPECT_EQ(Record().stSys.nWheelLines, -1);
    older.PointerSpeedSlider()->SetPos(0, true);  // speed 1
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Record().stSys.nMouseSpeed, 1);
    EXPECT_EQ(older.LevelLabel(0)->Text(), QString::fromStdString(Text("tc_dpi")) + " 1");
}

// The page on its own: the device-ready check guards every change, and each change asks for
// exactly its own write.
TEST(PerformancePageAloneTest, RefusedChecksChangeNothingAndEachChangeAsksOnce) {
    ASSERT_TRUE(DataInit(ProgramDir() + "cfg.ini"));
    SelectDeviceSection(0);
    test::TempDir folder;
    test::PageTestHost host(folder.path());
    host.record.nDpiLevels = 4;
    host.record.stDpiEffect.nMode = 0;
    for (DpiLevel& level : host.record.Dpi) level.dwDpi = level.dwDpiY = 800;
    PerformancePage page(nullptr, host, QImage());
    page.resize(1018, 539);
    page.PrepareForDevice();
    page.LoadFromRecord(&host.record);
    page.show();

    host.ready = false;
    QTest::mouseClick(page.RippleBox(), Qt::LeftButton);
    QTest::mouseClick(page.SeparateXYBox(), Qt::LeftButton);
    EXPECT_EQ(SendWindowMessage(&page, WM_SLIDER_CHANGING, 800, SliderMessageParam(0, 100)), 0);
    EXPECT_FALSE(page.RippleBox()->GetCheck());
    EXPECT_EQ(host.record.nRipple, 0);
    EXPECT_TRUE(host.writes.empty());
    // The level-count and effect boxes ask before their list opens, not after a choice.
    for (SkinnedComboBox* box : {page.LevelCountBox(), page.DpiEffectBox()}) {
        host.ready = false;
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_FALSE(IsMenuOpen());
        host.ready = true;
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_TRUE(IsMenuOpen());
        host.ready = false;  // a click that closes the list is never refused
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_FALSE(IsMenuOpen());
    }
    // A level's colour confirmed in the picker is asked for first, then written.
    DpiColourSwatch* swatch = page.Swatch(1);
    ASSERT_NE(swatch, nullptr);
    swatch->SetColorChooser([](const QColor&, QWidget*) { return std::optional(QColor(Qt::red)); });
    const std::uint32_t colour = host.record.Dpi[1].dwColor;
    test::SendMouse(swatch, QEvent::MouseButtonRelease, {3, 3});
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(swatch->Color(), colour & 0xFFFFFF);
    EXPECT_EQ(host.record.Dpi[1].dwColor, colour);
    EXPECT_TRUE(host.writes.empty());
    host.ready = true;
    test::SendMouse(swatch, QEvent::MouseButtonRelease, {3, 3});
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(swatch->Color(), 0x0000FFu);
    EXPECT_EQ(host.record.Dpi[1].dwColor, 0x0000FFu);
    EXPECT_EQ(host.writes, (std::vector<std::pair<std::uint32_t, int>>{{0x40, 1}}));
    host.writes.clear();

    host.ready = true;
    QTest::mouseClick(page.SeparateXYBox(), Qt::LeftButton);
    EXPECT_EQ(host.writes, (std::vector<std::pair<std::uint32_t, int>>{{0x4, 255}}));
    for (int i = 0; i < kDpiLevels; ++i) {
        EXPECT_EQ(page.LevelSlider(i)->IsThumbVisible(1), true) << i;
        EXPECT_EQ(page.ValueLabel(i, 1)->isVisible(), i < 4) << i;
    }
    host.writes.clear();
    // The DPI light is off: its sliders store and send nothing.
    page.DpiLightSlider()->SetPos(5, true);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(host.writes.empty());
    EXPECT_EQ(host.record.stDpiEffect.nLight, 0u);
    // A cancelled or zero typed value changes nothing.
    page.SetNumberPrompt([](const QString&) { return std::optional<int>(0); });
    page.TypeValue(0, 0);
    EXPECT_TRUE(host.writes.empty());
    EXPECT_EQ(host.record.Dpi[0].dwDpi, 800u);
}

// The lift-off tip shows on the shipped wireless model, whose DPI light controls take the
// tip's own corner: then above the lift-off setting, clear of every control.
TEST(PerformancePageAloneTest, TheLiftOffTipShowsBesideTheDpiLightControls) {
    ASSERT_TRUE(DataInit(ProgramDir() + "cfg.ini"));
    LoadTexts(ProgramDir() + "text.xml");
    SelectDeviceSection(0);
    ASSERT_NE(CurrentDevice().ShowLOD, 0);
    test::TempDir folder;
    test::PageTestHost host(folder.path());
    host.record.nDpiLevels = CurrentDevice().DM;
    for (DpiLevel& level : host.record.Dpi) level.dwDpi = level.dwDpiY = 800;
    PerformancePage page(nullptr, host, QImage());
    page.resize(1018, 539);
    page.PrepareForDevice();
    page.LoadFromRecord(&host.record);
    ASSERT_TRUE(page.DpiEffectBox()->isVisibleTo(&page));
    const QRect tip = page.LiftOffTipRect();
    ASSERT_FALSE(tip.isEmpty());
    EXPECT_GE(tip.height(), 36);
    for (QWidget* control : page.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&page)) continue;
        EXPECT_FALSE(tip.intersects(control->geometry()))
            << control->metaObject()->className() << " at " << control->x() << "," << control->y();
    }
}

}  // namespace
}  // namespace vantor
