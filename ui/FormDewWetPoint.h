#pragma once

#include "ui/ToolDialogs.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace psykrona {

// A new state from the dry-bulb temperature with the dew point or the wet
// bulb, or from the wet bulb with the relative humidity. The caller sets
// Document before each showing; Accepted means Result() holds the state.
class TfrmDewWetPoint final : public TToolDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmDewWetPoint)

public:
    explicit TfrmDewWetPoint(QWidget* Parent = nullptr);

    QRadioButton* rbTempDewPoint;
    QRadioButton* rbTempWetBulb;
    QRadioButton* rbWetBulbRelHum;
    QLabel* stFirst;
    QLineEdit* edtFirst;
    QLabel* stSecond;
    QLineEdit* edtSecond;

    void rbChoiceClick();

protected:
    TMoistAirState Calculate() override;
    void LoadTexts() override;
};

} // namespace psykrona
