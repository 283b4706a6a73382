#include "engine/Main.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/files/FileTestSupport.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace psykrona {
namespace {

using test::CliPath;
using test::ReadBytes;
using test::RunProcess;
using test::TTempDir;
using test::WriteBytes;

// Two points with a process between them, then one without a line onwards.
TMain ThreePoints() {
    TMain Doc;
    Doc.AirFlow = 2;
    const double T[3] = {10, 30, 25};
    const double X[3] = {0.005, 0.005, 0.010};
    for (int I = 0; I < 3; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        P.Name = I == 0 ? "Outdoor, \"fresh\"" : std::to_string(I + 1).insert(0, 1, 'P');
        P.Temp = T[I];
        P.SpecHum = X[I];
        P.Prescribed1 = 1;
        P.Prescribed2 = 2;
    }
    Doc.Points[1].LineToNext = false;
    Doc.CalculateAll();
    return Doc;
}

class CliProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDecimalSeparator('.');
        WriteBytes(Dir / "three.pkx", TMollierFileHandling::ProjectToXml(ThreePoints()));
    }
    TTempDir Dir;
};

TEST_F(CliProjectTest, ConvertWritesTheOlderFormatAsXml) {
    // The extension decides in any letter case, as names from other systems have it.
    WriteBytes(Dir / "OLD.PKR", "1\r\n2\r\n20\r\n101.3\r\n1.2\r\n1\r\nKylbatteri efter fl\xE4kt\r\n20\r\n"
                                "0.0072585\r\n50\r\n38.518\r\n1\r\n3\r\n1\r\n0\r\n");
    const auto R = RunProcess(CliPath(), {"convert", Dir / "OLD.PKR", Dir / "new.pkx"}, {"LC_ALL=C"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    const std::string Bytes = ReadBytes(Dir / "new.pkx");
    EXPECT_NE(Bytes.find("<name>Kylbatteri efter fl\xC3\xA4kt</name>"), std::string::npos) << Bytes;
    EXPECT_NE(Bytes.find("<airflow>2</airflow>"), std::string::npos);
    EXPECT_NE(Bytes.find("<line-to-next>false</line-to-next>"), std::string::npos);
    const auto Table = RunProcess(CliPath(), {"table", Dir / "OLD.PKR"}, {"LC_ALL=C"});
    EXPECT_EQ(Table.ExitCode, 0) << Table.Err;
    EXPECT_NE(Table.Out.find("Kylbatteri efter fl\xC3\xA4kt"), std::string::npos) << Table.Out;
}

TEST_F(CliProjectTest, ConvertCreatesNothingWhenTheInputIsBad) {
    WriteBytes(Dir / "bad.pkx", "<psykrona><version/>");
    for (const std::string& In : {Dir / "bad.pkx", Dir / "absent.pkx"}) {
        const auto R = RunProcess(CliPath(), {"convert", In, Dir / "out.pkx"}, {"LC_ALL=C"});
        EXPECT_EQ(R.ExitCode, 1);
        EXPECT_NE(R.Err.find(In), std::string::npos) << R.Err;
        struct stat St {};
        EXPECT_NE(stat((Dir / "out.pkx").c_str(), &St), 0);
    }
    EXPECT_EQ(RunProcess(CliPath(), {"convert", Dir / "three.pkx", Dir / "out.txt"}).ExitCode, 2);
    EXPECT_EQ(RunProcess(CliPath(), {"convert", Dir / "three.pkx"}).ExitCode, 2);
}

// Strict JSON (RFC 8259) grammar check: true when the whole text is one
// value. No NaN, no Infinity, no bare words.
class TJsonCheck {
public:
    static bool Valid(const std::string& Text) {
        TJsonCheck C{Text};
        return C.Value() && (C.Blank(), C.I == Text.size());
    }

private:
    explicit TJsonCheck(const std::string& Text) : S(Text) {}
    const std::string& S;
    std::size_t I = 0;
    void Blank() {
        while (I < S.size() && std::strchr(" \t\r\n", S[I]) != nullptr) {
            ++I;
        }
    }
    bool Eat(char C) { return Blank(), I < S.size() && S[I] == C ? (++I, true) : false; }
    bool Digits() {
        const std::size_t Start = I;
        while (I < S.size() && std::isdigit(static_cast<unsigned char>(S[I]))) {
            ++I;
        }
        return I > Start;
    }
    bool Number() {
        Eat('-');
        if (I < S.size() && S[I] == '0') {
            ++I;
        } else if (!Digits()) {
            return false;
        }
        if (I < S.size() && S[I] == '.' && (++I, !Digits())) {
            return false;
        }
        if (I < S.size() && (S[I] == 'e' || S[I] == 'E')) {
            ++I;
            if (I < S.size() && (S[I] == '+' || S[I] == '-')) {
                ++I;
            }
            return Digits();
        }
        return true;
    }
    bool String() {
        if (!Eat('"')) {
            return false;
        }
        for (; I < S.size() && S[I] != '"'; ++I) {
            if (static_cast<unsigned char>(S[I]) < 0x20) {
                return false;
            }
            I += S[I] == '\\';
        }
        return I++ < S.size();
    }
    template <class F> bool List(char Close, F Item) {
        if (Eat(Close)) {
            return true;
        }
        do {
            if (!Item()) {
                return false;
            }
        } while (Eat(','));
        return Eat(Close);
    }
    bool Value() {
        Blank();
        if (Eat('{')) {
            return List('}', [&] { return String() && Eat(':') && Value(); });
        }
        if (Eat('[')) {
            return List(']', [&] { return Value(); });
        }
        if (I < S.size() && S[I] == '"') {
            return String();
        }
        for (const char* Word : {"true", "false", "null"}) {
            if (S.compare(I, std::strlen(Word), Word) == 0) {
                I += std::strlen(Word);
                return true;
            }
        }
        return Number();
    }
};

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> Result;
    std::istringstream In(Text);
    for (std::string L; std::getline(In, L);) {
        if (!L.empty() && L.back() == '\r') {
            L.pop_back();
        }
        Result.push_back(L);
    }
    return Result;
}

// Random projects in the older format, whose point numbers are kept as
// stored (all 1, or any small numbers, repeated): every process belongs to
// the rows of its two points by position, in text, CSV and JSON, with the
// document's own quantities; and the JSON is valid.
TEST_F(CliProjectTest, TableTiesProcessesToPointsByPosition) {
    const unsigned Seed = 1306;
    std::mt19937 Rng(Seed);
    for (int Round = 0; Round < 6; ++Round) {
        const int N = 2 + static_cast<int>(Rng() % 5);
        std::string Pkr = std::to_string(N) + "\r\n1.5\r\n20\r\n101.3\r\n1.2\r\n";
        for (int I = 0; I < N; ++I) {
            const int Number = Round < 2 ? 1 : 1 + static_cast<int>(Rng() % 3);
            Pkr += std::to_string(Number) + "\r\nP" + std::to_string(I) + "\r\n" + std::to_string(5 + I * 4) +
                   "\r\n0.00" + std::to_string(3 + Rng() % 7) + "\r\n50\r\n" +
                   std::to_string(10 + Rng() % 50) + "\r\n1\r\n2\r\n1\r\n" + (Rng() % 3 != 0 ? "1" : "0") +
                   "\r\n";
        }
        const std::string File = Dir / "numbers.pkr";
        WriteBytes(File, Pkr);
        TMain Doc;
        TMollierFileHandling::ProjectFromOldFormat(Pkr, Doc, File);
        const TMollierPointArray& P = Doc.Points;
        auto Leads = [&](std::size_t I) { return I + 1 < P.size() && P[I].LineToNext; };
        SCOPED_TRACE("seed " + std::to_string(Seed) + ", round " + std::to_string(Round));

        const auto Csv = Lines(RunProcess(CliPath(), {"table", File, "--format", "csv"}, {"LC_ALL=C"}).Out);
        ASSERT_EQ(Csv.size(), P.size() + 1);
        for (std::size_t I = 0; I < P.size(); ++I) {
            // The process columns come after the point's eight (names here hold no comma).
            std::string Process = ",,";
            if (I > 0 && Leads(I - 1)) {
                const TMollierPoint& Q = P[I - 1];
                Process = ShortestText(Doc.Power(Q.Enthalpy, P[I].Enthalpy)) + "," +
                          ShortestText(Doc.SensiblePower(Q.Temp, P[I].Temp, Q.SpecHum, P[I].SpecHum)) + "," +
                          ShortestText(Doc.Water(Q.SpecHum, P[I].SpecHum));
            }
            std::vector<std::string> Cells;
            std::stringstream Row(Csv[I + 1]);
            for (std::string Cell; std::getline(Row, Cell, ',');) {
                Cells.push_back(Cell);
            }
            ASSERT_GE(Cells.size(), 11U) << Csv[I + 1];
            EXPECT_EQ(Cells[0], std::to_string(P[I].Number));
            EXPECT_EQ(Cells[8] + "," + Cells[9] + "," + Cells[10], Process) << "row " << I;
        }

        // Text: a process line follows the row of the point it leaves.
        const auto Text = Lines(RunProcess(CliPath(), {"table", File}, {"LC_ALL=C"}).Out);
        std::vector<std::string> Expected;
        for (std::size_t I = 0; I < P.size(); ++I) {
            Expected.push_back("P" + std::to_string(I));
            if (Leads(I)) {
                Expected.push_back(std::to_string(P[I].Number) + " -> " + std::to_string(P[I + 1].Number) +
                                   ": power " + FormatFixed(Doc.Power(P[I].Enthalpy, P[I + 1].Enthalpy), 1));
            }
        }
        std::vector<std::string> Seen;
        for (const std::string& L : Text) {
            if (L.rfind("     ", 0) == 0) {
                Seen.push_back(L.substr(5, L.find(" kW") - 5));
            } else if (L.find(" P") != std::string::npos) {
                Seen.push_back(L.substr(L.find('P'), L.find(' ', L.find('P')) - L.find('P')));
            }
        }
        EXPECT_EQ(Seen, Expected);

        const std::string Json = RunProcess(CliPath(), {"table", File, "--format", "json"}, {"LC_ALL=C"}).Out;
        EXPECT_TRUE(TJsonCheck::Valid(Json)) << Json;
        for (std::size_t I = 0; I + 1 < P.size(); ++I) {
            const std::string Process =
                "\"from_index\":" + std::to_string(I) + ",\"to_index\":" + std::to_string(I + 1) +
                ",\"power\":" + ShortestText(Doc.Power(P[I].Enthalpy, P[I + 1].Enthalpy)) + ",";
            EXPECT_EQ(Json.find(Process) != std::string::npos, Leads(I)) << Process;
        }
    }

    // Absurd but finite flow data: the powers overflow, and JSON says null.
    TMain Absurd = ThreePoints();
    Absurd.AirFlow = 1e200;
    Absurd.Density = 1e200;
    WriteBytes(Dir / "absurd.pkx", TMollierFileHandling::ProjectToXml(Absurd));
    const auto Json = RunProcess(CliPath(), {"table", Dir / "absurd.pkx", "--format", "json"}, {"LC_ALL=C"});
    ASSERT_EQ(Json.ExitCode, 0) << Json.Err;
    EXPECT_TRUE(TJsonCheck::Valid(Json.Out)) << Json.Out;
    EXPECT_NE(Json.Out.find("\"power\":null,\"sensible_power\":null,\"water\":null"), std::string::npos)
        << Json.Out;
    EXPECT_NE(Json.Out.find("\"name\":\"Outdoor, \\\"fresh\\\"\""), std::string::npos);
    const auto Csv = RunProcess(CliPath(), {"table", Dir / "three.pkx", "--format", "csv"}, {"LC_ALL=C"});
    EXPECT_NE(Csv.Out.find("1,\"Outdoor, \"\"fresh\"\"\",10,"), std::string::npos) << Csv.Out;
    // The checker itself refuses what the old output was.
    EXPECT_FALSE(TJsonCheck::Valid("{\"power\":INF}"));
    EXPECT_FALSE(TJsonCheck::Valid("[NAN]"));
    EXPECT_TRUE(TJsonCheck::Valid(" {\"a\":[1,-0.5e-3,\"x\\\"\",null,true,{}]} \n"));
}

TEST_F(CliProjectTest, TableOfAnEmptyProjectAndBadCalls) {
    const auto Empty = RunProcess(CliPath(), {"table", "-", "--format", "json"});
    EXPECT_EQ(Empty.ExitCode, 0);
    EXPECT_NE(Empty.Out.find("\"points\":[],\"processes\":[]"), std::string::npos) << Empty.Out;
    EXPECT_EQ(RunProcess(CliPath(), {"table", "-", "--format", "xls"}).ExitCode, 2);
    EXPECT_EQ(RunProcess(CliPath(), {"table"}).ExitCode, 2);
    EXPECT_EQ(RunProcess(CliPath(), {"table", Dir / "absent.pkx"}).ExitCode, 1);
}

} // namespace
} // namespace psykrona
