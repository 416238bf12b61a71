// What the user is told when a file could not be saved: the file and the reason in the
// user's language (disk full, no permission, read-only disk; any other error in the
// system's own words).
#pragma once

#include <string>

namespace vantor {

std::string WriteErrorText(int error);

// "<tc_save_failed> <path> (<reason>)".
std::string SaveFailedText(const std::string& path, int error);

}  // namespace vantor
