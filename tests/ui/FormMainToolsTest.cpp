// The Tools menu driven through its dialogs: each tool shows the resulting
// state before it adds it, refuses what has no answer with a message and
// adds nothing then, and adds an ordinary point in the right place with the
// right prescribed pair.
#include "ui/FormMain.h"

#include "engine/Main.h"
#include "engine/MollierProcess.h"
#include "ui/FormAltitude.h"
#include "ui/FormDewWetPoint.h"
#include "ui/FormMix.h"
#include "ui/FormPointProperties.h"
#include "ui/FormProcess.h"

#include "tests/ui/UiFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace psykrona {
namespace {

using test::TMainWindowTest;
using Strings = std::vector<std::string>;

// Runs Script on the modal dialog of type T that the next command shows;
// a dialog left open is rejected and counted as a failure.
template <typename T> void WhenShown(std::function<void(T&)> Script) {
    QTimer::singleShot(0, [Script] {
        T* Dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (Dialog == nullptr) {
            ADD_FAILURE() << "the dialog was not shown";
            return;
        }
        Script(*Dialog);
        if (Dialog->isVisible()) {
            ADD_FAILURE() << "the script left the dialog open";
            Dialog->reject();
        }
    });
}

TMoistAirState StateOf(const TMollierPoint& P) {
    return {P.Temp, P.SpecHum, P.RelHum, P.Enthalpy};
}

class FormMainToolsTest : public TMainWindowTest {
protected:
    void TwoPoints() {
        AddPoint("Outdoor", "30", "60");
        AddPoint("Room", "22", "40");
        Form->Modified = false;
        Dialogs.Clear();
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> Texts;
        for (const auto& A : Dialogs.Asked) {
            Texts.push_back(A.Text);
        }
        return Texts;
    }
};

TEST_F(FormMainToolsTest, ToolsMenuStandsBetweenOptionsAndHelpInEveryLanguage) {
    Strings Titles;
    for (QAction* A : Form->menuBar()->actions()) {
        Titles.push_back(A->text().toStdString());
    }
    EXPECT_EQ(Titles, (Strings{"&File", "&Options", "&Tools", "&Help"}));
    EXPECT_EQ(Form->mnuOptions->actions().size(), 2);
    EXPECT_EQ(Form->mnuHelp->actions().size(), 3);
    TTranslator::SetLanguage(1);
    Form->ApplyTexts();
    EXPECT_EQ(Form->mnuTools->title().toStdString(), "&Verktyg");
    EXPECT_EQ(Form->mnuToolsAltitude->text().toStdString(), "Tryck från &höjd över havet...");
    TTranslator::SetLanguage(0);
}

// A cooling coil from the selected first point: the result is shown, then
// added as point 2, prescribed by temperature and humidity ratio, with a
// line from point 1; an impossible request is refused and adds nothing.
TEST_F(FormMainToolsTest, ProcessShowsRefusesAndInsertsAfterTheSelectedPoint) {
    TwoPoints();
    Form->ListBox1->setCurrentRow(0);
    Form->Document->Points[0].LineToNext = false;
    WhenShown<TfrmProcess>([this](TfrmProcess& D) {
        D.cboProcess->setCurrentIndex(TfrmProcess::HeatToTemp);
        D.edtValue1->setText("5"); // below the dew point
        D.btnOK->click();
        EXPECT_TRUE(D.isVisible());
        EXPECT_EQ(Messages(), (Strings{"The relative humidity must not be above 100%"}));
        D.cboProcess->setCurrentIndex(TfrmProcess::CoilBypass);
        D.edtValue1->setText("10");
        D.edtValue2->setText("0.2");
        D.btnCalculate->click();
        EXPECT_NE(D.lblResult->text().toStdString().find("Wet-bulb temperature"), std::string::npos);
        D.btnOK->click();
    });
    Form->mnuToolsProcess->trigger();
    ASSERT_EQ(PointNames(), (Strings{"1:Outdoor", "2:Cooling coil, bypass factor", "3:Room"}));
    EXPECT_EQ(ListRows(), (Strings{"1", "2", "3"}));
    const TMollierPoint& P = Form->Document->Points[1];
    EXPECT_EQ(P.Prescribed1, PROP_TEMP);
    EXPECT_EQ(P.Prescribed2, PROP_SPECHUM);
    const TMoistAirState Expected =
        TMollierProcess(Form->Document->Pressure).CoilByBypass(StateOf(Form->Document->Points[0]), 10, 0.2);
    EXPECT_NEAR(P.SpecHum, Expected.SpecHum, 5e-7); // rounded to 0.001 g/kg
    EXPECT_NEAR(P.Temp, Expected.Temp, 0.005);
    EXPECT_EQ(FloatToStr(P.Temp).size(), 5U); // "12.xx", as typed
    EXPECT_TRUE(Form->Document->Points[0].LineToNext);
    EXPECT_TRUE(Form->Modified);
    EXPECT_EQ(Form->SelectedRow(), 1);

    // Cancel adds nothing; without a selection the tool says so.
    Form->Modified = false;
    WhenShown<TfrmProcess>([](TfrmProcess& D) { D.btnCancel->click(); });
    Form->mnuToolsProcess->trigger();
    EXPECT_EQ(Form->Document->PointCount(), 3);
    EXPECT_FALSE(Form->Modified);
    Dialogs.Clear();
    Form->ListBox1->clearSelection();
    Form->mnuToolsProcess->trigger();
    EXPECT_EQ(Messages(), (Strings{"Select a point first."}));
}

// Adiabatic humidification is prescribed by enthalpy and humidity ratio, so
// the pressure from the altitude keeps what it fixed, while a point fixed by
// temperature and relative humidity is calculated again.
TEST_F(FormMainToolsTest, AltitudeSetsRealDensityAndKeepsWhatEachToolFixed) {
    TwoPoints();
    Form->ListBox1->setCurrentRow(1);
    WhenShown<TfrmProcess>([](TfrmProcess& D) {
        D.cboProcess->setCurrentIndex(TfrmProcess::AdiabaticToRelHum);
        D.edtValue1->setText("80");
        D.btnOK->click();
    });
    Form->mnuToolsProcess->trigger();
    ASSERT_EQ(Form->Document->PointCount(), 3);
    const TMollierPoint& Humidified = Form->Document->Points[2];
    EXPECT_EQ(Humidified.Prescribed1, PROP_SPECHUM);
    EXPECT_EQ(Humidified.Prescribed2, PROP_ENTHALPY);
    EXPECT_NEAR(Humidified.RelHum, 80, 0.05);
    const double H = Humidified.Enthalpy;
    const double X = Humidified.SpecHum;
    const double OutdoorX = Form->Document->Points[0].SpecHum;

    Form->Modified = false;
    WhenShown<TfrmAltitude>([](TfrmAltitude& D) {
        D.edtAltitude->setText("500");
        D.btnCalculate->click();
        EXPECT_EQ(D.lblPressure->text().toStdString(), "Barometric pressure 954.6 mbar");
        EXPECT_NE(D.lblNote->text().toStdString().find("real density"), std::string::npos);
        D.btnOK->click();
    });
    Form->mnuToolsAltitude->trigger();
    EXPECT_TRUE(Form->rbDensReal->isChecked());
    EXPECT_EQ(Form->edtDensPatm->text().toStdString(), "954.6");
    EXPECT_DOUBLE_EQ(Form->Document->Pressure, 95.46);
    EXPECT_TRUE(Form->Modified);
    EXPECT_GT(Form->Document->Points[0].SpecHum, OutdoorX); // recalculated
    EXPECT_EQ(Humidified.Enthalpy, H);
    EXPECT_EQ(Humidified.SpecHum, X);

    WhenShown<TfrmAltitude>([this](TfrmAltitude& D) {
        D.edtAltitude->setText("20000");
        D.btnOK->click();
        EXPECT_TRUE(D.isVisible());
        EXPECT_EQ(Dialogs.Asked.back().Kind, TMessageKind::Error);
        D.btnCancel->click();
    });
    Form->mnuToolsAltitude->trigger();
    EXPECT_DOUBLE_EQ(Form->Document->Pressure, 95.46);
}

// The mixed point goes after the later of the two and keeps the balances.
TEST_F(FormMainToolsTest, MixInsertsAfterTheLaterPoint) {
    TwoPoints();
    AddPoint("Supply", "16", "70");
    Form->ListBox1->setCurrentRow(0);
    WhenShown<TfrmMix>([](TfrmMix& D) {
        D.cboPointA->setCurrentIndex(1);
        D.cboPointB->setCurrentIndex(0);
        D.edtFlowA->setText("3");
        D.edtFlowB->setText("1");
        D.btnOK->click();
    });
    Form->mnuToolsMix->trigger();
    ASSERT_EQ(PointNames(), (Strings{"1:Outdoor", "2:Room", "3:Mixed air", "4:Supply"}));
    const auto& Pts = Form->Document->Points;
    EXPECT_NEAR(4 * Pts[2].SpecHum, 3 * Pts[1].SpecHum + Pts[0].SpecHum, 4 * 5e-7);
    EXPECT_NEAR(4 * Pts[2].Enthalpy, 3 * Pts[1].Enthalpy + Pts[0].Enthalpy, 4 * 0.02);
    EXPECT_TRUE(Pts[1].LineToNext);
}

// Dew point or wet bulb: after the selected point, or at the end.
TEST_F(FormMainToolsTest, DewOrWetBulbPointGoesAfterTheSelectionOrAtTheEnd) {
    WhenShown<TfrmDewWetPoint>([](TfrmDewWetPoint& D) {
        D.rbTempDewPoint->click();
        D.edtFirst->setText("20");
        D.edtSecond->setText("25");
        D.btnOK->click(); // dew point above the dry bulb
        EXPECT_TRUE(D.isVisible());
        D.edtSecond->setText("10");
        D.btnOK->click();
    });
    Form->mnuToolsDewWetPoint->trigger();
    ASSERT_EQ(Form->Document->PointCount(), 1);
    EXPECT_EQ(Dialogs.Asked.size(), 1U);
    TMollierProcess P(Form->Document->Pressure);
    EXPECT_NEAR(P.DewPoint(Form->Document->Points[0].SpecHum), 10, 0.01);
    EXPECT_TRUE(Form->btnEdit->isEnabled());

    Form->ListBox1->setCurrentRow(0);
    WhenShown<TfrmDewWetPoint>([](TfrmDewWetPoint& D) {
        D.rbWetBulbRelHum->click();
        D.edtFirst->setText("15");
        D.edtSecond->setText("50");
        D.btnOK->click();
    });
    Form->mnuToolsDewWetPoint->trigger();
    ASSERT_EQ(Form->Document->PointCount(), 2);
    const TMollierPoint& W = Form->Document->Points[1];
    EXPECT_NEAR(W.RelHum, 50, 0.05);
    EXPECT_NEAR(P.WetBulb(W.Temp, W.SpecHum), 15, 0.01);

    // A saturated state stays at saturation after its values are rounded.
    WhenShown<TfrmDewWetPoint>([](TfrmDewWetPoint& D) {
        D.rbTempDewPoint->click();
        D.edtFirst->setText("23.456");
        D.edtSecond->setText("23.456");
        D.btnOK->click();
    });
    Form->mnuToolsDewWetPoint->trigger();
    ASSERT_EQ(Form->Document->PointCount(), 3);
    EXPECT_LE(Form->Document->Points[2].RelHum, 100);
    EXPECT_GT(Form->Document->Points[2].RelHum, 99.9);
}

TEST_F(FormMainToolsTest, PropertiesWindowFollowsTheSelectedPoint) {
    TwoPoints();
    Form->Document->AirFlow = 2;
    Form->ListBox1->setCurrentRow(0);
    Form->mnuToolsProperties->trigger();
    TfrmPointProperties* W = Form->frmPointProperties;
    ASSERT_TRUE(W != nullptr && W->isVisible());
    EXPECT_EQ(W->lblPoint->text().toStdString(), "1. Outdoor");
    EXPECT_TRUE(W->lblProcess->text().isEmpty());
    Form->ListBox1->setCurrentRow(1);
    EXPECT_EQ(W->lblPoint->text().toStdString(), "2. Room");
    EXPECT_NE(W->lblProcess->text().toStdString().find("Latent power"), std::string::npos);
    // An edit of the point shows at the next repaint.
    Form->Document->Points[1].Name = "Office";
    Form->InvalidateWindow();
    QCoreApplication::processEvents();
    Form->repaint();
    EXPECT_EQ(W->lblPoint->text().toStdString(), "2. Office");
    Form->ListBox1->clearSelection();
    EXPECT_EQ(W->lblPoint->text().toStdString(), "Select a point first.");
    W->close();
}

} // namespace
} // namespace psykrona
