#include "device/windows/progress_dlg.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <thread>

#include "controls/png_btn.h"
#include "controls/window_message.h"
#include "tests/ui/popup_test_skin.h"

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
    void Post(std::uint32_t message, std::uintptr_t w) {
        PostWindowMessage(&dialog_, message, w, 0);
        QCoreApplication::sendPostedEvents(&dialog_);
    }

    test::PopupTestSkin skin_;
    CProgressDlg dialog_;
};

TEST_F(ProgressDlgTest, LaysOutUnderTheTitleTheWorkerLooksFor) {
    EXPECT_EQ(dialog_.windowTitle(), "MyProgressDlg..");
    EXPECT_EQ(dialog_.size(), QSize(530, 150));
    ASSERT_NE(dialog_.ExitButton(), nullptr);
    EXPECT_EQ(dialog_.ExitButton()->pos(), QPoint(530 - 45, 10));
}

TEST_F(ProgressDlgTest, PositionMessageMovesTheBarAndOutOfRangeGivesTheMinimum) {
    Post(kApplyProgressMessage, 60);
    EXPECT_EQ(dialog_.Position(), 60);
    EXPECT_EQ(dialog_.FillRight(), 45 + 60 * 441 / 100);

    Post(kApplyProgressMessage, 101);
    EXPECT_EQ(dialog_.Position(), 0);
    EXPECT_EQ(dialog_.FillRight(), 45);
    Post(kApplyProgressMessage, static_cast<std::uintptr_t>(-1));
    EXPECT_EQ(dialog_.Position(), 0);

    dialog_.SetRange(20, 20);  // an empty range never divides by zero
    Post(kApplyProgressMessage, 20);
    EXPECT_EQ(dialog_.FillRight(), 45);
    dialog_.grab();  // paints without trouble
}

TEST_F(ProgressDlgTest, KeysDoNotCloseItButTheWorkersCloseDoes) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space}) {
        QTest::keyClick(&dialog_, key);
    }
    EXPECT_TRUE(dialog_.isVisible());

    ProgressWindowSearch search;
    MessagePoster* window = search.FindProgressWindow();
    ASSERT_NE(window, nullptr);
    std::thread([window] {
        window->Post(kApplyProgressMessage, 70, 0);
        window->Post(WM_CLOSE, 0, 0);
    }).join();
    QCoreApplication::sendPostedEvents(&dialog_);
    EXPECT_EQ(dialog_.Position(), 70);
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(search.FindProgressWindow(), nullptr);
    window->Post(WM_CLOSE, 0, 0);  // a late close reaches nobody
}

TEST_F(ProgressDlgTest, ExitButtonCloses) {
    QTest::mouseClick(dialog_.ExitButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog_.isVisible());
}

}  // namespace
}  // namespace vantor
