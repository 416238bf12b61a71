#include "ui/popups/fire_key_window.h"

#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include "app/config/config.h"
#include "base/texts.h"
#include "keys/key_functions.h"
#include "ui/widgets/logic/number_input.h"
#include "ui/widgets/popup_parts.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

constexpr QRect kShotsEditRect = kPopupLeftEditRect;
constexpr QRect kIntervalEditRect = kPopupRightEditRect;
constexpr QRect kShotsCaptionRect = kPopupLeftCaptionRect;
constexpr QRect kIntervalCaptionRect = kPopupRightCaptionRect;
constexpr int kNoteTop = 91;
constexpr int kNoteBottom = 108;
constexpr std::uint8_t kPresetShots = 3;
constexpr std::uint8_t kPresetInterval = 10;

QLineEdit* NewDigitsEdit(QWidget* parent, const QRect& rect) {
    QLineEdit* edit = CreatePopupEdit(parent, rect, 3);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

// Replaces the edit's text without reporting the change again.
void ReplaceText(QLineEdit* edit, const std::optional<std::string>& text) {
    if (!text) return;
    const QSignalBlocker blocker(edit);
    edit->setText(QString::fromStdString(*text));
}

}  // namespace

FireKeyWindow::FireKeyWindow(const KeyAssignment& current, QWidget* parent) : SkinnedPopup(parent) {
    if (!InitSkin(QStringLiteral("msg_nr.png"))) return;
    std::uint8_t shots = kPresetShots;
    std::uint8_t interval = kPresetInterval;
    if (current.dwFunID == KF_FIRE) {
        const std::uint32_t parameter = current.dwParameter;
        shots = static_cast<std::uint8_t>(parameter & 0xFF);
        interval = static_cast<std::uint8_t>(parameter >> 8 & 0xFF);
    }

    const PopupButtons buttons = CreatePopupButtons(this, false);
    close_ = buttons.close;
    ok_ = buttons.ok;
    cancel_ = buttons.cancel;
    if (ok_ != nullptr) connect(ok_, &SkinnedButton::clicked, this, &FireKeyWindow::OnOk);

    shots_ = NewDigitsEdit(this, kShotsEditRect);
    interval_ = NewDigitsEdit(this, kIntervalEditRect);
    shots_->setText(QString::fromStdString(ShotsBoxText(shots)));
    interval_->setText(QString::number(interval));
    connect(shots_, &QLineEdit::textChanged, this, &FireKeyWindow::OnShotsTyped);
    connect(interval_, &QLineEdit::textChanged, this, &FireKeyWindow::OnIntervalTyped);
    shots_->setFocus();
}

int FireKeyWindow::exec() {
    if (!HasSkin()) return Rejected;
    return SkinnedPopup::exec();
}

void FireKeyWindow::OnShotsTyped() {
    ReplaceText(shots_, CheckTypedShots(shots_->text().toStdString()));
}

void FireKeyWindow::OnIntervalTyped() {
    ReplaceText(interval_, CheckTypedInterval(interval_->text().toStdString()));
}

void FireKeyWindow::OnOk() {
    if (shots_ == nullptr) return;
    const std::optional<std::uint32_t> parameter =
        ConfirmFireKey(shots_->text().toStdString(), interval_->text().toStdString());
    if (!parameter) return;
    parameter_ = *parameter;
    accept();
}

void FireKeyWindow::PaintContent(QPainter& painter) {
    const QColor colour = ColorFromColorRef(Options().Txt_clr);
    DrawText(painter, LayoutRect(kShotsCaptionRect), QString::fromStdString(Text("tc_str1")),
             colour, Qt::AlignCenter);
    DrawText(painter, LayoutRect(kIntervalCaptionRect), QString::fromStdString(Text("tc_str2")),
             colour, Qt::AlignCenter);
    DrawText(painter, LayoutRect(Span(10, kNoteTop, Background().width() - 10, kNoteBottom)),
             QString::fromStdString(Text("tc_str3")), colour, Qt::AlignCenter);
}

std::optional<std::uint32_t> EditFireKey(const KeyAssignment& current, QWidget* parent) {
    FireKeyWindow dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Parameter();
}

}  // namespace vantor
