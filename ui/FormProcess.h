#pragma once

#include "ui/ToolDialogs.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace psykrona {

class TMollierPoint;

// The next state from one air-handling process on the selected point:
// heating or cooling at constant humidity ratio (to a temperature or by a
// power at the project's air flow and density), a cooling coil (apparatus
// dew point with the leaving temperature or the bypass factor), steam or
// adiabatic humidification (to a relative humidity or a humidity ratio) or
// heat recovery from another point. The caller sets Document and Point
// before each showing; Accepted means Result() holds the leaving state.
class TfrmProcess final : public TToolDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmProcess)

public:
    // The processes in the order of cboProcess.
    enum TKind {
        HeatToTemp,
        HeatByPower,
        CoilLeavingTemp,
        CoilBypass,
        SteamToRelHum,
        SteamToSpecHum,
        AdiabaticToRelHum,
        AdiabaticToSpecHum,
        HeatRecovery,
        KindCount
    };

    explicit TfrmProcess(QWidget* Parent = nullptr);

    const TMollierPoint* Point = nullptr;

    QLabel* lblPoint;
    QLabel* stProcess;
    QComboBox* cboProcess;
    QLabel* stValue1;
    QLineEdit* edtValue1;
    QLabel* stValue2;
    QLineEdit* edtValue2;
    QLabel* stExtract;
    QComboBox* cboExtract;

    // Whether the leaving state is fixed by enthalpy and humidity ratio
    // (adiabatic humidification) rather than temperature and humidity ratio.
    bool ByEnthalpy() const;
    // The process's name, which the new point takes.
    std::string ProcessName() const;
    void cboProcessChange();

protected:
    TMoistAirState Calculate() override;
    void LoadTexts() override;
};

} // namespace psykrona
