#include "tools/vantorctl/button_function.h"

#include <array>
#include <cctype>
#include <string_view>
#include <vector>

#include "keys/key_functions.h"
#include "keys/macro_record.h"
#include "profile/sensor_tables.h"
#include "tools/vantorctl/cli.h"

namespace vantor::cli {
namespace {

struct NamedValue {
    std::string_view name;
    std::uint32_t value;
};

constexpr NamedValue kPlainFunctions[] = {
    {"left", KF_LEFT_CLICK},
    {"right", KF_RIGHT_CLICK},
    {"middle", KF_MIDDLE_CLICK},
    {"forward", KF_FORWARD},
    {"back", KF_BACK},
    {"double-click", KF_DOUBLE_CLICK},
    {"triple-click", KF_TRIPLE_CLICK},
    {"disable", KF_DISABLE},
    {"dpi-up", KF_DPI_UP},
    {"dpi-down", KF_DPI_DOWN},
    {"dpi-cycle", KF_DPI_CYCLE},
    {"rate", KF_REPORT_RATE},
    {"profile", KF_PROFILE_SWITCH},
    {"led", KF_LED_TOGGLE},
};

constexpr NamedValue kMediaKeys[] = {
    {"volume-up", KF_VOLUME_UP}, {"volume-down", KF_VOLUME_DOWN},
    {"mute", KF_MUTE},           {"play-pause", KF_MEDIA_PLAY_PAUSE},
    {"stop", KF_MEDIA_STOP},     {"previous", KF_MEDIA_PREV},
    {"next", KF_MEDIA_NEXT},     {"player", KF_MEDIA_SELECT},
};

constexpr NamedValue kAppKeys[] = {
    {"mail", KF_APP_MAIL},         {"calculator", KF_APP_CALCULATOR},
    {"explorer", KF_APP_EXPLORER}, {"search", KF_APP_SEARCH},
    {"home", KF_APP_HOME},         {"back", KF_APP_BACK},
    {"forward", KF_APP_FORWARD},   {"stop", KF_APP_STOP},
    {"refresh", KF_APP_REFRESH},   {"favorites", KF_APP_FAVORITES},
};

// Modifier names of a combination, as the HID keyboard modifier bits.
constexpr NamedValue kModifiers[] = {
    {"ctrl", kModLeftCtrl}, {"shift", kModLeftShift}, {"alt", kModLeftAlt},
    {"win", kModLeftWin},   {"rctrl", kModRightCtrl}, {"rshift", kModRightShift},
    {"ralt", kModRightAlt}, {"rwin", kModRightWin},
};

// Named keys as virtual-key codes; letters and digits are their own upper-case character.
constexpr NamedValue kNamedKeys[] = {
    {"backspace", 0x08}, {"tab", 0x09},       {"enter", 0x0D},     {"pause", 0x13},
    {"capslock", 0x14},  {"esc", 0x1B},       {"space", 0x20},     {"pageup", 0x21},
    {"pagedown", 0x22},  {"end", 0x23},       {"home", 0x24},      {"left", 0x25},
    {"up", 0x26},        {"right", 0x27},     {"down", 0x28},      {"printscreen", 0x2C},
    {"insert", 0x2D},    {"delete", 0x2E},    {"f1", 0x70},        {"f2", 0x71},
    {"f3", 0x72},        {"f4", 0x73},        {"f5", 0x74},        {"f6", 0x75},
    {"f7", 0x76},        {"f8", 0x77},        {"f9", 0x78},        {"f10", 0x79},
    {"f11", 0x7A},       {"f12", 0x7B},       {"numlock", 0x90},   {"scrolllock", 0x91},
    {"minus", 0xBD},     {"equals", 0xBB},    {"comma", 0xBC},     {"period", 0xBE},
    {"slash", 0xBF},     {"semicolon", 0xBA}, {"quote", 0xDE},     {"backquote", 0xC0},
    {"lbracket", 0xDB},  {"rbracket", 0xDD},  {"backslash", 0xDC},
};

template <std::size_t N>
std::optional<std::uint32_t> Lookup(const NamedValue (&table)[N], std::string_view name) {
    for (const NamedValue& entry : table) {
        if (entry.name == name) return entry.value;
    }
    return std::nullopt;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::optional<std::uint8_t> KeyCode(const std::string& name) {
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return static_cast<std::uint8_t>(std::toupper(static_cast<unsigned char>(name[0])));
    }
    if (auto code = Lookup(kNamedKeys, name)) return static_cast<std::uint8_t>(*code);
    return std::nullopt;
}

std::optional<KeyAssignment> ParseKeys(const std::string& text, std::string* error) {
    std::uint8_t modifiers = 0;
    std::array<std::uint8_t, 3> keys{};
    std::size_t keyCount = 0;
    for (const std::string& part : Split(Lower(text), '+')) {
        if (auto modifier = Lookup(kModifiers, part)) {
            modifiers = static_cast<std::uint8_t>(modifiers | *modifier);
        } else if (auto code = KeyCode(part)) {
            if (keyCount == keys.size()) {
                *error = "a combination holds at most three keys besides the modifiers";
                return std::nullopt;
            }
            keys[keyCount++] = *code;
        } else {
            *error = "unknown key '" + part + "' in key:" + text;
            return std::nullopt;
        }
    }
    if (keyCount == 0 && modifiers == 0) {
        *error = "key: needs a key such as key:ctrl+c";
        return std::nullopt;
    }
    KeyAssignment record{};
    record.dwFunID = modifiers != 0 ? KF_KEY_COMBO : KF_KEY;
    record.stCombo = modifiers | (std::uint32_t{keys[0]} << 8) | (std::uint32_t{keys[1]} << 16) |
                     (std::uint32_t{keys[2]} << 24);
    return record;
}

std::optional<KeyAssignment> ParseFire(const std::string& text, std::string* error) {
    const std::vector<std::string> parts = Split(text, ',');
    const std::optional<long long> shots = parts.size() == 2 ? ParseNumber(parts[0]) : std::nullopt;
    const std::optional<long long> interval =
        parts.size() == 2 ? ParseNumber(parts[1]) : std::nullopt;
    if (!shots || !interval || *shots < 1 || *shots > kMaxFireShots ||
        *interval < kMinFireInterval || *interval > kMaxFireInterval) {
        *error = "fire:SHOTS,INTERVAL takes 1-" + std::to_string(kMaxFireShots) + " shots and an " +
                 "interval of " + std::to_string(kMinFireInterval) + "-" +
                 std::to_string(kMaxFireInterval);
        return std::nullopt;
    }
    KeyAssignment record{};
    record.dwFunID = KF_FIRE;
    record.dwParameter = static_cast<std::uint32_t>(*shots | (*interval << 8));
    return record;
}

std::optional<KeyAssignment> ParseDpiLock(const std::string& text, std::uint32_t sensor,
                                          std::string* error) {
    const std::optional<long long> dpi = ParseNumber(text);
    const int step = dpi && *dpi > 0 && *dpi <= 0xFFFF
                         ? TheSensorTables().DpiStepIndex(sensor, static_cast<int>(*dpi))
                         : -1;
    if (step < 0) {
        *error = "dpi-lock:" + text + " is not a DPI step of this sensor (see sensor-steps)";
        return std::nullopt;
    }
    KeyAssignment record{};
    record.dwFunID = KF_DPI_LOCK;
    record.dwParameter = static_cast<std::uint32_t>(step);
    return record;
}

std::optional<KeyAssignment> Named(std::optional<std::uint32_t> funId, const std::string& text,
                                   std::string* error) {
    if (!funId) {
        *error = "unknown button function " + text;
        return std::nullopt;
    }
    KeyAssignment record{};
    record.dwFunID = *funId;
    return record;
}

}  // namespace

std::optional<KeyAssignment> ParseButtonFunction(const std::string& text, std::uint32_t sensor,
                                                 const MacroList& macros, std::string* error) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return Named(Lookup(kPlainFunctions, Lower(text)), text, error);
    const std::string kind = Lower(text.substr(0, colon));
    const std::string value = text.substr(colon + 1);
    if (kind == "key") return ParseKeys(value, error);
    if (kind == "media") return Named(Lookup(kMediaKeys, Lower(value)), text, error);
    if (kind == "app") return Named(Lookup(kAppKeys, Lower(value)), text, error);
    if (kind == "fire") return ParseFire(value, error);
    if (kind == "dpi-lock") return ParseDpiLock(value, sensor, error);
    if (kind == "macro") {
        const MacroRecord* macro = macros.FindByName(value);
        if (macro == nullptr) {
            *error = "no macro named '" + value + "' in the library (see macros)";
            return std::nullopt;
        }
        KeyAssignment record{};
        record.dwFunID = KF_MACRO;
        record.dwMacroID = macro->dwMacroID;
        return record;
    }
    *error = "unknown button function " + text;
    return std::nullopt;
}

std::string ButtonFunctionHelp() {
    std::string help = "FUNCTION is one of";
    for (const NamedValue& entry : kPlainFunctions) help += " " + std::string(entry.name);
    help += ", key:KEYS (key:ctrl+c), media:NAME (";
    for (const NamedValue& entry : kMediaKeys) help += std::string(entry.name) + " ";
    help.back() = ')';
    help += ", app:NAME (";
    for (const NamedValue& entry : kAppKeys) help += std::string(entry.name) + " ";
    help.back() = ')';
    help += ", fire:SHOTS,INTERVAL, dpi-lock:DPI, macro:NAME";
    return help;
}

}  // namespace vantor::cli
