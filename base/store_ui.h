// The windows that the profile store and the macro library need from the user: file
// dialogs, the skinned message window, a yes/no question and a short text input. The
// window program implements them; tests script them.
#pragma once

#include <optional>
#include <string>

namespace vantor {

struct FileDialogRequest {
    std::string filter;            // e.g. "qxa(*.qxa)|*.qxa|"
    std::string fileName;          // suggested name, e.g. "*.qxa"
    std::string defaultExtension;  // e.g. ".qxa"
    bool confirmOverwrite = false;
};

class StoreUi {
  public:
    virtual ~StoreUi() = default;
    // The chosen path, or nothing when the user cancels.
    virtual std::optional<std::string> AskSavePath(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> AskOpenPath(const FileDialogRequest& request) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    // True only when the user confirms.
    virtual bool Ask(const std::string& question) = 0;
    // The typed text (at most `maxChars` characters), or nothing on cancel.
    virtual std::optional<std::string> AskText(const std::string& prompt, int maxChars) = 0;
};

}  // namespace vantor
