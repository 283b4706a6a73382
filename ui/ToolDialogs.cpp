#include "ui/ToolDialogs.h"

#include "engine/Errors.h"
#include "engine/Main.h"
#include "engine/MollierProcess.h"
#include "engine/NumberText.h"
#include "localisation/Translator.h"
#include "ui/DialogLayout.h"
#include "ui/UserDialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <cmath>

namespace psykrona {

std::string ToolText(const char* Key) {
    return TTranslator::GetText("TOOLS", Key);
}

QString ToolQText(const char* Key) {
    return QText(ToolText(Key));
}

double ToolNumber(const QLineEdit* Edit) {
    return StrToFloat(Edit->text().toStdString());
}

QString ToolStateText(double Pressure, const TMoistAirState& S) {
    const TStateProperties P = TMollierProcess(Pressure).Properties(S.Temp, S.SpecHum);
    auto Line = [](const char* Section, const char* Key, const std::string& Value, const char* Unit) {
        return TTranslator::GetText(Section, Key) + " " + Value + " " + Unit + "\n";
    };
    const std::string Dew = std::isfinite(P.DewPoint) ? FormatFixed(P.DewPoint, 1) : "-";
    return QText(Line("POINTS_DATA_LIST", "LBL_TEMPERATURE", FormatFixed(S.Temp, 1), "°C") +
                 Line("POINTS_DATA_LIST", "LBL_REL_HUM", FormatFixed(S.RelHum, 1), "%") +
                 Line("POINTS_DATA_LIST", "LBL_SPEC_HUM", FormatFixed(S.SpecHum * 1000, 2), "g/kg") +
                 Line("POINTS_DATA_LIST", "LBL_ENTHALPY", FormatFixed(S.Enthalpy, 1), "kJ/kg") +
                 Line("TOOLS", "LBL_DEW_POINT", Dew, "°C") +
                 Line("TOOLS", "LBL_WET_BULB", FormatFixed(P.WetBulb, 1), "°C") +
                 Line("TOOLS", "LBL_MOIST_AIR_DENSITY", FormatFixed(P.MoistAirDensity, 3), "kg/m³") +
                 Line("TOOLS", "LBL_SPECIFIC_VOLUME", FormatFixed(P.SpecificVolume, 3), "m³/kg") +
                 Line("TOOLS", "LBL_VAPOUR_PRESSURE", FormatFixed(P.VapourPressure, 3), "kPa"))
        .trimmed();
}

bool ToolTry(const std::function<void()>& Calculate) {
    TUserDialogs& Boxes = TUserDialogs::Current();
    try {
        Calculate();
        return true;
    } catch (const EPastSaturation&) {
        Boxes.ShowMessage(TMessageKind::Warning,
                          TTranslator::GetText("MESSAGES", "MSG_HIGH_REL_HUM") + " 100%");
    } catch (const EBelowDryAir&) {
        Boxes.ShowMessage(TMessageKind::Warning,
                          TTranslator::GetText("MESSAGES", "MSG_LOW_SPEC_HUM") + " 0 g/kg");
    } catch (const EConvertError&) {
        Boxes.ShowMessage(TMessageKind::Error, TTranslator::GetText("MESSAGES", "MSG_INVALID_FORMAT") + "!");
    } catch (const std::exception& E) {
        Boxes.ShowMessage(TMessageKind::Error, ToolText("MSG_NO_RESULT") + "\n" + E.what());
    }
    return false;
}

void FillPointChoice(QComboBox* Combo, const TMain& Doc, int Selected) {
    Combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    Combo->clear();
    for (const TMollierPoint& P : Doc.Points) {
        Combo->addItem(QText(std::to_string(P.Number) + ". " + P.Name));
    }
    Combo->setCurrentIndex(Selected);
}

TToolButtons AddToolButtons(QDialog* Dialog, QBoxLayout* Outer, const std::function<void()>& OnCalculate,
                            const std::function<void()>& OnOK) {
    const TToolButtons B{new QPushButton(Dialog), new QPushButton(Dialog), new QPushButton(Dialog)};
    B.OK->setDefault(true);
    auto* Row = new QHBoxLayout;
    Row->addStretch();
    Row->addWidget(B.Calculate);
    Row->addWidget(B.OK);
    Row->addWidget(B.Cancel);
    Outer->addLayout(Row);
    QObject::connect(B.Calculate, &QPushButton::clicked, Dialog, OnCalculate);
    QObject::connect(B.OK, &QPushButton::clicked, Dialog, OnOK);
    QObject::connect(B.Cancel, &QPushButton::clicked, Dialog, &QDialog::reject);
    return B;
}

void ToolButtonTexts(const TToolButtons& Buttons) {
    Buttons.Calculate->setText(ToolQText("BTN_CALCULATE"));
    Buttons.OK->setText(ToolQText("BTN_OK"));
    Buttons.Cancel->setText(ToolQText("BTN_CANCEL"));
}

TToolDialog::TToolDialog(QWidget* Parent) : QDialog(Parent) {
    setFont(DialogFont());
    auto* Outer = new QVBoxLayout(this);
    FGrid = new QGridLayout;
    Outer->addLayout(FGrid);
    FResultCaption = new QLabel(this);
    FResultCaption->setStyleSheet(QStringLiteral("font-weight: bold"));
    Outer->addWidget(FResultCaption);
    lblResult = new QLabel(this);
    lblResult->setObjectName(QStringLiteral("lblResult"));
    lblResult->setMinimumSize(260, 150);
    lblResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblResult->setFrameShape(QFrame::StyledPanel);
    Outer->addWidget(lblResult);
    const TToolButtons B = AddToolButtons(
        this, Outer, [this] { btnCalculateClick(); }, [this] { btnOKClick(); });
    btnCalculate = B.Calculate;
    btnOK = B.OK;
    btnCancel = B.Cancel;
}

void TToolDialog::showEvent(QShowEvent* Event) {
    ToolButtonTexts({btnCalculate, btnOK, btnCancel});
    FResultCaption->setText(ToolQText("LBL_RESULT"));
    lblResult->clear();
    LoadTexts();
    QDialog::showEvent(Event);
}

bool TToolDialog::Run() {
    return ToolTry([this] {
        const TMoistAirState S = Calculate();
        lblResult->setText(ToolStateText(Document->Pressure, S));
        FResult = S;
    });
}

void TToolDialog::btnCalculateClick() {
    Run();
}

void TToolDialog::btnOKClick() {
    if (Run()) {
        accept();
    }
}

} // namespace psykrona
