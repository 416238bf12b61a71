#include "ui/popups/progress_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <memory>
#include <thread>

#include "tests/ui/popup_test_skin.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

class ProgressDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog_.SetText(QStringLiteral("Restoring"));
        dialog_.SetTextRect(kRestoreProgressTextRect);
        dialog_.SetBarRect(kRestoreProgressBarRect);
        dialog_.SetRange(0, 100);
        dialog_.show();
    }

    test::PopupTestSkin skin_;
    ProgressWindow dialog_;
};

TEST_F(ProgressDlgTest, LaysOutUnderItsTitle) {
    EXPECT_EQ(dialog_.windowTitle(), "MyProgressDlg..");
    EXPECT_EQ(dialog_.size(), QSize(530, 150));
    ASSERT_NE(dialog_.ExitButton(), nullptr);
    EXPECT_EQ(dialog_.ExitButton()->pos(), QPoint(530 - 45, 10));
}

TEST_F(ProgressDlgTest, PositionMovesTheBarAndOutOfRangeGivesTheMinimum) {
    dialog_.SetPosition(60);
    EXPECT_EQ(dialog_.Position(), 60);
    EXPECT_EQ(dialog_.FillRight(), 45 + 60 * 441 / 100);

    dialog_.SetPosition(101);
    EXPECT_EQ(dialog_.Position(), 0);
    EXPECT_EQ(dialog_.FillRight(), 45);
    dialog_.SetPosition(-1);
    EXPECT_EQ(dialog_.Position(), 0);

    dialog_.SetRange(20, 20);  // an empty range never divides by zero
    dialog_.SetPosition(20);
    EXPECT_EQ(dialog_.FillRight(), 45);
    dialog_.grab();  // paints without trouble
}

TEST_F(ProgressDlgTest, KeysDoNotCloseItButTheWorkersCloseDoes) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space}) {
        QTest::keyClick(&dialog_, key);
    }
    EXPECT_TRUE(dialog_.isVisible());

    // The worker reports from its own thread; the window takes it on its own.
    std::shared_ptr<ProgressSink> sink = dialog_.Sink();
    ASSERT_TRUE(sink->IsOpen());
    std::thread([sink] {
        sink->SetPosition(70);
        sink->Close();
    }).join();
    EXPECT_EQ(dialog_.Position(), 0);
    QCoreApplication::sendPostedEvents(&dialog_);
    EXPECT_EQ(dialog_.Position(), 70);
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_FALSE(sink->IsOpen());
    sink->SetPosition(90);  // a late report reaches nobody
    QCoreApplication::sendPostedEvents(&dialog_);
    EXPECT_EQ(dialog_.Position(), 70);
}

// A sink that outlives its window (the user closed it and it went) takes reports harmlessly.
TEST(ProgressSinkTest, ReportsAfterTheWindowHasGoneAreDropped) {
    test::PopupTestSkin skin;
    auto dialog = std::make_unique<ProgressWindow>();
    dialog->show();
    std::shared_ptr<ProgressSink> sink = dialog->Sink();
    sink->SetPosition(50);  // queued, then its window goes
    dialog.reset();
    EXPECT_FALSE(sink->IsOpen());
    sink->Close();
    QCoreApplication::sendPostedEvents();
}

TEST_F(ProgressDlgTest, ExitButtonCloses) {
    QTest::mouseClick(dialog_.ExitButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog_.isVisible());
}

}  // namespace
}  // namespace vantor
