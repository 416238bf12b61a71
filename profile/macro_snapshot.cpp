#include "profile/macro_snapshot.h"

#include "keys/macro_compare.h"

namespace vantor {

MacroSnapshot::MacroSnapshot(const ProfileFile& record, const MacroLibraryAccess& library) {
    for (const auto& set : record.Key) {
        for (const KeyAssignment& key : set) {
            const std::uint32_t id = key.dwMacroID;
            if (id == 0 || FindMacroById(id) != nullptr) continue;
            if (const MacroRecord* macro = library.FindMacroById(id)) macros_.push_back(*macro);
        }
    }
}

const MacroRecord* MacroSnapshot::FindMacroByName(std::string_view utf8Name) const {
    for (const MacroRecord& macro : macros_) {
        if (MacroNameIs(macro, utf8Name)) return &macro;
    }
    return nullptr;
}

const MacroRecord* MacroSnapshot::FindMacroById(std::uint32_t id) const {
    for (const MacroRecord& macro : macros_) {
        if (macro.dwMacroID == id) return &macro;
    }
    return nullptr;
}

}  // namespace vantor
