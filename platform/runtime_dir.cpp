#include "platform/runtime_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/paths.h"

namespace vantor {
namespace {

std::optional<std::string> RealPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) return std::nullopt;
    return std::string(resolved.get());
}

}  // namespace

bool IsPrivateFolder(const std::string& folder, std::string* error) {
    struct stat info {};
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (lstat(path.c_str(), &info) != 0) {
        *error = folder + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        *error = folder + " is not a folder";
        return false;
    }
    if (info.st_uid != geteuid()) {
        *error = folder + " belongs to another user (uid " + std::to_string(info.st_uid) + ")";
        return false;
    }
    if ((info.st_mode & 077) != 0) {
        *error = folder + " can be used by other users (mode 0" +
                 std::to_string((info.st_mode >> 6) & 7) + std::to_string((info.st_mode >> 3) & 7) +
                 std::to_string(info.st_mode & 7) + ")";
        return false;
    }
    return true;
}

std::optional<std::string> PrivateRuntimeDir(std::string* error) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string ignored;
    if (runtime != nullptr && *runtime != '\0' && IsPrivateFolder(runtime, &ignored)) {
        return WithTrailingSlash(runtime);
    }
    const std::string folder = "/tmp/vantor-" + std::to_string(geteuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        *error = "cannot make " + folder + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!IsPrivateFolder(folder, error)) return std::nullopt;
    return folder + "/";
}

std::string ResolvedPath(const std::string& path) {
    if (std::optional<std::string> resolved = RealPath(path)) return *resolved;
    const std::string::size_type slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) return path;
    if (std::optional<std::string> resolved = RealPath(folder)) {
        return WithTrailingSlash(*resolved) + name;
    }
    return path;
}

}  // namespace vantor
