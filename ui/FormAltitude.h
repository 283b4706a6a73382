#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace psykrona {

// The project's barometric pressure from the site's altitude by the
// standard atmosphere. Accepted means Pressure() holds the pressure (kPa);
// the main window then selects the real density, writes the pressure in
// mbar into its field and updates the flow data, as the dialog tells.
class TfrmAltitude final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmAltitude)

public:
    explicit TfrmAltitude(QWidget* Parent = nullptr);

    QLabel* stAltitude;
    QLineEdit* edtAltitude;
    QLabel* lblPressure;
    QLabel* lblNote;
    QPushButton* btnCalculate;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    double Pressure() const { return FPressure; } // kPa

    void btnCalculateClick();
    void btnOKClick();

protected:
    void showEvent(QShowEvent* Event) override;

private:
    bool Run();
    double FPressure = 0;
};

} // namespace psykrona
