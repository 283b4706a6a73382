#include "chart/FormOptionsChart.h"

#include "chart/MollierOptions.h"
#include "engine/NumberText.h"
#include "localisation/Translator.h"
#include "ui/DialogLayout.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <string>

namespace psykrona {

namespace {

const char* const Section = "CHART_LIMITS_DIALOG";

// Design layout: captions from x 16, edits at x 128, units at 192, bound
// hints at 224; a longer caption moves the columns to its right.
constexpr int CaptionLeft = 16;
constexpr int EditLeft = 128;
constexpr int UnitLeft = 192;
constexpr int HintLeft = 224;
constexpr int DesignWidth = 305;
constexpr int DesignHeight = 233;

QLineEdit* Edit(QWidget* Parent, int Top) {
    auto* E = new QLineEdit(Parent);
    E->setGeometry(EditLeft, Top, 57, 21);
    return E;
}

QPushButton* Button(QWidget* Parent, int Left) {
    auto* B = new QPushButton(Parent);
    B->setGeometry(Left, 192, 75, 25);
    B->setAutoDefault(false);
    B->setDefault(false);
    return B;
}

double Number(const QLineEdit* Edit) {
    return StrToFloat(Edit->text().toStdString());
}

} // namespace

TfrmOptionsChart::TfrmOptionsChart(QWidget* Parent)
    : QDialog(Parent), FOwnOptions(std::make_unique<TMollierOptions>()) {
    Options = FOwnOptions.get();
    setFont(DialogFont());
    MakeDialogWindow(*this);

    // Creation order is the tab order.
    edtMinTemp = Edit(this, 44);
    edtMaxTemp = Edit(this, 76);
    edtMinSpecHum = Edit(this, 108);
    edtMaxSpecHum = Edit(this, 140);
    stMinTemp = PlacedLabel(this, CaptionLeft, 48);
    stMaxTemp = PlacedLabel(this, CaptionLeft, 80);
    stMinspecHum = PlacedLabel(this, CaptionLeft, 112);
    stMaxSpecHum = PlacedLabel(this, CaptionLeft, 144);
    StaticText1 = PlacedLabel(this, UnitLeft, 48, QStringLiteral("°C"));
    StaticText2 = PlacedLabel(this, UnitLeft, 80, QStringLiteral("°C"));
    StaticText3 = PlacedLabel(this, UnitLeft, 112, QStringLiteral("g/kg"));
    StaticText4 = PlacedLabel(this, UnitLeft, 144, QStringLiteral("g/kg"));
    btnOK = Button(this, 72);
    btnCancel = Button(this, 160);
    stMin = PlacedLabel(this, HintLeft, 48);
    stMax = PlacedLabel(this, HintLeft, 80);

    stMinTemp->setBuddy(edtMinTemp);
    stMaxTemp->setBuddy(edtMaxTemp);
    stMinspecHum->setBuddy(edtMinSpecHum);
    stMaxSpecHum->setBuddy(edtMaxSpecHum);

    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });

    ApplyTexts();
    setFixedSize(DesignWidth, DesignHeight);
}

TfrmOptionsChart::~TfrmOptionsChart() = default;

void TfrmOptionsChart::ApplyTexts() {
    auto Text = [](const char* Key) { return QText(TTranslator::GetText(Section, Key)); };
    setWindowTitle(Text("TITLE"));
    stMinTemp->setText(Text("LBL_MIN_TEMPERATURE"));
    stMaxTemp->setText(Text("LBL_MAX_TEMPERATURE"));
    stMinspecHum->setText(Text("LBL_MIN_SPEC_HUM"));
    stMaxSpecHum->setText(Text("LBL_MAX_SPEC_HUM"));
    stMin->setText(QStringLiteral("(") + Text("LBL_MIN") + QStringLiteral(" -40°C)"));
    stMax->setText(QStringLiteral("(") + Text("LBL_MAX") + QStringLiteral(" +80°C)"));
    btnOK->setText(Text("BTN_OK"));
    btnCancel->setText(Text("BTN_CANCEL"));
    Arrange();
}

// Keeps the design places while the captions fit; longer translations push
// the edits, units and hints to the right and widen the dialog, and the
// buttons stay centred below.
void TfrmOptionsChart::Arrange() {
    int CaptionWidth = 0;
    for (QLabel* L : {stMinTemp, stMaxTemp, stMinspecHum, stMaxSpecHum}) {
        L->adjustSize();
        CaptionWidth = std::max(CaptionWidth, L->width());
    }
    const int Shift = std::max(0, CaptionLeft + CaptionWidth + 8 - EditLeft);
    for (QLineEdit* E : {edtMinTemp, edtMaxTemp, edtMinSpecHum, edtMaxSpecHum}) {
        E->move(EditLeft + Shift, E->y());
    }
    for (QLabel* L : {StaticText1, StaticText2, StaticText3, StaticText4}) {
        L->move(UnitLeft + Shift, L->y());
    }
    int Right = 0;
    for (QLabel* L : {stMin, stMax}) {
        L->adjustSize();
        L->move(HintLeft + Shift, L->y());
        Right = std::max(Right, L->x() + L->width());
    }
    const int Width = std::max(DesignWidth, Right + CaptionLeft);
    const int Centre = (Width - DesignWidth) / 2;
    btnOK->move(72 + Centre, btnOK->y());
    btnCancel->move(160 + Centre, btnCancel->y());
    setFixedSize(Width, DesignHeight);
}

void TfrmOptionsChart::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FormShow();
}

void TfrmOptionsChart::FormShow() {
    ApplyTexts();
    PlaceOnScreen(*this, 3);
    edtMinTemp->setFocus();
    edtMinTemp->setText(QText(FloatToStr(Options->MinTemp())));
    edtMaxTemp->setText(QText(FloatToStr(Options->MaxTemp())));
    edtMinSpecHum->setText(QText(FloatToStr(Options->MinSpecHum() * 1000)));
    edtMaxSpecHum->setText(QText(FloatToStr(Options->MaxSpecHum() * 1000)));
}

// Each pair goes in as minimum, maximum, minimum: the setters clamp against
// the opposite limit as it stands, so this lets any consistent pair come out
// as typed whatever the old limits were. A bad field throws with the limits
// before it already applied.
void TfrmOptionsChart::btnOKClick() {
    Options->SetMinTemp(Number(edtMinTemp));
    Options->SetMaxTemp(Number(edtMaxTemp));
    Options->SetMinTemp(Number(edtMinTemp));
    Options->SetMinSpecHum(Number(edtMinSpecHum) / 1000);
    Options->SetMaxSpecHum(Number(edtMaxSpecHum) / 1000);
    Options->SetMinSpecHum(Number(edtMinSpecHum) / 1000);
    accept();
}

void TfrmOptionsChart::btnCancelClick() {
    reject();
}

void TfrmOptionsChart::keyPressEvent(QKeyEvent* Event) {
    switch (Event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        Event->accept();
        return;
    default:
        QDialog::keyPressEvent(Event);
    }
}

} // namespace psykrona
