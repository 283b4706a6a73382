// state --batch against the single state command: the same results, the
// same refusals, each failed row named by its number while the rest go on.
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <sstream>

namespace psykrona {
namespace {

using test::CliPath;
using test::RunProcess;

// Runs the tool with Input on standard input and standard output going to
// Stdout (a captured file when empty).
test::TProcessResult RunBatch(const std::vector<std::string>& Args, const std::string& Input,
                              const std::string& Stdout = "") {
    char Name[] = "/tmp/psykrona-batch-inXXXXXX";
    const int Fd = mkstemp(Name);
    close(Fd);
    std::ofstream(Name, std::ios::binary) << Input;
    std::string Script = "exec \"$0\" \"$@\" < " + std::string(Name);
    if (!Stdout.empty()) {
        Script += " > " + Stdout;
    }
    std::vector<std::string> ShellArgs{"-c", Script, CliPath()};
    ShellArgs.insert(ShellArgs.end(), Args.begin(), Args.end());
    auto R = RunProcess("/bin/sh", ShellArgs, {"LC_ALL=C"});
    unlink(Name);
    return R;
}

std::vector<std::string> Split(const std::string& Text, const std::string& Sep) {
    std::vector<std::string> Parts;
    std::size_t Start = 0;
    for (std::size_t At; (At = Text.find(Sep, Start)) != std::string::npos; Start = At + Sep.size()) {
        Parts.push_back(Text.substr(Start, At - Start));
    }
    Parts.push_back(Text.substr(Start));
    return Parts;
}

double Number(const std::string& Text) {
    double V = 0;
    const auto R = std::from_chars(Text.data(), Text.data() + Text.size(), V);
    EXPECT_TRUE(R.ec == std::errc() && R.ptr == Text.data() + Text.size()) << "'" << Text << "'";
    return V;
}

// Random rows of every pair, some per-row pressures and some broken rows:
// each row comes out exactly as the single command gives it, or is named on
// standard error where the single command fails.
TEST(CliStateBatch, RowsMatchTheSingleCommandAndFailuresAreNamed) {
    const unsigned Seed = 20261206;
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937 Rng(Seed);
    const std::map<std::string, std::pair<double, double>> Ranges = {
        {"temp", {-30, 60}}, {"relhum", {0, 110}}, {"spechum", {-1, 30}}, {"enthalpy", {-20, 150}}};
    const std::vector<std::pair<std::string, std::string>> Pairs = {
        {"temp", "relhum"},     {"relhum", "temp"},     {"temp", "spechum"}, {"enthalpy", "temp"},
        {"spechum", "relhum"}, {"spechum", "enthalpy"}, {"relhum", "enthalpy"}};
    for (const auto& [First, Second] : Pairs) {
        const bool PerRowPressure = First == "relhum";
        std::string Input = (PerRowPressure ? "pressure," : "") + First + "," + Second + "\n";
        std::vector<std::vector<std::string>> Given; // {pressure, first, second}, or empty for a broken row
        for (int I = 0; I < 8; ++I) {
            if (I == 4) {
                Input += PerRowPressure ? "95,1.5\n" : "20,x\n"; // too few values / not a number
                Given.emplace_back();
                continue;
            }
            auto Draw = [&](const std::string& Name) {
                const auto [Lo, Hi] = Ranges.at(Name);
                return ShortestText(std::round(std::uniform_real_distribution<double>(Lo, Hi)(Rng) * 100) / 100);
            };
            const std::string P = PerRowPressure ? ShortestText(80 + I * 2.5) : "101.3";
            Given.push_back({P, Draw(First), Draw(Second)});
            Input += (PerRowPressure ? P + "," : "") + Given.back()[1] + "," + Given.back()[2] + (I % 2 ? "\r\n" : "\n");
        }
        SCOPED_TRACE(Input);
        const auto Batch = RunBatch({"state", "--batch"}, Input);
        const auto Lines = Split(Batch.Out, "\r\n");
        ASSERT_EQ(Lines.front(), "row,pressure_kpa,temp_c,relhum_pct,spechum_g_per_kg,enthalpy_kj_per_kg");
        std::map<int, std::vector<std::string>> Rows;
        for (std::size_t I = 1; I + 1 < Lines.size(); ++I) {
            const auto Cells = Split(Lines[I], ",");
            ASSERT_EQ(Cells.size(), 6u) << Lines[I];
            Rows[std::stoi(Cells[0])] = Cells;
        }
        EXPECT_GE(Rows.size(), 3u) << "too few solvable rows to compare";
        bool AnyFailed = false;
        for (std::size_t I = 0; I < Given.size(); ++I) {
            const std::string Row = std::to_string(I + 1);
            const bool Named = Batch.Err.find("row " + Row + ": ") != std::string::npos;
            if (Given[I].empty()) {
                EXPECT_TRUE(Named && !Rows.count(I + 1)) << "row " << Row << "\n" << Batch.Err;
                AnyFailed = true;
                continue;
            }
            const auto Single = RunProcess(CliPath(), {"state", "--pressure", Given[I][0], "--" + First, Given[I][1],
                                                       "--" + Second, Given[I][2], "--json"},
                                           {"LC_ALL=C"});
            SCOPED_TRACE("row " + Row + ": " + Single.Out + Single.Err);
            EXPECT_EQ(Named, Single.ExitCode != 0) << Batch.Err;
            AnyFailed = AnyFailed || Single.ExitCode != 0;
            if (Single.Out.empty()) {
                EXPECT_FALSE(Rows.count(I + 1));
                continue;
            }
            ASSERT_TRUE(Rows.count(I + 1));
            const auto& Cells = Rows[I + 1];
            std::map<std::string, double> Json;
            const std::regex Field("\"([a-z]+)\":([-0-9.eE+]+)");
            for (auto It = std::sregex_iterator(Single.Out.begin(), Single.Out.end(), Field);
                 It != std::sregex_iterator(); ++It) {
                Json[(*It)[1]] = Number((*It)[2]);
            }
            EXPECT_EQ(Number(Cells[1]), Json.at("pressure"));
            EXPECT_EQ(Number(Cells[2]), Json.at("temp"));
            EXPECT_EQ(Number(Cells[3]), Json.at("relhum"));
            EXPECT_EQ(Number(Cells[4]), Json.at("spechum") * 1000);
            EXPECT_EQ(Number(Cells[5]), Json.at("enthalpy"));
        }
        EXPECT_EQ(Batch.ExitCode, AnyFailed ? 1 : 0) << Batch.Err;
    }
}

// What stops the whole batch: a header that does not name a pair, a pressure
// given twice, an output that cannot be written. A row too long to hold fails
// alone.
TEST(CliStateBatch, HeaderErrorsFullOutputAndLongRows) {
    const struct {
        std::vector<std::string> Args;
        std::string Input;
        int Exit;
        const char* Message;
    } Cases[] = {
        {{"state", "--batch"}, "temp,colour\n20,50\n", 2, "header: unknown column 'colour'"},
        {{"state", "--batch"}, "temp\n20\n", 2, "header: name exactly two"},
        {{"state", "--batch"}, "temp,relhum,spechum\n20,50,7\n", 2, "header: name exactly two"},
        {{"state", "--batch"}, "", 2, "header: standard input is empty"},
        {{"state", "--batch", "--pressure", "90"}, "pressure,temp,relhum\n90,20,50\n", 2, "not both"},
        {{"state", "--batch", "--temp", "20"}, "temp,relhum\n20,50\n", 2, "unknown option --temp"},
    };
    for (const auto& C : Cases) {
        const auto R = RunBatch(C.Args, C.Input);
        EXPECT_EQ(R.ExitCode, C.Exit) << C.Input << R.Err;
        EXPECT_NE(R.Err.find(C.Message), std::string::npos) << R.Err;
        EXPECT_EQ(R.Out, "") << C.Input;
    }

    const auto Full = RunBatch({"state", "--batch"}, "temp,relhum\n20,50\n", "/dev/full");
    EXPECT_EQ(Full.ExitCode, 1);
    EXPECT_NE(Full.Err.find("cannot write standard output"), std::string::npos) << Full.Err;

    // One row within a buffer, one longer than the whole buffer.
    const std::string Long = "20," + std::string(700000, '5') + "\n";
    const std::string Longer = "20," + std::string(3000000, '5') + "\n";
    const auto R = RunBatch({"state", "--batch"}, "temp,relhum\n" + Long + Longer + "20,50\n");
    EXPECT_EQ(R.ExitCode, 1);
    EXPECT_NE(R.Err.find("row 1: the row is too long"), std::string::npos) << R.Err.substr(0, 200);
    EXPECT_NE(R.Err.find("row 2: the row is too long"), std::string::npos) << R.Err.substr(0, 200);
    EXPECT_NE(R.Out.find("\r\n3,101.3,20,50,"), std::string::npos) << R.Out.substr(0, 200);
}

} // namespace
} // namespace psykrona
