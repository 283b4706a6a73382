// The file commands of the main window: the questions New, Open and closing
// ask and what each answer keeps, the window title, saving after an older
// ".pkr" file, and opens and saves that fail.
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
// work: what was asked, which project the window holds afterwards, whether
// it is still unsaved, closed, and whether a file was written.
TEST_F(FormMainFilesTest, TheSaveQuestionsAndWhatEachAnswerKeeps) {
    const std::optional<std::string> None;
    const std::string Saved = Work.File("saved.pkx");
    const std::string Plan = SavedProject("plan.pkx");
    const std::string Q = "YesNoCancel: Save the changes to the project?";
    const std::string X = "YesNoCancel: Quit without saving?";
    const Strings Unsaved{"1:Unsaved"}, Empty{}, Opened{"1:P1", "2:P2"};
    using A = TAnswer;
    const struct {
        const char* Command;
        bool Dirty;
        std::vector<TAnswer> Answers;
        std::vector<std::optional<std::string>> Files;
        Strings Log, After;
        bool Closed;
    } Rows[] = {
        {"New", true, {A::Cancel}, {}, {Q}, Unsaved, false},
        {"New", true, {A::No}, {}, {Q}, Empty, false},
        {"New", true, {A::Yes}, {None}, {Q, "Save: "}, Unsaved, false},
        {"New", true, {A::Yes}, {Saved}, {Q, "Save: "}, Empty, false},
        {"New", false, {}, {}, {}, Empty, false},
        {"Open", true, {A::Cancel}, {}, {Q}, Unsaved, false},
        {"Open", true, {A::No}, {None}, {Q, "Open: "}, Unsaved, false},
        {"Open", true, {A::No}, {Plan}, {Q, "Open: "}, Opened, false},
        {"Open", true, {A::Yes}, {None}, {Q, "Save: "}, Unsaved, false},
        {"Open", true, {A::Yes}, {Saved, Plan}, {Q, "Save: ", "Open: "}, Opened, false},
        {"Open", false, {}, {Plan}, {"Open: "}, Opened, false},
        {"Close", true, {A::Cancel}, {}, {X}, Unsaved, false},
        {"Close", true, {A::Yes}, {}, {X}, Unsaved, true},
        {"Close", true, {A::No}, {None}, {X, "Save: "}, Unsaved, false},
        {"Close", true, {A::No}, {Saved}, {X, "Save: "}, Unsaved, true},
        {"Close", false, {}, {}, {}, Empty, true},
    };
    for (const auto& R : Rows) {
        SCOPED_TRACE(std::string(R.Command) + (R.Dirty ? ", unsaved work" : ", nothing unsaved") + ", " +
                     std::to_string(R.Answers.size()) + " answers, " + std::to_string(R.Files.size()) + " files");
        Form->show();
        Form->Modified = false;
        Form->mnuFileNew->trigger();
        if (R.Dirty) {
            Modify();
        }
        Dialogs.Answers.assign(R.Answers.begin(), R.Answers.end());
        Dialogs.Files.assign(R.Files.begin(), R.Files.end());
        std::string(R.Command) == "New"    ? Form->mnuFileNew->trigger()
        : std::string(R.Command) == "Open" ? Form->mnuFileOpen->trigger()
                                           : void(Form->close());
        EXPECT_EQ(Dialogs.Log(), R.Log);
        EXPECT_EQ(Form->isVisible(), !R.Closed);
        EXPECT_EQ(PointNames(), R.After);
        if (!R.Closed) {
            EXPECT_EQ(Form->Modified, R.After == Unsaved);
        }
        const bool Saves = std::count(R.Files.begin(), R.Files.end(), Saved) != 0;
        EXPECT_EQ(fs::exists(Saved), Saves);
        if (Saves) {
            EXPECT_NE(Work.Read("saved.pkx").find("Unsaved"), std::string::npos);
            fs::remove(Saved);
        }
        Dialogs.Clear();
    }
}

// Save after an older ".pkr" file asks for a new name ending ".pkx" beside
// it and leaves the old file; the title names the project's file.
TEST_F(FormMainFilesTest, SaveAfterAnOlderFileRunsSaveAsProposingPkxAndLeavesTheOldFile) {
    const std::string Untitled = Title();
    const std::string Old = "2\r\n0\r\n20\r\n101.3\r\n1.2\r\n"
                            "1\r\nNada\r\n20\r\n0.0072585\r\n50\r\n38.518\r\n1\r\n3\r\n1\r\n1\r\n"
                            "2\r\nRoom\r\n22\r\n0.008\r\n48\r\n42.4\r\n1\r\n2\r\n1\r\n0\r\n";
    Work.Write("old.pkr", Old);
    Open(Work.File("old.pkr"));
    EXPECT_EQ(PointNames(), (Strings{"1:", "2:Room"}));
    EXPECT_EQ(Title(), Untitled + " - " + Work.File("old.pkr"));
    Modify();
    Dialogs.Files.push_back(Work.File("old.pkx"));
    Form->mnuFileSave->trigger();
    ASSERT_EQ(Dialogs.Log(), (Strings{"Save: old.pkx"}));
    EXPECT_EQ(Dialogs.Asked[0].Request.InitialDir, Work.Path().string());
    EXPECT_EQ(Work.Read("old.pkr"), Old);
    EXPECT_EQ(Title(), Untitled + " - " + Work.File("old.pkx"));
    EXPECT_FALSE(Form->Modified);

    Dialogs.Clear();
    Modify();
    Form->mnuFileSave->trigger();
    EXPECT_TRUE(Dialogs.Asked.empty()) << "from now on Save writes the new file";
    EXPECT_NE(Work.Read("old.pkx").find("Unsaved"), std::string::npos);
    Form->mnuFileNew->trigger();
    EXPECT_EQ(Title(), Untitled);
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
// reason; the work stays unsaved under its old name, an old file stays
// whole and nothing half-written is left beside it.
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
