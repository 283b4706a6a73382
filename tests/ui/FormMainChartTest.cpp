// The flow-data panel and the chart of the main window: when the points are
// recalculated, which density choice a loaded project gets, the conversion
// message of a bad field shown once per action, the cursor read-out, texts
// following the language at the next repaint; and the program's start.
#include "ui/FormMain.h"

#include "chart/MollierDraw.h"
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "files/MollierFileHandling.h"
#include "localisation/FormIntro2.h"
#include "printing/FormPreview.h"
#include "printing/FormPrint.h"
#include "ui/PointBlocks.h"
#include "ui/ProgramStart.h"
#include "ui/UserDialogs.h"

#include "tests/ui/UiFixture.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>

namespace psykrona {
namespace {

using test::TMainWindowTest;
using Strings = std::vector<std::string>;

class FormMainChartTest : public TMainWindowTest {
protected:
    void PressEnter(QLineEdit* Field) { QTest::keyClick(Field, Qt::Key_Return); }
    void LeaveField(QLineEdit* Field, Qt::FocusReason Reason) {
        QFocusEvent Out(QEvent::FocusOut, Reason);
        QApplication::sendEvent(Field, &Out);
    }
    std::string ProjectFile(const std::string& Name, double DensityTemp, double Pressure) {
        TMain Doc;
        Doc.DensityTemp = DensityTemp;
        Doc.Pressure = Pressure;
        TMollierPoint& P = Doc.AddPoint();
        P.Temp = 20;
        P.RelHum = 50;
        P.Prescribed1 = PROP_TEMP;
        P.Prescribed2 = PROP_RELHUM;
        Work.Write(Name, TMollierFileHandling::ProjectToXml(Doc));
        return Work.File(Name);
    }
    void MoveTo(TPoint At) {
        QMouseEvent Move(QEvent::MouseMove, QPointF(At.X, At.Y), QPointF(At.X, At.Y), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Form->PaintBox1, &Move);
    }
    std::string ReadOut() const { return Form->StatusText(1).toStdString(); }
};

// A stored free value that the calculator would change shows whether the
// points were recalculated.
TEST_F(FormMainChartTest, APressureChangeRecalculatesThePointsAndAnAirFlowChangeDoesNot) {
    AddPoint("A", "20", "50");
    AddPoint("B", "30", "40");
    TMollierPoint& A = Form->Document->Points[0];
    const double AtNormal = A.SpecHum;
    A.SpecHum = 0.005;
    Form->Modified = false;

    Form->edtFlowAirFlow->setText("3");
    PressEnter(Form->edtFlowAirFlow);
    EXPECT_EQ(A.SpecHum, 0.005) << "air flow alone recalculates nothing";
    EXPECT_EQ(Form->Document->AirFlow, 3);
    EXPECT_TRUE(Form->Modified);
    const TMain& D = *Form->Document;
    EXPECT_EQ(Form->PointBlocks->Process(1).Rows[TProcessRows::Power].Value.toStdString(),
              FormatFixed(D.Power(A.Enthalpy, D.Points[1].Enthalpy), 1));

    QTest::mouseClick(Form->rbDensReal, Qt::LeftButton);
    ASSERT_TRUE(Form->rbDensReal->isChecked());
    EXPECT_TRUE(Form->edtDensPatm->isEnabled());
    EXPECT_EQ(A.SpecHum, 0.005) << "20 °C and 1013 mbar is the normal pressure";
    Form->edtDensPatm->setText("950");
    PressEnter(Form->edtDensPatm);
    EXPECT_DOUBLE_EQ(Form->Document->Pressure, 95);
    EXPECT_GT(A.SpecHum, AtNormal * 101.3 / 95 * 0.99);
    EXPECT_EQ(Form->PointBlocks->Block(1).Rows[TPointBlock::SpecHum].Value.toStdString(),
              FormatFixed(A.SpecHum * 1000, 2));
    EXPECT_EQ(Form->lblDensDensity->text().toStdString(), FormatFixed(TMain::RealDensity(20, 950), 2));
    EXPECT_DOUBLE_EQ(Form->Document->Density, TMain::RealDensity(20, 950));

    QTest::mouseClick(Form->rbDensNormal, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(Form->Document->Pressure, 101.3);
    EXPECT_DOUBLE_EQ(A.SpecHum, AtNormal);
    EXPECT_FALSE(Form->edtDensPatm->isEnabled());
}

TEST_F(FormMainChartTest, TheDensityReadOutFollowsTheFieldsAlsoUnderNormalInTheUsersSeparator) {
    EXPECT_TRUE(Form->rbDensNormal->isChecked());
    EXPECT_EQ(Form->lblDensDensity->text().toStdString(), "1.20");
    SetDecimalSeparator(',');
    Form->btnUpdateFlowData->click();
    EXPECT_EQ(Form->lblDensDensity->text().toStdString(), "1,20");
    SetDecimalSeparator('.');
}

TEST_F(FormMainChartTest, ALoadedProjectComesUpWithTheDensityChoiceOfItsData) {
    struct TCase {
        const char* File;
        double Temp;
        double Pressure;
        bool Real;
        const char* TempText;
        const char* PatmText;
    };
    const TCase Cases[] = {{"real.pkx", 25, 95, true, "25", "950"},
                           {"real2.pkx", 30, 90, true, "30", "900"},
                           {"normal.pkx", 20, 101.3, false, "20", "1013"},
                           {"warm.pkx", 20, 100, true, "20", "1000"}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.File);
        Dialogs.Files.push_back(ProjectFile(C.File, C.Temp, C.Pressure));
        Form->mnuFileOpen->trigger();
        EXPECT_EQ(Form->rbDensReal->isChecked(), C.Real);
        EXPECT_EQ(Form->rbDensNormal->isChecked(), !C.Real);
        EXPECT_EQ(Form->edtDensTemp->isEnabled(), C.Real);
        EXPECT_EQ(Form->edtDensTemp->text().toStdString(), C.TempText);
        EXPECT_EQ(Form->edtDensPatm->text().toStdString(), C.PatmText);
        EXPECT_EQ(Form->lblDensDensity->text().toStdString(),
                  FormatFixed(TMain::RealDensity(C.Temp, C.Pressure * 10), 2));
        EXPECT_DOUBLE_EQ(Form->Document->Density, C.Real ? TMain::RealDensity(C.Temp, C.Pressure * 10) : 1.2);
        EXPECT_FALSE(Form->Modified);
    }
}

// A bad field is reported when the user acts: Enter, leaving the field, the
// update button. Focus changes that the box itself causes start no second
// report, nor do focus changes to another window.
TEST_F(FormMainChartTest, ABadFlowFieldIsReportedOncePerUserAction) {
    QTest::mouseClick(Form->rbDensReal, Qt::LeftButton); // all three fields open for input
    ASSERT_TRUE(Form->edtDensTemp->isEnabled());
    Form->edtFlowAirFlow->setText("");
    const std::string Message = "'' is not a valid floating point value";
    bool Opened = false;
    Dialogs.WhileOpen = [&](const test::TScriptedUserDialogs::TAsked&) {
        if (std::exchange(Opened, true)) {
            return; // a second box: the expectation below fails
        }
        LeaveField(Form->edtDensTemp, Qt::MouseFocusReason);
        LeaveField(Form->edtFlowAirFlow, Qt::ActiveWindowFocusReason);
        PressEnter(Form->edtDensPatm);
    };
    LeaveField(Form->edtFlowAirFlow, Qt::TabFocusReason);
    EXPECT_EQ(Dialogs.Log(), (Strings{"Message: " + Message}));
    EXPECT_EQ(Dialogs.Asked[0].Kind, TMessageKind::Failure);

    Dialogs.WhileOpen = nullptr;
    for (auto Act : std::vector<std::function<void()>>{
             [&] { PressEnter(Form->edtDensTemp); }, [&] { Form->btnUpdateFlowData->click(); },
             [&] { LeaveField(Form->edtDensPatm, Qt::BacktabFocusReason); }}) {
        Dialogs.Clear();
        Act();
        EXPECT_EQ(Dialogs.Log(), (Strings{"Message: " + Message}));
    }
    Dialogs.Clear();
    LeaveField(Form->edtFlowAirFlow, Qt::ActiveWindowFocusReason);
    LeaveField(Form->edtFlowAirFlow, Qt::PopupFocusReason);
    EXPECT_TRUE(Dialogs.Asked.empty());

    Form->edtFlowAirFlow->setText("2");
    LeaveField(Form->edtFlowAirFlow, Qt::TabFocusReason);
    EXPECT_TRUE(Dialogs.Asked.empty());
    EXPECT_EQ(Form->Document->AirFlow, 2);
}

TEST_F(FormMainChartTest, MovingTheFocusOnFromTheAirFlowFieldMarksTheProjectModified) {
    EXPECT_FALSE(Form->Modified);
    LeaveField(Form->edtFlowAirFlow, Qt::TabFocusReason);
    EXPECT_TRUE(Form->Modified);
    Dialogs.Answers = {TAnswer::Cancel};
    EXPECT_FALSE(Form->close());
    EXPECT_EQ(Dialogs.Log(), (Strings{"YesNoCancel: Quit without saving?"}));
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
    const std::string Power = Form->PointBlocks->Process(1).Rows[TProcessRows::Power].Value.toStdString();
    struct TCase {
        QLineEdit* Field;
        const char* Text;
        const char* Message;
    };
    const std::string NoPressure = "The air pressure must be greater than 0 mbar.";
    const std::string NoDensity =
        "No air density can be calculated for this temperature: it must be above -273 °C.";
    const std::string TooLarge =
        "The air flow is too large: the powers and the water flow cannot be calculated.";
    const TCase Cases[] = {{Form->edtDensPatm, "0", NoPressure.c_str()},
                           {Form->edtDensPatm, "-1013", NoPressure.c_str()},
                           {Form->edtDensTemp, "-273", NoDensity.c_str()},
                           {Form->edtDensTemp, "-300", NoDensity.c_str()},
                           {Form->edtFlowAirFlow, "1e308", TooLarge.c_str()}};
    const std::vector<std::pair<const char*, std::function<void(QLineEdit*)>>> Ways = {
        {"Enter", [&](QLineEdit* Field) { PressEnter(Field); }},
        {"Tab", [&](QLineEdit* Field) { QTest::keyClick(Field, Qt::Key_Tab); }},
        {"update button", [&](QLineEdit*) { Form->btnUpdateFlowData->click(); }}};
    for (const TCase& C : Cases) {
        for (const auto& [Way, Act] : Ways) {
            SCOPED_TRACE(std::string(C.Text) + " by " + Way);
            const QString Kept = C.Field->text();
            C.Field->setFocus(Qt::OtherFocusReason);
            Form->Modified = false;
            Dialogs.Clear();
            C.Field->setText(QString::fromLatin1(C.Text));
            Act(C.Field);
            QCoreApplication::processEvents(); // the focus change ends
            EXPECT_EQ(Dialogs.Log(), (Strings{"Message: " + std::string(C.Message)}));
            EXPECT_EQ(Dialogs.Asked.empty() ? TMessageKind::Plain : Dialogs.Asked[0].Kind, TMessageKind::Error);
            EXPECT_EQ(State(), Before);
            EXPECT_EQ(Form->PointBlocks->Process(1).Rows[TProcessRows::Power].Value.toStdString(), Power);
            EXPECT_FALSE(Form->Modified);
            EXPECT_EQ(C.Field->text().toStdString(), C.Text);
            EXPECT_EQ(C.Field->selectedText().toStdString(), C.Text);
            EXPECT_EQ(Form->focusWidget(), C.Field);
            C.Field->setText(Kept);
        }
    }

    // In Swedish, and a plausible value still goes through.
    TTranslator::SetLanguage(1);
    Dialogs.Clear();
    Form->edtDensPatm->setText("0");
    PressEnter(Form->edtDensPatm);
    EXPECT_EQ(Dialogs.Log(), (Strings{"Message: Lufttrycket måste vara större än 0 mbar."}));
    Form->edtDensPatm->setText("950");
    PressEnter(Form->edtDensPatm);
    EXPECT_DOUBLE_EQ(D.Pressure, 95);
    EXPECT_TRUE(Form->Modified);
    TTranslator::SetLanguage(0);
}

// The caret starts in the air-flow field; the menus opened from the
// keyboard take the focus from it without being another control of the
// window, so a save followed by Exit asks nothing.
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
    Keys(Qt::Key_F, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), Form->mnuFile);
    Keys(Qt::Key_S);
    EXPECT_EQ(Dialogs.Log(), (Strings{"Save: "}));
    EXPECT_EQ(Work.Read("plan.pkx").rfind("<?xml", 0), 0u);
    EXPECT_FALSE(Form->Modified);

