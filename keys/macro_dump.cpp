#include "keys/macro_dump.h"

#include <cstring>

#include "base/file_io.h"
#include "base/log.h"
#include "keys/file_errors.h"

namespace vantor {

std::vector<std::uint8_t> BuildMacroDump(const MacroList& macros) {
    std::vector<std::uint8_t> dump(kMacroDumpSize, 0);
    std::size_t slot = 0;
    for (int i = 0; i < macros.Count() && slot < static_cast<std::size_t>(MacroMaxCount); ++i) {
        const MacroRecord& record = macros.At(i);
        if (record.dwMacroID == 0 || record.stEvents[0].wCode == 0) continue;
        std::memcpy(dump.data() + slot * kMacroRecordSize, &record, kMacroRecordSize);
        ++slot;
    }
    return dump;
}

bool SaveMacroDump(const MacroList& macros, const std::string& dataDir) {
    const std::vector<std::uint8_t> dump = BuildMacroDump(macros);
    int error = 0;
    if (WriteFileAtomic(dataDir + "mac.dct", dump.data(), dump.size(), &error)) return true;
    if (IsFileCreateError(error)) {
        DbgLog("Save macro: CreateFile err=%d", error);
    } else {
        DbgLog("Save macro: WriteFile err=%d", error);
    }
    return false;
}

}  // namespace vantor
