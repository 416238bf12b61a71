// Start-up and configuration problems are reported through one small interface: the
// window program shows them as modal message boxes, the command-line tool prints them
// to standard error. Either way the caller waits until the message has been shown.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor {

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
        messages.emplace_back(std::string(text), std::string(caption));
    }
    std::vector<std::pair<std::string, std::string>> messages;  // (text, caption)
};

// The process-wide sink; the standard-error sink until a program installs its own.
void SetMessageSink(MessageSink* sink);
void ShowSystemMessage(std::string_view text, std::string_view caption);

}  // namespace vantor
