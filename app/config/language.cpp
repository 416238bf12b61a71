#include "app/config/language.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "base/file_io.h"
#include "base/ini.h"
#include "base/log.h"
#include "base/message_sink.h"
#include "base/texts.h"

namespace vantor {

namespace {

constexpr const char* kSection = "OPT";
constexpr const char* kIndexKey = "LangIndex";

}  // namespace

LanguageSelection::LanguageSelection(std::vector<std::string> folders, std::string programDir,
                                     std::string dataDir)
    : folders_(std::move(folders)),
      programDir_(std::move(programDir)),
      dataDir_(std::move(dataDir)) {}

std::string LanguageSelection::TextFilePath(int index) const {
    const std::string folder = IsValidIndex(index) ? folders_[static_cast<std::size_t>(index)] : "";
    return programDir_ + folder + "/text.xml";
}

int LanguageSelection::SelectAtStartup() {
    int error = 0;
    const int stored = IniFile::Load(LangIniPath(), &error).GetInt(kSection, kIndexKey, 0);
    if (error != 0 && error != ENOENT) {
        ShowSystemMessage(DescribeReadError(LangIniPath(), error), "Warning");
    }
    // A negative index is as unusable as one past the list.
    current_ = IsValidIndex(stored) ? stored : 0;
    LoadTexts(TextFilePath(current_));
    return current_;
}

bool LanguageSelection::ChangeLanguage(int index) {
    if (!IsValidIndex(index)) return false;
    current_ = index;
    LoadTexts(TextFilePath(current_));
    // A listener may remove itself while being told.
    const std::vector<LanguageListener*> listeners = listeners_;
    for (LanguageListener* listener : listeners) listener->OnLanguageChanged();
    const std::string value = std::to_string(index);
    if (writer_ != nullptr) {
        // A failed write comes back from the writer, which reports it.
        if (const auto bytes = IniWithString(LangIniPath(), kSection, kIndexKey, value)) {
            writer_->Write(LangIniPath(), std::vector<std::uint8_t>(bytes->begin(), bytes->end()));
            return true;
        }
    } else if (WriteIniString(LangIniPath(), kSection, kIndexKey, value)) {
        return true;
    }
    DbgLog("ChangeLanguage: cannot write %s, language %d applies to this run only",
           LangIniPath().c_str(), index);
    return true;
}

void LanguageSelection::AddListener(LanguageListener* listener) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
        listeners_.push_back(listener);
    }
}

void LanguageSelection::RemoveListener(LanguageListener* listener) {
    std::erase(listeners_, listener);
}

}  // namespace vantor
