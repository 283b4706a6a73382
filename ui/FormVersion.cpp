#include "ui/FormVersion.h"

#include "engine/Main.h"
#include "localisation/Translator.h"
#include "ui/DialogLayout.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace psykrona {

namespace {

// Product information: not translated, like the program's name.
const char* const Notice = "\u00a9 2026 The Psykrona developers";
const char* const Rights = "All rights reserved.";
const char* const WebAddress = "https://psykrona.example";
const char* const Developer = "The Psykrona developers";
const char* const Contact = "contact@psykrona.example";
const char* const ReleaseDate = "Released December 2026";

} // namespace

TfrmVersion::TfrmVersion(QWidget* Parent) : QDialog(Parent) {
    setFont(DialogFont());
    MakeDialogWindow(*this);
    setWindowTitle(QStringLiteral("Psykrona"));
    QPalette White = palette();
    White.setColor(QPalette::Window, Qt::white);
    setPalette(White);
    setAutoFillBackground(true);

    lblTitle = PlacedLabel(this, 24, 24);
    QFont TitleFont = font();
    TitleFont.setPixelSize(13);
    TitleFont.setBold(true);
    lblTitle->setFont(TitleFont);
    Label2 = PlacedLabel(this, 24, 48, QString::fromUtf8(Notice));
    Label3 = PlacedLabel(this, 24, 64, QString::fromUtf8(Rights));
    Label4 = PlacedLabel(this, 24, 80, QString::fromUtf8(WebAddress));
    lblBy = PlacedLabel(this, 24, 110);
    lblName = PlacedLabel(this, 24, 126, QString::fromUtf8(Developer));
    lblCompanyName = PlacedLabel(this, 24, 142, QString::fromUtf8(Contact));
    lblMadeDate = PlacedLabel(this, 24, 158, QString::fromUtf8(ReleaseDate));
    // Selectable, so the address can be copied into a browser or mail program.
    for (QLabel* L : {Label4, lblCompanyName}) {
        L->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    btnClose = new QPushButton(this);
    btnClose->setGeometry(96, 184, 75, 25);
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });

    setFixedSize(265, 225);
}

void TfrmVersion::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FormShow();
}

void TfrmVersion::FormShow() {
    lblBy->setText(QText(TTranslator::GetText("ABOUT_DIALOG", "LBL_DEVELOPED_BY")));
    lblBy->adjustSize();
    btnClose->setText(QText(TTranslator::GetText("ABOUT_DIALOG", "BTN_CLOSE")));
    lblTitle->setText(QText("Psykrona " + TMain::GetVersion()));
    lblTitle->adjustSize();
    PlaceOnScreen(*this, 3);
    btnClose->setFocus();
}

void TfrmVersion::btnCloseClick() {
    accept();
}

} // namespace psykrona
