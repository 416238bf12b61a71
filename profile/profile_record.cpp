#include "profile/profile_record.h"

#include "base/utf.h"
#include "keys/key_functions.h"

namespace vantor {

void SetProfileName(ProfileFile& record, std::string_view name) {
    const std::u16string units = Utf8ToUtf16(name, kProfileNameUnits - 1);
    for (std::size_t i = 0; i < kProfileNameUnits; ++i) {
        record.szName[i] = i < units.size() ? static_cast<std::uint16_t>(units[i]) : 0;
    }
}

std::string ProfileName(const ProfileFile& record) {
    char16_t units[kProfileNameUnits];
    for (std::size_t i = 0; i < kProfileNameUnits; ++i) units[i] = record.szName[i];
    return Utf16FieldToUtf8(units);
}

bool IsMacroAssigned(const ProfileFile& profile, std::uint32_t id) {
    for (const auto& set : profile.Key) {
        for (const KeyAssignment& key : set) {
            if (key.FunctionClass() == KFC_MACRO && key.dwMacroID == id) return true;
        }
    }
    return false;
}

}  // namespace vantor
