#include "files/MollierFileHandling.h"

#include "engine/Errors.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "tests/files/FileTestSupport.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <utility>

namespace psykrona {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override { SetDecimalSeparator('.'); }
    void TearDown() override {
        SetDecimalSeparator('.');
        TMollierCalculate::GetInstance().Pressure = 101.3;
    }

    // Opens Bytes as a ".pkx" file into a fresh document.
    TMain Open(const std::string& Bytes) {
        WriteBytes(Dir / "p.pkx", Bytes);
        TMain Doc;
        Files.FProject = &Doc;
        Files.OpenProject(Dir / "p.pkx");
        return Doc;
    }
    std::string OpenError(const std::string& Bytes) {
        try {
            Open(Bytes);
        } catch (const EProjectFileError& E) {
            return E.what();
        }
        return "(opened)";
    }

    TTempDir Dir;
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files{Dom, Parser};
};

TMain SmallProject() {
    TMain Doc;
    Doc.AirFlow = 2.5;
    Doc.Density = 1.2;
    Doc.DensityTemp = 20;
    Doc.SetPressure(101.3);
    TMollierPoint& A = Doc.AddPoint();
    A.Temp = 20;
    A.SpecHum = 0.0072585;
    A.RelHum = 50;
    A.Enthalpy = 38.518;
    A.Prescribed1 = 1;
    A.Prescribed2 = 3;
    TMollierPoint& B = Doc.AddPoint();
    B.Number = 2;
    B.Name = "Fan <A> & 'B'";
    B.Temp = -5.25;
    B.SpecHum = 0.00001;
    B.RelHum = 100;
    B.Enthalpy = -2.5;
    B.Prescribed1 = 1;
    B.Prescribed2 = 2;
    B.ShowInChart = false;
    B.LineToNext = false;
    return Doc;
}

// The exact bytes of a saved project. When the format changes on purpose,
// rewrite the expected text by hand from the element table and check every
// changed byte against it; never paste the program's own output here.
TEST_F(ProjectFileTest, SavedBytesAreExactlyTheFormat) {
    const std::string Head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                             "<psykrona><version>2.1b</version><compatible>2.0</compatible><project>"
                             "<data><project-name>Projekt 1</project-name><date>011105</date>"
                             "<signature>A. Engineer</signature></data>";
    const std::string Point2 =
        "<point><name>Fan &#60;A&#62; &#38; &#39;B&#39;</name><temp>-5.25</temp>"
        "<spechum>1E-5</spechum><relhum>100</relhum><enthalpy>-2.5</enthalpy>"
        "<prescribed1>1</prescribed1><prescribed2>2</prescribed2>"
        "<show-in-chart>false</show-in-chart><line-to-next>false</line-to-next></point>";
    TMain Doc = SmallProject();
    Files.FProject = &Doc;
    Files.SaveProjectAs(Dir / "a.pkx");
    EXPECT_EQ(Files.FFileName, Dir / "a.pkx");
    EXPECT_EQ(ReadBytes(Dir / "a.pkx"),
              Head +
                  "<airflow>2.5</airflow><density>1.2</density><temp>20</temp>"
                  "<barometric-pressure>101.3</barometric-pressure>"
                  "<point><name></name><temp>20</temp><spechum>0.0072585</spechum><relhum>50</relhum>"
                  "<enthalpy>38.518</enthalpy><prescribed1>1</prescribed1><prescribed2>3</prescribed2>"
                  "<show-in-chart>true</show-in-chart><line-to-next>true</line-to-next></point>" +
                  Point2 + "</project></psykrona>\r\n");

    SetDecimalSeparator(',');
    Files.SaveProject();
    const std::string Comma = ReadBytes(Dir / "a.pkx");
    EXPECT_NE(Comma.find("<airflow>2,5</airflow><density>1,2</density><temp>20</temp>"
                         "<barometric-pressure>101,3</barometric-pressure>"),
              std::string::npos);
    EXPECT_NE(Comma.find("<temp>-5,25</temp><spechum>1E-5</spechum>"), std::string::npos);

    TMain Empty;
    Files.FProject = &Empty;
    SetDecimalSeparator('.');
    Files.SaveProject();
    EXPECT_EQ(ReadBytes(Dir / "a.pkx"), Head + "<airflow>0</airflow><density>1.2</density><temp>20</temp>"
                                               "<barometric-pressure>101.3</barometric-pressure>"
                                               "</project></psykrona>\r\n");
}

