// File names made from names the user or an imported file chose. The result never leaves
// its folder and stays valid on Linux and Windows file systems; distinct names give
// distinct file names. The record keeps the real name; only the file name is escaped.
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// Escapes as "%XX" (hex of the byte): '%' itself, path separators, control characters,
// the characters Windows forbids (: * ? " < > |), a leading '.', a trailing '.' or blank,
// and the first character of a reserved device name (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9). An empty name becomes "%00".
std::string SafeFileNameStem(std::string_view name);

// SafeFileNameStem(macroName) + ".qxm".
std::string SafeMacroFileName(std::string_view macroName);

}  // namespace vantor
