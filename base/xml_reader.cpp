#include "base/xml_reader.h"

#include <optional>
#include <unordered_map>

#include "base/file_io.h"
#include "base/text_decoding.h"

namespace vantor {

namespace {

// Past this many errors the result text stops growing; the document still counts as
// malformed.
constexpr std::size_t kMaxReportedErrors = 100;
// Element names quoted in error texts are cut to this many characters.
constexpr std::size_t kMaxQuotedName = 100;
// The longest reference decoded, e.g. "&#x0010FFFF;" with some leading zeros.
constexpr std::size_t kMaxReferenceLength = 32;

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool IsNameStart(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' ||
           c >= 0x80;
}

bool IsNameChar(char16_t c) {
    return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

std::string Offset(std::size_t offset) {
    return " " + std::to_string(offset);
}

std::string Quoted(std::u16string_view name) {
    return Utf16ToUtf8(name.substr(0, kMaxQuotedName));
}

// Appends text with line ends normalised to line feeds, as XML requires.
void AppendNormalised(std::u16string& out, std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            out.push_back(u'\n');
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
}

// The code point of a character reference body ("#65", "#x41"), or nothing.
std::optional<char32_t> CharacterReference(std::u16string_view body) {
    if (body.size() < 2 || body[0] != u'#') return std::nullopt;
    const bool hex = body[1] == u'x';
    const std::u16string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) return std::nullopt;
    char32_t value = 0;
    for (const char16_t c : digits) {
        unsigned digit = 0;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (hex && c >= u'a' && c <= u'f') {
            digit = c - u'a' + 10u;
        } else if (hex && c >= u'A' && c <= u'F') {
            digit = c - u'A' + 10u;
        } else {
            return std::nullopt;
        }
        value = value * (hex ? 16u : 10u) + digit;
        if (value > 0x10FFFF) return std::nullopt;
    }
    if (!IsXmlChar(value)) return std::nullopt;
    return value;
}

// Decodes the reference starting with '&' at the front of `text` into `out`; returns the
// number of characters it took, or 0 when it is not a valid reference.
std::size_t DecodeReference(std::u16string_view text, std::u16string& out) {
    const std::size_t semicolon = text.substr(0, kMaxReferenceLength).find(u';');
    if (semicolon == std::u16string_view::npos) return 0;
    const std::u16string_view body = text.substr(1, semicolon - 1);
    static constexpr std::pair<std::u16string_view, char16_t> kPredefined[] = {
        {u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''}};
    for (const auto& [name, value] : kPredefined) {
        if (body == name) {
            out.push_back(value);
            return semicolon + 1;
        }
    }
    if (const auto value = CharacterReference(body)) {
        AppendUtf16(out, *value);
        return semicolon + 1;
    }
    return 0;
}

// Where the markup construct that starts at the front of `text` ends (one past its last
// character), or the size of `text` when it is not closed.
std::size_t SkipMarkup(std::u16string_view text) {
    auto past = [&](std::u16string_view closer, std::size_t from) {
        const std::size_t at = text.find(closer, from);
        return at == std::u16string_view::npos ? text.size() : at + closer.size();
    };
    if (text.starts_with(u"<!--")) return past(u"-->", 4);
    if (text.starts_with(u"<?")) return past(u"?>", 2);
    return past(u">", 1);
}

}  // namespace

// One pass over the document text that fills the element index and the error list.
class XmlParser {
  public:
    explicit XmlParser(XmlReader& reader) : reader_(reader), text_(reader.doc_) {}

    void Run() {
        reader_.elements_.assign(1, XmlReader::Element{});
        std::size_t pos = 0;
        while (pos < text_.size()) {
            const std::size_t open = text_.find(u'<', pos);
            if (open == std::u16string_view::npos) break;
            pos = ParseMarkup(open);
        }
        while (!stack_.empty()) {
            const std::uint32_t index = stack_.back();
            NotEnded(index);
            reader_.elements_[index].contentEnd = Size32(text_.size());
            stack_.pop_back();
        }
        if (text_.empty()) {
            AddError("Empty document");
        } else if (reader_.elements_[0].firstChild == XmlReader::kNone) {
            AddError("No root element");
        }
        reader_.wellFormed_ = errorCount_ == 0 && reader_.elements_[0].firstChild != 0;
    }

