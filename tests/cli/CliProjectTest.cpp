#include "engine/Main.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/files/FileTestSupport.h"
#include "tests/support/RunProcess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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
    WriteBytes(Dir / "old.pkr", "1\r\n2\r\n20\r\n101.3\r\n1.2\r\n1\r\nKylbatteri efter fl\xE4kt\r\n20\r\n"
                                "0.0072585\r\n50\r\n38.518\r\n1\r\n3\r\n1\r\n0\r\n");
    const auto R = RunProcess(CliPath(), {"convert", Dir / "old.pkr", Dir / "new.pkx"}, {"LC_ALL=C"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    const std::string Bytes = ReadBytes(Dir / "new.pkx");
    EXPECT_NE(Bytes.find("<name>Kylbatteri efter fl\xC3\xA4kt</name>"), std::string::npos) << Bytes;
    EXPECT_NE(Bytes.find("<airflow>2</airflow>"), std::string::npos);
    EXPECT_NE(Bytes.find("<line-to-next>false</line-to-next>"), std::string::npos);
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

TEST_F(CliProjectTest, TableComputesTheProcessesAsTheMainWindowDoes) {
    const TMain Doc = ThreePoints();
    const auto Csv = RunProcess(CliPath(), {"table", Dir / "three.pkx", "--format", "csv"}, {"LC_ALL=C"});
    ASSERT_EQ(Csv.ExitCode, 0) << Csv.Err;
    const std::string Power12 = ShortestText(Doc.Power(Doc.Points[0].Enthalpy, Doc.Points[1].Enthalpy));
    EXPECT_NE(Csv.Out.find("1,\"Outdoor, \"\"fresh\"\"\",10,"), std::string::npos) << Csv.Out;
    // The process into point 2 is there; point 2 has no line on, so point 3 has none.
    EXPECT_NE(Csv.Out.find(",temp,spechum," + Power12 + ","), std::string::npos) << Csv.Out;
    EXPECT_NE(Csv.Out.find("\r\n3,P3,25,"), std::string::npos);
    EXPECT_NE(Csv.Out.rfind(",temp,spechum,,,,,,"), std::string::npos);

    const auto Json = RunProcess(CliPath(), {"table", Dir / "three.pkx", "--format", "json"}, {"LC_ALL=C"});
    ASSERT_EQ(Json.ExitCode, 0);
    EXPECT_NE(Json.Out.find("\"processes\":[{\"from\":1,\"to\":2,\"power\":" + Power12 + ","), std::string::npos)
        << Json.Out;
    EXPECT_NE(Json.Out.find("\"name\":\"Outdoor, \\\"fresh\\\"\""), std::string::npos);
    EXPECT_EQ(Json.Out.find("\"from\":2"), std::string::npos);

    const auto Text = RunProcess(CliPath(), {"table", Dir / "three.pkx"}, {"LC_ALL=C"});
    ASSERT_EQ(Text.ExitCode, 0);
    EXPECT_NE(Text.Out.find("1 -> 2: power " + FormatFixed(Doc.Power(Doc.Points[0].Enthalpy,
                                                                      Doc.Points[1].Enthalpy), 1) + " kW"),
              std::string::npos)
        << Text.Out;
    EXPECT_EQ(Text.Out.find("2 -> 3"), std::string::npos);
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
