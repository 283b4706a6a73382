#pragma once

#include <QDialog>

namespace psykrona {

class TMain;
class TMollierDraw;

// The print dialog. For now only what the main window hands over before
// showing it; the project fields, the page choice and the preview come with
// the printing work.
class TfrmPrint : public QDialog {
    Q_OBJECT

public:
    explicit TfrmPrint(QWidget* Parent = nullptr);

    TMollierDraw* FDraw = nullptr; // not owned
    TMain* FDocument = nullptr;    // not owned
};

} // namespace psykrona
