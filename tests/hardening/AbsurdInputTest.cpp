// Readers facing absurd input give up quickly, with a message that says
// what is wrong, and without allocating for what the input only claims: a
// ".pkr" claiming two billion points, XML nested a million deep or expanding
// entities without end, files beyond the size limits (sparse, so they cost
// no disk) and a named pipe that nobody writes.
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "localisation/Translator.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/FileAccess.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>

namespace psykrona {
namespace {

using test::TTempFolder;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point Start) {
    return std::chrono::duration<double>(Clock::now() - Start).count();
}

std::string OldFormatError(const std::string& Bytes, TMain& Doc) {
    try {
        TMollierFileHandling::ProjectFromOldFormat(Bytes, Doc, "absurd.pkr");
    } catch (const EProjectFileError& E) {
        return E.what();
    }
    return "(opened)";
}

struct TCountCase {
    const char* Line1;
    const char* Message;
};

TEST(AbsurdInput, OldFormatCountIsCheckedBeforeAnyPointIsAllocated) {
    const TCountCase Cases[] = {
        {"2000000000", "the file has 6 lines where 2000000000 points need 20000000005"},
        {"2147483647", "points need 21474836475"},
        {"2147483648", "line 1: '2147483648' is not a valid integer value"},
        {"-7", "line 1: the number of points -7 is negative"},
    };
    for (const TCountCase& C : Cases) {
        SCOPED_TRACE(C.Line1);
        TMain Doc;
        const auto Start = Clock::now();
        const std::string Error = OldFormatError(std::string(C.Line1) + "\n1\n20\n101.3\n1.2\n1\n", Doc);
        EXPECT_NE(Error.find(C.Message), std::string::npos) << Error;
        EXPECT_EQ(Doc.PointCount(), 0);
        EXPECT_LT(SecondsSince(Start), 1.0);
    }
}

// Lines are there for a million points, but blank: the reader fails at the
// header without having allocated the million points first.
TEST(AbsurdInput, OldFormatOfBlankLinesAllocatesNoPointsForItsClaimedCount) {
    TMain Doc;
    const std::string Error = OldFormatError("1000000\n" + std::string(10000005, '\n'), Doc);
    EXPECT_NE(Error.find("line 2: '' is not a valid floating point value"), std::string::npos) << Error;
    EXPECT_EQ(Doc.PointCount(), 0);
}

std::string Nested(std::size_t Depth, const std::string& Inside = {}) {
    std::string Xml;
    Xml.reserve(Depth * 7 + Inside.size());
    for (std::size_t I = 0; I < Depth; ++I) {
        Xml += "<a>";
    }
    Xml += Inside;
    for (std::size_t I = 0; I < Depth; ++I) {
        Xml += "</a>";
    }
    return Xml;
}

// Every reader of XML refuses the depth, each with its own error type and a
// message naming the nesting.
TEST(AbsurdInput, XmlNestedAMillionDeepIsRefusedByEveryReader) {
    const std::string Deep = Nested(1000000);
    const auto Start = Clock::now();
    try {
        (void)TXmlParser::Parse(Deep, "deep.xml");
        ADD_FAILURE() << "parsed";
    } catch (const EXmlError& E) {
        EXPECT_NE(std::string(E.what()).find("nested too deeply"), std::string::npos) << E.what();
    }

    const std::string Project =
        "<?xml version=\"1.0\"?><psykrona><version>2.1b</version><compatible>2.0</compatible>"
        "<project>" +
        Deep + "</project></psykrona>";
    TMain Doc;
    try {
        TMollierFileHandling::ProjectFromXml(Project, Doc, "deep.pkx");
        ADD_FAILURE() << "opened";
    } catch (const EProjectFileError& E) {
        EXPECT_NE(std::string(E.what()).find("nested too deeply"), std::string::npos) << E.what();
    }

    TTempFolder Folder;
    Folder.Write("Languages.xml", "<list><default><language>en</language></default><languages>" + Deep +
                                      "</languages></list>");
    TDomImplementation Dom;
    TXmlParser Parser(Dom);
    try {
        TTranslator::CreateInstance(Dom, Parser, Folder.Dir());
        ADD_FAILURE() << "loaded";
    } catch (const ETranslatorError& E) {
        EXPECT_NE(std::string(E.what()).find("nested too deeply"), std::string::npos) << E.what();
    }
    EXPECT_LT(SecondsSince(Start), 5.0);
}

// The limit leaves room for any real document.
TEST(AbsurdInput, XmlNestedTwoHundredDeepStillReads) {
    const auto Doc = TXmlParser::Parse(Nested(200, "x"), "deep.xml");
    EXPECT_EQ(Doc->DocumentElement()->TextContent(), "x");
}

// A tree built by a program has no parser limit: writing it, reading its
// text and freeing it walk without recursion.
TEST(AbsurdInput, ModelTreeAMillionDeepWritesAndFreesWithoutRecursion) {
    std::string Written;
    {
        TXmlDocument Doc("a");
        TXmlNode* Parent = Doc.DocumentElement();
        for (int I = 0; I < 1000000; ++I) {
            Parent = &Parent->AppendChild(Doc.CreateElement("a"));
        }
        Parent->AppendChild(Doc.CreateTextNode("x"));
        EXPECT_EQ(Doc.DocumentElement()->TextContent(), "x");
        Written = Doc.WriteToString();
    }
    EXPECT_EQ(Written, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + Nested(1000001, "x") + "\r\n");
}

const std::string KLaughs =
    "<?xml version=\"1.0\"?>\n<!DOCTYPE psykrona [\n"
    "<!ENTITY l0 \"lollollollollollollollollollol\">\n"
    "<!ENTITY l1 \"&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;\">\n"
    "<!ENTITY l2 \"&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;\">\n"
    "<!ENTITY l3 \"&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;\">\n"
    "<!ENTITY l4 \"&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;\">\n"
    "<!ENTITY l5 \"&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;\">\n"
    "<!ENTITY l6 \"&l5;&l5;&l5;&l5;&l5;&l5;&l5;&l5;&l5;&l5;\">\n"
    "<!ENTITY l7 \"&l6;&l6;&l6;&l6;&l6;&l6;&l6;&l6;&l6;&l6;\">\n"
    "<!ENTITY l8 \"&l7;&l7;&l7;&l7;&l7;&l7;&l7;&l7;&l7;&l7;\">\n"
    "<!ENTITY l9 \"&l8;&l8;&l8;&l8;&l8;&l8;&l8;&l8;&l8;&l8;\">\n"
    "]>\n<psykrona><version>&l9;</version><compatible>2.0</compatible><project><data>"
    "<project-name/><date/><signature/></data><airflow>&l9;</airflow><density>1</density>"
    "<temp>1</temp><barometric-pressure>1</barometric-pressure></project></psykrona>\n";

TEST(AbsurdInput, EntitiesExpandingToGigabytesAreRefused) {
    const auto Start = Clock::now();
    EXPECT_THROW((void)TXmlParser::Parse(KLaughs, "laughs.xml"), EXmlError);
    TMain Doc;
    EXPECT_THROW(TMollierFileHandling::ProjectFromXml(KLaughs, Doc, "laughs.pkx"), EProjectFileError);
    EXPECT_LT(SecondsSince(Start), 5.0);
}

// A file that claims to be huge (sparse: no disk is used).
void MakeSparse(const std::string& FileName, off_t Size) {
    std::ofstream(FileName).put('x');
    ASSERT_EQ(truncate(FileName.c_str(), Size), 0) << std::strerror(errno);
}

TEST(AbsurdInput, ProjectFilesBeyondTheSizeLimitAreRefusedUnread) {
    TTempFolder Folder;
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files(Dom, Parser);
    TMain Doc;
    Files.FProject = &Doc;
    const off_t Size = static_cast<off_t>(TMollierFileHandling::MaxFileSize) + 1;
    for (const char* Name : {"huge.pkx", "huge.pkr"}) {
        SCOPED_TRACE(Name);
        MakeSparse(Folder.File(Name), Size);
        const auto Start = Clock::now();
        try {
            if (std::string(Name).ends_with(".pkx")) {
                Files.OpenProject(Folder.File(Name));
            } else {
                Files.OpenOldProject(Folder.File(Name));
            }
            ADD_FAILURE() << "opened";
        } catch (const EProjectFileError& E) {
            EXPECT_NE(std::string(E.what()).find("too large to be a project file (512 MB)"),
                      std::string::npos)
                << E.what();
        }
        EXPECT_LT(SecondsSince(Start), 1.0);
    }
}

TEST(AbsurdInput, ReadingStopsAtTheLimitEvenWhenTheSizeIsNotKnownBeforehand) {
    TTempFolder Folder;
    Folder.Write("f", std::string(1000, 'x'));
    EXPECT_EQ(ReadFileBytes(Folder.File("f"), 1000).size(), 1000u);
    struct TCase {
        std::string File;
        std::size_t Limit;
    };
    // /proc files tell a size of 0 and are only found long when read.
    for (const TCase& C : {TCase{Folder.File("f"), 999}, TCase{"/proc/self/maps", 10}}) {
        SCOPED_TRACE(C.File);
        try {
            (void)ReadFileBytes(C.File, C.Limit);
            ADD_FAILURE() << "read";
        } catch (const EXmlFileError& E) {
            EXPECT_EQ(E.ErrorCode(), EFBIG) << E.what();
        }
    }
}

TEST(AbsurdInput, LanguageFilesBeyondTheSizeLimitStopTheTranslator) {
    const std::string List = "<list><default><language>en</language></default><languages><language>"
                             "<code>en</code><name>English</name><file>English.lng</file></language>"
                             "</languages></list>";
    for (const char* Huge : {"Languages.xml", "English.lng"}) {
        SCOPED_TRACE(Huge);
        TTempFolder Folder;
        Folder.Write("Languages.xml", List);
        MakeSparse(Folder.File(Huge), off_t(1) << 30);
        TDomImplementation Dom;
        TXmlParser Parser(Dom);
        const auto Start = Clock::now();
        try {
            TTranslator::CreateInstance(Dom, Parser, Folder.Dir());
            ADD_FAILURE() << "loaded";
        } catch (const ETranslatorError& E) {
            EXPECT_NE(std::string(E.what()).find("File too large"), std::string::npos) << E.what();
        }
        EXPECT_LT(SecondsSince(Start), 1.0);
    }
}

// Opening a named pipe for reading would wait for a writer for ever; each
// reader runs in a child that must end within seconds.
TEST(AbsurdInput, NamedPipeWithoutWriterIsRefusedAtOnce) {
    TTempFolder Folder;
    for (const char* Name : {"pipe.pkx", "pipe.pkr", "Languages.xml"}) {
        ASSERT_EQ(mkfifo(Folder.File(Name).c_str(), 0600), 0);
    }
    const pid_t Pid = test::StartChild([&] {
        TDomImplementation Dom;
        TXmlParser Parser(Dom);
        TMollierFileHandling Files(Dom, Parser);
        TMain Doc;
        Files.FProject = &Doc;
        int Refused = 0;
        try {
            Files.OpenProject(Folder.File("pipe.pkx"));
        } catch (const EProjectFileError&) {
            ++Refused;
        }
        try {
            Files.OpenOldProject(Folder.File("pipe.pkr"));
        } catch (const EProjectFileError&) {
            ++Refused;
        }
        try {
            TTranslator::CreateInstance(Dom, Parser, Folder.Dir());
        } catch (const ETranslatorError&) {
            ++Refused;
        }
        return Refused == 3 ? 0 : 1;
    });
    EXPECT_EQ(test::WaitChild(Pid, std::chrono::seconds(10)), 0);
}

} // namespace
} // namespace psykrona
