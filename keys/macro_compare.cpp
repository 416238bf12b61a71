#include "keys/macro_compare.h"

#include "base/text_decoding.h"
#include "keys/letter_case.h"

namespace vantor {
namespace {

// The name field up to its terminator (at most the whole field).
std::u16string_view NameUnits(const MacroRecord& record, char16_t (&buffer)[kMacroNameUnits]) {
    std::size_t length = 0;
    while (length < kMacroNameUnits && record.szName[length] != 0) {
        buffer[length] = static_cast<char16_t>(std::uint16_t(record.szName[length]));
        ++length;
    }
    return {buffer, length};
}

bool UnitsEqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
    a = a.substr(0, kMacroNameUnits);
    b = b.substr(0, kMacroNameUnits);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToLowerLetter(a[i]) != ToLowerLetter(b[i])) return false;
    }
    return true;
}

}  // namespace

bool MacroNamesEqual(const MacroRecord& a, const MacroRecord& b) {
    char16_t bufferA[kMacroNameUnits];
    char16_t bufferB[kMacroNameUnits];
    return UnitsEqualIgnoringCase(NameUnits(a, bufferA), NameUnits(b, bufferB));
}

bool MacroNameIs(const MacroRecord& record, std::string_view utf8Name) {
    char16_t buffer[kMacroNameUnits];
    return UnitsEqualIgnoringCase(NameUnits(record, buffer), Utf8ToUtf16(utf8Name));
}

bool MacrosEqual(const MacroRecord& a, const MacroRecord& b) {
    if (!MacroNamesEqual(a, b)) return false;
    const int count = MacroEventCount(a);
    if (count != MacroEventCount(b)) return false;
    for (int i = 0; i < count; ++i) {
        const MacroEvent& x = a.stEvents[i];
        const MacroEvent& y = b.stEvents[i];
        if (x.wCode != y.wCode || x.wKind != y.wKind || x.dwDelay != y.dwDelay) return false;
    }
    return true;
}

bool HasUnsupportedMouseButton(const MacroRecord& record, std::uint32_t supportedMask) {
    const int count = MacroEventCount(record);
    for (int i = 0; i < count; ++i) {
        const MacroEvent& event = record.stEvents[i];
        if (event.wKind == kMacroKindMove) continue;
        const std::uint16_t code = event.wCode;
        if (code >= 0xF0 && code <= 0xF6 && ((supportedMask >> (code - 0xF0)) & 1u) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace vantor
