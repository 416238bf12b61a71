// The kernel's input devices of the configured mice: the names under which the desktop's
// input stack (libinput, and KDE Plasma's per-device settings on Wayland) knows each
// pointer of a receiver or cable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor {

// The vendor id and the product ids (receivers and cables) of the configured mice.
struct MouseIds {
    std::uint16_t vendor = 0;
    std::vector<std::uint32_t> products;
};

struct PointerInput {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string name;  // the kernel's device name, e.g. "Vantor Receiver Mouse"
};

// Vendor and product of an input device's PRODUCT property ("bus/vendor/product/version",
// hexadecimal); nothing when the text is not of that form.
std::optional<std::pair<std::uint16_t, std::uint16_t>> ParseInputProduct(std::string_view text);

// Whether a device name can name a configuration group: printable, without '[' or ']',
// which would end the group's name in a settings file.
bool UsableInputName(std::string_view name);

// The present pointer input devices (udev's ID_INPUT_MOUSE) of `mice`, each name once per
// vendor and product; names UsableInputName refuses are left out with a log line. Empty
// when udev fails or no such mouse is plugged in.
std::vector<PointerInput> ListPointerInputs(const MouseIds& mice);

}  // namespace vantor
