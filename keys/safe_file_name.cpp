#include "keys/safe_file_name.h"

#include "keys/letter_case.h"

namespace vantor {
namespace {

bool MustEscape(unsigned char c) {
    if (c < 0x20 || c == 0x7F) return true;
    constexpr std::string_view kForbidden = "%/\\:*?\"<>|";
    return kForbidden.find(static_cast<char>(c)) != std::string_view::npos;
}

void AppendEscaped(std::string& out, unsigned char c) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToUpperLetter(static_cast<unsigned char>(a[i])) !=
            ToUpperLetter(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// Windows refuses these names whatever extension follows them.
bool IsReservedDeviceName(std::string_view name) {
    const std::string_view base = name.substr(0, name.find('.'));
    for (std::string_view reserved : {"CON", "PRN", "AUX", "NUL"}) {
        if (EqualsIgnoringCase(base, reserved)) return true;
    }
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
        const std::string_view prefix = base.substr(0, 3);
        return EqualsIgnoringCase(prefix, "COM") || EqualsIgnoringCase(prefix, "LPT");
    }
    return false;
}

}  // namespace

std::string SafeFileNameStem(std::string_view name) {
    if (name.empty()) return "%00";
    const bool reserved = IsReservedDeviceName(name);
    std::string out;
    out.reserve(name.size() * 3);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool first = i == 0;
        const bool last = i + 1 == name.size();
        if (MustEscape(c) || (first && (c == '.' || reserved)) ||
            (last && (c == '.' || c == ' '))) {
            AppendEscaped(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string SafeMacroFileName(std::string_view macroName) {
    return SafeFileNameStem(macroName) + ".qxm";
}

}  // namespace vantor