    Keys(Qt::Key_F10);
    Keys(Qt::Key_Alt);
    Keys(Qt::Key_Escape);
    LeaveField(Form->edtFlowAirFlow, Qt::MenuBarFocusReason);
    EXPECT_FALSE(Form->Modified);
    Keys(Qt::Key_F, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), Form->mnuFile);
    Keys(Qt::Key_X);
    EXPECT_FALSE(Form->isVisible()) << "closed without a question";
    EXPECT_EQ(Dialogs.Log(), (Strings{"Save: "}));
}

TEST_F(FormMainChartTest, TheCursorReadOutShowsTheStateUnderThePointerWithinTheChart) {
    Form->PaintBox1->grab(); // a drawing gives the layout
    const TMollierDraw& Draw = *Form->Draw;
    MoveTo(Draw.StateToPixel(20, 0.010));
    const QRegularExpression Pattern(
        QString::fromUtf8("^T=20\\.0 °C    RH=(\\d+\\.\\d) %    x=10\\.0 g/kg    i=(\\d+\\.\\d) kJ/kg$"));
    const QRegularExpressionMatch Match = Pattern.match(Form->StatusText(1));
    ASSERT_TRUE(Match.hasMatch()) << ReadOut();
    const TMollierCalculate& Calc = TMollierCalculate::GetInstance();
    EXPECT_NEAR(Match.captured(1).toDouble(), Calc.RelHumFromTempSpecHum(20, 0.010), 0.5);
    EXPECT_NEAR(Match.captured(2).toDouble(), Calc.Enthalpy(20, 0.010), 0.3);

    // Clicks change nothing.
    QTest::mouseClick(Form->PaintBox1, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(Form->PaintBox1, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(Pattern.match(Form->StatusText(1)).hasMatch());
    EXPECT_TRUE(Dialogs.Asked.empty());

    struct TOutside {
        const char* Name;
        TPoint At;
    };
    const TOutside Outside[] = {
        {"the margin", {2, 2}},
        {"beyond saturation", Draw.StateToPixel(5, 0.030)},
        {"below the lowest temperature", Draw.StateToPixel(Draw.MinTemp() - 3, 0.001)}};
    for (const TOutside& O : Outside) {
        SCOPED_TRACE(O.Name);
        MoveTo(Draw.StateToPixel(20, 0.010));
        ASSERT_FALSE(ReadOut().empty());
        MoveTo(O.At);
        EXPECT_EQ(ReadOut(), "");
    }

    SetDecimalSeparator(',');
    MoveTo(Draw.StateToPixel(20, 0.010));
    EXPECT_EQ(ReadOut().rfind("T=20,0 °C    RH=", 0), 0u) << ReadOut();
    SetDecimalSeparator('.');
}

TEST_F(FormMainChartTest, TextsFollowTheLanguageAtTheNextRepaint) {
    EXPECT_EQ(Form->btnAdd->text().toStdString(), "&Add");
    TTranslator::SetLanguage(1);
    EXPECT_EQ(Form->btnAdd->text().toStdString(), "&Add") << "not before the repaint";
    Form->PaintBox1->grab();
    EXPECT_EQ(Form->btnAdd->text().toStdString(), "&Lägg till");
    EXPECT_EQ(Form->mnuFile->title().toStdString(), "&Arkiv");
    EXPECT_EQ(Form->windowTitle().toStdString(), "Psykrona 2.1b");
    TTranslator::SetLanguage(0);
}

// A paint rewrites texts and blocks; none of that may ask for another paint.
TEST_F(FormMainChartTest, OneInvalidationGivesOnePaintAndNoMore) {
    AddPoint("A", "20", "50");
    int Paints = 0;
    const auto Paint = Form->PaintBox1->OnPaint;
    Form->PaintBox1->OnPaint = [&](QPainter& P) {
        ++Paints;
        Paint(P);
    };
    QCoreApplication::processEvents();
    Paints = 0;
    TTranslator::SetLanguage(2); // every text changes in this paint
    Form->InvalidateWindow();
    for (int I = 0; I < 10; ++I) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(Paints, 1);
    EXPECT_EQ(Form->gbPoints->title().toStdString(), "Pontok");
    TTranslator::SetLanguage(0);
    Form->PaintBox1->OnPaint = Paint;
}

TEST_F(FormMainChartTest, AllTheWindowsTextsAreTranslated) {
    // A key shown as itself would mean a missing or misspelt lookup.
    for (QWidget* W : Form->findChildren<QWidget*>()) {
        QString Text;
        if (auto* L = qobject_cast<QLabel*>(W)) {
            Text = L->text();
        } else if (auto* B = qobject_cast<QAbstractButton*>(W)) {
            Text = B->text();
        }
        EXPECT_FALSE(Text.contains(QRegularExpression("^[A-Z]+_[A-Z_]+"))) << W->objectName().toStdString();
    }
    EXPECT_EQ(Form->tbEdit->toolTip().toStdString(), "Edit the selected point");
    EXPECT_EQ(Form->rbDensNormal->text().toStdString(), "Normal (1.2 kg/m³)");
    EXPECT_EQ(Form->gbPoints->title().toStdString(), "Points");
}

// ---- Start of the program ----

// Runs Script on the modal window once one is shown; gives up, ending every
// message loop, when none comes.
void WhenModalShown(std::function<void(QWidget&)> Script, int Tries = 200) {
    QTimer::singleShot(5, [Script, Tries] {
        if (QWidget* Modal = QApplication::activeModalWidget()) {
            Script(*Modal);
        } else if (Tries > 0) {
            WhenModalShown(Script, Tries - 1);
        } else {
            ADD_FAILURE() << "no modal window came";
            QCoreApplication::exit(2);
        }
    });
}

class ProgramStartTest : public testing::Test {
protected:
    ProgramStartTest() { SetDecimalSeparator('.'); }
    test::TTempFolder ProgramDir;
    test::TTempFolder Work;
    test::TScriptedUserDialogs Dialogs;
};

TEST_F(ProgramStartTest, WithoutTheLanguageListTheProgramSaysWhyAndEnds) {
    EXPECT_EQ(RunPsykrona({}, ProgramDir.Dir()), 1);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, TMessageKind::Failure);
    EXPECT_NE(Dialogs.Asked[0].Text.find("Languages.xml"), std::string::npos) << Dialogs.Asked[0].Text;
}

// The whole start: the windows in their order, the start-up window, a new
// project and the file named first on the command line; closing ends it.
TEST_F(ProgramStartTest, TheStartUpWindowComesFirstThenTheProjectOnTheCommandLine) {
    test::WriteLanguages(ProgramDir);
    Work.Write("notes.txt", "not a project");
    std::vector<std::string> Seen;
    WhenModalShown([&](QWidget& Modal) {
        auto* Intro = qobject_cast<TfrmIntro*>(&Modal);
        ASSERT_NE(Intro, nullptr);
        TfrmMain* Main = qobject_cast<TfrmMain*>(Intro->parentWidget());
        ASSERT_NE(Main, nullptr);
        EXPECT_TRUE(Main->isVisible());
        for (QObject* Child : Main->children()) {
            if (qobject_cast<QDialog*>(Child)) {
                Seen.push_back(Child->metaObject()->className());
            }
        }
        Intro->btnOK->click();
        QTimer::singleShot(0, [Main] { Main->close(); });
    });
    EXPECT_EQ(RunPsykrona({Work.File("notes.txt")}, ProgramDir.Dir()), 0);
    EXPECT_EQ(Seen, (Strings{"psykrona::TfrmPreview", "psykrona::TfrmEditPoint", "psykrona::TfrmOptionsChart",
                             "psykrona::TfrmVersion", "psykrona::TfrmPrint", "psykrona::TfrmLanguages",
                             "psykrona::TfrmIntro"}));
    EXPECT_EQ(Dialogs.Log(), (Strings{"Message: This file cannot be opened: only Psykrona project files "
                                      "(*.pkx, *.pkr) are supported.\n" +
                                      Work.File("notes.txt")}));
}

TEST_F(ProgramStartTest, CancellingTheStartUpWindowEndsTheProgram) {
    test::WriteLanguages(ProgramDir);
    WhenModalShown([](QWidget& Modal) {
        auto* Intro = qobject_cast<TfrmIntro*>(&Modal);
        ASSERT_NE(Intro, nullptr);
        Intro->btnCancel->click();
    });
    EXPECT_EQ(RunPsykrona({}, ProgramDir.Dir()), 0);
    EXPECT_TRUE(Dialogs.Asked.empty());
}

TEST_F(ProgramStartTest, AProjectOnTheCommandLineIsOpened) {
    test::WriteLanguages(ProgramDir);
    TMain Doc;
    Doc.AddPoint().Name = "Only";
    Work.Write("plan.pkx", TMollierFileHandling::ProjectToXml(Doc));
    TfrmMain Form(ProgramDir.Dir());
    Form.StartFileName = Work.File("plan.pkx");
    Form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(Form.windowTitle().toStdString(), "Psykrona 2.1b - " + Work.File("plan.pkx"));
    EXPECT_EQ(Form.Document->PointCount(), 1);
    EXPECT_TRUE(Dialogs.Asked.empty());
    Form.close();
}

// ---- The program's failure report and file types ----

class Throwing : public QObject {
public:
    bool event(QEvent*) override { throw std::runtime_error("boom"); }
};

TEST(ProgramFailureReport, AFailureLeavingAnEventHandlerIsShownWithItsOwnMessage) {
    test::TScriptedUserDialogs Dialogs;
    Throwing Receiver;
    QEvent Event(QEvent::User);
    EXPECT_FALSE(QApplication::sendEvent(&Receiver, &Event));
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Kind, TMessageKind::Failure);
    EXPECT_EQ(Dialogs.Asked[0].Text, "boom");
}

TEST(FileFilter, TypesPatternsAndTheExtensionEachTypeGives) {
    const std::vector<TFileType> Types = ParseFileFilter(TfrmMain::OpenFilter);
    ASSERT_EQ(Types.size(), 3u);
    EXPECT_EQ(Types[0].Description, "Psykrona file (*.pkx)");
    EXPECT_EQ(Types[1].Extension(), "pkr");
    EXPECT_EQ(Types[2].Patterns, (Strings{"*.*"}));
    EXPECT_EQ(Types[2].Extension(), "");
    EXPECT_EQ(ParseFileFilter("Pictures|*.bmp;*.jpg")[0].Extension(), "");
    EXPECT_TRUE(ParseFileFilter("").empty());
}

} // namespace
} // namespace psykrona
