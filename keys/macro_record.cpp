#include "keys/macro_record.h"

#include "base/clock_id.h"
#include "base/utf.h"

namespace vantor {

std::string MacroName(const MacroRecord& record) {
    char16_t units[kMacroNameUnits];
    for (int i = 0; i < kMacroNameUnits; ++i) {
        units[i] = static_cast<char16_t>(std::uint16_t(record.szName[i]));
    }
    return Utf16FieldToUtf8(units);
}

void SetMacroName(MacroRecord& record, std::string_view utf8Name) {
    const std::u16string name = Utf8ToUtf16(utf8Name, kMacroNameMaxChars);
    for (int i = 0; i < kMacroNameUnits; ++i) {
        record.szName[i] = i < static_cast<int>(name.size()) ? name[i] : u'\0';
    }
}

int MacroEventCount(const MacroRecord& record) {
    int count = 0;
    while (count < kMacroEventSlots &&
           !(record.stEvents[count].wCode == 0 && record.stEvents[count].dwDelay == 0)) {
        ++count;
    }
    return count;
}

std::uint32_t NewMacroId() {
    return NewClockId();
}

MacroRecord NewMacro(std::string_view utf8Name) {
    MacroRecord record{};
    record.dwMagicNumber = kMacroMagicNumber;
    record.dwMacroID = NewMacroId();
    record.dwAuto = 1;
    record.dwLoopMode = 0;
    record.nLoopCount = 1;
    SetMacroName(record, utf8Name);
    return record;
}

}  // namespace vantor
