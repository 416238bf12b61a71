// A page's question before one of its drop-down boxes opens its list: a setting that may
// not be changed now refuses the click, and the list stays shut.
#pragma once

#include <functional>

namespace vantor {

class SkinnedComboBox;

// Runs `mayOpen` when a click would open `box`'s list (a left click on an unlocked box
// while no list is open; a click that closes an open list is never refused). False
// swallows the click. The check lives as long as the box.
void AskBeforeOpening(SkinnedComboBox* box, std::function<bool()> mayOpen);

}  // namespace vantor
