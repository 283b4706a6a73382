#include "ui/FormDewWetPoint.h"

#include "engine/Main.h"
#include "engine/MollierProcess.h"
#include "localisation/Translator.h"
#include "ui/DialogLayout.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace psykrona {

TfrmDewWetPoint::TfrmDewWetPoint(QWidget* Parent) : TToolDialog(Parent) {
    setObjectName(QStringLiteral("frmDewWetPoint"));
    rbTempDewPoint = new QRadioButton(this);
    rbTempWetBulb = new QRadioButton(this);
    rbWetBulbRelHum = new QRadioButton(this);
    stFirst = new QLabel(this);
    edtFirst = new QLineEdit(this);
    stSecond = new QLabel(this);
    edtSecond = new QLineEdit(this);
    rbTempDewPoint->setChecked(true);
    FGrid->addWidget(rbTempDewPoint, 0, 0, 1, 2);
    FGrid->addWidget(rbTempWetBulb, 1, 0, 1, 2);
    FGrid->addWidget(rbWetBulbRelHum, 2, 0, 1, 2);
    FGrid->addWidget(stFirst, 3, 0);
    FGrid->addWidget(edtFirst, 3, 1);
    FGrid->addWidget(stSecond, 4, 0);
    FGrid->addWidget(edtSecond, 4, 1);
    for (QRadioButton* Choice : {rbTempDewPoint, rbTempWetBulb, rbWetBulbRelHum}) {
        connect(Choice, &QRadioButton::toggled, this, [this](bool On) {
            if (On) {
                rbChoiceClick();
            }
        });
    }
}

void TfrmDewWetPoint::LoadTexts() {
    setWindowTitle(ToolQText("TITLE_DEW_WET"));
    rbTempDewPoint->setText(ToolQText("RDB_TEMP_DEW_POINT"));
    rbTempWetBulb->setText(ToolQText("RDB_TEMP_WET_BULB"));
    rbWetBulbRelHum->setText(ToolQText("RDB_WET_BULB_REL_HUM"));
    rbChoiceClick();
}

void TfrmDewWetPoint::rbChoiceClick() {
    const QString Temp = QText(TTranslator::GetText("POINTS_DATA_LIST", "LBL_TEMPERATURE")) + " (°C)";
    const QString Wet = ToolQText("LBL_WET_BULB") + " (°C)";
    if (rbWetBulbRelHum->isChecked()) {
        stFirst->setText(Wet);
        stSecond->setText(QText(TTranslator::GetText("POINTS_DATA_LIST", "LBL_REL_HUM")) + " (%)");
    } else {
        stFirst->setText(Temp);
        stSecond->setText(rbTempWetBulb->isChecked() ? Wet : ToolQText("LBL_DEW_POINT") + " (°C)");
    }
    lblResult->clear();
}

TMoistAirState TfrmDewWetPoint::Calculate() {
    const TMollierProcess P(Document->Pressure);
    const double First = ToolNumber(edtFirst);
    const double Second = ToolNumber(edtSecond);
    if (rbTempDewPoint->isChecked()) {
        return P.FromTempDewPoint(First, Second);
    }
    if (rbTempWetBulb->isChecked()) {
        return P.FromTempWetBulb(First, Second);
    }
    return P.FromWetBulbRelHum(First, Second);
}

} // namespace psykrona
