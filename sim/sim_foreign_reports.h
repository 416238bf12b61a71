// Input reports of the receiver's other collections. On Linux every collection of one
// interface shares one hidraw node, so the reader of the notification interface also
// reads the receiver's keyboard and consumer-control reports. These are made so that a
// reader that took them for replies or events would see a DPI change and a reset (the
// keyboard report) and a battery reply (the consumer report).
#pragma once

#include <cstdint>
#include <vector>

namespace vantor {

using SimForeignReport = std::vector<std::uint8_t>;

// Report id 1 of a boot keyboard: modifiers 0x0A (left Shift and left GUI), keys B and A
// held.
SimForeignReport SimKeyboardReport();
// Report id 3 of a consumer control: usage 0x0004 pressed.
SimForeignReport SimConsumerReport();
// Report id 9 but 10 bytes long: not a report of the vendor collection.
SimForeignReport SimShortVendorReport();

// The three in the order a reader gets them.
std::vector<SimForeignReport> SimForeignReports();

}  // namespace vantor
