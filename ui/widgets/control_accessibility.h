// What assistive tools (screen readers, the desktop's accessibility tree) learn about the
// self-painted controls: a role, a name in the user's language, the value and the state.
//
//  - image button: push button, check box or radio button by its mode; named by its
//    accessible name, else its caption, else its tooltip; checked, and unavailable while
//    locked; "press" / "toggle" act as a click;
//  - drop-down button: combo box; named by its accessible name or tooltip, its value the
//    caption; "press" opens the list;
//  - slider track: slider; its value the thumb's value (a DPI, a delay), which a tool may
//    set (the nearest position, as a click there); the thumbs are not separate objects;
//  - tree: tree; its value the selected item's text.
//
// The controls install this on their first construction; nothing else needs to.
#pragma once

namespace vantor {

// An image button with this property set to true is a picture, not a control (a highlight
// on the mouse picture): assistive tools see a graphic.
inline constexpr const char* kDecorationProperty = "accessibleDecoration";

void EnsureControlAccessibility();

}  // namespace vantor
