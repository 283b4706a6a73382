// The command-line tool's dew point, wet bulb, processes and mixing: the
// project's pressure, air flow and points reach the tools, and every output
// carries the further properties.
#include "engine/Main.h"
#include "engine/MollierProcess.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/cli/CliJson.h"
#include "tests/files/FileTestSupport.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <regex>

namespace psykrona {
namespace {

using test::CliPath;
using test::ParseJson;
using test::RunProcess;
using test::TTempDir;
using test::WriteBytes;

std::map<std::string, double> Json(const std::vector<std::string>& Args) {
    std::vector<std::string> All = Args;
    All.push_back("--json");
    const auto R = RunProcess(CliPath(), All, {"LC_ALL=C"});
    EXPECT_EQ(R.ExitCode, 0) << R.Err;
    return ParseJson(R.Out);
}

class CliProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDecimalSeparator('.');
        TMain Doc;
        Doc.AirFlow = 2;
        Doc.SetPressure(95); // real-density mode at 950 mbar
        Doc.Density = Density;
        const double T[3] = {30, 24, 5};
        const double Rh[3] = {60, 50, 80};
        for (int I = 0; I < 3; ++I) {
            TMollierPoint& P = Doc.AddPoint();
            P.Number = I + 1;
            P.Temp = T[I];
            P.RelHum = Rh[I];
            P.Prescribed1 = 1;
            P.Prescribed2 = 3;
        }
        Doc.CalculateAll();
        for (const TMollierPoint& P : Doc.Points) {
            States.push_back({P.Temp, P.SpecHum, P.RelHum, P.Enthalpy});
        }
        WriteBytes(Dir / "p.pkx", TMollierFileHandling::ProjectToXml(Doc));
        Project = Dir / "p.pkx";
    }
    TTempDir Dir;
    std::string Project;
    std::vector<TMoistAirState> States;
    const double Density = TMain::RealDensity(20, 950);
};

TEST(CliDewWetBulb, StateTakesDewPointAndWetBulbAndPrintsTheNewProperties) {
    auto V = Json({"state", "--pressure", "101.325", "--temp", "40", "--wetbulb", "20"});
    EXPECT_NEAR(V.at("spechum") * 1000, 6.5, 0.2); // the handbook's example
    EXPECT_NEAR(V.at("wetbulb"), 20, 1e-6);
    EXPECT_LT(V.at("dewpoint"), 20);
    V = Json({"state", "--temp", "20", "--dewpoint", "10"});
    EXPECT_NEAR(V.at("dewpoint"), 10, 1e-9);
    EXPECT_NEAR(V.at("moist_air_density") * V.at("specific_volume"), 1 + V.at("spechum"), 1e-12);
    EXPECT_GT(V.at("vapour_pressure"), 1.2); // 10 °C saturates near 1.23 kPa
    V = Json({"state", "--wetbulb", "15", "--relhum", "60"});
    EXPECT_NEAR(V.at("wetbulb"), 15, 1e-6);
    EXPECT_NEAR(V.at("relhum"), 60, 1e-6);

    const auto Text = RunProcess(CliPath(), {"state", "--temp", "20", "--relhum", "50"}, {"LC_ALL=C"});
    EXPECT_NE(Text.Out.find("Enthalpy           38.5 kJ/kg\nDew point          9.3 °C\nWet bulb"),
              std::string::npos)
        << Text.Out;
    for (const std::vector<std::string>& Wrong :
         {std::vector<std::string>{"--dewpoint", "10", "--relhum", "50"},
          {"--dewpoint", "10", "--wetbulb", "5", "--temp", "20"},
          {"--wetbulb", "10", "--temp", "20", "--relhum", "50"}}) {
        std::vector<std::string> Args{"state"};
        Args.insert(Args.end(), Wrong.begin(), Wrong.end());
        EXPECT_EQ(RunProcess(CliPath(), Args, {"LC_ALL=C"}).ExitCode, 2) << Wrong[0] << " " << Wrong[2];
    }
    const auto Impossible =
        RunProcess(CliPath(), {"state", "--temp", "20", "--dewpoint", "25"}, {"LC_ALL=C"});
    EXPECT_EQ(Impossible.ExitCode, 1);
    EXPECT_NE(Impossible.Err.find("dew point must not be above"), std::string::npos) << Impossible.Err;
}

