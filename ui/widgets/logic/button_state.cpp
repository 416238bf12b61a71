#include "ui/widgets/logic/button_state.h"

namespace vantor {
namespace {

// The look of a button that is neither checked nor hovered (nor pressed in push mode).
ButtonLook RestingLook(const ButtonStateInput& state) {
    if (state.disabled) return {ButtonFace::Disabled, ButtonTextColor::Disabled};
    if (state.pressed && state.hasPressedAlt) {
        return {ButtonFace::PressedAlt, ButtonTextColor::Normal};
    }
    return {ButtonFace::Normal, ButtonTextColor::Normal};
}

}  // namespace

ButtonLook ChooseButtonLook(const ButtonStateInput& state) {
    if (state.checked && state.disabled) {
        return {ButtonFace::DisabledChecked, ButtonTextColor::Disabled};
    }
    if (state.checkMode) {
        if (state.checked) return {ButtonFace::Pressed, ButtonTextColor::Pressed};
    } else if (state.checked || state.pressed) {
        return {ButtonFace::Pressed, ButtonTextColor::Pressed};
    }
    if (state.hover) return {ButtonFace::Hover, ButtonTextColor::Hover};
    return RestingLook(state);
}

}  // namespace vantor