// The file is written in one pass; it must be the very bytes the document
// model writes for the tree the format describes, whatever the names hold.
TEST_F(ProjectFileTest, StreamedBytesEqualTheDocumentModelsOutput) {
    TMain Doc = SmallProject();
    const char* Names[] = {"tab\there", "line\nbreak", "cr\ronly", "ctrl\x01\x1f", "\"quoted\"",
                           "åäö ő ű €", "]]>",         "a\r\nb",   "\xEF\xBF\xBE"};
    for (const char* N : Names) {
        Doc.AddPoint().Name = N;
    }
    TXmlDocument Tree("psykrona");
    auto Add = [&](TXmlNode& Parent, const char* Name, const std::string& Text) {
        TXmlElement& E = Parent.AppendChild(Tree.CreateElement(Name));
        E.AppendChild(Tree.CreateTextNode(Text));
    };
    TXmlElement& Root = *Tree.DocumentElement();
    Add(Root, "version", "2.1b");
    Add(Root, "compatible", "2.0");
    TXmlElement& Project = Root.AppendChild(Tree.CreateElement("project"));
    TXmlElement& Data = Project.AppendChild(Tree.CreateElement("data"));
    Add(Data, "project-name", "Projekt 1");
    Add(Data, "date", "011105");
    Add(Data, "signature", TMollierFileHandling::SampleSignature);
    Add(Project, "airflow", FloatToStr(Doc.AirFlow));
    Add(Project, "density", FloatToStr(Doc.Density));
    Add(Project, "temp", FloatToStr(Doc.DensityTemp));
    Add(Project, "barometric-pressure", FloatToStr(Doc.Pressure));
    for (const TMollierPoint& P : Doc.Points) {
        TXmlElement& E = Project.AppendChild(Tree.CreateElement("point"));
        Add(E, "name", P.Name);
        Add(E, "temp", FloatToStr(P.Temp));
        Add(E, "spechum", FloatToStr(P.SpecHum));
        Add(E, "relhum", FloatToStr(P.RelHum));
        Add(E, "enthalpy", FloatToStr(P.Enthalpy));
        Add(E, "prescribed1", std::to_string(P.Prescribed1));
        Add(E, "prescribed2", std::to_string(P.Prescribed2));
        Add(E, "show-in-chart", P.ShowInChart ? "true" : "false");
        Add(E, "line-to-next", P.LineToNext ? "true" : "false");
    }
    EXPECT_EQ(TMollierFileHandling::ProjectToXml(Doc), Tree.WriteToString());
}