  private:
    static std::uint32_t Size32(std::size_t value) { return static_cast<std::uint32_t>(value); }

    void AddError(const std::string& text) {
        if (errorCount_++ < kMaxReportedErrors) reader_.result_ += " " + text;
    }

    void Unterminated(const char* construct, std::size_t offset) {
        AddError(std::string(construct) + " at offset" + Offset(offset) + " unterminated");
    }

    void NotEnded(std::uint32_t index) {
        const auto& element = reader_.elements_[index];
        AddError("Element '" + Quoted(reader_.NameOf(element)) + "' at offset" +
                 Offset(element.tagStart) + " not ended");
    }

    // Parses the construct starting with '<' at `open`; returns where scanning goes on.
    std::size_t ParseMarkup(std::size_t open) {
        const std::u16string_view rest = text_.substr(open);
        if (rest.starts_with(u"<!--")) return SkipTo(open, 4, u"-->", "Comment");
        if (rest.starts_with(u"<![CDATA[")) return SkipTo(open, 9, u"]]>", "CDATA Section");
        if (rest.starts_with(u"<!DOCTYPE")) return SkipDoctype(open);
        if (rest.starts_with(u"<!-")) {
            AddError("Incorrect comment tag at offset" + Offset(open));
            return open + 1;
        }
        if (rest.starts_with(u"<!")) {
            AddError("Incorrect ! tag at offset" + Offset(open));
            const std::size_t close = text_.find(u'>', open);
            if (close == std::u16string_view::npos) {
                Unterminated("! tag", open);
                return text_.size();
            }
            return close + 1;
        }
        if (rest.starts_with(u"<?")) return SkipTo(open, 2, u"?>", "Processing instruction");
        if (rest.starts_with(u"</")) return ParseEndTag(open);
        if (rest.size() > 1 && IsNameStart(rest[1])) return ParseStartTag(open);
        AddError("Incorrect tag name character at offset" + Offset(open + 1));
        return open + 1;
    }

    std::size_t SkipTo(std::size_t open, std::size_t skip, std::u16string_view closer,
                       const char* construct) {
        const std::size_t close = text_.find(closer, open + skip);
        if (close == std::u16string_view::npos) {
            Unterminated(construct, open);
            return text_.size();
        }
        return close + closer.size();
    }

    // A DOCTYPE ends at the first '>' outside quotes and outside its internal subset. In the
    // subset, comments and processing instructions are skipped whole: their text may hold
    // an apostrophe or a ']' that is neither a quote nor the subset's end. Every character
    // is looked at once, so hostile input stays linear.
    std::size_t SkipDoctype(std::size_t open) {
        char16_t quote = 0;
        bool inSubset = false;
        for (std::size_t pos = open + 9; pos < text_.size(); ++pos) {
            const char16_t c = text_[pos];
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (const std::size_t end = inSubset && c == u'<' ? SubsetSkipEnd(pos) : 0;
                       end != 0) {
                pos = end - 1;  // the loop steps past the construct's last character
            } else if (c == u'[') {
                inSubset = true;
            } else if (c == u']') {
                inSubset = false;
            } else if (c == u'>' && !inSubset) {
                return pos + 1;
            }
        }
        Unterminated("Doctype", open);
        return text_.size();
    }

    // For a comment or processing instruction at `pos` inside a DOCTYPE's subset, one past
    // its end (the text's size when it is not closed); 0 for anything else.
    std::size_t SubsetSkipEnd(std::size_t pos) const {
        const std::u16string_view rest = text_.substr(pos);
        if (!rest.starts_with(u"<!--") && !rest.starts_with(u"<?")) return 0;
        return pos + SkipMarkup(rest);
    }

