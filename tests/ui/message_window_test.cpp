#include "ui/popups/message_window.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "base/texts.h"
#include "tests/ui/popup_test_skin.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

class MsgDlgTest : public ::testing::Test {
  protected:
    // A shown window of `mode`; the tc_msg29 message is recorded instead of shown.
    std::unique_ptr<MessageWindow> Open(int mode,
                                        const QString& prompt = QStringLiteral("Prompt")) {
        auto dialog = std::make_unique<MessageWindow>();
        dialog->SetMode(mode);
        dialog->SetPrompt(prompt);
        dialog->SetMessageShower([this](const QString& text) { shown_.push_back(text); });
        return dialog;
    }
    static void Show(MessageWindow& dialog) {
        dialog.show();
        EXPECT_TRUE(dialog.HasSkin());
    }
    // A key press and release with a native scan code (X keycode).
    static void ScanKey(QWidget* target, int qtKey, quint32 scanCode, QEvent::Type type) {
        QKeyEvent event(type, qtKey, Qt::NoModifier, scanCode, 0, 0);
        QApplication::sendEvent(target, &event);
    }

    test::PopupTestSkin skin_;
    std::vector<QString> shown_;
};

TEST_F(MsgDlgTest, ButtonsSitWhereEachModeWantsThem) {
    auto message = Open(kMsgMessage);
    Show(*message);
    ASSERT_NE(message->OkButton(), nullptr);
    EXPECT_EQ(message->OkButton()->geometry(), QRect(186, 110, 80, 27));
    EXPECT_EQ(message->CancelButton(), nullptr);
    EXPECT_EQ(message->CloseButton()->geometry(), QRect(399, 10, 25, 25));
    EXPECT_EQ(message->MessageRect(), QRect(10, 44, 416, 60));
    EXPECT_EQ(message->Edit(), nullptr);

    auto question = Open(kMsgQuestion);
    Show(*question);
    EXPECT_EQ(question->OkButton()->geometry().topLeft(), QPoint(136, 110));
    EXPECT_EQ(question->CancelButton()->geometry().topLeft(), QPoint(242, 110));
    EXPECT_EQ(question->OkButton()->Text(), QString::fromStdString(Text("tc_ok")));

    auto input = Open(kMsgTextInput);
    input->SetTextLimit(kNameInputChars);
    Show(*input);
    EXPECT_EQ(input->PromptRect(), QRect(68, 41, 300, 20));
    ASSERT_NE(input->Edit(), nullptr);
    EXPECT_EQ(input->Edit()->geometry(), QRect(68, 65, 300, 20));
    EXPECT_EQ(input->Edit()->maxLength(), 15);
    EXPECT_EQ(input->HintRect(), QRect(68, 95, 300, 18));
}

TEST_F(MsgDlgTest, CloseAndCancelRejectAndEnterIsOk) {
    auto question = Open(kMsgQuestion);
    Show(*question);
    QTest::mouseClick(question->CloseButton(), Qt::LeftButton);
    EXPECT_EQ(question->result(), QDialog::Rejected);

    auto message = Open(kMsgMessage);
    Show(*message);
    QTest::keyClick(message.get(), Qt::Key_Return);
    EXPECT_FALSE(message->isVisible());
    EXPECT_EQ(message->result(), QDialog::Accepted);
}

TEST_F(MsgDlgTest, EscapeCancelsEveryModeButAWaitMessage) {
    for (int mode : {kMsgMessage, kMsgQuestion, kMsgTextInput, kMsgNumberInput}) {
        auto dialog = Open(mode);
        Show(*dialog);
        QWidget* target =
            dialog->Edit() != nullptr ? static_cast<QWidget*>(dialog->Edit()) : dialog.get();
        QTest::keyClick(target, Qt::Key_F1);
        EXPECT_TRUE(dialog->isVisible()) << mode;
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible()) << mode;
        EXPECT_EQ(dialog->result(), QDialog::Rejected) << mode;
    }
    auto waiting = Open(kMsgMessage);
    waiting->SetClosedByOwner(true);
    Show(*waiting);
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) QTest::keyClick(waiting.get(), key);
    EXPECT_TRUE(waiting->isVisible());
}