// Every save either gives a file that opens again, under either separator,
// to the same values (to the 15 digits written) and saves again to the same
// bytes, or fails naming the element, with the old file untouched. The
// numbers reach the ends of the double range: any bit pattern, the largest
// doubles (whose 15-digit text overflows), infinities and not-a-number.
TEST_F(ProjectFileTest, EverySaveOpensAgainOrLeavesTheOldFile) {
    const unsigned Seed = 5;
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937_64 Rng(Seed);
    std::uniform_real_distribution<double> Value(-1000, 1000);
    std::uniform_int_distribution<int> Exponent(-12, 18);
    std::uniform_int_distribution<int> Code(0, 4);
    std::uniform_int_distribution<int> Kind(0, 99);
    using Limits = std::numeric_limits<double>;
    const std::array<double, 10> Extremes = {Limits::max(),         -Limits::max(),
                                             1.79769313486231e308,  1.797693134862315e308,
                                             Limits::min(),         Limits::denorm_min(),
                                             Limits::infinity(),    -Limits::infinity(),
                                             Limits::quiet_NaN(),   -0.0};
    auto Any = [&]() {
        const int K = Kind(Rng);
        if (K < 2) {
            return std::bit_cast<double>(Rng());
        }
        if (K < 4) {
            return Extremes[Rng() % Extremes.size()];
        }
        return Value(Rng) * std::pow(10.0, Exponent(Rng));
    };
    auto Same = [](double A, double B) { return FloatToStr(A) == FloatToStr(B); };
    int Saved = 0;
    int Refused = 0;
    TMain First = SmallProject();
    Files.FProject = &First;
    Files.SaveProjectAs(Dir / "r.pkx");
    for (int Round = 0; Round < 60; ++Round) {
        const char WriteSep = Round % 2 == 0 ? '.' : ',';
        SetDecimalSeparator(WriteSep);
        TMain Doc;
        Doc.AirFlow = Any();
        Doc.Density = Any();
        Doc.DensityTemp = Any();
        Doc.SetPressure(Any());
        for (int I = 0; I < Round % 12; ++I) {
            TMollierPoint& P = Doc.AddPoint();
            P.Name = std::to_string(I);
            P.Name.insert(0, 1, 'P');
            if (I % 3 == 0) {
                P.Name += " <&>\"' ø ő";
            }
            P.Temp = Any();
            P.SpecHum = Any();
            P.RelHum = Any();
            P.Enthalpy = Any();
            P.Prescribed1 = Code(Rng);
            P.Prescribed2 = Code(Rng);
            P.ShowInChart = (I % 2) == 0;
            P.LineToNext = (I % 3) != 0;
        }
        const std::string Before = ReadBytes(Dir / "r.pkx");
        Files.FProject = &Doc;
        try {
            Files.SaveProjectAs(Dir / "r.pkx");
        } catch (const EProjectFileError& E) {
            ++Refused;
            const std::string Message = E.what();
            EXPECT_NE(Message.find("the element '"), std::string::npos) << Message;
            EXPECT_NE(Message.find(Dir / "r.pkx"), std::string::npos) << Message;
            EXPECT_EQ(ReadBytes(Dir / "r.pkx"), Before) << "round " << Round;
            continue;
        }
        ++Saved;
        const std::string Written = ReadBytes(Dir / "r.pkx");
        SetDecimalSeparator(WriteSep == '.' ? ',' : '.');
        TMain Back;
        Files.FProject = &Back;
        ASSERT_NO_THROW(Files.OpenProject(Dir / "r.pkx")) << "round " << Round << "\n" << Written;
        SetDecimalSeparator(WriteSep);
        ASSERT_EQ(Back.PointCount(), Doc.PointCount());
        EXPECT_TRUE(Same(Back.AirFlow, Doc.AirFlow) && Same(Back.Density, Doc.Density) &&
                    Same(Back.DensityTemp, Doc.DensityTemp) && Same(Back.Pressure, Doc.Pressure))
            << "round " << Round;
        EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, Back.Pressure);
        for (int I = 0; I < Doc.PointCount(); ++I) {
            const TMollierPoint& A = Doc.Points[I];
            const TMollierPoint& B = Back.Points[I];
            EXPECT_TRUE(B.Number == I + 1 && B.Name == A.Name && Same(B.Temp, A.Temp) && Same(B.SpecHum, A.SpecHum) &&
                        Same(B.RelHum, A.RelHum) && Same(B.Enthalpy, A.Enthalpy) &&
                        B.Prescribed1 == A.Prescribed1 && B.Prescribed2 == A.Prescribed2 &&
                        B.ShowInChart == A.ShowInChart && B.LineToNext == A.LineToNext)
                << "round " << Round << ", point " << I + 1;
        }
        EXPECT_EQ(TMollierFileHandling::ProjectToXml(Back), Written) << "round " << Round;
    }
    EXPECT_GT(Saved, 5);
    EXPECT_GT(Refused, 5);
}

