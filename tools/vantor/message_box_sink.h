// Start-up, configuration and apply-worker messages as plain message boxes. A message
// from a worker thread is handed to the window thread, which shows it.
#pragma once

#include "base/message_sink.h"

namespace vantor {

class MessageBoxSink : public MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view caption) override;
};

}  // namespace vantor
