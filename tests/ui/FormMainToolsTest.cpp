// The Tools menu driven through its dialogs: a request without an answer is
// refused and adds nothing; a result is added as an ordinary point after the
// selection (or the later of two points, or at the end) and meets its
// process's definition.
#include "engine/MollierProcess.h"
#include "ui/FormAltitude.h"
#include "ui/FormDewWetPoint.h"
#include "ui/FormMix.h"
#include "ui/FormProcess.h"

#include "tests/ui/UiFixture.h"

#include <QComboBox>

namespace psykrona {
namespace {

using test::Strings;
using test::WhenShown;
using FormMainToolsTest = test::TMainWindowTest;

TEST_F(FormMainToolsTest, EachToolRefusesOrAddsItsResultInItsPlace) {
    AddPoint("Outdoor", "30", "60");
    AddPoint("Room", "22", "40");
    const auto& Pts = Form->Document->Points;
    const TMollierProcess Engine(Form->Document->Pressure);
    Form->ListBox1->setCurrentRow(0);
    Dialogs.Clear();
    WhenShown<TfrmProcess>([this](TfrmProcess& D) {
        D.cboProcess->setCurrentIndex(TfrmProcess::HeatToTemp);
        D.edtValue1->setText("5"); // below the dew point
        D.btnOK->click();
        EXPECT_EQ(Dialogs.Log(), (Strings{"Message: The relative humidity must not be above 100%"}));
        D.cboProcess->setCurrentIndex(TfrmProcess::CoilBypass);
        D.edtValue1->setText("10");
        D.edtValue2->setText("0.2");
        D.btnOK->click();
    });
    Form->mnuToolsProcess->trigger();
    ASSERT_EQ(PointNames(), (Strings{"1:Outdoor", "2:Cooling coil, bypass factor", "3:Room"}));
    const TMoistAirState Coil =
        Engine.CoilByBypass({Pts[0].Temp, Pts[0].SpecHum, Pts[0].RelHum, Pts[0].Enthalpy}, 10, 0.2);
    EXPECT_EQ(Pts[1].Prescribed1, PROP_TEMP);
    EXPECT_EQ(Pts[1].Prescribed2, PROP_SPECHUM);
    EXPECT_NEAR(Pts[1].SpecHum, Coil.SpecHum, 5e-7); // rounded to 0.001 g/kg, as typed
    EXPECT_NEAR(Pts[1].Temp, Coil.Temp, 0.005);
    EXPECT_EQ(Form->SelectedRow(), 1);

    WhenShown<TfrmMix>([](TfrmMix& D) {
        D.cboPointA->setCurrentIndex(2);
        D.cboPointB->setCurrentIndex(0);
        D.edtFlowA->setText("3");
        D.edtFlowB->setText("1");
        D.btnOK->click();
    });
    Form->mnuToolsMix->trigger();
    ASSERT_EQ(PointNames().back(), "4:Mixed air");
    EXPECT_NEAR(4 * Pts[3].SpecHum, 3 * Pts[2].SpecHum + Pts[0].SpecHum, 4 * 5e-7);
    EXPECT_NEAR(4 * Pts[3].Enthalpy, 3 * Pts[2].Enthalpy + Pts[0].Enthalpy, 4 * 0.02);

    Form->ListBox1->clearSelection();
    Dialogs.Clear();
    Form->mnuToolsProcess->trigger();
    EXPECT_EQ(Dialogs.Log(), (Strings{"Message: Select a point first."}));
    WhenShown<TfrmDewWetPoint>([](TfrmDewWetPoint& D) {
        D.rbTempDewPoint->click();
        D.edtFirst->setText("20");
        D.edtSecond->setText("25"); // a dew point above the dry bulb
        D.btnOK->click();
        EXPECT_TRUE(D.isVisible());
        D.edtSecond->setText("10");
        D.btnOK->click();
    });
    Form->mnuToolsDewWetPoint->trigger();
    ASSERT_EQ(Pts.size(), 5u);
    EXPECT_NEAR(Engine.DewPoint(Pts[4].SpecHum), 10, 0.01);

    // The pressure from an altitude turns on the real density and
    // recalculates the points; an altitude beyond the atmosphere is refused.
    const double OutdoorSpecHum = Pts[0].SpecHum;
    for (const char* Altitude : {"500", "20000"}) {
        WhenShown<TfrmAltitude>([Altitude](TfrmAltitude& D) {
            D.edtAltitude->setText(Altitude);
            D.btnOK->click();
            if (D.isVisible()) {
                D.btnCancel->click();
            }
        });
        Form->mnuToolsAltitude->trigger();
        EXPECT_TRUE(Form->rbDensReal->isChecked());
        EXPECT_NEAR(Form->Document->Pressure, TMollierProcess::PressureFromAltitude(500), 0.005);
        EXPECT_GT(Pts[0].SpecHum, OutdoorSpecHum);
    }
    EXPECT_EQ(Dialogs.Asked.back().Kind, TMessageKind::Error);
}

} // namespace
} // namespace psykrona
