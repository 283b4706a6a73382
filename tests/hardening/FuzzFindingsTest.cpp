// Faults the fuzz targets found, one test each, named after the fault. The
// inputs that found them are replayed too (inputs/<target>/).
#include "xml/XmlDocument.h"
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
                       "<r xmlns=\"&#38;\" xmlns:p=\"a&#38;b&#60;E\" q=\"&#38;\"></r>\r\n");
    EXPECT_EQ(TXmlParser::Parse(Written, "again.xml")->WriteToString(), Written);
}

} // namespace
} // namespace psykrona
