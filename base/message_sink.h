// Start-up, configuration and worker problems are reported through one small interface: the
// window program shows them as modal message boxes, the command-line tool prints them to
// standard error.
//
// Threads: a sink that shows windows (the program's message boxes) may only be called on the
// window thread, and its caller waits until the box is closed. Worker threads use a
// PostingMessageSink: it hands the message to the window thread by posting and waits there
// until the window thread has shown it, or until the sink is closed (the window is going
// away), whichever comes first; so a worker is never left waiting for a window that is gone.
// StderrMessageSink and RecordingMessageSink may be called from any thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "base/poster.h"

namespace vantor {

// Posted to the window when a PostingMessageSink holds messages to show (no values).
constexpr std::uint32_t WM_SHOW_POSTED_MESSAGES = 2041;

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
};

// Prints "caption: text" as one line on standard error.
class StderrMessageSink : public MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view caption) override;
};

// Keeps every message; for tests and for callers that show them later.
class RecordingMessageSink : public MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view caption) override {
        std::lock_guard<std::mutex> lock(mutex_);
        messages.emplace_back(std::string(text), std::string(caption));
    }
    // Copy of what was shown so far.
    std::vector<std::pair<std::string, std::string>> Messages() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages;
    }
    std::vector<std::pair<std::string, std::string>> messages;  // (text, caption)

  private:
    mutable std::mutex mutex_;
};

// The sink for worker threads: on the window thread it shows at once through `shown`; on any
// other thread it queues the message, posts WM_SHOW_POSTED_MESSAGES to `window` and waits as
// described above. Made on the window thread.
class PostingMessageSink : public MessageSink {
  public:
    PostingMessageSink(MessagePoster& window, MessageSink& shown);
    // Closes the sink.
    ~PostingMessageSink() override;
    PostingMessageSink(const PostingMessageSink&) = delete;
    PostingMessageSink& operator=(const PostingMessageSink&) = delete;

    void ShowMessage(std::string_view text, std::string_view caption) override;

    // Window thread, for WM_SHOW_POSTED_MESSAGES: shows every waiting message in the order
    // it was given and releases its caller.
    void ShowWaitingMessages();
    // Window thread, before the window goes away: releases every waiting caller without
    // showing its message; later messages are dropped at once (and logged).
    void Close();

  private:
    struct Waiting {
        std::string text;
        std::string caption;
        std::uint64_t number = 0;
    };

    MessagePoster& window_;
    MessageSink& shown_;
    const std::thread::id windowThread_;
    std::mutex mutex_;
    std::condition_variable released_;
    std::deque<Waiting> waiting_;
    std::uint64_t lastNumber_ = 0;  // of the last message queued
    std::uint64_t doneNumber_ = 0;  // of the last message shown or released
    bool closed_ = false;
};

// The process-wide sink; the standard-error sink until a program installs its own. A program
// with windows installs a PostingMessageSink, so ShowSystemMessage may be called on any
// thread.
void SetMessageSink(MessageSink* sink);
void ShowSystemMessage(std::string_view text, std::string_view caption);

}  // namespace vantor
