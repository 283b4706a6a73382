// The file commands of the main window: the questions New, Open and closing
// ask and what each answer keeps, and opens and saves that fail.
#include "ui/FormMain.h"

#include "files/MollierFileHandling.h"

#include "tests/ui/UiFixture.h"

#include <algorithm>
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
    std::string Title() const { return Form->windowTitle().toStdString(); }
    void Open(const std::string& FileName) {
        Dialogs.Files.push_back(FileName);
        Form->mnuFileOpen->trigger();
    }
};

// Every answer to the save and quit questions, with and without unsaved
// work: what was asked, what the window holds and whether it closed.
TEST_F(FormMainFilesTest, TheSaveQuestionsAndWhatEachAnswerKeeps) {
    const std::optional<std::string> None;
    const std::string Saved = Work.File("saved.pkx");
    const std::string Plan = SavedProject("plan.pkx");
    const std::string Q = "YesNoCancel: Save the changes to the project?";
    const std::string X = "YesNoCancel: Quit without saving?";
    const Strings Unsaved{"1:Unsaved"}, Empty{}, Opened{"1:P1", "2:P2"};
    using A = TAnswer;
    QAction* const FileNew = Form->mnuFileNew;
    QAction* const FileOpen = Form->mnuFileOpen;
    QAction* const Quit = nullptr;
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

// A refused or unreadable file says why with the file's name, and no chart
// is drawn meanwhile; a refused one leaves the project as it was, a broken
// one leaves a new project.
TEST_F(FormMainFilesTest, AFailedOpenSaysWhyAndLeavesAUsableProject) {
    const std::string Untitled = Title();
    const std::string Upper = SavedProject("PLAN.PKX");
    Work.Write("broken.pkx", "<psykrona><project><point><temp>abc");
    const std::string Broken = Work.File("broken.pkx");
    Dialogs.WhileOpen = [this](const test::TScriptedUserDialogs::TAsked& A) {
        EXPECT_TRUE(A.What != "Message" || !Form->DrawingEnabled) << A.Text;
    };
    const std::pair<std::string, Strings> Cases[] = {
        {"This file cannot be opened: only Psykrona project files (*.pkx, *.pkr) are supported.\n" + Upper,
         {"1:Unsaved"}},
        {"The file could not be opened.\n" + Broken + "\n'" + Broken + "' ends before the document is complete (line 1)",
         {}}};
    for (const auto& [Message, After] : Cases) {
        Modify();
        Dialogs.Answers = {TAnswer::No};
        Open(After.empty() ? Broken : Upper);
        EXPECT_EQ(Dialogs.Log(), (Strings{"YesNoCancel: Save the changes to the project?", "Open: ",
                                          "Message: " + Message}));
        EXPECT_EQ(PointNames(), After);
        EXPECT_EQ(Form->Modified, !After.empty());
        EXPECT_EQ(Title(), Untitled);
        EXPECT_TRUE(Form->DrawingEnabled);
        Dialogs.Clear();
    }
    const std::string Missing = Work.File("missing.pkx");
    Form->OpenProjectFile(Missing); // as named on the command line
    EXPECT_EQ(Dialogs.Log(), (Strings{"Message: The file could not be opened.\n" + Missing +
                                      "\nNo such file or directory"}));
}

// A save that cannot be written says so with the file and the system's
// reason; the work stays unsaved under its name, an old file stays whole.
TEST_F(FormMainFilesTest, ASaveThatFailsKeepsTheWorkAndItsName) {
    const std::string Plan = SavedProject("plan.pkx");
    const std::string Before = Work.Read("plan.pkx");
    Modify();
    const struct {
        QAction* Command;
        std::string File, Reason;
        bool Named, FullDisk;
    } Cases[] = {{Form->mnuFileSave, "/proc/plan.pkx", "No such file or directory", false, false},
                 {Form->mnuFileSave, Work.File("no-folder/plan.pkx"), "No such file or directory", false, false},
                 {Form->mnuFileSaveAs, Work.File("no-folder/plan.pkx"), "No such file or directory", false, false},
                 {Form->mnuFileSave, Plan, "File too large", true, true},
                 {Form->mnuFileSaveAs, Plan, "File too large", true, true}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Command->text().toStdString() + " " + C.File);
        if (C.Named && Form->FileHandling->FFileName.empty()) {
            Dialogs.Answers = {TAnswer::No};
            Open(Plan);
            Modify();
        }
        const std::string Name = Title();
        if (C.Command == Form->mnuFileSaveAs || !C.Named) {
            Dialogs.Files.push_back(C.File);
        }
        Dialogs.Clear();
        C.FullDisk ? test::OnAFullDisk([&] { C.Command->trigger(); }) : C.Command->trigger();
        ASSERT_FALSE(Dialogs.Asked.empty());
        // Save As from the menu lets its failure through to the program's report.
        EXPECT_EQ(Dialogs.Asked.back().Kind,
                  C.Command == Form->mnuFileSaveAs ? TMessageKind::Failure : TMessageKind::Plain);
        for (const std::string& Part : {C.File, C.Reason}) {
            EXPECT_NE(Dialogs.Asked.back().Text.find(Part), std::string::npos) << Dialogs.Asked.back().Text;
        }
        EXPECT_TRUE(Form->Modified);
        EXPECT_EQ(Title(), Name);
        EXPECT_EQ(Work.Read("plan.pkx"), Before);
        EXPECT_EQ(std::distance(fs::directory_iterator(Work.Path()), {}), 1) << "nothing half-written";
    }
}

} // namespace
} // namespace psykrona
