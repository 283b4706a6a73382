// Readers facing absurd input give up quickly with a message that says what
// is wrong, without allocating for what the input only claims: a ".pkr"
// claiming billions of points, XML nested a million deep or expanding
// entities without end, files beyond the size limit (sparse, so they cost no
// disk), a named pipe nobody writes. The chart draws projects whose values
// are extreme or not finite without throwing or overflowing.
#include "chart/MollierDraw.h"
#include "engine/MollierCalculate.h"
#include "files/MollierFileHandling.h"
#include "localisation/Translator.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <limits>

namespace psykrona {
namespace {

using test::TTempFolder;

// The message of what Call throws as E, or "(no error)".
template <class E, class F> std::string Refusal(F Call) {
    try {
        Call();
    } catch (const E& Error) {
        return Error.what();
    }
    return "(no error)";
}

std::string Nested(std::size_t Depth, const std::string& Inside = {}) {
    std::string Open, Close;
    for (std::size_t I = 0; I < Depth; ++I, Open += "<a>", Close += "</a>") {
    }
    return Open + Inside + Close;
}

enum class TReader { Pkr, Xml, Pkx, LanguageList };

// The message of the reader's own error for Bytes; a refused project stays empty.
std::string Refused(TReader Reader, const std::string& Bytes) {
    TMain Doc;
    TTempFolder Folder;
    Folder.Write("Languages.xml", Reader == TReader::LanguageList ? Bytes : "");
    TDomImplementation Dom;
    TXmlParser Parser(Dom);
    const std::string Message =
        Reader == TReader::Pkr ? Refusal<EProjectFileError>([&] { TMollierFileHandling::ProjectFromOldFormat(Bytes, Doc, "a.pkr"); })
        : Reader == TReader::Pkx ? Refusal<EProjectFileError>([&] { TMollierFileHandling::ProjectFromXml(Bytes, Doc, "a.pkx"); })
        : Reader == TReader::Xml ? Refusal<EXmlError>([&] { (void)TXmlParser::Parse(Bytes, "a.xml"); })
                                 : Refusal<ETranslatorError>([&] { TTranslator::CreateInstance(Dom, Parser, Folder.Dir()); });
    EXPECT_EQ(Doc.PointCount(), 0);
    return Message;
}

// Counts checked before any point is allocated, depth and endless entity
// expansion refused by every reader, each with its own error; the depth limit
// leaves room for any real document, and a tree built by a program writes
// and frees without recursion.
TEST(AbsurdInput, ClaimedCountsDeepXmlAndEndlessEntitiesAreRefusedByEveryReader) {
    std::string Laughs = "<?xml version=\"1.0\"?><!DOCTYPE psykrona [<!ENTITY l0 \"lollollollollol\">";
    for (int I = 1; I < 10; ++I) { // each entity ten of the one before
        const std::string R = "&l" + std::to_string(I - 1) + ";";
        Laughs += "<!ENTITY l" + std::to_string(I) + " \"" + R + R + R + R + R + R + R + R + R + R + "\">";
    }
    Laughs += "]><psykrona><version>&l9;</version><project><airflow>&l9;</airflow></project></psykrona>";
    const std::string Loop =
        test::ReadFile(PSYKRONA_SOURCE_DIR "/tests/hardening/inputs/xml/entity-loop-expanded-in-an-attribute.xml");
    ASSERT_FALSE(Loop.empty());
    const std::tuple<TReader, std::string, std::string> Cases[] = {
        {TReader::Pkr, "2000000000\n1\n20\n101.3\n1.2\n1\n", "the file has 6 lines where 2000000000 points need 20000000005"},
        {TReader::Pkr, "2147483648\n1\n20\n101.3\n1.2\n1\n", "line 1: '2147483648' is not a valid integer value"},
        {TReader::Pkr, "-7\n1\n20\n101.3\n1.2\n1\n", "line 1: the number of points -7 is negative"},
        // Lines for a million points, but blank: refused at the header.
        {TReader::Pkr, "1000000\n" + std::string(10000005, '\n'), "line 2: '' is not a valid floating point value"},
        {TReader::Xml, Nested(1000000), "nested too deeply"},
        {TReader::Xml, Laughs, "entit"},
        {TReader::Xml, Loop, "entity references expand"},
        {TReader::LanguageList, "<list><languages>" + Nested(1000000) + "</languages></list>", "nested too deeply"}};
    for (const auto& [Reader, Bytes, Message] : Cases) {
        SCOPED_TRACE(Bytes.substr(0, 60));
        const std::string Error = Refused(Reader, Bytes);
        EXPECT_TRUE(Error != "(no error)" && Error.find(Message) != std::string::npos) << Error;
        if (Reader == TReader::Xml) { // the same as a project: refused as one
            const bool Bare = Bytes.starts_with("<a>");
            EXPECT_NE(Refused(TReader::Pkx, Bare ? "<psykrona><project>" + Bytes + "</project></psykrona>" : Bytes), "(no error)");
        }
    }
    EXPECT_EQ(TXmlParser::Parse(Nested(200, "x"), "deep.xml")->DocumentElement()->TextContent(), "x");
    std::string Written;
    {
        TXmlDocument Doc("a");
        TXmlNode* Parent = Doc.DocumentElement();
        for (int I = 0; I < 1000000; ++I) {
            Parent = &Parent->AppendChild(Doc.CreateElement("a"));
        }
        Parent->AppendChild(Doc.CreateTextNode("x"));
        Written = Doc.WriteToString();
    }
    EXPECT_EQ(Written, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + Nested(1000001, "x") + "\r\n");
}

// Files beyond the limit (sparse) and named pipes without a writer: every
// reader refuses them at once; run in a child that must end within seconds.
TEST(AbsurdInput, HugeFilesAndPipesAreRefusedUnread) {
    TTempFolder Folder;
    for (const std::string Sub : {"huge", "huge-lng", "pipe"}) {
        std::filesystem::create_directory(Folder.File(Sub));
        for (const std::string Name : {"a.pkx", "a.pkr", "Languages.xml", "English.lng"}) {
            const std::string File = Folder.File(Sub + "/" + Name);
            if (Sub == "pipe") {
                mkfifo(File.c_str(), 0600);
            } else if (Sub == "huge-lng" && Name == "Languages.xml") { // a list whose language file is huge
                test::WriteFile(File, "<list><default><language>en</language></default><languages><language><code>en"
                                      "</code><name>English</name><file>English.lng</file></language></languages></list>");
            } else {
                test::WriteFile(File, "x");
                truncate(File.c_str(), static_cast<off_t>(TMollierFileHandling::MaxFileSize) + 1);
            }
        }
    }
    const pid_t Pid = test::StartChild([&] {
        for (const char* Sub : {"huge", "huge-lng", "pipe"}) {
            TDomImplementation Dom;
            TXmlParser Parser(Dom);
            TMollierFileHandling Files(Dom, Parser);
            TMain Doc;
            Files.FProject = &Doc;
            const std::string Dir = Folder.File(Sub) + "/";
            const std::string Pkx = Refusal<EProjectFileError>([&] { Files.OpenProject(Dir + "a.pkx"); });
            const std::string Pkr = Refusal<EProjectFileError>([&] { Files.OpenOldProject(Dir + "a.pkr"); });
            const std::string Lng = Refusal<ETranslatorError>([&] { TTranslator::CreateInstance(Dom, Parser, Dir); });
            std::fprintf(stderr, "%s: %s | %s | %s\n", Sub, Pkx.c_str(), Pkr.c_str(), Lng.c_str());
            PSYKRONA_CHILD_CHECK(Pkx != "(no error)" && Pkr != "(no error)" && Lng != "(no error)");
            PSYKRONA_CHILD_CHECK(Sub[0] == 'p' || Pkx.find("too large to be a project file") != std::string::npos);
            PSYKRONA_CHILD_CHECK(Sub[0] == 'p' || Lng.find("File too large") != std::string::npos);
        }
        return 0;
    });
    EXPECT_EQ(test::WaitChild(Pid, std::chrono::seconds(20)), 0);
}

// A point with no place on any canvas is left out with its lines; the rest
// of the chart is drawn as without it, and nothing drawn has wrapped around.
TEST(AbsurdInput, ChartLeavesOutPointsWithoutAPlace) {
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double Inf = std::numeric_limits<double>::infinity();
    auto Draw = [](const std::vector<std::pair<double, double>>& States, double Pressure) {
        TMain Doc;
        for (const auto& [T, X] : States) {
            TMollierPoint& P = Doc.AddPoint();
            P.Number = Doc.PointCount();
            P.Temp = T;
            P.SpecHum = X;
        }
        Doc.Pressure = Pressure;
        test::TRecordingCanvas Canvas;
        TMollierDraw Renderer;
        Renderer.Document = &Doc;
        Renderer.SetCanvas(&Canvas, 0, 0, 800, 600);
        Renderer.DrawDiagram(false);
        TMollierCalculate::GetInstance().Pressure = TMain::NormalPressure;
        for (const auto& C : Canvas.Calls) {
            for (const int V : {C.X1, C.Y1, C.X2, C.Y2}) {
                EXPECT_LT(std::abs(V), 1 << 25) << C.ToString();
            }
        }
        return Canvas.Named("Ellipse").size();
    };
    const std::pair<double, double> Absurd[] = {{1e300, 0.008}, {-1e300, 0.008}, {NaN, 0.008}, {20, NaN},
                                                {20, -1e308},   {20, 1e308},     {Inf, -Inf},  {1e9, 0.008}};
    for (const auto& State : Absurd) {
        SCOPED_TRACE(std::to_string(State.first) + " " + std::to_string(State.second));
        EXPECT_EQ(Draw({{20, 0.008}, State, {30, 0.012}}, TMain::NormalPressure), 2u);
    }
    for (const double Pressure : {NaN, Inf, 0.0, -101.3, 1e-300, 1e300}) {
        Draw({{20, 0.008}, {1e300, NaN}, {30, 0.012}}, Pressure);
    }
}

} // namespace
} // namespace psykrona
