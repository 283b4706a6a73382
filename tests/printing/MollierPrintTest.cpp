// The print layout on the recording canvas: number texts in the user's
// separator, the logo's failure, and one print job per page, aborted when
// the page fails.
#include "printing/MollierPrint.h"

#include "tests/printing/PrintFixture.h"
#include "tests/support/RecordingPrinter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace psykrona {
namespace {

using test::TPrintPage;
using test::TRecordedCall;

// Every number text on the pages carries the user's separator, once.
TEST(MollierPrint, NumberTextsCarryTheSeparatorOnce) {
    SetDecimalSeparator(',');
    TPrintPage Page(4672, 6774);
    Page.Doc.AirFlow = 1.8;
    Page.AddPoint(21.5, 0.0081).Name = "a.b";
    Page.AddPoint(30.25, 0.0123);
    const std::regex Comma("[0-9],[0-9]");
    const std::regex Wrong("[0-9][.,][0-9]*[.,]|[0-9]\\.[0-9]");
    for (const int Layout : {TMollierPrint::KChartPicture, TMollierPrint::KChartPage, TMollierPrint::KDataPage}) {
        int Numbers = 0;
        for (const TRecordedCall& C : Page.Print(Layout)) {
            const bool Text = C.Name == "TextOut" && !C.Text.starts_with("Psykrona ");
            Numbers += Text && std::regex_search(C.Text, Comma);
            EXPECT_FALSE(Text && std::regex_search(C.Text, Wrong)) << Layout << ": " << C.Text;
        }
        EXPECT_GT(Numbers, 10) << Layout;
    }
}

// The logo comes first on the data page and last on the chart page; a
// missing logo fails the page, naming the file.
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
}

// Each page is a job of its own on the printer's canvas, at the printer's
// size and with its fonts, the canvas handed back after; without a printer
// or a canvas nothing is drawn.
TEST(MollierPrint, EachPageIsAJobOnThePrintersCanvas) {
    TPrintPage Page(100, 100);
    test::TRecordingPrinter Printer;
    Page.Layout.FPrinter = &Printer;
    Page.Layout.FCanvas = nullptr;
    Page.Layout.PrintPage(TMollierPrint::KChartPage, true);
    Page.Layout.PrintPage(TMollierPrint::KDataPage, true);
    ASSERT_EQ(Printer.Jobs.size(), 2u);
    EXPECT_TRUE(Printer.Faults.empty()) << Printer.Faults.front();
    EXPECT_EQ(Page.Layout.FPageWidth, Printer.PageWidth()) << "the size is the printer's";
    EXPECT_TRUE(Page.Draw.DirectFonts());
    EXPECT_EQ(Page.Draw.Canvas(), nullptr) << "the printer's canvas went with its job";
    EXPECT_GT(Printer.Jobs[0].Named("LineTo").size(), 100u);
    Page.Layout.FPrinter = nullptr;
    EXPECT_THROW(Page.Layout.PrintPage(TMollierPrint::KDataPage, false), EPrintError);
    EXPECT_THROW(Page.Layout.PrintPage(TMollierPrint::KDataPage, true), EPrintError);
}

} // namespace
} // namespace psykrona
