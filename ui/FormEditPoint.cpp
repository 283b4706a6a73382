#include "ui/FormEditPoint.h"

#include "engine/Errors.h"
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/MollierPoint.h"
#include "engine/NumberText.h"
#include "localisation/Translator.h"
#include "ui/DialogLayout.h"
#include "ui/UserDialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <stdexcept>

namespace psykrona {

namespace {

// A property's value as shown: the humidity ratio in g/kg.
double Shown(int Code, double Value) {
    return Code == PROP_SPECHUM ? Value * 1000 : Value;
}

} // namespace

TfrmEditPoint::TfrmEditPoint(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("frmEditPoint"));
    setFont(DialogFont());
    MakeDialogWindow(*this);
    setWindowTitle(QStringLiteral("Punkt"));

    lblPointHeader = new QLabel(QStringLiteral("Punkt 1"), this);
    QFont HeaderFont = lblPointHeader->font();
    HeaderFont.setBold(true);
    HeaderFont.setPointSize(12);
    lblPointHeader->setFont(HeaderFont);
    stName = new QLabel(QStringLiteral("Namn"), this);
    edtName = new QLineEdit(this);

    GroupBox1 = new QGroupBox(this);
    stTemp = new QLabel(QString::fromUtf8("Temperatur (°C)"), GroupBox1);
    stRelHum = new QLabel(QStringLiteral("Relativ fukt (%)"), GroupBox1);
    stSpecHum = new QLabel(QString::fromUtf8("Vatteninnehåll (g/kg)"), GroupBox1);
    stEnthalpy = new QLabel(QStringLiteral("Entalpi (kJ/kg)"), GroupBox1);
    auto MakeRow = [this](QLineEdit*& Edit, QLabel*& Label, QCheckBox*& Check, const char* Name) {
        Edit = new QLineEdit(GroupBox1);
        Edit->setObjectName(QStringLiteral("edt") + Name);
        Edit->setFixedWidth(96);
        Edit->hide();
        Label = new QLabel(GroupBox1);
        Label->setObjectName(QStringLiteral("lbl") + Name);
        Label->setFixedWidth(96);
        Label->setMinimumHeight(Edit->sizeHint().height());
        // The label's text stands where the edit's text would.
        Label->setIndent(4);
        Check = new QCheckBox(GroupBox1);
        Check->setObjectName(QStringLiteral("chk") + Name);
        connect(Check, &QCheckBox::toggled, this, [this, Check] { SetPrescribed(Check); });
        // Ticked by the user, the field takes the caret with its text
        // selected, so typing replaces the value instead of adding to it.
        connect(Check, &QCheckBox::clicked, this, [Field = Edit](bool Checked) {
            if (Checked) {
                Field->setFocus(Qt::OtherFocusReason);
                Field->selectAll();
            }
        });
    };
    MakeRow(edtTemp, lblTemp, chkTemp, "Temp");
    MakeRow(edtRelHum, lblRelHum, chkRelHum, "RelHum");
    MakeRow(edtSpecHum, lblSpecHum, chkSpecHum, "SpecHum");
    MakeRow(edtEnthalpy, lblEnthalpy, chkEnthalpy, "Enthalpy");
    auto* Grid = new QGridLayout(GroupBox1);
    Grid->setHorizontalSpacing(10);
    const std::array<std::array<QWidget*, 4>, 4> Rows{{{stTemp, edtTemp, lblTemp, chkTemp},
                                                       {stRelHum, edtRelHum, lblRelHum, chkRelHum},
                                                       {stSpecHum, edtSpecHum, lblSpecHum, chkSpecHum},
                                                       {stEnthalpy, edtEnthalpy, lblEnthalpy, chkEnthalpy}}};
    for (int R = 0; R < 4; ++R) {
        Grid->addWidget(Rows[R][0], R, 0);
        Grid->addWidget(Rows[R][1], R, 1);
        Grid->addWidget(Rows[R][2], R, 1);
        Grid->addWidget(Rows[R][3], R, 2);
    }
    Grid->setColumnStretch(0, 1);

    GroupBox2 = new QGroupBox(this);
    chkShowInChart = new QCheckBox(QStringLiteral("Visa i diagram"), GroupBox2);
    chkLineToNext = new QCheckBox(QString::fromUtf8("Koppling till nästa punkt"), GroupBox2);
    auto* Options = new QVBoxLayout(GroupBox2);
    Options->addWidget(chkShowInChart);
    Options->addWidget(chkLineToNext);

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnUpdate = new QPushButton(QString::fromUtf8("&Räkna"), this);
    btnCancel = new QPushButton(QStringLiteral("&Avbryt"), this);
    for (QPushButton* B : {btnOK, btnUpdate, btnCancel}) {
        B->setAutoDefault(false);
        B->setMinimumWidth(75);
    }
    connect(btnOK, &QPushButton::clicked, this, &TfrmEditPoint::btnOKClick);
    connect(btnUpdate, &QPushButton::clicked, this, &TfrmEditPoint::btnUpdateClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmEditPoint::btnCancelClick);

