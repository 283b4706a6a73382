// The parser: what it keeps, what it refuses, and that hostile input ends in
// an EXmlError rather than a crash, a hang or a file read behind our back.
#include "xml/DomImplementation.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"

#include "tests/xml/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace psykrona {
namespace {

std::vector<std::string> ChildNames(const TXmlNode& Parent) {
    std::vector<std::string> Names;
    for (const TXmlNode* N = Parent.FirstChild(); N; N = N->NextSibling()) {
        Names.push_back(N->NodeName());
    }
    return Names;
}

TEST(XmlParserTest, KeepsWhitespaceTextAndComments) {
    const auto Doc = TXmlParser::Parse("<?xml version=\"1.0\"?>\n<!--top-->\n<r>\n  <a>x</a>\n  <!--c-->"
                                       "<b> </b><c/></r>",
                                       "");
    EXPECT_EQ(ChildNames(*Doc), (std::vector<std::string>{"#comment", "r"}));
    const TXmlElement& R = *Doc->DocumentElement();
    EXPECT_EQ(ChildNames(R), (std::vector<std::string>{"#text", "a", "#text", "#comment", "b", "c"}));
    EXPECT_EQ(R.FirstChild()->NodeValue(), "\n  ");
    EXPECT_EQ(R.FindChildElement("b")->FirstChild()->NodeValue(), " ");
    EXPECT_EQ(R.FindChildElement("c")->FirstChild(), nullptr);
    EXPECT_EQ(Doc->FirstChild()->NodeValue(), "top");
}

TEST(XmlParserTest, ReplacesInternalEntitiesAndJoinsTheText) {
    const auto Doc =
        TXmlParser::Parse("<!DOCTYPE r [<!ENTITY who \"W&#246;rld\"><!ENTITY el \"<i>&who;</i>\">]>"
                          "<r a=\"&who;!\">Hello &who; &amp; <![CDATA[<cdata>]]>!&el;</r>",
                          "");
    const TXmlElement& R = *Doc->DocumentElement();
    EXPECT_EQ(R.FirstChild()->NodeValue(), "Hello W\xC3\xB6rld & <cdata>!");
    EXPECT_EQ(ChildNames(R), (std::vector<std::string>{"#text", "i"}));
    EXPECT_EQ(R.FindChildElement("i")->TextContent(), "W\xC3\xB6rld");
    EXPECT_EQ(*R.GetAttribute("a"), "W\xC3\xB6rld!");
    EXPECT_EQ(Doc->WriteToString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                    "<r a=\"W\xC3\xB6rld!\">Hello W\xC3\xB6rld &#38; &#60;cdata&#62;!"
                                    "<i>W\xC3\xB6rld</i></r>\r\n");
}

TEST(XmlParserTest, KeepsNamespacePrefixesAndDeclarations) {
    const std::string Input = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                              "<p:r xmlns:p=\"urn:p\" xmlns=\"urn:d\" p:a=\"1\"><p:x></p:x><y></y></p:r>\r\n";
    const auto Doc = TXmlParser::Parse(Input, "");
    EXPECT_EQ(Doc->DocumentElement()->NodeName(), "p:r");
    EXPECT_NE(Doc->DocumentElement()->FindChildElement("p:x"), nullptr);
    EXPECT_EQ(Doc->WriteToString(), Input);
}

TEST(XmlParserTest, NotWellFormedInputFailsWithItsLine) {
    try {
        TXmlParser::Parse("<r>\n<a>\n</b>\n</r>", "broken.xml");
        FAIL() << "no error";
    } catch (const EXmlError& E) {
        const std::string Message = E.what();
        EXPECT_NE(Message.find("\"broken.xml\" is not well-formed XML"), std::string::npos) << Message;
        EXPECT_NE(Message.find("line 3"), std::string::npos) << Message;
    }
    const char* Bad[] = {
        "",
        "   ",
        "plain text",
        "<r>",
        "<r></R>",
        "<r a='1' a='2'/>",
        "<r>&undefined;</r>",
        "<r/><second/>",
        "<?xml version=\"1.0\" encoding=\"no-such-encoding\"?><r/>",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\xC3</r>",
        "<r>\x01</r>",
        "\xFF\xFE<",
    };
    for (const char* Input : Bad) {
        EXPECT_THROW(TXmlParser::Parse(Input, "x.xml"), EXmlError) << '"' << Input << '"';
    }
}

TEST(XmlParserTest, ReportsNothingOnTheConsole) {
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_THROW(TXmlParser::Parse("<r><a></r>", ""), EXmlError);
    EXPECT_THROW(TXmlParser::Parse("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>\xC3</r>", ""), EXmlError);
    EXPECT_THROW(TXmlParser::Parse("<?xml version=\"1.0\" encoding=\"bogus\"?><r/>", ""), EXmlError);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(XmlParserTest, ReadsNoExternalEntityOrDtd) {
    test::TTempFolder Folder;
    Folder.Write("secret.txt", "SECRET");
    Folder.Write("defaults.dtd", "<!ATTLIST r a CDATA \"SECRET\"><!ENTITY e \"SECRET\">");
    const std::string Url = "file://" + Folder.File("secret.txt");
    // Entity content from a file would be a leak; the parse must fail
    // without the file's content in the message.
    try {
        TXmlParser::Parse("<!DOCTYPE r [<!ENTITY x SYSTEM \"" + Url + "\">]><r>&x;</r>", "");
        FAIL() << "an external entity was accepted";
    } catch (const EXmlError& E) {
        EXPECT_EQ(std::string(E.what()).find("SECRET"), std::string::npos);
    }
    // An external DTD is not read, so neither its default attribute nor its
    // parameter entities arrive.
    const auto Doc = TXmlParser::Parse("<!DOCTYPE r SYSTEM \"" + Folder.File("defaults.dtd") + "\"><r/>", "");
    EXPECT_EQ(Doc->DocumentElement()->GetAttribute("a"), nullptr);
    const auto Pe = TXmlParser::Parse(
        "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + Folder.File("defaults.dtd") + "\"> %p;]><r/>", "");
    EXPECT_EQ(Pe->DocumentElement()->GetAttribute("a"), nullptr);
    EXPECT_EQ(Pe->WriteToString().find("SECRET"), std::string::npos);
}

TEST(XmlParserTest, ExponentialEntitiesFailQuickly) {
    std::string Dtd = "<!DOCTYPE r [<!ENTITY a0 \"laughlaughlaughlaugh\">";
    for (int I = 1; I <= 12; ++I) {
        const std::string Prev = "&a" + std::to_string(I - 1) + ";";
        std::string Ten;
        for (int J = 0; J < 10; ++J) {
            Ten += Prev;
        }
        Dtd += "<!ENTITY a" + std::to_string(I) + " \"" + Ten + "\">";
    }
    Dtd += "]>";
    EXPECT_THROW(TXmlParser::Parse(Dtd + "<r>&a12;</r>", ""), EXmlError);
    EXPECT_THROW(TXmlParser::Parse(Dtd + "<r a=\"&a12;\"/>", ""), EXmlError);
}

TEST(XmlParserTest, DeepNestingFailsWithoutCrashing) {
    const auto Nested = [](int Depth) {
        std::string S;
        for (int I = 0; I < Depth; ++I) {
            S += "<d>";
        }
        for (int I = 0; I < Depth; ++I) {
            S += "</d>";
        }
        return S;
    };
    const auto Doc = TXmlParser::Parse(Nested(200), "");
    int Depth = 0;
    for (const TXmlNode* N = Doc->DocumentElement(); N; N = N->FirstChild()) {
        ++Depth;
    }
    EXPECT_EQ(Depth, 200);
    EXPECT_THROW(TXmlParser::Parse(Nested(100000), ""), EXmlError);
}

TEST(XmlParserTest, ParseFileNeedsAFactoryAndAReadableFile) {
    test::TTempFolder Folder;
    Folder.Write("a.xml", "<a>1</a>");
    TDomImplementation DomImpl;
    const TXmlParser Unbound;
    EXPECT_THROW(Unbound.ParseFile(Folder.File("a.xml")), EXmlError);

    const TXmlParser Parser(DomImpl);
    TXmlDocument& Doc = Parser.ParseFile(Folder.File("a.xml"));
    EXPECT_EQ(Doc.DocumentElement()->TextContent(), "1");
    EXPECT_EQ(DomImpl.DocumentCount(), 1u);
    EXPECT_THROW(Parser.ParseFile(Folder.File("missing.xml")), EXmlFileError);
    EXPECT_THROW(Parser.ParseFile(Folder.Dir()), EXmlFileError);
    EXPECT_EQ(DomImpl.DocumentCount(), 1u);
}

} // namespace
} // namespace psykrona
