// Checks the shipped language files (the default file and every language cfg.ini lists):
// every text of the table is present, in load order, with a real wording, in a document the
// text loader can read, and a translation keeps the numbers and symbols of the English text.
// Besides going through the program's loader, the files are scanned with a strict little
// parser of their simple shape, which also sees what the loader quietly accepts (a key twice,
// an unknown key, keys out of order).

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/texts.h"
#include "tests/support/shipped_languages.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using Texts = std::vector<std::pair<std::string, std::string>>;

struct Scan {
    Texts texts;
    std::string error;  // empty when the document has the expected shape
};

// Reads a document of exactly this shape: the UTF-8 declaration, a `config` root, and one
// `<key>text</key>` child per line, with comments allowed between the children. Text may use
// the five predefined entities; a bare '&' or '<', a mismatched end tag or anything else
// outside the shape is an error.
Scan ScanLanguageFile(std::string_view doc) {
    Scan scan;
    auto fail = [&scan](std::string message) {
        scan.error = std::move(message);
        return scan;
    };
    auto skipSpace = [&doc] {
        while (!doc.empty() && (doc.front() == ' ' || doc.front() == '\n' || doc.front() == '\r' ||
                                doc.front() == '\t')) {
            doc.remove_prefix(1);
        }
    };
    auto take = [&doc](std::string_view expected) {
        if (doc.substr(0, expected.size()) != expected) return false;
        doc.remove_prefix(expected.size());
        return true;
    };
    if (!take("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) return fail("no UTF-8 declaration");
    skipSpace();
    if (!take("<config>")) return fail("no config root");
    for (;;) {
        skipSpace();
        if (doc.empty()) return fail("root not closed");
        if (take("</config>")) break;
        if (take("<!--")) {
            std::size_t end = doc.find("-->");
            if (end == std::string_view::npos) return fail("unterminated comment");
            doc.remove_prefix(end + 3);
            continue;
        }
        if (!take("<")) return fail("stray character data");
        std::size_t close = doc.find('>');
        if (close == std::string_view::npos) return fail("unclosed start tag");
        std::string key(doc.substr(0, close));
        doc.remove_prefix(close + 1);
        std::string text;
        while (!doc.empty() && doc.front() != '<') {
            if (doc.front() != '&') {
                text += doc.front();
                doc.remove_prefix(1);
                continue;
            }
            static const std::pair<std::string_view, char> kEntities[] = {
                {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
            bool known = false;
            for (const auto& [entity, character] : kEntities) {
                if (take(entity)) {
                    text += character;
                    known = true;
                    break;
                }
            }
            if (!known) return fail("bare '&' in " + key);
        }
        if (!take("</" + key + ">")) return fail("no end tag for " + key);
        scan.texts.emplace_back(std::move(key), std::move(text));
    }
    skipSpace();
    if (!doc.empty()) return fail("content after the root");
    return scan;
}

// Number of code points, or nullopt when the bytes are not well-formed UTF-8.
std::optional<std::size_t> Utf8Length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
        } else if (lead >= 0x80) {
            return std::nullopt;
        }
        if (extra >= text.size() - i) return std::nullopt;
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return std::nullopt;
        }
        i += extra + 1;
    }
    return count;
}

// Where a key list first departs from the expected order, or "" when it matches exactly.
std::string FirstDeparture(const std::vector<std::string>& keys,
                           const std::vector<std::string>& expected) {
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (i >= keys.size()) return "missing " + expected[i];
        if (keys[i] != expected[i])
            return "found " + keys[i] + " where " + expected[i] + " belongs";
    }
    if (keys.size() > expected.size()) return "extra " + keys[expected.size()];
    return "";
}

// The digit runs of a text, sorted: numbers that a translation must keep, whatever the order.
std::vector<std::string> Numbers(std::string_view text) {
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < text.size();) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        numbers.emplace_back(text.substr(i, end - i));
        i = end;
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// The words of a text made only of ASCII punctuation, such as the characters listed in a
// message ("/ \ ? + ="), sorted.
std::vector<std::string> SymbolWords(std::string_view text) {
    std::vector<std::string> words;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t end = text.find(' ', i);
        if (end == std::string_view::npos) end = text.size();
        std::string_view word = text.substr(i, end - i);
        if (!word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
                return std::ispunct(static_cast<unsigned char>(c)) != 0;
            })) {
            words.emplace_back(word);
        }
        i = end + 1;
    }
    std::sort(words.begin(), words.end());
    return words;
}

const std::vector<std::string>& LanguageFiles() {
    static const std::vector<std::string> files = test::ShippedLanguageFiles();
    return files;
}

Texts LoadFile(const std::string& name) {
    Scan scan = ScanLanguageFile(test::ReadText(test::SourceDataDir() + name));
    EXPECT_EQ(scan.error, "") << name;
    return scan.texts;
}

std::string TextOf(const Texts& texts, std::string_view key) {
    for (const auto& [k, text] : texts) {
        if (k == key) return text;
    }
    return {};
}

