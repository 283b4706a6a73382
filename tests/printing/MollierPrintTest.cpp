// The print layout on the recording canvas: what stays in its column for
// texts of any length, number texts in the user's separator, the logo's
// failure, and one print job per page, aborted when the page fails.
#include "printing/MollierPrint.h"

#include "tests/printing/PrintFixture.h"
#include "tests/support/RecordingPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <random>
#include <regex>

namespace psykrona {
namespace {

using test::TPrintPage;
using test::TRecordedCall;
using test::TRecordingCanvas;

// Every number text on the pages carries the user's separator, once.
TEST(MollierPrint, NumberTextsCarryTheSeparatorOnce) {
    SetDecimalSeparator(',');
    TPrintPage Page(4672, 6774);
    Page.Doc.AirFlow = 1.8;
    Page.AddPoint(21.5, 0.0081).Name = "a.b";
    Page.AddPoint(30.25, 0.0123);
    for (const int Layout : {TMollierPrint::KDataPage, TMollierPrint::KChartPage, TMollierPrint::KChartPicture}) {
        int Numbers = 0;
        for (const TRecordedCall& C : Page.Print(Layout)) {
            Numbers += C.Name == "TextOut" && std::regex_search(C.Text, std::regex("[0-9],[0-9]"));
            EXPECT_FALSE(C.Name == "TextOut" && !C.Text.starts_with("Psykrona ") && std::regex_search(C.Text, std::regex("[0-9][.,][0-9]*[.,]|[0-9]\\.[0-9]")))
                << Layout << ": " << C.Text;
        }
        EXPECT_GT(Numbers, 10) << Layout;
    }
    EXPECT_EQ(Page.TextCalls("1,8 m³/s").size(), 0u) << "not on the picture";
    Page.Print(TMollierPrint::KDataPage);
    EXPECT_EQ(Page.TextCalls("1,8 m³/s").size(), 1u);
    EXPECT_EQ(Page.TextCalls("1013 mbar").size(), 1u);
}

// The logo comes first on the data page and last on the chart page; a
// missing or foreign logo fails the page, naming the file.
TEST(MollierPrint, AMissingLogoFailsThePageWhereTheLogoIsDrawn) {
    TPrintPage Page(4672, 6774);
    std::filesystem::remove(Page.Folder.File("QRLOGO.jpg"));
    try {
        Page.Print(TMollierPrint::KDataPage);
        FAIL() << "the data page drew without its logo";
    } catch (const EPictureError& E) {
        EXPECT_NE(std::string(E.what()).find(Page.Folder.File("QRLOGO.jpg")), std::string::npos) << E.what();
    }
    EXPECT_EQ(Page.Canvas.DrawingCount(), 0);
    EXPECT_THROW(Page.Print(TMollierPrint::KChartPage), EPictureError);
    EXPECT_GT(Page.Canvas.Named("LineTo").size(), 100u) << "the chart drawn before the logo stays";
    Page.Folder.Write("QRLOGO.jpg", "not a JPEG");
    EXPECT_THROW(Page.Print(TMollierPrint::KDataPage), EPictureError);
}

// Each page is a job of its own on the printer's canvas, at the printer's
// size and with its fonts; a page that fails aborts its job and the next
// page prints; without a printer or a canvas nothing is drawn.
TEST(MollierPrint, EachPageIsAJobAndAFailingPageAbortsOnlyItsOwn) {
    TPrintPage Page(100, 100);
    test::TRecordingPrinter Printer;
    Page.Layout.FPrinter = &Printer;
    Page.Layout.FCanvas = nullptr;
    Page.AddPoint(20, 0.008);
    Page.Layout.PrintPage(TMollierPrint::KChartPage, true);
    ASSERT_EQ(Printer.Jobs.size(), 1u);
    EXPECT_EQ(Page.Layout.FPageWidth, Printer.PageWidth()) << "the size is the printer's";
    EXPECT_TRUE(Page.Draw.DirectFonts());
    EXPECT_EQ(Page.Draw.Canvas(), nullptr) << "the printer's canvas went with its job";
    EXPECT_TRUE(Page.Canvas.Calls.empty());
    EXPECT_GT(Printer.Jobs[0].Named("LineTo").size(), 100u);

    std::filesystem::remove(Page.Folder.File("QRLOGO.jpg"));
    EXPECT_THROW(Page.Layout.PrintPage(TMollierPrint::KDataPage, true), EPictureError);
    EXPECT_EQ(Printer.Jobs.size(), 1u);
    EXPECT_EQ(Printer.Aborted, 1);
    EXPECT_FALSE(Printer.Printing());
    Page.Folder.Write("QRLOGO.jpg", test::LogoBytes());
    Page.Layout.PrintPage(TMollierPrint::KDataPage, true);
    EXPECT_EQ(Printer.Jobs.size(), 2u);
    EXPECT_EQ(Printer.Begun, 3);
    EXPECT_TRUE(Printer.Faults.empty()) << Printer.Faults.front();

    Page.Layout.FPrinter = nullptr;
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
        TPrintPage Page(4672, 6774);
        Page.English();
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

} // namespace
} // namespace psykrona
