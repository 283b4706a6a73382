#include "printing/FormPreview.h"

namespace psykrona {

TfrmPreview::TfrmPreview(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QString::fromUtf8("Förhandsgranskning"));
}

} // namespace psykrona
