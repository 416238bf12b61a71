// The FUNCTION of `vantorctl set button N FUNCTION`: a mouse or device function name, a key
// or combination ("key:ctrl+c"), a multimedia or application key ("media:volume-up",
// "app:calculator"), rapid fire ("fire:SHOTS,INTERVAL"), a DPI lock ("dpi-lock:DPI") or a
// macro of the library ("macro:NAME").
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "keys/key_assignment.h"
#include "keys/macro_list.h"

namespace vantor::cli {

// Rapid-fire limits of the fire-key window.
constexpr int kMaxFireShots = 3;
constexpr int kMinFireInterval = 10;
constexpr int kMaxFireInterval = 255;

// The record the function stands for (matrix index left 0), or nothing with a one-line
// reason in `error`. `sensor` is the sensor of the device model, for DPI locks.
std::optional<KeyAssignment> ParseButtonFunction(const std::string& text, std::uint32_t sensor,
                                                 const MacroList& macros, std::string* error);

// The names a user can give, for the usage text.
std::string ButtonFunctionHelp();

}  // namespace vantor::cli
