// Readers facing absurd input (counts they only claim, nesting without end,
// files beyond the size limit, a named pipe nobody writes) give up at once
// with a message; the chart draws values that are extreme or not finite.
#include "chart/MollierDraw.h"
#include "engine/MollierCalculate.h"
#include "files/MollierFileHandling.h"
#include "localisation/Translator.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <limits>
#include <memory>

namespace psykrona {
namespace {

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
    for (; Depth > 0; --Depth, Open += "<a>", Close += "</a>") {
    }
    return Open + Inside + Close;
}

// Counts checked before any point is allocated and depth refused by each
// reader with its own error, the project staying empty (the XML parser's
// limits: its own tests); a tree built by a program writes and frees without
// recursion.
TEST(AbsurdInput, ClaimedCountsAndDeepListsAreRefusedAndDeepTreesWritten) {
    const std::pair<std::string, std::string> Cases[] = {
        {"2000000000\n1\n20\n101.3\n1.2\n1\n", "the file has 6 lines where 2000000000 points need 20000000005"},
        {"2147483648\n1\n20\n101.3\n1.2\n1\n", "line 1: '2147483648' is not a valid integer value"},
        {"-7\n1\n20\n101.3\n1.2\n1\n", "line 1: the number of points -7 is negative"},
        // Lines for a million points, but blank: refused at the header.
        {"1000000\n" + std::string(10000005, '\n'), "line 2: '' is not a valid floating point value"}};
    for (const auto& [Bytes, Message] : Cases) {
        TMain Doc;
        const std::string Error =
            Refusal<EProjectFileError>([&] { TMollierFileHandling::ProjectFromOldFormat(Bytes, Doc, "a.pkr"); });
        EXPECT_NE(Error.find(Message), std::string::npos) << Bytes.substr(0, 60) << "\ngave: " << Error;
        EXPECT_EQ(Doc.PointCount(), 0);
    }
    test::TTempFolder Folder;
    Folder.Write("Languages.xml", "<list><languages>" + Nested(1000000) + "</languages></list>");
    TDomImplementation Dom;
    TXmlParser Parser(Dom);
    EXPECT_NE(Refusal<ETranslatorError>([&] { TTranslator::CreateInstance(Dom, Parser, Folder.Dir()); })
                  .find("nested too deeply"), std::string::npos);
    auto Deep = std::make_unique<TXmlDocument>("a");
    TXmlNode* Parent = Deep->DocumentElement();
    for (int I = 0; I < 1000000; ++I) {
        Parent = &Parent->AppendChild(Deep->CreateElement("a"));
    }
    Parent->AppendChild(Deep->CreateTextNode("x"));
    EXPECT_EQ(Deep->WriteToString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + Nested(1000001, "x") + "\r\n");
    Deep.reset();
}

// Files beyond the limit (sparse) and named pipes without a writer: every
// reader refuses them at once; run in a child that must end within seconds.
TEST(AbsurdInput, HugeFilesAndPipesAreRefusedUnread) {
    test::TTempFolder Folder;
    for (const std::string Sub : {"huge/", "huge-lng/", "pipe/"}) {
        std::filesystem::create_directory(Folder.File(Sub));
        for (const std::string File : {"a.pkx", "a.pkr", "Languages.xml", "English.lng"}) {
            if (Sub == "pipe/") {
                mkfifo(Folder.File(Sub + File).c_str(), 0600);
            } else if (Sub == "huge-lng/" && File == "Languages.xml") { // a list whose language file is huge
                Folder.Write(Sub + File, "<list><default><language>en</language></default><languages><language>"
                                         "<code>en</code><name>English</name><file>English.lng</file></language></languages></list>");
            } else {
                Folder.Write(Sub + File, "x");
                truncate(Folder.File(Sub + File).c_str(), static_cast<off_t>(TMollierFileHandling::MaxFileSize) + 1);
            }
        }
    }
    const pid_t Pid = test::StartChild([&] {
        for (const std::string Sub : {"huge/", "huge-lng/", "pipe/"}) {
            TDomImplementation Dom;
            TXmlParser Parser(Dom);
            TMollierFileHandling Files(Dom, Parser);
            TMain Doc;
            Files.FProject = &Doc;
            const std::string Pkx = Refusal<EProjectFileError>([&] { Files.OpenProject(Folder.File(Sub + "a.pkx")); });
            const std::string Pkr = Refusal<EProjectFileError>([&] { Files.OpenOldProject(Folder.File(Sub + "a.pkr")); });
            const std::string Lng = Refusal<ETranslatorError>([&] { TTranslator::CreateInstance(Dom, Parser, Folder.File(Sub)); });
            std::fprintf(stderr, "%s: %s | %s | %s\n", Sub.c_str(), Pkx.c_str(), Pkr.c_str(), Lng.c_str());
            PSYKRONA_CHILD_CHECK(Pkx != "(no error)" && Pkr != "(no error)" && Lng != "(no error)");
            PSYKRONA_CHILD_CHECK(Sub == "pipe/" || (Pkx.find("too large to be a project file") != std::string::npos &&
                                                    Lng.find("File too large") != std::string::npos));
        }
        return 0;
    });
    EXPECT_EQ(test::WaitChild(Pid, std::chrono::seconds(20)), 0);
}

// A point with no place on any canvas is left out with its lines; the rest
// of the chart is drawn as without it, and nothing drawn has wrapped around,
// at any pressure, even one that has no chart.
TEST(AbsurdInput, ChartLeavesOutPointsWithoutAPlace) {
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double Inf = std::numeric_limits<double>::infinity();
    const std::pair<double, double> Absurd[] = {{1e300, 0.008}, {-1e300, 0.008}, {NaN, 0.008}, {20, NaN},
                                                {20, -1e308},   {20, 1e308},     {Inf, -Inf},  {1e9, 0.008}};
    for (const double Pressure : {TMain::NormalPressure, NaN, Inf, 0.0, -101.3, 1e-300, 1e300}) {
        for (const auto& State : Absurd) {
            SCOPED_TRACE(std::to_string(State.first) + " " + std::to_string(State.second) + " at " + std::to_string(Pressure));
            TMain Doc;
            for (const auto& [T, X] : {std::pair{20.0, 0.008}, State, {30.0, 0.012}}) {
                TMollierPoint& P = Doc.AddPoint();
                std::tie(P.Number, P.Temp, P.SpecHum) = std::tuple{Doc.PointCount(), T, X};
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
                    ASSERT_LT(std::abs(V), 1 << 25) << C.ToString();
                }
            }
            EXPECT_TRUE(Pressure != TMain::NormalPressure || Canvas.Named("Ellipse").size() == 2);
        }
    }
}

} // namespace
} // namespace psykrona