TEST_F(MsgDlgTest, TextBoxTakesSpacesAndAFocusedButtonTakesEnter) {
    auto named = Open(kMsgTextInput);
    named->SetTextLimit(kNameInputChars);
    Show(*named);
    QTest::keyClicks(named->Edit(), "my macro");
    QTest::keyClick(named->Edit(), Qt::Key_Return);
    EXPECT_EQ(named->result(), QDialog::Accepted);
    EXPECT_EQ(named->InputText(), "my macro");

    // Enter on the focused Cancel button cancels, Space on the focused OK accepts.
    auto question = Open(kMsgQuestion);
    Show(*question);
    question->CancelButton()->setFocus();
    QTest::keyClick(question->CancelButton(), Qt::Key_Return);
    EXPECT_EQ(question->result(), QDialog::Rejected);
    auto again = Open(kMsgQuestion);
    Show(*again);
    again->OkButton()->setFocus();
    QTest::keyClick(again->OkButton(), Qt::Key_Space);
    EXPECT_EQ(again->result(), QDialog::Accepted);
}

TEST_F(MsgDlgTest, TextInputReturnsTheTextAndAnEmptyTextCancels) {
    auto dialog = Open(kMsgTextInput);
    Show(*dialog);
    QTest::keyClick(dialog->Edit(), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());

    auto named = Open(kMsgTextInput);
    Show(*named);
    QTest::keyClicks(named->Edit(), "macro1");
    QTest::mouseClick(named->OkButton(), Qt::LeftButton);
    EXPECT_EQ(named->result(), QDialog::Accepted);
    EXPECT_EQ(named->InputText(), "macro1");
}

TEST_F(MsgDlgTest, NumberInputClampsHintsAndRefusesOutOfRange) {
    auto dialog = Open(kMsgNumberInput);
    dialog->SetRange(1, 65535);
    dialog->SetTextLimit(kNumberInputChars);
    Show(*dialog);
    const QString tip = QString::fromStdString(Text("tc_tip4"));

    QTest::keyClicks(dialog->Edit(), "70000");
    EXPECT_EQ(dialog->Edit()->text(), "65535");
    EXPECT_EQ(dialog->HintText(), tip + "   1 - 65535");

    QTest::keyClicks(dialog->Edit(), "x-");  // digits only
    EXPECT_EQ(dialog->Edit()->text(), "65535");

    dialog->Edit()->setText("0");
    EXPECT_EQ(dialog->HintText(), tip + "  1 - 65535");
    QTest::keyClick(dialog->Edit(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());

    dialog->Edit()->setText("250");
    QTest::keyClick(dialog->Edit(), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->InputNumber(), 250);
}

TEST_F(MsgDlgTest, KeyCaptureShowsTheCombinationAndCapturesEveryKey) {
    auto dialog = Open(kMsgKeyCapture);
    Show(*dialog);
    QLineEdit* edit = dialog->Edit();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isReadOnly());

    QTest::keyPress(edit, Qt::Key_Control);
    QTest::keyClick(edit, Qt::Key_C);
    QTest::keyClick(edit, Qt::Key_V);
    QTest::keyRelease(edit, Qt::Key_Control);
    EXPECT_EQ(edit->text(), "L-Ctrl + C + V");

    // Escape and Enter are keys here: they start a new combination, the window stays.
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Combination(), KeyCombination{});

    // Right Ctrl is told apart by its scan code.
    auto right = Open(kMsgKeyCapture);
    Show(*right);
    ScanKey(right->Edit(), Qt::Key_Control, 97 + 8, QEvent::KeyPress);
    ScanKey(right->Edit(), Qt::Key_A, 30 + 8, QEvent::KeyPress);
    EXPECT_EQ(right->Edit()->text(), "R-Ctrl + A");
    right->OnOk();
    EXPECT_EQ(right->result(), QDialog::Accepted);
    EXPECT_EQ(right->Combination().Bytes(), (std::array<std::uint8_t, 4>{0x10, 0x41, 0, 0}));
}

