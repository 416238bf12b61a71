// Arbitrary bytes as a macro file: read back into a record and used the way the library
// uses a loaded macro (name, events, comparison, file name).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "keys/macro_compare.h"
#include "keys/macro_file.h"
#include "keys/macro_list.h"
#include "keys/safe_file_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/macro_file_fuzz_" + std::to_string(getpid()) + ".qxm";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);

    const vantor::MacroFileResult result = vantor::ReadMacroFile(path);
    (void)vantor::MacroFileErrorText(result);
    if (result.status != vantor::MacroFileStatus::kOk) return 0;
    const vantor::MacroRecord& record = result.record;
    const std::string name = vantor::MacroName(record);
    (void)vantor::SafeMacroFileName(name);
    (void)vantor::MacroEventCount(record);
    (void)vantor::HasUnsupportedMouseButton(record, 0x1F);
    (void)vantor::MacrosEqual(record, record);
    vantor::MacroList list;
    if (list.Add(record) == vantor::MacroAddResult::kAdded) (void)list.FindByName(name);
    return 0;
}