TEST(LanguageFilesTest, HelpersRejectWhatTheLoaderWouldMisread) {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config>\n";
    const struct {
        const char* body;
        const char* error;
    } cases[] = {
        {"  <tc_ok>Fish &amp; Chips &lt;3</tc_ok>\n</config>\n", ""},
        {"  <tc_ok>Fish & Chips</tc_ok>\n</config>\n", "bare '&' in tc_ok"},
        {"  <tc_ok>OK</tc_cancel>\n</config>\n", "no end tag for tc_ok"},
        {"  <tc_ok>OK</tc_ok>\n", "root not closed"},
        {"  OK\n</config>\n", "stray character data"},
        {"  <tc_ok>OK</tc_ok>\n</config>\n<config/>", "content after the root"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScanLanguageFile(head + c.body).error, c.error) << c.body;
    }
    EXPECT_EQ(TextOf(ScanLanguageFile(head + cases[0].body).texts, "tc_ok"), "Fish & Chips <3");
    const Scan commented = ScanLanguageFile(head + "  <!-- a <b> & c -->\n" + cases[0].body);
    EXPECT_EQ(commented.error, "");
    EXPECT_EQ(commented.texts, ScanLanguageFile(head + cases[0].body).texts);
    EXPECT_EQ(ScanLanguageFile(head + "  <!-- open\n" + cases[0].body).error,
              "unterminated comment");
    EXPECT_EQ(ScanLanguageFile("\xEF\xBB\xBF" + head + cases[0].body).error,
              "no UTF-8 declaration");
    EXPECT_EQ(Utf8Length("Grüße – OK…"), 11u);
    EXPECT_EQ(Utf8Length("Gr\xFC\xDF"), std::nullopt);  // Latin-1 bytes
    EXPECT_EQ(Utf8Length("\xC3"), std::nullopt);        // cut sequence
    EXPECT_EQ(Numbers("1 to 3 clicks, 10 to 255 ms, v1.0"),
              (std::vector<std::string>{"0", "1", "1", "10", "255", "3"}));
    EXPECT_EQ(SymbolWords("Avoid / \\ ? & ! and 1/2. Continue ?"),
              (std::vector<std::string>{"!", "&", "/", "?", "?", "\\"}));
}

// The program's list of languages and the folders of the source tree agree: a language that
// is shipped but not listed could never be chosen, and one listed twice shows up twice. A
// listed language without its file fails the scans below.
TEST(LanguageFilesTest, EveryLanguageFolderIsListedOnceInTheConfiguration) {
    const std::vector<std::string>& files = LanguageFiles();
    ASSERT_GE(files.size(), 2u);
    EXPECT_EQ(files[1], "en/text.xml") << "English comes first";
    for (const auto& entry : std::filesystem::directory_iterator(test::SourceDataDir())) {
        if (!std::filesystem::exists(entry.path() / "text.xml")) continue;
        const std::string file = entry.path().filename().string() + "/text.xml";
        EXPECT_EQ(std::count(files.begin(), files.end(), file), 1) << file;
    }
}

TEST(LanguageFilesTest, EveryFileHoldsAllKeysInLoadOrderWithRealTexts) {
    const std::vector<std::string>& expectedKeys = TextKeys();
    ASSERT_EQ(expectedKeys.size(), 237u);
    for (const std::string& file : LanguageFiles()) {
        SCOPED_TRACE(file);
        Texts texts = LoadFile(file);
        std::vector<std::string> keys;
        for (const auto& [key, text] : texts) {
            keys.push_back(key);
            SCOPED_TRACE(key);
            if (text.empty()) {
                ADD_FAILURE() << "empty text";
                continue;
            }
            EXPECT_NE(text, key);
            EXPECT_NE(text.front(), ' ');
            EXPECT_NE(text.back(), ' ');
            // No text is used as a format by the program; a '%' would only show up literally.
            EXPECT_EQ(text.find('%'), std::string::npos);
            EXPECT_TRUE(Utf8Length(text).has_value()) << "not UTF-8";
        }
        EXPECT_EQ(FirstDeparture(keys, expectedKeys), "");
    }
}

TEST(LanguageFilesTest, ProgramLoaderReadsTheSameTexts) {
    for (const std::string& file : LanguageFiles()) {
        SCOPED_TRACE(file);
        Texts texts = LoadFile(file);
        LoadTexts(test::SourceDataDir() + file);
        for (const auto& [key, text] : texts) EXPECT_EQ(Text(key), text) << key;
    }
}

// A translation keeps every number of the English text (limits, ranges, versions, the number
// in a name) and every listed symbol (the characters a name must not contain).
TEST(LanguageFilesTest, TranslationsKeepTheNumbersAndSymbolsOfTheEnglishText) {
    const Texts english = LoadFile("en/text.xml");
    for (const std::string& file : LanguageFiles()) {
        SCOPED_TRACE(file);
        const Texts texts = LoadFile(file);
        for (const auto& [key, englishText] : english) {
            SCOPED_TRACE(key);
            const std::string text = TextOf(texts, key);
            EXPECT_EQ(Numbers(text), Numbers(englishText)) << text;
            const std::vector<std::string> symbols = SymbolWords(text);
            const std::vector<std::string> englishSymbols = SymbolWords(englishText);
            EXPECT_TRUE(std::includes(symbols.begin(), symbols.end(), englishSymbols.begin(),
                                      englishSymbols.end()))
                << text;
        }
    }
}

TEST(LanguageFilesTest, DefaultFileIsTheEnglishFile) {
    EXPECT_EQ(test::ReadBytes(test::SourceDataDir() + "text.xml"),
              test::ReadBytes(test::SourceDataDir() + "en/text.xml"));
}

// Texts that end up in fixed-size fields: the application title (39 characters) and the
// profile names (19 characters), which are "<tc_msg35> <n>" or the tc_msg14 text.
TEST(LanguageFilesTest, TextsFitTheirFixedSizeFields) {
    for (const std::string& file : LanguageFiles()) {
        SCOPED_TRACE(file);
        Texts texts = LoadFile(file);
        EXPECT_LE(Utf8Length(TextOf(texts, "tc_title")).value_or(99), 39u);
        EXPECT_LE(Utf8Length(TextOf(texts, "tc_msg35") + " 4").value_or(99), 19u);
        EXPECT_LE(Utf8Length(TextOf(texts, "tc_msg14")).value_or(99), 19u);
    }
}

}  // namespace
}  // namespace vantor
