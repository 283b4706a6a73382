// Byte-exact output of the writer: parsed documents written back, documents
// built in code, and documents read in other encodings rewritten as UTF-8.
// Expected bytes are spelled out in full; CR LF is always "\r\n".
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <string>

namespace psykrona {
namespace {

using namespace std::string_literals;

std::string Rewrite(const std::string& Bytes) {
    return TXmlParser::Parse(Bytes, "test.xml")->WriteToString();
}

TEST(XmlWriterTest, ParsedDocumentIsWrittenBackByTheRules) {
    const std::string Input = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                              "<!-- the list -->\n"
                              "<root>\n"
                              "  <a x=\"1 &amp; 2\">Tom &amp; Jerry &lt;3 &gt; 'q' \"d\"</a>\n"
                              "  <empty/><empty2></empty2>\n"
                              "\t<b>one\r\ntwo&#13;three\tfour</b>\n"
                              "  <c><![CDATA[<x> & y]]></c>\n"
                              "</root>\n"
                              "<?after pi data?>\n";
    const std::string Expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<!-- the list -->\r\n"
        "<root>\r\n"
        "  <a x=\"1 &#38; 2\">Tom &#38; Jerry &#60;3 &#62; &#39;q&#39; &#34;d&#34;</a>\r\n"
        "  <empty></empty><empty2></empty2>\r\n"
        "\t<b>one\r\ntwo\rthree\tfour</b>\r\n"
        "  <c>&#60;x&#62; &#38; y</c>\r\n"
        "</root>\r\n"
        "<?after pi data?>\r\n";
    EXPECT_EQ(Rewrite(Input), Expected);
    // Read back, the lone CR is a line end like any other (XML reads every
    // CR as LF), so only it changes when the output is rewritten.
    std::string Again = Expected;
    Again.replace(Again.find("two\rthree"), 9, "two\r\nthree");
    EXPECT_EQ(Rewrite(Expected), Again);
}

TEST(XmlWriterTest, DeclarationKeepsVersionAndStandaloneOnlyWhenParsed) {
    const struct {
        const char* Input;
        const char* Declaration;
    } Cases[] = {
        {"<r/>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"},
        {"<?xml version='1.0'?><r/>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"},
        {"<?xml version=\"1.1\" encoding=\"ISO-8859-1\"?><r/>",
         "<?xml version=\"1.1\" encoding=\"UTF-8\"?>\r\n"},
        {"<?xml version=\"1.0\" standalone=\"yes\"?><r/>",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\" standalone='no'?><r/>",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(Rewrite(C.Input), std::string(C.Declaration) + "<r></r>\r\n") << C.Input;
    }
}

TEST(XmlWriterTest, BuiltDocumentLeavesOutWhatXmlCannotHold) {
    TXmlDocument Doc("psykrona");
    TXmlElement& Root = *Doc.DocumentElement();
    TXmlElement& Name = Root.AppendChild(Doc.CreateElement("name"));
    // NUL, BEL, ESC, U+FFFE, U+FFFF left out; DEL and U+FFFD kept; a stray
    // byte that is no UTF-8 becomes U+FFFD.
    Name.AppendChild(Doc.CreateTextNode("a\0b\x07"
                                        "c\x1B"
                                        "d\xEF\xBF\xBE"
                                        "e\xEF\xBF\xBF"
                                        "f\x7Fg\xEF\xBF\xBDh\xE9i\n"s));
    Root.AppendChild(Doc.CreateElement("empty"));
    TXmlElement& Attr = Root.AppendChild(Doc.CreateElement("attr"));
    Attr.SetAttribute("v", "a\tb\nc\rd<\"'&>");
    Doc.AppendChild(Doc.CreateComment("a-\x01-b"));
    EXPECT_EQ(Doc.WriteToString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                   "<psykrona><name>abcdef\x7Fg\xEF\xBF\xBDh\xEF\xBF\xBDi\r\n</name>"
                                   "<empty></empty>"
                                   "<attr v=\"a&#9;b&#10;c&#13;d&#60;&#34;&#39;&#38;&#62;\"></attr>"
                                   "</psykrona>\r\n"
                                   "<!--a- -b-->\r\n");
}

TEST(XmlWriterTest, WrittenAttributesAndCommentsReadBackUnchanged) {
    TXmlDocument Doc("r");
    Doc.DocumentElement()->SetAttribute("v", "line1\nline2\ttab\r");
    Doc.AppendChild(Doc.CreateComment("-a"));
    const auto Back = TXmlParser::Parse(Doc.WriteToString(), "");
    EXPECT_EQ(*Back->DocumentElement()->GetAttribute("v"), "line1\nline2\ttab\r");
    EXPECT_EQ(Back->LastChild()->NodeValue(), "-a");
}

// A language list as an editor on another system would have saved it.
std::string LanguageList(const std::string& Encoding, const std::string& SecondName) {
    return "<?xml version=\"1.0\" encoding=\"" + Encoding +
           "\"?>\n<languages-file>\n  <default><language>en</language></default>\n"
           "  <languages>\n"
           "    <language><code>en</code><name>English</name><file>English.lng</file></language>\n"
           "    <language><code>x</code><name>" +
           SecondName +
           "</name><file>x.lng</file></language>\n"
           "  </languages>\n</languages-file>\n";
}

std::string Utf16(const std::string& Ascii, bool BigEndian, std::u16string_view Extra = u"") {
    std::string Out = BigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const auto Put = [&](char16_t C) {
        const char Hi = static_cast<char>(C >> 8);
        const char Lo = static_cast<char>(C & 0xFF);
        Out += BigEndian ? Hi : Lo;
        Out += BigEndian ? Lo : Hi;
    };
    for (const char C : Ascii) {
        if (C == '@') {
            for (const char16_t E : Extra) {
                Put(E);
            }
        } else {
            Put(static_cast<unsigned char>(C));
        }
    }
    return Out;
}

TEST(XmlWriterTest, Windows1252LanguageListIsRewrittenAsUtf8) {
    // "Français €" in Windows-1252: ç is E7, the euro sign 80.
    const std::string Input = LanguageList("windows-1252", "Fran\xE7"
                                                           "ais \x80");
    const std::string Expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<languages-file>\r\n"
                                 "  <default><language>en</language></default>\r\n"
                                 "  <languages>\r\n"
                                 "    <language><code>en</code><name>English</name><file>English.lng</file>"
                                 "</language>\r\n"
                                 "    <language><code>x</code><name>Fran\xC3\xA7"
                                 "ais \xE2\x82\xAC</name>"
                                 "<file>x.lng</file></language>\r\n"
                                 "  </languages>\r\n</languages-file>\r\n";
    EXPECT_EQ(Rewrite(Input), Expected);
}

TEST(XmlWriterTest, Utf16LanguageListIsRewrittenAsUtf8) {
    // "Magyar ő" and a character outside the basic plane (U+1F600, a
    // surrogate pair in UTF-16).
    const std::u16string Extra = u"Magyar \u0151 \U0001F600";
    const std::string Expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<languages-file>\r\n"
                                 "  <default><language>en</language></default>\r\n"
                                 "  <languages>\r\n"
                                 "    <language><code>en</code><name>English</name><file>English.lng</file>"
                                 "</language>\r\n"
                                 "    <language><code>x</code><name>Magyar \xC5\x91 \xF0\x9F\x98\x80</name>"
                                 "<file>x.lng</file></language>\r\n"
                                 "  </languages>\r\n</languages-file>\r\n";
    for (const bool BigEndian : {false, true}) {
        EXPECT_EQ(Rewrite(Utf16(LanguageList("UTF-16", "@"), BigEndian, Extra)), Expected) << BigEndian;
    }
}

TEST(XmlWriterTest, EightBitEncodingsAreDecoded) {
    // One characteristic byte per code page and its character in UTF-8.
    const struct {
        const char* Encoding;
        char Byte;
        const char* Utf8;
    } Cases[] = {
        {"ISO-8859-1", '\xE9', "\xC3\xA9"},      {"ISO-8859-2", '\xF5', "\xC5\x91"},
        {"ISO-8859-3", '\xA1', "\xC4\xA6"},      {"ISO-8859-4", '\xA2', "\xC4\xB8"},
        {"ISO-8859-5", '\xD0', "\xD0\xB0"},      {"ISO-8859-6", '\xC7', "\xD8\xA7"},
        {"ISO-8859-7", '\xE1', "\xCE\xB1"},      {"ISO-8859-8", '\xE0', "\xD7\x90"},
        {"ISO-8859-9", '\xF0', "\xC4\x9F"},      {"ISO-8859-10", '\xA1', "\xC4\x84"},
        {"ISO-8859-13", '\xE0', "\xC4\x85"},     {"ISO-8859-14", '\xA1', "\xE1\xB8\x82"},
        {"ISO-8859-15", '\xA4', "\xE2\x82\xAC"}, {"windows-1250", '\x8A', "\xC5\xA0"},
        {"Windows-1251", '\xC0', "\xD0\x90"},    {"WINDOWS-1252", '\x80', "\xE2\x82\xAC"},
    };
    for (const auto& C : Cases) {
        const std::string Input =
            std::string("<?xml version=\"1.0\" encoding=\"") + C.Encoding + "\"?><t>" + C.Byte + "</t>";
        EXPECT_EQ(Rewrite(Input),
                  std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<t>") + C.Utf8 + "</t>\r\n")
            << C.Encoding;
    }
}

} // namespace
} // namespace psykrona
