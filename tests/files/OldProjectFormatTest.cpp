// The older .pkr format: a header of five lines, then ten lines per point, in
// the separator chosen in the program and the code page of its language.
#include "files/MollierFileHandling.h"
#include "files/TextEncoding.h"

#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "localisation/Translator.h"
#include "tests/support/RandomProject.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

namespace psykrona {
namespace {

TEST(OldProjectFormat, FilesAsTheyComeAndTheirFaults) {
    const std::string Two = "2\r\n1,5\r\n18\r\n95\r\n1,19\r\n"
                            "7\r\nNada\r\n20\r\n0,0072585\r\n50\r\n38,518\r\n3\r\n1\r\n1\r\n0\r\n"
                            "7\r\nKylbatteri efter fl\xE4kt\r\n12,5\r\n0,008\r\n90\r\n32,9\r\n1\r\n2\r\nyes\r\n1\r\n";
    const std::string TwoRead = "1.5 18 95 1.19 | 7 '' 20 0.0072585 50 38.518 31 show | "
                                "7 'Kylbatteri efter fl\xC3\xA4kt' 12.5 0.008 90 32.9 12 line";
    const auto With = [](std::string S, char From, char To) { return std::replace(S.begin(), S.end(), From, To), S; };
    std::string Lf = Two;
    std::erase(Lf, '\r');
    const std::string Kazan = "1\n1,5\n18\n95\n1,19\n1\nKaz\xE1n \xF5\n20\n0,007\n50\n38\n1\n3\n1\n0\n";
    const struct {
        std::string Bytes, Expected; // Expected: the summary, or part of the message
        char Separator = ',';
        int Language = 0; // a name not in UTF-8 is read in the code page of the language chosen
    } Cases[] = {
        {Kazan, "1.5 18 95 1.19 | 1 'Kaz\xC3\xA1n \xC5\x91' 20 0.007 50 38 13 show", ',', 1},
        {Kazan, "1.5 18 95 1.19 | 1 'Kaz\xC3\xA1n \xC3\xB5' 20 0.007 50 38 13 show", ',', 0},
        {Two, TwoRead},
        {Lf, TwoRead},
        {With(Lf, '\n', '\r'), TwoRead},
        {With(Lf, ',', '.'), TwoRead, '.'},
        {"\xEF\xBB\xBF" "0\n2\n25\n101,3\n1,2\n", "2 25 101.3 1.2"},
        {"0 points\n2\n25\n101,3\n1,2", "2 25 101.3 1.2"},
        {"1\n0\n20\n101,3\n1,2\n1\nP\n20\n0,007\n50\n38\n1\n3\n 1\n1 \n", "0 20 101.3 1.2 | 1 'P' 20 0.007 50 38 13"},
        {"", "line 1: '' is not a valid integer value"},
        {"1\n0\n20\n101,3\n1,2\n1\nP\n20\n", "points need 15"},
        {"0\n0\nwarm\n101,3\n1,2\n", "line 3: 'warm' is not a valid floating point value"},
        {"0\n0\n20\n101,3\n", "line 5: '' is not a valid floating point value"},
        {"1\n0\n20\n101,3\n1,2\n1\nP\n20\n0,007\n50\n38\n1.5\n3\n1\n1\n", "line 12: '1.5' is not a valid integer"},
    };
    test::TTempFolder Folder;
    Folder.Write("Languages.xml", "<l><default><language>sv</language></default><languages><language><code>sv</code>"
                                  "<file>sv.lng</file></language><language><code>hu</code><file>hu.lng</file>"
                                  "</language></languages></l>");
    TDomImplementation Dom;
    TXmlParser Parser;
    TTranslator::CreateInstance(Dom, Parser, Folder.Dir());
    TMollierFileHandling Files{Dom, Parser};
    for (const auto& C : Cases) {
        SetDecimalSeparator(C.Separator);
        TTranslator::SetLanguage(C.Language);
        Folder.Write("old.pkr", C.Bytes);
        TMain Doc;
        Files.FProject = &Doc;
        try {
            Files.OpenOldProject(Folder.File("old.pkr"));
            EXPECT_EQ(test::ProjectSummary(Doc), C.Expected) << C.Bytes;
            EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, Doc.Pressure);
            EXPECT_TRUE(Files.IsOldFormat());
        } catch (const EProjectFileError& E) {
            EXPECT_NE(std::string(E.what()).find(C.Expected), std::string::npos) << C.Bytes << "\ngave: " << E.what();
            EXPECT_NE(std::string(E.what()).find("old.pkr"), std::string::npos) << E.what();
            EXPECT_EQ(Doc.PointCount(), 0);
        }
    }
    // Which lines count as UTF-8 (else they are read in a code page); what
    // Windows-1252 makes of its own letters and of a byte it leaves undefined.
    for (const auto& [Bytes, Valid] : std::initializer_list<std::pair<std::string, bool>>{
             {"", true}, {"fl\xC3\xA4kt \xE2\x82\xAC \xF0\x9F\x98\x80", true}, {"fl\xE4kt", false},
             {"\xC0\xAF", false}, {"\xE0\x80\xAF", false}, {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false},
             {"\xE2\x82", false}}) {
        EXPECT_EQ(IsValidUtf8(Bytes), Valid) << Bytes;
    }
    EXPECT_EQ(CodePageOfLanguage("en"), CodePageOfLanguage("sv"));
    EXPECT_EQ(EightBitToUtf8("\x80 \x8A \x9F \xA0 \xFF \x81x", CodePageOfLanguage("sv")), // 0x81 undefined: kept
              "\xE2\x82\xAC \xC5\xA0 \xC5\xB8 \xC2\xA0 \xC3\xBF \xC2\x81x");
}

} // namespace
} // namespace psykrona
