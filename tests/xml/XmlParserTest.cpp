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

// Over random documents with internal entities: the project reader's stream
// and the document model's tree hold the same nodes (entities replaced, the
// text around them joined); what the writer writes parses to the same bytes.
TEST(XmlParserTest, RandomDocumentsReadAlikeAndRoundTrip) {
    const unsigned Seed = 20261206;
    std::mt19937 Rng(Seed);
    for (int Round = 0; Round < 300; ++Round) {
        std::string Xml = "<!DOCTYPE r [";
        const int Entities = static_cast<int>(Rng() % 4);
        for (int E = 0; E < Entities; ++E) {
            Xml += "<!ENTITY e" + std::to_string(E) + " '" + RandomContent(Rng, E, 1) + "'>";
        }
        Xml += "]><r a='&amp;b'>" + RandomContent(Rng, Entities, 0) + "</r>";
        SCOPED_TRACE("seed " + std::to_string(Seed) + ", round " + std::to_string(Round) + ": " + Xml);
        const auto Doc = TXmlParser::Parse(Xml, "");
        std::vector<std::string> Expected;
        ModelEvents(*Doc->DocumentElement(), 0, Expected);
        ASSERT_EQ(PullEvents(Xml), Expected);
        const std::string Written = Doc->WriteToString();
        ASSERT_EQ(TXmlParser::Parse(Written, "")->WriteToString(), Written);
    }
}

std::string Repeated(const std::string& Part, int Count) {
    std::string S;
    for (int I = 0; I < Count; ++I) {
        S += Part;
    }
    return S;
}

std::string Tag(int Attributes) {
    std::string S = "<e";
    for (int I = 0; I < Attributes; ++I) {
        S += " a" + std::to_string(I) + "='v'";
    }
    return S + "/>";
}

// Malformed and hostile input through both readers (the document model and
// the project reader): each gives its message in our words, reads no file
// behind our back, and prints nothing.
TEST(XmlParserTest, MalformedInputGivesItsMessage) {
    std::string Laughs = "<!DOCTYPE r [<!ENTITY a0 \"laugh\">";
    for (int I = 1; I <= 12; ++I) {
        Laughs += "<!ENTITY a" + std::to_string(I) + " \"" + Repeated("&a" + std::to_string(I - 1) + ";", 10) + "\">";
    }
    const std::string Head = "<?xml version=\"1.0\"?>\n<r>\n";
    const struct {
        std::string Bytes, Message;
    } Cases[] = {
        {"", "is empty"},
        {" \r\n\t", "is empty"},
        {"\xEF\xBB\xBF\n", "is empty"},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "is not a text file"},
        {"\x01\x02\xFF\xFE\x03 garbage", "is not a text file"},
        {"<?xml version=\"1.0\"?>\n", "ends before the document is complete (line 2)"},
        {"<r>\n<a>text</a>\n<b x=\"1", "ends before the document is complete (line 3)"},
        {"<r>\n<!-- no end", "ends before the document is complete (line 2)"},
        {"<r>\n" + Repeated("<d>", 300), "holds an element nested too deeply (more than 256 levels) at line 2"},
        {Repeated("<d>", 100000), "nested too deeply"},
        {"plain words", "holds no XML element"},
        {"<r>\n<a>\n</b>\n</r>", "is not well-formed XML (line 3"},
        {"<r a='1' a='2'/>", "not well-formed"},
        {"<r>&undefined;</r>", "not well-formed"},
        {"<r/><second/>", "not well-formed"},
        {"<?xml version=\"1.0\" encoding=\"no-such-encoding\"?><r/>", "in.xml"},
        {"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>\xC3</r>", "in.xml"},
        {"<r>\xC3</r>", "in.xml"},
        {"<r>\x01</r>", "in.xml"},
        {"<!DOCTYPE r [<!ENTITY x SYSTEM \"/etc/hostname\">]><r>&x;</r>", "in.xml"},
        {Head + Tag(1001) + "</r>", "holds an element with more than 1000 attributes (line 3)"},
        {Head + Tag(20000) + "</r>", "holds an element with more than 1000 attributes (line 3)"},
        {Laughs + "]><r>&a12;</r>", "in.xml"},
        {Laughs + "]><r a=\"&a12;\"/>", "in.xml"},
    };
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    for (const auto& C : Cases) {
        std::string Messages;
        try {
            TXmlParser::Parse(C.Bytes, "in.xml");
        } catch (const EXmlError& E) {
            Messages = E.what();
        }
        try {
            TMain Doc;
            TMollierFileHandling::ProjectFromXml(C.Bytes, Doc, "in.xml");
        } catch (const EProjectFileError& E) {
            Messages += std::string("\n") + E.what();
        }
        const auto First = Messages.find(C.Message);
        EXPECT_TRUE(First != std::string::npos && Messages.find(C.Message, Messages.find('\n')) != std::string::npos)
            << C.Bytes.substr(0, 60) << "\ngave: " << Messages;
        EXPECT_EQ(Messages.find("Document is empty"), std::string::npos) << Messages;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "");
    // Right at the limits: a thousand attributes, "=" outside tags, 200 levels.
    const std::string Equals(5000, '=');
    const auto Doc = TXmlParser::Parse("<r>" + Tag(1000) + "<!--" + Equals + "--><![CDATA[" + Equals + "]]>" +
                                           Equals + Repeated("<d>", 200) + Repeated("</d>", 200) + "</r>", "");
    EXPECT_EQ(Doc->DocumentElement()->FindChildElement("e")->Attributes().size(), 1000u);
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

// An external DTD is not read: neither its default attribute nor its
// parameter entities arrive.
TEST(XmlParserTest, ReadsNoExternalDtd) {
    test::TTempFolder Folder;
    Folder.Write("d.dtd", "<!ATTLIST r a CDATA \"SECRET\"><!ENTITY e \"SECRET\">");
    for (const std::string& Dtd : {"<!DOCTYPE r SYSTEM \"" + Folder.File("d.dtd") + "\">",
                                   "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + Folder.File("d.dtd") + "\"> %p;]>"}) {
        EXPECT_EQ(TXmlParser::Parse(Dtd + "<r/>", "")->WriteToString().find("SECRET"), std::string::npos);
    }
}

} // namespace
} // namespace psykrona