TEST_F(MsgDlgTest, KeyCaptureIsLeftWithTabForOkAndCancelWithoutTheMouse) {
    for (const bool ok : {true, false}) {
        auto dialog = Open(kMsgKeyCapture);
        Show(*dialog);
        QLineEdit* edit = dialog->Edit();
        QTest::keyPress(edit, Qt::Key_Control);
        QTest::keyClick(edit, Qt::Key_C);
        QTest::keyRelease(edit, Qt::Key_Control);
        // Tab is not captured: it moves the focus on, round to the capture box again.
        QTest::keyClick(edit, Qt::Key_Tab);
        EXPECT_NE(dialog->focusWidget(), edit);
        EXPECT_EQ(edit->text(), "L-Ctrl + C");
        SkinnedButton* target = ok ? dialog->OkButton() : dialog->CancelButton();
        for (int i = 0; i < 8 && dialog->focusWidget() != target; ++i) {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
        }
        ASSERT_EQ(dialog->focusWidget(), target);
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_EQ(dialog->result(), ok ? QDialog::Accepted : QDialog::Rejected) << ok;
        if (ok) {
            EXPECT_EQ(dialog->Combination().Bytes()[1], 0x43) << "C, with its Ctrl";
        }
    }
    // Escape outside the capture box cancels.
    auto dialog = Open(kMsgKeyCapture);
    Show(*dialog);
    QTest::keyClick(dialog->Edit(), Qt::Key_Tab);
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(MsgDlgTest, SingleKeyCaptureKeepsTheLastKey) {
    auto dialog = Open(kMsgKeyCapture);
    dialog->SetSingleKey(true);
    Show(*dialog);
    QTest::keyClick(dialog->Edit(), Qt::Key_A);
    QTest::keyClick(dialog->Edit(), Qt::Key_B);
    EXPECT_EQ(dialog->Edit()->text(), "B");
}

TEST_F(MsgDlgTest, TogglesGiveTheModifiersAndFourPartsAreRefused) {
    auto dialog = Open(kMsgKeyCapture);
    dialog->SetModifierToggles(true);
    Show(*dialog);
    const auto& toggles = dialog->Toggles();
    for (SkinnedButton* toggle : toggles) ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggles[0]->size(), QSize(11, 11));
    EXPECT_GT(toggles[0]->y(), dialog->Edit()->geometry().bottom());
    EXPECT_EQ(toggles[1]->y(), toggles[0]->y());

    QTest::keyClick(dialog->Edit(), Qt::Key_Shift);
    EXPECT_EQ(dialog->Edit()->text(), "");
    QTest::mouseClick(toggles[0], Qt::LeftButton);  // Ctrl
    QTest::mouseClick(toggles[1], Qt::LeftButton);  // Shift
    QTest::keyClick(dialog->Edit(), Qt::Key_A);
    QTest::keyClick(dialog->Edit(), Qt::Key_B);
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0], QString::fromStdString(Text("tc_msg29")));

    QTest::mouseClick(toggles[1], Qt::LeftButton);  // Shift off: three parts
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Combination().Bytes(), (std::array<std::uint8_t, 4>{0x01, 0x41, 0x42, 0}));
}

TEST_F(MsgDlgTest, AWaitMessageHasNoButtonsAndClosesWhenItsOwnerSaysSo) {
    auto dialog = Open(kMsgMessage);
    dialog->SetClosedByOwner(true);
    Show(*dialog);
    EXPECT_EQ(dialog->OkButton(), nullptr);
    EXPECT_EQ(dialog->CloseButton(), nullptr);
    QTest::keyClick(dialog.get(), Qt::Key_Return);  // nothing to confirm
    EXPECT_TRUE(dialog->isVisible());
    dialog->done(QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(MsgDlgTest, MissingBackgroundRejectsAtOnce) {
    test::TempDir empty;
    test::ScopedEnv env("VANTOR_PROGRAM_DIR", empty.path());
    MessageWindow dialog;
    EXPECT_FALSE(dialog.Prepare());
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

}  // namespace
}  // namespace vantor
