// The print dialog and the preview: which pages print as how many jobs, when
// the printer is asked for, what stays open, the preview's page size and
// drawing, and what becomes of failures in each.
#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "printing/FormPreview.h"
#include "printing/FormPrint.h"
#include "printing/MollierPrint.h"
#include "ui/UserDialogs.h"

#include "tests/dialogs/DialogTestSupport.h"
#include "tests/printing/PrintFixture.h"
#include "tests/support/ScriptedUserDialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

#include <functional>

namespace psykrona {
namespace {

using Strings = std::vector<std::string>;
using test::App;

// Runs Script once Dialog is showing modally; a script that leaves it open
// fails, and the dialog is closed so that the test goes on.
void WhenShown(QDialog& Dialog, std::function<void()> Script) {
    QTimer::singleShot(0, &Dialog, [&Dialog, Script] {
        if (!Dialog.isVisible()) {
            ADD_FAILURE() << Dialog.metaObject()->className() << " was not shown";
            return;
        }
        Script();
        if (Dialog.isVisible()) {
            ADD_FAILURE() << "the script left " << Dialog.metaObject()->className() << " open";
            Dialog.reject();
        }
    });
}

class PrintDialogTest : public test::TDialogTest {
protected:
    PrintDialogTest() {
        StartWith("en");
        Folder.Write("QRLOGO.jpg", test::LogoBytes());

        test::AddPrescribedPoint(Doc, 20, 0.008).Name = "Outdoor";
        Draw.Options = &Options;
        Draw.Document = &Doc;

        Print.frmPreview = &Preview;
        Print.FPrintLayout->FProgramDir = Folder.Dir();
        Print.FDraw = &Draw;
        Print.FDocument = &Doc;
        Preview.ScreenSize = [] { return QSize(1024, 768); };
    }
    ~PrintDialogTest() override {
        EXPECT_TRUE(Dialogs.AllUnexpected().empty()) << Dialogs.AllUnexpected().front();
    }

    void TypeProjectTexts() {
        Print.edtProject->setText(QStringLiteral("Hall 3"));
        Print.edtDate->setText(QStringLiteral("2026-12-06"));
        Print.edtSignature->setText(QStringLiteral("KL"));
        Print.edtCompany->setText(QString::fromUtf8("Fläkt & Co"));
    }
    const std::vector<test::TRecordingCanvas>& Jobs() const { return Dialogs.Printer.Jobs; }
    bool IsDataPage(std::size_t Job) const { return Dialogs.Printer.JobShows(Job, "Project data"); }
    bool IsChartPage(std::size_t Job) const {
        return Dialogs.Printer.JobShows(Job, "Mollier chart for moist air at 101.3 kPa");
    }

