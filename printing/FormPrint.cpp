#include "printing/FormPrint.h"

#include "localisation/Translator.h"
#include "printing/FormPreview.h"
#include "printing/MollierPrint.h"
#include "ui/DialogLayout.h"
#include "ui/UserDialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace psykrona {

namespace {

const char* const Section = "PRINT_DIALOG";

// The client area of a window 348 × 319 pixels outside.
constexpr int DesignWidth = 340;
constexpr int DesignHeight = 288;

QLineEdit* Edit(QWidget* Parent, int Top) {
    auto* E = new QLineEdit(Parent);
    E->setGeometry(104, Top, 193, 21);
    return E;
}

QCheckBox* Check(QWidget* Parent, int Top, int Width, const char* Caption) {
    auto* C = new QCheckBox(QString::fromUtf8(Caption), Parent);
    C->setGeometry(24, Top, Width, 17);
    C->setChecked(true);
    return C;
}

QPushButton* Button(QWidget* Parent, int Left, int Width, const char* Caption) {
    auto* B = new QPushButton(QString::fromUtf8(Caption), Parent);
    B->setGeometry(Left, 256, Width, 25);
    B->setAutoDefault(false);
    return B;
}

// A caption keeps its design width unless its text needs more.
void FitWidth(QWidget* Control, int Width) {
    Control->resize(std::max(Width, Control->sizeHint().width()), Control->height());
}

} // namespace

TfrmPrint::TfrmPrint(QWidget* Parent) : QDialog(Parent), FPrintLayout(std::make_unique<TMollierPrint>()) {
    setFont(DialogFont());
    MakeDialogWindow(*this);
    setWindowTitle(QStringLiteral("Utskrift"));

    // Creation order is the tab order.
    edtProject = Edit(this, 24);
    edtDate = Edit(this, 56);
    edtSignature = Edit(this, 88);
    edtCompany = Edit(this, 120);
    chkPrintData = Check(this, 176, 97, "Skriv ut data");
    chkPrintChart = Check(this, 208, 137, "Skriv ut mollierdiagram");
    btnPreview = Button(this, 16, 97, "&Förhandsgranska");
    btnPrint = Button(this, 160, 75, "Skriv &ut");
    btnCancel = Button(this, 248, 73, "&Avbryt");
    stProject = PlacedLabel(this, 24, 26, QStringLiteral("Project"));
    stDate = PlacedLabel(this, 24, 58, QStringLiteral("Datum"));
    stSignature = PlacedLabel(this, 24, 90, QStringLiteral("Signatur"));
    stCompany = PlacedLabel(this, 24, 122, QString::fromUtf8("Företag"));
    stProject->setBuddy(edtProject);
    stDate->setBuddy(edtDate);
    stSignature->setBuddy(edtSignature);
    stCompany->setBuddy(edtCompany);

    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    connect(btnPreview, &QPushButton::clicked, this, [this] { btnPreviewClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });

    setFixedSize(DesignWidth, DesignHeight);
}

TfrmPrint::~TfrmPrint() = default;

void TfrmPrint::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FormShow();
}

void TfrmPrint::FormShow() {
    LoadTexts();
    PlaceOnScreen(*this, 3);
    edtProject->setFocus();
}

void TfrmPrint::LoadTexts() {
    auto Text = [](const char* Key) { return QText(TTranslator::GetText(Section, Key)); };
    setWindowTitle(Text("TITLE"));
    stProject->setText(Text("LBL_PROJECT"));
    stDate->setText(Text("LBL_DATE"));
    stSignature->setText(Text("LBL_SIGNATURE"));
    stCompany->setText(Text("LBL_COMPANY"));
    chkPrintData->setText(Text("CHK_PRINT_DATA"));
    chkPrintChart->setText(Text("CHK_PRINT_CHART"));
    btnPreview->setText(Text("BTN_PREVIEW"));
    btnPrint->setText(Text("BTN_PRINT"));
    btnCancel->setText(Text("BTN_CANCEL"));
    for (QLabel* L : {stProject, stDate, stSignature, stCompany}) {
        L->adjustSize();
    }
    FitWidth(chkPrintData, 97);
    FitWidth(chkPrintChart, 137);
    FitWidth(btnPreview, 97);
}

void TfrmPrint::HandOver() {
    FPrintLayout->FDraw = FDraw;
    FPrintLayout->FPrinter = &TUserDialogs::Current().CurrentPrinter();
    FPrintLayout->FDocument = FDocument;
    FPrintLayout->FProjectName = edtProject->text().toStdString();
    FPrintLayout->FProjectDate = edtDate->text().toStdString();
    FPrintLayout->FSignature = edtSignature->text().toStdString();
    FPrintLayout->FCompany = edtCompany->text().toStdString();
}

void TfrmPrint::PrintTickedPages() {
    if (chkPrintData->isChecked()) {
        FPrintLayout->PrintPage(TMollierPrint::KDataPage, true);
    }
    if (chkPrintChart->isChecked()) {
        FPrintLayout->PrintPage(TMollierPrint::KChartPage, true);
    }
    FPrintLayout->FPrinter->Finish();
}

void TfrmPrint::btnPrintClick() {
    if (!TUserDialogs::Current().SelectPrinter()) {
        return;
    }
    HandOver();
    PrintTickedPages();
    accept();
}

void TfrmPrint::btnPreviewClick() {
    if (frmPreview == nullptr) {
        return;
    }
    HandOver();
    frmPreview->FPrintLayout = FPrintLayout.get();
    if (frmPreview->exec() != QDialog::Accepted) {
        return;
    }
    if (!TUserDialogs::Current().SelectPrinter()) {
        return;
    }
    FPrintLayout->FPrinter = &TUserDialogs::Current().CurrentPrinter();
    PrintTickedPages();
}

void TfrmPrint::btnCancelClick() {
    reject();
}

} // namespace psykrona
