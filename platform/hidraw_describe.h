// Describes a hidraw node from the plain files the kernel shows in sysfs, so that the same
// code runs on the real /sys and on a fake tree in tests. The node itself is opened only
// when sysfs lacks the report descriptor or the ids.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hid.h"

namespace vantor {

struct HidIds {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// Reads the ids out of a HID_ID value "bus:vendor:product" in hex, e.g.
// "0003:000025A7:0000FA7C".
std::optional<HidIds> ParseHidId(std::string_view value);

// The value of `key` in the KEY=value lines of a uevent file.
std::optional<std::string> UeventValue(std::string_view uevent, std::string_view key);

// Vendor and product id from the HID_ID of the hid device above the hidraw device at
// `syspath` (its "device" link).
std::optional<HidIds> ReadHidIds(const std::string& syspath);

// bcdDevice of the USB device above the hidraw device at `syspath`; 0 when there is none
// (Bluetooth, I2C) or it cannot be read.
std::uint16_t ReadHidVersion(const std::string& syspath);

// One entry per top-level collection of the node's report descriptor, all with `devnode`
// as their path; empty when the node cannot be described.
std::vector<HidInterfaceInfo> DescribeHidrawDevice(const std::string& syspath,
                                                   const std::string& devnode);

}  // namespace vantor
