#include "tools/uhid-bridge/mouse_descriptors.h"

namespace vantor {
namespace {

// Usage page 0xFF02, usage 2: 16 data bytes after report id 8, as one feature report.
constexpr std::uint8_t kCommandDescriptor[] = {
    0x06, 0x02, 0xFF,  // Usage Page (vendor 0xFF02)
    0x09, 0x02,        // Usage (2)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x08,        //   Report ID (8)
    0x09, 0x02,        //   Usage (2)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x10,        //   Report Count (16)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// Usage page 0xFF01, usage 0: 16 data bytes after report id 9, as one input report. The
// receiver's keyboard (report id 1: modifiers, a reserved byte, six keys) and consumer
// control (report id 3: one 16-bit usage) share the interface, as on a receiver of a
// mouse with a keyboard, so that all three come out of one hidraw node.
constexpr std::uint8_t kNotifyDescriptor[] = {
    0x06, 0x01, 0xFF,  // Usage Page (vendor 0xFF01)
    0x09, 0x00,        // Usage (0)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x09,        //   Report ID (9)
    0x09, 0x00,        //   Usage (0)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x10,        //   Report Count (16)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0xC0,              // End Collection
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x06,        // Usage (Keyboard)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x01,        //   Report ID (1)
    0x05, 0x07,        //   Usage Page (Keyboard)
    0x19, 0xE0,        //   Usage Minimum (Left Control)
    0x29, 0xE7,        //   Usage Maximum (Right GUI)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x01,        //   Logical Maximum (1)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x08,        //   Report Count (8)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x01,        //   Input (Constant)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x00,  //   Usage Maximum (255)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x95, 0x06,        //   Report Count (6)
    0x81, 0x00,        //   Input (Data, Array)
    0xC0,              // End Collection
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x03,        //   Report ID (3)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x03,  //   Usage Maximum (0x3FF)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x03,  //   Logical Maximum (0x3FF)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x00,        //   Input (Data, Array)
    0xC0,              // End Collection
};

// The boot protocol mouse: five buttons, X, Y and wheel, without report ids.
constexpr std::uint8_t kBootMouseDescriptor[] = {
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x02,  // Usage (Mouse)
    0xA1, 0x01,  // Collection (Application)
    0x09, 0x01,  //   Usage (Pointer)
    0xA1, 0x00,  //   Collection (Physical)
    0x05, 0x09,  //     Usage Page (Button)
    0x19, 0x01,  //     Usage Minimum (1)
    0x29, 0x05,  //     Usage Maximum (5)
    0x15, 0x00,  //     Logical Minimum (0)
    0x25, 0x01,  //     Logical Maximum (1)
    0x95, 0x05,  //     Report Count (5)
    0x75, 0x01,  //     Report Size (1)
    0x81, 0x02,  //     Input (Data, Variable, Absolute)
    0x95, 0x01,  //     Report Count (1)
    0x75, 0x03,  //     Report Size (3)
    0x81, 0x01,  //     Input (Constant)
    0x05, 0x01,  //     Usage Page (Generic Desktop)
    0x09, 0x30,  //     Usage (X)
    0x09, 0x31,  //     Usage (Y)
    0x09, 0x38,  //     Usage (Wheel)
    0x15, 0x81,  //     Logical Minimum (-127)
    0x25, 0x7F,  //     Logical Maximum (127)
    0x75, 0x08,  //     Report Size (8)
    0x95, 0x03,  //     Report Count (3)
    0x81, 0x06,  //     Input (Data, Variable, Relative)
    0xC0,        //   End Collection
    0xC0,        // End Collection
};

}  // namespace

std::span<const std::uint8_t> ReportDescriptorOf(BridgeInterface which) {
    switch (which) {
        case BridgeInterface::kCommand:
            return kCommandDescriptor;
        case BridgeInterface::kNotify:
            return kNotifyDescriptor;
        case BridgeInterface::kBootMouse:
            break;
    }
    return kBootMouseDescriptor;
}

const char* InterfaceName(BridgeInterface which) {
    switch (which) {
        case BridgeInterface::kCommand:
            return "cmd";
        case BridgeInterface::kNotify:
            return "notify";
        case BridgeInterface::kBootMouse:
            break;
    }
    return "mouse";
}

}  // namespace vantor
