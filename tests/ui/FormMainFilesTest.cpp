// The file commands of the main window through its menu and tool bar: the
// questions New, Open and closing ask, what each answer does to the project
// and to Modified, the window title and the file-name panel, the refused and
// failing opens, and saving after an older ".pkr" file.
#include "ui/FormMain.h"

#include "engine/Main.h"
#include "files/MollierFileHandling.h"
#include "printing/FormPrint.h"
#include "printing/MollierPrint.h"
#include "ui/PointBlocks.h"
#include "ui/UserDialogs.h"

#include "tests/ui/UiFixture.h"

#include <QAction>
#include <QImage>
#include <QToolBar>
#include <QToolButton>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <iterator>

#include <sys/resource.h>
#include <set>

namespace psykrona {
namespace {

using test::TMainWindowTest;
using Strings = std::vector<std::string>;

const std::string Title = "Psykrona 2.1b";

class FormMainFilesTest : public TMainWindowTest {
protected:
    // A saved project with two points, the second prescribed by 21.25 °C.
    std::string SavedProject(const std::string& Name) {
        TMain Doc;
        const std::pair<const char*, double> Points[] = {{"P1", 10.0}, {"P2", 21.25}};
        for (const auto& [PointName, T] : Points) {
            TMollierPoint& P = Doc.AddPoint();
            P.Number = Doc.PointCount();
            P.Name = PointName;
            P.Temp = T;
            P.RelHum = 50;
            P.Prescribed1 = PROP_TEMP;
            P.Prescribed2 = PROP_RELHUM;
        }
        Doc.CalculateAll();
        Doc.AirFlow = 1.5;
        const std::string FileName = Work.File(Name);
        Work.Write(Name, TMollierFileHandling::ProjectToXml(Doc));
        return FileName;
    }
    void Modify() {
        AddPoint("Unsaved", "20", "50");
        ASSERT_TRUE(Form->Modified);
        Dialogs.Clear();
    }
    std::string WindowTitle() const { return Form->windowTitle().toStdString(); }
    std::string FilePanel() const { return Form->StatusText(0).toStdString(); }
    void Open(const std::string& FileName) {
        Dialogs.Files.push_back(FileName);
        Form->mnuFileOpen->trigger();
    }
};

TEST_F(FormMainFilesTest, TitleAndFilePanelFollowNewOpenAndSaveAs) {
    EXPECT_EQ(WindowTitle(), Title);
    EXPECT_EQ(FilePanel(), "");
    const std::string Plan = SavedProject("plan.pkx");
    Open(Plan);
    EXPECT_EQ(WindowTitle(), Title + " - " + Plan);
    EXPECT_EQ(FilePanel(), " " + Plan);
    EXPECT_EQ(PointNames(), (Strings{"1:P1", "2:P2"}));
    EXPECT_EQ(ListRows(), (Strings{"1", "2"}));
    EXPECT_EQ(Form->SelectedRow(), 0);
    EXPECT_EQ(Form->PointBlocks->Block(2).Rows[TPointBlock::Temp].Value.toStdString(), "21.25");
    EXPECT_EQ(Form->edtFlowAirFlow->text().toStdString(), "1.5");
    EXPECT_FALSE(Form->Modified);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Request.Filter,
              "Psykrona file (*.pkx)|*.pkx|Psykrona 1.x file (*.pkr)|*.pkr|All  files (*.*)|*.*");
    EXPECT_EQ(Dialogs.Asked[0].Request.DefaultExt, "pkx");

    Dialogs.Clear();
    const std::string Copy = Work.File("copy.pkx");
    Dialogs.Files.push_back(Copy);
    Form->mnuFileSaveAs->trigger();
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Request.FileName, "plan.pkx");
    EXPECT_EQ(Dialogs.Asked[0].Request.InitialDir, Work.Path().string());
    EXPECT_EQ(Dialogs.Asked[0].Request.Filter, "Psykrona file (*.pkx)|*.pkx|All files (*.*)|*.*");
    EXPECT_EQ(Dialogs.Asked[0].Request.DefaultExt, "pkx");
    EXPECT_EQ(WindowTitle(), Title + " - " + Copy);
    EXPECT_EQ(FilePanel(), " " + Copy);
    EXPECT_TRUE(std::filesystem::exists(Copy));