    test::TScriptedUserDialogs Dialogs;
    TMain Doc;
    TMollierOptions Options;
    TMollierDraw Draw;
    TfrmPreview Preview;
    TfrmPrint Print;
};

TEST_F(PrintDialogTest, OpensWithBothPagesTickedAndTheTextsOfTheLanguage) {
    Print.show();
    EXPECT_EQ(Print.windowTitle(), "Print");
    EXPECT_EQ(Print.stCompany->text(), "Company");
    EXPECT_EQ(Print.btnPreview->text(), "Pre&view");
    EXPECT_TRUE(Print.chkPrintData->isChecked());
    EXPECT_TRUE(Print.chkPrintChart->isChecked());
    EXPECT_TRUE(Print.edtProject->text().isEmpty());
    EXPECT_EQ(Print.edtDate->geometry(), QRect(104, 56, 193, 21));
    EXPECT_EQ(Print.btnCancel->geometry(), QRect(248, 256, 73, 25));
    Print.hide();
}

TEST_F(PrintDialogTest, PrintAsksForAPrinterThenPrintsEachTickedPageAsAJobOfItsOwn) {
    Print.show();
    TypeProjectTexts();

    Dialogs.PrinterChoices = {false};
    QTest::mouseClick(Print.btnPrint, Qt::LeftButton);
    EXPECT_TRUE(Print.isVisible()) << "cancelling the printer keeps the dialog";
    EXPECT_TRUE(Jobs().empty());

    Dialogs.PrinterChoices = {true};
    QTest::mouseClick(Print.btnPrint, Qt::LeftButton);
    EXPECT_FALSE(Print.isVisible());
    EXPECT_EQ(Print.result(), QDialog::Accepted);
    ASSERT_EQ(Jobs().size(), 2u);
    EXPECT_TRUE(IsDataPage(0) && !IsChartPage(0)) << "the data page comes first";
    EXPECT_TRUE(IsChartPage(1) && !IsDataPage(1));
    for (std::size_t Job : {0u, 1u}) {
        for (const char* Text : {"Hall 3", "2026-12-06", "KL", "Fläkt & Co"}) {
            EXPECT_TRUE(Dialogs.Printer.JobShows(Job, Text)) << Job << ": " << Text;
        }
    }
    EXPECT_EQ(Dialogs.Printer.Finished, 1);
    EXPECT_EQ(Dialogs.Log(), (Strings{"Printer: ", "Printer: "}));

    // One page, and then none: the printer is still asked for and the dialog
    // closes all the same. The typed texts stay.
    Print.show();
    EXPECT_EQ(Print.edtCompany->text(), QString::fromUtf8("Fläkt & Co"));
    Print.chkPrintData->setChecked(false);
    Dialogs.PrinterChoices = {true};
    QTest::mouseClick(Print.btnPrint, Qt::LeftButton);
    ASSERT_EQ(Jobs().size(), 3u);
    EXPECT_TRUE(IsChartPage(2));

    Print.show();
    Print.chkPrintChart->setChecked(false);
    Dialogs.PrinterChoices = {true};
    QTest::mouseClick(Print.btnPrint, Qt::LeftButton);
    EXPECT_FALSE(Print.isVisible());
    EXPECT_EQ(Print.result(), QDialog::Accepted);
    EXPECT_EQ(Jobs().size(), 3u);
    EXPECT_EQ(Dialogs.Printer.Begun, 3);

    Print.show();
    QTest::mouseClick(Print.btnCancel, Qt::LeftButton);
    EXPECT_EQ(Print.result(), QDialog::Rejected);
    EXPECT_TRUE(App().Errors.empty());
}

// Without its logo a page cannot be printed: the job is dropped, the failure
// reaches the program's error report and the dialog stays open. The page
// before it has printed.
TEST_F(PrintDialogTest, APageThatFailsDropsItsJobAndReportsTheFailure) {
    Print.show();
    Print.chkPrintData->setChecked(false);
    std::filesystem::remove(Folder.File("QRLOGO.jpg"));
    Dialogs.PrinterChoices = {true};
    QTest::mouseClick(Print.btnPrint, Qt::LeftButton);
    EXPECT_TRUE(Print.isVisible());
    EXPECT_TRUE(Jobs().empty());
    EXPECT_EQ(Dialogs.Printer.Aborted, 1);
    EXPECT_FALSE(Dialogs.Printer.Printing());
    ASSERT_EQ(App().Errors.size(), 1u);
    EXPECT_NE(App().Errors[0].find("QRLOGO.jpg"), std::string::npos) << App().Errors[0];
}

TEST_F(PrintDialogTest, ThePreviewPageIsSizedFromTheScreenAndShowsEitherPage) {
    Print.show();
    TypeProjectTexts();
    Print.chkPrintChart->setChecked(false); // the preview shows both pages anyway
    QImage DataPage;
    QImage ChartPage;
    WhenShown(Preview, [&] {
        EXPECT_EQ(Preview.windowTitle(), "Print preview");
        EXPECT_EQ(Preview.btnPage2->text(), "C&hart");
        EXPECT_TRUE(Preview.windowState() & Qt::WindowMaximized);
        EXPECT_EQ(Preview.ScrollBox1->geometry(), QRect(5, 40, 1012, 668));
        EXPECT_EQ(Preview.FPage.size(), QSize(990, 1467));
        EXPECT_EQ(Preview.Image1->size(), QSize(990, 1467));
        EXPECT_EQ(Preview.FCurrentPage, 1);
        DataPage = Preview.FPage;
        QTest::mouseClick(Preview.btnPage2, Qt::LeftButton);
        EXPECT_EQ(Preview.FCurrentPage, 2);
        ChartPage = Preview.FPage;
        QTest::mouseClick(Preview.btnClose, Qt::LeftButton);
    });
    QTest::mouseClick(Print.btnPreview, Qt::LeftButton);
    EXPECT_TRUE(Print.isVisible()) << "the print dialog stays open";
    EXPECT_EQ(Preview.result(), QDialog::Rejected);
    EXPECT_TRUE(Dialogs.Asked.empty()) << "closing the preview prints nothing";

    // A white sheet in a black frame, with the page's drawing on it.
    ASSERT_EQ(DataPage.size(), QSize(990, 1467));
    EXPECT_EQ(DataPage.pixelColor(0, 700), QColor(Qt::black));
    EXPECT_EQ(DataPage.pixelColor(989, 700), QColor(Qt::black));
    EXPECT_EQ(DataPage.pixelColor(500, 1466), QColor(Qt::black));
    EXPECT_EQ(DataPage.pixelColor(2, 700), QColor(Qt::white));
    EXPECT_NE(DataPage, ChartPage);
    // The chart fills the chart page's middle, the data page leaves it empty.
    auto Inked = [](const QImage& Page) {
        int Dark = 0;
        for (int Y = 500; Y < 900; Y += 2) {
            for (int X = 100; X < 900; X += 2) {
                Dark += qGray(Page.pixel(X, Y)) < 128;
            }
        }
        return Dark;
    };
    EXPECT_GT(Inked(ChartPage), 1000);
    EXPECT_LT(Inked(DataPage), Inked(ChartPage) / 4);
    EXPECT_EQ(Print.FPrintLayout->FProjectName, "Hall 3");
    EXPECT_EQ(Print.FPrintLayout->FCanvas, nullptr) << "the preview's canvas is not kept";
    EXPECT_EQ(Draw.Canvas(), nullptr);
}

// The preview keeps quiet about a page it cannot draw and shows the one it
// had; printing from it asks for a printer, prints the ticked pages and
// leaves the print dialog open for another go.
TEST_F(PrintDialogTest, ThePreviewSwallowsFailuresAndCanPrint) {
    Print.show();
    WhenShown(Preview, [&] {
        const QImage Before = Preview.FPage;
        std::filesystem::remove(Folder.File("QRLOGO.jpg"));
        QTest::mouseClick(Preview.btnPage2, Qt::LeftButton);
        EXPECT_EQ(Preview.FPage, Before);
        EXPECT_EQ(Preview.Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32), Before);
        Folder.Write("QRLOGO.jpg", Folder.Read("QRLOGO.jpg.keep"));
        QTest::mouseClick(Preview.btnPrint, Qt::LeftButton);
    });
    Folder.Write("QRLOGO.jpg.keep", Folder.Read("QRLOGO.jpg"));
    Dialogs.PrinterChoices = {true};
    QTest::mouseClick(Print.btnPreview, Qt::LeftButton);
    EXPECT_TRUE(App().Errors.empty()) << App().Errors.front();
    EXPECT_EQ(Preview.result(), QDialog::Accepted);
    EXPECT_TRUE(Print.isVisible());
    ASSERT_EQ(Jobs().size(), 2u);
    EXPECT_TRUE(IsDataPage(0));
    EXPECT_TRUE(IsChartPage(1));

