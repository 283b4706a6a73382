// psykrona-cli chart: the picture files and the wrong calls.
#include "chart/MollierDraw.h"
#include "engine/Main.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/files/FileTestSupport.h"
#include "tests/support/CommaLocale.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/ChildProcess.h"

#include <QImage>

#include <gtest/gtest.h>

#include <regex>

namespace psykrona {
namespace {

using test::CliPath;
using test::ReadBytes;
using test::RunProcess;
using test::TTempDir;

TEST(CliChart, DrawsAPngOfTheAskedSizeWithTheFrameWhereTheLayoutPutsIt) {
    TTempDir Dir;
    const std::string Out = Dir / "chart.png";
    const auto R =
        RunProcess(CliPath(), {"chart", "-", Out, "--width", "800", "--height", "600"}, {"LC_ALL=C"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    EXPECT_EQ(R.Err, "");
    const QImage Image(QString::fromStdString(Out));
    ASSERT_FALSE(Image.isNull());
    EXPECT_EQ(Image.size(), QSize(800, 600));
    EXPECT_EQ(Image.pixelColor(100, 300), QColor(Qt::black));
    EXPECT_EQ(Image.pixelColor(283, 200), QColor(Qt::red));
    EXPECT_EQ(Image.pixelColor(20, 580), QColor(Qt::white));
}

TEST(CliChart, LimitsNarrowTheChartAsTheDialogWould) {
    TTempDir Dir;
    const std::string Out = Dir / "limits.png";
    // 10 to 30 °C and 5 to 15 g/kg: the left edge moves to x = 120 and
    // 0.010 kg/kg to x = 440.
    const auto R = RunProcess(CliPath(),
                              {"chart", "-", Out, "--width", "800", "--height", "600", "--min-temp", "10",
                               "--max-temp", "30", "--min-spechum", "5", "--max-spechum", "15"},
                              {"LC_ALL=C"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    const QImage Image(QString::fromStdString(Out));
    ASSERT_FALSE(Image.isNull());
    EXPECT_EQ(Image.pixelColor(370, 60), QColor(Qt::black));
    EXPECT_EQ(Image.pixelColor(120, 300), QColor(Qt::black));
    EXPECT_EQ(Image.pixelColor(440, 200), QColor(Qt::red));
}

TEST(CliChart, WritesAnSvgAtTheDefaultSize) {
    TTempDir Dir;
    const auto R = RunProcess(CliPath(), {"chart", "-", Dir / "chart.svg"}, {"LC_ALL=C"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    const std::string Svg = ReadBytes(Dir / "chart.svg");
    EXPECT_NE(Svg.find("viewBox=\"0 0 1600 1200\""), std::string::npos);
    EXPECT_NE(Svg.find("Liberation Sans"), std::string::npos);
    EXPECT_NE(Svg.find(">0.035<"), std::string::npos);
    // Titles from the language files installed beside the program.
    EXPECT_NE(Svg.find(">Humidity ratio, x, (kg/kg)<"), std::string::npos);
}

// Under a comma locale (Qt hands LANG to the C library) the texts carry the
// comma once, exactly as our own texts with a comma separator read.
TEST(CliChart, CommaLocaleTextsCarryTheSeparatorOnce) {
    const test::TCommaLocale& Comma = test::CommaLocale();
    const std::string Example = std::string(PSYKRONA_SOURCE_DIR) + "/data/examples/summer-cooling.pkx";
    TMain Doc;
    TMollierFileHandling::ProjectFromXml(ReadBytes(Example), Doc, Example);
    SetDecimalSeparator(',');
    TTempDir Dir;
    const auto Chart = RunProcess(CliPath(), {"chart", Example, Dir / "chart.svg"}, Comma.Env());
    const auto Picture = RunProcess(CliPath(), {"picture", Example, Dir / "picture.svg"}, Comma.Env());
    const auto Table = RunProcess(CliPath(), {"table", Example}, Comma.Env());
    ASSERT_EQ(Chart.ExitCode + Picture.ExitCode + Table.ExitCode, 0) << Chart.Err << Picture.Err << Table.Err;
    const std::string ChartSvg = ReadBytes(Dir / "chart.svg");
    const std::string PictureSvg = ReadBytes(Dir / "picture.svg");
    for (const std::string& Svg : {ChartSvg, PictureSvg}) {
        EXPECT_NE(Svg.find(">" + FormatFixed(0.035, 3) + "<"), std::string::npos);
        EXPECT_NE(Svg.find(">" + FormatFixed(0.5, 1) + "<"), std::string::npos);
        std::smatch Bad;
        EXPECT_FALSE(std::regex_search(Svg, Bad, std::regex(">[^<]*[0-9],[0-9]*,[^<]*<"))) << Bad.str();
    }
    EXPECT_NE(PictureSvg.find(" " + FloatToStr(Doc.Pressure) + " kPa<"), std::string::npos);
    EXPECT_NE(Table.Out.find("Air flow " + FloatToStr(Doc.AirFlow) + " m³/s, density " +
                             FormatFixed(Doc.Density, 2) + " kg/m³, pressure " + FloatToStr(Doc.Pressure * 10) +
                             " mbar"),
              std::string::npos)
        << Table.Out;
    EXPECT_EQ(FloatToStr(Doc.AirFlow).find(','), 1u); // the example's flow has decimals
    SetDecimalSeparator('.');
}

TEST(CliChart, DrawsTheProjectsPointsWhereTheRendererMapsThem) {
    SetDecimalSeparator('.');
    TMain Doc;
    const double Temp[2] = {10, 30};
    for (int I = 0; I < 2; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        P.Temp = Temp[I];
        P.SpecHum = 0.008;
        P.Prescribed1 = PROP_TEMP;
        P.Prescribed2 = PROP_SPECHUM;
    }
    Doc.CalculateAll();
    TTempDir Dir;
    test::WriteBytes(Dir / "two.pkx", TMollierFileHandling::ProjectToXml(Doc));
    const auto R = RunProcess(
        CliPath(), {"chart", Dir / "two.pkx", Dir / "two.png", "--width", "800", "--height", "600"},
        {"LC_ALL=C"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    const QImage Image(QString::fromStdString(Dir / "two.png"));
    ASSERT_FALSE(Image.isNull());
    TMollierDraw Layout;
    Layout.Document = &Doc;
    test::TRecordingCanvas Canvas;
    Layout.SetCanvas(&Canvas, 0, 0, 800, 600);
    Layout.DrawDiagram(false);
    for (const double T : Temp) {
        const TPoint P = Layout.StateToPixel(T, 0.008);
        EXPECT_EQ(Image.pixelColor(P.X, P.Y), QColor(Qt::cyan)) << T;
    }
    // The process line between them, black.
    const TPoint Mid = Layout.StateToPixel(20, 0.008);
    EXPECT_EQ(Image.pixelColor(Mid.X, Mid.Y), QColor(Qt::black));
}

TEST(CliChart, WrongCallsAndFailuresHaveTheirExitCodes) {
    struct Case {
        std::vector<std::string> Args;
        int Exit;
        const char* Message;
    };
    const Case Cases[] = {
        {{"chart", "-"}, 2, "output file"},
        {{"chart", "-", "/tmp/x.jpg"}, 2, "must end in .png or .svg"},
        {{"chart", "-", "/tmp/x.png", "--width", "0"}, 2, "whole number of pixels"},
        {{"chart", "-", "/tmp/x.png", "--height", "12.5"}, 2, "whole number of pixels"},
        {{"chart", "-", "/tmp/x.png", "--max-temp", "warm"}, 2, "'warm' is not a valid floating point value"},
        {{"chart", "/nonexistent/p.pkx", "/tmp/x.png"}, 1, "/nonexistent/p.pkx"},
        {{"chart", "-", "/nonexistent/x.png"}, 1, "cannot write '/nonexistent/x.png'"},
    };
    for (const Case& C : Cases) {
        const auto R = RunProcess(CliPath(), C.Args, {"LC_ALL=C"});
        EXPECT_EQ(R.ExitCode, C.Exit) << C.Args.back() << ": " << R.Err;
        EXPECT_NE(R.Err.find(C.Message), std::string::npos) << R.Err;
    }
}

} // namespace
} // namespace psykrona
