// Reads that block on one thread while another thread stops, closes, unplugs or sends;
// and the device link's queued exchange running against the simulated mouse.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "device/reply_queue.h"
#include "device/service_thread.h"
#include "device/usb_driver.h"
#include "sim/sim_hid_backend.h"
#include "tests/sim/sim_test_support.h"

namespace vantor {
namespace {

struct BlockedRead {
    HidReadResult result = HidReadResult::kOk;
    std::uint32_t error = 0;
    SimInputReport report{};
};

class SimBackendThreadedTest : public ::testing::Test {
  protected:
    SimBackendThreadedTest()
        : backend(std::make_shared<SimFirmware>(test::SmallFactoryImage(), 1, 2)),
          cmd(backend.Open(SimHidBackend::PathOf(0, SimInterface::kCommand), nullptr)),
          notify(backend.Open(SimHidBackend::PathOf(0, SimInterface::kNotify), nullptr)) {}

    // Starts a read without time limit and gives it time to block.
    std::future<BlockedRead> StartRead() {
        auto future = std::async(std::launch::async, [this] {
            BlockedRead r;
            r.result = notify->Read(r.report.data(), r.report.size(), -1, &r.error);
            return r;
        });
        EXPECT_EQ(future.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
        return future;
    }

    SimHidBackend backend;
    std::shared_ptr<HidHandle> cmd;
    std::shared_ptr<HidHandle> notify;
};

TEST_F(SimBackendThreadedTest, ABlockedReadEndsOnStopCloseUnplugOrAReport) {
    auto stopped = StartRead();
    notify->SignalStop();
    EXPECT_EQ(stopped.get().result, HidReadResult::kStopped);

    auto event = StartRead();
    std::thread([this] { backend.Firmware().PressDpiButton(); }).join();
    const BlockedRead r = event.get();
    EXPECT_EQ(r.result, HidReadResult::kOk);
    EXPECT_EQ(r.report[kSimReplyCommand], kCmdDeviceEvent);

    auto unplugged = StartRead();
    backend.Unplug();
    const BlockedRead u = unplugged.get();
    EXPECT_EQ(u.result, HidReadResult::kError);
    EXPECT_EQ(u.error, kHidDeviceNotConnected);

    backend.Plug();
    notify = backend.Open(SimHidBackend::PathOf(0, SimInterface::kNotify), nullptr);
    auto closed = StartRead();
    notify->Close();
    const BlockedRead c = closed.get();
    EXPECT_EQ(c.result, HidReadResult::kError);
    EXPECT_EQ(c.error, kHidInvalidHandle);
}

// The device link's driver and reader thread against the mouse.
class SimDeviceLinkTest : public SimBackendThreadedTest {
  protected:
    void SetUp() override {
        driver.SetHandles(cmd, notify);
        reader.Start();
    }
    void TearDown() override {
        reader.RequestStop();
        reader.Join();
    }

    ReplyQueue queue;
    CUSBDriver driver{3, queue};
    ServiceThread reader{notify, ServiceThreadIds{0xFA70, 1, 2}, queue, nullptr};
};

TEST_F(SimDeviceLinkTest, ChunkedWritesReachTheMemoryAndReadBack) {
    std::vector<std::uint8_t> colours;
    for (std::uint8_t i = 0; i < 8; ++i) {
        const auto entry = test::Sealed({i, static_cast<std::uint8_t>(2 * i), 7});
        colours.insert(colours.end(), entry.begin(), entry.end());
    }
    ASSERT_EQ(driver.WriteEEPROM(8, colours.size(), 0x002C, colours.data()), 1);
    std::vector<std::uint8_t> back(colours.size());
    ASSERT_EQ(driver.ReadROM(0x002C, back.size(), back.data()), 1);
    EXPECT_EQ(back, colours);

    ASSERT_EQ(driver.SetCurProfile(3), 1);
    EXPECT_EQ(driver.GetCurProfile(), 3);
}

TEST_F(SimDeviceLinkTest, LostRepliesAreRetriedAndAnUnplugMidWriteFailsIt) {
    backend.SetFaults({.dropEveryNth = 2});
    std::uint8_t power = 0;
    std::uint8_t charging = 1;
    ASSERT_EQ(driver.GetPower(&power, &charging), 1);  // command 1 answered
    std::uint8_t pair[2] = {};
    EXPECT_EQ(driver.ReadEEPROM(0x0002, pair, 2), 1);  // command 2 lost, 3 answered
    EXPECT_EQ(pair[0], 3);

    // Three 10-byte chunks; the mouse goes away after the second.
    backend.SetFaults({.unplugAfterCommands = 2});
    const std::vector<std::uint8_t> data(30, 0);
    EXPECT_EQ(driver.WriteEEPROM(0, data.size(), 0x00B9, data.data()), 0);
}

}  // namespace
}  // namespace vantor
