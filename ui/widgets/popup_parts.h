// The parts every small skinned pop-up shares: the close button at the top right, the OK
// and Cancel buttons (or OK alone) along the bottom, and plain bordered edit boxes. All
// positions are those of the unscaled "msg_nr.png" window; the 4K layout doubles them.
#pragma once

#include <QRect>
#include <QString>

class QLineEdit;
class QWidget;

namespace vantor {

class SkinnedButton;
class SkinnedPopup;

// (left, top)-(right, bottom) with exclusive right and bottom edges.
constexpr QRect Span(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

inline constexpr QRect kPopupCloseRect = Span(399, 10, 424, 35);
inline constexpr QRect kPopupOkRect = Span(136, 110, 216, 137);
inline constexpr QRect kPopupCancelRect = Span(242, 110, 322, 137);
inline constexpr QRect kPopupSingleOkRect = Span(186, 110, 266, 137);
// Two edit boxes side by side, each under its caption (movement and fire-key windows).
inline constexpr QRect kPopupLeftEditRect = Span(135, 70, 215, 90);
inline constexpr QRect kPopupRightEditRect = Span(242, 70, 322, 90);
inline constexpr QRect kPopupLeftCaptionRect = Span(120, 45, 230, 65);
inline constexpr QRect kPopupRightCaptionRect = Span(227, 45, 337, 65);

struct PopupButtons {
    SkinnedButton* close = nullptr;
    SkinnedButton* ok = nullptr;
    SkinnedButton* cancel = nullptr;
};

// A skin button ("button2_nr.png" or the given pictures) at `rect` with `caption`; null
// after the loader's message when a picture is missing. Moved for 4K.
SkinnedButton* NewPopupButton(SkinnedPopup* dialog, const QString& picture, const QRect& rect,
                              const QString& caption);

// Close button "exit_nr.png" and the tc_ok / tc_cancel buttons on "button2_nr.png"; with
// `okOnly` the single OK button in the middle and no Cancel. Close and Cancel reject the
// dialog; OK is left to the caller.
PopupButtons CreatePopupButtons(SkinnedPopup* dialog, bool okOnly);

// A bordered edit box at `rect` in the window's font, at most `maxChars` characters (0: no
// limit). Moved for 4K.
QLineEdit* CreatePopupEdit(QWidget* parent, const QRect& rect, int maxChars, int controlId = 0);

}  // namespace vantor
