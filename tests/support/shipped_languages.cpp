#include "tests/support/shipped_languages.h"

#include "app/config/config.h"
#include "base/ini.h"
#include "tests/support/temp_dir.h"

namespace vantor::test {

std::vector<std::string> ShippedLanguageFiles() {
    std::vector<std::string> files{"text.xml"};
    for (const LanguageEntry& language :
         ReadLanguages(IniFile::Load(SourceDataDir() + "cfg.ini"))) {
        files.push_back(language.folder + "/text.xml");
    }
    return files;
}

}  // namespace vantor::test
