#include "base/xml_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text_decoding.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

// The section/key lookup of the language loader.
std::string Lookup(XmlReader& reader, std::string_view section, std::string_view key) {
    reader.Reset();
    if (!reader.FindElem(section) || !reader.IntoElem() || !reader.FindElem(key)) return "";
    return reader.GetData();
}

std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

struct EncodingCase {
    const char* name;
    std::string bytes;
    std::string expectedText;  // of config/tc_ok, UTF-8
    const char* expectedDescription;
};

TEST(XmlReaderEncodingTest, DetectsAndDecodesEachEncoding) {
    const std::u16string doc = u"<config><tc_ok>Grüße €</tc_ok></config>";
    const EncodingCase cases[] = {
        {"utf8 bom",
         "\xEF\xBB\xBF<config><tc_ok>Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC</tc_ok></config>",
         "Grüße €", "UTF-8 BOM +"},
        {"utf16le bom", Utf16Bytes(doc, false), "Grüße €", "UTF-16LE BOM +"},
        {"utf16be bom", Utf16Bytes(doc, true), "Grüße €", "UTF-16BE BOM + endian swap"},
        // Starts with '<': UTF-8 even when the bytes are Latin-1, so the byte is replaced.
        {"lt rule", "<config><tc_ok>gr\xFCn</tc_ok></config>", "gr\xEF\xBF\xBDn", "UTF-8 length"},
        {"declared latin1",
         "<?xml version=\"1.0\" "
         "encoding=\"ISO-8859-1\"?><config><tc_ok>gr\xFCn\x80</tc_ok></config>",
         "grün€", "ANSI"},
        {"declared utf8",
         "<?xml version='1.0' encoding='utf-8'?><config><tc_ok>\xC3\xA9</tc_ok></config>", "é",
         "UTF-8 length"},
        {"detected utf8", " \n<config><tc_ok>\xC3\xA9</tc_ok></config>", "é",
         "UTF-8 (used UTF-8 detection)"},
        {"detected cp1252", " \n<config><tc_ok>caf\xE9 \x80\x81</tc_ok></config>", "café €\xC2\x81",
         "ANSI  (used UTF-8 detection)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XmlReader reader;
        reader.LoadBytes(c.bytes);
        EXPECT_EQ(Lookup(reader, "config", "tc_ok"), c.expectedText);
        EXPECT_NE(reader.Result().find(c.expectedDescription), std::string::npos)
            << reader.Result();
        EXPECT_TRUE(reader.IsWellFormed()) << reader.Result();
    }
}

TEST(XmlReaderEncodingTest, HtmlMetaCharsetInsideHeadIsHonoured) {
    XmlReader reader;
    reader.LoadBytes(
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
        "charset=windows-1252\"/></head><body>caf\xE9</body></html>");
    EXPECT_EQ(Lookup(reader, "html", "body"), "café");
    EXPECT_NE(reader.Result().find("ANSI"), std::string::npos) << reader.Result();
}

TEST(XmlReaderEncodingTest, NulCharactersAreRemovedAndCounted) {
    XmlReader reader;
    reader.LoadBytes(
        Utf16Bytes(std::u16string(u"<config><tc_ok>O\0K</tc_ok></config>", 35), false));
    EXPECT_EQ(Lookup(reader, "config", "tc_ok"), "OK");
    EXPECT_NE(reader.Result().find("(1 nulls removed)"), std::string::npos) << reader.Result();
}

TEST(TextDecodingTest, Utf8ValidityFollowsTheStrictRules) {
    const std::pair<std::string, bool> cases[] = {
        {"plain", true},
        {"\xF0\x9F\x98\x80", true},   // U+1F600
        {"\xC0\x80", false},          // overlong NUL
        {"\xE0\x80\xAF", false},      // overlong '/'
        {"\xED\xA0\x80", false},      // surrogate
        {"\xF4\x90\x80\x80", false},  // above U+10FFFF
        {"\xE2\x82", false},          // cut off
        {"\x80", false},              // lone continuation byte
    };
    for (const auto& [bytes, valid] : cases) EXPECT_EQ(IsValidUtf8(bytes), valid) << bytes;
}

TEST(TextDecodingTest, ConversionsReplaceWhatCannotBeRepresented) {
    EXPECT_EQ(Utf8ToUtf16("a\xE2\x82"
                          "b"),
              u"a\uFFFD\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(Windows1252ToUtf16("\x80\x8D\x9F\xA0\xFF"), u"\u20AC\u008D\u0178\u00A0\u00FF");
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    const char16_t loneSurrogates[] = {0xD800, u'x', 0xDC00, 0};
    EXPECT_EQ(Utf16ToUtf8(loneSurrogates), "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

TEST(XmlReaderDataTest, DecodesReferencesCdataAndLineEnds) {
    const std::pair<std::string, std::string> cases[] = {
        {"a &amp; b &lt;&gt;&quot;&apos;", "a & b <>\"'"},
        {"&#65;&#x42;&#x1F600;&#0000067;",
         "AB\xF0\x9F\x98\x80"
         "C"},
        // Unknown entities and references to characters XML does not allow stay as text.
        {"&nbsp; &#xD800; &#0; &#x110000; &#99999999999; & x &#; &amp",
         "&nbsp; &#xD800; &#0; &#x110000; &#99999999999; & x &#; &amp"},
        {"<![CDATA[<b>&amp;</b>]]> and &amp;", "<b>&amp;</b> and &"},
        {"a<!-- hidden -->b<?pi x?>c", "abc"},
        {"one\r\ntwo\rthree&#13;", "one\ntwo\nthree\r"},
        {"<child>x</child>tail", ""},
        {"", ""},
    };
    for (const auto& [content, expected] : cases) {
        XmlReader reader;
        reader.LoadBytes("<config><tc_ok>" + content + "</tc_ok></config>");
        EXPECT_EQ(Lookup(reader, "config", "tc_ok"), expected) << content;
    }
    XmlReader reader;
    reader.LoadBytes("<config><tc_ok a=\"1\"/></config>");
    EXPECT_EQ(Lookup(reader, "config", "tc_ok"), "");
}

TEST(XmlReaderParseTest, ReadsAWellFormedDocumentWithProlog) {
    const std::string doc =
        "<?xml version=\"1.0\"?>\n"
        "<!DOCTYPE config [ <!ENTITY x \"a>b]\"> <!ELEMENT config ANY> ]>\n"
        "<!-- texts -->\n"
        "<config lang='en' note=\"a > b / c\">\n"
        "  <tc_ok>OK</tc_ok>\n"
        "  <tc_cancel\n\tkind = \"x\" >Cancel</tc_cancel >\n"
        "  <tc_empty/>\n"
        "  <?pi ignored?>\n"
        "</config>\n";
    XmlReader reader;
    reader.LoadBytes(doc);
    EXPECT_TRUE(reader.IsWellFormed()) << reader.Result();
    const std::string length = std::to_string(doc.size());
    EXPECT_EQ(reader.Result(), "UTF-8 length " + length + " to " + length + " wide chars");
    EXPECT_EQ(Lookup(reader, "config", "tc_ok"), "OK");
    EXPECT_EQ(Lookup(reader, "config", "tc_cancel"), "Cancel");
    EXPECT_EQ(Lookup(reader, "config", "tc_other"), "");
    EXPECT_EQ(Lookup(reader, "texts", "tc_ok"), "");
}

// Texts inside the internal subset's comments and processing instructions are no markup.
TEST(XmlReaderParseTest, DoctypeSubsetCommentsAndInstructionsMayHoldQuotesAndBrackets) {
    for (const char* subset :
         {"<!-- don't -->", "<!-- see [1] -->", "<!-- ] -->", "<?note don't ]?>"}) {
        SCOPED_TRACE(subset);
        XmlReader reader;
        reader.LoadBytes(std::string("<!DOCTYPE config [ ") + subset +
                         " <!ELEMENT config ANY> ]>\n<config><tc_ok>OK</tc_ok></config>");
        EXPECT_TRUE(reader.IsWellFormed()) << reader.Result();
        EXPECT_EQ(Lookup(reader, "config", "tc_ok"), "OK");
    }
    // A subset comment that never closes ends the document, as any unclosed DOCTYPE does.
    XmlReader reader;
    reader.LoadBytes("<!DOCTYPE config [ <!-- ]> <config><tc_ok>OK</tc_ok></config>");
    EXPECT_NE(reader.Result().find("Doctype at offset 0 unterminated"), std::string::npos);
}

TEST(XmlReaderParseTest, NavigationFollowsTheCurrentPosition) {
    XmlReader reader;
    reader.LoadBytes("<r><a>1</a><b>2</b><a>3</a><c><a>inner</a></c></r>");
    EXPECT_FALSE(reader.IntoElem());     // nothing current yet
    EXPECT_FALSE(reader.FindElem("a"));  // not at the top level
    ASSERT_TRUE(reader.FindElem("r"));
    ASSERT_TRUE(reader.IntoElem());
    ASSERT_TRUE(reader.FindElem("a"));
    EXPECT_EQ(reader.GetData(), "1");
    ASSERT_TRUE(reader.FindElem("a"));  // searches after the current element
    EXPECT_EQ(reader.GetData(), "3");
    EXPECT_FALSE(reader.FindElem("a"));  // the nested one is not at this level
    EXPECT_EQ(reader.GetData(), "3");    // a failed search keeps the position
    ASSERT_TRUE(reader.FindElem());
    EXPECT_EQ(reader.GetTagName(), "c");
    EXPECT_EQ(reader.GetData(), "");  // has a child element
    reader.Reset();
    EXPECT_EQ(reader.GetTagName(), "");
    EXPECT_TRUE(reader.FindElem("r"));
}

struct ErrorCase {
    std::string doc;
    const char* expectedError;
    const char* expectedOk;  // config/tc_ok after the error
};

TEST(XmlReaderParseTest, ReportsErrorsAndKeepsWhatWasIndexed) {
    const ErrorCase cases[] = {
        {"<config><tc_ok>OK</tc_ok>", "Element 'config' at offset 0 not ended", "OK"},
        {"<config><tc_ok>OK</tc_ok></config>\n<config/>", "Root element has sibling", "OK"},
        {"", "Empty document", ""},
        {"just text", "No root element", ""},
        {"<config><tc_ok>OK</tc_x></tc_ok></config>",
         "No start tag for end tag 'tc_x' at offset 17", "OK"},
        {"<config><tc_ok>OK<b></tc_ok></config>",
         "End tag 'tc_ok' at offset 20 does not match start tag 'b' at offset 17", ""},
        {"<config><tc_ok>OK<b></tc_ok></config>", "Element 'b' at offset 17 not ended", ""},
        {"<config><tc_ok>OK</tc_ok><!-- x </config>", "Comment at offset 25 unterminated", "OK"},
        {"<config><tc_ok>OK</tc_ok><![CDATA[ x", "CDATA Section at offset 25 unterminated", "OK"},
        {"<config><tc_ok>OK</tc_ok><?pi ", "Processing instruction at offset 25 unterminated",
         "OK"},
        {"<!DOCTYPE config [ <!ENTITY a 'x>'> ]", "Doctype at offset 0 unterminated", ""},
        {"<config><tc_ok>OK</tc_ok><x a='1' ", "Element tag at offset 25 unterminated", "OK"},
        {"<config><x a=1 <tc_ok>OK</tc_ok></config>", "Element tag at offset 8 unterminated", "OK"},
        {"<config></x <tc_ok>OK</tc_ok></config>", "Element end tag at offset 8 unterminated",
         "OK"},
        {"<config>< x/><tc_ok>OK</tc_ok></config>", "Incorrect tag name character at offset 9",
         "OK"},
        {"<config><!-x--><tc_ok>OK</tc_ok></config>", "Incorrect comment tag at offset 8", "OK"},
        {"<config><!FOO><tc_ok>OK</tc_ok></config>", "Incorrect ! tag at offset 8", "OK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.doc);
        XmlReader reader;
        reader.LoadBytes(c.doc);
        EXPECT_FALSE(reader.IsWellFormed());
        EXPECT_NE(reader.Result().find(c.expectedError), std::string::npos) << reader.Result();
        EXPECT_EQ(Lookup(reader, "config", "tc_ok"), c.expectedOk);
    }
}

TEST(XmlReaderParseTest, DeepAndUnbalancedDocumentsStayLinearAndBounded) {
    constexpr int kDepth = 100000;
    std::string opens;
    std::string closes;
    for (int i = 0; i < kDepth; ++i) {
        opens += "<a>";
        closes += "</a>";
    }
    XmlReader reader;
    reader.LoadBytes(opens + "x" + closes);
    EXPECT_TRUE(reader.IsWellFormed()) << reader.Result();

    // Every end tag fails to match and every element stays open: no quadratic search, no
    // unbounded result text.
    std::string unmatched;
    for (int i = 0; i < kDepth; ++i) unmatched += "</b>";
    reader.LoadBytes(opens + unmatched);
    EXPECT_FALSE(reader.IsWellFormed());
    EXPECT_LT(reader.Result().size(), 20000u);
    reader.Reset();
    EXPECT_TRUE(reader.FindElem("a"));
}

TEST(XmlReaderFileTest, LoadReadsFilesAndRejectsMissingOrOversizedOnes) {
    test::TempDir dir;
    test::WriteText(dir / "text.xml", "<config><tc_ok>OK</tc_ok></config>");
    XmlReader reader;
    ASSERT_TRUE(reader.Load(dir / "text.xml"));
    EXPECT_EQ(Lookup(reader, "config", "tc_ok"), "OK");

    EXPECT_FALSE(reader.Load(dir / "missing.xml"));
    EXPECT_EQ(Lookup(reader, "config", "tc_ok"), "");

    std::string huge = "<config><tc_ok>OK</tc_ok></config>";
    huge.resize(kMaxXmlFileBytes + 1, ' ');
    test::WriteText(dir / "huge.xml", huge);
    EXPECT_FALSE(reader.Load(dir / "huge.xml"));
    EXPECT_EQ(Lookup(reader, "config", "tc_ok"), "");
}

}  // namespace
}  // namespace vantor
