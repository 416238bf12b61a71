// On Linux all collections of the receiver's interface share one hidraw node, so the
// reader of the notification interface also reads keyboard and consumer-control reports.
// The simulated mouse puts such reports on its notification interface, made so that a
// reader taking them for replies or events would report a DPI change, a reset and an
// empty battery.
#include <gtest/gtest.h>

#include <chrono>

#include "device/device_commands.h"
#include "device/service_thread.h"
#include "sim/sim_factory.h"
#include "sim/sim_hid_backend.h"
#include "tests/device/fake_hid.h"
#include "tests/device/sim_link.h"

namespace vantor {
namespace {

TEST(ForeignReports, MakeNeitherRepliesNorEvents) {
    test::LoadShippedConfig();
    test::LogCapture log;
    test::RecordingPoster poster;
    test::SimLink link;
    link.Disconnect();
    link.poster = &poster;
    link.Connect();

    // Before each reply the node gives a keyboard, a consumer and a short id-9 report.
    link.backend.SetFaults({.foreignEveryNth = 1});
    std::uint8_t power = 0;
    std::uint8_t charging = 1;
    ASSERT_EQ(link.driver.GetPower(&power, &charging), 1);
    EXPECT_EQ(power, 100);
    EXPECT_EQ(charging, 0);
    EXPECT_EQ(link.driver.GetCurProfile(), 0);

    // And between replies; the DPI button's event comes after them on the same node.
    link.backend.SendForeignReports();
    link.firmware->PressDpiButton();
    ASSERT_TRUE(poster.WaitForCount(1, std::chrono::seconds(10)));
    const std::vector<test::RecordingPoster::Message> expected = {
        {WM_DEVICE_BEHAVIOR, 2, kBehaviorDpiLevel}};
    EXPECT_EQ(poster.Messages(), expected);
    EXPECT_EQ(log.Count("ServiceThread: ignoring input reports other than id 9 of 17 bytes"), 1)
        << "logged once, not per report";
}

// Discovery's direct exchange reads the node without the reader thread: the identity
// query skips the other collections' reports within its time-out.
TEST(ForeignReports, DoNotSpoilTheIdentityQuery) {
    SimHidBackend backend(MakeSimFirmware(1));
    backend.SetFaults({.foreignEveryNth = 1});
    auto cmd = backend.Open(SimHidBackend::PathOf(0, SimInterface::kCommand), nullptr);
    auto notify = backend.Open(SimHidBackend::PathOf(0, SimInterface::kNotify), nullptr);
    ASSERT_TRUE(cmd && notify);
    std::uint8_t cid = 0;
    std::uint8_t mid = 0;
    EXPECT_EQ(CheckPsd(cmd.get(), notify.get(), &cid, &mid), 1);
    EXPECT_EQ(cid, 0x01);
    EXPECT_EQ(mid, 0x02);
    EXPECT_EQ(TestConnectDirect(cmd.get(), notify.get()), 1);
}

}  // namespace
}  // namespace vantor
