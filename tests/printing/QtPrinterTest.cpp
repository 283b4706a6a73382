// The Qt printer on PDF files: the printable size, pages that reach the file
// only when complete, jobs collected into one document, aborted jobs and
// failing pages that leave no file behind.
#include "qt/QtPrinter.h"

#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/NumberText.h"
#include "printing/MollierPrint.h"
#include "printing/PictureFiles.h"
#include "tests/files/FileTestSupport.h"
#include "tests/printing/PrintFixture.h"
#include "tests/printing/QtPrintSupport.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace psykrona {
namespace {

using test::PdfPageCount;
using test::ReadBytes;
using test::TTempDir;

class QtPrinterTest : public testing::Test {
protected:
    QtPrinterTest() {
        test::EnsureGuiApplication();
        SetDecimalSeparator('.');
        Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        Printer->setOutputFormat(QPrinter::PdfFormat);
        Printer->setOutputFileName(QString::fromStdString(Pdf()));
        Printer->setResolution(600);
        Printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                           QMarginsF(6, 5, 6, 5), QPageLayout::Millimeter));
    }

    std::string Pdf() const { return Dir / "pages.pdf"; }
    bool PdfExists() const { return std::filesystem::exists(Pdf()); }

    static void DrawSomething(TCanvas& Canvas, const std::string& Text) {
        Canvas.SetFont({"Arial", 100, 0, 700});
        Canvas.TextOut(500, 500, Text);
        Canvas.MoveTo(500, 700);
        Canvas.LineTo(3000, 700);
    }

    TTempDir Dir;
    std::unique_ptr<QPrinter> Printer;
};

TEST_F(QtPrinterTest, ThePrintableAreaIsA4LessTheMarginsAt600Dpi) {
    TQtPrinter Target(*Printer);
    // Qt keeps the page and its margins in whole points: 595 × 842 less
    // 2 × 17 and 2 × 14, at 600 / 72 pixels a point.
    EXPECT_NEAR(Target.PageWidth(), 4674, 1);
    EXPECT_NEAR(Target.PageHeight(), 6783, 1);
}

TEST_F(QtPrinterTest, JobsAsPagesGivesOneDocumentWhenFinished) {
    TQtPrinter Target(*Printer);
    Target.JobsAsPages = true;
    for (const char* Text : {"first", "second"}) {
        Target.BeginDoc();
        EXPECT_TRUE(Target.Printing());
        DrawSomething(Target.Canvas(), Text);
        Target.EndDoc();
        EXPECT_FALSE(Target.Printing());
    }
    EXPECT_FALSE(PdfExists()) << "nothing before Finish";
    Target.Finish();
    EXPECT_EQ(Target.PagesDelivered(), 2);
    EXPECT_EQ(PdfPageCount(ReadBytes(Pdf())), 2);
}

TEST_F(QtPrinterTest, EachJobOfItsOwnIsDeliveredAtItsEnd) {
    TQtPrinter Target(*Printer);
    Target.BeginDoc();
    DrawSomething(Target.Canvas(), "page");
    EXPECT_FALSE(PdfExists()) << "the page is not complete yet";
    Target.EndDoc();
    EXPECT_EQ(Target.PagesDelivered(), 1);
    EXPECT_EQ(PdfPageCount(ReadBytes(Pdf())), 1);
}

TEST_F(QtPrinterTest, AnAbortedJobDeliversNothing) {
    for (const bool AsPages : {false, true}) {
        TQtPrinter Target(*Printer);
        Target.JobsAsPages = AsPages;
        Target.BeginDoc();
        DrawSomething(Target.Canvas(), "half a page");
        Target.Abort();
        EXPECT_FALSE(Target.Printing());
        EXPECT_THROW(Target.Canvas(), EPrintError) << "no job, no canvas";
        Target.Finish();
        EXPECT_EQ(Target.PagesDelivered(), 0);
        EXPECT_FALSE(PdfExists()) << AsPages;
    }
}

TEST_F(QtPrinterTest, JobsDoNotNest) {
    TQtPrinter Target(*Printer);
    Target.BeginDoc();
    EXPECT_THROW(Target.BeginDoc(), EPrintError);
    Target.Abort();
    EXPECT_THROW(Target.EndDoc(), EPrintError);
}

// The layout's failing page aborts its job: a document of two pages with a
// missing logo is no document at all, and the file is not written.
TEST_F(QtPrinterTest, APageThatFailsLeavesNoFile) {
    test::TPrintPage Page(100, 100);
    std::filesystem::remove(Page.Folder.File("QRLOGO.jpg"));
    TQtPrinter Target(*Printer);
    Target.JobsAsPages = true;
    Page.Layout.FPrinter = &Target;
    EXPECT_THROW(Page.Layout.PrintPage(TMollierPrint::KDataPage, true), EPictureError);
    EXPECT_FALSE(Target.Printing());
    Target.Finish();
    EXPECT_FALSE(PdfExists());

    Page.Folder.Write("QRLOGO.jpg", test::LogoBytes());
    Page.Layout.PrintPage(TMollierPrint::KDataPage, true);
    Page.Layout.PrintPage(TMollierPrint::KChartPage, true);
    Target.Finish();
    EXPECT_EQ(PdfPageCount(ReadBytes(Pdf())), 2);
}

} // namespace
} // namespace psykrona
