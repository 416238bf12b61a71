// The in-memory macro library: every macro record in the order it was added, each entry
// its own copy. At most MacroMaxCount macros.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "keys/macro_record.h"

namespace vantor {

enum class MacroAddResult {
    kAdded,
    kBadMagic,  // not a macro record; logged, nothing added
    kFull,      // the list holds MacroMaxCount macros
    kNoMemory,
};

constexpr const char* kMacroListFullMessage = "The number of macro is up to the maximum";

class MacroList {
  public:
    [[nodiscard]] MacroAddResult Add(const MacroRecord& record);

    // Removes the first macro with the id; false when there is none.
    [[nodiscard]] bool Remove(std::uint32_t id);

    MacroRecord* FindById(std::uint32_t id);
    const MacroRecord* FindById(std::uint32_t id) const;
    // Case-insensitive, comparing at most 40 characters.
    MacroRecord* FindByName(std::string_view utf8Name);
    const MacroRecord* FindByName(std::string_view utf8Name) const;

    int Count() const { return static_cast<int>(records_.size()); }
    bool IsFull() const { return Count() >= MacroMaxCount; }
    // Index 0 .. Count()-1, in the order of adding.
    MacroRecord& At(int index) { return *records_.at(static_cast<std::size_t>(index)); }
    const MacroRecord& At(int index) const { return *records_.at(static_cast<std::size_t>(index)); }
    void Clear() { records_.clear(); }

  private:
    // Entries are held by pointer so that a found record stays valid while others are added.
    std::vector<std::unique_ptr<MacroRecord>> records_;
};

}  // namespace vantor
