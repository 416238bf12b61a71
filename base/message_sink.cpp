#include "base/message_sink.h"

#include <atomic>
#include <cstdio>

namespace vantor {
namespace {
StderrMessageSink g_stderrSink;
std::atomic<MessageSink*> g_sink{&g_stderrSink};
}  // namespace

void StderrMessageSink::ShowMessage(std::string_view text, std::string_view caption) {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
}

void SetMessageSink(MessageSink* sink) {
    g_sink.store(sink != nullptr ? sink : &g_stderrSink);
}

void ShowSystemMessage(std::string_view text, std::string_view caption) {
    g_sink.load()->ShowMessage(text, caption);
}

}  // namespace vantor
