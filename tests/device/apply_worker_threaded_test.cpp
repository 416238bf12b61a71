#include "app/config/codec_context_config.h"
#include "device/apply_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

#include "base/texts.h"
#include "profile/memory_map.h"
#include "profile/set_flags.h"
#include "tests/device/fake_hid.h"
#include "tests/device/sim_link.h"

namespace vantor {
namespace {

using test::CountingSleeper;
using test::LogCapture;
using test::RecordingPoster;
using test::SimLink;

// Records what the worker reports, as the progress window would show it.
class RecordingProgress : public ProgressSink {
  public:
    bool IsOpen() const override { return closes == 0 && open; }
    void SetPosition(int position) override {
        std::lock_guard<std::mutex> lock(mutex_);
        positions_.push_back(position);
    }
    void Close() override { ++closes; }
    std::vector<int> Positions() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return positions_;
    }
    std::atomic<int> closes{0};
    std::atomic<bool> open{true};  // false: the user has closed the window

  private:
    mutable std::mutex mutex_;
    std::vector<int> positions_;
};

class ApplyWorkerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::LoadShippedConfig();
        LoadTexts(std::string(VANTOR_SOURCE_DATA_DIR) + "text.xml");
        ProfileTransferSettings read;
        read.context = CurrentCodecContext();
        read.sleeper = &pauses;
        int level = 0;
        MacroNameTable names{};
        ASSERT_EQ(GetProfile(&link.driver, {}, read, {&record, &level, &names},
                             {[](std::string_view, std::string_view) {}, {}}),
                  1);
        record.dwProfileID = 0x77;
    }

    ApplyWorkerSetup WorkerSetup() {
        ApplyWorkerSetup s;
        s.driver = &link.driver;
        s.messages = &messages;
        s.currentRecord = [this](ProfileFile& out) {
            std::lock_guard<std::mutex> lock(recordLock);
            out = record;
            return true;
        };
        s.curDpiLevel = [] { return 0; };
        s.transferSettings = [this] {
            ProfileTransferSettings t;
            t.context = CurrentCodecContext();
            t.sleeper = &pauses;
            t.goWithNoDev = goWithNoDev;
            return t;
        };
        s.sleeper = &workerPauses;
        s.deviceMutex = &deviceLock;
        return s;
    }

    void Edit(const std::function<void(ProfileFile&)>& change) {
        std::lock_guard<std::mutex> lock(recordLock);
        change(record);
    }

    SimLink link;
    ProfileFile record{};
    std::mutex recordLock;
    std::mutex deviceLock;  // held by a test to keep the worker from writing
    RecordingMessageSink messages;
    std::shared_ptr<RecordingProgress> progress = std::make_shared<RecordingProgress>();
    CountingSleeper pauses;
    CountingSleeper workerPauses;
    bool goWithNoDev = false;
};

TEST_F(ApplyWorkerTest, EveryRequestOfABurstReachesTheDevice) {
    ApplyWorker worker;
    ASSERT_TRUE(worker.StartApplyThread(WorkerSetup()));
    // The window thread edits and asks far faster than the device takes the writes.
    const int levels = CurrentCodecContext().dpiLevelCount;
    Edit([levels](ProfileFile& r) { r.nDpiLevels = levels; });
    worker.RequestApply(SET_DPI_NUM, 0);
    for (int i = 0; i < levels; ++i) {
        Edit([i](ProfileFile& r) {
            r.Dpi[i].dwDpi = static_cast<std::uint32_t>(1000 + 200 * i);
            r.Dpi[i].dwDpiY = r.Dpi[i].dwDpi;
        });
        worker.RequestApply(SET_DPI, i);
        Edit([i](ProfileFile& r) { r.Dpi[i].dwColor = 0x010101u * static_cast<unsigned>(i + 1); });
        worker.RequestApply(SET_DPI_COLOR, i);
    }
    Edit([](ProfileFile& r) { r.nDebounce = 6; });
    worker.RequestApply(SET_DEBOUNCE, 0);
    ASSERT_TRUE(worker.WaitIdle(30000));
    worker.Stop();

    ProfileTransferSettings read;
    read.context = CurrentCodecContext();
    read.sleeper = &pauses;
    ProfileFile back{};
    int level = 0;
    MacroNameTable names{};
    ASSERT_EQ(GetProfile(&link.driver, {}, read, {&back, &level, &names},
                         {[](std::string_view, std::string_view) {}, {}}),
              1);
    for (int i = 0; i < levels; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back.Dpi[i].dwDpi, static_cast<std::uint32_t>(1000 + 200 * i));
        EXPECT_EQ(back.Dpi[i].dwColor, 0x010101u * static_cast<unsigned>(i + 1));
    }
    EXPECT_EQ(back.nDebounce, 6);
    EXPECT_TRUE(messages.messages.empty());
}

