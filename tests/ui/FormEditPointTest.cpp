// The point editor and the flow-data panel driven through their controls and the keyboard: what
// they store and refuse; and which of Add, Insert, Delete and Edit leave an unsaved change.
#include "ui/PointBlocks.h"

#include "tests/support/CommaLocale.h"
#include "tests/ui/UiFixture.h"

#include <QMenu>
#include <QRegularExpression>

#include <clocale>

namespace psykrona {
namespace {

using test::Strings;

class FormEditPointTest : public test::TWindowTest {
protected:
    FormEditPointTest() {
        StartWith("en");
        Editor.Document = &Doc;
        Editor.Point = Point;
    }
    void Type(const char* Keys) { QTest::keyClicks(Editor.focusWidget(), QString::fromLatin1(Keys)); }

    TMain Doc;
    TMollierPoint* Point = &Doc.AddPoint();
    TfrmEditPoint Editor;
};

// A new point typed as a user types it: a tick by mouse or Space, or Tab into a field, selects
// its whole text, so 25 gives 25 and not "0.025". Under a real comma C locale either separator
// gives the same point and shows each calculated value with the separator once.
TEST_F(FormEditPointTest, TheFirstNewPointIsTypedAsTheUserTypesIt) {
    const test::TCommaLocale& Comma = test::CommaLocale();
    setenv("LOCPATH", Comma.Dir.c_str(), 1);
    const std::string Before = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, Comma.Name.c_str()), nullptr);
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
        for (const QLineEdit* Shown : {Editor.edtSpecHum, Editor.edtEnthalpy}) {
            const QRegularExpression Number(QStringLiteral("^[0-9]+\\%1[0-9]+$").arg(QChar(Separator)));
            EXPECT_TRUE(Number.match(Shown->text()).hasMatch()) << Shown->text().toStdString();
        }
        Editor.btnOK->click();
        EXPECT_EQ(Editor.result(), QDialog::Accepted);
        // Stored smaller code first, whichever box was ticked first.
        EXPECT_EQ(std::tuple(Point->Temp, Point->RelHum, Point->Prescribed1, Point->Prescribed2),
                  std::tuple(25.0, 62.5, PROP_TEMP, PROP_RELHUM));
        EXPECT_TRUE(Dialogs.Asked.empty());
    }
    std::setlocale(LC_ALL, Before.c_str());
}

// Refused input says why and leaves the editor open and the point as it was.
TEST_F(FormEditPointTest, RefusedInputSaysWhyAndKeepsThePoint) {
    Point->Name = "Kept";
    for (const auto& [Temp, RelHum, Message] : {std::tuple{"abc", "50", "The value is not a valid number!"},
                                                {"200", "50", "Calculation error"},
                                                {"30", "120", "The relative humidity must not be above 100%"}}) {
        Editor.show();
        test::Prescribe(Editor, Temp, RelHum);
        Dialogs.Clear();
        Editor.btnOK->click();
        EXPECT_EQ(Dialogs.Log(), Strings{"Message: " + std::string(Message)});
        EXPECT_TRUE(Editor.isVisible());
        Editor.btnCancel->click();
        EXPECT_EQ(Point->Name + std::to_string(Point->Prescribed1) + FloatToStr(Point->Temp), "Kept00");
    }
}

using FormMainPointsTest = test::TMainWindowTest;

// Modified (closing then asks) is set by exactly these, so no edit is lost without a word.
TEST_F(FormMainPointsTest, EveryConfirmedChangeIsUnsavedAndACancelledOneChangesNothing) {
    for (const char* Name : {"A", "B", "C"}) {
        AddPoint(Name, "10", "40");
    }
    auto Editing = [](bool Confirm) {
        test::WhenShown<TfrmEditPoint>([Confirm](TfrmEditPoint& E) {
            if (Confirm && !E.chkTemp->isChecked()) {
                test::Prescribe(E, "5", "80");
            }
            (Confirm ? E.btnOK : E.btnCancel)->click();
        });
    };
    const std::tuple<const char*, std::function<void()>, bool> Cases[] = {
        {"edit, cancelled", [&] { Editing(false), Form->btnEdit->click(); }, false},
        {"edit, confirmed", [&] { Editing(true), Form->btnEdit->click(); }, true},
        {"insert, cancelled, deleted again",
         [&] { Editing(false), Dialogs.Answers = {TAnswer::Yes}, Form->btnInsert->click(); }, false},
        {"insert, cancelled, kept", [&] { Editing(false), Dialogs.Answers = {TAnswer::No}, Form->btnInsert->click(); }, true},
        {"insert, confirmed", [&] { Editing(true), Form->btnInsert->click(); }, true},
        {"add, cancelled", [&] { Editing(false), Form->btnAdd->click(); }, false},
        {"delete, answered No", [&] { Dialogs.Answers = {TAnswer::No}, Form->btnDelete->click(); }, false},
        {"delete", [&] { Dialogs.Answers = {TAnswer::Yes}, Form->btnDelete->click(); }, true},
    };
    for (const auto& [Command, Run, Modified] : Cases) {
        SCOPED_TRACE(Command);
        Form->Modified = false;
        Dialogs.Clear();
        Form->ListBox1->setCurrentRow(1);
        const std::size_t Count = Form->Document->Points.size();
        Run();
        EXPECT_EQ(Form->Modified, Modified);
        EXPECT_TRUE(Modified || Form->Document->Points.size() == Count);
    }
}

