#include "platform/pointer_inputs.h"

#include <algorithm>
#include <charconv>

#include "base/log.h"
#include "platform/udev_list.h"

namespace vantor {
namespace {

std::optional<std::uint16_t> ParseHexField(std::string_view text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<std::pair<std::uint16_t, std::uint16_t>> ParseInputProduct(std::string_view text) {
    const std::size_t first = text.find('/');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = text.find('/', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const std::size_t third = text.find('/', second + 1);
    if (third == std::string_view::npos) return std::nullopt;
    const auto vendor = ParseHexField(text.substr(first + 1, second - first - 1));
    const auto product = ParseHexField(text.substr(second + 1, third - second - 1));
    if (!vendor || !product) return std::nullopt;
    return std::pair{*vendor, *product};
}

bool UsableInputName(std::string_view name) {
    if (name.empty()) return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || c == '[' || c == ']';
    });
}

std::vector<PointerInput> ListPointerInputs(const MouseIds& mice) {
    std::vector<PointerInput> inputs;
    UdevPtr<udev> context(udev_new());
    if (!context) return inputs;
    UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(context.get()));
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "input") < 0 ||
        udev_enumerate_add_match_property(enumerate.get(), "ID_INPUT_MOUSE", "1") < 0 ||
        udev_enumerate_scan_devices(enumerate.get()) < 0) {
        DbgLog("pointer: udev scan of input devices failed");
        return inputs;
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        UdevPtr<udev_device> device(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        // The inputN device holds the name; its eventN and mouseN nodes repeat it.
        const char* sysname = device ? udev_device_get_sysname(device.get()) : nullptr;
        if (sysname == nullptr || std::string_view(sysname).substr(0, 5) != "input") continue;
        const char* productText = udev_device_get_property_value(device.get(), "PRODUCT");
        const auto ids = ParseInputProduct(productText != nullptr ? productText : "");
        if (!ids || ids->first != mice.vendor ||
            std::find(mice.products.begin(), mice.products.end(), ids->second) ==
                mice.products.end()) {
            continue;
        }
        const char* name = udev_device_get_sysattr_value(device.get(), "name");
        if (name == nullptr || !UsableInputName(name)) {
            DbgLog("pointer: input device %s has no usable name", sysname);
            continue;
        }
        PointerInput input{ids->first, ids->second, name};
        const bool known = std::any_of(inputs.begin(), inputs.end(), [&](const PointerInput& p) {
            return p.vendor == input.vendor && p.product == input.product && p.name == input.name;
        });
        if (!known) inputs.push_back(std::move(input));
    }
    return inputs;
}

}  // namespace vantor
