#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

// The installed program folder as seen from the folder of the installed programs, so that an
// install under any prefix, or a moved one, finds its data.
#ifndef VANTOR_PROGRAM_DIR_FROM_BIN
#define VANTOR_PROGRAM_DIR_FROM_BIN "../share/vantor/"
#endif

namespace vantor {
namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? std::string(value) : fallback;
}

std::string HomeDir() {
    return WithTrailingSlash(EnvOr("HOME", "/tmp"));
}

std::string ExecutableDir() {
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    std::string path(buffer, static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1);
}

// Reads XDG_DESKTOP_DIR="$HOME/Desktop" from user-dirs.dirs.
std::string XdgDesktopSetting() {
    std::string config = WithTrailingSlash(EnvOr("XDG_CONFIG_HOME", HomeDir() + ".config"));
    std::ifstream in(config + "user-dirs.dirs");
    std::string line;
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR=";
    while (std::getline(in, line)) {
        if (line.compare(0, kKey.size(), kKey) != 0) continue;
        std::string value = line.substr(kKey.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.compare(0, 5, "$HOME") == 0)
            value = HomeDir() + value.substr(value.size() > 5 ? 6 : 5);
        return value;
    }
    return HomeDir() + "Desktop";
}

}  // namespace

std::string WithTrailingSlash(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

std::string ProgramDir() {
    std::string overridden = EnvOr("VANTOR_PROGRAM_DIR", "");
    if (!overridden.empty()) return WithTrailingSlash(overridden);
    std::string exeDir = ExecutableDir();
    if (exeDir.empty() || FileExists(exeDir + "cfg.ini")) return exeDir;
    const std::filesystem::path installed(exeDir + VANTOR_PROGRAM_DIR_FROM_BIN);
    return WithTrailingSlash(installed.lexically_normal().string());
}

std::string LocalAppDataDir() {
    return WithTrailingSlash(EnvOr("XDG_DATA_HOME", HomeDir() + ".local/share"));
}

std::string ConfigHomeDir() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return WithTrailingSlash(config);
    return HomeDir() + ".config/";
}

std::string DataDirFor(const std::string& appdir) {
    std::string overridden = EnvOr("VANTOR_DATA_DIR", "");
    if (!overridden.empty()) return WithTrailingSlash(overridden);
    return LocalAppDataDir() + appdir + "/";
}

std::string DesktopDir() {
    std::string desktop = WithTrailingSlash(XdgDesktopSetting());
    return DirectoryExists(desktop) ? desktop : std::string();
}

bool MakeDirectory(const std::string& path, int* error) {
    if (mkdir(path.c_str(), 0755) == 0 || (errno == EEXIST && DirectoryExists(path))) return true;
    if (error != nullptr) *error = errno;
    return false;
}

bool MakeDirectoryPath(const std::string& path, int* error, std::string* failedLevel) {
    if (path.empty()) return false;
    // Walk down from the root so every parent exists before its child is made.
    std::size_t next = path.find_first_not_of('/');
    while (next != std::string::npos) {
        next = path.find('/', next);
        const std::string level = path.substr(0, next);
        if (!DirectoryExists(level) && mkdir(level.c_str(), 0700) != 0) {
            const int saved = errno;
            if (saved != EEXIST || !DirectoryExists(level)) {  // EEXIST: made meanwhile
                if (error != nullptr) *error = saved;
                if (failedLevel != nullptr) *failedLevel = level;
                return false;
            }
        }
        if (next != std::string::npos) next = path.find_first_not_of('/', next);
    }
    return DirectoryExists(path);
}

}  // namespace vantor
