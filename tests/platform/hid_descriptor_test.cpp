#include "platform/hid_descriptor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Boot-protocol mouse: 3 buttons, 5 bits padding, X and Y of 8 bits; no report ids.
const Bytes kBootMouse = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00,
                          0x05, 0x09, 0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01,
                          0x95, 0x03, 0x75, 0x01, 0x81, 0x02, 0x95, 0x01, 0x75, 0x05,
                          0x81, 0x01, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15, 0x81,
                          0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0xC0, 0xC0};

// Boot-protocol keyboard: 8 modifier bits, a reserved byte, 6 key codes in; 5 LEDs and
// 3 bits padding out.
const Bytes kKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};

// Vendor-defined command and notification collections of one interface: feature report
// 8 and input report 9, 16 data bytes each.
const Bytes kVendor = {
    0x06, 0x02, 0xFF, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x08, 0x09, 0x01, 0x15,
    0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x10, 0xB1, 0x02, 0xC0,  // FF02/2, feature 8
    0x06, 0x01, 0xFF, 0x09, 0x00, 0xA1, 0x01, 0x85, 0x09, 0x09, 0x01, 0x15,
    0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x10, 0x81, 0x02, 0xC0};  // FF01/0, input 9

TEST(HidDescriptorTest, DescribesRealDescriptors) {
    auto mouse = ParseHidReportDescriptor(kBootMouse);
    ASSERT_TRUE(mouse);
    ASSERT_EQ(mouse->size(), 1u);
    EXPECT_EQ((*mouse)[0].usagePage, 0x01);
    EXPECT_EQ((*mouse)[0].usage, 0x02);
    EXPECT_EQ((*mouse)[0].inputReportByteLength, 4);  // 3 data bytes + the id byte
    EXPECT_EQ((*mouse)[0].outputReportByteLength, 0);
    EXPECT_EQ((*mouse)[0].featureReportByteLength, 0);
    EXPECT_EQ((*mouse)[0].reportId, 0);

    auto keyboard = ParseHidReportDescriptor(kKeyboard);
    ASSERT_TRUE(keyboard);
    ASSERT_EQ(keyboard->size(), 1u);
    EXPECT_EQ((*keyboard)[0].usage, 0x06);
    EXPECT_EQ((*keyboard)[0].inputReportByteLength, 9);
    EXPECT_EQ((*keyboard)[0].outputReportByteLength, 2);

    auto vendor = ParseHidReportDescriptor(kVendor);
    ASSERT_TRUE(vendor);
    ASSERT_EQ(vendor->size(), 2u);
    const HidTopLevelCollection& command = (*vendor)[0];
    EXPECT_EQ(command.usagePage, 0xFF02);
    EXPECT_EQ(command.usage, 2);
    EXPECT_EQ(command.featureReportByteLength, 17);
    EXPECT_EQ(command.inputReportByteLength, 0);
    EXPECT_EQ(command.reportId, 8);
    const HidTopLevelCollection& notify = (*vendor)[1];
    EXPECT_EQ(notify.usagePage, 0xFF01);
    EXPECT_EQ(notify.usage, 0);
    EXPECT_EQ(notify.inputReportByteLength, 17);
    EXPECT_EQ(notify.featureReportByteLength, 0);
    EXPECT_EQ(notify.reportId, 9);
}

TEST(HidDescriptorTest, KeepsGlobalStateAcrossPushPopAndTakesLongestReportPerId) {
    const Bytes descriptor = {
        0x0B, 0x01, 0x00, 0x00, 0xFF,                    // usage 1 of page FF00 in one 4-byte item
        0xA1, 0x01,                                      //
        0x85, 0x03, 0x75, 0x08, 0x95, 0x04, 0x81, 0x02,  // input 3: 4 bytes
        0xA4,                                            // push
        0x85, 0x05, 0x95, 0x02, 0x81, 0x02,              // input 5: 2 bytes
        0xFE, 0x02, 0x10, 0xAA, 0xBB,                    // a long item, skipped
        0xB4,                                            // pop: id 3, count 4 again
        0x81, 0x02,                                      // input 3: 8 bytes in all
        0x75, 0x01, 0x95, 0x03, 0xB1, 0x02,              // feature 3: 3 bits
        0xC0};
    auto parsed = ParseHidReportDescriptor(descriptor);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->size(), 1u);
    EXPECT_EQ((*parsed)[0].usagePage, 0xFF00);
    EXPECT_EQ((*parsed)[0].usage, 1);
    EXPECT_EQ((*parsed)[0].inputReportByteLength, 9);
    EXPECT_EQ((*parsed)[0].featureReportByteLength, 2);
    EXPECT_EQ((*parsed)[0].reportId, 3);
}

