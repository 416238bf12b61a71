// What reading a profile from the mouse needs of the macro library: find a macro by name
// or id, add a macro that came from the device, and give an existing macro new content.
// The macro library implements it; tests use a small in-memory stand-in.
#pragma once

#include <cstdint>
#include <string_view>

#include "keys/macro_record.h"

namespace vantor {

class MacroLibraryAccess {
  public:
    virtual ~MacroLibraryAccess() = default;

    // Case-insensitive, at most 40 characters compared; null when absent.
    virtual const MacroRecord* FindMacroByName(std::string_view utf8Name) const = 0;
    virtual const MacroRecord* FindMacroById(std::uint32_t id) const = 0;

    // Adds the macro to the library (and its file); false when that fails.
    [[nodiscard]] virtual bool AddMacro(const MacroRecord& macro) = 0;

    // `existing` takes the events and settings of `content` and keeps its own id and name.
    virtual void ReplaceMacro(const MacroRecord& existing, const MacroRecord& content) = 0;
};

}  // namespace vantor
