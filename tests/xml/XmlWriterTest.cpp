// The document model's names, and the writer's bytes for parsed documents
// in any encoding and for a built one that holds what XML cannot.
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlName.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace psykrona {
namespace {

using namespace std::string_literals;
const std::string KDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

std::string Rewrite(const std::string& Bytes) {
    return TXmlParser::Parse(Bytes, "test.xml")->WriteToString();
}

// NUL, BEL, ESC, U+FFFE and U+FFFF left out; DEL and U+FFFD kept; a byte
// that is no UTF-8 becomes U+FFFD; what is written reads back the same.
TEST(XmlWriterTest, BuiltDocumentLeavesOutWhatXmlCannotHold) {
    TXmlDocument Doc("psykrona");
    TXmlElement& Root = *Doc.DocumentElement();
    Root.AppendChild(Doc.CreateTextNode("a\0b\x07" "c\x1B" "d\xEF\xBF\xBE" "e\xEF\xBF\xBF" "f\x7Fg\xEF\xBF\xBDh\xE9i\n"s));
    Root.SetAttribute("v", "a\tb\nc\rd<\"'&>");
    Doc.AppendChild(Doc.CreateComment("a-\x01-b"));
    const std::string Bytes = Doc.WriteToString();
    EXPECT_EQ(Bytes, KDeclaration + "<psykrona v=\"a&#9;b&#10;c&#13;d&#60;&#34;&#39;&#38;&#62;\">"
                                    "abcdef\x7Fg\xEF\xBF\xBDh\xEF\xBF\xBDi\r\n</psykrona>\r\n<!--a- -b-->\r\n");
    EXPECT_EQ(*TXmlParser::Parse(Bytes, "")->DocumentElement()->GetAttribute("v"), "a\tb\nc\rd<\"'&>");
}

std::string Utf16(const std::string& Ascii, bool BigEndian) {
    std::string Out = BigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char C : Ascii) {
        Out += BigEndian ? "\0"s + C : C + "\0"s;
    }
    return Out;
}

// Parsed and written again: the writer's rules (references for markup and
// quotes, CRLF line ends, empty elements opened and closed, CDATA as text),
// and each encoding a file may declare, with a byte characteristic of it,
// rewritten as UTF-8.
TEST(XmlWriterTest, ParsedDocumentsAreWrittenBackByTheRulesInUtf8) {
    const std::string Input = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- the list -->\n<root>\n"
                              "  <a x=\"1 &amp; 2\">Tom &amp; Jerry &lt;3 &gt; 'q' \"d\"</a>\n"
                              "  <empty/><empty2></empty2>\n\t<b>one\r\ntwo&#13;three\tfour</b>\n"
                              "  <c><![CDATA[<x> & y]]></c>\n</root>\n<?after pi data?>\n";
    const std::string Expected =
        KDeclaration + "<!-- the list -->\r\n<root>\r\n"
        "  <a x=\"1 &#38; 2\">Tom &#38; Jerry &#60;3 &#62; &#39;q&#39; &#34;d&#34;</a>\r\n"
        "  <empty></empty><empty2></empty2>\r\n\t<b>one\r\ntwo\rthree\tfour</b>\r\n"
        "  <c>&#60;x&#62; &#38; y</c>\r\n</root>\r\n<?after pi data?>\r\n";
    std::string Again = Expected; // read back, the lone CR is a line end like any other
    Again.replace(Again.find("two\rthree"), 9, "two\r\nthree");
    std::vector<std::pair<std::string, std::string>> Rows = {
        {Input, Expected},
        {Expected, Again},
        {"<?xml version='1.1' encoding='ISO-8859-1'?><r/>", "<?xml version=\"1.1\" encoding=\"UTF-8\"?>\r\n<r></r>\r\n"},
        {"<?xml version=\"1.0\" standalone='no'?><r/>",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n<r></r>\r\n"}};
    for (const auto& [Encoding, Byte, Utf8] : std::initializer_list<std::array<std::string, 3>>{
             {"ISO-8859-1", "\xE9", "\xC3\xA9"}, {"ISO-8859-5", "\xD0", "\xD0\xB0"}, {"windows-1250", "\x8A", "\xC5\xA0"},
             {"WINDOWS-1252", "\x80\xE7", "\xE2\x82\xAC\xC3\xA7"}}) {
        Rows.push_back({"<?xml version=\"1.0\" encoding=\"" + Encoding + "\"?>\n<t>" + Byte + "</t>",
                        KDeclaration + "<t>" + Utf8 + "</t>\r\n"});
    }
    // UTF-16 either way round, with "ő" and a surrogate pair (U+1F600).
    for (const bool BigEndian : {false, true}) {
        std::string In = Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<t>@</t>", BigEndian);
        In.replace(In.find(BigEndian ? "\0@"s : "@\0"s), 2,
                   BigEndian ? "\x01\x51\xD8\x3D\xDE\x00"s : "\x51\x01\x3D\xD8\x00\xDE"s);
        Rows.push_back({In, KDeclaration + "<t>\xC5\x91\xF0\x9F\x98\x80</t>\r\n"});
    }
    for (const auto& [In, Out] : Rows) {
        EXPECT_EQ(Rewrite(In), Out) << In;
    }
}

// Names come from language files too: only XML names make an element.
TEST(XmlNodeTest, AcceptsXmlNamesOnly) {
    for (const char* Name : {"translations", "_x", "a-b.c9", "ns:tag", "\xC3\xA9l\xC3\xA9ment"}) {
        EXPECT_TRUE(IsXmlName(Name)) << Name;
    }
    for (const char* Name : {"", "1en", "-a", " KEY", "a b", "a&b", "\xC3", "a\xFF", "\xC0\xA0", "\xE2\x80\x8B"}) {
        EXPECT_FALSE(IsXmlName(Name)) << Name;
        EXPECT_THROW(TXmlDocument D(Name), EXmlError) << Name;
    }
}

} // namespace
} // namespace psykrona
