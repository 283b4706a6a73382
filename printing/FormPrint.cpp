#include "printing/FormPrint.h"

namespace psykrona {

TfrmPrint::TfrmPrint(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Utskrift"));
    resize(348, 319);
}

} // namespace psykrona