    Form->mnuFileNew->trigger();
    EXPECT_EQ(WindowTitle(), Title);
    EXPECT_EQ(FilePanel(), "");
    EXPECT_TRUE(PointNames().empty());
    EXPECT_TRUE(ListRows().empty());
    EXPECT_EQ(Form->PointBlocks->BlockCount(), 0);
}

// New and Open ask the same question; closing asks its own. Each row: the
// command, the answers given, what was asked, and whether the unsaved point
// is still there and still unsaved afterwards.
TEST_F(FormMainFilesTest, TheSaveQuestionsAndWhatEachAnswerKeeps) {
    struct TCase {
        const char* Name;
        std::function<void(TfrmMain&)> Command;
        std::vector<TAnswer> Answers;
        std::vector<std::optional<std::string>> Files; // save dialog, then open dialog
        Strings Log;
        bool ProjectKept;
    };
    const std::string Save = "Save the changes to the project?";
    const std::string Quit = "Quit without saving?";
    auto New = [](TfrmMain& F) { F.mnuFileNew->trigger(); };
    auto OpenCmd = [](TfrmMain& F) { F.mnuFileOpen->trigger(); };
    auto Close = [](TfrmMain& F) { F.close(); };
    const std::string Written = Work.File("saved.pkx");
    const std::vector<TCase> Cases = {
        {"New, Cancel", New, {TAnswer::Cancel}, {}, {"YesNoCancel: " + Save}, true},
        {"New, No", New, {TAnswer::No}, {}, {"YesNoCancel: " + Save}, false},
        {"New, Yes, save dialog cancelled",
         New,
         {TAnswer::Yes},
         {std::nullopt},
         {"YesNoCancel: " + Save, "Save: "},
         true},
        {"New, Yes, saved", New, {TAnswer::Yes}, {Written}, {"YesNoCancel: " + Save, "Save: "}, false},
        {"Open, Cancel", OpenCmd, {TAnswer::Cancel}, {}, {"YesNoCancel: " + Save}, true},
        {"Open, Yes, save dialog cancelled",
         OpenCmd,
         {TAnswer::Yes},
         {std::nullopt},
         {"YesNoCancel: " + Save, "Save: "},
         true},
        {"Open, No, open dialog cancelled",
         OpenCmd,
         {TAnswer::No},
         {std::nullopt},
         {"YesNoCancel: " + Save, "Open: "},
         true},
        {"Close, Cancel", Close, {TAnswer::Cancel}, {}, {"YesNoCancel: " + Quit}, true},
        {"Close, No, save dialog cancelled",
         Close,
         {TAnswer::No},
         {std::nullopt},
         {"YesNoCancel: " + Quit, "Save: "},
         true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        Form->Modified = false;
        Form->mnuFileNew->trigger();
        Modify();
        Dialogs.Answers.assign(C.Answers.begin(), C.Answers.end());
        Dialogs.Files.assign(C.Files.begin(), C.Files.end());
        C.Command(*Form);
        EXPECT_EQ(Dialogs.Log(), C.Log);
        EXPECT_EQ(!PointNames().empty(), C.ProjectKept);
        EXPECT_EQ(Form->Modified, C.ProjectKept);
        EXPECT_TRUE(Form->isVisible());
        EXPECT_TRUE(Dialogs.Unexpected.empty());
    }
    EXPECT_TRUE(std::filesystem::exists(Written));
}

TEST_F(FormMainFilesTest, ClosingWithoutChangesAsksNothingAndYesClosesWithoutSaving) {
    EXPECT_TRUE(Form->close());
    EXPECT_TRUE(Dialogs.Asked.empty());
    Form->show();
    Modify();
    Dialogs.Answers = {TAnswer::Yes};
    EXPECT_TRUE(Form->close());
    EXPECT_EQ(Dialogs.Log(), (Strings{"YesNoCancel: Quit without saving?"}));
    EXPECT_TRUE(std::filesystem::is_empty(Work.Path()));
}

TEST_F(FormMainFilesTest, ModifiedAfterEachCommand) {
    const std::string Plan = SavedProject("plan.pkx");
    Open(Plan);
    EXPECT_FALSE(Form->Modified) << "open";
    Form->ListBox1->setCurrentRow(0);
    test::WhenEditorShown(*Editor, [](TfrmEditPoint& E) { E.btnOK->click(); });
    Form->btnEdit->click();
    EXPECT_TRUE(Form->Modified) << "edit";
    Form->mnuFileSave->trigger();
    EXPECT_FALSE(Form->Modified) << "save";
    Dialogs.Files.push_back(Work.File("other.pkx"));
    Form->mnuFileSaveAs->trigger();
    EXPECT_FALSE(Form->Modified) << "save as";
    AddPoint("X", "20", "50");
    EXPECT_TRUE(Form->Modified) << "add";
    Dialogs.Files.push_back(Work.File("third.pkx"));
    Form->mnuFileSaveAs->trigger();
    EXPECT_TRUE(Form->Modified) << "save as from the menu leaves Modified";
    qobject_cast<QToolButton*>(Form->ToolBar->widgetForAction(Form->tbSave))->click();
    EXPECT_FALSE(Form->Modified) << "save";
    Form->btnUpdateFlowData->click();
    EXPECT_TRUE(Form->Modified) << "flow-data update";
}

TEST_F(FormMainFilesTest, AFileNameWithAnotherExtensionIsRefusedAndTheProjectStays) {
    const std::string Upper = SavedProject("PLAN.PKX");
    Modify();
    Dialogs.Answers = {TAnswer::No};
    Open(Upper);
    EXPECT_EQ(Dialogs.Log(), (Strings{"YesNoCancel: Save the changes to the project?", "Open: ",
                                      "Message: This file cannot be opened: only Psykrona project files "
                                      "(*.pkx, *.pkr) are supported.\n" + Upper}));
    EXPECT_EQ(Dialogs.Asked.back().Kind, TMessageKind::Plain);
    EXPECT_EQ(PointNames(), (Strings{"1:Unsaved"}));
    EXPECT_TRUE(Form->Modified);
    EXPECT_EQ(WindowTitle(), Title);
    EXPECT_TRUE(Form->DrawingEnabled);
}

// While the failure is reported the chart area is the white framed field;
// afterwards the window holds a new, empty project.
TEST_F(FormMainFilesTest, AFailedOpenResetsToAnEmptyProjectAndDrawsNoChartMeanwhile) {
    Modify();
    Work.Write("broken.pkx", "<psykrona><project><point><temp>abc");
    QImage During;
    Dialogs.WhileOpen = [&](const test::TScriptedUserDialogs::TAsked& A) {
        if (A.What == "Message") {
            During = Form->PaintBox1->grab().toImage();
        }
    };
    Dialogs.Answers = {TAnswer::No};
    Open(Work.File("broken.pkx"));
    const std::string Broken = Work.File("broken.pkx");
    EXPECT_EQ(Dialogs.Log().back(), "Message: The file could not be opened.\n" + Broken + "\n'" + Broken +
                                        "' is not well-formed XML (line 1: Extra content at the end of the "
                                        "document)");
    EXPECT_TRUE(PointNames().empty());
    EXPECT_TRUE(ListRows().empty());
    EXPECT_FALSE(Form->Modified);
    EXPECT_EQ(WindowTitle(), Title);
    EXPECT_EQ(FilePanel(), "");
    EXPECT_TRUE(Form->DrawingEnabled);
    EXPECT_TRUE(Form->rbDensNormal->isChecked());

    ASSERT_FALSE(During.isNull());
    auto Colours = [](const QImage& Image) {
        std::set<QRgb> Seen;
        for (int Y = 0; Y < Image.height(); Y += 3) {
            for (int X = 0; X < Image.width(); X += 3) {
                Seen.insert(Image.pixel(X, Y) & 0xFFFFFF);
            }
        }
        return Seen;
    };
    const std::set<QRgb> DuringColours = Colours(During);
    EXPECT_EQ(DuringColours.count(0xFFFFFF), 1u);
    EXPECT_LE(DuringColours.size(), 3u) << "white, black and the frame's edge only";
    EXPECT_GT(Colours(Form->PaintBox1->grab().toImage()).size(), 3u) << "the chart is back afterwards";

    // A file named on the command line that is not there.
    Dialogs.Clear();
    const std::string Missing = Work.File("missing.pkx");
    Form->OpenProjectFile(Missing);
    EXPECT_EQ(Dialogs.Log(),
              (Strings{"Message: The file could not be opened.\n" + Missing + "\nNo such file or directory"}));
}

TEST_F(FormMainFilesTest, SaveAfterAnOlderFileRunsSaveAsProposingPkxAndLeavesTheOldFile) {
    const std::string Old = "2\r\n0\r\n20\r\n101.3\r\n1.2\r\n"
                            "1\r\nNada\r\n20\r\n0.0072585\r\n50\r\n38.518\r\n1\r\n3\r\n1\r\n1\r\n"
                            "2\r\nRoom\r\n22\r\n0.008\r\n48\r\n42.4\r\n1\r\n2\r\n1\r\n0\r\n";
    Work.Write("old.pkr", Old);
    Open(Work.File("old.pkr"));
    EXPECT_EQ(PointNames(), (Strings{"1:", "2:Room"}));
    EXPECT_EQ(WindowTitle(), Title + " - " + Work.File("old.pkr"));
    Dialogs.Clear();
    Dialogs.Files.push_back(Work.File("old.pkx"));
    Form->mnuFileSave->trigger();
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].What, "Save");
    EXPECT_EQ(Dialogs.Asked[0].Request.FileName, "old.pkx");
    EXPECT_EQ(Work.Read("old.pkr"), Old);
    EXPECT_EQ(Work.Read("old.pkx").rfind("<?xml", 0), 0u);
    EXPECT_EQ(WindowTitle(), Title + " - " + Work.File("old.pkx"));

    // From now on Save writes the new file without asking.
    Dialogs.Clear();
    Form->mnuFileSave->trigger();
    EXPECT_TRUE(Dialogs.Asked.empty());
}

