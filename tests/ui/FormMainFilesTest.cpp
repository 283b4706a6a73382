// The file commands of the main window: the questions New, Open and closing
// ask and what each answer keeps; opens, saves and picture exports that fail.
#include "files/MollierFileHandling.h"

#include "tests/ui/UiFixture.h"

#include <QImage>

#include <cstring>

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

// An open, save or picture export that fails says why with the file's name and the system's
// reason (no chart drawn meanwhile while opening). The work stays (a broken project leaves a new
// one), unsaved under its name; an existing file stays whole and nothing is half-written.
TEST_F(FormMainFilesTest, AFailedOpenOrOutputSaysWhyAndKeepsTheWorkAndTheFile) {
    const std::string Plan = SavedProject("plan.pkx"), Upper = SavedProject("PLAN.PKX");
    Work.Write("broken.pkx", "<psykrona><project><point><temp>abc");
    fs::create_symlink(Plan, Work.File("chart.bmp"));
    Work.Write("other.PKR", "older project");
    Work.Write("old.jpg", "old picture");
    const std::string Broken = Work.File("broken.pkx"), Missing = Work.File("no-folder/plan.pkx");
    const std::string Listing = Work.Listing();
    Dialogs.WhileOpen = [this](const test::TScriptedUserDialogs::TAsked& A) {
        EXPECT_TRUE(A.What != "Message" || A.Text.find(" opened") == std::string::npos || !Form->DrawingEnabled) << A.Text;
    };
    QAction *const Open = Form->mnuFileOpen, *const Save = Form->mnuFileSave, *const SaveAs = Form->mnuFileSaveAs;
    QAction* const Export = Form->mnuFileSaveChartAsPicture;
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
    };
    for (const auto& [Command, File, Shown, KeepsWork] : Rows) {
        SCOPED_TRACE(File);
        Form->Modified = false;
        Dialogs.Files = {Plan};
        (Command == Export || File == Plan ? Form->mnuFileOpen : Form->mnuFileNew)->trigger();
        Modify();
        const std::string Title = Form->windowTitle().toStdString(), Before = fs::exists(File) ? test::ReadFile(File) : "";
        const Strings Names = PointNames();
        Dialogs.Answers = {TAnswer::No}; // no save before an open
        Dialogs.Files = {File};
        const auto Run = [&, Command = Command, File = File] { Command ? Command->trigger() : Form->OpenProjectFile(File); };
        Shown.ends_with(TooLarge) ? test::OnAFullDisk(Run) : Run();
        ASSERT_FALSE(Dialogs.Asked.empty());
        // Save As and the outputs let their failure through to the program's report.
        EXPECT_EQ(Dialogs.Asked.back().Kind, Command == Save || Command == Open || !Command ? TMessageKind::Plain : TMessageKind::Failure);
        EXPECT_NE(Dialogs.Asked.back().Text.find(Shown), std::string::npos) << Dialogs.Asked.back().Text;
        EXPECT_EQ(PointNames(), KeepsWork ? Names : Strings{});
        EXPECT_EQ(Form->Modified, KeepsWork);
        EXPECT_EQ(Form->windowTitle().toStdString(), Title);
        EXPECT_TRUE(Form->DrawingEnabled);
        EXPECT_EQ(fs::exists(File) ? test::ReadFile(File) : "", Before) << "replaced";
        EXPECT_EQ(Work.Listing(), Listing) << "nothing half-written";
        Dialogs.Clear();
    }
    // Where nothing stands in the way, the picture is written.
    Dialogs.Files = {Work.File("new.png")};
    Export->trigger();
    EXPECT_EQ(Dialogs.Asked.size(), 1u) << "only the file's choice";
    EXPECT_FALSE(QImage(QString::fromStdString(Work.File("new.png"))).isNull());
}

} // namespace
} // namespace psykrona
