// Arbitrary bytes as a HID report descriptor, as a device or sysfs could hand them over.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/hid_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto collections = vantor::ParseHidReportDescriptor(std::span<const std::uint8_t>(data, size));
    // Each collection takes at least a Collection and an End Collection item.
    if (collections && collections->size() > size / 2) std::abort();
    return 0;
}