TEST(HidDescriptorTest, HugeFieldsSaturateInsteadOfWrapping) {
    // Report size and count of 0xFFFFFFFF multiply past 64 bits when added twice.
    const Bytes descriptor = {0x09, 0x01, 0xA1, 0x01, 0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97,
                              0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02, 0x81, 0x02, 0xC0};
    auto parsed = ParseHidReportDescriptor(descriptor);
    ASSERT_TRUE(parsed);
    EXPECT_EQ((*parsed)[0].inputReportByteLength, 0xFFFF);
}

TEST(HidDescriptorTest, RejectsMalformedDescriptors) {
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"item data past the end", {0x09, 0x01, 0xA1, 0x01, 0x26, 0xFF}},
        {"long item past the end", {0xFE, 0x05, 0x10, 0x00}},
        {"long item header cut", {0xFE, 0x05}},
        {"report id 0", {0x09, 0x01, 0xA1, 0x01, 0x85, 0x00, 0xC0}},
        {"report id above 255", {0x09, 0x01, 0xA1, 0x01, 0x86, 0x00, 0x01, 0xC0}},
        {"pop without push", {0xB4}},
        {"end collection without collection", {0xC0}},
        {"collection left open", {0x09, 0x01, 0xA1, 0x01}},
        {"nesting too deep", Bytes(1000, 0xA1)},
        {"push without end", Bytes(1000, 0xA4)},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ParseHidReportDescriptor(c.bytes)) << c.what;
    }
    EXPECT_TRUE(ParseHidReportDescriptor(Bytes{}));  // no collections, but well-formed
}

// Where each short item of `bytes` ends: a header byte and 0, 1, 2 or 4 data bytes.
std::vector<std::size_t> ItemEnds(const Bytes& bytes) {
    std::vector<std::size_t> ends;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t size = (bytes[at] & 3) == 3 ? 4 : bytes[at] & 3;
        at += 1 + size;
        ends.push_back(at);
    }
    return ends;
}

// A descriptor cut inside an item is refused, the whole one parses, and every single-byte
// change either parses or is refused; under AddressSanitizer this also shows that nothing
// is read past the end.
TEST(HidDescriptorTest, CutAndCorruptedDescriptorsNeverReadOutOfBounds) {
    for (const Bytes* source : {&kBootMouse, &kKeyboard, &kVendor}) {
        const std::vector<std::size_t> ends = ItemEnds(*source);
        ASSERT_EQ(ends.back(), source->size());
        for (std::size_t length = 0; length <= source->size(); ++length) {
            Bytes cut(source->begin(), source->begin() + static_cast<std::ptrdiff_t>(length));
            const bool onItemEnd =
                length == 0 || std::find(ends.begin(), ends.end(), length) != ends.end();
            const auto parsed = ParseHidReportDescriptor(cut);
            if (!onItemEnd) {
                EXPECT_FALSE(parsed) << "cut inside an item at " << length;
            }
            if (length == source->size()) {
                EXPECT_TRUE(parsed);
            }
        }
        for (std::size_t at = 0; at < source->size(); ++at) {
            for (std::uint8_t value : Bytes{0x00, 0x03, 0x7F, 0xA1, 0xC0, 0xFE, 0xFF}) {
                Bytes changed = *source;
                changed[at] = value;
                (void)ParseHidReportDescriptor(changed);
            }
        }
    }
}

}  // namespace
}  // namespace vantor
