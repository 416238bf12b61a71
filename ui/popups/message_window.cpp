#include "ui/popups/message_window.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <algorithm>

#include "app/config/config.h"
#include "base/texts.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/popup_parts.h"
#include "ui/widgets/qt_key_to_vk.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skin_loaders.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

constexpr int kInputWidth = 300;
constexpr int kToggleSize = 11;
constexpr int kToggleSpacing = 75;
constexpr std::array<const char*, 4> kToggleLabels = {"Ctrl", "Shift", "Alt", "Win"};

QString TextOf(const char* key) {
    return QString::fromStdString(Text(key));
}

}  // namespace

MessageWindow::MessageWindow(QWidget* parent) : SkinnedPopup(parent) {
    showMessage_ = [this](const QString& text) { ShowMessage(text.toStdString(), this); };
}

MessageWindow::~MessageWindow() = default;

bool MessageWindow::Prepare() {
    if (prepared_) return HasSkin();
    prepared_ = true;
    if (!InitSkin(QStringLiteral("msg_nr.png"))) return false;

    if (!IsWaiting()) {
        const PopupButtons buttons = CreatePopupButtons(this, mode_ == kMsgMessage);
        close_ = buttons.close;
        ok_ = buttons.ok;
        cancel_ = buttons.cancel;
        if (ok_ != nullptr) connect(ok_, &SkinnedButton::clicked, this, &MessageWindow::OnOk);
    }
    if (mode_ == kMsgTextInput || mode_ == kMsgNumberInput || mode_ == kMsgKeyCapture) {
        CreateInputControls();
    }
    return true;
}

void MessageWindow::CreateInputControls() {
    const QRect editRect((Background().width() - kInputWidth) / 2, 65, kInputWidth, 20);
    const int limit = mode_ == kMsgKeyCapture ? 0 : textLimit_;
    edit_ = CreatePopupEdit(this, editRect, limit);
    if (mode_ == kMsgNumberInput) {
        edit_->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_));
        connect(edit_, &QLineEdit::textChanged, this, &MessageWindow::OnNumberTyped);
    }
    if (mode_ == kMsgKeyCapture) {
        edit_->setReadOnly(true);
        capture_ = std::make_unique<KeyCapture>(singleKey_, modifierToggles_);
        if (modifierToggles_) CreateToggles();
    } else {
        edit_->setText(initialText_);
    }
    edit_->setFocus();
    edit_->deselect();
}

void MessageWindow::CreateToggles() {
    const int left = (Background().width() - kInputWidth) / 2 + 10;
    for (std::size_t i = 0; i < toggles_.size(); ++i) {
        const QRect rect(left + static_cast<int>(i) * kToggleSpacing, 91, kToggleSize, kToggleSize);
        SkinnedButton* toggle = NewSmallPngButton3(this, Background(),
                                                   {QStringLiteral("Check_nr.png"),
                                                    QStringLiteral("Check_nr.png"),
                                                    QStringLiteral("Check_dn.png"),
                                                    rect,
                                                    {},
                                                    0});
        if (toggle == nullptr) continue;
        toggle->SetCheckMode(true, true);
        toggle->setCursor(Qt::PointingHandCursor);
        if (Is4KLayout()) Move4K(toggle);
        toggles_[i] = toggle;
    }
}

QRect MessageWindow::MessageRect() const {
    return LayoutRect(Span(10, 44, Background().width() - 10, 104));
}

QRect MessageWindow::PromptRect() const {
    return LayoutRect(QRect((Background().width() - kInputWidth) / 2, 41, kInputWidth, 20));
}

QRect MessageWindow::HintRect() const {
    return LayoutRect(Span((Background().width() - kInputWidth) / 2, 95,
                           (Background().width() + kInputWidth) / 2, 113));
}

void MessageWindow::OnNumberTyped() {
    const NumberEdit edit =
        CheckTypedNumber(edit_->text().toStdString(), minimum_, maximum_, Text("tc_tip4"));
    if (edit.replaceText) {
        const QSignalBlocker blocker(edit_);
        edit_->setText(QString::fromStdString(*edit.replaceText));
    }
    if (edit.hint) SetHint(QString::fromStdString(*edit.hint));
}

void MessageWindow::SetHint(const QString& hint) {
    if (hint_ == hint) return;
    hint_ = hint;
    update();
}

void MessageWindow::OnOk() {
    switch (mode_) {
        case kMsgTextInput:
            text_ = edit_ != nullptr ? edit_->text() : QString();
            if (text_.isEmpty()) {
                reject();
                return;
            }
            break;
        case kMsgNumberInput: {
            std::string hint;
            const std::optional<int> value =
                ConfirmNumber(edit_ != nullptr ? edit_->text().toStdString() : std::string(),
                              minimum_, maximum_, Text("tc_tip4"), hint);
            if (!value) {
                SetHint(QString::fromStdString(hint));
                return;
            }
            number_ = *value;
            break;
        }
        case kMsgKeyCapture: {
            if (capture_ == nullptr) return;
            auto checked = [this](std::size_t i) {
                return toggles_[i] != nullptr && toggles_[i]->GetCheck();
            };
            const std::optional<KeyCombination> result = capture_->Confirm(
                ModifiersFromToggles(checked(0), checked(1), checked(2), checked(3)));
            if (!result) {
                if (showMessage_) showMessage_(TextOf("tc_msg29"));
                return;
            }
            combination_ = *result;
            break;
        }
        default:
            break;
    }
    accept();
}