TEST_F(FormMainFilesTest, AFailingSaveKeepsTheProjectAndSaysSo) {
    Modify();
    const std::string Unwritable = Work.File("missing-folder/plan.pkx");
    Dialogs.Answers = {TAnswer::Yes};
    Dialogs.Files.push_back(Unwritable);
    Form->mnuFileNew->trigger();
    EXPECT_EQ(Dialogs.Log(), (Strings{"YesNoCancel: Save the changes to the project?",
                                      "Save: ", "Message: The file could not be saved.\n" + Unwritable +
                                                    "\nNo such file or directory"}));
    EXPECT_EQ(PointNames(), (Strings{"1:Unsaved"}));
    EXPECT_TRUE(Form->Modified);
}

// Save As from the menu lets its failure through to the program's report,
// which shows the failure's own message.
TEST_F(FormMainFilesTest, SaveAsFromTheMenuReportsItsOwnFailure) {
    Modify();
    Dialogs.Files.push_back(Work.File("missing-folder/plan.pkx"));
    Form->mnuFileSaveAs->trigger();
    ASSERT_EQ(Dialogs.Asked.size(), 2u);
    EXPECT_EQ(Dialogs.Asked[1].Kind, TMessageKind::Failure);
    EXPECT_NE(Dialogs.Asked[1].Text.find("missing-folder"), std::string::npos) << Dialogs.Asked[1].Text;
    EXPECT_TRUE(Form->Modified);
}

} // namespace
} // namespace psykrona