// A density that is not a number is a failed calculation, not a value: the
// flow data stay as they were, and the project still saves and opens.
TEST_F(ProjectFileTest, ANonFiniteRealDensityLeavesTheProjectSavable) {
    TMain Doc = SmallProject();
    Doc.SetRealDensity(25, 950);
    const double Density = Doc.Density;
    for (const auto& [Temp, Pressure] : {std::pair{-273.0, 1013.0}, std::pair{-273.0, 0.0}}) {
        EXPECT_THROW(Doc.SetRealDensity(Temp, Pressure), ECalculationError);
        EXPECT_EQ(Doc.Density, Density);
        EXPECT_EQ(Doc.DensityTemp, 25);
        EXPECT_EQ(Doc.Pressure, 95);
        EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, 95);
    }
    Files.FProject = &Doc;
    Files.SaveProjectAs(Dir / "d.pkx");
    EXPECT_EQ(FloatToStr(Open(ReadBytes(Dir / "d.pkx")).Density), FloatToStr(Density));
}

const std::string KIndented = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- written by hand -->
<anything>
  <extra>ignored</extra>
  <project>
    <temp>18</temp>
    <point>
      <name>first</name>
      <temp>20</temp><spechum>0,008</spechum><relhum>55</relhum><enthalpy>40.5</enthalpy>
      <prescribed1>3</prescribed1><prescribed2>1</prescribed2>
      <show-in-chart>TRUE</show-in-chart><line-to-next>true</line-to-next>
      <temp>99</temp>
    </point>
    <data><signature/><date></date><project-name>x</project-name></data>
    <note><point>not a point of the project</point></note>
    <airflow> 1.5 </airflow><density>1.19</density>
    <barometric-pressure>95</barometric-pressure>
    <point>
      <line-to-next>false</line-to-next><show-in-chart>false</show-in-chart>
      <prescribed2>4</prescribed2><prescribed1>2</prescribed1>
      <enthalpy>30</enthalpy><relhum>40</relhum><spechum>0.005</spechum><temp>17.5</temp>
      <name/>
    </point>
  </project>
  <compatible/>
  <version>9.9</version>
</anything>
)";

TEST_F(ProjectFileTest, IndentedFilesWithExtraElementsReadLikeCompactOnes) {
    const TMain Doc = Open(KIndented);
    EXPECT_EQ(Doc.AirFlow, 1.5);
    EXPECT_EQ(Doc.Density, 1.19);
    EXPECT_EQ(Doc.DensityTemp, 18);
    EXPECT_EQ(Doc.Pressure, 95);
    EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, 95);
    ASSERT_EQ(Doc.PointCount(), 2);
    const TMollierPoint& A = Doc.Points[0];
    EXPECT_EQ(A.Number, 1);
    EXPECT_EQ(A.Name, "first");
    EXPECT_EQ(A.Temp, 20); // the first "temp" counts
    EXPECT_EQ(A.SpecHum, 0.008);
    EXPECT_EQ(A.Prescribed1, 3);
    EXPECT_EQ(A.Prescribed2, 1);
    EXPECT_FALSE(A.ShowInChart); // only "true" in lower case is true
    EXPECT_TRUE(A.LineToNext);
    const TMollierPoint& B = Doc.Points[1];
    EXPECT_EQ(B.Number, 2);
    EXPECT_EQ(B.Name, "");
    EXPECT_EQ(B.Temp, 17.5);
    EXPECT_EQ(B.Enthalpy, 30);
    EXPECT_FALSE(B.LineToNext);
}

