// The Qt printer on PDF files: pages reach the file only when complete, jobs
// collect into one document, and aborted jobs or failing pages leave no file.
#include "ui/QtPrinter.h"

#include "tests/printing/PrintFixture.h"
#include "tests/printing/QtPrintSupport.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <gtest/gtest.h>

#include <filesystem>

namespace psykrona {
namespace {

class QtPrinterTest : public testing::Test {
protected:
    QtPrinterTest() {
        Printer.setOutputFormat(QPrinter::PdfFormat);
        Printer.setOutputFileName(QString::fromStdString(Dir.File("pages.pdf")));
        Printer.setResolution(600);
        Printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(6, 5, 6, 5),
                                          QPageLayout::Millimeter));
    }
    int Pages() const { return std::filesystem::exists(Dir.File("pages.pdf")) ? test::PdfPageCount(Dir.Read("pages.pdf")) : -1; }
    static void Page(TPrinter& Target) {
        Target.BeginDoc();
        Target.Canvas().MoveTo(500, 700);
        Target.Canvas().LineTo(3000, 700);
    }

    test::TTempFolder Dir;
    QPrinter Printer{QPrinter::HighResolution};
};

TEST_F(QtPrinterTest, JobsReachTheFileOnlyWhenCompleteAndAbortedOnesNever) {
    TQtPrinter Single(Printer);
    Page(Single);
    EXPECT_EQ(Pages(), -1) << "the page is not complete yet";
    Single.EndDoc();
    EXPECT_EQ(Pages(), 1);
    std::filesystem::remove(Dir.File("pages.pdf"));

    for (const bool AsPages : {false, true}) {
        TQtPrinter Target(Printer);
        Target.JobsAsPages = AsPages;
        Page(Target);
        EXPECT_THROW(Target.BeginDoc(), EPrintError) << "jobs do not nest";
        Target.Abort();
        EXPECT_THROW(Target.Canvas(), EPrintError) << "no job, no canvas";
        EXPECT_THROW(Target.EndDoc(), EPrintError);
        Target.Finish();
        EXPECT_EQ(Target.PagesDelivered(), 0);
        EXPECT_EQ(Pages(), -1) << AsPages;
    }
}

// As pages of one document: nothing before Finish; the layout's failing page
// aborts its job, and a document with a failed page is no document at all.
TEST_F(QtPrinterTest, JobsAsPagesGiveOneDocumentAndAFailingPageNone) {
    test::TPrintPage Layout(100, 100);
    std::filesystem::remove(Layout.Folder.File("QRLOGO.jpg"));
    TQtPrinter Target(Printer);
    Target.JobsAsPages = true;
    Layout.Layout.FPrinter = &Target;
    EXPECT_THROW(Layout.Layout.PrintPage(TMollierPrint::KDataPage, true), EPictureError);
    EXPECT_FALSE(Target.Printing());
    Target.Finish();
    EXPECT_EQ(Pages(), -1);

    Layout.Folder.Write("QRLOGO.jpg", test::LogoBytes());
    Layout.Layout.PrintPage(TMollierPrint::KDataPage, true);
    Layout.Layout.PrintPage(TMollierPrint::KChartPage, true);
    EXPECT_EQ(Pages(), -1) << "nothing before Finish";
    Target.Finish();
    EXPECT_EQ(Target.PagesDelivered(), 2);
    EXPECT_EQ(Pages(), 2);
}

} // namespace
} // namespace psykrona
