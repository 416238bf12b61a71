#include "sim/sim_hid_backend.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <utility>

#include "tests/sim/sim_test_support.h"

namespace vantor {
namespace {

using test::SimpleCommand;

class SimHidBackendTest : public ::testing::Test {
  protected:
    explicit SimHidBackendTest(bool cableAndReceiver = false)
        : backend(std::make_shared<SimFirmware>(test::SmallFactoryImage(), 1, 2),
                  SimBackendSettings{.cableAndReceiver = cableAndReceiver}) {}

    std::shared_ptr<HidHandle> OpenOrFail(int connection, SimInterface which) {
        std::uint32_t error = 0;
        auto handle = backend.Open(SimHidBackend::PathOf(connection, which), &error);
        EXPECT_NE(handle, nullptr) << "error " << error;
        return handle;
    }
    void SetUp() override {
        cmd = OpenOrFail(0, SimInterface::kCommand);
        notify = OpenOrFail(0, SimInterface::kNotify);
    }

    bool Send(std::uint8_t command, std::uint32_t* error = nullptr) {
        const CommandReport report = SimpleCommand(command);
        return cmd->SetFeature(report.data(), report.size(), error);
    }
    // The next report within `timeoutMs`, or nothing.
    std::optional<SimInputReport> Next(int timeoutMs = 0, HidHandle* from = nullptr) {
        SimInputReport r{};
        std::uint32_t error = 0;
        if ((from ? from : notify.get())->Read(r.data(), r.size(), timeoutMs, &error) !=
            HidReadResult::kOk) {
            return std::nullopt;
        }
        return r;
    }
    // Command ids of the replies readable now.
    std::vector<int> Drain() {
        std::vector<int> ids;
        while (auto r = Next()) ids.push_back((*r)[kSimReplyCommand]);
        return ids;
    }

    SimHidBackend backend;
    std::shared_ptr<HidHandle> cmd;
    std::shared_ptr<HidHandle> notify;
};

TEST_F(SimHidBackendTest, EnumeratesTheTwoVendorInterfacesBesideTheDecoys) {
    const auto list = backend.Enumerate();
    ASSERT_EQ(list.size(), 4u);
    int commandInterfaces = 0;
    int notifyInterfaces = 0;
    for (const HidInterfaceInfo& info : list) {
        EXPECT_EQ(info.vendorId, 0x25A7);
        EXPECT_EQ(info.productId, 0xFA70);
        if (info.usagePage == 0xFF02 && info.usage == 2 && info.featureReportByteLength == 17) {
            ++commandInterfaces;
            EXPECT_EQ(info.path, "sim:0/cmd");
            EXPECT_EQ(info.reportId, 8);
        } else if (info.usagePage == 0xFF01 && info.usage == 0 &&
                   info.inputReportByteLength == 17) {
            ++notifyInterfaces;
            EXPECT_EQ(info.path, "sim:0/notify");
            EXPECT_EQ(info.reportId, 9);
        } else {
            EXPECT_EQ(info.usagePage, 1);
            EXPECT_TRUE(info.usage == 2 || info.usage == 6) << info.usage;
        }
    }
    EXPECT_EQ(commandInterfaces, 1);
    EXPECT_EQ(notifyInterfaces, 1);

    std::uint32_t error = 0;
    EXPECT_EQ(backend.Open("sim:7/cmd", &error), nullptr);
    EXPECT_EQ(error, kHidFileNotFound);
}

TEST_F(SimHidBackendTest, ACommandIsAnsweredOnTheNotificationInterfaceOnly) {
    HidAttributes attributes;
    ASSERT_TRUE(cmd->GetAttributes(&attributes, nullptr));
    EXPECT_EQ(attributes.productId, 0xFA70);
    EXPECT_EQ(attributes.versionNumber, 0x0100);

    ASSERT_TRUE(Send(kCmdGetPower));
    const auto reply = Next();
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ((*reply)[0], kReplyReportId);
    EXPECT_EQ((*reply)[kSimReplyCommand], kCmdGetPower);
    EXPECT_EQ((*reply)[kSimReplyData], 100);
    EXPECT_FALSE(Next().has_value()) << "one reply per command";

    // Feature reports go to the command interface and are 17 bytes long.
    const CommandReport report = SimpleCommand(kCmdGetPower);
    std::uint32_t error = 0;
    EXPECT_FALSE(notify->SetFeature(report.data(), report.size(), &error));
    EXPECT_EQ(error, kHidGenericFailure);
    EXPECT_FALSE(cmd->SetFeature(report.data(), 16, &error));
    auto mouse = OpenOrFail(0, SimInterface::kMouse);
    EXPECT_FALSE(mouse->SetFeature(report.data(), report.size(), &error));
    EXPECT_EQ(backend.CommandCount(), 1u);
}

TEST_F(SimHidBackendTest, ReadTimesOutStopsOnceAndFailsAfterClose) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Next(30).has_value());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));

    SimInputReport r{};
    std::uint32_t error = 0;
    notify->SignalStop();
    ASSERT_TRUE(Send(kCmdGetPower));
    EXPECT_EQ(notify->Read(r.data(), r.size(), 0, &error), HidReadResult::kStopped)
        << "a stop wins over a waiting report";
    EXPECT_EQ(notify->Read(r.data(), r.size(), 0, &error), HidReadResult::kOk)
        << "the stop is used up";

    notify->Close();
    EXPECT_FALSE(notify->IsOpen());
    EXPECT_EQ(notify->Read(r.data(), r.size(), 0, &error), HidReadResult::kError);
    EXPECT_EQ(error, kHidInvalidHandle);
    cmd->Close();
    EXPECT_FALSE(Send(kCmdGetPower, &error));
    EXPECT_EQ(error, kHidInvalidHandle);
}

