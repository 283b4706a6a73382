// psykrona-cli from outside: one table of calls and what each must give, and
// properties that tie the tool's numbers to the engine's.
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CommaLocale.h"
#include "tests/support/RandomProject.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <regex>
#include <set>
#include <sstream>

namespace psykrona {
namespace {

using test::RunProcess;

// Two points with a process between them, then one without a line onwards.
TMain ThreePoints(double Pressure = TMain::NormalPressure) {
    TMain Doc;
    Doc.AirFlow = 2;
    Doc.SetPressure(Pressure);
    test::AddCalculatedPoint(Doc, "Outdoor, \"fresh\"", 10, PROP_SPECHUM, 0.005);
    test::AddCalculatedPoint(Doc, "P2", 30, PROP_SPECHUM, 0.005).LineToNext = false;
    test::AddCalculatedPoint(Doc, "P3", 25, PROP_SPECHUM, 0.010);
    return Doc;
}

enum class TEnv { Plain, Comma, FullStdout };

struct TRow {
    std::vector<std::string> Args; // "@name" names a file in the test's folder
    int Exit;
    std::vector<std::string> Out; // parts of standard output
    std::string Err;              // part of standard error
    std::string Stdin = "";
    TEnv Env = TEnv::Plain;
    std::string File = "";    // a file the call writes...
    std::string FileHas = ""; // ...holding this, or absent when empty
};

// Runs the tool in Folder with Stdin as standard input.
test::TProcessResult Tool(const test::TTempFolder& Folder, std::vector<std::string> Args, const std::string& Stdin,
                         TEnv Env) {
    for (std::string& A : Args) {
        A = A.starts_with("@") ? Folder.File(A.substr(1)) : A;
    }
    Folder.Write(".stdin", Stdin);
    Args.insert(Args.begin(), {"-c", std::string("exec \"$0\" \"$@\" < \"$STDIN\"") +
                                         (Env == TEnv::FullStdout ? " > /dev/full" : ""), test::CliPath()});
    std::vector<std::string> Vars = Env == TEnv::Comma ? test::CommaLocale().Env() : std::vector<std::string>{"LC_ALL=C"};
    Vars.push_back("STDIN=" + Folder.File(".stdin"));
    return RunProcess("/bin/sh", Args, Vars);
}

const std::string KLong(100000, '7');
const std::string KFull = "cannot write standard output: No space left on device";

const TRow Table[] = {
    // One state, by every kind of pair; refusals with their exit codes.
    {{"state", "--spechum", "7.2585", "--temp", "20"}, 0,
     {"Temperature        20.0 °C\nRelative humidity  50.0 %\nHumidity ratio     7.26 g/kg\n"
      "Enthalpy           38.5 kJ/kg\nDew point          9.3 °C\nWet bulb"}, ""},
    {{"state", "--temp", "20"}, 2, {}, "exactly two"},
    {{"state", "--temp", "abc", "--relhum", "50"}, 2, {}, "'abc' is not a valid floating point value"},
    {{"state", "--temp", "20", "--relhum"}, 2, {}, "needs a value"},
    {{"state", "--temp", "20", "--colour", "red"}, 2, {}, "unknown option --colour"},
    {{"state", "--temp", "200", "--relhum", "50"}, 1, {}, "outside the saturation table"},
    {{"state", "--relhum", "1", "--enthalpy", "600"}, 1, {}, "Calculation error"},
    {{"state", "--temp", "30", "--relhum", "120"}, 1, {}, "relative humidity must not be above 100%"},
    {{"state", "--temp", "20", "--enthalpy", "10"}, 1, {}, "humidity ratio must not be below 0 g/kg"},
    {{"state", "--pressure", "0", "--temp", "20", "--relhum", "50"}, 2, {}, "--pressure must be"},
    {{"state", "--temp", "20", "--dewpoint", "25"}, 1, {}, "dew point must not be above"},
    {{"state", "--pressure", "101.325", "--temp", "40", "--wetbulb", "20"}, 0, {"\nWet bulb           20.0 °C\n"}, ""},
    {{"nonsense"}, 2, {}, "unknown command"},
    // Echoed values are cut (the message stays short, see below).
    {{"state", "--temp", KLong + "x", "--relhum", "50"}, 2, {}, "is not a valid"},
    {{"state", "--temp", "20", "--relhum", "50", "--" + KLong}, 2, {}, "unknown option"},
    // A comma locale: typed and shown with a comma, once; JSON and CSV keep '.'.
    {{"state", "--temp", "20,5", "--relhum", "50"}, 0, {"101,3 kPa\nTemperature        20,5 °C\n"}, "", "",
     TEnv::Comma},
    {{"state", "--temp", "20.5", "--relhum", "50"}, 2, {}, "'20.5' is not a valid", "", TEnv::Comma},
    {{"state", "--temp", "20,5", "--relhum", "50", "--json"}, 0, {"{\"pressure\":101.3,\"temp\":20.5,\"relhum\":50,"},
     "", "", TEnv::Comma},
    {{"table", "@three.pkx", "--format", "csv"}, 0, {"\r\n1,\"Outdoor, \"\"fresh\"\"\",10,"}, "", "", TEnv::Comma},
    {{"table", "@three.pkx"}, 0, {"density 1,20 kg/m³", ", water 0,00 l/min"}, "", "", TEnv::Comma},
    {{"state", "--batch"}, 0, {"\r\n1,101.3,20.5,50,"}, "", "temp,relhum\n20.5,50\n", TEnv::Comma},
#ifdef PSYKRONA_CLI_WITH_QT
    {{"chart", "@three.pkx", "@c.svg"}, 0, {}, "", "", TEnv::Comma, "c.svg", ">0,035<"},
#endif
    // Projects: the older format by its ending in any case, in its code page.
    {{"convert", "@OLD.PKR", "@new.pkx"}, 0, {}, "", "", TEnv::Plain, "new.pkx",
     "<name>Kylbatteri efter fl\xC3\xA4kt</name>"},
    {{"table", "@OLD.PKR"}, 0, {"Kylbatteri efter fl\xC3\xA4kt"}, ""},
    {{"convert", "@bad.pkx", "@out.pkx"}, 1, {}, "bad.pkx", "", TEnv::Plain, "out.pkx"},
    {{"convert", "@three.pkx", "@out.txt"}, 2, {}, "", "", TEnv::Plain, "out.txt"},
    {{"table", "-", "--format", "json"}, 0, {"\"points\":[],\"processes\":[]"}, ""},
    {{"table", "@absent.pkx"}, 1, {}, "absent.pkx"},
    {{"table", "@gone\x1b[2J.pkx"}, 1, {}, "gone\\x1b[2J.pkx"},
    {{"table", "@absurd.pkx", "--format", "json"}, 0, {"\"power\":null,\"sensible_power\":null,\"water\":null"}, ""},
    // Names from files are shown so that they cannot act on a terminal or a
    // spreadsheet; JSON keeps them as they are, escaped.
    {{"table", "@names.pkr"}, 0, {"\\x1b]0;owned\\x07\\x1b[2J", "Tab\\x09here", "\\xc2\\x9b31m"}, ""},
    {{"table", "@names.pkr", "--format", "csv"}, 0,
     {",\\x1b]0;owned\\x07\\x1b[2J,", ",\"'=SUM(A1:A9)\",", ",\"'+1\",", ",\"'-2\",", ",\"'@cmd\",", ",Tab\there,"},
     ""},
    {{"table", "@names.pkr", "--format", "json"}, 0,
     {"\"name\":\"=SUM(A1:A9)\"", "\"name\":\"\\u001b]0;owned\\u0007\\u001b[2J\""}, ""},
    // Processes and mixing at the project's pressure (950 mbar) from its points;
    // wrong calls and a state past saturation.
    {{"process", "@p95.pkx", "1", "--heat-to", "40", "--json"}, 0, {"{\"pressure\":95,\"temp\":40,", "\"spechum\":0.005,"}, ""},
    {{"mix", "@p95.pkx", "1", "2", "--flow-a", "1", "--flow-b", "3", "--json"}, 0, {"{\"pressure\":95,"}, ""},
    {{"process", "@three.pkx", "4", "--heat-to", "40"}, 2, {}, ""},
    {{"process", "@three.pkx", "1", "--heat-to", "0"}, 1, {}, "past saturation"},
    // Batches: what stops the whole batch, and rows too long to hold, which
    // fail alone without shifting the rows after them.
    {{"state", "--batch", "--pressure", "90"}, 2, {}, "not both", "pressure,temp,relhum\n90,20,50\n"},
    {{"state", "--batch", "--temp", "20"}, 2, {}, "unknown option --temp", "temp,relhum\n20,50\n"},
    {{"state", "--batch"}, 1, {"\r\n3,101.3,20,50,"}, "row 1: the row is too long\npsykrona-cli state: row 2: the row is too long",
     "temp,relhum\n20," + std::string(700000, '5') + "\n20," + std::string(3000000, '5') + "\n20,50\n"},
    {{"state", "--batch"}, 2, {}, "header: unknown column 'colour'", "temp,colour\n20,50\n"},
    {{"state", "--batch"}, 2, {}, "header: name exactly two", "temp\n20\n"},
    {{"state", "--batch"}, 2, {}, "header: standard input is empty"},
    // Standard output that cannot take the result is a failure.
    {{"table", "@three.pkx", "--format", "json"}, 1, {}, KFull, "", TEnv::FullStdout},
    {{"state", "--temp", "20", "--relhum", "50"}, 1, {}, KFull, "", TEnv::FullStdout},
    {{"state", "--batch"}, 1, {}, KFull, "temp,relhum\n20,50\n", TEnv::FullStdout},
    {{"--version"}, 1, {}, KFull, "", TEnv::FullStdout},
};

class Cli : public testing::Test {
protected:
    void SetUp() override {
        Folder.Write("three.pkx", TMollierFileHandling::ProjectToXml(ThreePoints()));
        Folder.Write("p95.pkx", TMollierFileHandling::ProjectToXml(ThreePoints(95))); // real-density mode
        TMain Absurd = ThreePoints();
        Absurd.AirFlow = Absurd.Density = 1e200;
        Folder.Write("absurd.pkx", TMollierFileHandling::ProjectToXml(Absurd));
        Folder.Write("bad.pkx", "<psykrona><version/>");
        Folder.Write("OLD.PKR", "1\r\n2\r\n20\r\n101.3\r\n1.2\r\n1\r\nKylbatteri efter fl\xE4kt\r\n20\r\n"
                                "0.0072585\r\n50\r\n38.518\r\n1\r\n3\r\n1\r\n0\r\n");
        // The older format keeps any byte but a line break in a name.
        const std::vector<std::string> Names = {"\x1b]0;owned\x07\x1b[2J", "=SUM(A1:A9)", "+1", "-2", "@cmd",
                                                "Tab\there", "Zuluft \xc2\x9b" "31m"};
        std::string Pkr = std::to_string(Names.size()) + "\r\n2\r\n20\r\n101.3\r\n1.2\r\n";
        for (std::size_t I = 0; I < Names.size(); ++I) {
            Pkr += std::to_string(I + 1) + "\r\n" + Names[I] + "\r\n20\r\n0.0072585\r\n50\r\n38.518\r\n1\r\n3\r\n1\r\n0\r\n";
        }
        Folder.Write("names.pkr", Pkr);
    }
    test::TTempFolder Folder;
};

TEST_F(Cli, EveryCallGivesItsExitCodeOutputAndMessage) {
    for (const TRow& Row : Table) {
        SCOPED_TRACE("row " + std::to_string(&Row - Table) + ": " + Row.Args[0].substr(0, 40));
        const auto R = Tool(Folder, Row.Args, Row.Stdin, Row.Env);
        EXPECT_EQ(R.ExitCode, Row.Exit) << R.Err.substr(0, 300);
        for (const std::string& Part : Row.Out) {
            EXPECT_NE(R.Out.find(Part), std::string::npos) << Part << "\n" << R.Out.substr(0, 2000);
        }
        EXPECT_NE(R.Err.find(Row.Err), std::string::npos) << R.Err.substr(0, 300);
        // Silent on success, a short message on failure, never a byte a terminal acts on.
        EXPECT_EQ(R.ExitCode == 0, R.Err.empty()) << R.Err.substr(0, 300);
        EXPECT_LT(R.Err.size(), 400u);
        EXPECT_EQ((R.Out + R.Err).find_first_of("\x1b\x07"), std::string::npos);
        if (!Row.File.empty()) { // each row its own file
            const bool Made = std::filesystem::exists(Folder.File(Row.File));
            EXPECT_TRUE(Made ? Folder.Read(Row.File).find(Row.FileHas) != std::string::npos && !Row.FileHas.empty()
                             : Row.FileHas.empty()) << Row.File;
        }
    }
}

// A tool copied away from its helpers still solves states (which need
// none), and names the helper it misses.
TEST_F(Cli, AMissingHelperIsNamed) {
    const std::string Alone = Folder.File("psykrona-cli");
    std::filesystem::copy_file(test::CliPath(), Alone);
    const auto Missing = RunProcess(Alone, {"table", "-"}, {"LC_ALL=C"});
    EXPECT_EQ(Missing.ExitCode, 1);
    EXPECT_EQ(Missing.Out + Missing.Err, "psykrona-cli table: cannot start " + Folder.File("psykrona-cli-files") +
                                             ": No such file or directory\n");
    EXPECT_NE(RunProcess(Alone, {"state", "--temp", "20", "--relhum", "50"}, {"LC_ALL=C"}).Out.find("Relative humidity  50.0 %"),
              std::string::npos);
}

// JSON has no bare words but true, false and null (NaN and INF were).
bool OnlyJsonTokens(const std::string& Json) {
    const std::string Bare = std::regex_replace(Json, std::regex(R"("(\\.|[^"\\])*")"), "");
    return std::regex_match(Bare, std::regex(R"(([\[\]{}:,\s0-9.eE+-]|true|false|null)*)"));
}

// Random projects in the older format, whose point numbers are kept as
// stored (all 1, or small numbers repeated): every process belongs to the
// rows of its two points by position, in CSV and JSON, with the document's
// own quantities; JSON stays JSON for values that have none.
TEST_F(Cli, TableTiesProcessesToPointsByPosition) {
    const unsigned Seed = 1306;
    std::mt19937 Rng(Seed);
    for (int Round = 0; Round < 6; ++Round) {
        SCOPED_TRACE("seed " + std::to_string(Seed) + ", round " + std::to_string(Round));
        const int N = 2 + static_cast<int>(Rng() % 5);
        std::string Pkr = std::to_string(N) + "\r\n1.5\r\n20\r\n101.3\r\n1.2\r\n";
        for (int I = 0; I < N; ++I) {
            Pkr += std::to_string(Round < 2 ? 1 : 1 + Rng() % 3) + "\r\nP" + std::to_string(I) + "\r\n" +
                   std::to_string(5 + I * 4) + "\r\n0.00" + std::to_string(3 + Rng() % 7) + "\r\n50\r\n" +
                   std::to_string(10 + Rng() % 50) + "\r\n1\r\n2\r\n1\r\n" + (Rng() % 3 != 0 ? "1" : "0") + "\r\n";
        }
        Folder.Write("n.pkr", Pkr);
        TMain Doc;
        TMollierFileHandling::ProjectFromOldFormat(Pkr, Doc, "n.pkr");
        const TMollierPointArray& P = Doc.Points;
        const std::string Csv = Tool(Folder, {"table", "@n.pkr", "--format", "csv"}, "", TEnv::Plain).Out;
        const std::string Js = Tool(Folder, {"table", "@n.pkr", "--format", "json"}, "", TEnv::Plain).Out;
        EXPECT_TRUE(OnlyJsonTokens(Js)) << Js;
        ASSERT_EQ(std::count(Csv.begin(), Csv.end(), '\n'), static_cast<long>(P.size()) + 1) << Csv;
        std::istringstream Rows(Csv);
        std::string Row;
        std::getline(Rows, Row);
        const auto Columns = std::count(Row.begin(), Row.end(), ',');
        for (std::size_t I = 0; I < P.size() && std::getline(Rows, Row); ++I) {
            std::string Process = ",,"; // power, sensible power, water after the point's eight columns
            if (I > 0 && P[I - 1].LineToNext) {
                const TMollierPoint& Q = P[I - 1];
                Process = ShortestText(Doc.Power(Q.Enthalpy, P[I].Enthalpy)) + "," +
                          ShortestText(Doc.SensiblePower(Q.Temp, P[I].Temp, Q.SpecHum, P[I].SpecHum)) + "," +
                          ShortestText(Doc.Water(Q.SpecHum, P[I].SpecHum));
            }
            const std::string Rest = std::regex_replace(Row, std::regex("^([^,]*,){8}"), "");
            EXPECT_EQ(std::count(Row.begin(), Row.end(), ','), Columns) << Row;
            EXPECT_EQ(Row.substr(0, Row.find(',')) + "," + Rest.substr(0, Process.size() + 1),
                      std::to_string(P[I].Number) + "," + Process + ",") << "row " << I;
            const std::string Json = "\"from_index\":" + std::to_string(I) + ",\"to_index\":" + std::to_string(I + 1) +
                                     ",\"power\":" + (I + 1 < P.size() ? ShortestText(Doc.Power(P[I].Enthalpy, P[I + 1].Enthalpy)) : "");
            EXPECT_EQ(Js.find(Json + ",") != std::string::npos, I + 1 < P.size() && P[I].LineToNext) << Json;
        }
    }
    EXPECT_TRUE(OnlyJsonTokens(Tool(Folder, {"table", "@absurd.pkx", "--format", "json"}, "", TEnv::Plain).Out));
    EXPECT_FALSE(OnlyJsonTokens("{\"power\":INF,\"a\":\"NAN\"}"));
}

// Random rows of every pair (one pair with a pressure per row, one with so
// many rows that input and output pass through several of the tool's
// buffers) and broken rows: each row exactly as the engine solves it, named
// on standard error where the engine has no result or refuses it.
TEST_F(Cli, BatchRowsAreTheEnginesResultsAndFailuresAreNamed) {
    const unsigned Seed = 20261206;
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937 Rng(Seed);
    const std::vector<std::string> Names = {"temp", "relhum", "spechum", "enthalpy"};
    const int Codes[] = {PROP_TEMP, PROP_RELHUM, PROP_SPECHUM, PROP_ENTHALPY};
    const std::pair<double, double> Ranges[] = {{-30, 60}, {0, 110}, {-1, 30}, {-20, 150}};
    for (const auto& [A, B] : {std::pair{0, 1}, {1, 0}, {0, 2}, {3, 0}, {2, 1}, {2, 3}, {1, 3}}) {
        SCOPED_TRACE(Names[A] + "," + Names[B]);
        const bool PerRowPressure = A == 1;
        const int Count = A == 0 && B == 1 ? 120000 : 40;
        std::string Input = (PerRowPressure ? "pressure," : "") + Names[A] + "," + Names[B] + "\n";
        std::vector<std::array<double, 3>> Given; // pressure and the two values; pressure 0 for a broken row
        for (int I = 0; I < Count; ++I) {
            if (I % 17 == 4) {
                Input += PerRowPressure ? "95,1.5\n" : "20,x\n"; // too few values / not a number
                Given.push_back({0, 0, 0});
                continue;
            }
            auto Draw = [&](int Prop) { // up to six decimals, so that rows differ in length
                const double Scale = std::pow(10, Rng() % 7);
                return std::round(std::uniform_real_distribution<double>(Ranges[Prop].first, Ranges[Prop].second)(Rng) *
                                  Scale) / Scale;
            };
            Given.push_back({PerRowPressure ? 80 + (I % 9) * 2.5 : 101.3, Draw(A), Draw(B)});
            Input += (PerRowPressure ? ShortestText(Given.back()[0]) + "," : "") + ShortestText(Given.back()[1]) +
                     "," + ShortestText(Given.back()[2]) + (I % 2 ? "\r\n" : "\n");
        }
        // The engine's answer to each row: its CSV line, or the row's number among the failures named.
        std::string Csv = "row,pressure_kpa,temp_c,relhum_pct,spechum_g_per_kg,enthalpy_kj_per_kg\r\n";
        std::set<std::size_t> Failing, Named;
        for (std::size_t Row = 1; Row <= Given.size(); ++Row) {
            const auto& [Pressure, First, Second] = Given[Row - 1];
            TMollierCalculate::GetInstance().Pressure = Pressure;
            double Values[4] = {};
            Values[A] = First;
            Values[B] = Second;
            TMoistAirState S{Values[0], Values[2] / 1000, Values[1], Values[3]};
            bool Result = false;
            try {
                Result = Pressure > 0 && TMollierCalculate::GetInstance().SolveFromPair(Codes[A], Codes[B], S);
            } catch (const std::exception&) {
            }
            if (!Result || S.RelHum > 100 || S.SpecHum < 0) {
                Failing.insert(Row);
            }
            Csv += !Result ? "" : std::to_string(Row) + "," + ShortestText(Pressure) + "," + ShortestText(S.Temp) + "," +
                                      ShortestText(S.RelHum) + "," + ShortestText(S.SpecHum * 1000) + "," +
                                      ShortestText(S.Enthalpy) + "\r\n";
        }
        const auto Batch = Tool(Folder, {"state", "--batch"}, Input, TEnv::Plain);
        EXPECT_TRUE(Batch.Out == Csv) << "the first difference at byte " << std::mismatch(Csv.begin(), Csv.end(), Batch.Out.begin(), Batch.Out.end()).first - Csv.begin();
        const std::regex Failed(": row ([0-9]+): ");
        for (auto It = std::sregex_iterator(Batch.Err.begin(), Batch.Err.end(), Failed); It != std::sregex_iterator(); ++It) {
            Named.insert(std::stoul((*It)[1]));
        }
        EXPECT_TRUE(Named == Failing) << Batch.Err.substr(0, 300);
        EXPECT_GT(std::count(Csv.begin(), Csv.end(), '\n') * 4, Given.size()) << "too few solvable rows to compare";
        EXPECT_EQ(Batch.ExitCode, Named.empty() ? 0 : 1) << Batch.Err.substr(0, 300);
    }
}

} // namespace
} // namespace psykrona
