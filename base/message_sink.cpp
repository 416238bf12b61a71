#include "base/message_sink.h"

#include <atomic>
#include <cstdio>

#include "base/log.h"

namespace vantor {
namespace {
StderrMessageSink g_stderrSink;
std::atomic<MessageSink*> g_sink{&g_stderrSink};
}  // namespace

void StderrMessageSink::ShowMessage(std::string_view text, std::string_view caption) {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
}

PostingMessageSink::PostingMessageSink(MessagePoster& window, MessageSink& shown)
    : window_(window), shown_(shown), windowThread_(std::this_thread::get_id()) {}

PostingMessageSink::~PostingMessageSink() {
    Close();
}

void PostingMessageSink::ShowMessage(std::string_view text, std::string_view caption) {
    if (std::this_thread::get_id() == windowThread_) {
        shown_.ShowMessage(text, caption);
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    if (closed_) {
        DbgLog("Message dropped, the window is closed: %.*s", static_cast<int>(text.size()),
               text.data());
        return;
    }
    const std::uint64_t number = ++lastNumber_;
    waiting_.push_back({std::string(text), std::string(caption), number});
    // Posting never blocks and never calls back, so it may run under the lock; that keeps
    // one post per message in the order the messages were queued.
    window_.Post(WM_SHOW_POSTED_MESSAGES, 0, 0);
    released_.wait(lock, [&] { return closed_ || doneNumber_ >= number; });
}

void PostingMessageSink::ShowWaitingMessages() {
    for (;;) {
        Waiting next;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (closed_ || waiting_.empty()) return;
            next = std::move(waiting_.front());
            waiting_.pop_front();
        }
        shown_.ShowMessage(next.text, next.caption);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            doneNumber_ = next.number;
        }
        released_.notify_all();
    }
}

void PostingMessageSink::Close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        waiting_.clear();
    }
    released_.notify_all();
}

void SetMessageSink(MessageSink* sink) {
    g_sink.store(sink != nullptr ? sink : &g_stderrSink);
}

void ShowSystemMessage(std::string_view text, std::string_view caption) {
    g_sink.load()->ShowMessage(text, caption);
}

}  // namespace vantor
