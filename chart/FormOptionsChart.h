#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace psykrona {

class TMollierOptions;

// The chart-limits dialog: the lowest and highest temperature (°C) and
// humidity ratio (g/kg) of the chart. The caller points Options at the shared
// chart options before every showing; OK writes the four limits into them.
//
// A field that is not a number makes OK throw EConvertError, for the
// application's top-level error display; the limits converted before it stay
// applied and the dialog stays open. Enter and Escape do nothing here, so a
// half-typed limit is neither confirmed nor thrown away by a stray key.
class TfrmOptionsChart : public QDialog {
    Q_OBJECT

public:
    explicit TfrmOptionsChart(QWidget* Parent = nullptr);
    ~TfrmOptionsChart() override;

    TMollierOptions* Options;

    QLineEdit* edtMinTemp;
    QLineEdit* edtMaxTemp;
    QLineEdit* edtMinSpecHum;
    QLineEdit* edtMaxSpecHum;
    QLabel* stMinTemp;
    QLabel* stMaxTemp;
    QLabel* stMinspecHum;
    QLabel* stMaxSpecHum;
    QLabel* StaticText1;
    QLabel* StaticText2;
    QLabel* StaticText3;
    QLabel* StaticText4;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QLabel* stMin;
    QLabel* stMax;

    void FormShow();
    void ApplyTexts();
    void btnOKClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void Arrange();

    // Used until the caller hands over the shared options.
    std::unique_ptr<TMollierOptions> FOwnOptions;
};

} // namespace psykrona
