// psykrona-cli chart, picture and table: number texts under a real comma
// locale.
#include "files/MollierFileHandling.h"
#include "engine/NumberText.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CommaLocale.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <regex>

namespace psykrona {
namespace {

using test::CliPath;
using test::ReadFile;
using test::RunProcess;

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

} // namespace
} // namespace psykrona
