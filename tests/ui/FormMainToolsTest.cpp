// The Tools menu driven through its process dialog: a request without an
// answer is refused and adds nothing; a result is added as an ordinary point
// after the selection and meets its process's definition.
#include "engine/MollierProcess.h"
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

    Form->ListBox1->clearSelection();
    Dialogs.Clear();
    Form->mnuToolsProcess->trigger();
    EXPECT_EQ(Dialogs.Log(), (Strings{"Message: Select a point first."}));
}

} // namespace
} // namespace psykrona
