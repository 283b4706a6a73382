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

} // namespace
} // namespace psykrona
