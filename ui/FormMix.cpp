#include "ui/FormMix.h"

#include "engine/Main.h"
#include "engine/MollierProcess.h"
#include "ui/DialogLayout.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace psykrona {

TfrmMix::TfrmMix(QWidget* Parent) : TToolDialog(Parent) {
    setObjectName(QStringLiteral("frmMix"));
    stPointA = new QLabel(this);
    cboPointA = new QComboBox(this);
    stFlowA = new QLabel(this);
    edtFlowA = new QLineEdit(this);
    stPointB = new QLabel(this);
    cboPointB = new QComboBox(this);
    stFlowB = new QLabel(this);
    edtFlowB = new QLineEdit(this);
    FGrid->addWidget(stPointA, 0, 0);
    FGrid->addWidget(cboPointA, 0, 1);
    FGrid->addWidget(stFlowA, 1, 0);
    FGrid->addWidget(edtFlowA, 1, 1);
    FGrid->addWidget(new QLabel(QStringLiteral("m³/s"), this), 1, 2);
    FGrid->addWidget(stPointB, 2, 0);
    FGrid->addWidget(cboPointB, 2, 1);
    FGrid->addWidget(stFlowB, 3, 0);
    FGrid->addWidget(edtFlowB, 3, 1);
    FGrid->addWidget(new QLabel(QStringLiteral("m³/s"), this), 3, 2);
}

void TfrmMix::LoadTexts() {
    setWindowTitle(ToolQText("TITLE_MIX"));
    stPointA->setText(ToolQText("LBL_POINT_A"));
    stPointB->setText(ToolQText("LBL_POINT_B"));
    stFlowA->setText(ToolQText("LBL_FLOW_A"));
    stFlowB->setText(ToolQText("LBL_FLOW_B"));
    FillPointChoice(cboPointA, *Document, SelectedRow);
    FillPointChoice(cboPointB, *Document, SelectedRow + 1 < Document->PointCount() ? SelectedRow + 1 : 0);
}

int TfrmMix::LaterPosition() const {
    return std::max(cboPointA->currentIndex(), cboPointB->currentIndex()) + 1;
}

TMoistAirState TfrmMix::Calculate() {
    auto StateAt = [this](const QComboBox* Combo) {
        const TMollierPoint& P = Document->Points[static_cast<std::size_t>(Combo->currentIndex())];
        return TMoistAirState{P.Temp, P.SpecHum, P.RelHum, P.Enthalpy};
    };
    const TMoistAirState A = StateAt(cboPointA);
    const TMoistAirState B = StateAt(cboPointB);
    // Dry-air mass flows, each stream at the density the project's rule gives it.
    const double Ma = ToolNumber(edtFlowA) * TMollierProcess::StreamDensity(*Document, A.Temp);
    const double Mb = ToolNumber(edtFlowB) * TMollierProcess::StreamDensity(*Document, B.Temp);
    return TMollierProcess(Document->Pressure).Mix(A, Ma, B, Mb);
}

} // namespace psykrona
