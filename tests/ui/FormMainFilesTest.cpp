// The file commands of the main window: the questions New, Open and closing
// ask and what each answer keeps; opens, saves, picture exports and prints to
// a file that fail.
#include "ui/FormMain.h"

#include "files/MollierFileHandling.h"
#include "printing/FormPrint.h"
#include "printing/MollierPrint.h"
#include "qt/QtPrinter.h"

#include "tests/ui/UiFixture.h"

#include <QImage>
#include <QPrinter>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace psykrona {
namespace {

using test::Strings;
namespace fs = std::filesystem;

class FormMainFilesTest : public test::TMainWindowTest {
protected:
    // A saved project of two points.
    std::string SavedProject(const std::string& Name) {
        TMain Doc;
        test::AddPoint(Doc, "P1", 10, 50);
        test::AddPoint(Doc, "P2", 21.25, 50);
        Work.Write(Name, TMollierFileHandling::ProjectToXml(Doc));
        return Work.File(Name);
    }
    void Modify() {
        AddPoint("Unsaved", "20", "50");
        Dialogs.Clear();
    }
    // "number:name" of every point; the list's rows must agree.
    Strings PointNames() const {
        Strings Names;
        for (const TMollierPoint& P : Form->Document->Points) {
            Names.push_back(std::to_string(P.Number) + ":" + P.Name);
        }
        EXPECT_EQ(Form->ListBox1->count(), static_cast<int>(Names.size()));
        EXPECT_TRUE(Names.empty() || Form->ListBox1->item(Form->ListBox1->count() - 1)->text().toStdString() ==
                                         std::to_string(Names.size()));
        return Names;
    }
};

// Every answer to the save and quit questions, with and without unsaved
// work: what was asked, what the window holds and whether it closed.
TEST_F(FormMainFilesTest, TheSaveQuestionsAndWhatEachAnswerKeeps) {
    const std::optional<std::string> None;
    const std::string Saved = Work.File("saved.pkx"), Plan = SavedProject("plan.pkx");
    const std::string Q = "YesNoCancel: Save the changes to the project?", X = "YesNoCancel: Quit without saving?";
    const Strings Unsaved{"1:Unsaved"}, Empty{}, Opened{"1:P1", "2:P2"};
    using A = TAnswer;
    QAction *const FileNew = Form->mnuFileNew, *const FileOpen = Form->mnuFileOpen, *const Quit = nullptr;
    const struct {
        QAction* Command; // none: closing the window
        bool Dirty;
        std::vector<TAnswer> Answers;
        std::vector<std::optional<std::string>> Files;
        Strings Log, After;
        bool Closed;
    } Rows[] = {
        {FileNew, true, {A::Cancel}, {}, {Q}, Unsaved, false},
        {FileNew, true, {A::No}, {}, {Q}, Empty, false},
        {FileNew, true, {A::Yes}, {None}, {Q, "Save: "}, Unsaved, false},
        {FileNew, true, {A::Yes}, {Saved}, {Q, "Save: "}, Empty, false},
        {FileNew, false, {}, {}, {}, Empty, false},
        {FileOpen, true, {A::Cancel}, {}, {Q}, Unsaved, false},
        {FileOpen, true, {A::No}, {None}, {Q, "Open: "}, Unsaved, false},
        {FileOpen, true, {A::No}, {Plan}, {Q, "Open: "}, Opened, false},
        {FileOpen, true, {A::Yes}, {None}, {Q, "Save: "}, Unsaved, false},
        {FileOpen, true, {A::Yes}, {Saved, Plan}, {Q, "Save: ", "Open: "}, Opened, false},
        {FileOpen, false, {}, {Plan}, {"Open: "}, Opened, false},
        {Quit, true, {A::Cancel}, {}, {X}, Unsaved, false},
        {Quit, true, {A::Yes}, {}, {X}, Unsaved, true},
        {Quit, true, {A::No}, {None}, {X, "Save: "}, Unsaved, false},
        {Quit, true, {A::No}, {Saved}, {X, "Save: "}, Unsaved, true},
        {Quit, false, {}, {}, {}, Empty, true},
    };
    for (const auto& R : Rows) {
        SCOPED_TRACE("row " + std::to_string(&R - Rows));
        Form->show();
        Form->Modified = false;
        Form->mnuFileNew->trigger();
        if (R.Dirty) {
            Modify();
        }
        Dialogs.Answers.assign(R.Answers.begin(), R.Answers.end());
        Dialogs.Files.assign(R.Files.begin(), R.Files.end());
        R.Command ? R.Command->trigger() : void(Form->close());
        EXPECT_EQ(Dialogs.Log(), R.Log);
        EXPECT_EQ(Form->isVisible(), !R.Closed);
        EXPECT_EQ(PointNames(), R.After);
        EXPECT_TRUE(R.Closed || Form->Modified == (R.After == Unsaved));
        const bool Saves = std::count(R.Files.begin(), R.Files.end(), Saved) != 0;
        EXPECT_EQ(fs::exists(Saved), Saves);
        if (Saves) {
            EXPECT_NE(Work.Read("saved.pkx").find("Unsaved"), std::string::npos);
            fs::remove(Saved);
        }
        Dialogs.Clear();
    }
}

// The scripted boxes with the platform's printer set to print into a PDF
// file, as the print dialog's "print to file" sets it.
class TPdfFileDialogs : public test::TScriptedUserDialogs {
public:
    explicit TPdfFileDialogs(const std::string& FileName) {
        Printer.setOutputFormat(QPrinter::PdfFormat);
        Printer.setOutputFileName(QString::fromStdString(FileName));
        Jobs.JobsAsPages = true;
        PrinterChoices = {true};
    }
    TPrinter& CurrentPrinter() override { return Jobs; }

private:
    QPrinter Printer{QPrinter::HighResolution};
    TQtPrinter Jobs{Printer};
};

// An open, save, picture export or print to a file that fails says why, with
// the file's name and the system's reason below a save's or open's first
// line, and no chart is drawn meanwhile. A refused file leaves the work as it
// was, a broken one a new project; a failed output keeps the work unsaved
// under its name. An existing file stays whole, and nothing is half-written:
// a project named as the output (also through a link) is refused, and a full
// disk (a file size limit) is reported.
TEST_F(FormMainFilesTest, AFailedOpenOrOutputSaysWhyAndKeepsTheWorkAndTheFile) {
    const std::string Plan = SavedProject("plan.pkx"), Upper = SavedProject("PLAN.PKX");
    Work.Write("broken.pkx", "<psykrona><project><point><temp>abc");
    for (const char* Link : {"chart.bmp", "plan.pdf"}) {
        fs::create_symlink(Plan, Work.File(Link));
    }
    Work.Write("other.PKR", "older project");
    Work.Write("old.jpg", "old picture");
    Work.Write("pages.pdf", "old pages");
    auto* PrintDialog = new TfrmPrint(Form.get());
    Form->Forms.frmPrint = PrintDialog;
    ProgramDir.Write("QRLOGO.jpg", test::SourceFile("data/QRLOGO.jpg"));
    PrintDialog->FPrintLayout->FProgramDir = ProgramDir.Dir();
    const std::string Broken = Work.File("broken.pkx"), Missing = Work.File("no-folder/plan.pkx");
    const std::string Listing = Work.Listing();
    Dialogs.WhileOpen = [this](const test::TScriptedUserDialogs::TAsked& A) {
        EXPECT_TRUE(A.What != "Message" || A.Text.find(" opened") == std::string::npos || !Form->DrawingEnabled) << A.Text;
    };
    QAction *const Open = Form->mnuFileOpen, *const Save = Form->mnuFileSave, *const SaveAs = Form->mnuFileSaveAs;
    QAction *const Export = Form->mnuFileSaveChartAsPicture, *const Print = Form->mnuFilePrint;
    // Prints from the dialog as the user does, with a click whose failure
    // reaches the program's report; the boxes shown go to Boxes.
    const auto PrintTo = [&](test::TScriptedUserDialogs& Boxes) {
        test::WhenShown<TfrmPrint>([](TfrmPrint& P) {
            QTest::mouseClick(P.btnPrint, Qt::LeftButton);
            if (P.isVisible()) { // a failing print leaves the dialog open
                P.reject();
            }
        });
        Print->trigger();
        EXPECT_TRUE(Boxes.AllUnexpected().empty()) << Boxes.AllUnexpected().front();
    };
    const std::string NoSuchFile = "\nNo such file or directory", TooLarge = std::strerror(EFBIG);
    const std::string Same = "is the same file as", Project = "is an existing project file";
    // Command (none: a file named on the command line), file, message lines,
    // whether the work stays. The outputs and a save onto plan.pkx start from it opened.
    const std::tuple<QAction*, std::string, std::string, bool> Rows[] = {
        {Open, Upper, "This file cannot be opened: only Psykrona project files (*.pkx, *.pkr) are supported.\n" + Upper, true},
        {Open, Broken, "The file could not be opened.\n" + Broken + "\n'" + Broken + "' ends before the document is complete (line 1)", false},
        {nullptr, Missing, "The file could not be opened.\n" + Missing + NoSuchFile, false},
        {Save, "/proc/plan.pkx", "\n/proc/plan.pkx" + NoSuchFile, true},
        {SaveAs, Missing, "Cannot write \"" + Missing + "\": " + NoSuchFile.substr(1), true},
        {Save, Plan, "\n" + Plan + "\n" + TooLarge, true},
        {SaveAs, Plan, "Cannot write \"" + Plan + "\": " + TooLarge, true},
        {Export, Plan, Same, true},
        {Export, Work.File("chart.bmp"), Same, true},
        {Export, Work.File("other.PKR"), Project, true},
        {Export, Work.File("old.jpg"), TooLarge, true},
        {Print, Work.File("plan.pdf"), Project, true},
        {Print, Work.File("pages.pdf"), TooLarge, true},
    };
    for (const auto& [Command, File, Shown, KeepsWork] : Rows) {
        SCOPED_TRACE(File);
        Form->Modified = false;
        Dialogs.Files = {Plan};
        (Command == Export || Command == Print || File == Plan ? Form->mnuFileOpen : Form->mnuFileNew)->trigger();
        Modify();
        const std::string Title = Form->windowTitle().toStdString(), Before = fs::exists(File) ? test::ReadFile(File) : "";
        const Strings Names = PointNames();
        Dialogs.Answers = {TAnswer::No}; // no save before an open
        Dialogs.Files = {File};
        std::optional<TPdfFileDialogs> PdfBoxes;
        test::TScriptedUserDialogs& Boxes = Command == Print ? PdfBoxes.emplace(File) : Dialogs;
        const auto Run = [&, Command = Command, File = File] {
            Command == Print ? PrintTo(Boxes) : Command ? Command->trigger() : Form->OpenProjectFile(File);
        };
        Shown.ends_with(TooLarge) ? test::OnAFullDisk(Run) : Run();
        ASSERT_FALSE(Boxes.Asked.empty());
        // Save As and the outputs let their failure through to the program's report.
        EXPECT_EQ(Boxes.Asked.back().Kind, Command == Save || Command == Open || !Command ? TMessageKind::Plain : TMessageKind::Failure);
        EXPECT_NE(Boxes.Asked.back().Text.find(Shown), std::string::npos) << Boxes.Asked.back().Text;
        EXPECT_EQ(PointNames(), KeepsWork ? Names : Strings{});
        EXPECT_EQ(Form->Modified, KeepsWork);
        EXPECT_EQ(Form->windowTitle().toStdString(), Title);
        EXPECT_TRUE(Form->DrawingEnabled);
        EXPECT_EQ(fs::exists(File) ? test::ReadFile(File) : "", Before) << "replaced";
        EXPECT_EQ(Work.Listing(), Listing) << "nothing half-written";
        Dialogs.Clear();
    }
    // Where nothing stands in the way, both outputs are written.
    Dialogs.Files = {Work.File("new.png")};
    Export->trigger();
    TPdfFileDialogs PdfBoxes(Work.File("pages.pdf"));
    PrintTo(PdfBoxes);
    EXPECT_TRUE(PdfBoxes.Asked.size() == 1 && Dialogs.Asked.size() == 1) << "only the file and printer choices";
    EXPECT_FALSE(QImage(QString::fromStdString(Work.File("new.png"))).isNull());
    EXPECT_EQ(Work.Read("pages.pdf").substr(0, 5), "%PDF-");
}

} // namespace
} // namespace psykrona
