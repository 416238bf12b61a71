// The macros a profile record plays, copied out of the macro library. A write request
// carries one to the apply worker, so the worker encodes the macros as they were when the
// request was made and never reads the library that the window thread edits.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "keys/macro_library_access.h"
#include "profile/profile_record.h"

namespace vantor {

class MacroSnapshot : public MacroLibraryAccess {
  public:
    // Copies from `library` every macro that a key of any key set of `record` names.
    MacroSnapshot(const ProfileFile& record, const MacroLibraryAccess& library);

    const MacroRecord* FindMacroByName(std::string_view utf8Name) const override;
    const MacroRecord* FindMacroById(std::uint32_t id) const override;
    // A snapshot is read-only: nothing is added or replaced.
    bool AddMacro(const MacroRecord&) override { return false; }
    void ReplaceMacro(const MacroRecord&, const MacroRecord&) override {}

    int Count() const { return static_cast<int>(macros_.size()); }

  private:
    std::vector<MacroRecord> macros_;
};

}  // namespace vantor
