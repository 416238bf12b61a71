// The user's private runtime folder, for the files that let copies of the program find and
// exclude each other (single-instance lock and socket, device lock). Nobody but the user
// may create, replace or connect to anything in it, so it must be a real folder owned by
// the user with no access for group or others.
#pragma once

#include <optional>
#include <string>

namespace vantor {

// $XDG_RUNTIME_DIR when it is set and private; else /tmp/vantor-<uid>, made with mode 0700
// when missing. Nothing, with the reason in `error`, when the folder is not private (for
// example another user made /tmp/vantor-<uid> first). The folder ends with '/'.
std::optional<std::string> PrivateRuntimeDir(std::string* error);

// True when `folder` is a folder (not a link) owned by this user without access for group
// or others; otherwise false with a sentence naming the folder and the problem.
bool IsPrivateFolder(const std::string& folder, std::string* error);

// The path with every symbolic link and "." or ".." resolved. For a file that does not
// exist yet its folder is resolved; when that fails too the path comes back unchanged.
// Two paths to one file give the same name, so locks named after it exclude each other.
std::string ResolvedPath(const std::string& path);

}  // namespace vantor
