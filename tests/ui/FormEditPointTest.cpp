// The point editor driven through its controls: what it shows for a new and
// a stored point, Calculate and OK with their checks and messages, and what
// OK stores. English texts, "." as decimal separator, 101.3 kPa.
#include "ui/FormEditPoint.h"

#include "engine/Main.h"
#include "engine/MollierPoint.h"
#include "engine/NumberText.h"
#include "localisation/Translator.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include "tests/support/ScriptedUserDialogs.h"
#include "tests/ui/UiFixture.h"
#include "tests/support/TempFolder.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace psykrona {
namespace {

using test::TScriptedUserDialogs;

class FormEditPointTest : public testing::Test {
protected:
    FormEditPointTest() {
        SetDecimalSeparator('.');
        test::WriteLanguages(ProgramDir);
        TTranslator::CreateInstance(DomImpl, Parser, ProgramDir.Dir());
        Point = &Doc.AddPoint();
        Point->Number = 3;
        Editor.Document = &Doc;
        Editor.Point = Point;
    }
    ~FormEditPointTest() override {
        EXPECT_TRUE(Dialogs.Unexpected.empty());
        TTranslator::DestroyInstance();
    }

    void Show() {
        Editor.show();
        ASSERT_TRUE(Editor.isVisible());
    }
    std::vector<std::string> Labels() const {
        return {Editor.lblTemp->text().toStdString(), Editor.lblRelHum->text().toStdString(),
                Editor.lblSpecHum->text().toStdString(), Editor.lblEnthalpy->text().toStdString()};
    }
    std::vector<bool> EditsShown() const {
        return {Editor.edtTemp->isVisible(), Editor.edtRelHum->isVisible(), Editor.edtSpecHum->isVisible(),
                Editor.edtEnthalpy->isVisible()};
    }

