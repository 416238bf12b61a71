// Test doubles for the device link: a HID handle that records the command reports written
// to it and answers them from a script or a small in-memory device memory, a sleeper that
// only counts, a recording window poster, and a capture of the diagnostic log.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/log.h"
#include "base/poster.h"
#include "device/reply_queue.h"
#include "device/report.h"
#include "device/sleeper.h"
#include "platform/hid.h"
#include "tests/support/log_entries.h"
#include "tests/support/temp_dir.h"

namespace vantor::test {

inline ReplyPayload MakeReply(std::uint8_t command, std::uint8_t status,
                              std::initializer_list<std::uint8_t> data = {}) {
    ReplyPayload reply;
    reply.bytes[0] = command;
    reply.bytes[1] = status;
    std::size_t i = kPayloadData;
    for (std::uint8_t byte : data) reply.bytes[i++] = byte;
    return reply;
}

// Event report payload with the event bits in byte 5 and values from byte 6 on.
inline ReplyPayload MakeEvent(std::uint8_t bits, std::initializer_list<std::uint8_t> values = {}) {
    ReplyPayload event;
    event.bytes[0] = kCmdDeviceEvent;
    event.bytes[5] = bits;
    std::size_t i = 6;
    for (std::uint8_t byte : values) event.bytes[i++] = byte;
    return event;
}

// The address and data length of a written command report.
inline std::uint16_t ReportAddress(const CommandReport& r) {
    return static_cast<std::uint16_t>(r[1 + kPayloadAddressHigh] << 8 | r[1 + kPayloadAddressLow]);
}
inline std::uint8_t ReportLength(const CommandReport& r) {
    return r[1 + kPayloadLengthByte];
}

// The reply a device gives to a written report: its command id, `status`, and the echo of
// the command's address and length (report bytes 3-5).
inline ReplyPayload EchoReply(const CommandReport& r, std::uint8_t status) {
    ReplyPayload reply = MakeReply(r[1], status);
    std::copy(r.begin() + 1 + kPayloadAddressHigh, r.begin() + 1 + kPayloadData,
              reply.bytes.begin() + kPayloadAddressHigh);
    return reply;
}

class FakeHidHandle : public HidHandle {
  public:
    // Answers one written report with zero or more reply payloads.
    using Responder = std::function<std::vector<ReplyPayload>(const CommandReport&)>;

    explicit FakeHidHandle(std::string path = "/dev/hidraw-fake") : path_(std::move(path)) {}

    // Configuration, set before the handle is used.
    Responder responder;
    ReplyQueue* answerQueue = nullptr;  // answers go straight into this queue, or else
    FakeHidHandle* answerTo = nullptr;  // into this handle's input reports
    int failWrites = 0;                 // the next n writes fail (-1: every write)
    std::uint32_t writeError = kHidDeviceNotConnected;
    HidAttributes attributes{0x1234, 0x5678, 0x0102};

    const std::string& Path() const override { return path_; }

    bool SetFeature(const std::uint8_t* report, std::size_t length, std::uint32_t* error) override {
        std::vector<ReplyPayload> answers;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (closed_ || failWrites != 0) {
                if (failWrites > 0) --failWrites;
                *error = closed_ ? kHidInvalidHandle : writeError;
                return false;
            }
            CommandReport written{};
            std::copy(report, report + std::min(length, written.size()), written.begin());
            written_.push_back(written);
            if (responder) answers = responder(written);
        }
        for (const ReplyPayload& answer : answers) {
            if (answerQueue != nullptr) answerQueue->Append(answer.bytes.data());
            if (answerTo != nullptr) answerTo->PushInput(answer);
        }
        return true;
    }

    // Without queued input a read with a time-out ends at once with kTimeout (the tests do
    // not wait for real); a read without limit blocks until input, a stop or a close.
    HidReadResult Read(std::uint8_t* buffer, std::size_t length, int timeoutMs,
                       std::uint32_t* error, std::size_t* received = nullptr) override {
        std::unique_lock<std::mutex> lock(mutex_);
        auto ready = [this] { return stop_ || closed_ || !inputs_.empty(); };
        if (timeoutMs >= 0) {
            if (!ready()) return HidReadResult::kTimeout;
        } else {
            readers_.notify_all();
            ++waitingReads_;
            changed_.wait(lock, ready);
            --waitingReads_;
        }
        if (stop_) {
            stop_ = false;
            return HidReadResult::kStopped;
        }
        if (closed_) {
            *error = kHidInvalidHandle;
            return HidReadResult::kError;
        }
        Input input = inputs_.front();
        inputs_.pop_front();
        if (input.error != 0) {
            *error = input.error;
            return HidReadResult::kError;
        }
        const std::size_t n = std::min(length, kReportLength);
        std::copy(input.report.begin(), input.report.begin() + static_cast<std::ptrdiff_t>(n),
                  buffer);
        if (received != nullptr) *received = n;
        return HidReadResult::kOk;
    }

