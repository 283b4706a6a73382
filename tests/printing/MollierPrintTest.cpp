// The print layout on the recording canvas: fonts, places, texts and number
// formats of the data page, the chart page and the chart picture; the logo
// and its failure; one print job per page on a printer, aborted when the page
// fails. Positions are worked out by hand from the page fractions, on the
// reference page of 4672 × 6774 pixels unless a test says otherwise.
#include "printing/MollierPrint.h"

#include "engine/MollierCalculate.h"
#include "localisation/Translator.h"
#include "tests/printing/PrintFixture.h"
#include "tests/support/RecordingPrinter.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <regex>
#include <sstream>

namespace psykrona {
namespace {

using test::TPrintPage;
using test::TRecordedCall;
using test::TRecordingCanvas;

// The translator on the language files of a folder, for the scope's life.
struct TLanguageScope {
    TDomImplementation Dom;
    TXmlParser Parser{Dom};
    explicit TLanguageScope(const std::string& Dir) { TTranslator::CreateInstance(Dom, Parser, Dir); }
    ~TLanguageScope() { TTranslator::DestroyInstance(); }
    TLanguageScope(const TLanguageScope&) = delete;
    TLanguageScope& operator=(const TLanguageScope&) = delete;
};

constexpr int W = 4672;
constexpr int H = 6774;

// Value columns of the table on the reference page: right edges at
// x0 + c div 2 + 2c + k c with x0 = 374 and c = 467.
constexpr int Xk[7] = {1541, 2008, 2475, 2942, 3409, 3876, 4343};
constexpr int HeadingY = 2332;
constexpr int FirstRowY = 2532;
constexpr int RowStep = 120;

TEST(MollierPrint, FontsGrowWithThePageWidth) {
    struct TCase {
        int Width;
        int Large, Medium, Small;
    };
    const TCase Cases[] = {{4672, 100, 90, 80}, {680, 15, 13, 12}, {990, 21, 19, 17}, {2336, 50, 45, 40}};
    for (const TCase& C : Cases) {
        TMollierPrint Layout;
        Layout.FPageWidth = C.Width;
        Layout.ComputeScale();
        EXPECT_EQ(Layout.FFontLarge, C.Large) << C.Width;
        EXPECT_EQ(Layout.FFontMedium, C.Medium) << C.Width;
        EXPECT_EQ(Layout.FFontSmall, C.Small) << C.Width;
    }
}

TEST(MollierPrint, DataPageTextsUseTheThreeFonts) {
    TPrintPage Page(W, H);
    Page.Print(TMollierPrint::KDataPage);
    struct TCase {
        const char* Text;
        int Height, Weight;
    };
    const TCase Cases[] = {{"TXT_PROJECT_DATA", 100, 700},
                           {"TXT_FLOW_DATA", 100, 700},
                           {"TXT_PROCESS", 100, 700},
                           {"TXT_PROJECT", 90, 400},
                           {"TXT_AIRFLOW", 90, 400},
                           {"TXT_NBR", 80, 400},
                           {"(°C)", 80, 400},
                           {"Psykrona 2.1b", 80, 400}};
    for (const TCase& C : Cases) {
        const auto Calls = Page.TextCalls(C.Text);
        ASSERT_EQ(Calls.size(), 1u) << C.Text;
        EXPECT_EQ(Calls[0].Font, (TFontDesc{"Arial", C.Height, 0, C.Weight})) << C.Text;
    }
}

TEST(MollierPrint, ChartPictureHasAHeavyTitleOverAChartLaidOutTaller) {
    TPrintPage Page(680, 680);
    Page.Print(TMollierPrint::KChartPicture);
    EXPECT_EQ(Page.Layout.FFontLarge, 15);
    EXPECT_EQ(Page.Layout.FFontMedium, 13);
    EXPECT_EQ(Page.Layout.FFontSmall, 12);
    const auto Title = Page.TextCalls("TXT_CHART_TITLE 101.3 kPa");
    ASSERT_EQ(Title.size(), 1u);
    EXPECT_EQ(Title[0].Font, (TFontDesc{"Arial", 17, 0, 900}));
    // 25 characters of 10 pixels centred at 0.49 × 680 = 333; 0.015 × 680.
    EXPECT_EQ(Title[0].X1, 333 - 125);
    EXPECT_EQ(Title[0].Y1, 10);
    EXPECT_EQ(Page.Draw.ChartWidth(), 680);
    EXPECT_EQ(Page.Draw.ChartHeight(), 714);
    EXPECT_GT(Page.Canvas.Named("LineTo").size(), 100u) << "the chart is drawn";
    EXPECT_TRUE(Page.Canvas.Named("StretchDraw").empty()) << "no logo";
    EXPECT_TRUE(Page.TextCalls("TXT_PROJECT").empty()) << "no project data";
    // The version mark: 13 characters of 7 pixels ending at 0.94 × 680.
    const auto Mark = Page.TextCalls("Psykrona 2.1b");
    ASSERT_EQ(Mark.size(), 1u);
    EXPECT_EQ(Mark[0].X1, 639 - 91);
    EXPECT_EQ(Mark[0].Y1, 7);
}

TEST(MollierPrint, DrawTextAlignsByTheMeasuredWidth) {
    struct TCase {
        TMollierPrint::TAlign Align;
        const char* Text;
        int X;
    };
    // 15-pixel cells are 9 pixels wide: "abc" is 27 and "abcd" 36 wide.
    const TCase Cases[] = {{TMollierPrint::TAlign::Left, "abc", 100},
                           {TMollierPrint::TAlign::Right, "abc", 73},
                           {TMollierPrint::TAlign::Center, "abc", 87},
                           {TMollierPrint::TAlign::Center, "abcd", 82},
                           {TMollierPrint::TAlign::Right, "°C", 82}};
    for (const TCase& C : Cases) {
        TRecordingCanvas Canvas;
        Canvas.SetFont({"Arial", 15, 0, 400});
        TMollierPrint Layout;
        Layout.FCanvas = &Canvas;
        Layout.DrawText(100, 50, C.Text, C.Align);
        const auto Out = Canvas.Named("TextOut");
        ASSERT_EQ(Out.size(), 1u);
        EXPECT_EQ(Out[0].X1, C.X) << C.Text;
        EXPECT_EQ(Out[0].Y1, 50);
    }
}

TEST(MollierPrint, ColumnHeadingsStackTheirLinesUpwardsFromTheLast) {
    struct TCase {
        const char* Text;
        std::vector<std::string> Lines;
    };
    const TCase Cases[] = {
        {"Name", {"Name"}}, {"Temp.\\(°C)", {"Temp.", "(°C)"}}, {"Rel.\\hum.\\(%)", {"Rel.", "hum.", "(%)"}}};
    for (const TCase& C : Cases) {
        TRecordingCanvas Canvas;
        Canvas.SetFont({"Arial", 80, 0, 400});
        TMollierPrint Layout;
        Layout.FCanvas = &Canvas;
        Layout.FPageWidth = W;
        Layout.ComputeScale();
        Layout.DrawColumnHeader(1000, 500, C.Text);
        const auto Out = Canvas.Named("TextOut");
        ASSERT_EQ(Out.size(), C.Lines.size()) << C.Text;
        const int N = static_cast<int>(Out.size());
        for (int J = 0; J < N; ++J) {
            EXPECT_EQ(Out[J].Text, C.Lines[J]);
            EXPECT_EQ(Out[J].Y1, 500 - (N - 1 - J) * 80) << C.Text << " line " << J;
            EXPECT_EQ(TPrintPage::RightEdge(Out[J]), 1000) << C.Text << " line " << J;
        }
    }
}

TEST(MollierPrint, DataPageShowsPrescribedValuesAsEnteredAndDerivedOnesRounded) {
    TPrintPage Page(W, H);
    TMollierPoint& A = Page.Doc.AddPoint();
    A.Name = "Outdoor";
    A.Temp = 20;
    A.RelHum = 50;
    A.Prescribed1 = PROP_TEMP;
    A.Prescribed2 = PROP_RELHUM;
    TMollierPoint& B = Page.Doc.AddPoint();
    B.Number = 2;
    B.Name = "Supply";
    B.SpecHum = 0.008123;
    B.Enthalpy = 45.25;
    B.Prescribed1 = PROP_ENTHALPY;
    B.Prescribed2 = PROP_SPECHUM;
    Page.Doc.CalculateAll();
    Page.Print(TMollierPrint::KDataPage);

    const std::regex OneDecimal("-?[0-9]+\\.[0-9]");
    const std::regex TwoDecimals("-?[0-9]+\\.[0-9][0-9]");
    const auto RowA = Page.TextsAt(FirstRowY);
    ASSERT_GE(RowA.size(), 6u);
    EXPECT_EQ(RowA[0], "1");
    EXPECT_EQ(RowA[1], "Outdoor");
    EXPECT_EQ(RowA[2], "20");
    EXPECT_EQ(RowA[3], "50");
    EXPECT_EQ(RowA[4], "7.26") << "20 °C and 50 % hold 7.26 g/kg at 101.3 kPa";
    EXPECT_TRUE(std::regex_match(RowA[5], OneDecimal)) << RowA[5];
    EXPECT_EQ(RowA[5], FormatFixed(A.Enthalpy, 1));

    const auto RowB = Page.TextsAt(FirstRowY + RowStep);
    ASSERT_GE(RowB.size(), 6u);
    EXPECT_EQ(RowB[0], "2");
    EXPECT_EQ(RowB[1], "Supply");
    EXPECT_TRUE(std::regex_match(RowB[2], OneDecimal)) << RowB[2];
    EXPECT_TRUE(std::regex_match(RowB[3], OneDecimal)) << RowB[3];
    EXPECT_EQ(RowB[4], "8.123") << "more decimals than the pattern: exactly as entered";
    EXPECT_EQ(RowB[5], "45.25");

    // Number at x0, name at x0 + c div 2, values right-aligned at their
    // columns.
    EXPECT_EQ(Page.TextCalls("1")[0].X1, 374);
    EXPECT_EQ(Page.TextCalls("Outdoor")[0].X1, 607);
    const auto Calls = Page.CallsAt(FirstRowY);
    for (int K = 0; K < 4; ++K) {
        EXPECT_EQ(TPrintPage::RightEdge(Calls[static_cast<std::size_t>(2 + K)]), Xk[K]) << "column " << K;
    }
}

TEST(MollierPrint, ProcessValuesStandInTheRowOfTheLaterPointOnlyAfterALine) {
    TPrintPage Page(W, H);
    Page.Doc.AirFlow = 2;
    // Heating at a constant humidity ratio from point 1 to point 2; point 2
    // is not joined to point 3.
    Page.AddPoint(10, 0.006);
    Page.AddPoint(30, 0.006).LineToNext = false;
    Page.AddPoint(25, 0.009);
    Page.Print(TMollierPrint::KDataPage);

    const auto Row1 = Page.TextsAt(FirstRowY);
    const auto Row2 = Page.TextsAt(FirstRowY + RowStep);
    const auto Row3 = Page.TextsAt(FirstRowY + 2 * RowStep);
    EXPECT_EQ(Row1.size(), 6u) << "the first row never has process values";
    ASSERT_EQ(Row2.size(), 9u);
    EXPECT_EQ(Row3.size(), 6u) << "the point before has no line to this one";

    // Point 1 is the process's start: heating gives positive powers and, at
    // a constant humidity ratio, no water.
    const TMain& D = Page.Doc;
    const TMollierPoint& P1 = D.Points[0];
    const TMollierPoint& P2 = D.Points[1];
    EXPECT_EQ(Row2[6], FormatFixed(D.Power(P1.Enthalpy, P2.Enthalpy), 1));
    EXPECT_EQ(Row2[7], FormatFixed(D.SensiblePower(P1.Temp, P2.Temp, P1.SpecHum, P2.SpecHum), 1));
    EXPECT_EQ(Row2[8], "0.0");
    EXPECT_GT(StrToFloat(Row2[6]), 40) << "2 m³/s heated by 20 K takes about 48 kW";
    EXPECT_GT(StrToFloat(Row2[7]), 40);
    const auto Calls = Page.CallsAt(FirstRowY + RowStep);
    for (int K = 0; K < 7; ++K) {
        EXPECT_EQ(TPrintPage::RightEdge(Calls[static_cast<std::size_t>(2 + K)]), Xk[K]) << "column " << K;
    }
}

TEST(MollierPrint, PressureShowsInMbarOnTheDataPageAndInKpaInTheTitle) {
    for (const char Separator : {'.', ','}) {
        TPrintPage Page(W, H);
        SetDecimalSeparator(Separator);
        Page.Doc.AirFlow = 1.8;
        Page.Doc.Pressure = 101.3;
        const std::string S(1, Separator);
        Page.Print(TMollierPrint::KDataPage);
        // Flow values at x + d = 2570 + 701, rows 1.5 medium fonts apart.
        const auto Pressure = Page.TextCalls("1013 mbar");
        ASSERT_EQ(Pressure.size(), 1u) << Separator;
        EXPECT_EQ(Pressure[0].X1, 3271);
        EXPECT_EQ(Pressure[0].Y1, 1186 + 2 * 135);
        EXPECT_EQ(Page.TextCalls("1" + S + "8 m³/s").size(), 1u) << Separator;
        EXPECT_EQ(Page.TextCalls("1" + S + "20 kg/m³").size(), 1u) << Separator;

        Page.Print(TMollierPrint::KChartPage);
        const auto Title = Page.TextCalls("TXT_CHART_TITLE 101" + S + "3 kPa");
        ASSERT_EQ(Title.size(), 1u) << Separator;
        EXPECT_EQ(Title[0].Font, (TFontDesc{"Arial", 100, 0, 700}));
        EXPECT_EQ(Title[0].X1 + TPrintPage::RightEdge(Title[0]), 2 * 2289) << "centred at 0.49 W";
        EXPECT_EQ(Title[0].Y1, 169);
    }
}

TEST(MollierPrint, ProjectTextsStandOnBothPages) {
    TPrintPage Page(W, H);
    Page.Layout.FProjectName = "Office block";
    Page.Layout.FProjectDate = "2024-05-14";
    Page.Layout.FSignature = "K. Lind";
    Page.Layout.FCompany = "Nordvent";
    const char* Values[4] = {"Office block", "2024-05-14", "K. Lind", "Nordvent"};
    const char* Labels[4] = {"TXT_PROJECT", "TXT_DATE", "TXT_SIGNATURE", "TXT_COMPANY"};

    Page.Print(TMollierPrint::KDataPage);
    for (int R = 0; R < 4; ++R) {
        const auto Label = Page.TextCalls(Labels[R]);
        const auto Value = Page.TextCalls(Values[R]);
        ASSERT_EQ(Label.size(), 1u);
        ASSERT_EQ(Value.size(), 1u);
        EXPECT_EQ(Label[0].X1, 374);
        EXPECT_EQ(Value[0].X1, 374 + 654);
        EXPECT_EQ(Label[0].Y1, 1186 + R * 135);
        EXPECT_EQ(Value[0].Y1, 1186 + R * 135);
    }

    Page.Print(TMollierPrint::KChartPage);
    for (int R = 0; R < 4; ++R) {
        const auto Label = Page.TextCalls(Labels[R]);
        const auto Value = Page.TextCalls(Values[R]);
        ASSERT_EQ(Label.size(), 1u);
        ASSERT_EQ(Value.size(), 1u);
        EXPECT_EQ(Label[0].X1, 584);
        EXPECT_EQ(Value[0].X1, 584 + 467);
        EXPECT_EQ(Label[0].Y1, 6178 + R * 108);
        EXPECT_EQ(Label[0].Font, (TFontDesc{"Arial", 90, 0, 700}));
        EXPECT_EQ(Value[0].Font, (TFontDesc{"Arial", 90, 0, 400}));
    }
    EXPECT_EQ(Page.Draw.ChartHeight(), 6435) << "the chart leaves a strip of 0.05 H";
    EXPECT_FALSE(Page.Draw.DirectFonts()) << "not on a printer";
}

TEST(MollierPrint, FortyPointsOverflowTheReferencePageByFiveRows) {
    TPrintPage Page(W, H);
    // Appended rather than "P" + ..., which GCC 12 warns about wrongly.
    auto NameOf = [](int I) { return std::string("P").append(std::to_string(I + 1)); };
    for (int I = 0; I < 40; ++I) {
        Page.AddPoint(20, 0.008).Name = NameOf(I);
    }
    Page.Print(TMollierPrint::KDataPage);
    int OnThePage = 0;
    for (int I = 0; I < 40; ++I) {
        const auto Name = Page.TextCalls(NameOf(I));
        ASSERT_EQ(Name.size(), 1u);
        EXPECT_EQ(Name[0].Y1, FirstRowY + I * RowStep);
        OnThePage += Name[0].Y1 + Name[0].Font.Height <= H;
    }
    EXPECT_EQ(OnThePage, 35);
}

TEST(MollierPrint, AnEmptyProjectGivesTheHeadingsAndTheRuleButNoRows) {
    TPrintPage Page(W, H);
    Page.Print(TMollierPrint::KDataPage);
    EXPECT_EQ(Page.TextsAt(HeadingY),
              (std::vector<std::string>{"TXT_NBR", "TXT_NAME", "(°C)", "(%)", "(g/kg)", "(kJ/kg)", "(kW)",
                                        "(kW)", "(l/min)"}));
    // Without a translator each heading shows its key above its unit.
    EXPECT_EQ(Page.TextsAt(HeadingY - 80),
              (std::vector<std::string>{"TXT_TEMP", "TXT_REL_HUM", "TXT_SPEC_HUM", "TXT_ENTHALPY",
                                        "TXT_POWER", "TXT_SENS_POWER", "TXT_WATER"}));
    const auto Lines = Page.Canvas.Named("LineTo");
    ASSERT_EQ(Lines.size(), 1u);
    EXPECT_EQ((std::vector<int>{Lines[0].X1, Lines[0].Y1, Lines[0].X2, Lines[0].Y2}),
              (std::vector<int>{4343 + 77, 2452, 374, 2452}));
    EXPECT_EQ(Lines[0].PenColor, clBlack);
    EXPECT_EQ(Lines[0].PenWidth, 2);
    EXPECT_TRUE(Page.TextsAt(FirstRowY).empty());
}

TEST(MollierPrint, TheLogoIsStretchedIntoA15By7BoxOnEitherPage) {
    TPrintPage Page(W, H);
    Page.Print(TMollierPrint::KDataPage);
    auto Logo = Page.Canvas.Named("StretchDraw");
    ASSERT_EQ(Logo.size(), 1u);
    EXPECT_EQ((std::vector<int>{Logo[0].X1, Logo[0].Y1, Logo[0].X2, Logo[0].Y2}),
              (std::vector<int>{271, 102, 1287, 576}));
    EXPECT_EQ(Logo[0].Text, "30x14");

    Page.Print(TMollierPrint::KChartPage);
    Logo = Page.Canvas.Named("StretchDraw");
    ASSERT_EQ(Logo.size(), 1u);
    EXPECT_EQ((std::vector<int>{Logo[0].X1, Logo[0].Y1, Logo[0].X2, Logo[0].Y2}),
              (std::vector<int>{3376, 6130, 4392, 6605}));
}

TEST(MollierPrint, AMissingLogoFailsThePageWhereTheLogoIsDrawn) {
    TPrintPage Page(W, H);
    std::filesystem::remove(Page.Folder.File("QRLOGO.jpg"));
    try {
        Page.Print(TMollierPrint::KDataPage);
        FAIL() << "the data page drew without its logo";
    } catch (const EPictureError& E) {
        EXPECT_NE(std::string(E.what()).find(Page.Folder.File("QRLOGO.jpg")), std::string::npos) << E.what();
    }
    EXPECT_EQ(Page.Canvas.DrawingCount(), 0) << "the logo comes first";

    EXPECT_THROW(Page.Print(TMollierPrint::KChartPage), EPictureError);
    EXPECT_GT(Page.Canvas.Named("LineTo").size(), 100u) << "the chart drawn before the logo stays";
    EXPECT_TRUE(Page.Canvas.Named("TextOut").size() > 0);
    EXPECT_TRUE(Page.TextCalls("TXT_CHART_TITLE 101.3 kPa").empty());

    Page.Folder.Write("QRLOGO.jpg", "not a JPEG");
    EXPECT_THROW(Page.Print(TMollierPrint::KDataPage), EPictureError);
}

TEST(MollierPrint, EachPrintedPageIsAJobOfItsOwnOnThePrintersCanvas) {
    TPrintPage Page(100, 100);
    test::TRecordingPrinter Printer;
    Page.Layout.FPrinter = &Printer;
    Page.Layout.FCanvas = nullptr;
    Page.AddPoint(20, 0.008);

    Page.Layout.PrintPage(TMollierPrint::KChartPage, true);
    EXPECT_EQ(Printer.Begun, 1);
    EXPECT_EQ(Printer.Jobs.size(), 1u);
    EXPECT_EQ(Printer.Aborted, 0);
    EXPECT_EQ(Page.Layout.FPageWidth, W) << "the size is the printer's";
    EXPECT_EQ(Page.Layout.FPageHeight, H);
    EXPECT_EQ(Page.Layout.FFontLarge, 100);
    EXPECT_TRUE(Page.Draw.DirectFonts());
    EXPECT_EQ(Page.Draw.ChartHeight(), 6435);
    EXPECT_EQ(Page.Draw.Canvas(), nullptr) << "the printer's canvas went with its job";
    EXPECT_EQ(Page.Layout.FCanvas, nullptr);
    EXPECT_TRUE(Page.Canvas.Calls.empty());
    EXPECT_TRUE(Printer.JobShows(0, "TXT_CHART_TITLE 101.3 kPa"));
    EXPECT_TRUE(Printer.JobShows(0, "Psykrona 2.1b"));

    Page.Layout.PrintPage(TMollierPrint::KDataPage, true);
    EXPECT_EQ(Printer.Begun, 2);
    EXPECT_EQ(Printer.Jobs.size(), 2u);
    EXPECT_TRUE(Printer.Faults.empty());
}

TEST(MollierPrint, APageThatFailsAbortsItsJobAndTheNextPagePrints) {
    TPrintPage Page(W, H);
    test::TRecordingPrinter Printer;
    Page.Layout.FPrinter = &Printer;
    std::filesystem::remove(Page.Folder.File("QRLOGO.jpg"));
    EXPECT_THROW(Page.Layout.PrintPage(TMollierPrint::KChartPage, true), EPictureError);
    EXPECT_EQ(Printer.Begun, 1);
    EXPECT_TRUE(Printer.Jobs.empty());
    EXPECT_EQ(Printer.Aborted, 1);
    EXPECT_FALSE(Printer.Printing());
    EXPECT_EQ(Page.Draw.Canvas(), nullptr);

    Page.Folder.Write("QRLOGO.jpg", test::LogoBytes());
    Page.Layout.PrintPage(TMollierPrint::KDataPage, true);
    EXPECT_EQ(Printer.Jobs.size(), 1u);
    EXPECT_EQ(Printer.Aborted, 1);
    EXPECT_TRUE(Printer.Faults.empty());
}

TEST(MollierPrint, WithoutAPrinterOrACanvasNothingIsDrawn) {
    TPrintPage Page(W, H);
    Page.Layout.FCanvas = nullptr;
    EXPECT_THROW(Page.Layout.PrintPage(TMollierPrint::KDataPage, false), EPrintError);
    EXPECT_THROW(Page.Layout.PrintPage(TMollierPrint::KDataPage, true), EPrintError);
}

// Names, numbers, values and typed project texts of any length stay in their
// columns, on the data page and on the chart page: a text that would come
// within a gap of the next column is cut with "…", and every other text
// prints as it is, where it was. Random texts with the English headings; the
// seed is printed on failure.
TEST(MollierPrint, LongTextsAreCutBeforeTheNextColumnAndFittingOnesStayAsTheyAre) {
    const unsigned Seed = 150402;
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937 Rng(Seed);
    const char* Pieces[] = {"After", " the", " preheating", " coil", " AHU-01",
                            "ő",     "°",    " ",           "x",     "Lüftung"};
    auto RandomText = [&](int MaxPieces) {
        std::string Text;
        for (int N = std::uniform_int_distribution<int>(0, MaxPieces)(Rng); N > 0; --N) {
            Text += Pieces[std::uniform_int_distribution<std::size_t>(0, std::size(Pieces) - 1)(Rng)];
        }
        return Text;
    };
    auto Source = [](const char* File) {
        std::ifstream In(std::string(PSYKRONA_SOURCE_DIR) + "/data/" + File, std::ios::binary);
        std::stringstream S;
        S << In.rdbuf();
        return S.str();
    };
    // A cut text is a beginning of the whole followed by "…".
    auto IsCutFrom = [](const std::string& Shown, const std::string& Whole) {
        const std::string Ellipsis = "…";
        return Shown.size() >= Ellipsis.size() && Shown.ends_with(Ellipsis) &&
               Whole.starts_with(Shown.substr(0, Shown.size() - Ellipsis.size()));
    };
    auto Width = [](const TRecordedCall& C, const std::string& Text) {
        return TRecordingCanvas::CodePoints(Text) * TRecordingCanvas::CharWidth(C.Font.Height);
    };

    for (int Round = 0; Round < 25; ++Round) {
        SCOPED_TRACE("round " + std::to_string(Round));
        TPrintPage Page(W, H);
        Page.Folder.Write("Languages.xml", Source("Languages.xml"));
        Page.Folder.Write("English.lng", Source("English.lng"));
        const TLanguageScope Language(Page.Folder.Dir());
        const int Count = std::uniform_int_distribution<int>(1, 12)(Rng);
        for (int I = 0; I < Count; ++I) {
            // Some temperatures with all their digits, as typed.
            const double Temp = std::uniform_real_distribution<double>(-20, 40)(Rng);
            TMollierPoint& P = Page.AddPoint(Rng() % 3 == 0 ? Temp : std::round(Temp), 0.005);
            P.Number = Rng() % 4 == 0 ? static_cast<int>(Rng() % 100000000) : I + 1;
            P.Name =
                I == 0 ? "After the preheating coil in the supply air handling unit AHU-01" : RandomText(12);
        }
        Page.Layout.FProjectName = RandomText(25);
        Page.Layout.FProjectDate = RandomText(4);
        Page.Layout.FSignature = RandomText(25);
        Page.Layout.FCompany = RandomText(60);
        const std::string Typed[4] = {Page.Layout.FProjectName, Page.Layout.FProjectDate,
                                      Page.Layout.FSignature, Page.Layout.FCompany};

        Page.Print(TMollierPrint::KDataPage);
        const int Gap = Page.Layout.ColumnGap();
        ASSERT_GT(Gap, 0);
        // The table's columns, from the heading row: left edges of the number
        // and the name, right edges of the seven value columns.
        const auto Nbr = Page.TextCalls("No.");
        const auto Name = Page.TextCalls("Name");
        ASSERT_EQ(Nbr.size(), 1u);
        ASSERT_EQ(Name.size(), 1u);
        std::vector<int> ValueRights;
        for (const char* Unit : {"(°C)", "(%)", "(g/kg)", "(kJ/kg)", "(kW)", "(l/min)"}) {
            for (const TRecordedCall& C : Page.TextCalls(Unit)) {
                ValueRights.push_back(TPrintPage::RightEdge(C));
            }
        }
        std::sort(ValueRights.begin(), ValueRights.end());
        ASSERT_EQ(ValueRights.size(), 7u);
        // Column 0 number, 1 name, 2 + k value column k: the extent of the
        // texts in its rows. The headings are the language's and not cut.
        std::map<int, std::pair<int, int>> Extent;
        std::vector<TRecordedCall> Names;
        std::vector<TRecordedCall> Numbers;
        for (const TRecordedCall& C : Page.Canvas.Named("TextOut")) {
            if (C.Y1 <= Nbr[0].Y1) {
                continue; // above the rows
            }
            int Column = -1;
            if (C.X1 == Nbr[0].X1) {
                Column = 0;
                Numbers.push_back(C);
            } else if (C.X1 == Name[0].X1) {
                Column = 1;
                Names.push_back(C);
            } else {
                const auto It = std::find(ValueRights.begin(), ValueRights.end(), TPrintPage::RightEdge(C));
                ASSERT_NE(It, ValueRights.end()) << "a text in no column: " << C.ToString();
                Column = 2 + static_cast<int>(It - ValueRights.begin());
            }
            if (!C.Text.empty()) {
                auto [At, New] = Extent.try_emplace(Column, C.X1, TPrintPage::RightEdge(C));
                At->second = {std::min(At->second.first, C.X1),
                              std::max(At->second.second, TPrintPage::RightEdge(C))};
            }
        }
        // The temperature column starts at its heading where that is wider.
        for (const char* Line : {"Temp.", "(°C)"}) {
            ASSERT_EQ(Page.TextCalls(Line).size(), 1u);
            Extent[2].first = std::min(Extent[2].first, Page.TextCalls(Line)[0].X1);
        }
        // Columns without texts (processes of a single point) are left out.
        for (auto It = Extent.begin(); std::next(It) != Extent.end(); ++It) {
            EXPECT_LT(It->second.second, std::next(It)->second.first)
                << "column " << It->first << " runs into the next";
        }
        ASSERT_EQ(Names.size(), static_cast<std::size_t>(Count));
        ASSERT_EQ(Numbers.size(), static_cast<std::size_t>(Count));
        for (int I = 0; I < Count; ++I) {
            const TMollierPoint& P = Page.Doc.Points[static_cast<std::size_t>(I)];
            const TRecordedCall& N = Names[static_cast<std::size_t>(I)];
            if (N.X1 + Width(N, P.Name) + Gap <= Extent[2].first) {
                EXPECT_EQ(N.Text, P.Name) << "a name that fits";
            } else {
                EXPECT_TRUE(IsCutFrom(N.Text, P.Name)) << N.Text << " from " << P.Name;
            }
            const std::string Number = std::to_string(P.Number);
            const TRecordedCall& Nb = Numbers[static_cast<std::size_t>(I)];
            EXPECT_TRUE(Nb.X1 + Width(Nb, Number) + Gap <= Name[0].X1 ? Nb.Text == Number
                                                                      : IsCutFrom(Nb.Text, Number))
                << Nb.Text << " for " << Number;
        }
        EXPECT_NE(Names[0].Text, Page.Doc.Points[0].Name) << "the long name is cut";

        // The typed project texts end before the flow-data block on the data
        // page and before the logo on the chart page.
        const auto CheckTyped = [&](int Right) {
            const auto Texts = Page.Canvas.Named("TextOut");
            const char* Captions[4] = {"Project", "Date", "Signature", "Company"};
            for (int R = 0; R < 4; ++R) {
                const auto Caption = std::find_if(Texts.begin(), Texts.end(), [&](const TRecordedCall& C) {
                    return C.Text == Captions[R];
                });
                ASSERT_LT(Caption + 1, Texts.end()) << Captions[R];
                const TRecordedCall& V = *(Caption + 1);
                EXPECT_LT(TPrintPage::RightEdge(V), Right) << V.Text;
                if (V.X1 + Width(V, Typed[R]) + Gap <= Right) {
                    EXPECT_EQ(V.Text, Typed[R]);
                } else {
                    EXPECT_TRUE(IsCutFrom(V.Text, Typed[R])) << V.Text << " from " << Typed[R];
                }
            }
        };
        const auto Flow = Page.TextCalls("Flow data");
        ASSERT_EQ(Flow.size(), 1u);
        CheckTyped(Flow[0].X1);
        Page.Print(TMollierPrint::KChartPage);
        const auto Logo = Page.Canvas.Named("StretchDraw");
        ASSERT_EQ(Logo.size(), 1u);
        CheckTyped(Logo[0].X1);
    }
}

// Texts come from the translator at every page, and the units follow the
// translated heading; a backslash in the translation adds a line.
TEST(MollierPrint, TranslatedHeadingsCarryTheirUnitsAndBackslashesBreakThem) {
    TPrintPage Page(W, H);
    Page.Folder.Write("Languages.xml",
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<list><default><language>sv</language>"
                      "</default><languages><language><code>sv</code><name>Svenska</name><file>Swedish.lng"
                      "</file></language></languages></list>\n");
    Page.Folder.Write("Swedish.lng", "[PRINT]\nTXT_TEMP=Temperatur\nTXT_REL_HUM=Rel.\\fukt.\n"
                                     "TXT_CHART_TITLE=Mollierdiagram vid\n");
    const TLanguageScope Language(Page.Folder.Dir());

    Page.Print(TMollierPrint::KDataPage);
    auto LineAt = [&](const std::string& Text) {
        const auto Calls = Page.TextCalls(Text);
        return Calls.size() == 1 ? (HeadingY - Calls[0].Y1) / 80 : -1;
    };
    EXPECT_EQ(LineAt("(°C)"), 0);
    EXPECT_EQ(LineAt("Temperatur"), 1);
    EXPECT_EQ(LineAt("(%)"), 0);
    EXPECT_EQ(LineAt("fukt."), 1);
    EXPECT_EQ(LineAt("Rel."), 2);
    EXPECT_EQ(LineAt("TXT_ENTHALPY"), 1) << "a missing text shows its key";

    Page.Print(TMollierPrint::KChartPicture);
    EXPECT_EQ(Page.TextCalls("Mollierdiagram vid 101.3 kPa").size(), 1u);
}

} // namespace
} // namespace psykrona
