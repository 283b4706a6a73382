#include "engine/MollierCalculate.h"
#include "tests/cli/CliJson.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <map>
#include <regex>

namespace psykrona {
namespace {

using test::CliPath;
using test::ParseJson;
using test::RunProcess;

TEST(CliState, JsonCarriesTheEngineResultsExactly) {
    const auto R = RunProcess(CliPath(), {"state", "--pressure", "90", "--relhum", "50", "--enthalpy", "40", "--json"},
                              {"LC_ALL=C"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    const auto V = ParseJson(R.Out);
    TMollierCalculate Calc;
    Calc.Pressure = 90;
    EXPECT_EQ(V.at("pressure"), 90);
    EXPECT_EQ(V.at("relhum"), 50);
    EXPECT_EQ(V.at("enthalpy"), 40);
    EXPECT_EQ(V.at("temp"), Calc.TempFromRelHumEnthalpy(50, 40));
    EXPECT_EQ(V.at("spechum"), Calc.SpecHumFromRelHumEnthalpy(50, 40));
}

TEST(CliState, TextUsesTheEditorsFormatsAndGramsPerKilogram) {
    const auto R = RunProcess(CliPath(), {"state", "--spechum", "7.2585", "--temp", "20"}, {"LC_ALL=C"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    EXPECT_NE(R.Out.find("Temperature        20.0 °C"), std::string::npos) << R.Out;
    EXPECT_NE(R.Out.find("Relative humidity  50.0 %"), std::string::npos) << R.Out;
    EXPECT_NE(R.Out.find("Humidity ratio     7.26 g/kg"), std::string::npos) << R.Out;
    EXPECT_NE(R.Out.find("Enthalpy           38.5 kJ/kg"), std::string::npos) << R.Out;
}

TEST(CliState, FailuresAndWrongCallsHaveTheirExitCodes) {
    struct Case {
        std::vector<std::string> Args;
        int Exit;
        const char* Message;
    };
    const Case Cases[] = {
        {{"state", "--temp", "20"}, 2, "exactly two"},
        {{"state", "--temp", "20", "--relhum", "50", "--enthalpy", "3"}, 2, "exactly two"},
        {{"state", "--temp", "abc", "--relhum", "50"}, 2, "'abc' is not a valid floating point value"},
        {{"state", "--temp", "20", "--relhum"}, 2, "needs a value"},
        {{"state", "--temp", "20", "--colour", "red"}, 2, "unknown option --colour"},
        {{"state", "--temp", "200", "--relhum", "50"}, 1, "outside the saturation table"},
        {{"state", "--relhum", "1", "--enthalpy", "600"}, 1, "Calculation error"},
        {{"state", "--temp", "30", "--relhum", "120"}, 1, "The relative humidity must not be above 100%"},
        {{"state", "--temp", "20", "--enthalpy", "10"}, 1, "The humidity ratio must not be below 0 g/kg"},
        {{"nonsense"}, 2, "unknown command"},
    };
    for (const Case& C : Cases) {
        const auto R = RunProcess(CliPath(), C.Args, {"LC_ALL=C"});
        EXPECT_EQ(R.ExitCode, C.Exit) << C.Args[1] << " " << R.Err;
        EXPECT_NE(R.Err.find(C.Message), std::string::npos) << R.Err;
        EXPECT_EQ(std::count(R.Err.begin(), R.Err.end(), '\n'), 1) << "one line: " << R.Err;
    }
}

TEST(CliState, HelpAndVersionAnswer) {
    const auto Help = RunProcess(CliPath(), {"--help"});
    EXPECT_EQ(Help.ExitCode, 0);
    EXPECT_NE(Help.Out.find("state"), std::string::npos);
    const auto Version = RunProcess(CliPath(), {"--version"});
    EXPECT_EQ(Version.ExitCode, 0);
    EXPECT_EQ(Version.Out, "psykrona-cli 2.1b\n");
}

} // namespace
} // namespace psykrona
