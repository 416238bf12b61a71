// The HID interfaces the bridge shows for one mouse, each as its own uhid device with the
// report descriptor a mouse of this kind has: the vendor-defined command interface
// (feature report id 8), the vendor-defined notification interface (input report id 9),
// which also carries the receiver's keyboard and consumer-control collections, and an
// ordinary boot mouse that a configuration program must leave alone.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vantor {

enum class BridgeInterface { kCommand, kNotify, kBootMouse };
constexpr std::size_t kBridgeInterfaceCount = 3;

constexpr std::array<BridgeInterface, kBridgeInterfaceCount> kBridgeInterfaces = {
    BridgeInterface::kCommand, BridgeInterface::kNotify, BridgeInterface::kBootMouse};

std::span<const std::uint8_t> ReportDescriptorOf(BridgeInterface which);

// Short name for the uhid device name and log lines: "cmd", "notify", "mouse".
const char* InterfaceName(BridgeInterface which);

}  // namespace vantor