// The progress window comes with the request: nothing is searched and nothing waited for.
TEST_F(ApplyWorkerTest, TheRequestsProgressSinkIsFedAndClosed) {
    LogCapture log;
    ApplyWorker worker;
    ASSERT_TRUE(worker.StartApplyThread(WorkerSetup()));
    worker.RequestApplyWithProgress(SET_DEBOUNCE, progress);
    ASSERT_TRUE(worker.WaitIdle(10000));
    worker.Stop();

    EXPECT_EQ(progress->Positions(), (std::vector<int>{20, 60, 70, 80, 90, 100}));
    EXPECT_EQ(progress->closes, 1);
    EXPECT_TRUE(workerPauses.Sleeps().empty());
    EXPECT_TRUE(log.Has("Start apply thread"));
    EXPECT_TRUE(log.Has("Start Apply: hDevice=0x"));
    EXPECT_TRUE(log.Has("Apply Over"));
    EXPECT_EQ(log.Count("thread exit"), 1);
}

// Without a progress window (none could be opened, or the user closed it) the request still
// writes everything, without the progress pauses.
TEST_F(ApplyWorkerTest, AProgressRequestWithoutAnOpenWindowStillApplies) {
    ApplyWorker worker;
    ASSERT_TRUE(worker.StartApplyThread(WorkerSetup()));
    progress->open = false;
    for (const std::shared_ptr<ProgressSink>& sink :
         {std::shared_ptr<ProgressSink>(), std::shared_ptr<ProgressSink>(progress)}) {
        const int debounce = sink ? 6 : 5;
        Edit([debounce](ProfileFile& r) { r.nDebounce = debounce; });
        worker.RequestApplyWithProgress(SET_DEBOUNCE, sink);
        ASSERT_TRUE(worker.WaitIdle(10000));
        EXPECT_EQ(link.firmware->Memory(0)[0x00A9], debounce);
    }
    EXPECT_TRUE(progress->Positions().empty());
    EXPECT_EQ(progress->closes, 1);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ApplyWorkerTest, NoDeviceAndWriterFailureAreReportedAndTheWorkerGoesOn) {
    ApplyWorker worker;
    ASSERT_TRUE(worker.StartApplyThread(WorkerSetup()));

    SimFaults faults;
    faults.unplugAfterCommands = 1;
    link.backend.SetFaults(faults);
    worker.RequestApply(SET_DPI, 255);  // more than one command
    ASSERT_TRUE(worker.WaitIdle(10000));

    link.Disconnect();
    worker.RequestApplyWithProgress(SET_RESET, progress);
    ASSERT_TRUE(worker.WaitIdle(10000));
    worker.Stop();

    const std::vector<std::pair<std::string, std::string>> expected = {
        {Text("tc_partly_written"), "Error"}, {Text("tc_msg15"), "Error"}};
    EXPECT_EQ(messages.messages, expected);
    EXPECT_FALSE(Text("tc_msg15").empty());
    // The progress window is closed, with nothing written.
    EXPECT_EQ(progress->closes, 1);
    EXPECT_TRUE(progress->Positions().empty());
}

// A write the mouse stopped answering in the middle may have left part of the change in the
// mouse: the message says so, and the next write once the mouse answers again brings the
// whole profile in, so that mouse and record agree.
TEST_F(ApplyWorkerTest, AWriteCutOffInTheMiddleIsToldAndTheWholeProfileWrittenNext) {
    ApplyWorker worker;
    ASSERT_TRUE(worker.StartApplyThread(WorkerSetup()));
    const std::uint8_t debounce = link.firmware->Memory(0)[memory_map::kDebounce];
    Edit([&](ProfileFile& r) { r.nDebounce = debounce + 2; });
    SimFaults faults;
    faults.unplugAfterCommands = 2;
    link.backend.SetFaults(faults);
    worker.RequestApply(SET_DPI, 255);
    ASSERT_TRUE(worker.WaitIdle(10000));
    EXPECT_EQ(
        messages.messages,
        (std::vector<std::pair<std::string, std::string>>{{Text("tc_partly_written"), "Error"}}));
    EXPECT_TRUE(worker.MouseOutOfStep());

    link.Disconnect();  // the mouse is back
    link.backend.SetFaults({});
    link.backend.Plug();
    link.Connect();
    worker.RequestApply(SET_RATE, 255);
    ASSERT_TRUE(worker.WaitIdle(30000));
    worker.Stop();
    EXPECT_FALSE(worker.MouseOutOfStep());
    EXPECT_EQ(link.firmware->Memory(0)[memory_map::kDebounce], debounce + 2);
    EXPECT_EQ(messages.messages.size(), 1u);
}

