// Test helpers: a temporary folder removed at the end of the test, environment variables
// set for the duration of a scope, and small file helpers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantor::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, with a trailing '/'.
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value);  // sets; an empty value unsets
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
std::vector<std::uint8_t> ReadBytes(const std::string& path);

// Program folder of the source tree (cfg.ini, language files), with a trailing '/'.
std::string SourceDataDir();

}  // namespace vantor::test
