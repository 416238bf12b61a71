// Where the program finds its shipped files and keeps the user's files.
// Every folder returned ends with '/', so file names can be appended directly.
#pragma once

#include <string>

#include "base/file_io.h"  // FileExists, DirectoryExists

namespace vantor {

// The folder that holds cfg.ini, the language folders and the skins: $VANTOR_PROGRAM_DIR
// when set, else the executable's folder when it holds cfg.ini, else the installed data
// folder share/vantor beside the executable's bin folder (<exe dir>/../share/vantor/).
std::string ProgramDir();

// $XDG_DATA_HOME, else ~/.local/share.
std::string LocalAppDataDir();

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config: where the desktop and its
// programs keep the user's settings.
std::string ConfigHomeDir();

// The per-user data folder: $VANTOR_DATA_DIR when set, else LocalAppDataDir() + appdir.
std::string DataDirFor(const std::string& appdir);

// The desktop folder of the XDG user directories when it exists, else empty.
std::string DesktopDir();

// Creates one folder level; true when it exists afterwards. `error` gets errno on failure.
[[nodiscard]] bool MakeDirectory(const std::string& path, int* error = nullptr);

// Creates the folder and every missing folder above it (new ones private to the user, 0700),
// as a fresh account may lack even ~/.local/share. True when it exists afterwards; on failure
// `error` gets errno and `failedLevel` the folder that could not be made.
[[nodiscard]] bool MakeDirectoryPath(const std::string& path, int* error = nullptr,
                                     std::string* failedLevel = nullptr);

// Adds a trailing '/' when missing (an empty path stays empty).
std::string WithTrailingSlash(std::string path);

}  // namespace vantor
