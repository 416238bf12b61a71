// Reading and writing INI files with the semantics of the Windows private-profile functions
// the configuration was written for: section and key names compare case-insensitively,
// the first occurrence of a section or key wins, values are trimmed, integers read like
// GetPrivateProfileInt and strings are cut to the caller's buffer size. A file saved as
// UTF-16 with its byte-order mark (little or big endian) is read as text like an 8-bit one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Files larger than this are treated as unreadable rather than parsed.
constexpr std::size_t kMaxIniFileBytes = 4u * 1024u * 1024u;

class IniFile {
  public:
    // A missing, unreadable or oversized file, or one that is not a regular file, gives an
    // empty IniFile; `error` then gets ReadWholeFile's error (0 when the file was read).
    static IniFile Load(const std::string& path, int* error = nullptr);
    static IniFile Parse(std::string_view text);

    // The trimmed value of the first matching key in the first matching section; nothing
    // when either is absent.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // An optional sign, then decimal digits or "0x" and hexadecimal digits, read up to the
    // first other character; arithmetic wraps at 32 bits. A missing key or a value that
    // does not start with a number gives `defaultValue`.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    // The value (or `defaultValue` when the key is absent) cut to `bufferChars` - 1
    // characters, as a fixed buffer of that many characters would hold it.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t bufferChars) const;

    bool empty() const { return sections_.empty(); }

  private:
    struct Entry {
        std::string key;  // lower case
        std::string value;
    };
    struct Section {
        std::string name;  // lower case
        std::vector<Entry> entries;
    };
    std::vector<Section> sections_;
};

// Integer form of GetInt applied to a text; nothing when the text does not start with a
// number (after an optional sign).
std::optional<int> ParseProfileInt(std::string_view text);

// The text cut to at most `maxChars` characters (UTF-8 code points; a sequence is never
// split).
std::string CutToChars(std::string_view text, std::size_t maxChars);

// Sets `key` in `section` to `value`: replaces the first existing line of the key, or adds
// the key at the end of the section, or adds the section at the end of the file. Every other
// line keeps its text, and a UTF-16 file stays UTF-16. The file is written atomically; false when
// it cannot be read or written, or when a name or the value holds a line break (or '=' where it
// would change the meaning of the line).
[[nodiscard]] bool WriteIniString(const std::string& path, std::string_view section,
                                  std::string_view key, std::string_view value);
// The bytes WriteIniString would write, for a writer thread; nothing where it would fail
// before writing.
std::optional<std::string> IniWithString(const std::string& path, std::string_view section,
                                         std::string_view key, std::string_view value);

}  // namespace vantor
