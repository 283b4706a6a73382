// The parser: what it keeps, what it refuses, and that hostile input ends in
// an EXmlError rather than a crash, a hang or a file read behind our back.
#include "files/MollierFileHandling.h"
#include "xml/DomImplementation.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"
#include "xml/XmlPullReader.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <libxml/xmlmemory.h>

#include <cstdlib>
#include <cstring>
#include <random>
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
                                    "<!DOCTYPE r [<!ENTITY who \"W&#246;rld\"><!ENTITY el \"<i>&who;</i>\">]>\r\n"
                                    "<r a=\"W\xC3\xB6rld!\">Hello W\xC3\xB6rld &#38; &#60;cdata&#62;!"
                                    "<i>W\xC3\xB6rld</i></r>\r\n");
}

// The nodes inside the root element as the pull reader gives them, one
// line each: kind, depth, name or text.
std::vector<std::string> PullEvents(const std::string& Xml) {
    std::vector<std::string> Events;
    TXmlPullReader Reader(Xml, "random.xml");
    for (TXmlPullReader::TEvent E = Reader.Next(); E != TXmlPullReader::TEvent::End; E = Reader.Next()) {
        const std::string Depth = std::to_string(Reader.Depth());
        switch (E) {
        case TXmlPullReader::TEvent::StartElement: Events.push_back("<" + Depth + std::string(Reader.Name())); break;
        case TXmlPullReader::TEvent::EndElement: Events.push_back(">" + Depth + std::string(Reader.Name())); break;
        case TXmlPullReader::TEvent::Text: Events.push_back("T" + Depth + std::string(Reader.Value())); break;
        case TXmlPullReader::TEvent::Comment: Events.push_back("C" + Depth + std::string(Reader.Value())); break;
        default: break;
        }
    }
    return Events;
}

// The same from the document model's tree.
void ModelEvents(const TXmlNode& N, int Depth, std::vector<std::string>& Events) {
    const std::string D = std::to_string(Depth);
    if (N.IsElement()) {
        Events.push_back("<" + D + N.NodeName());
        for (const TXmlNode* C = N.FirstChild(); C; C = C->NextSibling()) {
            ModelEvents(*C, Depth + 1, Events);
        }
        Events.push_back(">" + D + N.NodeName());
    } else if (N.NodeType() == TXmlNodeType::Text) {
        Events.push_back("T" + D + N.NodeValue());
    } else if (N.NodeType() == TXmlNodeType::Comment) {
        Events.push_back("C" + D + N.NodeValue());
    }
}

// Random content: text, character references, CDATA, comments, nested and
// empty elements, and references to the entities declared before (Refs).
std::string RandomContent(std::mt19937& Rng, int Refs, int Depth) {
    const auto Pick = [&](int N) { return static_cast<int>(Rng() % static_cast<unsigned>(N)); };
    std::string S;
    for (int I = Pick(5); I >= 0; --I) {
        switch (Pick(Depth < 3 ? 7 : 5)) {
        case 0: S += std::string(" ab\n", 1 + Pick(4)); break;
        case 1: S += "&amp;x&#246;"; break;
        case 2: S += "<![CDATA[c<]]>"; break;
        case 3: S += "<!--k-->"; break;
        case 4:
            if (Refs > 0) {
                S += "&e" + std::to_string(Pick(Refs)) + ";";
            }
            break;
        case 5: S += "<y/>"; break;
        default: S += "<x>" + RandomContent(Rng, Refs, Depth + 1) + "</x>"; break;
        }
    }
    return S;
}

