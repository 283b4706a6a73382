#include "printing/FormPreview.h"
#include "printing/FormPrint.h"
#include "printing/MollierPrint.h"

#include "tests/ui/UiFixture.h"

#include <QPrinter>

namespace psykrona {
namespace {

using PrintDialogTest = test::TMainWindowTest;

// Without its logo the chart page cannot be printed: its job is dropped, the
// failure reaches the program's report and the dialog stays open. With Qt's
// printer dialog set to print into a PDF file, the two pages land in that
// one file; a cancelled dialog writes nothing.
TEST_F(PrintDialogTest, AFailingPageDropsItsJobAndBothPagesGoIntoTheFileQtsDialogNames) {
    test::AddPoint(*Form->Document, "Outdoor", 20, 50);
    TfrmPreview Preview;
    TfrmPrint Print;
    Print.frmPreview = &Preview;
    Print.FPrintLayout->FProgramDir = ProgramDir.Dir();
    Print.FDraw = Form->Draw.get();
    Print.FDocument = Form->Document.get();
    Print.show();
    Print.chkPrintData->setChecked(false);
    Dialogs.PrinterChoices = {true};
    QTest::mouseClick(Print.btnPrint, Qt::LeftButton);
    EXPECT_TRUE(Print.isVisible());
    EXPECT_TRUE(Dialogs.Printer.Jobs.empty());
    EXPECT_EQ(Dialogs.Printer.Aborted, 1);
    ASSERT_EQ(Dialogs.Log().size(), 2u);
    EXPECT_NE(Dialogs.Log()[1].find("QRLOGO.jpg"), std::string::npos) << Dialogs.Log()[1];

    ProgramDir.Write("QRLOGO.jpg", test::SourceFile("data/QRLOGO.jpg"));
    Print.chkPrintData->setChecked(true);
    TQtUserDialogs QtDialogs;
    TUserDialogs* Scripted = TUserDialogs::SetCurrent(&QtDialogs);
    const std::string Pdf = Work.File("pages.pdf");
    QtDialogs.PlatformPrinter().setOutputFormat(QPrinter::PdfFormat);
    QtDialogs.PlatformPrinter().setOutputFileName(QString::fromStdString(Pdf));
    QtDialogs.PlatformPrinter().setResolution(150);
    for (bool Confirm : {false, true}) {
        test::WhenShown<QDialog>([Confirm](QDialog& D) { Confirm ? D.accept() : D.reject(); });
        Print.btnPrintClick();
        EXPECT_EQ(Print.isVisible(), !Confirm);
        EXPECT_EQ(std::filesystem::exists(Pdf), Confirm);
    }
    TUserDialogs::SetCurrent(Scripted);
    const std::string Bytes = Work.Read("pages.pdf");
    EXPECT_EQ(Bytes.rfind("%PDF-", 0), 0u);
    EXPECT_NE(Bytes.find("/Count 2"), std::string::npos);
}

} // namespace
} // namespace psykrona
