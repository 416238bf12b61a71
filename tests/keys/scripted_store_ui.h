// A StoreUi that answers from scripted queues and records what it was shown, and a scope
// that makes every file write beyond a size fail, as on a full disk (also for root, whom
// permissions do not stop).
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/store_ui.h"

namespace vantor::test {

class ScriptedStoreUi : public StoreUi {
  public:
    std::optional<std::string> AskSavePath(const FileDialogRequest& request) override {
        requests.push_back(request);
        return Next(savePaths);
    }
    std::optional<std::string> AskOpenPath(const FileDialogRequest& request) override {
        requests.push_back(request);
        return Next(openPaths);
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool Ask(const std::string& question) override {
        questions.push_back(question);
        return confirm;
    }
    std::optional<std::string> AskText(const std::string& prompt, int maxChars) override {
        prompts.push_back(prompt);
        lastMaxChars = maxChars;
        return Next(texts);
    }

    std::deque<std::optional<std::string>> savePaths, openPaths, texts;
    bool confirm = true;
    std::vector<FileDialogRequest> requests;
    std::vector<std::string> messages, questions, prompts;
    int lastMaxChars = 0;

  private:
    static std::optional<std::string> Next(std::deque<std::optional<std::string>>& queue) {
        if (queue.empty()) return std::nullopt;
        std::optional<std::string> value = queue.front();
        queue.pop_front();
        return value;
    }
};

class ScopedFileSizeLimit {
  public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, oldHandler_);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

  private:
    rlimit old_{};
    sighandler_t oldHandler_ = SIG_DFL;
};

}  // namespace vantor::test