    lblPointHeader->setObjectName(QStringLiteral("lblPointHeader"));
    stName->setObjectName(QStringLiteral("stName"));
    edtName->setObjectName(QStringLiteral("edtName"));
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    chkShowInChart->setObjectName(QStringLiteral("chkShowInChart"));
    chkLineToNext->setObjectName(QStringLiteral("chkLineToNext"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnUpdate->setObjectName(QStringLiteral("btnUpdate"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* NameRow = new QHBoxLayout;
    NameRow->addWidget(stName);
    NameRow->addWidget(edtName, 1);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(btnOK);
    Buttons->addWidget(btnUpdate);
    Buttons->addWidget(btnCancel);
    auto* Main = new QVBoxLayout(this);
    Main->setContentsMargins(16, 12, 16, 12);
    Main->addWidget(lblPointHeader);
    Main->addSpacing(4);
    Main->addLayout(NameRow);
    Main->addWidget(GroupBox1);
    Main->addWidget(GroupBox2);
    Main->addSpacing(4);
    Main->addLayout(Buttons);
    setMinimumWidth(330);
    setSizeGripEnabled(false);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

std::array<TfrmEditPoint::TProperty, 4> TfrmEditPoint::Properties() const {
    return {{{PROP_TEMP, chkTemp, edtTemp, lblTemp, 1},
             {PROP_SPECHUM, chkSpecHum, edtSpecHum, lblSpecHum, 2},
             {PROP_RELHUM, chkRelHum, edtRelHum, lblRelHum, 1},
             {PROP_ENTHALPY, chkEnthalpy, edtEnthalpy, lblEnthalpy, 1}}};
}

double& TfrmEditPoint::WorkValue(int Code) {
    switch (Code) {
    case PROP_TEMP:
        return FTemp;
    case PROP_SPECHUM:
        return FSpecHum;
    case PROP_RELHUM:
        return FRelHum;
    default:
        return FEnthalpy;
    }
}

void TfrmEditPoint::showEvent(QShowEvent* Event) {
    if (!Event->spontaneous()) {
        FormShow();
    }
    QDialog::showEvent(Event);
}

void TfrmEditPoint::FormShow() {
    LoadTexts();
    LoadPoint();
}

void TfrmEditPoint::LoadTexts() {
    const char* Section = "EDIT_POINT_DIALOG";
    setWindowTitle(QText(TTranslator::GetText(Section, "TITLE")));
    PointCaption = TTranslator::GetText(Section, "LBL_POINT");
    stName->setText(QText(TTranslator::GetText(Section, "LBL_NAME")));
    stTemp->setText(QText(TTranslator::GetText(Section, "LBL_TEMPERATURE")));
    stRelHum->setText(QText(TTranslator::GetText(Section, "LBL_REL_HUM")));
    stSpecHum->setText(QText(TTranslator::GetText(Section, "LBL_SPEC_HUM")));
    stEnthalpy->setText(QText(TTranslator::GetText(Section, "LBL_ENTHALPY")));
    chkShowInChart->setText(QText(TTranslator::GetText(Section, "CHK_SHOW_IN_CHART")));
    chkLineToNext->setText(QText(TTranslator::GetText(Section, "CHK_LINE_TO_NEXT")));
    btnOK->setText(QText(TTranslator::GetText(Section, "BTN_OK")));
    btnUpdate->setText(QText(TTranslator::GetText(Section, "BTN_CALCULATE")));
    btnCancel->setText(QText(TTranslator::GetText(Section, "BTN_CANCEL")));
    FMsgInvalidFormat = TTranslator::GetText("MESSAGES", "MSG_INVALID_FORMAT");
    FMsgTwoValues = TTranslator::GetText("MESSAGES", "MSG_TWO_VALUES");
    FMsgHighRelHum = TTranslator::GetText("MESSAGES", "MSG_HIGH_REL_HUM");
    FMsgLowSpecHum = TTranslator::GetText("MESSAGES", "MSG_LOW_SPEC_HUM");
    FMsgInvalidInput = TTranslator::GetText("MESSAGES", "MSG_INVALID_INPUT");
}

void TfrmEditPoint::LoadPoint() {
    if (Point == nullptr) {
        return;
    }
    const TMollierPoint& P = *Point;
    edtName->setFocus();
    lblPointHeader->setText(QText(PointCaption + " " + std::to_string(P.Number)));
    edtName->setText(QText(P.Name));
    for (const TProperty& Prop : Properties()) {
        Prop.Check->setChecked(false);
    }
    const double Values[] = {0, P.Temp, P.SpecHum, P.RelHum, P.Enthalpy}; // by code
    for (const TProperty& Prop : Properties()) {
        Prop.Edit->setText(QText(FloatToStr(Shown(Prop.Code, Values[Prop.Code]))));
    }
    for (const TProperty& Prop : Properties()) {
        const double Value = Shown(Prop.Code, Values[Prop.Code]);
        if (P.IsPrescribed(Prop.Code)) {
            Prop.Label->setText(QText(FloatToStr(Value)));
            Prop.Check->setChecked(true);
        } else {
            const QString Rounded = QText(FormatFixed(Value, Prop.Decimals));
            Prop.Label->setText(Rounded);
            Prop.Edit->setText(Rounded);
        }
    }
    for (const TProperty& Prop : Properties()) {
        Prop.Edit->setText(Prop.Label->text());
    }
    chkShowInChart->setChecked(P.ShowInChart);
    chkLineToNext->setChecked(P.LineToNext);
}

void TfrmEditPoint::SetPrescribed(QCheckBox* Check) {
    for (const TProperty& Prop : Properties()) {
        if (Prop.Check != Check) {
            continue;
        }
        if (Check->isChecked()) {
            Prop.Label->hide();
            Prop.Edit->show();
            Prop.Edit->setFocus();
        } else {
            Prop.Edit->hide();
            Prop.Label->show();
        }
    }
    ShowValues();
}

void TfrmEditPoint::ShowValues() {
    for (const TProperty& Prop : Properties()) {
        Prop.Label->setText(Prop.Edit->text());
    }
}

bool TfrmEditPoint::CheckInput() {
    int Count = 0;
    for (const TProperty& Prop : Properties()) {
        if (!Prop.Check->isChecked()) {
            continue;
        }
        try {
            StrToFloat(Prop.Edit->text().toStdString());
        } catch (const EConvertError&) {
            TUserDialogs::Current().ShowMessage(TMessageKind::Error, FMsgInvalidFormat + "!");
            Prop.Edit->setFocus();
            return false;
        }
        ++Count;
    }
    if (Count != 2) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Error, FMsgTwoValues);
        return false;
    }
    return true;
}

void TfrmEditPoint::Calculate() {
    TMollierCalculate& Calc = TMollierCalculate::GetInstance();
    if (Document != nullptr) {
        Calc.Pressure = Document->Pressure;
    }
    int Codes[2] = {PROP_NONE, PROP_NONE};
    int Found = 0;
    for (const TProperty& Prop : Properties()) {
        if (Prop.Check->isChecked() && Found < 2) {
            Codes[Found++] = Prop.Code;
            const double Typed = StrToFloat(Prop.Edit->text().toStdString());
            WorkValue(Prop.Code) = Prop.Code == PROP_SPECHUM ? Typed / 1000 : Typed;
        }
    }
    TMoistAirState State{FTemp, FSpecHum, FRelHum, FEnthalpy};
    if (Found != 2 || !Calc.SolveFromPair(Codes[0], Codes[1], State)) {
        throw ECalculationError("Two different properties must be prescribed");
    }
    FTemp = State.Temp;
    FSpecHum = State.SpecHum;
    FRelHum = State.RelHum;
    FEnthalpy = State.Enthalpy;
    for (const TProperty& Prop : Properties()) {
        if (Prop.Code != Codes[0] && Prop.Code != Codes[1]) {
            Prop.Edit->setText(QText(FormatFixed(Shown(Prop.Code, WorkValue(Prop.Code)), Prop.Decimals)));
        }
    }
}

bool TfrmEditPoint::CheckResults() {
    bool Ok = true;
    if (FRelHum > 100) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Warning, FMsgHighRelHum + " 100%");
        Ok = false;
    }
    if (FSpecHum < 0) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Warning, FMsgLowSpecHum + " 0 g/kg");
        Ok = false;
    }
    return Ok;
}

