#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace psykrona {

class TMain;

// A window beside the main window that shows the selected point's further
// properties (dew point, wet bulb, density, specific volume, vapour
// pressure) and those of the process that leads to it (latent power,
// sensible heat ratio, water in kg/h). The main window calls ShowPoint
// whenever the selection or the project changes while it is open.
class TfrmPointProperties final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmPointProperties)

public:
    explicit TfrmPointProperties(QWidget* Parent = nullptr);

    QLabel* lblPoint;
    QLabel* lblState;
    QLabel* lblProcess;
    QPushButton* btnClose;

    // Shows the point at Row (from 0) of Doc, or says that none is selected.
    void ShowPoint(const TMain& Doc, int Row);
};

} // namespace psykrona
