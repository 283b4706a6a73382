// psykrona-cli chart: the picture is the renderer's own drawing, number texts
// follow a real comma locale, and wrong calls have their exit codes.
#include "files/MollierFileHandling.h"
#include "tests/chart/ChartFixture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CommaLocale.h"
#include "tests/support/TempFolder.h"
#include "ui/QtCanvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <regex>

namespace psykrona {
namespace {

using test::CliPath;
using test::ReadFile;
using test::RunProcess;

// Limits, a project and the PNG's pixels: the same as drawing in-process.
TEST(CliChart, APngHoldsExactlyWhatTheRendererDraws) {
    test::TTempFolder Dir;
    test::TChart C(700, 500);
    C.SetLimits(10, 35, 0.004, 0.02);
    C.AddPoint(12, 0.006);
    C.AddPoint(30, 0.006);
    Dir.Write("p.pkx", TMollierFileHandling::ProjectToXml(C.Doc));
    const auto R = RunProcess(CliPath(), {"chart", Dir.File("p.pkx"), Dir.File("p.png"), "--width", "700",
                                          "--height", "500", "--min-temp", "10", "--max-temp", "35",
                                          "--min-spechum", "4", "--max-spechum", "20"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    QImage Drawn(700, 500, QImage::Format_RGB32);
    {
        QPainter Painter(&Drawn);
        Painter.fillRect(0, 0, 700, 500, Qt::white);
        TQtCanvas Canvas(Painter);
        C.Draw.SetCanvas(&Canvas, 0, 0, 700, 500);
        C.Draw.DrawDiagram(false);
    }
    const QImage Png(QString::fromStdString(Dir.File("p.png")));
    ASSERT_EQ(Png.size(), Drawn.size());
    EXPECT_TRUE(Png.convertToFormat(QImage::Format_RGB32) == Drawn);
}

// Under a comma locale (Qt hands LANG to the C library) the texts carry the
// comma once, exactly as our own texts with a comma separator read.
TEST(CliChart, CommaLocaleTextsCarryTheSeparatorOnce) {
    const test::TCommaLocale& Comma = test::CommaLocale();
    const std::string Example = std::string(PSYKRONA_SOURCE_DIR) + "/data/examples/summer-cooling.pkx";
    TMain Doc;
    TMollierFileHandling::ProjectFromXml(ReadFile(Example), Doc, Example);
    SetDecimalSeparator(',');
    test::TTempFolder Dir;
    const auto Chart = RunProcess(CliPath(), {"chart", Example, Dir.File("chart.svg")}, Comma.Env());
    const auto Picture = RunProcess(CliPath(), {"picture", Example, Dir.File("picture.svg")}, Comma.Env());
    const auto Table = RunProcess(CliPath(), {"table", Example}, Comma.Env());
    ASSERT_EQ(Chart.ExitCode + Picture.ExitCode + Table.ExitCode, 0) << Chart.Err << Picture.Err << Table.Err;
    for (const std::string& Svg : {Dir.Read("chart.svg"), Dir.Read("picture.svg")}) {
        EXPECT_NE(Svg.find(">" + FormatFixed(0.035, 3) + "<"), std::string::npos);
        EXPECT_NE(Svg.find(">" + FormatFixed(0.5, 1) + "<"), std::string::npos);
        std::smatch Bad;
        EXPECT_FALSE(std::regex_search(Svg, Bad, std::regex(">[^<]*[0-9],[0-9]*,[^<]*<"))) << Bad.str();
    }
    EXPECT_NE(Dir.Read("picture.svg").find(" " + FloatToStr(Doc.Pressure) + " kPa<"), std::string::npos);
    EXPECT_NE(Table.Out.find("Air flow " + FloatToStr(Doc.AirFlow) + " m³/s, density " +
                             FormatFixed(Doc.Density, 2) + " kg/m³, pressure " +
                             FloatToStr(Doc.Pressure * 10) + " mbar"),
              std::string::npos)
        << Table.Out;
    EXPECT_EQ(FloatToStr(Doc.AirFlow).find(','), 1u); // the example's flow has decimals
}

TEST(CliChart, WrongCallsAndFailuresHaveTheirExitCodes) {
    struct TCase {
        std::vector<std::string> Args;
        int Exit;
        const char* Message;
    };
    const TCase Cases[] = {
        {{"chart", "-"}, 2, "output file"},
        {{"chart", "-", "/tmp/x.jpg"}, 2, "must end in .png or .svg"},
        {{"chart", "-", "/tmp/x.png", "--width", "0"}, 2, "whole number of pixels"},
        {{"chart", "-", "/tmp/x.png", "--height", "12.5"}, 2, "whole number of pixels"},
        {{"chart", "-", "/tmp/x.png", "--max-temp", "warm"}, 2, "'warm' is not a valid floating point value"},
        {{"chart", "/nonexistent/p.pkx", "/tmp/x.png"}, 1, "/nonexistent/p.pkx"},
        {{"chart", "-", "/nonexistent/x.png"}, 1, "cannot write '/nonexistent/x.png'"},
    };
    for (const TCase& C : Cases) {
        const auto R = RunProcess(CliPath(), C.Args, {"LC_ALL=C"});
        EXPECT_EQ(R.ExitCode, C.Exit) << C.Args.back() << ": " << R.Err;
        EXPECT_NE(R.Err.find(C.Message), std::string::npos) << R.Err;
    }
}

} // namespace
} // namespace psykrona
