#include "ui/FormAltitude.h"

#include "engine/MollierProcess.h"
#include "engine/NumberText.h"
#include "ui/DialogLayout.h"
#include "ui/ToolDialogs.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace psykrona {

TfrmAltitude::TfrmAltitude(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("frmAltitude"));
    setFont(DialogFont());
    auto* Outer = new QVBoxLayout(this);
    auto* Grid = new QGridLayout;
    stAltitude = new QLabel(this);
    edtAltitude = new QLineEdit(this);
    lblPressure = new QLabel(this);
    lblPressure->setObjectName(QStringLiteral("lblPressure"));
    Grid->addWidget(stAltitude, 0, 0);
    Grid->addWidget(edtAltitude, 0, 1);
    Grid->addWidget(new QLabel(QStringLiteral("m"), this), 0, 2);
    Grid->addWidget(lblPressure, 1, 0, 1, 3);
    Outer->addLayout(Grid);
    lblNote = new QLabel(this);
    lblNote->setWordWrap(true);
    lblNote->setMinimumWidth(320);
    Outer->addWidget(lblNote);
    const TToolButtons B = AddToolButtons(
        this, Outer, [this] { btnCalculateClick(); }, [this] { btnOKClick(); });
    btnCalculate = B.Calculate;
    btnOK = B.OK;
    btnCancel = B.Cancel;
}

void TfrmAltitude::showEvent(QShowEvent* Event) {
    setWindowTitle(ToolQText("TITLE_ALTITUDE"));
    stAltitude->setText(ToolQText("LBL_ALTITUDE"));
    lblNote->setText(ToolQText("TXT_ALTITUDE_NOTE"));
    // A wrapped label does not ask for the height its lines need by itself.
    lblNote->setMinimumHeight(lblNote->heightForWidth(lblNote->minimumWidth()));
    ToolButtonTexts({btnCalculate, btnOK, btnCancel});
    lblPressure->clear();
    QDialog::showEvent(Event);
}

bool TfrmAltitude::Run() {
    return ToolTry([this] {
        const double P = TMollierProcess::PressureFromAltitude(ToolNumber(edtAltitude));
        lblPressure->setText(ToolQText("LBL_PRESSURE") + QStringLiteral(" ") + QText(FormatFixed(P * 10, 1)) +
                             QStringLiteral(" mbar"));
        FPressure = P;
    });
}

void TfrmAltitude::btnCalculateClick() {
    Run();
}

void TfrmAltitude::btnOKClick() {
    if (Run()) {
        accept();
    }
}

} // namespace psykrona