namespace psykrona {
namespace {

// The picture export: the file dialog's types, and the name's ending picking
// the format of the 680 x 680 picture.
TEST_F(FormMainFilesTest, ChartPictureFollowsTheNamesEnding) {
    Open(SavedProject("plan.pkx"));
    Dialogs.Clear();
    Dialogs.Files.push_back(std::nullopt);
    Form->mnuFileSaveChartAsPicture->trigger();
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Request.Filter, "Bitmaps (*.bmp)|*.bmp|JPEG Image (*.jpg)|*.jpg|PNG Image "
                                               "(*.png)|*.png|SVG Drawing (*.svg)|*.svg");
    EXPECT_EQ(Dialogs.Asked[0].Request.DefaultExt, "bmp");
    // The formats themselves are the picture export's; here the command
    // hands the chosen name over as it is.
    Dialogs.Files.push_back(Work.File("CHART.JPG"));
    Form->mnuFileSaveChartAsPicture->trigger();
    EXPECT_EQ(Work.Read("CHART.JPG").substr(0, 2), "BM");
    EXPECT_EQ(QImage(QString::fromStdString(Work.File("CHART.JPG"))).size(), QSize(680, 680));
    EXPECT_FALSE(Form->Modified);
}

// The print dialog prints the open project, with the texts typed in it for
// the whole run: they belong to no project.
TEST_F(FormMainFilesTest, ThePrintDialogKeepsItsTextsWhenAnotherProjectIsOpened) {
    auto* Print = new TfrmPrint(Form.get());
    Form->Forms.frmPrint = Print;
    ProgramDir.Write("QRLOGO.jpg", test::SourceFile("data/QRLOGO.jpg"));
    Print->FPrintLayout->FProgramDir = ProgramDir.Dir();
    auto WhenPrintShown = [Print](std::function<void()> Script) {
        QTimer::singleShot(0, Print, [Print, Script] {
            ASSERT_TRUE(Print->isVisible());
            Script();
            if (Print->isVisible()) {
                ADD_FAILURE() << "the print dialog was left open";
                Print->reject();
            }
        });
    };
    WhenPrintShown([Print] {
        Print->edtProject->setText(QStringLiteral("Hall 3"));
        Print->btnCancel->click();
    });
    Form->mnuFilePrint->trigger();

    Open(SavedProject("plan.pkx"));
    Dialogs.Clear();
    Dialogs.PrinterChoices = {true};
    WhenPrintShown([Print] {
        EXPECT_EQ(Print->edtProject->text(), "Hall 3");
        Print->btnPrint->click();
    });
    Form->mnuFilePrint->trigger();
    EXPECT_EQ(Print->FDocument, Form->Document.get());
    ASSERT_EQ(Dialogs.Printer.Jobs.size(), 2u);
    for (std::size_t Job : {0u, 1u}) {
        EXPECT_TRUE(Dialogs.Printer.JobShows(Job, "Hall 3")) << Job;
    }
    EXPECT_TRUE(Dialogs.Printer.JobShows(0, "P2")) << "the data page lists the open project's points";
    EXPECT_FALSE(Form->Modified);
}

// Saving into a folder nobody may write (not even root: /proc) and onto a
// full disk (a file size limit of a few bytes) says "not saved", with the
// file and the system's reason; the work stays modified in the window and
// an old file stays whole.
TEST_F(FormMainFilesTest, ASaveThatCannotBeWrittenSaysSoAndKeepsTheWork) {
    const std::string NotSaved = "Message: The file could not be saved.";
    Modify();
    Dialogs.Files.push_back("/proc/plan.pkx");
    Form->mnuFileSave->trigger();
    EXPECT_EQ(Dialogs.Log(), (Strings{"Save: ", NotSaved + "\n/proc/plan.pkx\nNo such file or directory"}));
    EXPECT_TRUE(Form->Modified);
    EXPECT_EQ(WindowTitle(), Title);
    EXPECT_EQ(Form->FileHandling->FFileName, "") << "the project did not become that file's";

    const std::string Plan = SavedProject("plan.pkx");
    const std::string Before = Work.Read("plan.pkx");
    Dialogs.Answers.push_back(TAnswer::No); // leave the unsaved project unsaved
    Open(Plan);
    ASSERT_EQ(PointNames(), (Strings{"1:P1", "2:P2"}));
    Modify();
    test::OnAFullDisk([&] { Form->mnuFileSave->trigger(); });
    EXPECT_EQ(Dialogs.Log(), (Strings{NotSaved + "\n" + Plan + "\nFile too large"}));
    EXPECT_TRUE(Form->Modified);
    EXPECT_EQ(Work.Read("plan.pkx"), Before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Work.Path()), {}), 1)
        << "no half-written file is left beside it";
}

} // namespace
} // namespace psykrona
