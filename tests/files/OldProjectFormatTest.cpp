#include "files/MollierFileHandling.h"

#include "localisation/Translator.h"

#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "tests/files/FileTestSupport.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

namespace psykrona {
namespace {

using test::TTempDir;
using test::WriteBytes;

class OldProjectTest : public ::testing::Test {
protected:
    void SetUp() override { SetDecimalSeparator(','); }
    void TearDown() override {
        TTranslator::DestroyInstance();
        SetDecimalSeparator('.');
        TMollierCalculate::GetInstance().Pressure = 101.3;
    }
    void Open(const std::string& Bytes) {
        WriteBytes(Dir / "old.pkr", Bytes);
        Files.FProject = &Doc;
        Files.OpenOldProject(Dir / "old.pkr");
    }
    std::string Error(const std::string& Bytes) {
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
    TMain Doc;
    TDomImplementation TranslatorDom;
    TXmlParser TranslatorParser{TranslatorDom};
};

// Header: count, air flow, density temperature, pressure, density; then ten
// lines per point.
const std::string KTwoPoints = "2\r\n1,5\r\n18\r\n95\r\n1,19\r\n"
                               "7\r\nNada\r\n20\r\n0,0072585\r\n50\r\n38,518\r\n3\r\n1\r\n1\r\n0\r\n"
                               "8\r\nKylbatteri efter fl\xE4kt\r\n12,5\r\n0,008\r\n90\r\n32,9\r\n1\r\n2\r\nyes\r\n1\r\n";

TEST_F(OldProjectTest, ReadsHeaderAndPointsAsStored) {
    Open(KTwoPoints);
    EXPECT_EQ(Files.FFileName, Dir / "old.pkr");
    EXPECT_TRUE(Files.IsOldFormat());
    EXPECT_EQ(Doc.AirFlow, 1.5);
    EXPECT_EQ(Doc.DensityTemp, 18);
    EXPECT_EQ(Doc.Pressure, 95);
    EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, 95);
    EXPECT_EQ(Doc.Density, 1.19);
    ASSERT_EQ(Doc.PointCount(), 2);
    const TMollierPoint& A = Doc.Points[0];
    EXPECT_EQ(A.Number, 7); // taken as stored
    EXPECT_EQ(A.Name, "");  // "Nada"
    EXPECT_EQ(A.SpecHum, 0.0072585);
    EXPECT_EQ(A.Prescribed1, 3);
    EXPECT_EQ(A.Prescribed2, 1);
    EXPECT_TRUE(A.ShowInChart);
    EXPECT_FALSE(A.LineToNext);
    const TMollierPoint& B = Doc.Points[1];
    EXPECT_EQ(B.Name, "Kylbatteri efter fl\xC3\xA4kt"); // Windows-1252 to UTF-8
    EXPECT_EQ(B.Temp, 12.5);
    EXPECT_FALSE(B.ShowInChart); // "yes" is not "1"
    EXPECT_TRUE(B.LineToNext);
}

// A name that is not UTF-8 is read in the code page of the language chosen
// in the program; an editor's byte-order mark does not spoil the file.
TEST_F(OldProjectTest, NamesInTheCodePageOfTheChosenLanguage) {
    WriteBytes(Dir / "Languages.xml", "<l><default><language>hu</language></default><languages>"
                                      "<language><code>sv</code><file>sv.lng</file></language>"
                                      "<language><code>hu</code><file>hu.lng</file></language></languages></l>");
    TTranslator::CreateInstance(TranslatorDom, TranslatorParser, Dir.Path());
    const std::string File = "\xEF\xBB\xBF" "1\r\n1,5\r\n18\r\n95\r\n1,19\r\n1\r\nKaz\xE1n ut\xE1n \xF5\r\n"
                             "20\r\n0,007\r\n50\r\n38\r\n1\r\n3\r\n1\r\n0\r\n";
    Open(File);
    ASSERT_EQ(Doc.PointCount(), 1);
    EXPECT_EQ(Doc.AirFlow, 1.5);
    EXPECT_EQ(Doc.Points[0].Name, "Kaz\xC3\xA1n ut\xC3\xA1n \xC5\x91"); // "ő" in Windows-1250
    TTranslator::SetLanguage(0);
    TMain Fresh;
    Doc = std::move(Fresh);
    Open(File);
    EXPECT_EQ(Doc.Points[0].Name, "Kaz\xC3\xA1n ut\xC3\xA1n \xC3\xB5"); // "õ" in Windows-1252
}

TEST_F(OldProjectTest, LineEndingsAndSeparatorsOfAnySystem) {
    std::string Lf = KTwoPoints;
    for (auto At = Lf.find("\r\n"); At != std::string::npos; At = Lf.find("\r\n", At)) {
        Lf.erase(At, 1);
    }
    std::string Cr = Lf;
    std::replace(Cr.begin(), Cr.end(), '\n', '\r');
    for (const std::string& Bytes : {Lf, Cr}) {
        for (char Sep : {',', '.'}) {
            SetDecimalSeparator(Sep);
            TMain Fresh;
            Doc = std::move(Fresh);
            Open(Bytes);
            ASSERT_EQ(Doc.PointCount(), 2);
            EXPECT_EQ(Doc.Points[1].SpecHum, 0.008);
            EXPECT_EQ(Doc.Points[1].Name, "Kylbatteri efter fl\xC3\xA4kt");
        }
    }
}

TEST_F(OldProjectTest, EmptyProjectKeepsItsFlowData) {
    Open("0\n2\n25\n101,3\n1,2\n");
    EXPECT_EQ(Doc.PointCount(), 0);
    EXPECT_EQ(Doc.AirFlow, 2);
    EXPECT_EQ(Doc.DensityTemp, 25);
    Open("0 points\n2\n25\n101,3\n1,2"); // the rest of the count line is skipped
    EXPECT_EQ(Doc.PointCount(), 0);
}

TEST_F(OldProjectTest, FlagLinesOtherThanOneAreFalse) {
    for (const char* Flag : {"0", "yes", "", " 1", "1 "}) {
        TMain Fresh;
        Doc = std::move(Fresh);
        Open("1\n0\n20\n101,3\n1,2\n1\nP\n20\n0,007\n50\n38\n1\n3\n" + std::string(Flag) + "\n1\n");
        EXPECT_FALSE(Doc.Points[0].ShowInChart) << "'" << Flag << "'";
        EXPECT_TRUE(Doc.Points[0].LineToNext);
    }
}

TEST_F(OldProjectTest, BadFilesFailWithTheLineNamed) {
    struct Case {
        std::string Bytes, Message;
    };
    const Case Cases[] = {
        {"", "line 1: '' is not a valid integer value"},
        {"two\n", "line 1: 'two' is not a valid integer value"},
        {"-3\n0\n20\n101,3\n1,2\n", "negative"},
        {"2147483647\n0\n20\n101,3\n1,2\n", "points need"},
        {"99999999999\n", "not a valid integer"},
        {"1\n0\n20\n101,3\n1,2\n1\nP\n20\n", "points need 15"},
        {"0\n0\nwarm\n101,3\n1,2\n", "line 3: 'warm' is not a valid floating point value"},
        {"0\n0\n20\n101,3\n", "line 5: '' is not a valid floating point value"},
        {"1\n0\n20\n101,3\n1,2\n1\nP\n20\n0,007\n50\n38\n1.5\n3\n1\n1\n", "line 12: '1.5' is not a valid integer"},
    };
    for (const Case& C : Cases) {
        TMain Fresh;
        Doc = std::move(Fresh);
        const std::string Message = Error(C.Bytes);
        EXPECT_NE(Message.find(C.Message), std::string::npos) << C.Bytes << " gave: " << Message;
        EXPECT_NE(Message.find("old.pkr"), std::string::npos) << Message;
    }
}

TEST_F(OldProjectTest, ACountTheFileCannotHoldAllocatesNothing) {
    EXPECT_NE(Error("2000000000\n0\n20\n101,3\n1,2\n").find("2000000000 points need 20000000005"),
              std::string::npos);
    EXPECT_EQ(Doc.PointCount(), 0);
}

} // namespace
} // namespace psykrona