    void SignalStop() override {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        changed_.notify_all();
    }

    bool GetAttributes(HidAttributes* out, std::uint32_t* error) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_) {
            *error = kHidInvalidHandle;
            return false;
        }
        *out = attributes;
        return true;
    }

    void Close() override {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }
    bool IsOpen() const override {
        std::lock_guard<std::mutex> lock(mutex_);
        return !closed_;
    }

    // An input report: report id 9 and the payload.
    void PushInput(const ReplyPayload& payload) {
        Input input;
        input.report[0] = kReplyReportId;
        std::copy(payload.bytes.begin(), payload.bytes.end(), input.report.begin() + 1);
        Push(input);
    }
    // The next read fails with `error`.
    void PushReadError(std::uint32_t error) {
        Input input;
        input.error = error;
        Push(input);
    }

    std::vector<CommandReport> Written() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return written_;
    }

    // Waits until a reader blocks in Read with no input left (the reader has handled all).
    bool WaitForIdleReader(std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return readers_.wait_for(lock, limit,
                                 [this] { return waitingReads_ > 0 && inputs_.empty(); });
    }

  private:
    struct Input {
        std::array<std::uint8_t, kReportLength> report{};
        std::uint32_t error = 0;
    };
    void Push(const Input& input) {
        std::lock_guard<std::mutex> lock(mutex_);
        inputs_.push_back(input);
        changed_.notify_all();
    }

    std::string path_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::condition_variable readers_;
    std::deque<Input> inputs_;
    std::vector<CommandReport> written_;
    int waitingReads_ = 0;
    bool stop_ = false;
    bool closed_ = false;
};

// A device memory of 64 KiB that answers ReadEEPROM and WriteEEPROM with status 0, and
// every other command with status 0 and no data.
struct FakeMemory {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(0x10000, 0);

    std::vector<ReplyPayload> Answer(const CommandReport& r) {
        ReplyPayload reply = EchoReply(r, 0);
        const std::uint16_t address = ReportAddress(r);
        const std::size_t n = std::min<std::size_t>(ReportLength(r), kMaxDataBytes);
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t at = (address + i) & 0xFFFF;
            if (r[1] == kCmdReadEEPROM) reply.bytes[kPayloadData + i] = bytes[at];
            if (r[1] == kCmdWriteEEPROM) bytes[at] = r[1 + kPayloadData + i];
        }
        return {reply};
    }
    FakeHidHandle::Responder Responder() {
        return [this](const CommandReport& r) { return Answer(r); };
    }
};

// Records the pauses instead of sleeping; `onSleep` runs at each (with its 0-based index).
class CountingSleeper : public Sleeper {
  public:
    void SleepMs(std::uint32_t milliseconds) override {
        std::size_t index;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            index = sleeps_.size();
            sleeps_.push_back(milliseconds);
        }
        if (onSleep) onSleep(index);
    }
    std::vector<std::uint32_t> Sleeps() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return sleeps_;
    }
    std::function<void(std::size_t)> onSleep;

  private:
    mutable std::mutex mutex_;
    std::vector<std::uint32_t> sleeps_;
};

class RecordingPoster : public MessagePoster {
  public:
    struct Message {
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
        bool operator==(const Message&) const = default;
    };
    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back({message, wParam, lParam});
        posted_.notify_all();
    }
    // Waits until at least `count` messages were posted; false when `limit` passed first.
    bool WaitForCount(std::size_t count, std::chrono::milliseconds limit) const {
        std::unique_lock<std::mutex> lock(mutex_);
        return posted_.wait_for(lock, limit, [&] { return messages_.size() >= count; });
    }
    bool IsValid() const override { return valid; }
    std::vector<Message> Messages() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }
    std::atomic<bool> valid{true};

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable posted_;
    std::vector<Message> messages_;
};

// Sends the diagnostic log to a file for the life of the object and reads its entries.
class LogCapture {
  public:
    LogCapture() { LogSetup(2, path_); }
    ~LogCapture() { LogShutdown(); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Each entry without its "mm:ss.mmm   " time stamp and line feed.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const std::string& entry : LogEntries(ReadText(path_))) {
            lines.push_back(entry.size() >= 12 ? entry.substr(12) : entry);
        }
        return lines;
    }
    // How many entries start with `prefix`.
    int Count(const std::string& prefix) const {
        int count = 0;
        for (const std::string& line : Lines()) count += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }
    bool Has(const std::string& prefix) const { return Count(prefix) > 0; }

  private:
    TempDir dir_;
    std::string path_ = dir_ / "Log.txt";
};

}  // namespace vantor::test