using FormMainFlowDataTest = test::TMainWindowTest;

// Flow data no air can have is refused in the user's language however the
// update comes; the document stays, the field keeps the typed text selected.
TEST_F(FormMainFlowDataTest, FlowDataThatCannotBePhysicalIsRefused) {
    AddPoint("A", "20", "50");
    AddPoint("B", "30", "40");
    QTest::mouseClick(Form->rbDensReal, Qt::LeftButton);
    Form->edtFlowAirFlow->setText("2");
    QTest::keyClick(Form->edtFlowAirFlow, Qt::Key_Return);
    Form->activateWindow();
    const TMain& D = *Form->Document;
    auto State = [&] {
        return std::tuple(D.Pressure, D.Density, D.DensityTemp, D.AirFlow, D.Points[0].SpecHum, D.Points[1].Enthalpy,
                          Form->PointBlocks->Process(1).Rows[TProcessRows::Power].Value.toStdString(), Form->Modified);
    };
    Form->Modified = false;
    const auto Before = State();
    const std::tuple<QLineEdit*, const char*, std::string> Cases[] = {
        {Form->edtDensPatm, "0", "The air pressure must be greater than 0 mbar."},
        {Form->edtDensTemp, "-273", "No air density can be calculated for this temperature: it must be above -273 °C."},
        {Form->edtFlowAirFlow, "1e308", "The air flow is too large: the powers and the water flow cannot be calculated."}};
    const std::function<void(QLineEdit*)> Ways[] = {[](QLineEdit* F) { QTest::keyClick(F, Qt::Key_Return); },
                                                    [](QLineEdit* F) { QTest::keyClick(F, Qt::Key_Tab); },
                                                    [&](QLineEdit*) { Form->btnUpdateFlowData->click(); }};
    for (const auto& [Field, Text, Message] : Cases) {
        for (int Way = 0; Way < 3; ++Way) {
            SCOPED_TRACE(std::string(Text) + " by way " + std::to_string(Way));
            const QString Kept = Field->text();
            Field->setFocus(Qt::OtherFocusReason);
            Form->Modified = false; // leaving the last field may have been an update
            Field->setText(QString::fromLatin1(Text));
            Ways[Way](Field);
            QCoreApplication::processEvents(); // the focus change ends
            EXPECT_EQ(Dialogs.Log(), (Strings{"Message: " + Message}));
            EXPECT_EQ(State(), Before);
            EXPECT_EQ(Field->selectedText().toStdString(), Text);
            EXPECT_EQ(Form->focusWidget(), Field);
            Field->setText(Kept);
            Dialogs.Clear();
        }
    }
    TTranslator::SetLanguage(1);
    Form->edtDensPatm->setText("0");
    QTest::keyClick(Form->edtDensPatm, Qt::Key_Return);
    EXPECT_EQ(Dialogs.Log(), (Strings{"Message: Lufttrycket måste vara större än 0 mbar."}));
    Form->edtDensPatm->setText("950");
    QTest::keyClick(Form->edtDensPatm, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(D.Pressure, 95);
}

// Menus opened from the keyboard take the focus from the air-flow field
// without being another control: Save then Exit by keys ask nothing.
TEST_F(FormMainFlowDataTest, KeyboardMenusAreNoFlowDataUpdate) {
    Form->activateWindow();
    Form->edtFlowAirFlow->setFocus(Qt::OtherFocusReason);
    Form->edtFlowAirFlow->setText("2");
    QTest::keyClick(Form->edtFlowAirFlow, Qt::Key_Return);
    ASSERT_TRUE(Form->Modified);
    Dialogs.Files.push_back(Work.File("plan.pkx"));
    for (Qt::Key Key : {Qt::Key_S, Qt::Key_F10, Qt::Key_Alt, Qt::Key_Escape, Qt::Key_X}) {
        if (Key == Qt::Key_S || Key == Qt::Key_X) {
            QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_F, Qt::AltModifier); // to the focus
            ASSERT_EQ(QApplication::activePopupWidget(), Form->mnuFile);
        }
        QTest::keyClick(static_cast<QWidget*>(nullptr), Key); // to the focus or the open menu
        EXPECT_FALSE(Form->Modified) << "after key " << Key;
    }
    EXPECT_FALSE(Form->isVisible()) << "closed without a question";
    EXPECT_EQ(Dialogs.Log(), (Strings{"Save: "}));
    EXPECT_EQ(Work.Read("plan.pkx").rfind("<?xml", 0), 0u);
}

} // namespace
} // namespace psykrona
