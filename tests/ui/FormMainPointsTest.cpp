// The points panel driven through its buttons and the point editor: Add,
// Insert, Delete and Edit with their questions, what the list and blocks
// show after each, and which of them leave an unsaved change.
#include "ui/FormMain.h"

#include "engine/Main.h"
#include "ui/PointBlocks.h"

#include <QAction>

#include "tests/ui/UiFixture.h"

namespace psykrona {
namespace {

using test::Strings;

class FormMainPointsTest : public test::TMainWindowTest {
protected:
    FormMainPointsTest() {
        AddPoint("A", "10", "40");
        AddPoint("B", "20", "50");
        AddPoint("C", "30", "60");
        Form->Modified = false;
        Dialogs.Clear();
    }
    std::string Header(int K) const { return Form->PointBlocks->Block(K).Header.toStdString(); }
    void Editing(bool Confirm) {
        test::WhenShown<TfrmEditPoint>([Confirm](TfrmEditPoint& E) {
            if (Confirm && !E.chkTemp->isChecked()) {
                test::Prescribe(E, E.chkTemp, "5", E.chkRelHum, "80");
            }
            (Confirm ? E.btnOK : E.btnCancel)->click();
        });
    }
};

// Insert goes before the selection and renumbers, Delete closes the gap and
// selects the row now in its place (or the one before), and the buttons of
// the point commands are enabled exactly while there is a point.
TEST_F(FormMainPointsTest, InsertAndDeleteRenumberAndKeepListBlocksAndButtonsInStep) {
    Form->ListBox1->setCurrentRow(1);
    Editing(false);
    Dialogs.Answers = {TAnswer::No};
    Form->btnInsert->click();
    EXPECT_EQ(Dialogs.Log(), (Strings{"YesNo: Delete point 2?"}));
    EXPECT_EQ(PointNames(), (Strings{"1:A", "2:", "3:B", "4:C"})) << "No keeps the new point";
    Editing(true);
    Form->ListBox1->setCurrentRow(0);
    Form->btnInsert->click();
    EXPECT_EQ(PointNames(), (Strings{"1:", "2:A", "3:", "4:B", "5:C"}));
    EXPECT_EQ(Form->SelectedRow(), 0);
    EXPECT_TRUE(Form->PointBlocks->Block(1).Rows[TPointBlock::Temp].Bold) << "a prescribed value";
    EXPECT_FALSE(Form->PointBlocks->Block(1).Rows[TPointBlock::SpecHum].Bold);
    EXPECT_EQ(Header(5), "5. C");

    const std::pair<int, Strings> Deletions[] = {{4, {"1:", "2:A", "3:", "4:B"}},
                                                 {0, {"1:A", "2:", "3:B"}},
                                                 {1, {"1:A", "2:B"}},
                                                 {1, {"1:A"}},
                                                 {0, {}}};
    for (const auto& [Row, Left] : Deletions) {
        Form->ListBox1->setCurrentRow(Row);
        Dialogs.Answers = {TAnswer::Yes};
        Form->btnDelete->click();
        EXPECT_EQ(PointNames(), Left);
        EXPECT_EQ(Form->PointBlocks->BlockCount(), static_cast<int>(Left.size()));
        EXPECT_EQ(Form->SelectedRow(), std::min<int>(Row, static_cast<int>(Left.size()) - 1));
        for (QAction* A : {Form->tbInsert, Form->tbDelete, Form->tbEdit}) {
            EXPECT_EQ(A->isEnabled(), !Left.empty());
        }
        for (QPushButton* B : {Form->btnInsert, Form->btnDelete, Form->btnEdit}) {
            EXPECT_EQ(B->isEnabled(), !Left.empty());
        }
    }
    EXPECT_EQ(Form->PointBlocks->BlockCount(), 0);
}

// Closing after any of these asks the quit question exactly when Modified
// is set, so an edit of a saved project is never lost without a word.
TEST_F(FormMainPointsTest, EveryConfirmedChangeIsUnsavedAndACancelledOneChangesNothing) {
    const struct {
        const char* Command;
        std::function<void()> Run;
        bool Modified;
    } Cases[] = {
        {"edit, cancelled", [&] { Editing(false), Form->btnEdit->click(); }, false},
        {"edit, confirmed", [&] { Editing(true), Form->btnEdit->click(); }, true},
        {"edit by double click",
         [&] { Editing(true), emit Form->ListBox1->itemDoubleClicked(Form->ListBox1->item(1)); }, true},
        {"insert, cancelled, deleted again",
         [&] { Editing(false), Dialogs.Answers = {TAnswer::Yes}, Form->btnInsert->click(); }, false},
        {"insert, cancelled, kept",
         [&] { Editing(false), Dialogs.Answers = {TAnswer::No}, Form->btnInsert->click(); }, true},
        {"insert, confirmed", [&] { Editing(true), Form->btnInsert->click(); }, true},
        {"add, cancelled", [&] { Editing(false), Form->btnAdd->click(); }, false},
        {"delete, answered No", [&] { Dialogs.Answers = {TAnswer::No}, Form->btnDelete->click(); }, false},
        {"delete", [&] { Dialogs.Answers = {TAnswer::Yes}, Form->btnDelete->click(); }, true},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Command);
        Form->Modified = false;
        Form->ListBox1->setCurrentRow(1);
        const std::size_t Count = Form->Document->Points.size();
        C.Run();
        EXPECT_EQ(Form->Modified, C.Modified);
        if (!C.Modified) {
            EXPECT_EQ(Form->Document->Points.size(), Count);
        }
        Dialogs.Clear();
        Dialogs.Answers = {TAnswer::Cancel};
        EXPECT_EQ(Form->close(), !C.Modified);
        EXPECT_EQ(Dialogs.Log(), C.Modified ? Strings{"YesNoCancel: Quit without saving?"} : Strings{});
        Form->show();
        Dialogs.Clear();
    }
}

} // namespace
} // namespace psykrona
