#pragma once

#include "ui/ToolDialogs.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace psykrona {

// Two points of the project mixed by their air flows (m³/s, each stream at
// the density the project's rule gives it). The caller sets Document and
// the first choice before each showing; Accepted means Result() holds the
// mixed state.
class TfrmMix final : public TToolDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmMix)

public:
    explicit TfrmMix(QWidget* Parent = nullptr);

    int SelectedRow = 0; // the point offered first, from 0

    QLabel* stPointA;
    QComboBox* cboPointA;
    QLabel* stFlowA;
    QLineEdit* edtFlowA;
    QLabel* stPointB;
    QComboBox* cboPointB;
    QLabel* stFlowB;
    QLineEdit* edtFlowB;

    // The later of the two points, from 1: the mixed point goes after it.
    int LaterPosition() const;

protected:
    TMoistAirState Calculate() override;
    void LoadTexts() override;
};

} // namespace psykrona