    std::size_t SkipName(std::size_t pos) const {
        while (pos < text_.size() && IsNameChar(text_[pos])) ++pos;
        return pos;
    }

    std::size_t SkipSpace(std::size_t pos) const {
        while (pos < text_.size() && IsSpace(text_[pos])) ++pos;
        return pos;
    }

    std::size_t ParseStartTag(std::size_t open) {
        const std::size_t nameEnd = SkipName(open + 1);
        std::size_t pos = nameEnd;
        for (;;) {
            pos = SkipSpace(pos);
            if (pos >= text_.size()) {
                Unterminated("Element tag", open);
                return text_.size();
            }
            const char16_t c = text_[pos];
            if (c == u'>') {
                AddElement(open, nameEnd, pos + 1, false);
                return pos + 1;
            }
            if (c == u'/' && pos + 1 < text_.size() && text_[pos + 1] == u'>') {
                AddElement(open, nameEnd, pos + 2, true);
                return pos + 2;
            }
            if (c == u'<') {
                // A tag without its '>': resume at the next construct.
                Unterminated("Element tag", open);
                return pos;
            }
            if (!IsNameStart(c)) {
                AddError("Incorrect tag name character at offset" + Offset(pos));
                ++pos;
                continue;
            }
            pos = SkipSpace(SkipName(pos));
            if (pos < text_.size() && text_[pos] == u'=') {
                pos = SkipSpace(pos + 1);
                if (pos < text_.size() && (text_[pos] == u'"' || text_[pos] == u'\'')) {
                    const std::size_t close = text_.find(text_[pos], pos + 1);
                    if (close == std::u16string_view::npos) {
                        Unterminated("Element tag", open);
                        return text_.size();
                    }
                    pos = close + 1;
                } else {
                    while (pos < text_.size() && !IsSpace(text_[pos]) && text_[pos] != u'>' &&
                           text_[pos] != u'<') {
                        ++pos;
                    }
                }
            }
        }
    }

    void AddElement(std::size_t open, std::size_t nameEnd, std::size_t contentStart, bool empty) {
        auto& elements = reader_.elements_;
        const auto index = Size32(elements.size());
        const std::uint32_t parent = stack_.empty() ? XmlReader::kNone : stack_.back();
        if (parent == XmlReader::kNone && elements[0].firstChild != XmlReader::kNone) {
            AddError("Root element has sibling at offset" + Offset(open));
        }
        XmlReader::Element element;
        element.tagStart = Size32(open);
        element.nameLength = Size32(nameEnd - open - 1);
        element.contentStart = Size32(contentStart);
        element.contentEnd = Size32(contentStart);
        element.parent = parent;
        XmlReader::Element& parentEntry = elements[parent];
        if (parentEntry.lastChild != XmlReader::kNone) {
            elements[parentEntry.lastChild].nextSibling = index;
        } else {
            parentEntry.firstChild = index;
        }
        parentEntry.lastChild = index;
        elements.push_back(element);
        if (!empty) {
            stack_.push_back(index);
            ++openCount_[reader_.NameOf(elements.back())];
        }
    }

    std::size_t ParseEndTag(std::size_t open) {
        const std::size_t nameEnd = SkipName(open + 2);
        const std::u16string_view name = text_.substr(open + 2, nameEnd - open - 2);
        const std::size_t pos = SkipSpace(nameEnd);
        if (pos >= text_.size() || text_[pos] != u'>') {
            Unterminated("Element end tag", open);
            return pos;
        }
        const auto open_count = openCount_.find(name);
        if (open_count == openCount_.end() || open_count->second == 0) {
            AddError("No start tag for end tag '" + Quoted(name) + "' at offset" + Offset(open));
            return pos + 1;
        }
        const auto& top = reader_.elements_[stack_.back()];
        if (reader_.NameOf(top) != name) {
            AddError("End tag '" + Quoted(name) + "' at offset" + Offset(open) +
                     " does not match start tag '" + Quoted(reader_.NameOf(top)) + "' at offset" +
                     Offset(top.tagStart));
        }
        // Close every element up to the innermost one of that name; each pop is paid for by
        // its push, so this stays linear.
        for (;;) {
            const std::uint32_t index = stack_.back();
            stack_.pop_back();
            auto& element = reader_.elements_[index];
            element.contentEnd = Size32(open);
            const std::u16string_view elementName = reader_.NameOf(element);
            --openCount_[elementName];
            if (elementName == name) break;
            NotEnded(index);
        }
        return pos + 1;
    }

