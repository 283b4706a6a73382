#include "ui/FormPointProperties.h"

#include "engine/Main.h"
#include "engine/MollierProcess.h"
#include "engine/NumberText.h"
#include "ui/DialogLayout.h"
#include "ui/ToolDialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace psykrona {

TfrmPointProperties::TfrmPointProperties(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("frmPointProperties"));
    setFont(DialogFont());
    auto* Outer = new QVBoxLayout(this);
    lblPoint = new QLabel(this);
    lblPoint->setStyleSheet(QStringLiteral("font-weight: bold"));
    lblState = new QLabel(this);
    lblState->setMinimumWidth(260);
    lblProcess = new QLabel(this);
    Outer->addWidget(lblPoint);
    Outer->addWidget(lblState);
    Outer->addWidget(lblProcess);
    auto* Buttons = new QHBoxLayout;
    btnClose = new QPushButton(this);
    Buttons->addStretch();
    Buttons->addWidget(btnClose);
    Outer->addLayout(Buttons);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
}

void TfrmPointProperties::ShowPoint(const TMain& Doc, int Row) {
    setWindowTitle(ToolQText("TITLE_PROPERTIES"));
    btnClose->setText(ToolQText("BTN_CLOSE"));
    lblState->clear();
    lblProcess->clear();
    if (Row < 0 || Row >= Doc.PointCount()) {
        lblPoint->setText(ToolQText("MSG_SELECT_POINT"));
        return;
    }
    const TMollierPoint& P = Doc.Points[static_cast<std::size_t>(Row)];
    lblPoint->setText(QText(std::to_string(P.Number) + ". " + P.Name));
    const TMoistAirState S{P.Temp, P.SpecHum, P.RelHum, P.Enthalpy};
    try {
        lblState->setText(ToolStateText(Doc.Pressure, S));
    } catch (const std::exception& E) {
        lblState->setText(ToolQText("MSG_NO_RESULT") + QStringLiteral("\n") + QText(E.what()));
    }
    if (Row == 0 || !Doc.Points[static_cast<std::size_t>(Row - 1)].LineToNext) {
        return;
    }
    const TMollierPoint& Q = Doc.Points[static_cast<std::size_t>(Row - 1)];
    const TProcessQuantities R =
        TMollierProcess::Quantities({Q.Temp, Q.SpecHum, Q.RelHum, Q.Enthalpy}, S, Doc.AirFlow, Doc.Density);
    const std::string Shr = std::isfinite(R.SensibleHeatRatio) ? FormatFixed(R.SensibleHeatRatio, 2) : "-";
    lblProcess->setText(QText(ToolText("LBL_PROCESS_IN") + " " + std::to_string(Q.Number) + " -> " +
                              std::to_string(P.Number) + "\n" + ToolText("LBL_LATENT_POWER") + " " +
                              FormatFixed(R.LatentPower, 1) + " kW\n" + ToolText("LBL_SHR") + " " + Shr +
                              "\n" + ToolText("LBL_WATER_PER_HOUR") + " " + FormatFixed(R.WaterPerHour, 2) +
                              " kg/h"));
}

} // namespace psykrona
