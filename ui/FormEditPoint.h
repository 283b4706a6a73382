#pragma once

#include <QDialog>

#include <array>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace psykrona {

class TMain;
class TMollierPoint;

// The dialog in which the user fixes one state point: its name, two of its
// four properties with their values, and whether it is shown in the chart
// and joined to the next point. Calculate solves the other two; OK solves,
// checks and writes the point. The caller sets Document and Point before
// each showing; modal result Accepted (1) means the point was written.
class TfrmEditPoint : public QDialog {
    Q_OBJECT

public:
    explicit TfrmEditPoint(QWidget* Parent = nullptr);

    TMain* Document = nullptr;
    TMollierPoint* Point = nullptr;

    QLabel* lblPointHeader;
    QLabel* stName;
    QLineEdit* edtName;
    QGroupBox* GroupBox1;
    QLabel* stTemp;
    QLabel* stRelHum;
    QLabel* stSpecHum;
    QLabel* stEnthalpy;
    QLineEdit* edtTemp;
    QLineEdit* edtRelHum;
    QLineEdit* edtSpecHum;
    QLineEdit* edtEnthalpy;
    QLabel* lblTemp;
    QLabel* lblRelHum;
    QLabel* lblSpecHum;
    QLabel* lblEnthalpy;
    QCheckBox* chkTemp;
    QCheckBox* chkRelHum;
    QCheckBox* chkSpecHum;
    QCheckBox* chkEnthalpy;
    QGroupBox* GroupBox2;
    QCheckBox* chkShowInChart;
    QCheckBox* chkLineToNext;
    QPushButton* btnOK;
    QPushButton* btnUpdate;
    QPushButton* btnCancel;

    // Texts, then the point, on every showing.
    void FormShow();
    void LoadTexts();
    void LoadPoint();

    // Whether exactly two properties are ticked and their fields hold
    // numbers; says what is wrong otherwise.
    bool CheckInput();
    // Solves the two free properties from the ticked pair at the project's
    // pressure and writes them into their fields. Throws ECalculationError.
    void Calculate();
    // Every label shows its field's text.
    void ShowValues();
    // Whether the last calculation is physically possible; warns otherwise.
    bool CheckResults();

    void btnUpdateClick();
    void btnOKClick();
    void btnCancelClick();

    // The working values of the last calculation, in the calculator's units.
    double WorkTemp() const { return FTemp; }
    double WorkSpecHum() const { return FSpecHum; }
    double WorkRelHum() const { return FRelHum; }
    double WorkEnthalpy() const { return FEnthalpy; }

protected:
    void showEvent(QShowEvent* Event) override;

private:
    // The four properties in the order of their codes: temperature (1),
    // humidity ratio (2), relative humidity (3), enthalpy (4).
    struct TProperty {
        int Code;
        QCheckBox* Check;
        QLineEdit* Edit;
        QLabel* Label;
        int Decimals; // of the rounded display
    };
    std::array<TProperty, 4> Properties() const;
    void SetPrescribed(QCheckBox* Check);
    double& WorkValue(int Code);

    double FTemp = 0;
    double FSpecHum = 0; // kg/kg
    double FRelHum = 0;
    double FEnthalpy = 0;
    std::string PointCaption;
    std::string FMsgInvalidFormat;
    std::string FMsgTwoValues;
    std::string FMsgHighRelHum;
    std::string FMsgLowSpecHum;
    std::string FMsgInvalidInput;
};

} // namespace psykrona
