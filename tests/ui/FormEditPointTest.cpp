// The point editor driven through its controls and the keyboard: what it
// stores and what it refuses; and which of the points panel's Add, Insert,
// Delete and Edit leave an unsaved change.
#include "ui/FormEditPoint.h"

#include "tests/ui/UiFixture.h"

#include <QTest>

namespace psykrona {
namespace {

class FormEditPointTest : public test::TWindowTest {
protected:
    FormEditPointTest() {
        StartWith("en");
        Point = &Doc.AddPoint();
        Editor.Document = &Doc;
        Editor.Point = Point;
    }
    void Type(const char* Keys) { QTest::keyClicks(Editor.focusWidget(), QString::fromLatin1(Keys)); }

    TMain Doc;
    TMollierPoint* Point = nullptr;
    TfrmEditPoint Editor;
};

// A new point typed as a user types it: a tick by mouse or Space, or Tab
// into a field, selects its whole text, so 25 gives 25 and not "0.025".
// With a comma separator commas give the same point.
TEST_F(FormEditPointTest, TheFirstNewPointIsTypedAsTheUserTypesIt) {
    for (const char Separator : {'.', ','}) {
        SCOPED_TRACE(std::string("separator ") + Separator);
        SetDecimalSeparator(Separator);
        *Point = TMollierPoint();
        Editor.show();
        Editor.activateWindow();
        QCoreApplication::processEvents(); // the platform's activation
        QTest::mouseClick(Editor.chkRelHum, Qt::LeftButton);
        Type(Separator == '.' ? "62.5" : "62,5");
        Editor.chkTemp->setFocus(Qt::TabFocusReason);
        QTest::keyClick(Editor.chkTemp, Qt::Key_Space);
        Type("-10");
        EXPECT_EQ(Editor.edtTemp->text().toStdString(), "-10");
        QTest::keyClick(Editor.focusWidget(), Qt::Key_Tab);
        QTest::keyClick(Editor.focusWidget(), Qt::Key_Backtab);
        Type("25");
        Editor.btnUpdate->click();
        EXPECT_EQ(Point->Prescribed1, PROP_NONE) << "Calculate stores nothing";
        Editor.btnOK->click();
        EXPECT_EQ(Editor.result(), QDialog::Accepted);
        EXPECT_EQ(Point->Temp, 25);
        EXPECT_EQ(Point->RelHum, 62.5);
        // Stored smaller code first, whichever box was ticked first.
        EXPECT_EQ(Point->Prescribed1, PROP_TEMP);
        EXPECT_EQ(Point->Prescribed2, PROP_RELHUM);
        EXPECT_TRUE(Dialogs.Asked.empty());
    }
}

// Refused input: the box says why, for Calculate and for OK, the editor
// stays open and the point stays as it was.
TEST_F(FormEditPointTest, RefusedInputSaysWhyAndKeepsThePoint) {
    using E = TfrmEditPoint;
    const std::string Two = "Exactly two of the four properties must be ticked.";
    const struct {
        std::function<void(E&)> Input;
        TMessageKind Kind;
        std::string OnCalculate, OnOK;
    } Cases[] = {
        {[](E& D) { test::Prescribe(D, D.chkTemp, "20", D.chkRelHum, "50"), D.chkEnthalpy->click(); },
         TMessageKind::Error, Two, Two},
        {[](E& D) { D.chkTemp->click(), D.edtTemp->setText("abc"); }, TMessageKind::Error,
         "The value is not a valid number!", "The value is not a valid number!"},
        {[](E& D) { test::Prescribe(D, D.chkTemp, "200", D.chkRelHum, "50"); }, TMessageKind::Error,
         "The calculation failed. Please check the values entered.", "Calculation error"},
        {[](E& D) { test::Prescribe(D, D.chkTemp, "30", D.chkRelHum, "120"); }, TMessageKind::Warning,
         "The relative humidity must not be above 100%", "The relative humidity must not be above 100%"},
    };
    Point->Name = "Kept";
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.OnOK);
        Editor.show();
        C.Input(Editor);
        for (QPushButton* Button : {Editor.btnUpdate, Editor.btnOK}) {
            Dialogs.Clear();
            Button->click();
            ASSERT_EQ(Dialogs.Asked.size(), 1u);
            EXPECT_EQ(Dialogs.Asked[0].Kind, C.Kind);
            EXPECT_EQ(Dialogs.Asked[0].Text, Button == Editor.btnOK ? C.OnOK : C.OnCalculate);
            EXPECT_TRUE(Editor.isVisible());
        }
        Editor.btnCancel->click();
        EXPECT_EQ(Point->Name + std::to_string(Point->Prescribed1) + FloatToStr(Point->Temp), "Kept00");
    }
}

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
    void Editing(bool Confirm) {
        test::WhenShown<TfrmEditPoint>([Confirm](TfrmEditPoint& E) {
            if (Confirm && !E.chkTemp->isChecked()) {
                test::Prescribe(E, E.chkTemp, "5", E.chkRelHum, "80");
            }
            (Confirm ? E.btnOK : E.btnCancel)->click();
        });
    }
};

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
        EXPECT_TRUE(C.Modified || Form->Document->Points.size() == Count);
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
