// Start-up and configuration messages as plain message boxes, on the window thread only;
// the main window hands messages of worker threads over through a PostingMessageSink.
#pragma once

#include "base/message_sink.h"

namespace vantor {

class MessageBoxSink : public MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view caption) override;
};

}  // namespace vantor
