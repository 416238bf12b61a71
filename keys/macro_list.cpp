#include "keys/macro_list.h"

#include <new>
#include <utility>

#include "base/log.h"
#include "keys/macro_compare.h"

namespace vantor {

MacroAddResult MacroList::Add(const MacroRecord& record) {
    if (record.dwMagicNumber != kMacroMagicNumber) {
        DbgLog("Add_Macro: FAILED, dwMagicNumber=0x%x", std::uint32_t(record.dwMagicNumber));
        return MacroAddResult::kBadMagic;
    }
    if (IsFull()) return MacroAddResult::kFull;
    try {
        records_.push_back(std::make_unique<MacroRecord>(record));
    } catch (const std::bad_alloc&) {
        return MacroAddResult::kNoMemory;
    }
    return MacroAddResult::kAdded;
}

bool MacroList::Remove(std::uint32_t id) {
    for (auto it = records_.begin(); it != records_.end(); ++it) {
        if ((*it)->dwMacroID == id) {
            records_.erase(it);
            return true;
        }
    }
    return false;
}

const MacroRecord* MacroList::FindById(std::uint32_t id) const {
    for (const auto& record : records_) {
        if (record->dwMacroID == id) return record.get();
    }
    return nullptr;
}

MacroRecord* MacroList::FindById(std::uint32_t id) {
    return const_cast<MacroRecord*>(std::as_const(*this).FindById(id));
}

const MacroRecord* MacroList::FindByName(std::string_view utf8Name) const {
    for (const auto& record : records_) {
        if (MacroNameIs(*record, utf8Name)) return record.get();
    }
    return nullptr;
}

MacroRecord* MacroList::FindByName(std::string_view utf8Name) {
    return const_cast<MacroRecord*>(std::as_const(*this).FindByName(utf8Name));
}

}  // namespace vantor
