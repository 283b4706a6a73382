// Faults the fuzz targets found, one test each, named after the fault. The
// inputs that found them are replayed too (inputs/<target>/).
#include "localisation/Translator.h"
#include "tests/files/FileTestSupport.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <string>

namespace psykrona {
namespace {

// libxml2 keeps a namespace declaration's value escaped ("&#38;" for "&");
// taken as it was, every read and write doubled the escape.
TEST(FuzzFindings, NamespaceUriWithAmpersandReadsAsWrittenAndStaysAsItIs) {
    const std::string Xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY e \"E\">]>\n"
                            "<r xmlns=\"&amp;\" xmlns:p=\"a&#38;b&lt;&e;\" q=\"&amp;\"/>";
    const auto Doc = TXmlParser::Parse(Xml, "ns.xml");
    const TXmlElement& Root = *Doc->DocumentElement();
    ASSERT_NE(Root.GetAttribute("xmlns"), nullptr);
    EXPECT_EQ(*Root.GetAttribute("xmlns"), "&");
    EXPECT_EQ(*Root.GetAttribute("xmlns:p"), "a&b<E");
    const std::string Written = Doc->WriteToString();
    EXPECT_EQ(Written, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                       "<!DOCTYPE r [<!ENTITY e \"E\">]>\r\n"
                       "<r xmlns=\"&#38;\" xmlns:p=\"a&#38;b&#60;E\" q=\"&#38;\"></r>\r\n");
    EXPECT_EQ(TXmlParser::Parse(Written, "again.xml")->WriteToString(), Written);
}

// Not a fault of the program but of a check: keys are XML names, and
// "a:b:0c" is one, which a parser that knows namespaces refuses to read back.
// The texts live in memory only, and such a key loads and is found.
TEST(FuzzFindings, LanguageFileKeyThatNoNamespaceParserReadsLoadsAndIsFound) {
    TXmlDocument Translations("translations");
    TXmlElement& Language = Translations.DocumentElement()->AppendChild(Translations.CreateElement("en"));
    TTranslator::LoadLanguageText("[EG]\nTT:a:0b=text=more\n", "colons.lng", Translations, Language);
    const TXmlElement* Key = Language.FindChildElement("EG")->FindChildElement("TT:a:0b");
    ASSERT_NE(Key, nullptr);
    EXPECT_EQ(Key->TextContent(), "text=more");
    EXPECT_THROW((void)TXmlParser::Parse(Translations.WriteToString(), "colons.xml"), EXmlError);
}

// Nested entities, one of them referring to itself, expanded in an attribute
// value: libxml2 spent half a second (ten under the sanitizers) on 592 bytes
// before it gave up. The parser now stops at its lookup budget.
TEST(FuzzFindings, AnEntityLoopInAnAttributeIsRefusedAtItsLookupBudget) {
    const std::string Xml = test::ReadBytes(
        PSYKRONA_SOURCE_DIR "/tests/hardening/inputs/xml/entity-loop-expanded-in-an-attribute.xml");
    ASSERT_FALSE(Xml.empty());
    try {
        (void)TXmlParser::Parse(Xml, "loop.xml");
        FAIL() << "parsed";
    } catch (const EXmlError& E) {
        EXPECT_NE(std::string(E.what()).find("entity references expand"), std::string::npos) << E.what();
    }
    // Entities used as documents use them are untouched by the budget.
    const auto Doc = TXmlParser::Parse("<!DOCTYPE r [<!ENTITY e \"x\">]><r a=\"&e;&e;\">&e;</r>", "fine.xml");
    EXPECT_EQ(*Doc->DocumentElement()->GetAttribute("a"), "xx");
}

} // namespace
} // namespace psykrona