    XmlReader& reader_;
    std::u16string_view text_;
    std::vector<std::uint32_t> stack_;
    std::unordered_map<std::u16string_view, std::uint32_t> openCount_;
    std::size_t errorCount_ = 0;
};

bool XmlReader::Load(const std::string& path, int* error) {
    int readError = 0;
    const auto bytes = ReadWholeFile(path, kMaxXmlFileBytes, &readError);
    if (error != nullptr) *error = readError;
    if (!bytes) {
        Clear();
        result_ = "File could not be read: " + DescribeReadError(path, readError);
        return false;
    }
    LoadBytes(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    return true;
}

void XmlReader::LoadBytes(std::string_view bytes) {
    Clear();
    DecodedDocument decoded = DecodeDocument(bytes.substr(0, kMaxXmlFileBytes));
    doc_ = std::move(decoded.text);
    result_ = std::move(decoded.description);
    XmlParser(*this).Run();
}

void XmlReader::Clear() {
    doc_.clear();
    elements_.assign(1, Element{});
    result_.clear();
    wellFormed_ = false;
    Reset();
}

void XmlReader::Reset() {
    parent_ = kNone;
    current_ = kNone;
}

std::u16string_view XmlReader::NameOf(const Element& element) const {
    return std::u16string_view(doc_).substr(element.tagStart + 1u, element.nameLength);
}

bool XmlReader::FindElem(std::string_view name) {
    const std::u16string wanted = Utf8ToUtf16(name);
    std::uint32_t index =
        current_ != kNone ? elements_[current_].nextSibling : elements_[parent_].firstChild;
    while (index != kNone) {
        if (wanted.empty() || NameOf(elements_[index]) == wanted) {
            current_ = index;
            return true;
        }
        index = elements_[index].nextSibling;
    }
    return false;
}

bool XmlReader::IntoElem() {
    if (current_ == kNone) return false;
    parent_ = current_;
    current_ = kNone;
    return true;
}

std::string XmlReader::GetTagName() const {
    if (current_ == kNone) return {};
    return Utf16ToUtf8(NameOf(elements_[current_]));
}

std::string XmlReader::GetData() const {
    if (current_ == kNone) return {};
    const Element& element = elements_[current_];
    if (element.firstChild != kNone) return {};
    const std::u16string_view content = std::u16string_view(doc_).substr(
        element.contentStart, element.contentEnd - element.contentStart);
    std::u16string data;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t special = content.find_first_of(u"<&", pos);
        const std::size_t textEnd = special == std::u16string_view::npos ? content.size() : special;
        AppendNormalised(data, content.substr(pos, textEnd - pos));
        pos = textEnd;
        if (pos >= content.size()) break;
        const std::u16string_view rest = content.substr(pos);
        if (rest.front() == u'&') {
            const std::size_t taken = DecodeReference(rest, data);
            if (taken == 0) data.push_back(u'&');
            pos += taken == 0 ? 1 : taken;
        } else if (rest.starts_with(u"<![CDATA[")) {
            const std::size_t close = rest.find(u"]]>", 9);
            const std::size_t end = close == std::u16string_view::npos ? rest.size() : close;
            AppendNormalised(data, rest.substr(9, end - 9));
            pos += close == std::u16string_view::npos ? rest.size() : close + 3;
        } else {
            // Comments, processing instructions and stray tags carry no character data.
            pos += SkipMarkup(rest);
        }
    }
    return Utf16ToUtf8(data);
}

}  // namespace vantor
