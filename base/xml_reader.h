// A small read-only XML document reader for the language files. It reads a whole file,
// decodes it to UTF-16, indexes every element in one pass, and lets the caller walk the tree
// with a current position: find an element by name, enter it, take its character data.
//
// Malformed input never stops loading: each problem is added to the result text and the
// elements indexed so far can still be found. The parser keeps its own stack, so deeply
// nested documents cannot exhaust the call stack, and all work is linear in the file size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Larger files are treated as unreadable.
constexpr std::size_t kMaxXmlFileBytes = 16u * 1024u * 1024u;

class XmlReader {
  public:
    // Reads, decodes and parses the file. False when the file cannot be read (the document is
    // then empty and every search fails); parse errors still give true.
    // `error` gets ReadWholeFile's error when the file cannot be read (0 otherwise).
    [[nodiscard]] bool Load(const std::string& path, int* error = nullptr);

    // Decodes and parses bytes as if they were the content of a file.
    void LoadBytes(std::string_view bytes);

    // The detected encoding followed by the parse errors, separated by spaces.
    const std::string& Result() const { return result_; }

    // No parse error was recorded and there is a root element.
    bool IsWellFormed() const { return wellFormed_; }

    // Back to the document level: the next search looks at the top-level elements.
    void Reset();

    // Searches the elements after the current one at the current level for the first whose
    // tag name equals `name` (any element when `name` is empty); it becomes the current one.
    [[nodiscard]] bool FindElem(std::string_view name = {});

    // The current element becomes the parent, so the next search runs among its children.
    // False when there is no current element.
    [[nodiscard]] bool IntoElem();

    // The tag name of the current element, or "" when there is none.
    std::string GetTagName() const;

    // The character data of the current element with entity and character references
    // decoded and CDATA sections taken unchanged; "" for an element with child elements, an
    // empty element, or when there is no current element.
    std::string GetData() const;

  private:
    static constexpr std::uint32_t kNone = 0;  // entry 0 is the document level

    struct Element {
        std::uint32_t tagStart = 0;      // offset of '<'
        std::uint32_t nameLength = 0;    // the name starts at tagStart + 1
        std::uint32_t contentStart = 0;  // just after the start tag
        std::uint32_t contentEnd = 0;    // start of the end tag (== contentStart when empty)
        std::uint32_t parent = kNone;
        std::uint32_t firstChild = kNone;
        std::uint32_t lastChild = kNone;
        std::uint32_t nextSibling = kNone;
    };

    void Parse();
    void Clear();

    std::u16string_view NameOf(const Element& element) const;

    std::u16string doc_;
    std::vector<Element> elements_;
    std::string result_;
    bool wellFormed_ = false;

    std::uint32_t parent_ = kNone;
    std::uint32_t current_ = kNone;

    friend class XmlParser;
};

}  // namespace vantor
