// Arbitrary bytes as a language file: decoding, parsing and a walk over the index must
// neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/xml_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantor::XmlReader reader;
    reader.LoadBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)reader.Result();
    (void)reader.IsWellFormed();

    // The language loader's lookup, then a bounded walk over the first two levels.
    reader.Reset();
    if (reader.FindElem("config") && reader.IntoElem() && reader.FindElem("tc_ok")) {
        (void)reader.GetData();
    }
    reader.Reset();
    for (int top = 0; top < 8 && reader.FindElem(); ++top) {
        (void)reader.GetData();
        (void)reader.GetTagName();
    }
    reader.Reset();
    if (reader.FindElem() && reader.IntoElem()) {
        for (int child = 0; child < 64 && reader.FindElem(); ++child) (void)reader.GetData();
    }
    return 0;
}