    test::TTempFolder ProgramDir;
    TDomImplementation DomImpl;
    TXmlParser Parser{DomImpl};
    TScriptedUserDialogs Dialogs;
    TMain Doc;
    TMollierPoint* Point = nullptr;
    TfrmEditPoint Editor;
};

TEST_F(FormEditPointTest, ANewPointShowsRoundedZerosAndNoTickedProperty) {
    Show();
    EXPECT_EQ(Editor.lblPointHeader->text().toStdString(), "Point 3");
    EXPECT_EQ(Editor.windowTitle().toStdString(), "State point");
    EXPECT_EQ(Labels(), (std::vector<std::string>{"0.0", "0.0", "0.00", "0.0"}));
    EXPECT_EQ(EditsShown(), (std::vector<bool>{false, false, false, false}));
    for (QCheckBox* C : {Editor.chkTemp, Editor.chkRelHum, Editor.chkSpecHum, Editor.chkEnthalpy}) {
        EXPECT_FALSE(C->isChecked());
        EXPECT_TRUE(C->text().isEmpty());
    }
}

TEST_F(FormEditPointTest, AStoredPointShowsItsPrescribedPairInFullAndTheRestRounded) {
    Point->Name = "Supply";
    Point->Temp = 20.04;
    Point->SpecHum = 0.0072585;
    Point->RelHum = 49.96;
    Point->Enthalpy = 38.51839;
    Point->Prescribed1 = PROP_SPECHUM;
    Point->Prescribed2 = PROP_ENTHALPY;
    Point->LineToNext = false;
    Show();
    EXPECT_EQ(Editor.edtName->text().toStdString(), "Supply");
    EXPECT_EQ(EditsShown(), (std::vector<bool>{false, false, true, true}));
    EXPECT_TRUE(Editor.chkSpecHum->isChecked());
    EXPECT_TRUE(Editor.chkEnthalpy->isChecked());
    EXPECT_EQ(Editor.edtSpecHum->text().toStdString(), "7.2585");
    EXPECT_EQ(Editor.edtEnthalpy->text().toStdString(), "38.51839");
    EXPECT_EQ(Labels(), (std::vector<std::string>{"20.0", "50.0", "7.2585", "38.51839"}));
    EXPECT_TRUE(Editor.chkShowInChart->isChecked());
    EXPECT_FALSE(Editor.chkLineToNext->isChecked());
}

// The codes are stored smaller first, whichever box was ticked first.
TEST_F(FormEditPointTest, TwentyDegreesAndFiftyPercentGiveTheHandbookValuesAndCodesOneAndThree) {
    for (bool RelHumFirst : {false, true}) {
        SCOPED_TRACE(RelHumFirst ? "relative humidity ticked first" : "temperature ticked first");
        *Point = TMollierPoint();
        Show();
        Editor.edtName->setText("Room");
        if (RelHumFirst) {
            test::Prescribe(Editor, Editor.chkRelHum, "50", Editor.chkTemp, "20");
        } else {
            test::Prescribe(Editor, Editor.chkTemp, "20", Editor.chkRelHum, "50");
        }
        Editor.btnUpdate->click();
        EXPECT_EQ(Editor.lblSpecHum->text().toStdString(), "7.26");
        EXPECT_EQ(Editor.lblEnthalpy->text().toStdString(), "38.5");
        EXPECT_EQ(Point->Prescribed1, 0) << "Calculate touches no point";
        Editor.btnOK->click();
        EXPECT_FALSE(Editor.isVisible());
        EXPECT_EQ(Editor.result(), QDialog::Accepted);
        EXPECT_EQ(Point->Name, "Room");
        EXPECT_DOUBLE_EQ(Point->Temp, 20);
        EXPECT_DOUBLE_EQ(Point->RelHum, 50);
        EXPECT_NEAR(Point->SpecHum, 0.0072585, 5e-8);
        EXPECT_NEAR(Point->Enthalpy, 38.518, 5e-4);
        EXPECT_EQ(Point->Prescribed1, PROP_TEMP);
        EXPECT_EQ(Point->Prescribed2, PROP_RELHUM);
        EXPECT_TRUE(Dialogs.Asked.empty());
    }
}

// Refused input: the message, which of the buttons showed it, and that the
// dialog stays open with the point untouched.
TEST_F(FormEditPointTest, RefusedInputAndFailedCalculationsSayWhyAndKeepTheDialogOpen) {
    struct TCase {
        const char* Name;
        std::function<void(TfrmEditPoint&)> Input;
        TMessageKind Kind;
        std::string CalculateMessage;
        std::string OkMessage;
    };
    const std::string InvalidFormat = "The value is not a valid number!";
    const std::string TwoValues = "Exactly two of the four properties must be ticked.";
    const std::vector<TCase> Cases = {
        {"three boxes",
         [](TfrmEditPoint& E) {
             test::Prescribe(E, E.chkTemp, "20", E.chkRelHum, "50");
             E.chkEnthalpy->click();
         },
         TMessageKind::Error, TwoValues, TwoValues},
        {"one box", [](TfrmEditPoint& E) { E.chkTemp->click(); }, TMessageKind::Error, TwoValues, TwoValues},
        {"abc, then no two-values message",
         [](TfrmEditPoint& E) {
             E.chkTemp->click();
             E.edtTemp->setText("abc");
         },
         TMessageKind::Error, InvalidFormat, InvalidFormat},
        {"an empty field", [](TfrmEditPoint& E) { test::Prescribe(E, E.chkTemp, "20", E.chkRelHum, ""); },
         TMessageKind::Error, InvalidFormat, InvalidFormat},
        {"200 degrees, outside the table",
         [](TfrmEditPoint& E) { test::Prescribe(E, E.chkTemp, "200", E.chkRelHum, "50"); },
         TMessageKind::Error, "The calculation failed. Please check the values entered.",
         "Calculation error"},
        {"a negative humidity ratio",
         [](TfrmEditPoint& E) { test::Prescribe(E, E.chkTemp, "20", E.chkEnthalpy, "10"); },
         TMessageKind::Warning, "The humidity ratio must not be below 0 g/kg",
         "The humidity ratio must not be below 0 g/kg"},
        {"120 percent", [](TfrmEditPoint& E) { test::Prescribe(E, E.chkTemp, "30", E.chkRelHum, "120"); },
         TMessageKind::Warning, "The relative humidity must not be above 100%",
         "The relative humidity must not be above 100%"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        *Point = TMollierPoint();
        Show();
        C.Input(Editor);
        for (QPushButton* Button : {Editor.btnUpdate, Editor.btnOK}) {
            Dialogs.Clear();
            Button->click();
            ASSERT_EQ(Dialogs.Asked.size(), 1u);
            EXPECT_EQ(Dialogs.Asked[0].Kind, C.Kind);
            EXPECT_EQ(Dialogs.Asked[0].Text, Button == Editor.btnOK ? C.OkMessage : C.CalculateMessage);
            EXPECT_TRUE(Editor.isVisible());
        }
        EXPECT_EQ(Point->Prescribed1, 0);
        EXPECT_EQ(Point->Temp, 0);
        Editor.btnCancel->click();
        EXPECT_EQ(Editor.result(), QDialog::Rejected);
    }
}

TEST_F(FormEditPointTest, AnImpossibleResultStaysShownAfterCalculate) {
    Show();
    test::Prescribe(Editor, Editor.chkTemp, "20", Editor.chkEnthalpy, "10");
    Editor.btnUpdate->click();
    // x = (h - 1.005 t) / (2501 + 1.82 t) = -10.1 / 2537.4 kg/kg
    EXPECT_EQ(Editor.lblSpecHum->text().toStdString(), "-3.98");
    EXPECT_LT(Editor.WorkSpecHum(), 0);
}

TEST_F(FormEditPointTest, AFieldThatIsNotANumberTakesTheFocus) {
    Show();
    test::Prescribe(Editor, Editor.chkTemp, "20", Editor.chkSpecHum, "x");
    Editor.edtName->setFocus();
    Editor.btnUpdate->click();
    EXPECT_EQ(Editor.focusWidget(), Editor.edtSpecHum);
}

TEST_F(FormEditPointTest, UntickingShowsTheTypedTextAndTickingAgainEditsIt) {
    Show();
    Editor.chkTemp->click();
    EXPECT_EQ(Editor.focusWidget(), Editor.edtTemp);
    Editor.edtTemp->setText("12.5");
    Editor.chkTemp->click();
    EXPECT_FALSE(Editor.edtTemp->isVisible());
    EXPECT_EQ(Editor.lblTemp->text().toStdString(), "12.5");
    Editor.chkTemp->click();
    EXPECT_TRUE(Editor.edtTemp->isVisible());
    EXPECT_EQ(Editor.edtTemp->text().toStdString(), "12.5");
    EXPECT_EQ(Editor.focusWidget(), Editor.edtTemp);
    Editor.btnCancel->click();
}

// Keys go wherever the focus is, as the user's would: a tick by mouse or by
// keyboard, or Tab, leaves the field's whole text selected, so typing 25
// after a tick gives 25, not "0.025".
TEST_F(FormEditPointTest, TypingAfterATickOrTabReplacesTheFieldsText) {
    Show();
    Editor.activateWindow();
    QCoreApplication::processEvents(); // the platform's activation
    auto Type = [this](const char* Keys) { QTest::keyClicks(Editor.focusWidget(), QString::fromLatin1(Keys)); };
    QTest::mouseClick(Editor.chkTemp, Qt::LeftButton);
    Type("25");
    EXPECT_EQ(Editor.edtTemp->text().toStdString(), "25");

    Editor.chkRelHum->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Editor.chkRelHum, Qt::Key_Space);
    ASSERT_TRUE(Editor.chkRelHum->isChecked());
    Type("-10");
    EXPECT_EQ(Editor.edtRelHum->text().toStdString(), "-10");

    QTest::keyClick(Editor.focusWidget(), Qt::Key_Tab);
    QTest::keyClick(Editor.focusWidget(), Qt::Key_Backtab);
    Type("60");
    EXPECT_EQ(Editor.edtRelHum->text().toStdString(), "60");
    Editor.btnOK->click();
    EXPECT_EQ(Point->Temp, 25);
    EXPECT_EQ(Point->RelHum, 60);
}

TEST_F(FormEditPointTest, CancelLeavesThePointAsItWas) {
    Point->Name = "Kept";
    Show();
    Editor.edtName->setText("Changed");
    test::Prescribe(Editor, Editor.chkTemp, "20", Editor.chkRelHum, "50");
    Editor.btnCancel->click();
    EXPECT_EQ(Point->Name, "Kept");
    EXPECT_EQ(Point->Prescribed1, 0);
    EXPECT_EQ(Editor.result(), QDialog::Rejected);
}

TEST_F(FormEditPointTest, TheCalculationUsesTheProjectsPressure) {
    Doc.SetPressure(90);
    Show();
    test::Prescribe(Editor, Editor.chkTemp, "20", Editor.chkRelHum, "50");
    Editor.btnOK->click();
    // At a lower pressure the same vapour pressure holds more water per kg.
    EXPECT_GT(Point->SpecHum, 0.0072585 * 101.3 / 90 * 0.99);
}

} // namespace
} // namespace psykrona
