#include "ui/widgets/logic/button_state.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

struct LookCase {
    const char* name;
    ButtonStateInput state;
    ButtonLook expected;
};

// Fields: checkMode, checked, pressed, hover, disabled, hasPressedAlt.
const LookCase kCases[] = {
    {"push resting",
     {false, false, false, false, false, false},
     {ButtonFace::Normal, ButtonTextColor::Normal}},
    {"push hover",
     {false, false, false, true, false, false},
     {ButtonFace::Hover, ButtonTextColor::Hover}},
    {"push pressed beats hover",
     {false, false, true, true, false, true},
     {ButtonFace::Pressed, ButtonTextColor::Pressed}},
    {"push checked (selected tab)",
     {false, true, false, false, false, false},
     {ButtonFace::Pressed, ButtonTextColor::Pressed}},
    {"push disabled",
     {false, false, false, false, true, false},
     {ButtonFace::Disabled, ButtonTextColor::Disabled}},
    {"check checked",
     {true, true, false, true, false, false},
     {ButtonFace::Pressed, ButtonTextColor::Pressed}},
    {"check checked disabled shows its value faded",
     {true, true, false, false, true, false},
     {ButtonFace::DisabledChecked, ButtonTextColor::Disabled}},
    {"push checked disabled (selected tab) shows its value faded",
     {false, true, false, false, true, false},
     {ButtonFace::DisabledChecked, ButtonTextColor::Disabled}},
    {"check unchecked hover",
     {true, false, true, true, false, true},
     {ButtonFace::Hover, ButtonTextColor::Hover}},
    {"check unchecked pressed with alternative",
     {true, false, true, false, false, true},
     {ButtonFace::PressedAlt, ButtonTextColor::Normal}},
    {"check unchecked pressed without alternative",
     {true, false, true, false, false, false},
     {ButtonFace::Normal, ButtonTextColor::Normal}},
    {"check unchecked disabled beats alternative",
     {true, false, true, false, true, true},
     {ButtonFace::Disabled, ButtonTextColor::Disabled}},
};

TEST(ButtonStateTest, ChoosesFaceAndColourForEveryState) {
    for (const LookCase& c : kCases) {
        const ButtonLook look = ChooseButtonLook(c.state);
        EXPECT_EQ(look.face, c.expected.face) << c.name;
        EXPECT_EQ(look.color, c.expected.color) << c.name;
    }
}

}  // namespace
}  // namespace vantor
