// The Qt printer on PDF files: pages reach the file only when complete, jobs
// collect into one document, and aborted jobs or failing pages leave no file.
#include "qt/QtPrinter.h"

#include "tests/printing/PrintFixture.h"

#include <QPrinter>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace psykrona {
namespace {

// A job of its own reaches the file at its end; jobs do not nest; an aborted
// job leaves no file. As pages of one document nothing comes before Finish,
// and a document with a failed page (the layout aborts its job) is none.
TEST(QtPrinter, PagesReachTheFileOnlyWhenCompleteAndAbortedOrFailedOnesNever) {
    test::TTempFolder Dir;
    QPrinter Printer(QPrinter::HighResolution);
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(QString::fromStdString(Dir.File("pages.pdf")));
    // The file's page objects ("/Type /Page", not "/Pages"); -1 without a file.
    auto Pages = [&] {
        const std::string Pdf = Dir.Read("pages.pdf");
        const std::regex Page("/Type\\s*/Page(?![a-zA-Z])");
        return std::filesystem::remove(Dir.File("pages.pdf"))
                   ? static_cast<int>(std::distance(std::sregex_iterator(Pdf.begin(), Pdf.end(), Page), {}))
                   : -1;
    };
    for (const bool AsPages : {false, true}) {
        TQtPrinter Target(Printer);
        Target.JobsAsPages = AsPages;
        Target.BeginDoc();
        Target.Canvas().LineTo(3000, 700);
        EXPECT_THROW(Target.BeginDoc(), EPrintError);
        EXPECT_EQ(Pages(), -1) << "the page is not complete yet";
        AsPages ? Target.Abort() : Target.EndDoc();
        EXPECT_THROW(Target.Canvas(), EPrintError) << "no job, no canvas";
        EXPECT_THROW(Target.EndDoc(), EPrintError);
        Target.Finish();
        EXPECT_EQ(Pages(), AsPages ? -1 : 1) << AsPages;
    }
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
