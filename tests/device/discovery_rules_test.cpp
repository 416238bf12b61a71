#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/config/config.h"
#include "app/config/discovery_config.h"
#include "device/discovery_rules.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

HidInterfaceInfo NotifyInfo() {
    HidInterfaceInfo info;
    info.vendorId = 0x25A7;
    info.usagePage = 0xFF01;
    info.usage = 0;
    info.inputReportByteLength = 17;
    return info;
}

HidInterfaceInfo CommandInfo() {
    HidInterfaceInfo info;
    info.vendorId = 0x25A7;
    info.usagePage = 0xFF02;
    info.usage = 2;
    info.featureReportByteLength = 17;
    return info;
}

TEST(InterfaceFilterTest, OnlyTheVendorChannelInterfacesQualify) {
    struct Case {
        const char* name;
        std::function<void(HidInterfaceInfo&)> change;
        bool notify;
        bool command;
    };
    const std::vector<Case> cases = {
        {"as described", [](HidInterfaceInfo&) {}, true, true},
        {"other vendor", [](HidInterfaceInfo& i) { i.vendorId = 0x25A8; }, false, false},
        {"boot mouse page", [](HidInterfaceInfo& i) { i.usagePage = 1; }, false, false},
        {"other usage", [](HidInterfaceInfo& i) { i.usage = 1; }, false, false},
        {"16-byte reports",
         [](HidInterfaceInfo& i) {
             i.inputReportByteLength = 16;
             i.featureReportByteLength = 16;
         },
         false, false},
    };
    for (const Case& c : cases) {
        HidInterfaceInfo notify = NotifyInfo();
        HidInterfaceInfo command = CommandInfo();
        c.change(notify);
        c.change(command);
        EXPECT_EQ(IsNotifyInterface(notify, 0x25A7), c.notify) << c.name;
        EXPECT_EQ(IsCommandInterface(command, 0x25A7), c.command) << c.name;
    }
    // Each interface serves only its own role.
    EXPECT_FALSE(IsCommandInterface(NotifyInfo(), 0x25A7));
    EXPECT_FALSE(IsNotifyInterface(CommandInfo(), 0x25A7));
}

TEST(InterfaceFilterTest, PathsCompareWithoutCase) {
    EXPECT_TRUE(SamePath("/dev/HIDRAW3", "/dev/hidraw3"));
    EXPECT_FALSE(SamePath("/dev/hidraw3", "/dev/hidraw30"));
    EXPECT_FALSE(SamePath("/dev/hidraw3", ""));
}

class ListBackend : public HidBackend {
  public:
    std::vector<HidInterfaceInfo> list;
    std::vector<HidInterfaceInfo> Enumerate() override { return list; }
    std::shared_ptr<HidHandle> Open(const std::string&, std::uint32_t* error) override {
        *error = kHidFileNotFound;
        return nullptr;
    }
    std::unique_ptr<Monitor> WatchDeviceChanges(
        std::function<void(const HidDeviceChange&)>) override {
        return nullptr;
    }
};

TEST(InterfaceTableTest, KeepsTheFirstFiftyInOrder) {
    ListBackend backend;
    for (int i = 0; i < 60; ++i) {
        HidInterfaceInfo info;
        info.path = "/dev/hidraw" + std::to_string(i);
        backend.list.push_back(info);
    }
    const auto table = BuildInterfaceTable(backend);
    ASSERT_EQ(table.size(), 50u);
    EXPECT_EQ(table.front().path, "/dev/hidraw0");
    EXPECT_EQ(table.back().path, "/dev/hidraw49");
}

TEST(DeviceSectionSearchTest, StopsAtTheFirstSectionWithoutIds) {
    test::TempDir dir;
    test::WriteText(dir / "cfg.ini",
                    "[OPT]\nappdir=Vantor\nVID=0x25A7\nPID=FA70\nPID2=FA7C\n"
                    "[DEV_1]\nSensor=0x3395\nCID=1\nMID=1\nMDNUM=9\nKM=14\nDM=1\nDPI=800\n"
                    "[DEV_2]\nSensor=0x3395\nCID=2\nMID=5\nMDNUM=9\nKM=14\nDM=1\nDPI=800\n"
                    "[DEV_4]\nSensor=0x3395\nCID=3\nMID=3\nMDNUM=9\nKM=14\nDM=1\nDPI=800\n");
    ASSERT_TRUE(DataInit(dir / "cfg.ini"));
    const std::vector<DeviceModelIds> models = DiscoveryConfigFromOptions().models;
    struct Case {
        std::uint8_t cid;
        std::uint8_t mid;
        int section;
    };
    const Case cases[] = {
        {1, 1, 0},  {2, 5, 1}, {3, 3, -1},  // DEV_3 has neither id, so the list ends before DEV_4
        {2, 1, -1},                         // both ids must match the same section
        {0, 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindDeviceSection(models, c.cid, c.mid), c.section)
            << "cid=" << int{c.cid} << " mid=" << int{c.mid};
    }
}

TEST(ConflictRuleTest, FirstListWinsOverSecondList) {
    const std::vector<std::uint32_t> pid = {0xFA70, 0xFA7B};
    const std::vector<std::uint32_t> pid2 = {0xFA7C};
    struct Case {
        std::uint16_t self;
        std::uint16_t other;
        ConflictOutcome outcome;
    };
    const Case cases[] = {
        {0xFA70, 0xFA7C, ConflictOutcome::kShutDownOther},
        {0xFA7B, 0xFA7C, ConflictOutcome::kShutDownOther},
        {0xFA7C, 0xFA70, ConflictOutcome::kGiveUp},
        {0xFA70, 0xFA7B, ConflictOutcome::kGoOn},  // both in the first list
        {0xFA7C, 0xFA7C, ConflictOutcome::kGoOn},  // both in the second list
        {0x1234, 0xFA7C, ConflictOutcome::kGoOn},  // in neither list
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveConflict(c.self, c.other, pid, pid2), c.outcome)
            << std::hex << c.self << " vs " << c.other;
    }
}

}  // namespace
}  // namespace vantor
