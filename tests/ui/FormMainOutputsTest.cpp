// The window's picture export and print to a PDF file when the file must not
// or cannot be written: a project named as the output (also through a link)
// is refused, a full disk (a file size limit) is reported, and in each case
// the file that was there stays as it was.
#include "files/MollierFileHandling.h"
#include "printing/FormPrint.h"
#include "printing/MollierPrint.h"
#include "qt/QtPrinter.h"

#include "tests/ui/UiFixture.h"

#include <QImage>
#include <QPrinter>
#include <QTest>

#include <cstring>

namespace psykrona {
namespace {

namespace fs = std::filesystem;

// The scripted boxes with the platform's printer set to print into a PDF
// file, as the print dialog's "print to file" sets it.
class TPdfFileDialogs : public test::TScriptedUserDialogs {
public:
    explicit TPdfFileDialogs(const std::string& FileName) {
        Printer.setOutputFormat(QPrinter::PdfFormat);
        Printer.setOutputFileName(QString::fromStdString(FileName));
        Jobs.JobsAsPages = true;
    }
    TPrinter& CurrentPrinter() override { return Jobs; }

private:
    QPrinter Printer{QPrinter::HighResolution};
    TQtPrinter Jobs{Printer};
};

class FormMainOutputsTest : public test::TMainWindowTest {
protected:
    FormMainOutputsTest() {
        TMain Doc;
        test::AddPoint(Doc, "Room", 20, 50);
        Project = TMollierFileHandling::ProjectToXml(Doc);
        Work.Write("plan.pkx", Project);
        Dialogs.Files.push_back(Work.File("plan.pkx"));
        Form->mnuFileOpen->trigger();
        Dialogs.Clear();
    }

    // The one box the command showed, if any: a failure's own message.
    std::string FailureShown(test::TScriptedUserDialogs& Boxes) {
        std::string Text;
        for (const auto& A : Boxes.Asked) {
            EXPECT_TRUE(A.What != "Message" || (Text.empty() && A.Kind == TMessageKind::Failure)) << A.Text;
            Text = A.What == "Message" ? A.Text : Text;
        }
        Boxes.Clear();
        return Text;
    }

    std::string Project;
};

TEST_F(FormMainOutputsTest, PictureExportRefusesProjectsAndReportsAFullDisk) {
    fs::create_symlink(Work.File("plan.pkx"), Work.File("chart.bmp"));
    Work.Write("other.PKR", "older project");
    Work.Write("old.jpg", "old picture");
    const std::tuple<const char*, std::string, bool> Cases[] = {{"plan.pkx", "is the same file as", false},
                                                                {"chart.bmp", "is the same file as", false},
                                                                {"other.PKR", "is an existing project file", false},
                                                                {"old.jpg", std::strerror(EFBIG), true},
                                                                {"new.png", "", false}};
    for (const auto& [Name, Reason, FullDisk] : Cases) {
        const std::string Before = Work.Read(Name);
        Dialogs.Files.push_back(Work.File(Name));
        const auto Export = [this] { Form->mnuFileSaveChartAsPicture->trigger(); };
        FullDisk ? test::OnAFullDisk(Export) : Export();
        const std::string Shown = FailureShown(Dialogs);
        EXPECT_TRUE(Reason.empty() ? Shown.empty() : Shown.find(Reason) != std::string::npos) << Name << ": " << Shown;
        EXPECT_TRUE(Reason.empty() || Work.Read(Name) == Before) << Name << " was replaced";
    }
    EXPECT_FALSE(QImage(QString::fromStdString(Work.File("new.png"))).isNull());
    EXPECT_FALSE(Form->Modified);
}

TEST_F(FormMainOutputsTest, PrintToAFileRefusesProjectsAndReportsAFullDisk) {
    auto* Print = new TfrmPrint(Form.get());
    Form->Forms.frmPrint = Print;
    ProgramDir.Write("QRLOGO.jpg", test::SourceFile("data/QRLOGO.jpg"));
    Print->FPrintLayout->FProgramDir = ProgramDir.Dir();
    // Prints from the dialog as the user does, with a click whose failure
    // reaches the program's report.
    auto PrintTo = [&](const std::string& Name) {
        TPdfFileDialogs Boxes(Work.File(Name));
        Boxes.PrinterChoices = {true};
        test::WhenShown<TfrmPrint>([](TfrmPrint& P) {
            QTest::mouseClick(P.btnPrint, Qt::LeftButton);
            if (P.isVisible()) { // a failing print leaves the dialog open
                P.reject();
            }
        });
        Form->mnuFilePrint->trigger();
        EXPECT_TRUE(Boxes.AllUnexpected().empty()) << Boxes.AllUnexpected().front();
        return FailureShown(Boxes);
    };

    fs::create_symlink(Work.File("plan.pkx"), Work.File("plan.pdf"));
    EXPECT_NE(PrintTo("plan.pdf").find("is an existing project file"), std::string::npos);
    EXPECT_TRUE(Work.Read("plan.pkx") == Project) << "the project was replaced";

    Work.Write("pages.pdf", "old pages");
    std::string Shown;
    test::OnAFullDisk([&] { Shown = PrintTo("pages.pdf"); });
    EXPECT_NE(Shown.find(std::strerror(EFBIG)), std::string::npos) << Shown;
    EXPECT_TRUE(Work.Read("pages.pdf") == "old pages") << "the old file was replaced";

    EXPECT_EQ(PrintTo("pages.pdf"), "");
    EXPECT_EQ(Work.Read("pages.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(std::distance(fs::directory_iterator(Work.Path()), {}), 3) << "no file left behind";
}

} // namespace
} // namespace psykrona
