#include "ui/widgets/popup_parts.h"

#include <QDialog>
#include <QLineEdit>

#include "base/texts.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_loaders.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_popup.h"

namespace vantor {

SkinnedButton* NewPopupButton(SkinnedPopup* dialog, const QString& picture, const QRect& rect,
                              const QString& caption) {
    SkinnedButton* button = NewSmallPngButton3(dialog, dialog->Background(),
                                               {picture, picture, picture, rect, caption, 0});
    if (button != nullptr && Is4KLayout()) Move4K(button);
    return button;
}

PopupButtons CreatePopupButtons(SkinnedPopup* dialog, bool okOnly) {
    const QString buttonPicture = QStringLiteral("button2_nr.png");
    PopupButtons buttons;
    buttons.close = NewPopupButton(dialog, QStringLiteral("exit_nr.png"), kPopupCloseRect, {});
    buttons.ok = NewPopupButton(dialog, buttonPicture, okOnly ? kPopupSingleOkRect : kPopupOkRect,
                                QString::fromStdString(Text("tc_ok")));
    if (!okOnly) {
        buttons.cancel = NewPopupButton(dialog, buttonPicture, kPopupCancelRect,
                                        QString::fromStdString(Text("tc_cancel")));
    }
    for (SkinnedButton* button : {buttons.close, buttons.cancel}) {
        if (button != nullptr)
            QObject::connect(button, &SkinnedButton::clicked, dialog, &QDialog::reject);
    }
    return buttons;
}

QLineEdit* CreatePopupEdit(QWidget* parent, const QRect& rect, int maxChars, int controlId) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(rect);
    edit->setFont(WindowFont());
    edit->setFrame(true);
    edit->setTextMargins(2, 0, 2, 0);
    // A dark box with a thin frame sits in the dark pop-up skins; the frame lights up
    // while the box has the focus.
    edit->setStyleSheet(
        QStringLiteral("QLineEdit { background: #14161b; color: #e8eaed; border: 1px solid #3b4452;"
                       " border-radius: 3px; selection-background-color: #2a6fb8; }"
                       "QLineEdit:focus { border-color: #3d9be9; }"
                       "QLineEdit:read-only { color: #9fd3ff; }"));
    if (maxChars > 0) edit->setMaxLength(maxChars);
    if (controlId != 0) edit->setObjectName(QStringLiteral("edit%1").arg(controlId));
    if (Is4KLayout()) Move4K(edit);
    return edit;
}

}  // namespace vantor