void TfrmEditPoint::btnUpdateClick() {
    if (!CheckInput()) {
        return;
    }
    try {
        Calculate();
        ShowValues();
    } catch (const std::exception&) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Error, FMsgInvalidInput);
        return;
    }
    CheckResults();
}

void TfrmEditPoint::btnOKClick() {
    if (!CheckInput()) {
        return;
    }
    try {
        Calculate();
        ShowValues();
    } catch (const std::exception&) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Error, "Calculation error");
        return;
    }
    if (!CheckResults() || Point == nullptr) {
        return;
    }
    TMollierPoint& P = *Point;
    P.Name = edtName->text().toStdString();
    P.Temp = FTemp;
    P.SpecHum = FSpecHum;
    P.RelHum = FRelHum;
    P.Enthalpy = FEnthalpy;
    P.ShowInChart = chkShowInChart->isChecked();
    P.LineToNext = chkLineToNext->isChecked();
    int Codes[2] = {PROP_NONE, PROP_NONE};
    int Found = 0;
    for (const TProperty& Prop : Properties()) {
        if (Prop.Check->isChecked() && Found < 2) {
            Codes[Found++] = Prop.Code;
        }
    }
    P.Prescribed1 = Codes[0];
    P.Prescribed2 = Codes[1];
    accept();
}

void TfrmEditPoint::btnCancelClick() {
    reject();
}

} // namespace psykrona