void MessageWindow::OnEnterKey() {
    if (!IsWaiting()) OnOk();
}

void MessageWindow::OnEscapeKey() {
    if (!IsWaiting()) reject();
}

bool MessageWindow::PreTranslateKey(QKeyEvent* event) {
    if (mode_ != kMsgKeyCapture || capture_ == nullptr) {
        return SkinnedPopup::PreTranslateKey(event);
    }
    // Keys are captured unless a button has the focus; Tab and Shift+Tab move the
    // focus on (to the modifier boxes, OK and Cancel), where Space, Enter and Escape act as
    // in every pop-up. So the window needs no mouse; Tab is the one key it cannot capture.
    if (qobject_cast<SkinnedButton*>(KeyTarget()) != nullptr)
        return SkinnedPopup::PreTranslateKey(event);
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        if (event->type() == QEvent::KeyPress) focusNextPrevChild(event->key() == Qt::Key_Tab);
        return true;
    }
    // A held key repeats as presses; the capture ignores the repeats itself, but Qt also
    // sends a release before each repeat, which would end the key.
    if (!event->isAutoRepeat()) {
        const std::uint8_t code = VkFromKeyEvent(*event);
        if (code != 0) {
            capture_->CaptureKey(code, event->type() == QEvent::KeyRelease);
            edit_->setText(QString::fromStdString(capture_->Text()));
        }
    }
    return true;
}

void MessageWindow::showEvent(QShowEvent* event) {
    Prepare();
    SkinnedPopup::showEvent(event);
}

int MessageWindow::exec() {
    if (!Prepare()) return Rejected;
    return SkinnedPopup::exec();
}

void MessageWindow::PaintContent(QPainter& painter) {
    const QColor colour = ColorFromColorRef(Options().Txt_clr);
    if (mode_ == kMsgMessage || mode_ == kMsgQuestion) {
        DrawText(painter, MessageRect(), prompt_, colour, Qt::AlignCenter | Qt::TextWordWrap);
        return;
    }
    DrawText(painter, PromptRect(), prompt_, colour, Qt::AlignCenter);
    if (!hint_.isEmpty()) {
        // A smaller font keeps the hint clear of the buttons just below its line.
        QFont small = painter.font();
        small.setPixelSize(std::max(1, small.pixelSize() * 13 / 16));
        painter.save();
        painter.setFont(small);
        DrawText(painter, HintRect(), hint_, colour, Qt::AlignHCenter | Qt::AlignTop);
        painter.restore();
    }
    for (std::size_t i = 0; i < toggles_.size(); ++i) {
        if (toggles_[i] == nullptr) continue;
        const QRect box = toggles_[i]->geometry();
        const QRect label(box.right() + LayoutRect(QRect(0, 0, 5, 0)).width(),
                          box.center().y() - LayoutRect(QRect(0, 0, 0, 9)).height(),
                          LayoutRect(QRect(0, 0, 55, 0)).width(),
                          LayoutRect(QRect(0, 0, 0, 18)).height());
        DrawText(painter, label, QString::fromLatin1(kToggleLabels[i]), colour);
    }
}

// Helpers.

int ShowMessage(const std::string& text, QWidget* parent) {
    MessageWindow dialog(parent);
    dialog.SetMode(kMsgMessage);
    dialog.SetPrompt(QString::fromStdString(text));
    return dialog.exec();
}

bool AskQuestion(const std::string& text, QWidget* parent) {
    MessageWindow dialog(parent);
    dialog.SetMode(kMsgQuestion);
    dialog.SetPrompt(QString::fromStdString(text));
    return dialog.exec() == QDialog::Accepted;
}

std::optional<std::string> InputText(const std::string& prompt, int limit, QWidget* parent,
                                     const std::string& initial) {
    MessageWindow dialog(parent);
    dialog.SetMode(kMsgTextInput);
    dialog.SetPrompt(QString::fromStdString(prompt));
    dialog.SetTextLimit(limit);
    dialog.SetInitialText(QString::fromStdString(initial));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.InputText().toStdString();
}

std::optional<int> InputNumber(const std::string& prompt, int minimum, int maximum, int limit,
                               QWidget* parent, std::optional<int> preset) {
    MessageWindow dialog(parent);
    dialog.SetMode(kMsgNumberInput);
    dialog.SetPrompt(QString::fromStdString(prompt));
    dialog.SetRange(minimum, maximum);
    dialog.SetTextLimit(limit);
    if (preset) dialog.SetInitialText(QString::number(*preset));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.InputNumber();
}

std::optional<KeyCombination> CaptureKeys(const std::string& prompt, bool singleKey,
                                          bool modifierToggles, QWidget* parent) {
    MessageWindow dialog(parent);
    dialog.SetMode(kMsgKeyCapture);
    dialog.SetPrompt(QString::fromStdString(prompt));
    dialog.SetSingleKey(singleKey);
    dialog.SetModifierToggles(modifierToggles);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Combination();
}

}  // namespace vantor