TEST_F(SimHidBackendTest, UnplugFailsHandlesWith1167AndIsReported) {
    std::vector<HidDeviceChange> changes;
    auto monitor = backend.WatchDeviceChanges(
        [&changes](const HidDeviceChange& change) { changes.push_back(change); });

    backend.Unplug();
    std::uint32_t error = 0;
    EXPECT_FALSE(Send(kCmdGetPower, &error));
    EXPECT_EQ(error, kHidDeviceNotConnected);
    SimInputReport r{};
    EXPECT_EQ(notify->Read(r.data(), r.size(), -1, &error), HidReadResult::kError);
    EXPECT_EQ(error, kHidDeviceNotConnected);
    EXPECT_FALSE(cmd->GetAttributes(nullptr, &error));
    EXPECT_EQ(error, kHidDeviceNotConnected);
    EXPECT_TRUE(backend.Enumerate().empty());
    EXPECT_EQ(backend.Open("sim:0/cmd", &error), nullptr);

    backend.Plug();
    EXPECT_EQ(backend.Enumerate().size(), 4u);
    EXPECT_FALSE(Send(kCmdGetPower, &error)) << "handles of before the unplug stay dead";
    cmd = OpenOrFail(0, SimInterface::kCommand);
    notify = OpenOrFail(0, SimInterface::kNotify);
    EXPECT_TRUE(Send(kCmdGetPower));
    EXPECT_TRUE(Next().has_value());

    ASSERT_EQ(changes.size(), 8u);
    EXPECT_FALSE(changes[0].arrived);
    EXPECT_TRUE(changes[4].arrived);
    EXPECT_EQ(changes[4].vendorId, 0x25A7);
    monitor.reset();
    backend.Unplug();
    EXPECT_EQ(changes.size(), 8u) << "nothing after the monitor ended";
}

TEST_F(SimHidBackendTest, EventsOfTheMouseReachEveryOpenNotificationHandle) {
    auto second = OpenOrFail(0, SimInterface::kNotify);
    backend.Firmware().PressDpiButton();
    for (HidHandle* h : {notify.get(), second.get()}) {
        const auto event = Next(0, h);
        ASSERT_TRUE(event.has_value());
        EXPECT_EQ((*event)[kSimReplyCommand], kCmdDeviceEvent);
        EXPECT_EQ((*event)[kSimEventBits], kSimEventDpiLevel);
        EXPECT_EQ((*event)[kSimEventDpiValue], 2);
    }
    // A reset command is answered first, then reported as an event.
    ASSERT_TRUE(Send(kCmdResetDevice));
    EXPECT_EQ(Drain(), (std::vector<int>{kCmdResetDevice, kCmdDeviceEvent}));
}

