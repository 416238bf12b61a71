#include "platform/autostart.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "base/file_io.h"
#include "platform/paths.h"

#ifndef VANTOR_APP_ID
#define VANTOR_APP_ID "example.vantor.Vantor"
#endif

namespace vantor {
namespace {

constexpr std::size_t kMaxEntryBytes = 64 * 1024;

std::string AutostartDir() {
    return ConfigHomeDir() + "autostart/";
}

bool HasControlCharacter(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    }
    return false;
}

// One argument of an Exec line: quoted when it holds a character the desktop entry format
// reserves, with '"', '`', '$' and '\' escaped inside the quotes; '%' is doubled because a
// single one starts a field code.
std::string ExecArgument(std::string_view argument) {
    constexpr std::string_view kReserved = " \t\"'\\><~|&;$*?#()`";
    const bool quote = argument.find_first_of(kReserved) != std::string_view::npos;
    std::string out = quote ? "\"" : "";
    for (char c : argument) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
        out += c;
        if (c == '%') out += '%';
    }
    return quote ? out + "\"" : out;
}

// A string value of a desktop entry: backslashes are escaped, and control characters,
// which a one-line value cannot hold, become spaces.
std::string EntryValue(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else {
            out += HasControlCharacter(std::string_view(&c, 1)) ? ' ' : c;
        }
    }
    return out;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Whether the [Desktop Entry] group of `text` switches the entry off.
bool SwitchedOff(std::string_view text) {
    bool inMainGroup = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string_view::npos) continue;
        const std::string_view key = Trimmed(line.substr(0, equals));
        const std::string_view value = Trimmed(line.substr(equals + 1));
        if (key == "Hidden" && value == "true") return true;
        if (key == "X-GNOME-Autostart-enabled" && value == "false") return true;
    }
    return false;
}

bool SetError(int* error, int value) {
    if (error != nullptr) *error = value;
    return false;
}

}  // namespace

const char* ApplicationId() {
    return VANTOR_APP_ID;
}

std::string AutostartEntryPath(const std::string& id) {
    return AutostartDir() + id + ".desktop";
}

std::string AutostartEntryText(const AutostartEntry& entry) {
    if (HasControlCharacter(entry.executable)) return {};
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           EntryValue(entry.name) +
           "\n"
           "Exec=" +
           EntryValue(ExecArgument(entry.executable)) +
           " --tray\n"
           "Icon=" +
           EntryValue(entry.icon) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartEnabled(const std::string& id) {
    const auto bytes = ReadWholeFile(AutostartEntryPath(id), kMaxEntryBytes);
    if (!bytes) return false;
    return !SwitchedOff(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

bool EnableAutostart(const AutostartEntry& entry, int* error) {
    const std::string text = AutostartEntryText(entry);
    if (text.empty()) return SetError(error, EINVAL);
    // The configuration folder is private to the user when we are the first to make it.
    const std::string config = ConfigHomeDir();
    if (!DirectoryExists(config) && mkdir(config.c_str(), 0700) != 0 && errno != EEXIST) {
        return SetError(error, errno);
    }
    if (!MakeDirectory(AutostartDir(), error)) return false;
    return WriteFileAtomic(AutostartEntryPath(entry.id), text, error);
}

bool DisableAutostart(const std::string& id, int* error) {
    if (unlink(AutostartEntryPath(id).c_str()) == 0 || errno == ENOENT) return true;
    return SetError(error, errno);
}

}  // namespace vantor
