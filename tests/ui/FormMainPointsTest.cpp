// The points panel of the main window driven through its buttons and the
// point editor: the sequences of Add, Insert, Delete and Edit with their
// questions, the list, the blocks and the six point buttons, and what the
// blocks show.
#include "ui/FormMain.h"

#include "engine/Main.h"
#include "ui/PointBlocks.h"

#include "tests/ui/UiFixture.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace psykrona {
namespace {

using test::TMainWindowTest;
using Strings = std::vector<std::string>;

class FormMainPointsTest : public TMainWindowTest {
protected:
    void ThreePoints() {
        AddPoint("A", "10", "40");
        AddPoint("B", "20", "50");
        AddPoint("C", "30", "60");
        Form->Modified = false;
        Dialogs.Clear();
    }
    bool PointButtonsEnabled(bool Expected) const {
        for (QPushButton* B : {Form->btnInsert, Form->btnDelete, Form->btnEdit}) {
            if (B->isEnabled() != Expected) {
                return false;
            }
        }
        for (QAction* A : {Form->tbInsert, Form->tbDelete, Form->tbEdit}) {
            if (A->isEnabled() != Expected) {
                return false;
            }
        }
        return true;
    }
    QToolButton* ToolButton(QAction* Action) const {
        return qobject_cast<QToolButton*>(Form->ToolBar->widgetForAction(Action));
    }
};

TEST_F(FormMainPointsTest, AddThenCancelLeavesEverythingAsBefore) {
    AddPoint("A", "10", "40");
    Form->Modified = false;
    test::WhenEditorShown(*Editor, [](TfrmEditPoint& E) {
        EXPECT_EQ(E.lblPointHeader->text().toStdString(), "Point 2");
        E.btnCancel->click();
    });
    Form->btnAdd->click();
    EXPECT_EQ(PointNames(), (Strings{"1:A"}));
    EXPECT_EQ(ListRows(), (Strings{"1"}));
    EXPECT_EQ(Form->PointBlocks->BlockCount(), 1);
    EXPECT_FALSE(Form->Modified);
    EXPECT_TRUE(Dialogs.Asked.empty()) << "a cancelled Add asks nothing";
}

TEST_F(FormMainPointsTest, AConfirmedAddSelectsTheNewRowEnablesThePointButtonsAndMarksModified) {
    EXPECT_TRUE(PointButtonsEnabled(false));
    EXPECT_FALSE(Form->Modified);
    test::WhenEditorShown(*Editor, [](TfrmEditPoint& E) {
        E.edtName->setText("Outdoor");
        test::Prescribe(E, E.chkTemp, "-15", E.chkRelHum, "90");
        E.btnOK->click();
    });
    ToolButton(Form->tbAdd)->click();
    EXPECT_EQ(PointNames(), (Strings{"1:Outdoor"}));
    EXPECT_EQ(ListRows(), (Strings{"1"}));
    EXPECT_EQ(Form->SelectedRow(), 0);
    EXPECT_TRUE(PointButtonsEnabled(true));
    EXPECT_TRUE(Form->Modified);
    EXPECT_EQ(Form->PointBlocks->Block(1).Header.toStdString(), "1. Outdoor");
}

TEST_F(FormMainPointsTest, InsertThenCancelAsksTheDeleteQuestionAndNoKeepsTheNewPoint) {
    ThreePoints();
    Form->ListBox1->setCurrentRow(1);
    test::WhenEditorShown(*Editor, [](TfrmEditPoint& E) {
        EXPECT_EQ(E.lblPointHeader->text().toStdString(), "Point 2");
        E.btnCancel->click();
    });
    Dialogs.Answers = {TAnswer::No};
    Form->btnInsert->click();
    EXPECT_EQ(Dialogs.Log(), (Strings{"YesNo: Delete point 2?"}));
    EXPECT_EQ(PointNames(), (Strings{"1:A", "2:", "3:B", "4:C"}));
    EXPECT_EQ(ListRows(), (Strings{"1", "2", "3", "4"}));
    EXPECT_EQ(Form->PointBlocks->BlockCount(), 4);
    EXPECT_EQ(Form->SelectedRow(), 1);
    EXPECT_EQ(Form->PointBlocks->Block(3).Header.toStdString(), "3. B");

    // Yes instead removes it again.
    Dialogs.Clear();
    test::WhenEditorShown(*Editor, [](TfrmEditPoint& E) { E.btnCancel->click(); });
    Dialogs.Answers = {TAnswer::Yes};
    ToolButton(Form->tbInsert)->click();
    EXPECT_EQ(Dialogs.Log(), (Strings{"YesNo: Delete point 2?"}));
    EXPECT_EQ(PointNames(), (Strings{"1:A", "2:", "3:B", "4:C"}));
    EXPECT_EQ(ListRows().size(), 4u);
}

TEST_F(FormMainPointsTest, AConfirmedInsertRenumbersTheLaterPoints) {
    ThreePoints();
    Form->ListBox1->setCurrentRow(0);
    test::WhenEditorShown(*Editor, [](TfrmEditPoint& E) {
        E.edtName->setText("New");
        test::Prescribe(E, E.chkTemp, "5", E.chkRelHum, "80");
        E.btnOK->click();
    });
    Form->btnInsert->click();
    EXPECT_EQ(PointNames(), (Strings{"1:New", "2:A", "3:B", "4:C"}));
    EXPECT_EQ(Form->PointBlocks->Block(1).Header.toStdString(), "1. New");
    EXPECT_EQ(Form->PointBlocks->Block(4).Header.toStdString(), "4. C");
    EXPECT_EQ(Form->SelectedRow(), 0);
}

TEST_F(FormMainPointsTest, DeletingTheLastOfThreeSelectsTheSecondAndTheOnlyPointEmptiesTheList) {
    ThreePoints();
    Form->ListBox1->setCurrentRow(2);
    Dialogs.Answers = {TAnswer::Yes};
    Form->btnDelete->click();
    EXPECT_EQ(Dialogs.Log(), (Strings{"YesNo: Delete point 3?"}));
    EXPECT_EQ(PointNames(), (Strings{"1:A", "2:B"}));
    EXPECT_EQ(ListRows(), (Strings{"1", "2"}));
    EXPECT_EQ(Form->SelectedRow(), 1);
    EXPECT_EQ(Form->PointBlocks->BlockCount(), 2);
    EXPECT_TRUE(PointButtonsEnabled(true));

    // Deleting the first point: the rest move up, the last row goes.
    Form->ListBox1->setCurrentRow(0);
    Dialogs.Answers = {TAnswer::Yes};
    ToolButton(Form->tbDelete)->click();
    EXPECT_EQ(PointNames(), (Strings{"1:B"}));
    EXPECT_EQ(ListRows(), (Strings{"1"}));
    EXPECT_EQ(Form->PointBlocks->Block(1).Header.toStdString(), "1. B");

    Dialogs.Answers = {TAnswer::Yes};
    Form->btnDelete->click();
    EXPECT_TRUE(PointNames().empty());
    EXPECT_TRUE(ListRows().empty());
    EXPECT_EQ(Form->SelectedRow(), -1);
    EXPECT_EQ(Form->PointBlocks->BlockCount(), 0);
    EXPECT_TRUE(PointButtonsEnabled(false));
}

TEST_F(FormMainPointsTest, AnsweringNoToTheDeleteQuestionKeepsThePoint) {
    ThreePoints();
    Form->ListBox1->setCurrentRow(1);
    Dialogs.Answers = {TAnswer::No};
    Form->btnDelete->click();
    EXPECT_EQ(PointNames(), (Strings{"1:A", "2:B", "3:C"}));
}

TEST_F(FormMainPointsTest, EditingThroughADoubleClickRewritesTheBlock) {
    ThreePoints();
    Form->ListBox1->setCurrentRow(1);
    test::WhenEditorShown(*Editor, [](TfrmEditPoint& E) {
        EXPECT_EQ(E.edtName->text().toStdString(), "B");
        E.edtName->setText("B2");
        E.btnOK->click();
    });
    emit Form->ListBox1->itemDoubleClicked(Form->ListBox1->item(1));
    EXPECT_EQ(PointNames(), (Strings{"1:A", "2:B2", "3:C"}));
    EXPECT_EQ(Form->PointBlocks->Block(2).Header.toStdString(), "2. B2");
}

// Closing after any of these asks the quit question exactly when Modified
// is set, so an edit of a saved project is never lost without a word.
TEST_F(FormMainPointsTest, EveryConfirmedChangeIsUnsavedAndACancelledOneChangesNothing) {
    ThreePoints();
    auto Editing = [this](bool Confirm) {
        test::WhenEditorShown(*Editor, [Confirm](TfrmEditPoint& E) {
            Confirm ? E.btnOK->click() : E.btnCancel->click();
        });
    };
    struct TCase {
        const char* Command;
        std::function<void()> Run;
        bool Modified;
    };
    const TCase Cases[] = {
        {"edit, cancelled", [&] { Editing(false); Form->btnEdit->click(); }, false},
        {"edit, confirmed", [&] { Editing(true); Form->btnEdit->click(); }, true},
        {"insert, cancelled, its point deleted again",
         [&] {
             Editing(false);
             Dialogs.Answers = {TAnswer::Yes};
             Form->btnInsert->click();
         },
         false},
        {"insert, cancelled, its point kept",
         [&] {
             Editing(false);
             Dialogs.Answers = {TAnswer::No};
             Form->btnInsert->click();
         },
         true},
        {"insert, confirmed",
         [&] {
             test::WhenEditorShown(*Editor, [](TfrmEditPoint& E) {
                 test::Prescribe(E, E.chkTemp, "5", E.chkRelHum, "80");
                 E.btnOK->click();
             });
             Form->btnInsert->click();
         },
         true},
        {"delete, answered No",
         [&] {
             Dialogs.Answers = {TAnswer::No};
             Form->btnDelete->click();
         },
         false},
        {"delete", [&] {
             Dialogs.Answers = {TAnswer::Yes};
             Form->btnDelete->click();
         },
         true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Command);
        Form->Modified = false;
        Form->ListBox1->setCurrentRow(1);
        C.Run();
        EXPECT_EQ(Form->Modified, C.Modified);
        Dialogs.Clear();
        Dialogs.Answers = {TAnswer::Cancel};
        EXPECT_EQ(Form->close(), !C.Modified);
        EXPECT_EQ(Dialogs.Log(), C.Modified ? Strings{"YesNoCancel: Quit without saving?"} : Strings{});
        Form->show();
        Dialogs.Clear();
    }
}

TEST_F(FormMainPointsTest, PrescribedRowsAreBoldInFullPrecisionAndTheOthersRounded) {
    AddPoint("Warm", "21.25", "47.125");
    const TPointBlock& B = Form->PointBlocks->Block(1);
    auto Row = [&](int R) {
        const TBlockRow& X = B.Rows[R];
        return X.Label.toStdString() + "|" + X.Value.toStdString() + "|" + X.Unit.toStdString() + "|" +
               (X.Bold ? "bold" : "plain");
    };
    const TMollierPoint& P = Form->Document->Points[0];
    EXPECT_EQ(Row(TPointBlock::Temp), "Temperature|21.25|°C|bold");
    EXPECT_EQ(Row(TPointBlock::RelHum), "Rel. humidity|47.125|%|bold");
    EXPECT_EQ(Row(TPointBlock::SpecHum),
              "Humidity ratio|" + FormatFixed(P.SpecHum * 1000, 2) + "|g/kg|plain");
    EXPECT_EQ(Row(TPointBlock::Enthalpy), "Enthalpy|" + FormatFixed(P.Enthalpy, 1) + "|kJ/kg|plain");
    EXPECT_EQ(Form->PointBlocks->Block(1).Header.toStdString(), "1. Warm");
}

TEST_F(FormMainPointsTest, ProcessRowsShowTheProcessAndHideWithoutALineToTheNextPoint) {
    Form->edtFlowAirFlow->setText("2");
    Form->btnUpdateFlowData->click();
    AddPoint("A", "10", "50");
    AddPoint("B", "25", "50");
    AddPoint("C", "25", "30");
    const TMain& D = *Form->Document;
    const TProcessRows& AB = Form->PointBlocks->Process(1);
    EXPECT_EQ(AB.Rows[TProcessRows::Power].Label.toStdString(), "Power");
    EXPECT_EQ(AB.Rows[TProcessRows::Power].Value.toStdString(),
              FormatFixed(D.Power(D.Points[0].Enthalpy, D.Points[1].Enthalpy), 1));
    EXPECT_EQ(AB.Rows[TProcessRows::Water].Unit.toStdString(), "l/min");
    EXPECT_NE(AB.Rows[TProcessRows::Power].Value.toStdString(), "0.0");
    EXPECT_TRUE(AB.Visible);

    Form->ListBox1->setCurrentRow(1);
    test::WhenEditorShown(*Editor, [](TfrmEditPoint& E) {
        E.chkLineToNext->click();
        E.btnOK->click();
    });
    Form->btnEdit->click();
    EXPECT_TRUE(Form->PointBlocks->Process(1).Visible);
    EXPECT_FALSE(Form->PointBlocks->Process(2).Visible);
}

} // namespace
} // namespace psykrona
