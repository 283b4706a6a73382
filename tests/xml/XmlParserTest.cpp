// The parser: what it keeps, what it refuses, and that hostile input ends in
// an EXmlError rather than a crash, a hang or a file read behind our back.
#include "files/MollierFileHandling.h"
#include "xml/DomImplementation.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <libxml/xmlmemory.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace psykrona {
namespace {

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

// Counts what libxml2 is asked to allocate, passing every call on.
std::size_t GXmlAllocated = 0;
void* CountingMalloc(std::size_t Size) { return GXmlAllocated += Size, std::malloc(Size); }
void* CountingRealloc(void* P, std::size_t Size) { return GXmlAllocated += Size, std::realloc(P, Size); }
char* CountingStrdup(const char* S) { return GXmlAllocated += std::strlen(S) + 1, strdup(S); }

// Malformed and hostile input through both readers (the document model and
// the project reader): each gives its message in our words, reads no file
// behind our back (nor an external DTD), prints nothing, and costs the model
// work bounded by the file's size (what libxml2 allocates), not by what its
// entities would expand to.
TEST(XmlParserTest, MalformedInputGivesItsMessage) {
    std::string Laughs = "<!DOCTYPE r [<!ENTITY a0 \"laugh\">";
    for (int I = 1; I <= 12; ++I) {
        Laughs += "<!ENTITY a" + std::to_string(I) + " \"" + Repeated("&a" + std::to_string(I - 1) + ";", 10) + "\">";
    }
    const std::string Head = "<?xml version=\"1.0\"?>\n<r>\n";
    const struct {
        std::string Bytes, Message;
        bool ModelOnly = false; // the project reader refuses it in its own words (it reads no attributes)
    } Cases[] = {
        {"", "is empty"},
        {"\xEF\xBB\xBF\n", "is empty"},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "is not a text file"},
        {"\x01\x02\xFF\xFE\x03 garbage", "is not a text file"},
        {"<?xml version=\"1.0\"?>\n", "ends before the document is complete (line 2)"},
        {"<r>\n<a>text</a>\n<b x=\"1", "ends before the document is complete (line 3)"},
        {"<r>\n<!-- no end", "ends before the document is complete (line 2)"},
        {"<r>\n" + Repeated("<d>", 300), "holds an element nested too deeply (more than 256 levels) at line 2"},
        {Repeated("<d>", 1000000) + Repeated("</d>", 1000000), "nested too deeply"},
        {"plain words", "holds no XML element"},
        {"<r>\n<a>\n</b>\n</r>", "is not well-formed XML (line 3"},
        {"<r>\n<!x>\n</r>", "is not well-formed XML (line 2: StartTag: invalid element name)"},
        {"<r a='1' a='2'/>", "not well-formed"},
        {"<r>&undefined;</r>", "not well-formed"},
        {"<r/><second/>", "not well-formed"},
        {"<?xml version=\"1.0\" encoding=\"no-such-encoding\"?><r/>", "in.xml"},
        {"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>\xC3</r>", "in.xml"},
        {"<r>\xC3</r>", "in.xml"},
        {"<r>\x01</r>", "in.xml"},
        {"<!DOCTYPE r [<!ENTITY x SYSTEM \"/etc/hostname\">]><r>&x;</r>", "in.xml"},
        {Head + Tag(1001) + "</r>", "holds an element with more than 1000 attributes (line 3)"},
        {Laughs + "]><r>&a12;</r>", "in.xml"},
        {Laughs + "]><r a=\"&a12;\"/>", "in.xml"},
        {"<!DOCTYPE l [<!ENTITY e \"" + std::string(20000, 'x') + "\">]><l a=\"" + Repeated("&e;", 1000) + "\"/>",
         "expands its entities beyond any reasonable size", true},
        {test::ReadFile(PSYKRONA_SOURCE_DIR "/tests/hardening/inputs/xml/entity-loop-expanded-in-an-attribute.xml"),
         "entity references expand", true},
    };
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    for (const auto& C : Cases) {
        std::string Messages;
        GXmlAllocated = 0;
        xmlMemSetup(std::free, CountingMalloc, CountingRealloc, CountingStrdup);
        try {
            TXmlParser::Parse(C.Bytes, "in.xml");
        } catch (const EXmlError& E) {
            Messages = E.what();
        }
        xmlMemSetup(std::free, std::malloc, std::realloc, strdup);
        EXPECT_LT(GXmlAllocated, 64 * C.Bytes.size() + (64 << 20)) << C.Bytes.substr(0, 60);
        try {
            TMain Doc;
            TMollierFileHandling::ProjectFromXml(C.Bytes, Doc, "in.xml");
        } catch (const EProjectFileError& E) {
            Messages += std::string("\n") + E.what();
        }
        EXPECT_TRUE(Messages.find(C.Message) < Messages.find('\n') && // the model's, then the project reader's
                    Messages.find(C.ModelOnly ? "in.xml" : C.Message, Messages.find('\n')) != std::string::npos)
            << C.Bytes.substr(0, 60) << "\ngave: " << Messages;
        EXPECT_EQ(Messages.find("Document is empty"), std::string::npos) << Messages;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "");
    // Right at the limits: a thousand attributes, "=" outside tags, 200 levels.
    const std::string Equals(5000, '=');
    const auto Doc = TXmlParser::Parse("<r>" + Tag(1000) + "<!--" + Equals + "--><![CDATA[" + Equals + "]]>" +
                                           Equals + Repeated("<d>", 200) + Repeated("</d>", 200) + "</r>", "");
    EXPECT_EQ(Doc->DocumentElement()->FindChildElement("e")->Attributes().size(), 1000u);
    test::TTempFolder Folder;
    Folder.Write("d.dtd", "<!ATTLIST r a CDATA \"SECRET\"><!ENTITY e \"SECRET\">");
    for (const std::string& Dtd : {"<!DOCTYPE r SYSTEM \"" + Folder.File("d.dtd") + "\">",
                                   "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + Folder.File("d.dtd") + "\"> %p;]>"}) {
        EXPECT_EQ(TXmlParser::Parse(Dtd + "<r/>", "")->WriteToString().find("SECRET"), std::string::npos);
    }
}

} // namespace
} // namespace psykrona
