// The flow-data panel of the main window: when the points are recalculated,
// the density choice of a loaded project, flow data that is refused and
// when, repaints with a new language; and the program's start.
#include "ui/FormMain.h"

#include "files/MollierFileHandling.h"
#include "localisation/FormIntro2.h"
#include "ui/PaintBox.h"
#include "ui/PointBlocks.h"
#include "ui/ProgramStart.h"

#include "tests/ui/UiFixture.h"

#include <QFocusEvent>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTest>

#include <utility>

namespace psykrona {
namespace {

using test::Strings;

class FormMainChartTest : public test::TMainWindowTest {
protected:
    void PressEnter(QLineEdit* Field) { QTest::keyClick(Field, Qt::Key_Return); }
    void LeaveField(QLineEdit* Field, Qt::FocusReason Reason) {
        QFocusEvent Out(QEvent::FocusOut, Reason);
        QApplication::sendEvent(Field, &Out);
    }
    std::string Power() const {
        return Form->PointBlocks->Process(1).Rows[TProcessRows::Power].Value.toStdString();
    }
};

// A stored free value the calculator would change shows whether the points
// were recalculated: a new pressure does, an air flow alone does not, and a
// loaded project comes up with the density choice its data gives.
TEST_F(FormMainChartTest, APressureRecalculatesThePointsAndALoadedProjectKeepsItsDensityChoice) {
    AddPoint("A", "20", "50");
    AddPoint("B", "30", "40");
    TMollierPoint& A = Form->Document->Points[0];
    const double AtNormal = A.SpecHum;
    A.SpecHum = 0.005;
    Form->edtFlowAirFlow->setText("3");
    PressEnter(Form->edtFlowAirFlow);
    EXPECT_EQ(A.SpecHum, 0.005) << "air flow alone recalculates nothing";
    QTest::mouseClick(Form->rbDensReal, Qt::LeftButton);
    Form->edtDensPatm->setText("950");
    PressEnter(Form->edtDensPatm);
    EXPECT_DOUBLE_EQ(Form->Document->Pressure, 95);
    EXPECT_GT(A.SpecHum, AtNormal * 101.3 / 95);
    EXPECT_EQ(Form->lblDensDensity->text().toStdString(), FormatFixed(TMain::RealDensity(20, 950), 2));
    QTest::mouseClick(Form->rbDensNormal, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(A.SpecHum, AtNormal);
    EXPECT_FALSE(Form->edtDensPatm->isEnabled());

    for (const auto& [Temp, Pressure, Real] : {std::tuple{25.0, 95.0, true}, std::tuple{20.0, 101.3, false},
                                               std::tuple{20.0, 100.0, true}}) {
        TMain Doc;
        Doc.DensityTemp = Temp;
        Doc.Pressure = Pressure;
        test::AddPoint(Doc, "P", 20, 50);
        Work.Write("plan.pkx", TMollierFileHandling::ProjectToXml(Doc));
        Dialogs.Answers = {TAnswer::No};
        Dialogs.Files = {Work.File("plan.pkx")};
        Form->mnuFileOpen->trigger();
        EXPECT_EQ(Form->rbDensReal->isChecked(), Real) << Temp << " °C, " << Pressure << " kPa";
        EXPECT_EQ(Form->edtDensTemp->isEnabled(), Real);
        EXPECT_EQ(Form->edtDensPatm->text().toStdString(), FloatToStr(Pressure * 10));
        EXPECT_DOUBLE_EQ(Form->Document->Density, Real ? TMain::RealDensity(Temp, Pressure * 10) : 1.2);
        EXPECT_FALSE(Form->Modified);
        Dialogs.Clear();
    }
}

// A bad field is reported once per user action (Enter, leaving the field by
// Tab or mouse, the update button); the focus changes the box itself causes
// and focus going to a menu, popup or other window start no report.
TEST_F(FormMainChartTest, ABadFlowFieldIsReportedOncePerUserAction) {
    QTest::mouseClick(Form->rbDensReal, Qt::LeftButton);
    Form->edtFlowAirFlow->setText("");
    const Strings Once{"Message: '' is not a valid floating point value"};
    Dialogs.WhileOpen = [&](const test::TScriptedUserDialogs::TAsked&) {
        Dialogs.WhileOpen = nullptr;
        LeaveField(Form->edtDensTemp, Qt::MouseFocusReason);
        LeaveField(Form->edtFlowAirFlow, Qt::ActiveWindowFocusReason);
        PressEnter(Form->edtDensPatm);
    };
    for (auto Act : std::vector<std::function<void()>>{
             [&] { LeaveField(Form->edtFlowAirFlow, Qt::TabFocusReason); }, [&] { PressEnter(Form->edtDensTemp); },
             [&] { Form->btnUpdateFlowData->click(); },
             [&] { LeaveField(Form->edtDensPatm, Qt::BacktabFocusReason); }}) {
        Act();
        EXPECT_EQ(Dialogs.Log(), Once);
        EXPECT_EQ(Dialogs.Asked[0].Kind, TMessageKind::Failure);
        Dialogs.Clear();
    }
    for (Qt::FocusReason Reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason, Qt::MenuBarFocusReason}) {
        LeaveField(Form->edtFlowAirFlow, Reason);
    }
    EXPECT_TRUE(Dialogs.Asked.empty());
    Form->Modified = false;
    Form->edtFlowAirFlow->setText("2");
    LeaveField(Form->edtFlowAirFlow, Qt::TabFocusReason);
    EXPECT_EQ(Form->Document->AirFlow, 2);
    EXPECT_TRUE(Form->Modified) << "moving on from the field is an update";
}

// Flow data no air can have is refused in the user's language, whichever
// way the update comes; the document, the points and Modified stay, and the
// field keeps the typed text selected, so that typing replaces it.
TEST_F(FormMainChartTest, FlowDataThatCannotBePhysicalIsRefused) {
    AddPoint("A", "20", "50");
    AddPoint("B", "30", "40");
    QTest::mouseClick(Form->rbDensReal, Qt::LeftButton);
    Form->edtFlowAirFlow->setText("2");
    PressEnter(Form->edtFlowAirFlow);
    Form->activateWindow();
    const TMain& D = *Form->Document;
    auto State = [&] {
        return std::vector<double>{D.Pressure, D.Density, D.DensityTemp, D.AirFlow, D.Points[0].SpecHum,
                                   D.Points[1].Enthalpy};
    };
    const std::vector<double> Before = State();
    const std::string PowerBefore = Power();
    const std::string NoPressure = "The air pressure must be greater than 0 mbar.";
    const std::string NoDensity = "No air density can be calculated for this temperature: it must be above -273 °C.";
    const std::tuple<QLineEdit*, const char*, std::string> Cases[] = {
        {Form->edtDensPatm, "0", NoPressure},
        {Form->edtDensPatm, "-1013", NoPressure},
        {Form->edtDensTemp, "-273", NoDensity},
        {Form->edtDensTemp, "-300", NoDensity},
        {Form->edtFlowAirFlow, "1e308", "The air flow is too large: the powers and the water flow cannot be calculated."}};
    const std::function<void(QLineEdit*)> Ways[] = {[&](QLineEdit* F) { PressEnter(F); },
                                                    [&](QLineEdit* F) { QTest::keyClick(F, Qt::Key_Tab); },
                                                    [&](QLineEdit*) { Form->btnUpdateFlowData->click(); }};
    for (const auto& [Field, Text, Message] : Cases) {
        for (int Way = 0; Way < 3; ++Way) {
            SCOPED_TRACE(std::string(Text) + " by way " + std::to_string(Way));
            const QString Kept = Field->text();
            Field->setFocus(Qt::OtherFocusReason);
            Form->Modified = false;
            Field->setText(QString::fromLatin1(Text));
            Ways[Way](Field);
            QCoreApplication::processEvents(); // the focus change ends
            EXPECT_EQ(Dialogs.Log(), (Strings{"Message: " + Message}));
            EXPECT_EQ(State(), Before);
            EXPECT_EQ(Power(), PowerBefore);
            EXPECT_FALSE(Form->Modified);
            EXPECT_EQ(Field->selectedText().toStdString(), Text);
            EXPECT_EQ(Form->focusWidget(), Field);
            Field->setText(Kept);
            Dialogs.Clear();
        }
    }
    TTranslator::SetLanguage(1);
    Form->edtDensPatm->setText("0");
    PressEnter(Form->edtDensPatm);
    EXPECT_EQ(Dialogs.Log(), (Strings{"Message: Lufttrycket måste vara större än 0 mbar."}));
    Form->edtDensPatm->setText("950");
    PressEnter(Form->edtDensPatm);
    EXPECT_DOUBLE_EQ(D.Pressure, 95);
}

// The caret starts in the air-flow field; menus opened from the keyboard
// take the focus without being another control, so Save then Exit by keys
// closes the window without a question.
TEST_F(FormMainChartTest, KeyboardMenusAreNoFlowDataUpdate) {
    Form->activateWindow();
    Form->edtFlowAirFlow->setFocus(Qt::OtherFocusReason);
    Form->edtFlowAirFlow->setText("2");
    PressEnter(Form->edtFlowAirFlow);
    ASSERT_TRUE(Form->Modified);
    auto Keys = [](Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        QTest::keyClick(static_cast<QWidget*>(nullptr), Key, Modifiers); // to the focus or the open menu
    };
    Dialogs.Files.push_back(Work.File("plan.pkx"));
    for (Qt::Key Key : {Qt::Key_S, Qt::Key_F10, Qt::Key_Alt, Qt::Key_Escape, Qt::Key_X}) {
        if (Key == Qt::Key_S || Key == Qt::Key_X) {
            Keys(Qt::Key_F, Qt::AltModifier);
            ASSERT_EQ(QApplication::activePopupWidget(), Form->mnuFile);
        }
        Keys(Key);
        EXPECT_FALSE(Form->Modified) << "after key " << Key;
    }
    EXPECT_FALSE(Form->isVisible()) << "closed without a question";
    EXPECT_EQ(Dialogs.Log(), (Strings{"Save: "}));
    EXPECT_EQ(Work.Read("plan.pkx").rfind("<?xml", 0), 0u);
}

// A paint takes up the language's texts and rewrites blocks; none of that
// may ask for another paint.
TEST_F(FormMainChartTest, OneInvalidationGivesOnePaintWithTheLanguagesTexts) {
    AddPoint("A", "20", "50");
    const QString English = Form->btnAdd->text();
    int Paints = 0;
    const auto Paint = Form->PaintBox1->OnPaint;
    Form->PaintBox1->OnPaint = [&](QPainter& P) { ++Paints, Paint(P); };
    QCoreApplication::processEvents();
    Paints = 0;
    TTranslator::SetLanguage(2);
    EXPECT_EQ(Form->btnAdd->text(), English) << "not before the repaint";
    Form->InvalidateWindow();
    for (int I = 0; I < 10; ++I) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(Paints, 1);
    EXPECT_EQ(Form->btnAdd->text().toStdString(), TTranslator::GetText("POINTS_PANEL", "BTN_ADD"));
    EXPECT_NE(Form->btnAdd->text(), English);
    Form->PaintBox1->OnPaint = Paint;
}

// ---- The program's start ----

using ProgramStartTest = test::TWindowTest;

// The start-up window comes over the main window; OK opens the project
// named on the command line, Cancel ends the program.
TEST_F(ProgramStartTest, TheStartUpWindowComesFirstThenTheProjectOnTheCommandLine) {
    TMain Doc;
    test::AddPoint(Doc, "Only", 20, 50);
    Work.Write("plan.pkx", TMollierFileHandling::ProjectToXml(Doc));
    for (bool Confirm : {true, false}) {
        int Points = -1;
        test::WhenShown<TfrmIntro>([&](TfrmIntro& Intro) {
            auto* Main = qobject_cast<TfrmMain*>(Intro.parentWidget());
            ASSERT_TRUE(Main != nullptr && Main->isVisible());
            (Confirm ? Intro.btnOK : Intro.btnCancel)->click();
            QTimer::singleShot(0, Main, [&Points, Main] {
                Points = Main->Document->PointCount();
                Main->close();
            });
        });
        EXPECT_EQ(RunPsykrona({Work.File("plan.pkx")}, ProgramDir.Dir()), 0);
        EXPECT_EQ(Points, Confirm ? 1 : -1) << Confirm;
        EXPECT_TRUE(Dialogs.Asked.empty());
    }
}

} // namespace
} // namespace psykrona
