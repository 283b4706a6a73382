// The flow-data panel of the main window: flow data that no air can have is
// refused, and a menu opened from the keyboard is no flow-data update.
#include "ui/FormMain.h"

#include "ui/PointBlocks.h"

#include "tests/ui/UiFixture.h"

#include <QMenu>
#include <QTest>

namespace psykrona {
namespace {

using test::Strings;

class FormMainFlowDataTest : public test::TMainWindowTest {
protected:
    void PressEnter(QLineEdit* Field) { QTest::keyClick(Field, Qt::Key_Return); }
    std::string Power() const {
        return Form->PointBlocks->Process(1).Rows[TProcessRows::Power].Value.toStdString();
    }
};

// Flow data no air can have is refused in the user's language however the
// update comes; the document stays, the field keeps the typed text selected.
TEST_F(FormMainFlowDataTest, FlowDataThatCannotBePhysicalIsRefused) {
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
    const std::tuple<QLineEdit*, const char*, std::string> Cases[] = {
        {Form->edtDensPatm, "0", NoPressure},
        {Form->edtDensTemp, "-273", "No air density can be calculated for this temperature: it must be above -273 °C."},
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

// Menus opened from the keyboard take the focus from the air-flow field
// without being another control: Save then Exit by keys ask nothing.
TEST_F(FormMainFlowDataTest, KeyboardMenusAreNoFlowDataUpdate) {
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

} // namespace
} // namespace psykrona
