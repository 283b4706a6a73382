// The document model's tree: names, moves, and the checks that keep a
// document writable.
#include "xml/DomImplementation.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlName.h"

#include <gtest/gtest.h>

namespace psykrona {
namespace {

TEST(XmlNodeTest, AcceptsXmlNamesOnly) {
    for (const char* Name : {"translations", "_x", "a-b.c9", "ns:tag", "\xC3\xA9l\xC3\xA9ment"}) {
        EXPECT_TRUE(IsXmlName(Name)) << Name;
    }
    for (const char* Name : {"", "1en", "-a", " KEY", "a b", "a&b", "\xC3", "a\xFF", "\xC0\xA0", "\xE2\x80\x8B"}) {
        EXPECT_FALSE(IsXmlName(Name)) << Name;
        EXPECT_THROW(TXmlDocument D(Name), EXmlError) << Name;
    }
}

// What would make a tree that cannot be written is refused and moves nothing.
TEST(XmlNodeTest, RefusesWhatBreaksTheTree) {
    TXmlDocument Doc("root");
    TXmlDocument Other("other");
    TXmlElement& Root = *Doc.DocumentElement();
    TXmlElement& A = Root.AppendChild(Doc.CreateElement("a"));
    TXmlElement& B = A.AppendChild(Doc.CreateElement("b"));
    TXmlNode& T = B.AppendChild(Doc.CreateTextNode("t"));
    EXPECT_THROW(B.AppendChild(A), EXmlError) << "a cycle";
    EXPECT_THROW(A.AppendChild(A), EXmlError);
    EXPECT_THROW(T.AppendChild(Doc.CreateTextNode("u")), EXmlError);
    EXPECT_THROW(Root.AppendChild(Other.CreateElement("x")), EXmlError);
    EXPECT_THROW(Doc.AppendChild(Doc.CreateElement("second")), EXmlError);
    EXPECT_THROW(Doc.AppendChild(Doc.CreateTextNode("loose")), EXmlError);
    EXPECT_THROW(Doc.CreateComment("a--b"), EXmlError);
    EXPECT_THROW(Doc.CreateComment("ends-"), EXmlError);
    EXPECT_THROW(Doc.CreateProcessingInstruction("xML", ""), EXmlError);
    EXPECT_THROW(Doc.CreateProcessingInstruction("pi", "a?>b"), EXmlError);
    EXPECT_THROW(Root.SetNodeValue("x"), EXmlError);
    EXPECT_EQ(Doc.WriteToString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<root><a><b>t</b></a></root>\r\n");
}

} // namespace
} // namespace psykrona
