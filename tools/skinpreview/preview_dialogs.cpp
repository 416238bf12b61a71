// Previews of the skinned pop-ups: the message window in each mode, the fire-key, movement,
// macro picker and progress windows, and the key-mark picture with one area highlighted.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <memory>

#include "app/config/config.h"
#include "base/texts.h"
#include "keys/key_functions.h"
#include "keys/macro_file.h"
#include "keys/macro_record.h"
#include "tools/skinpreview/preview_registry.h"
#include "ui/pages/buttons/mouse_picture.h"
#include "ui/popups/fire_key_window.h"
#include "ui/popups/macro_picker.h"
#include "ui/popups/message_window.h"
#include "ui/popups/movement_window.h"
#include "ui/popups/progress_window.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_tree.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

std::unique_ptr<MessageWindow> MakeMessageWindow(int mode, const char* promptKey) {
    auto dialog = std::make_unique<MessageWindow>();
    dialog->SetMode(mode);
    dialog->SetPrompt(QString::fromStdString(Text(promptKey)));
    dialog->Prepare();
    return dialog;
}

}  // namespace

VANTOR_PREVIEW(dialog_message) {
    auto message = MakeMessageWindow(kMsgMessage, "tc_msg15");
    auto question = MakeMessageWindow(kMsgQuestion, "tc_msg6");
    return preview::Row({preview::Grab(message.get()), preview::Grab(question.get())});
}

VANTOR_PREVIEW(dialog_message_wait) {
    auto dialog = std::make_unique<MessageWindow>();
    dialog->SetMode(kMsgMessage);
    dialog->SetPrompt(QStringLiteral("Please wait..."));
    dialog->SetClosedByOwner(true);
    dialog->Prepare();
    return preview::Grab(dialog.get());
}

VANTOR_PREVIEW(dialog_text_and_number_input) {
    auto text = MakeMessageWindow(kMsgTextInput, "tc_macro_msg11");
    text->SetTextLimit(kNameInputChars);
    text->Prepare();
    text->Edit()->setText(QStringLiteral("Reload"));
    auto number = MakeMessageWindow(kMsgNumberInput, "tc_macro_msg12");
    number->SetRange(10, 65535);
    number->Prepare();
    number->Edit()->setText(QStringLiteral("70000"));
    return preview::Row({preview::Grab(text.get()), preview::Grab(number.get())});
}

VANTOR_PREVIEW(dialog_key_capture) {
    auto plain = MakeMessageWindow(kMsgKeyCapture, "tc_combo_tips");
    plain->show();
    for (Qt::Key key : {Qt::Key_Control, Qt::Key_C}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(plain->Edit(), &press);
    }
    auto toggles = std::make_unique<MessageWindow>();
    toggles->SetMode(kMsgKeyCapture);
    toggles->SetPrompt(QString::fromStdString(Text("tc_combo_tips")));
    toggles->SetModifierToggles(true);
    toggles->Prepare();
    if (toggles->Toggles()[0] != nullptr) toggles->Toggles()[0]->SetCheck(true);
    QImage first = preview::Grab(plain.get());
    plain->hide();
    return preview::Row({first, preview::Grab(toggles.get())});
}

VANTOR_PREVIEW(dialog_fire_key) {
    KeyAssignment key{};
    key.dwFunID = KF_FIRE;
    key.dwParameter = 0x3202;
    FireKeyWindow dialog(key);
    return preview::Grab(&dialog);
}

VANTOR_PREVIEW(dialog_move) {
    MovementWindow dialog;
    dialog.SetValues(-20, 45);
    dialog.Prepare();
    return preview::Grab(&dialog);
}

VANTOR_PREVIEW(dialog_pick_macro) {
    QTemporaryDir folder;
    if (!folder.isValid()) return {};
    const std::string root = folder.path().toStdString() + "/";
    for (const char* name : {"Reload", "Burst", "games/Sprint", "games/Jump"}) {
        const std::string path = root + name + ".qxm";
        const std::string stem = std::string(name).substr(std::string(name).rfind('/') + 1);
        MacroRecord record = NewMacro(stem == name ? name : stem);
        if (!WriteMacroFile(path, record)) return {};
    }
    MacroPicker dialog(root, 1);
    SkinnedTree* tree = dialog.Tree();
    if (tree != nullptr && !tree->Model().Children(kTreeRoot).empty()) {
        tree->SelectItem(tree->Model().Children(kTreeRoot).front());
    }
    return preview::Grab(&dialog);
}

VANTOR_PREVIEW(dialog_progress) {
    ProgressWindow dialog;
    dialog.SetText(QStringLiteral("Restoring the factory settings..."));
    dialog.SetTextRect(kRestoreProgressTextRect);
    dialog.SetBarRect(kRestoreProgressBarRect);
    dialog.SetRange(0, 100);
    dialog.Prepare();
    dialog.show();
    dialog.SetPosition(60);
    QImage picture = preview::Grab(&dialog);
    dialog.hide();
    return picture;
}

VANTOR_PREVIEW(dialog_key_mark) {
    const QImage page = LoadSkinImage(QStringLiteral("key_nr.png"));
    const DeviceSection& section = DeviceSectionAt(0);
    QWidget host;
    host.resize(page.size());
    MousePicture marks(&host);
    if (!marks.Create(page, QPoint(section.ptMark.x, section.ptMark.y), section.CID, section.MID,
                      section.marks, section.keyCount)) {
        return {};
    }
    marks.MarkKey(0);
    return preview::Grab(&marks);
}

}  // namespace vantor