TEST_F(ProjectFileTest, MissingOrUnreadableParts) {
    struct Case {
        std::string From, To, Message;
    };
    const Case Cases[] = {
        {"<signature/>", "", "'signature' is missing"},
        {"<version>9.9</version>", "", "'version' is missing"},
        {"<date></date>", "<dates></dates>", "'date' is missing"},
        {"<density>1.19</density>", "<density></density>", "'density' has no value"},
        {"<density>1.19</density>", "<density><!-- c --></density>",
         "'density': ' c ' is not a valid floating"},
        {"<density>1.19</density>", "", "'density' is missing"},
        {"<density>1.19</density>", "<density>1;19</density>", "'1;19' is not a valid floating point value"},
        {"<relhum>40</relhum>", "", "point 2, element 'relhum' is missing"},
        {"<prescribed2>4</prescribed2>", "<prescribed2>4.0</prescribed2>",
         "'4.0' is not a valid integer value"},
        {"<prescribed2>4</prescribed2>", "<prescribed2>99999999999</prescribed2>", "not a valid integer"},
        {"<show-in-chart>false</show-in-chart>", "<show-in-chart/>",
         "point 2, element 'show-in-chart' has no"},
        {"</project>", "</projekt>", "not well-formed"},
    };
    for (const Case& C : Cases) {
        std::string Bytes = KIndented;
        const auto At = Bytes.find(C.From);
        ASSERT_NE(At, std::string::npos) << C.From;
        Bytes.replace(At, C.From.size(), C.To);
        const std::string Message = OpenError(Bytes);
        EXPECT_NE(Message.find(C.Message), std::string::npos) << C.To << " gave: " << Message;
        EXPECT_NE(Message.find(Dir / "p.pkx"), std::string::npos) << Message;
    }
    EXPECT_NE(OpenError("").find("p.pkx"), std::string::npos);

    TMain Doc;
    Files.FProject = &Doc;
    try {
        Files.OpenProject(Dir / "missing.pkx");
        ADD_FAILURE();
    } catch (const EProjectFileError& E) {
        EXPECT_NE(std::string(E.what()).find("missing.pkx"), std::string::npos) << E.what();
    }
}

TEST_F(ProjectFileTest, ExternalEntitiesAreNeverFetched) {
    WriteBytes(Dir / "secret.txt", "SECRET");
    std::string Bytes = KIndented;
    Bytes.replace(Bytes.find("<!-- written by hand -->"), 24,
                  "<!DOCTYPE anything [<!ENTITY ext SYSTEM \"" + (Dir / "secret.txt") + "\">]>");
    Bytes.replace(Bytes.find("<name>first</name>"), 18, "<name>&ext;</name>");
    try {
        const TMain Doc = Open(Bytes);
        EXPECT_EQ(Doc.Points[0].Name.find("SECRET"), std::string::npos);
    } catch (const EProjectFileError& E) {
        EXPECT_EQ(std::string(E.what()).find("SECRET"), std::string::npos);
    }
}

TEST_F(ProjectFileTest, ReadingNeverTouchesTheFile) {
    std::string Bytes = KIndented;
    Bytes.replace(Bytes.find("<relhum>40</relhum>"), 19, "");
    WriteBytes(Dir / "p.pkx", Bytes);
    TMain Doc;
    Files.FProject = &Doc;
    EXPECT_THROW(Files.OpenProject(Dir / "p.pkx"), EProjectFileError);
    EXPECT_EQ(ReadBytes(Dir / "p.pkx"), Bytes);
    EXPECT_EQ(Files.FFileName, ""); // the main window names the file after a good read
}

TEST_F(ProjectFileTest, AFailedSaveLeavesTheOldFileWhole) {
    TMain Doc = SmallProject();
    Files.FProject = &Doc;
    Files.SaveProjectAs(Dir / "keep.pkx");
    const std::string Before = ReadBytes(Dir / "keep.pkx");
    Doc.AddPoint().Name = "new";
    EXPECT_THROW(Files.SaveProjectAs(Dir / "no-such-folder/x.pkx"), EProjectFileError);
    // A folder in the way of the file.
    mkdir((Dir / "taken.pkx").c_str(), 0755);
    EXPECT_THROW(Files.SaveProjectAs(Dir / "taken.pkx"), EProjectFileError);
    EXPECT_EQ(ReadBytes(Dir / "keep.pkx"), Before);
    EXPECT_EQ(Files.FFileName, Dir / "keep.pkx") << "the project keeps its file";
}

TEST_F(ProjectFileTest, OlderFormatIsKnownByItsExtension) {
    Files.FFileName = "/x/plan.pkr";
    EXPECT_TRUE(Files.IsOldFormat());
    Files.FFileName = "/x/plan.pkx";
    EXPECT_FALSE(Files.IsOldFormat());
    Files.FFileName = "";
    EXPECT_FALSE(Files.IsOldFormat());
}

} // namespace
} // namespace psykrona
