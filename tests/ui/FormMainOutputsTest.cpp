// The window's picture export and print to a PDF file when the file must not
// or cannot be written: a project named as the output (also through a link)
// is refused, a full disk (a file size limit) is reported, and in each case
// the file that was there stays as it was.
#include "ui/FormMain.h"

#include "engine/Main.h"
#include "files/MollierFileHandling.h"
#include "printing/FormPrint.h"
#include "printing/MollierPrint.h"
#include "ui/QtPrinter.h"
#include "ui/UserDialogs.h"

#include "tests/ui/UiFixture.h"

#include <QAction>
#include <QImage>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

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

    // The one box the command showed: a failure's own message.
    std::string FailureShown(test::TScriptedUserDialogs& Boxes) {
        std::string Text;
        for (const auto& A : Boxes.Asked) {
            if (A.What == "Message") {
                EXPECT_EQ(A.Kind, TMessageKind::Failure);
                EXPECT_TRUE(Text.empty()) << "a second box: " << A.Text;
                Text = A.Text;
            }
        }
        Boxes.Clear();
        return Text;
    }

    std::string Project;
};

TEST_F(FormMainOutputsTest, PictureExportRefusesProjectsAndReportsAFullDisk) {
    fs::create_symlink(Work.File("plan.pkx"), Work.File("chart.bmp"));
    for (const std::string Name : {"plan.pkx", "chart.bmp"}) {
        Dialogs.Files.push_back(Work.File(Name));
        Form->mnuFileSaveChartAsPicture->trigger();
        EXPECT_NE(FailureShown(Dialogs).find("is the same file as"), std::string::npos) << Name;
        EXPECT_TRUE(Work.Read("plan.pkx") == Project) << Name << ": the project was replaced";
    }
    Work.Write("other.PKR", "older project");
    Dialogs.Files.push_back(Work.File("other.PKR"));
    Form->mnuFileSaveChartAsPicture->trigger();
    EXPECT_NE(FailureShown(Dialogs).find("is an existing project file"), std::string::npos);
    EXPECT_TRUE(Work.Read("other.PKR") == "older project") << "the project was replaced";

    Work.Write("old.jpg", "old picture");
    Dialogs.Files.push_back(Work.File("old.jpg"));
    test::OnAFullDisk([&] { Form->mnuFileSaveChartAsPicture->trigger(); });
    EXPECT_NE(FailureShown(Dialogs).find(std::strerror(EFBIG)), std::string::npos);
    EXPECT_TRUE(Work.Read("old.jpg") == "old picture") << "the old picture was replaced";

    Dialogs.Files.push_back(Work.File("new.png"));
    Form->mnuFileSaveChartAsPicture->trigger();
    EXPECT_EQ(FailureShown(Dialogs), "");
    EXPECT_FALSE(QImage(QString::fromStdString(Work.File("new.png"))).isNull());
    EXPECT_FALSE(Form->Modified);
}

TEST_F(FormMainOutputsTest, PrintToAFileRefusesProjectsAndReportsAFullDisk) {
    auto* Print = new TfrmPrint(Form.get());
    Form->Forms.frmPrint = Print;
    ProgramDir.Write("QRLOGO.jpg", test::SourceFile("data/QRLOGO.jpg"));
    Print->FPrintLayout->FProgramDir = ProgramDir.Dir();
    // Prints from the dialog as the user does, with a click whose failure
    // reaches the program's report; a failing print leaves the dialog open.
    auto PrintTo = [&](const std::string& Name) {
        TPdfFileDialogs Boxes(Work.File(Name));
        Boxes.PrinterChoices = {true};
        QTimer::singleShot(0, Print, [Print] {
            QTest::mouseClick(Print->btnPrint, Qt::LeftButton);
            if (Print->isVisible()) {
                Print->reject();
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
