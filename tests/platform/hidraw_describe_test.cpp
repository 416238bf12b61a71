#include "platform/hidraw_describe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

// Feature report 8 on page FF02 usage 2, then input report 9 on page FF01 usage 0,
// 16 data bytes each.
const std::string kVendorDescriptor(
    "\x06\x02\xFF\x09\x02\xA1\x01\x85\x08\x09\x01\x15\x00\x26\xFF\x00\x75\x08\x95\x10\xB1\x02"
    "\xC0\x06\x01\xFF\x09\x00\xA1\x01\x85\x09\x09\x01\x15\x00\x26\xFF\x00\x75\x08\x95\x10\x81"
    "\x02\xC0",
    46);

// A sysfs tree shaped like the kernel's for a USB HID interface:
//   devices/usb1/1-1                       USB device with bcdDevice
//   devices/usb1/1-1/1-1:1.2               USB interface
//   .../1-1:1.2/0003:25A7:FA7C.0005        hid device: uevent, report_descriptor
//   .../0003:25A7:FA7C.0005/hidraw/hidraw3 hidraw device, "device" links to the hid device
class FakeSysfs {
  public:
    FakeSysfs() {
        fs::create_directories(HidDir() + "hidraw/hidraw3");
        fs::create_directory_symlink("../..", HidrawDir() + "device");
    }
    std::string UsbDir() const { return root_ / "devices/usb1/1-1/"; }
    std::string HidDir() const { return UsbDir() + "1-1:1.2/0003:25A7:FA7C.0005/"; }
    std::string HidrawDir() const { return HidDir() + "hidraw/hidraw3/"; }

  private:
    test::TempDir root_;
};

TEST(HidrawDescribeTest, DescribesEachTopLevelCollectionOfTheNode) {
    FakeSysfs sysfs;
    test::WriteText(sysfs.UsbDir() + "bcdDevice", "0103\n");
    test::WriteText(sysfs.HidDir() + "uevent",
                    "DRIVER=hid-generic\nHID_ID=0003:000025A7:0000FA7C\nHID_NAME=Mouse\n");
    test::WriteText(sysfs.HidDir() + "report_descriptor", kVendorDescriptor);

    auto infos = DescribeHidrawDevice(sysfs.HidrawDir(), "/dev/hidraw3");
    ASSERT_EQ(infos.size(), 2u);
    for (const HidInterfaceInfo& info : infos) {
        EXPECT_EQ(info.path, "/dev/hidraw3");
        EXPECT_EQ(info.vendorId, 0x25A7);
        EXPECT_EQ(info.productId, 0xFA7C);
        EXPECT_EQ(info.version, 0x0103);
    }
    EXPECT_EQ(infos[0].usagePage, 0xFF02);
    EXPECT_EQ(infos[0].usage, 2);
    EXPECT_EQ(infos[0].featureReportByteLength, 17);
    EXPECT_EQ(infos[0].reportId, 8);
    EXPECT_EQ(infos[1].usagePage, 0xFF01);
    EXPECT_EQ(infos[1].usage, 0);
    EXPECT_EQ(infos[1].inputReportByteLength, 17);
    EXPECT_EQ(infos[1].reportId, 9);
}

TEST(HidrawDescribeTest, SkipsNodesThatCannotBeDescribed) {
    FakeSysfs sysfs;
    // The node path does not exist either, so there is no fallback to the node.
    const std::string node = sysfs.HidrawDir() + "no-such-node";
    test::WriteText(sysfs.HidDir() + "uevent", "HID_ID=0003:000025A7:0000FA7C\n");
    EXPECT_TRUE(DescribeHidrawDevice(sysfs.HidrawDir(), node).empty()) << "no descriptor";

    test::WriteText(sysfs.HidDir() + "report_descriptor", std::string("\x09\x01\xA1\x01", 4));
    EXPECT_TRUE(DescribeHidrawDevice(sysfs.HidrawDir(), node).empty()) << "malformed";

    test::WriteText(sysfs.HidDir() + "report_descriptor", kVendorDescriptor);
    test::WriteText(sysfs.HidDir() + "uevent", "HID_NAME=Mouse\n");
    EXPECT_TRUE(DescribeHidrawDevice(sysfs.HidrawDir(), node).empty()) << "no ids";

    // Without a USB device above it (Bluetooth, I2C) the version is 0.
    test::WriteText(sysfs.HidDir() + "uevent", "HID_ID=0005:000025A7:0000FA7C\n");
    auto infos = DescribeHidrawDevice(sysfs.HidrawDir(), node);
    ASSERT_EQ(infos.size(), 2u);
    EXPECT_EQ(infos[0].version, 0);
}

TEST(HidrawDescribeTest, ParsesHidIdStrictly) {
    const struct {
        const char* text;
        bool valid;
        std::uint16_t vendor, product;
    } cases[] = {
        {"0003:000025A7:0000FA7C", true, 0x25A7, 0xFA7C},
        {"0005:0000046d:0000b01a", true, 0x046D, 0xB01A},
        {"0003:000125A7:0000FA7C", false, 0, 0},  // vendor above 16 bits
        {"0003:000025A7", false, 0, 0},
        {"0003:000025A7:", false, 0, 0},
        {"0003:0000 5A7:0000FA7C", false, 0, 0},
        {"0003:000025A7:0000FA7C9", false, 0, 0},  // nine digits
        {"", false, 0, 0},
    };
    for (const auto& c : cases) {
        auto ids = ParseHidId(c.text);
        ASSERT_EQ(ids.has_value(), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(ids->vendorId, c.vendor) << c.text;
            EXPECT_EQ(ids->productId, c.product) << c.text;
        }
    }
}

TEST(HidrawDescribeTest, FindsUeventValuesByWholeKey) {
    const std::string uevent = "HID_ID_X=1\nHID_ID=0003:1:2\nLAST=end";
    EXPECT_EQ(UeventValue(uevent, "HID_ID"), "0003:1:2");
    EXPECT_EQ(UeventValue(uevent, "LAST"), "end");
    EXPECT_EQ(UeventValue(uevent, "HID"), std::nullopt);
}

}  // namespace
}  // namespace vantor
