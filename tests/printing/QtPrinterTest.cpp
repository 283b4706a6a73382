// The Qt printer on PDF files: pages reach the file only when complete, jobs
// collect into one document, and aborted jobs or failing pages leave no file.
#include "ui/QtPrinter.h"

#include "tests/printing/PrintFixture.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

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
    // The file's page objects ("/Type /Page", not "/Pages"); -1 without a file.
    int Pages() const {
        const std::string Pdf = Dir.Read("pages.pdf");
        const std::regex Page("/Type\\s*/Page(?![a-zA-Z])");
        return std::filesystem::exists(Dir.File("pages.pdf"))
                   ? static_cast<int>(std::distance(std::sregex_iterator(Pdf.begin(), Pdf.end(), Page), {}))
                   : -1;
    }
    static void Page(TPrinter& Target) {
        Target.BeginDoc();
        Target.Canvas().MoveTo(500, 700);
        Target.Canvas().LineTo(3000, 700);
    }

    test::TTempFolder Dir;
    QPrinter Printer{QPrinter::HighResolution};
};

// A job of its own reaches the file at its end; jobs do not nest; an aborted
// job, also as a page of one document, leaves no file.
TEST_F(QtPrinterTest, JobsReachTheFileOnlyWhenCompleteAndAbortedOnesNever) {
    for (const bool AsPages : {false, true}) {
        TQtPrinter Target(Printer);
        Target.JobsAsPages = AsPages;
        Page(Target);
        EXPECT_THROW(Target.BeginDoc(), EPrintError);
        Target.Abort();
        EXPECT_THROW(Target.Canvas(), EPrintError) << "no job, no canvas";
        EXPECT_THROW(Target.EndDoc(), EPrintError);
        Target.Finish();
        EXPECT_EQ(Pages(), -1) << AsPages;
    }
    TQtPrinter Single(Printer);
    Page(Single);
    EXPECT_EQ(Pages(), -1) << "the page is not complete yet";
    Single.EndDoc();
    EXPECT_EQ(Pages(), 1);
}

// As pages of one document: nothing before Finish; the layout's failing page
// aborts its job, and a document with a failed page is no document at all.
TEST_F(QtPrinterTest, JobsAsPagesGiveOneDocumentAndAFailingPageNone) {
    test::TPrintPage Layout(100, 100);
    TQtPrinter Target(Printer);
    Target.JobsAsPages = true;
    Layout.Layout.FPrinter = &Target;
    std::filesystem::remove(Layout.Folder.File("QRLOGO.jpg"));
    EXPECT_THROW(Layout.Layout.PrintPage(TMollierPrint::KDataPage, true), EPictureError);
    Target.Finish();
    EXPECT_EQ(Pages(), -1);
    Layout.Folder.Write("QRLOGO.jpg", test::LogoBytes());
    Layout.Layout.PrintPage(TMollierPrint::KDataPage, true);
    Layout.Layout.PrintPage(TMollierPrint::KChartPage, true);
    EXPECT_EQ(Pages(), -1) << "nothing before Finish";
    Target.Finish();
    EXPECT_EQ(Pages(), 2);
}

} // namespace
} // namespace psykrona
