// Tree operations of the XML document model: names, appending, moving and
// removing nodes, and the checks that keep a document writable.
#include "xml/DomImplementation.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlName.h"

#include <gtest/gtest.h>

#include <string>

namespace psykrona {
namespace {

TEST(XmlNameTest, AcceptsXmlNamesOnly) {
    const struct {
        const char* Name;
        bool Valid;
    } Cases[] = {
        {"translations", true},
        {"EDIT_POINT_DIALOG", true},
        {"_x", true},
        {"a-b.c9", true},
        {"ns:tag", true},
        {"\xC3\xA9l\xC3\xA9ment", true}, // élément
        {"sv", true},
        {"", false},
        {"1en", false},
        {"-a", false},
        {".a", false},
        {" KEY", false},
        {"KEY ", false},
        {"a b", false},
        {"a=b", false},
        {"a&b", false},
        {"\xC3", false},
        {"a\xFF", false},
        {"\xC0\xA0", false},     // overlong encoding of a space
        {"\xE2\x80\x8B", false}, // zero-width space, no name character
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(IsXmlName(C.Name), C.Valid) << '"' << C.Name << '"';
    }
}

TEST(XmlNodeTest, CreateElementRejectsInvalidNames) {
    TXmlDocument Doc("root");
    EXPECT_THROW(Doc.CreateElement(" TITLE"), EXmlError);
    EXPECT_THROW(Doc.CreateElement(""), EXmlError);
    EXPECT_THROW(TXmlDocument("no root"), EXmlError);
    TDomImplementation DomImpl;
    EXPECT_THROW(DomImpl.CreateDocument("1st"), EXmlError);
    EXPECT_EQ(DomImpl.DocumentCount(), 0u);
    EXPECT_EQ(DomImpl.CreateDocument("translations").DocumentElement()->NodeName(), "translations");
}

TEST(XmlNodeTest, NodesReportNameValueAndLinks) {
    TXmlDocument Doc("root");
    TXmlElement& Root = *Doc.DocumentElement();
    EXPECT_EQ(Root.ParentNode(), &Doc);
    TXmlElement& A = Root.AppendChild(Doc.CreateElement("a"));
    TXmlNode& T = Root.AppendChild(Doc.CreateTextNode("text"));
    TXmlElement& B = Root.AppendChild(Doc.CreateElement("B"));
    TXmlElement& A2 = Root.AppendChild(Doc.CreateElement("a"));

    EXPECT_EQ(Root.FirstChild(), &A);
    EXPECT_EQ(A.NextSibling(), &T);
    EXPECT_EQ(T.NextSibling(), &B);
    EXPECT_EQ(A2.NextSibling(), nullptr);
    EXPECT_EQ(A2.PreviousSibling(), &B);
    EXPECT_EQ(Root.LastChild(), &A2);
    EXPECT_EQ(T.NodeName(), "#text");
    EXPECT_EQ(T.NodeValue(), "text");
    EXPECT_FALSE(T.IsElement());
    EXPECT_TRUE(B.IsElement());
    EXPECT_EQ(B.NodeValue(), "");
    EXPECT_EQ(Root.FindChildElement("a"), &A);
    EXPECT_EQ(Root.FindChildElement("b"), nullptr) << "names compare exactly";
    EXPECT_EQ(Root.FindChildElement("B"), &B);
    EXPECT_EQ(A.FirstChild(), nullptr);
}

TEST(XmlNodeTest, AppendingMovesANodeAndRemovingUnlinksAll) {
    TXmlDocument Doc("root");
    TXmlElement& Root = *Doc.DocumentElement();
    TXmlElement& A = Root.AppendChild(Doc.CreateElement("a"));
    TXmlElement& B = Root.AppendChild(Doc.CreateElement("b"));
    TXmlNode& T = A.AppendChild(Doc.CreateTextNode("x"));

    B.AppendChild(T);
    EXPECT_EQ(A.FirstChild(), nullptr);
    EXPECT_EQ(A.LastChild(), nullptr);
    EXPECT_EQ(B.FirstChild(), &T);
    EXPECT_EQ(T.ParentNode(), &B);

    Root.AppendChild(A); // to the end
    EXPECT_EQ(Root.FirstChild(), &B);
    EXPECT_EQ(B.NextSibling(), &A);
    EXPECT_EQ(A.PreviousSibling(), &B);

    Root.RemoveAllChildren();
    EXPECT_EQ(Root.FirstChild(), nullptr);
    EXPECT_EQ(A.ParentNode(), nullptr);
    EXPECT_EQ(B.NextSibling(), nullptr);
    // A removed node is still usable and can come back.
    Root.AppendChild(B);
    EXPECT_EQ(Root.FirstChild()->FirstChild()->NodeValue(), "x");
}

TEST(XmlNodeTest, RefusesAppendsThatBreakTheTree) {
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
    EXPECT_THROW(A.AppendChild(static_cast<TXmlNode&>(Doc)), EXmlError);
    // Nothing moved.
    EXPECT_EQ(B.ParentNode(), &A);
    EXPECT_EQ(A.ParentNode(), &Root);
    EXPECT_EQ(Doc.FirstChild(), &Root);
    EXPECT_EQ(Doc.LastChild(), &Root);
    EXPECT_NO_THROW(Doc.AppendChild(Doc.CreateComment(" after ")));
}

TEST(XmlNodeTest, CommentsAndInstructionsThatCannotBeWrittenAreRefused) {
    TXmlDocument Doc("root");
    EXPECT_THROW(Doc.CreateComment("a--b"), EXmlError);
    EXPECT_THROW(Doc.CreateComment("ends-"), EXmlError);
    EXPECT_THROW(Doc.CreateProcessingInstruction("xML", ""), EXmlError);
    EXPECT_THROW(Doc.CreateProcessingInstruction("pi", "a?>b"), EXmlError);
    TXmlNode& C = Doc.CreateComment("fine");
    EXPECT_THROW(C.SetNodeValue("--"), EXmlError);
    EXPECT_EQ(C.NodeValue(), "fine");
    EXPECT_THROW(Doc.DocumentElement()->SetNodeValue("x"), EXmlError);
}

TEST(XmlNodeTest, TextContentJoinsDescendantTextInOrder) {
    TXmlDocument Doc("root");
    TXmlElement& Root = *Doc.DocumentElement();
    Root.AppendChild(Doc.CreateTextNode("a"));
    TXmlElement& E = Root.AppendChild(Doc.CreateElement("e"));
    E.AppendChild(Doc.CreateTextNode("b"));
    E.AppendChild(Doc.CreateComment("not text"));
    Root.AppendChild(Doc.CreateTextNode("c"));
    EXPECT_EQ(Root.TextContent(), "abc");
    EXPECT_EQ(E.TextContent(), "b");
    EXPECT_EQ(Root.AppendChild(Doc.CreateElement("empty")).TextContent(), "");
}

TEST(XmlNodeTest, DeepTreesNeedNoRecursion) {
    TXmlDocument Doc("root");
    TXmlNode* N = Doc.DocumentElement();
    const int Depth = 200000;
    for (int I = 0; I < Depth; ++I) {
        N = &N->AppendChild(Doc.CreateElement("d"));
    }
    N->AppendChild(Doc.CreateTextNode("deep"));
    EXPECT_EQ(Doc.TextContent(), "deep");
    const std::string Bytes = Doc.WriteToString();
    EXPECT_EQ(Bytes.size(), 38 + 2 + 13 + Depth * 7 + 4 + 2);
}

TEST(DomImplementationTest, OwnsAndFreesDocuments) {
    TDomImplementation DomImpl;
    TXmlDocument& A = DomImpl.CreateDocument("a");
    TXmlDocument& B = DomImpl.CreateDocument("b");
    EXPECT_EQ(DomImpl.DocumentCount(), 2u);
    DomImpl.FreeDocument(A);
    EXPECT_EQ(DomImpl.DocumentCount(), 1u);
    TXmlDocument Foreign("f");
    DomImpl.FreeDocument(Foreign);
    EXPECT_EQ(DomImpl.DocumentCount(), 1u);
    EXPECT_EQ(B.DocumentElement()->NodeName(), "b");
}

} // namespace
} // namespace psykrona