    // Printing from the preview again, with the printer declined this time.
    WhenShown(Preview, [&] { QTest::mouseClick(Preview.btnPrint, Qt::LeftButton); });
    Dialogs.PrinterChoices = {false};
    QTest::mouseClick(Print.btnPreview, Qt::LeftButton);
    EXPECT_EQ(Jobs().size(), 2u);
    EXPECT_TRUE(Print.isVisible());

    Dialogs.PrinterChoices = {true};
    QTest::mouseClick(Print.btnPrint, Qt::LeftButton);
    EXPECT_EQ(Jobs().size(), 4u);
    EXPECT_FALSE(Print.isVisible());
    EXPECT_EQ(Dialogs.Log(), (Strings{"Printer: ", "Printer: ", "Printer: "}));
}

// With Qt's printer dialog set to print into a PDF file, the two pages land
// in that one file instead of the second replacing the first; a cancelled
// dialog writes nothing.
TEST_F(PrintDialogTest, PrintingIntoAFileGivesOneFileWithBothPages) {
    TQtUserDialogs QtDialogs;
    TUserDialogs* Scripted = TUserDialogs::SetCurrent(&QtDialogs);
    const std::string Pdf = Folder.File("pages.pdf");
    QtDialogs.PlatformPrinter().setOutputFormat(QPrinter::PdfFormat);
    QtDialogs.PlatformPrinter().setOutputFileName(QString::fromStdString(Pdf));
    QtDialogs.PlatformPrinter().setResolution(150);
    Print.show();
    auto AnswerPrinterDialog = [](bool Confirm) {
        QTimer::singleShot(50, [Confirm] {
            auto* Dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(Dialog, nullptr) << "no printer dialog";
            Confirm ? Dialog->accept() : Dialog->reject();
        });
    };
    AnswerPrinterDialog(false);
    Print.btnPrintClick();
    EXPECT_TRUE(Print.isVisible());
    EXPECT_FALSE(std::filesystem::exists(Pdf));

    AnswerPrinterDialog(true);
    Print.btnPrintClick();
    TUserDialogs::SetCurrent(Scripted);
    EXPECT_FALSE(Print.isVisible());
    const std::string Bytes = Folder.Read("pages.pdf");
    EXPECT_EQ(Bytes.rfind("%PDF-", 0), 0u);
    EXPECT_NE(Bytes.find("/Count 2"), std::string::npos);
}

} // namespace
} // namespace psykrona
