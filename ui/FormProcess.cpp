#include "ui/FormProcess.h"

#include "engine/Main.h"
#include "engine/MollierProcess.h"
#include "engine/NumberText.h"
#include "ui/DialogLayout.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace psykrona {

namespace {

// Per process: its name, the captions of its fields (nullptr: field hidden)
// and whether it takes the extract point.
struct TProcessTexts {
    const char* Name;
    const char* Value1;
    const char* Value2;
    bool Extract;
};

constexpr TProcessTexts KTexts[TfrmProcess::KindCount] = {
    {"TXT_HEAT_TO_TEMP", "LBL_LEAVING_TEMP", nullptr, false},
    {"TXT_HEAT_BY_POWER", "LBL_POWER", nullptr, false},
    {"TXT_COIL_LEAVING_TEMP", "LBL_ADP", "LBL_LEAVING_TEMP", false},
    {"TXT_COIL_BYPASS", "LBL_ADP", "LBL_BYPASS", false},
    {"TXT_STEAM_TO_REL_HUM", "LBL_TARGET_REL_HUM", "LBL_STEAM_ENTHALPY", false},
    {"TXT_STEAM_TO_SPEC_HUM", "LBL_TARGET_SPEC_HUM", "LBL_STEAM_ENTHALPY", false},
    {"TXT_ADIABATIC_TO_REL_HUM", "LBL_TARGET_REL_HUM", nullptr, false},
    {"TXT_ADIABATIC_TO_SPEC_HUM", "LBL_TARGET_SPEC_HUM", nullptr, false},
    {"TXT_HEAT_RECOVERY", "LBL_EFFICIENCY", nullptr, true},
};

} // namespace

TfrmProcess::TfrmProcess(QWidget* Parent) : TToolDialog(Parent) {
    setObjectName(QStringLiteral("frmProcess"));
    lblPoint = new QLabel(this);
    stProcess = new QLabel(this);
    cboProcess = new QComboBox(this);
    stValue1 = new QLabel(this);
    edtValue1 = new QLineEdit(this);
    stValue2 = new QLabel(this);
    edtValue2 = new QLineEdit(this);
    stExtract = new QLabel(this);
    cboExtract = new QComboBox(this);
    FGrid->addWidget(lblPoint, 0, 0, 1, 2);
    FGrid->addWidget(stProcess, 1, 0);
    FGrid->addWidget(cboProcess, 1, 1);
    FGrid->addWidget(stValue1, 2, 0);
    FGrid->addWidget(edtValue1, 2, 1);
    FGrid->addWidget(stValue2, 3, 0);
    FGrid->addWidget(edtValue2, 3, 1);
    FGrid->addWidget(stExtract, 4, 0);
    FGrid->addWidget(cboExtract, 4, 1);
    for (int K = 0; K < KindCount; ++K) {
        cboProcess->addItem(QString());
    }
    cboProcess->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(cboProcess, &QComboBox::currentIndexChanged, this, [this] { cboProcessChange(); });
}

void TfrmProcess::LoadTexts() {
    setWindowTitle(ToolQText("TITLE_PROCESS"));
    lblPoint->setText(ToolQText("LBL_FROM_POINT") + QStringLiteral(" ") +
                      QText(std::to_string(Point->Number) + ". " + Point->Name));
    stProcess->setText(ToolQText("LBL_PROCESS"));
    for (int K = 0; K < KindCount; ++K) {
        cboProcess->setItemText(K, ToolQText(KTexts[K].Name));
    }
    stExtract->setText(ToolQText("LBL_EXTRACT_POINT"));
    FillPointChoice(cboExtract, *Document, Document->PointCount() - 1);
    cboProcessChange();
}

void TfrmProcess::cboProcessChange() {
    const TProcessTexts& T = KTexts[cboProcess->currentIndex()];
    stValue1->setText(ToolQText(T.Value1));
    stValue2->setText(T.Value2 != nullptr ? ToolQText(T.Value2) : QString());
    stValue2->setVisible(T.Value2 != nullptr);
    edtValue2->setVisible(T.Value2 != nullptr);
    const bool Steam =
        cboProcess->currentIndex() == SteamToRelHum || cboProcess->currentIndex() == SteamToSpecHum;
    if (Steam && edtValue2->text().isEmpty()) {
        edtValue2->setText(QText(FloatToStr(TMollierProcess::DefaultSteamEnthalpy)));
    } else if (!Steam && edtValue2->text() == QText(FloatToStr(TMollierProcess::DefaultSteamEnthalpy))) {
        edtValue2->clear();
    }
    stExtract->setVisible(T.Extract);
    cboExtract->setVisible(T.Extract);
    lblResult->clear();
}

bool TfrmProcess::ByEnthalpy() const {
    return cboProcess->currentIndex() == AdiabaticToRelHum ||
           cboProcess->currentIndex() == AdiabaticToSpecHum;
}

std::string TfrmProcess::ProcessName() const {
    return ToolText(KTexts[cboProcess->currentIndex()].Name);
}

TMoistAirState TfrmProcess::Calculate() {
    const TMollierProcess P(Document->Pressure);
    const TMoistAirState In{Point->Temp, Point->SpecHum, Point->RelHum, Point->Enthalpy};
    const double V1 = ToolNumber(edtValue1);
    switch (cboProcess->currentIndex()) {
    case HeatToTemp:
        return P.HeatToTemp(In, V1);
    case HeatByPower:
        return P.HeatByPower(In, V1, Document->AirFlow, Document->Density);
    case CoilLeavingTemp:
        return P.CoilToTemp(In, V1, ToolNumber(edtValue2));
    case CoilBypass:
        return P.CoilByBypass(In, V1, ToolNumber(edtValue2));
    case SteamToRelHum:
        return P.SteamToRelHum(In, V1, ToolNumber(edtValue2));
    case SteamToSpecHum:
        return P.SteamToSpecHum(In, V1 / 1000, ToolNumber(edtValue2));
    case AdiabaticToRelHum:
        return P.AdiabaticToRelHum(In, V1);
    case AdiabaticToSpecHum:
        return P.AdiabaticToSpecHum(In, V1 / 1000);
    default: {
        const TMollierPoint& E = Document->Points[static_cast<std::size_t>(cboExtract->currentIndex())];
        return P.HeatRecovery(In, {E.Temp, E.SpecHum, E.RelHum, E.Enthalpy}, V1);
    }
    }
}

} // namespace psykrona
