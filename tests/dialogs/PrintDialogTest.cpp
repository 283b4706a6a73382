// The print dialog: which pages print as how many jobs, when the printer is
// asked for, what stays open, and what becomes of failures.
#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "printing/FormPreview.h"
#include "printing/FormPrint.h"
#include "printing/MollierPrint.h"

#include "tests/ui/UiFixture.h"

#include <QPrinter>
#include <QTest>

#include <filesystem>

namespace psykrona {
namespace {

using test::Strings;

class PrintDialogTest : public test::TWindowTest {
protected:
    PrintDialogTest() {
        StartWith("en");
        ProgramDir.Write("QRLOGO.jpg", test::SourceFile("data/QRLOGO.jpg"));
        test::AddPoint(Doc, "Outdoor", 20, 50);
        Draw.Options = &Options;
        Draw.Document = &Doc;
        Print.frmPreview = &Preview;
        Print.FPrintLayout->FProgramDir = ProgramDir.Dir();
        Print.FDraw = &Draw;
        Print.FDocument = &Doc;
        Print.show();
        Print.edtProject->setText(QStringLiteral("Hall 3"));
        Print.edtCompany->setText(QString::fromUtf8("Fläkt & Co"));
    }
    // The page of each job: "data" or "chart".
    Strings Jobs() const {
        Strings Kinds;
        for (std::size_t J = 0; J < Dialogs.Printer.Jobs.size(); ++J) {
            Kinds.push_back(Dialogs.Printer.JobShows(J, "Project data") ? "data" : "chart");
            EXPECT_TRUE(Dialogs.Printer.JobShows(J, "Hall 3") && Dialogs.Printer.JobShows(J, "Fläkt & Co")) << J;
        }
        return Kinds;
    }

    TMain Doc;
    TMollierOptions Options;
    TMollierDraw Draw;
    TfrmPreview Preview;
    TfrmPrint Print;
};

// Each ticked page is a job of its own, data first; the printer is asked
// for even with nothing ticked, and declining it keeps the dialog open.
// Without its logo a page cannot be printed: its job is dropped and the
// failure reaches the program's report with the dialog left open.
TEST_F(PrintDialogTest, EachTickedPageIsAJobOfItsOwnAndAFailingOneIsDropped) {
    const struct {
        bool Data, Chart, Confirm;
        Strings Jobs;
        bool NoLogo = false;
    } Rows[] = {{true, true, false, {}},      {true, true, true, {"data", "chart"}}, {false, true, true, {"chart"}},
                {true, false, true, {"data"}}, {false, false, true, {}},            {false, true, true, {}, true}};
    for (const auto& R : Rows) {
        SCOPED_TRACE(std::to_string(R.Data) + std::to_string(R.Chart) + std::to_string(R.Confirm) + std::to_string(R.NoLogo));
        Dialogs.Printer.Jobs.clear();
        if (R.NoLogo) {
            std::filesystem::remove(ProgramDir.File("QRLOGO.jpg"));
        }
        Print.show();
        Print.chkPrintData->setChecked(R.Data);
        Print.chkPrintChart->setChecked(R.Chart);
        Dialogs.PrinterChoices = {R.Confirm};
        QTest::mouseClick(Print.btnPrint, Qt::LeftButton);
        ASSERT_EQ(Dialogs.Log().size(), R.NoLogo ? 2u : 1u);
        EXPECT_TRUE(!R.NoLogo || Dialogs.Log()[1].find("QRLOGO.jpg") != std::string::npos) << Dialogs.Log()[1];
        EXPECT_EQ(Print.isVisible(), !R.Confirm || R.NoLogo);
        EXPECT_EQ(Jobs(), R.Jobs);
        EXPECT_EQ(Print.edtCompany->text(), QString::fromUtf8("Fläkt & Co")) << "the typed texts stay";
        Dialogs.Clear();
    }
}

// With Qt's printer dialog set to print into a PDF file, the two pages land
// in that one file; a cancelled dialog writes nothing.
TEST_F(PrintDialogTest, PrintingIntoAFileGivesOneFileWithBothPages) {
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
