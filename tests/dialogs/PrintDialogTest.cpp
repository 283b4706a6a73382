// The print dialog and the preview: which pages print as how many jobs, when
// the printer is asked for, what stays open, and what becomes of failures.
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
    void Click(QPushButton* Button) { QTest::mouseClick(Button, Qt::LeftButton); }

    TMain Doc;
    TMollierOptions Options;
    TMollierDraw Draw;
    TfrmPreview Preview;
    TfrmPrint Print;
};

// Each ticked page is a job of its own, data first; the printer is asked
// for even with nothing ticked, and declining it keeps the dialog open.
TEST_F(PrintDialogTest, PrintAsksForAPrinterThenPrintsEachTickedPageAsAJobOfItsOwn) {
    const struct {
        bool Data, Chart, Confirm;
        Strings Jobs;
    } Rows[] = {{true, true, false, {}},
                {true, true, true, {"data", "chart"}},
                {false, true, true, {"chart"}},
                {true, false, true, {"data"}},
                {false, false, true, {}}};
    for (const auto& R : Rows) {
        SCOPED_TRACE(std::to_string(R.Data) + std::to_string(R.Chart) + std::to_string(R.Confirm));
        Dialogs.Printer.Jobs.clear();
        Print.show();
        Print.chkPrintData->setChecked(R.Data);
        Print.chkPrintChart->setChecked(R.Chart);
        Dialogs.PrinterChoices = {R.Confirm};
        Click(Print.btnPrint);
        EXPECT_EQ(Dialogs.Log(), (Strings{"Printer: "}));
        EXPECT_EQ(Print.isVisible(), !R.Confirm);
        EXPECT_EQ(Jobs(), R.Jobs);
        EXPECT_EQ(Print.edtCompany->text(), QString::fromUtf8("Fläkt & Co")) << "the typed texts stay";
        Dialogs.Clear();
    }
}

// Without its logo a page cannot be printed: the job is dropped, the failure
// reaches the program's report and the dialog stays open. The preview keeps
// quiet about it and shows the page it had.
TEST_F(PrintDialogTest, APageThatFailsDropsItsJobAndTheOpenPreviewKeepsItsPage) {
    std::filesystem::rename(ProgramDir.File("QRLOGO.jpg"), ProgramDir.File("logo.keep"));
    Print.chkPrintData->setChecked(false);
    Dialogs.PrinterChoices = {true};
    Click(Print.btnPrint);
    EXPECT_TRUE(Print.isVisible());
    EXPECT_TRUE(Jobs().empty());
    EXPECT_EQ(Dialogs.Printer.Aborted, 1);
    ASSERT_EQ(Dialogs.Asked.size(), 2u);
    EXPECT_EQ(Dialogs.Asked[1].Kind, TMessageKind::Failure);
    EXPECT_NE(Dialogs.Asked[1].Text.find("QRLOGO.jpg"), std::string::npos) << Dialogs.Asked[1].Text;
    Dialogs.Clear();

    std::filesystem::rename(ProgramDir.File("logo.keep"), ProgramDir.File("QRLOGO.jpg"));
    test::WhenShown<TfrmPreview>([&](TfrmPreview&) {
        const QImage Before = Preview.FPage;
        std::filesystem::rename(ProgramDir.File("QRLOGO.jpg"), ProgramDir.File("logo.keep"));
        Click(Preview.btnPage2);
        EXPECT_EQ(Preview.FPage, Before);
        std::filesystem::rename(ProgramDir.File("logo.keep"), ProgramDir.File("QRLOGO.jpg"));
        Click(Preview.btnClose);
    });
    Click(Print.btnPreview);
    EXPECT_TRUE(Dialogs.Asked.empty());
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