// The project reader streams where the document model builds a tree; both
// must see the same document, internal entities replaced and the text
// around them joined.
TEST(XmlParserTest, PullReaderAndDocumentModelReadEntitiesAlike) {
    const unsigned Seed = 20261206;
    std::mt19937 Rng(Seed);
    for (int Round = 0; Round < 300; ++Round) {
        std::string Xml = "<!DOCTYPE r [";
        const int Entities = static_cast<int>(Rng() % 4);
        for (int E = 0; E < Entities; ++E) {
            Xml += "<!ENTITY e" + std::to_string(E) + " '" + RandomContent(Rng, E, 1) + "'>";
        }
        Xml += "]><r>" + RandomContent(Rng, Entities, 0) + "</r>";
        std::vector<std::string> Expected;
        ModelEvents(*TXmlParser::Parse(Xml, "")->DocumentElement(), 0, Expected);
        ASSERT_EQ(PullEvents(Xml), Expected) << "seed " << Seed << ", round " << Round << ": " << Xml;
    }

    // The same through the project reader, with the values the document
    // model gives.
    const std::string Project =
        "<!DOCTYPE psykrona [<!ENTITY n \" ent \"><!ENTITY t \"21.5\">]><psykrona><version>2.1b</version>"
        "<compatible>2.0</compatible><project><data><project-name/><date/><signature/></data>"
        "<airflow>&t;</airflow><density>1.2</density><temp>20</temp><barometric-pressure>101.3"
        "</barometric-pressure><point><name>a&n;b</name><temp>&t;</temp><spechum>0.008</spechum>"
        "<relhum>50</relhum><enthalpy>40</enthalpy><prescribed1>1</prescribed1><prescribed2>2</prescribed2>"
        "<show-in-chart>true</show-in-chart><line-to-next>false</line-to-next></point></project></psykrona>";
    TMain Doc;
    TMollierFileHandling::ProjectFromXml(Project, Doc, "p.pkx");
    ASSERT_EQ(Doc.PointCount(), 1);
    const auto Model = TXmlParser::Parse(Project, "");
    const TXmlElement& Point = *Model->DocumentElement()->FindChildElement("project")->FindChildElement("point");
    EXPECT_EQ(Doc.Points[0].Name, Point.FindChildElement("name")->FirstChild()->NodeValue());
    EXPECT_EQ(Doc.Points[0].Name, "a ent b");
    EXPECT_EQ(Doc.Points[0].Temp, 21.5);
    EXPECT_EQ(Doc.AirFlow, 21.5);
}

// Both readers, on the same bytes: the document model's message and the
// project reader's.
std::vector<std::string> Messages(const std::string& Bytes) {
    std::vector<std::string> Result;
    try {
        TXmlParser::Parse(Bytes, "in.xml");
        Result.push_back("(parsed)");
    } catch (const EXmlError& E) {
        Result.push_back(E.what());
    }
    try {
        TMain Doc;
        TMollierFileHandling::ProjectFromXml(Bytes, Doc, "in.pkx");
        Result.push_back("(read)");
    } catch (const EProjectFileError& E) {
        Result.push_back(E.what());
    }
    return Result;
}

TEST(XmlParserTest, MessagesSayWhatIsWrongWithTheFile) {
    std::string Nested = "<r>\n";
    for (int I = 0; I < 300; ++I) {
        Nested += "<d>";
    }
    const struct {
        std::string Bytes;
        std::string Message;
    } Cases[] = {
        {"", "is empty"},
        {" \r\n\t", "is empty"},
        {"\xEF\xBB\xBF\n", "is empty"},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "is not a text file"},
        {"\x01\x02\xFF\xFE\x03 garbage", "is not a text file"},
        {"<?xml version=\"1.0\"?>\n", "ends before the document is complete (line 2)"},
        {"<r>\n<a>text</a>\n<b x=\"1", "ends before the document is complete (line 3)"},
        {"<r>\n<a>te", "ends before the document is complete (line 2)"},
        {"<r>\n<!-- no end", "ends before the document is complete (line 2)"},
        {Nested, "holds an element nested too deeply (more than 256 levels) at line 2"},
        {"plain words", "holds no XML element"},
        {"<r>\n<a>\n</b>\n</r>", "is not well-formed XML (line 3"},
    };
    for (const auto& C : Cases) {
        for (const std::string& Message : Messages(C.Bytes)) {
            EXPECT_NE(Message.find(C.Message), std::string::npos)
                << C.Bytes.substr(0, 40) << "\ngave: " << Message << "\nwanted: " << C.Message;
            EXPECT_EQ(Message.find("Document is empty"), std::string::npos) << Message;
        }
    }
    // The streaming reader keeps libxml2's limit on the length of a text
    // (the document model reads such a text whole).
    EXPECT_NE(Messages("<r>\n<a>" + std::string(12000000, 'a') + "</a></r>")[1].find(
                  "holds a text too long (more than 10 million characters) at line 2"),
              std::string::npos);
}