TEST_F(SimHidBackendTest, InjectedFaultsHitTheCountedCommands) {
    struct Case {
        const char* name;
        SimFaults faults;
        std::vector<std::vector<int>> repliesPerCommand;  // ids readable after each command
    };
    const int power = kCmdGetPower;
    const int stray = kCmdReadEEPROM;
    const Case cases[] = {
        {"drop every 2nd", {.dropEveryNth = 2}, {{power}, {}, {power}, {}}},
        {"stray every 3rd", {.strayEveryNth = 3}, {{power}, {power}, {stray, power}, {power}}},
        {"unplug after 2", {.unplugAfterCommands = 2}, {{power}, {power}, {}, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        backend.Plug();
        SetUp();
        backend.SetFaults(c.faults);
        for (std::size_t i = 0; i < c.repliesPerCommand.size(); ++i) {
            Send(kCmdGetPower);
            EXPECT_EQ(Drain(), c.repliesPerCommand[i]) << "command " << i + 1;
        }
    }
    EXPECT_FALSE(backend.IsPlugged());
}

TEST_F(SimHidBackendTest, InjectedErrorStatusLeavesTheMemoryAlone) {
    backend.SetFaults({.errorEveryNth = 1});
    CommandPayload payload =
        MakeMemoryPayload(kCmdWriteEEPROM, 0x00A9, test::Sealed({30}).data(), 2);
    const CommandReport write = BuildCommandReport(payload);
    ASSERT_TRUE(cmd->SetFeature(write.data(), write.size(), nullptr));
    const auto reply = Next();
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ((*reply)[kSimReplyStatus], kSimInjectedError);
    EXPECT_EQ(backend.Firmware().Memory(0)[0x00A9], 12);
}

TEST_F(SimHidBackendTest, RandomDropsRepeatWithTheSameSeed) {
    const auto run = [this] {
        backend.SetFaults({.dropProbability = 0.5, .dropSeed = 7});
        std::vector<bool> answered;
        for (int i = 0; i < 40; ++i) {
            Send(kCmdGetPower);
            answered.push_back(Next().has_value());
        }
        return answered;
    };
    const auto first = run();
    EXPECT_EQ(run(), first);
    const auto lost = std::count(first.begin(), first.end(), false);
    EXPECT_GT(lost, 5);
    EXPECT_LT(lost, 35);
}

TEST_F(SimHidBackendTest, LatencyDelaysTheReplyButNotTheWrite) {
    // A write returns before a reply an hour away, which is not readable yet.
    backend.SetFaults({.replyLatencyMs = 3600 * 1000});
    ASSERT_TRUE(Send(kCmdGetPower));
    EXPECT_FALSE(Next(0).has_value());

    // A reply is never readable before its latency has passed. (A fresh handle: the
    // reply an hour away stays first in line on the old one.)
    notify = OpenOrFail(0, SimInterface::kNotify);
    backend.SetFaults({.replyLatencyMs = 80});
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Send(kCmdGetPower));
    EXPECT_TRUE(Next(10000).has_value());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(80));
}

// The receiver's other collections share the notification node: their reports come in
// with their own ids and lengths, beside the replies.
TEST_F(SimHidBackendTest, ForeignReportsArriveWithTheirOwnIdsAndLengths) {
    backend.SetFaults({.foreignEveryNth = 2});
    const auto read = [this] {
        std::array<std::uint8_t, 32> buffer{};
        std::size_t received = 0;
        std::uint32_t error = 0;
        if (notify->Read(buffer.data(), buffer.size(), 0, &error, &received) !=
            HidReadResult::kOk) {
            return std::pair<int, std::size_t>{-1, 0};
        }
        return std::pair<int, std::size_t>{buffer[0], received};
    };
    using Got = std::vector<std::pair<int, std::size_t>>;
    const auto drain = [&] {
        Got got;
        for (auto r = read(); r.first >= 0; r = read()) got.push_back(r);
        return got;
    };
    ASSERT_TRUE(Send(kCmdGetPower));
    EXPECT_EQ(drain(), (Got{{9, 17}}));
    ASSERT_TRUE(Send(kCmdGetPower));
    EXPECT_EQ(drain(), (Got{{1, 9}, {3, 3}, {9, 10}, {9, 17}}));
    backend.SendForeignReports();
    EXPECT_EQ(drain(), (Got{{1, 9}, {3, 3}, {9, 10}}));
}

class SimCableAndReceiverTest : public SimHidBackendTest {
  protected:
    SimCableAndReceiverTest() : SimHidBackendTest(true) {}
};

TEST_F(SimCableAndReceiverTest, TheSameMouseShowsOnBothProductIds) {
    const auto list = backend.Enumerate();
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list[4].productId, 0xFA7C);
    auto receiverCmd = OpenOrFail(1, SimInterface::kCommand);
    auto receiverNotify = OpenOrFail(1, SimInterface::kNotify);

    // A command is answered on its own connection; both reach the same memory.
    CommandPayload payload =
        MakeMemoryPayload(kCmdWriteEEPROM, 0x00A9, test::Sealed({30}).data(), 2);
    const CommandReport write = BuildCommandReport(payload);
    ASSERT_TRUE(receiverCmd->SetFeature(write.data(), write.size(), nullptr));
    EXPECT_TRUE(Next(0, receiverNotify.get()).has_value());
    EXPECT_FALSE(Next().has_value());
    EXPECT_EQ(backend.Firmware().Memory(0)[0x00A9], 30);

    backend.Unplug(0);
    EXPECT_EQ(backend.Enumerate().size(), 4u);
    EXPECT_TRUE(receiverCmd->SetFeature(write.data(), write.size(), nullptr));
}

}  // namespace
}  // namespace vantor
