#pragma once

#include "engine/MollierCalculate.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <string>

class QBoxLayout;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace psykrona {

class TMain;

// What the windows of the Tools menu share: their texts (section "TOOLS" of
// the language files), the number fields, the read-out of a state with its
// further properties, and the refusal of a request without an answer.

// A text of the Tools section.
std::string ToolText(const char* Key);
QString ToolQText(const char* Key);

// The number in Edit, typed with the user's decimal separator. Throws
// EConvertError.
double ToolNumber(const QLineEdit* Edit);

// The state's four properties and its dew point, wet bulb, density, specific
// volume and vapour pressure at Pressure, one per line, as the point blocks
// round them.
QString ToolStateText(double Pressure, const TMoistAirState& S);

// Runs Calculate; a failure is shown in a box (past saturation and below
// 0 g/kg with the point editor's messages, a number that does not convert
// with its message, anything else with the Tools message and the reason) and
// gives false.
bool ToolTry(const std::function<void()>& Calculate);

// The "No." and name of each of Doc's points, for choosing one in Combo.
void FillPointChoice(QComboBox* Combo, const TMain& Doc, int Selected);

// The Calculate, OK and Cancel buttons at the foot of a Tools dialog, wired
// to its handlers and to reject; their texts with ToolButtonTexts.
struct TToolButtons {
    QPushButton* Calculate;
    QPushButton* OK;
    QPushButton* Cancel;
};
TToolButtons AddToolButtons(QDialog* Dialog, QBoxLayout* Outer, const std::function<void()>& OnCalculate,
                            const std::function<void()>& OnOK);
void ToolButtonTexts(const TToolButtons& Buttons);

// A dialog of the Tools menu: a grid of captions and fields above the
// result and the Calculate, OK and Cancel buttons. Calculate shows the
// resulting state; OK shows it and closes with Accepted, or refuses.
class TToolDialog : public QDialog {
    Q_OBJECT

public:
    explicit TToolDialog(QWidget* Parent);

    TMain* Document = nullptr;

    QLabel* lblResult;
    QPushButton* btnCalculate;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    // The state the last successful calculation gave.
    const TMoistAirState& Result() const { return FResult; }

    void btnCalculateClick();
    void btnOKClick();

protected:
    // The resulting state from the fields; throws on failure.
    virtual TMoistAirState Calculate() = 0;
    // Captions from the language file, on every showing.
    virtual void LoadTexts() = 0;
    void showEvent(QShowEvent* Event) override;

    QGridLayout* FGrid;
    QLabel* FResultCaption;

private:
    bool Run();
    TMoistAirState FResult;
};

} // namespace psykrona
