#include "ui/popups/movement_window.h"

#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>

#include "app/config/config.h"
#include "base/texts.h"
#include "ui/widgets/logic/number_input.h"
#include "ui/widgets/popup_parts.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

constexpr QRect kXEditRect = kPopupLeftEditRect;
constexpr QRect kYEditRect = kPopupRightEditRect;
constexpr QRect kXCaptionRect = kPopupLeftCaptionRect;
constexpr QRect kYCaptionRect = kPopupRightCaptionRect;
constexpr int kMoveEditChars = 4;

}  // namespace

MovementWindow::MovementWindow(QWidget* parent) : SkinnedPopup(parent) {}

bool MovementWindow::Prepare() {
    if (prepared_) return HasSkin();
    prepared_ = true;
    if (!InitSkin(QStringLiteral("msg_nr.png"))) return false;
    const PopupButtons buttons = CreatePopupButtons(this, false);
    close_ = buttons.close;
    ok_ = buttons.ok;
    cancel_ = buttons.cancel;
    if (ok_ != nullptr) connect(ok_, &SkinnedButton::clicked, this, &MovementWindow::OnOk);
    xEdit_ = NewMoveEdit(kXEditRect, kMoveXEditId, x_);
    yEdit_ = NewMoveEdit(kYEditRect, kMoveYEditId, y_);
    xEdit_->setFocus();
    return true;
}

QLineEdit* MovementWindow::NewMoveEdit(const QRect& rect, int id, int value) {
    QLineEdit* edit = CreatePopupEdit(this, rect, kMoveEditChars, id);
    edit->setText(QString::fromStdString(MoveBoxText(value)));
    connect(edit, &QLineEdit::textChanged, this, [edit] {
        if (const auto text = CheckTypedMove(edit->text().toStdString())) {
            const QSignalBlocker blocker(edit);
            edit->setText(QString::fromStdString(*text));
        }
    });
    return edit;
}

void MovementWindow::showEvent(QShowEvent* event) {
    Prepare();
    SkinnedPopup::showEvent(event);
}

int MovementWindow::exec() {
    if (!Prepare()) return Rejected;
    return SkinnedPopup::exec();
}

void MovementWindow::OnOk() {
    if (xEdit_ == nullptr) return;
    if (const auto x = ReadMoveValue(xEdit_->text().toStdString())) x_ = *x;
    if (const auto y = ReadMoveValue(yEdit_->text().toStdString())) y_ = *y;
    accept();
}

void MovementWindow::PaintContent(QPainter& painter) {
    const QColor colour = ColorFromColorRef(Options().Txt_clr);
    DrawText(painter, LayoutRect(kXCaptionRect), QString::fromStdString(Text("tc_adv_str25")),
             colour, Qt::AlignCenter);
    DrawText(painter, LayoutRect(kYCaptionRect), QString::fromStdString(Text("tc_adv_str26")),
             colour, Qt::AlignCenter);
}

}  // namespace vantor
