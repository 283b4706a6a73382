// psykrona-cli from outside: one table of calls (arguments, standard input,
// locale) and what each must give (exit code, parts of its output and of
// its message), and properties that tie the tool's numbers to the engine's.
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CommaLocale.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <regex>
#include <set>

namespace psykrona {
namespace {

using test::RunProcess;

// Two points with a process between them, then one without a line onwards.
TMain ThreePoints(double Pressure = TMain::NormalPressure) {
    TMain Doc;
    Doc.AirFlow = 2;
    Doc.SetPressure(Pressure);
    for (int I = 0; I < 3; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        std::tie(P.Number, P.Name, P.Temp, P.SpecHum, P.Prescribed1, P.Prescribed2) =
            std::tuple{I + 1, I == 0 ? "Outdoor, \"fresh\"" : "P" + std::to_string(I + 1), std::array{10, 30, 25}[I],
                       I < 2 ? 0.005 : 0.010, PROP_TEMP, PROP_SPECHUM};
    }
    Doc.Points[1].LineToNext = false;
    Doc.CalculateAll();
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

const TRow Table[] = {
    // One state, by every kind of pair; refusals with their exit codes.
    {{"state", "--spechum", "7.2585", "--temp", "20"}, 0,
     {"Temperature        20.0 °C\nRelative humidity  50.0 %\nHumidity ratio     7.26 g/kg\n"
      "Enthalpy           38.5 kJ/kg\nDew point          9.3 °C\nWet bulb"}, ""},
    {{"state", "--temp", "20"}, 2, {}, "exactly two"},
    {{"state", "--temp", "20", "--relhum", "50", "--enthalpy", "3"}, 2, {}, "exactly two"},
    {{"state", "--temp", "abc", "--relhum", "50"}, 2, {}, "'abc' is not a valid floating point value"},
    {{"state", "--temp", "20", "--relhum"}, 2, {}, "needs a value"},
    {{"state", "--temp", "20", "--colour", "red"}, 2, {}, "unknown option --colour"},
    {{"state", "--temp", "200", "--relhum", "50"}, 1, {}, "outside the saturation table"},
    {{"state", "--relhum", "1", "--enthalpy", "600"}, 1, {}, "Calculation error"},
    {{"state", "--temp", "30", "--relhum", "120"}, 1, {}, "relative humidity must not be above 100%"},
    {{"state", "--temp", "20", "--enthalpy", "10"}, 1, {}, "humidity ratio must not be below 0 g/kg"},
    {{"state", "--pressure", "0", "--temp", "20", "--relhum", "50"}, 2, {}, "--pressure must be"},
    {{"state", "--temp", "20", "--dewpoint", "25"}, 1, {}, "dew point must not be above"},
    {{"state", "--dewpoint", "10", "--relhum", "50"}, 2, {}, ""},
    {{"state", "--dewpoint", "10", "--wetbulb", "5", "--temp", "20"}, 2, {}, ""},
    {{"state", "--wetbulb", "10", "--temp", "20", "--relhum", "50"}, 2, {}, ""},
    {{"nonsense"}, 2, {}, "unknown command"},
    // Echoed values are cut (the message stays short, see below).
    {{"state", "--temp", KLong + "x", "--relhum", "50"}, 2, {}, "is not a valid"},
    {{"state", "--temp", "20", "--relhum", "50", "--" + KLong}, 2, {}, "unknown option"},
    {{"table", "@names.pkr", "--format", KLong}, 2, {}, ""},
    {{"convert", "@three.pkx", "@" + KLong + ".pk"}, 2, {}, ""},
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
    {{"convert", "@three.pkx"}, 2, {}, ""},
    {{"table", "-", "--format", "json"}, 0, {"\"points\":[],\"processes\":[]"}, ""},
    {{"table", "-", "--format", "xls"}, 2, {}, ""},
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
    // Processes and mixing: wrong calls and a state past saturation.
    {{"process", "@three.pkx", "4", "--heat-to", "40"}, 2, {}, ""},
    {{"process", "@three.pkx", "1", "--heat-to", "40", "--power", "3"}, 2, {}, ""},
    {{"process", "@three.pkx", "1", "--coil-adp", "10"}, 2, {}, ""},
    {{"mix", "@three.pkx", "1", "2", "--flow-a", "1"}, 2, {}, ""},
    {{"process", "@three.pkx", "1", "--heat-to", "0"}, 1, {}, "past saturation"},
    // Batches: what stops the whole batch, and rows too long to hold, which
    // fail alone without shifting the rows after them.
    {{"state", "--batch", "--pressure", "90"}, 2, {}, "not both", "pressure,temp,relhum\n90,20,50\n"},
    {{"state", "--batch", "--temp", "20"}, 2, {}, "unknown option --temp", "temp,relhum\n20,50\n"},
    {{"state", "--batch"}, 1, {"\r\n3,101.3,20,50,"}, "row 1: the row is too long\npsykrona-cli state: row 2: the row is too long",
     "temp,relhum\n20," + std::string(700000, '5') + "\n20," + std::string(3000000, '5') + "\n20,50\n"},
};

class Cli : public testing::Test {
protected:
    void SetUp() override {
        Folder.Write("three.pkx", TMollierFileHandling::ProjectToXml(ThreePoints()));
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
    std::vector<TRow> Rows(std::begin(Table), std::end(Table));
    // Batch headers that stop the whole batch.
    for (const auto& [Input, Message] : {std::pair{"temp,colour\n20,50\n", "unknown column 'colour'"},
                                         {"temp\n20\n", "name exactly two"},
                                         {"temp,relhum,spechum\n20,50,7\n", "name exactly two"},
                                         {"", "standard input is empty"}}) {
        Rows.push_back({{"state", "--batch"}, 2, {}, std::string("header: ") + Message, Input});
    }
    // Standard output that cannot take the result is a failure.
    for (const auto& [Args, Input] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"table", "@three.pkx"}, ""}, {{"table", "@three.pkx", "--format", "json"}, ""},
             {{"state", "--temp", "20", "--relhum", "50"}, ""}, {{"state", "--batch"}, "temp,relhum\n20,50\n"},
             {{"--help"}, ""}, {{"--version"}, ""}}) {
        Rows.push_back({Args, 1, {}, "cannot write standard output: No space left on device", Input, TEnv::FullStdout});
    }
    for (const TRow& Row : Rows) {
        std::string Call = Row.Env == TEnv::Comma ? "(comma locale)" : "";
        for (const std::string& A : Row.Args) {
            Call += " " + A.substr(0, 40);
        }
        SCOPED_TRACE(Call);
        const auto R = Tool(Folder, Row.Args, Row.Stdin, Row.Env);
        EXPECT_EQ(R.ExitCode, Row.Exit) << R.Err.substr(0, 300);
        for (const std::string& Part : Row.Out) {
            EXPECT_NE(R.Out.find(Part), std::string::npos) << Part << "\n" << R.Out.substr(0, 2000);
        }
        EXPECT_NE(R.Err.find(Row.Err), std::string::npos) << R.Err.substr(0, 300);
        // Said on success: nothing. On failure: a short message, and nothing
        // that a terminal would act on anywhere.
        EXPECT_EQ(R.ExitCode == 0, R.Err.empty()) << R.Err.substr(0, 300);
        EXPECT_LT(R.Err.size(), 400u);
        EXPECT_EQ((R.Out + R.Err).find_first_of("\x1b\x07"), std::string::npos);
        if (!Row.File.empty()) {
            const bool Made = std::filesystem::exists(Folder.File(Row.File));
            EXPECT_EQ(Made, !Row.FileHas.empty()) << Row.File;
            EXPECT_TRUE(!Made || Folder.Read(Row.File).find(Row.FileHas) != std::string::npos) << Row.File;
            std::filesystem::remove(Folder.File(Row.File));
        }
    }
}

// Each command loads only what it uses (from the loader's LD_DEBUG=libs trace
// through every program it ran in): the calculator no Qt and no libxml2, the
// project commands no Qt. A tool copied away from its helpers still solves
// states and lists every command, and names the helper it misses.
TEST_F(Cli, CommandsLoadOnlyWhatTheyUseAndAMissingHelperIsNamed) {
    auto Loaded = [](const std::vector<std::string>& Args) {
        const auto R = RunProcess(test::CliPath(), Args, {"LC_ALL=C", "LD_DEBUG=libs"});
        EXPECT_EQ(R.ExitCode, 0) << Args[0];
        std::string Libraries;
        for (std::size_t At = R.Err.find("calling init: "); At != std::string::npos; At = R.Err.find("calling init: ", At + 1)) {
            Libraries += R.Err.substr(At + 14, R.Err.find('\n', At) - At - 14) + "\n";
        }
        return Libraries;
    };
    const std::string State = Loaded({"state", "--temp", "20", "--relhum", "50"});
    EXPECT_NE(State.find("libc.so"), std::string::npos) << "no trace to judge:\n" << State;
    EXPECT_EQ(State.find("libQt6"), std::string::npos) << State;
    EXPECT_EQ((State + Loaded({"--version"})).find("libxml2"), std::string::npos) << State;
    const std::string Project = Loaded({"table", Folder.File("three.pkx")});
    EXPECT_NE(Project.find("libxml2"), std::string::npos) << Project;
    EXPECT_EQ(Project.find("libQt6"), std::string::npos) << Project;
#ifdef PSYKRONA_CLI_WITH_QT
    EXPECT_NE(Loaded({"chart", "-", Folder.File("c.svg"), "--width", "50"}).find("libQt6Gui"), std::string::npos);
#endif
    std::filesystem::copy_file(test::CliPath(), Folder.Path() / "psykrona-cli");
    const std::string Alone = Folder.File("psykrona-cli");
    const auto Missing = RunProcess(Alone, {"table", "-"}, {"LC_ALL=C"});
    EXPECT_EQ(Missing.ExitCode, 1);
    EXPECT_EQ(Missing.Out + Missing.Err, "psykrona-cli table: cannot start " + Folder.File("psykrona-cli-files") +
                                             ": No such file or directory\n");
    EXPECT_NE(RunProcess(Alone, {"state", "--temp", "20", "--relhum", "50"}, {"LC_ALL=C"}).Out.find("Relative humidity  50.0 %"),
              std::string::npos);
    EXPECT_NE(RunProcess(Alone, {"--help"}, {"LC_ALL=C"}).Out.find("\n  table PROJECT"), std::string::npos);
}

// The number fields of a JSON object, read back exactly; null reads as NaN.
std::map<std::string, double> Numbers(const std::string& Json) {
    std::map<std::string, double> Values;
    const std::regex Field("\"([a-z_]+)\":([-0-9.eE+]+|null)");
    for (auto It = std::sregex_iterator(Json.begin(), Json.end(), Field); It != std::sregex_iterator(); ++It) {
        Values[(*It)[1]] = (*It)[2] == "null" ? std::nan("") : std::stod((*It)[2]);
    }
    return Values;
}

std::map<std::string, double> Json(const test::TTempFolder& Folder, std::vector<std::string> Args) {
    Args.push_back("--json");
    const auto R = Tool(Folder, Args, "", TEnv::Plain);
    EXPECT_EQ(R.ExitCode, 0) << R.Err;
    return Numbers(R.Out);
}

// JSON has no bare words but true, false and null (NaN and INF were).
bool OnlyJsonTokens(const std::string& Json) {
    const std::string Bare = std::regex_replace(Json, std::regex(R"("(\\.|[^"\\])*")"), "");
    return std::regex_match(Bare, std::regex(R"(([\[\]{}:,\s0-9.eE+-]|true|false|null)*)"));
}

// The project's pressure, air flow and points reach the tools.
TEST_F(Cli, ProcessesAndStatesTakeTheProjectsPressureFlowAndPoints) {
    const TMain Doc = ThreePoints(95); // real-density mode at 950 mbar
    const auto& P = Doc.Points;
    Folder.Write("p.pkx", TMollierFileHandling::ProjectToXml(Doc));
    auto V = Json(Folder, {"process", "@p.pkx", "1", "--heat-to", "40"});
    EXPECT_TRUE(V["pressure"] == 95 && V["temp"] == 40 && V["spechum"] == P[0].SpecHum) << V["spechum"];
    V = Json(Folder, {"process", "@p.pkx", "1", "--power", "-10"});
    EXPECT_NEAR(Doc.Power(P[0].Enthalpy, V["enthalpy"]), -10, 1e-9);
    V = Json(Folder, {"process", "@p.pkx", "3", "--recover-from", "2", "--efficiency", "0.75"});
    EXPECT_NEAR(V["temp"], P[2].Temp + 0.75 * (P[1].Temp - P[2].Temp), 1e-9);
    V = Json(Folder, {"mix", "@p.pkx", "1", "3", "--flow-a", "1", "--flow-b", "3"});
    EXPECT_TRUE(V["pressure"] == 95 && V["spechum"] > P[0].SpecHum && V["spechum"] < P[2].SpecHum) << V["spechum"];
    // A wet bulb and a dew point that solve back to themselves.
    V = Json(Folder, {"state", "--pressure", "101.325", "--temp", "40", "--wetbulb", "20"});
    EXPECT_NEAR(V["wetbulb"], 20, 1e-6);
    V = Json(Folder, {"state", "--temp", "20", "--dewpoint", "10"});
    EXPECT_NEAR(V["dewpoint"], 10, 1e-9);
    EXPECT_NEAR(V["moist_air_density"] * V["specific_volume"], 1 + V["spechum"], 1e-12);
}

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> Result;
    std::istringstream In(Text);
    for (std::string L; std::getline(In, L);) {
        Result.push_back(L.substr(0, L.find_last_not_of('\r') + 1));
    }
    return Result;
}

// Random projects in the older format, whose point numbers are kept as
// stored (all 1, or small numbers repeated): every process belongs to the
// rows of its two points by position, in CSV and JSON, with the
// document's own quantities.
TEST_F(Cli, TableTiesProcessesToPointsByPosition) {
    const unsigned Seed = 1306;
    std::mt19937 Rng(Seed);
    for (int Round = 0; Round < 6; ++Round) {
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
        auto Leads = [&](std::size_t I) { return I + 1 < P.size() && P[I].LineToNext; };
        SCOPED_TRACE("seed " + std::to_string(Seed) + ", round " + std::to_string(Round));

        const auto Csv = Lines(Tool(Folder, {"table", "@n.pkr", "--format", "csv"}, "", TEnv::Plain).Out);
        ASSERT_EQ(Csv.size(), P.size() + 1);
        const auto Columns = std::count(Csv[0].begin(), Csv[0].end(), ',');
        for (std::size_t I = 0; I < P.size(); ++I) {
            std::string Process = ",,"; // power, sensible power, water after the point's eight columns
            if (I > 0 && Leads(I - 1)) {
                const TMollierPoint& Q = P[I - 1];
                Process = ShortestText(Doc.Power(Q.Enthalpy, P[I].Enthalpy)) + "," +
                          ShortestText(Doc.SensiblePower(Q.Temp, P[I].Temp, Q.SpecHum, P[I].SpecHum)) + "," +
                          ShortestText(Doc.Water(Q.SpecHum, P[I].SpecHum));
            }
            const std::string& Row = Csv[I + 1];
            std::size_t At = 0;
            for (int Comma = 0; Comma < 8; ++Comma) {
                At = Row.find(',', At) + 1;
            }
            EXPECT_EQ(std::count(Row.begin(), Row.end(), ','), Columns) << Row;
            EXPECT_EQ(Row.substr(0, Row.find(',')) + "," + Row.substr(At, Process.size() + 1),
                      std::to_string(P[I].Number) + "," + Process + ",") << "row " << I;
        }

        const std::string Js = Tool(Folder, {"table", "@n.pkr", "--format", "json"}, "", TEnv::Plain).Out;
        EXPECT_TRUE(OnlyJsonTokens(Js)) << Js;
        for (std::size_t I = 0; I + 1 < P.size(); ++I) {
            const std::string Process = "\"from_index\":" + std::to_string(I) + ",\"to_index\":" +
                                        std::to_string(I + 1) + ",\"power\":" +
                                        ShortestText(Doc.Power(P[I].Enthalpy, P[I + 1].Enthalpy)) + ",";
            EXPECT_EQ(Js.find(Process) != std::string::npos, Leads(I)) << Process;
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
