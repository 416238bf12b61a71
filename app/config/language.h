// The current language: which of the configured languages is in use, loading its text file
// into the text table, and remembering the choice in "lang.ini" in the data folder.
#pragma once

#include <string>
#include <vector>

#include "base/file_writer.h"

namespace vantor {

// Windows that show language texts re-read them when told the language changed.
class LanguageListener {
  public:
    virtual ~LanguageListener() = default;
    virtual void OnLanguageChanged() = 0;
};

class LanguageSelection {
  public:
    // `folders` holds the folder name of each configured language in order (empty when no
    // language is configured). Both folders end with '/'.
    LanguageSelection(std::vector<std::string> folders, std::string programDir,
                      std::string dataDir);

    int LanguageCount() const { return static_cast<int>(folders_.size()); }
    int CurrentIndex() const { return current_; }

    // Program folder + folder name + "/text.xml"; without languages the folder name is empty.
    std::string TextFilePath(int index) const;
    std::string LangIniPath() const { return dataDir_ + "lang.ini"; }

    // Takes LangIndex of section OPT in lang.ini (default 0), uses 0 when it names no
    // configured language (without rewriting the file) and loads that language's texts.
    // Returns the index in use.
    int SelectAtStartup();

    // Switches to language `index`: loads its texts, tells every listener, then stores the
    // index in lang.ini. When lang.ini cannot be written the change holds for this run only.
    // False, with nothing changed, when `index` names no configured language.
    [[nodiscard]] bool ChangeLanguage(int index);

    // lang.ini goes to `writer` (the window program's writer thread); without one it is
    // written at once.
    void SetFileWriter(FileWriter* writer) { writer_ = writer; }

    // Listeners are not owned; remove one before it is destroyed.
    void AddListener(LanguageListener* listener);
    void RemoveListener(LanguageListener* listener);

  private:
    bool IsValidIndex(int index) const { return index >= 0 && index < LanguageCount(); }

    std::vector<std::string> folders_;
    std::string programDir_;
    std::string dataDir_;
    int current_ = 0;
    FileWriter* writer_ = nullptr;
    std::vector<LanguageListener*> listeners_;
};

}  // namespace vantor