TEST_F(CliProcessTest, ProcessesUseTheProjectsPressureFlowAndPoints) {
    auto V = Json({"process", Project, "1", "--heat-to", "40"});
    EXPECT_EQ(V.at("pressure"), 95);
    EXPECT_EQ(V.at("temp"), 40);
    EXPECT_DOUBLE_EQ(V.at("spechum"), States[0].SpecHum);

    V = Json({"process", Project, "1", "--power", "-10"});
    EXPECT_NEAR(TMollierCalculate::Power(2, Density, States[0].Enthalpy, V.at("enthalpy")), -10, 1e-9);

    V = Json({"process", Project, "1", "--coil-adp", "10", "--leaving-temp", "14"});
    EXPECT_NEAR(V.at("temp"), 14, 1e-9);
    EXPECT_LT(V.at("spechum"), States[0].SpecHum);

    V = Json({"process", Project, "3", "--recover-from", "2", "--efficiency", "0.75"});
    EXPECT_NEAR(V.at("temp"), 5 + 0.75 * 19, 1e-9);
    EXPECT_DOUBLE_EQ(V.at("spechum"), States[2].SpecHum);

    V = Json({"process", Project, "3", "--steam-to-relhum", "90"});
    EXPECT_NEAR(V.at("relhum"), 90, 1e-6);
    V = Json({"process", Project, "2", "--adiabatic-to-relhum", "90"});
    EXPECT_NEAR(V.at("enthalpy"), States[1].Enthalpy, 1e-9);

    // Mixing by dry-air mass: at 950 mbar the project is in real-density
    // mode, so each stream has the real density at its own temperature.
    V = Json({"mix", Project, "1", "3", "--flow-a", "1", "--flow-b", "3"});
    const double Ma = TMain::RealDensity(30, 950);
    const double Mb = 3 * TMain::RealDensity(5, 950);
    EXPECT_NEAR(V.at("spechum"), (Ma * States[0].SpecHum + Mb * States[2].SpecHum) / (Ma + Mb), 1e-12);
    EXPECT_NEAR(V.at("enthalpy"), (Ma * States[0].Enthalpy + Mb * States[2].Enthalpy) / (Ma + Mb), 1e-9);
    EXPECT_TRUE(V.count("wetbulb"));

    for (const std::vector<std::string>& Wrong :
         {std::vector<std::string>{"process", Project, "4", "--heat-to", "40"},
          {"process", Project, "1", "--heat-to", "40", "--power", "3"},
          {"process", Project, "1", "--coil-adp", "10"},
          {"mix", Project, "1", "2", "--flow-a", "1"}}) {
        EXPECT_EQ(RunProcess(CliPath(), Wrong, {"LC_ALL=C"}).ExitCode, 2) << Wrong[2] << " " << Wrong[3];
    }
    const auto Fog = RunProcess(CliPath(), {"process", Project, "1", "--heat-to", "5"}, {"LC_ALL=C"});
    EXPECT_EQ(Fog.ExitCode, 1);
    EXPECT_NE(Fog.Err.find("past saturation"), std::string::npos) << Fog.Err;
}

TEST_F(CliProcessTest, TableCarriesTheNewColumnsInCsvAndJson) {
    const auto Csv = RunProcess(CliPath(), {"table", Project, "--format", "csv"}, {"LC_ALL=C"});
    ASSERT_EQ(Csv.ExitCode, 0) << Csv.Err;
    std::vector<std::string> Lines;
    for (std::size_t At = 0, End; (End = Csv.Out.find("\r\n", At)) != std::string::npos; At = End + 2) {
        Lines.push_back(Csv.Out.substr(At, End - At));
    }
    ASSERT_EQ(Lines.size(), 4U);
    EXPECT_NE(Lines[0].find(",latent_power_kw,shr,water_kg_per_h,dewpoint_c,wetbulb_c,"), std::string::npos);
    for (const std::string& L : Lines) {
        EXPECT_EQ(std::count(L.begin(), L.end(), ','), std::count(Lines[0].begin(), Lines[0].end(), ','))
            << L;
    }
    const auto Js = RunProcess(CliPath(), {"table", Project, "--format", "json"}, {"LC_ALL=C"});
    ASSERT_EQ(Js.ExitCode, 0) << Js.Err;
    const std::regex Process("\\{\"from\":1,\"to\":2,[^}]*\\}");
    std::smatch M;
    ASSERT_TRUE(std::regex_search(Js.Out, M, Process)) << Js.Out;
    const auto V = ParseJson(M.str());
    EXPECT_NEAR(V.at("shr") * V.at("power"), V.at("sensible_power"), 1e-9);
    EXPECT_NEAR(V.at("latent_power_kw"), V.at("power") - V.at("sensible_power"), 1e-9);
    EXPECT_NEAR(V.at("water_kg_per_h"), V.at("water") * 60, 1e-9);
    const std::regex Point("\"wetbulb\":[-0-9.eE+]+");
    EXPECT_EQ(
        std::distance(std::sregex_iterator(Js.Out.begin(), Js.Out.end(), Point), std::sregex_iterator()), 3);
}

} // namespace
} // namespace psykrona