// A restore sent to a mouse that has stopped answering ends with the failure message and
// closes its progress window, which would otherwise wait for good.
TEST_F(ApplyWorkerTest, ResetOfAMouseThatDoesNotAnswerFailsAndClosesTheProgressWindow) {
    ApplyWorker worker;
    ASSERT_TRUE(worker.StartApplyThread(WorkerSetup()));
    SimFaults silent;
    silent.dropEveryNth = 1;
    link.backend.SetFaults(silent);
    worker.RequestApplyWithProgress(SET_RESET, progress);
    ASSERT_TRUE(worker.WaitIdle(30000));
    worker.Stop();

    EXPECT_EQ(messages.messages,
              (std::vector<std::pair<std::string, std::string>>{{kApplyFailedText, "Error"}}));
    EXPECT_EQ(progress->closes, 1);
}

// Exit waits for this notice: it comes at once when nothing waits, else only after the last
// request, with the queue empty.
TEST_F(ApplyWorkerTest, TheIdleNoticeComesWhenTheLastRequestHasBeenWritten) {
    ApplyWorker worker;
    ASSERT_TRUE(worker.StartApplyThread(WorkerSetup()));
    int atOnce = 0;
    worker.NotifyWhenIdle([&] { ++atOnce; });
    EXPECT_EQ(atOnce, 1);

    std::promise<ApplyWorker::QueueState> idle;
    {
        std::lock_guard<std::mutex> device(deviceLock);
        Edit([](ProfileFile& r) { r.nDebounce = 8; });
        worker.RequestApply(SET_DPI, 255);
        worker.RequestApply(SET_DEBOUNCE, 0);
        worker.NotifyWhenIdle([&] { idle.set_value(worker.Queue()); });
    }
    auto state = idle.get_future();
    ASSERT_EQ(state.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    const ApplyWorker::QueueState queue = state.get();
    EXPECT_EQ(queue.running, 0u);
    EXPECT_EQ(queue.waiting, 0u);
    EXPECT_EQ(queue.applied, 2u);
    EXPECT_EQ(link.firmware->Memory(0)[0x00A9], 8);
}

TEST_F(ApplyWorkerTest, StopWhileIdleEndsTheThread) {
    LogCapture log;
    {
        ApplyWorker worker;
        ASSERT_TRUE(worker.StartApplyThread(WorkerSetup()));
        EXPECT_FALSE(worker.StartApplyThread(WorkerSetup()));
        EXPECT_FALSE(worker.IsBusy());
    }  // destruction stops it
    EXPECT_EQ(log.Count("thread exit"), 1);
    EXPECT_FALSE(log.Has("Start Apply"));
}

// What a waiting request writes is the record as it stood when it was asked for; asking again
// while it still waits gives it the newer record instead of a second write.
TEST_F(ApplyWorkerTest, WaitingRequestWritesTheRecordOfItsLatestRequest) {
    struct Step {
        int debounce;  // the edit
        bool request;  // followed by a debounce request
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int written;       // debounce in device memory afterwards
        int debounceRuns;  // debounce requests the worker ran
    };
    const Case cases[] = {
        {"edit after the request stays out", {{5, true}, {6, false}}, 5, 1},
        {"equal request merges, newer record wins", {{3, true}, {4, true}}, 4, 1},
        {"merge, then a later edit stays out", {{3, true}, {4, true}, {7, false}}, 4, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        ApplyWorker worker;
        ASSERT_TRUE(worker.StartApplyThread(WorkerSetup()));
        {
            // The worker may take the first request but cannot write until the lock is free.
            std::lock_guard<std::mutex> device(deviceLock);
            worker.RequestApply(SET_DPI, 0);
            for (const Step& step : c.steps) {
                Edit([&](ProfileFile& r) { r.nDebounce = step.debounce; });
                if (step.request) worker.RequestApply(SET_DEBOUNCE, 0);
            }
        }
        ASSERT_TRUE(worker.WaitIdle(20000));
        worker.Stop();
        EXPECT_EQ(link.firmware->Memory(0)[memory_map::kDebounce], c.written);
        int debounceRuns = 0;
        for (const std::string& line : log.Lines()) {
            debounceRuns +=
                line.find("nFlag=0x1000,") != std::string::npos ? 1 : 0;  // SET_DEBOUNCE
        }
        EXPECT_EQ(debounceRuns, c.debounceRuns);
    }
}

}  // namespace
}  // namespace vantor
