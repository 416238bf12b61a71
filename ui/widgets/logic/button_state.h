// Which face picture and caption colour an image button shows in a given state. Kept free
// of the toolkit so the choice can be checked without painting.
#pragma once

namespace vantor {

// DisabledChecked: the checked face, faded, so a disabled or locked check box, radio button
// or selected tab still shows its value.
enum class ButtonFace { Normal, Hover, Pressed, Disabled, PressedAlt, DisabledChecked };
// Disabled: the normal colour, dimmed, so a disabled caption does not read as a live one.
enum class ButtonTextColor { Normal, Hover, Pressed, Disabled };

struct ButtonStateInput {
    bool checkMode = false;
    bool checked = false;
    bool pressed = false;  // the left button is held down on the button
    bool hover = false;
    bool disabled = false;
    bool hasPressedAlt = false;  // a pressed-alternative picture exists
};

struct ButtonLook {
    ButtonFace face = ButtonFace::Normal;
    ButtonTextColor color = ButtonTextColor::Normal;

    bool operator==(const ButtonLook&) const = default;
};

// A disabled face always comes with the disabled caption colour.
// Check mode: a checked button shows the pressed face (faded when disabled);
// an unchecked one shows hover, then disabled, pressed-alternative while pressed, normal.
// Push mode: checked or pressed shows the pressed face (checked and disabled: faded), then
// hover, then the same rest.
ButtonLook ChooseButtonLook(const ButtonStateInput& state);

}  // namespace vantor