// libxml2 compares every attribute of a start tag with every other, before
// any callback; a tag with tens of thousands of them is refused unread.
// Only tags count: "=" in values, text, comments and CDATA does not.
TEST(XmlParserTest, ElementsWithHugeNumbersOfAttributesAreRefusedUnread) {
    const auto Tag = [](int Attributes, const std::string& Value) {
        std::string S = "<e";
        for (int I = 0; I < Attributes; ++I) {
            S += " a" + std::to_string(I) + "='" + Value + "'";
        }
        return S + "/>";
    };
    const std::string Equals(5000, '=');
    const auto Doc = TXmlParser::Parse("<r>" + Tag(1000, "=>") + "<!--" + Equals + "--><![CDATA[" + Equals +
                                           "]]>" + Equals + "</r>",
                                       "");
    EXPECT_EQ(Doc->DocumentElement()->FindChildElement("e")->Attributes().size(), 1000u);
    for (const int Count : {1001, 20000}) {
        for (const std::string& Message : Messages("<?xml version=\"1.0\"?>\n<r>\n" + Tag(Count, "v") + "</r>")) {
            EXPECT_NE(Message.find("holds an element with more than 1000 attributes (line 3)"), std::string::npos)
                << Message;
        }
    }
}

// Counts what libxml2 is asked to allocate, passing every call on.
std::size_t GXmlAllocated = 0;
void* CountingMalloc(std::size_t Size) {
    GXmlAllocated += Size;
    return std::malloc(Size);
}
void* CountingRealloc(void* P, std::size_t Size) {
    GXmlAllocated += Size;
    return std::realloc(P, Size);
}
char* CountingStrdup(const char* S) {
    GXmlAllocated += std::strlen(S) + 1;
    return strdup(S);
}

// An attribute that repeats a large entity is refused at the expansion
// budget; the work done on the way is bounded by the file's size, not by
// the square of what the references would expand to.
TEST(XmlParserTest, EntitiesInAttributeValuesCostWorkLinearInTheFile) {
    std::string Bytes = "<!DOCTYPE l [<!ENTITY e \"" + std::string(20000, 'x') + "\">]><l a=\"";
    for (int I = 0; I < 1000; ++I) {
        Bytes += "&e;";
    }
    Bytes += "\"/>";
    xmlFreeFunc Free = nullptr;
    xmlMallocFunc Malloc = nullptr;
    xmlReallocFunc Realloc = nullptr;
    xmlStrdupFunc Strdup = nullptr;
    xmlMemGet(&Free, &Malloc, &Realloc, &Strdup);
    GXmlAllocated = 0;
    xmlMemSetup(std::free, CountingMalloc, CountingRealloc, CountingStrdup);
    std::string Message;
    try {
        TXmlParser::Parse(Bytes, "l.xml");
    } catch (const EXmlError& E) {
        Message = E.what();
    }
    xmlMemSetup(Free, Malloc, Realloc, Strdup);
    EXPECT_NE(Message.find("expands its entities beyond any reasonable size"), std::string::npos) << Message;
    EXPECT_LT(GXmlAllocated, 64 * Bytes.size()) << "bytes allocated for a file of " << Bytes.size();
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
