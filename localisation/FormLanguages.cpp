#include "localisation/FormLanguages.h"

#include "localisation/Translator.h"
#include "ui/DialogLayout.h"
#include "ui/QtTranslations.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <string>

namespace psykrona {

namespace {

const char* const Section = "LANGUAGE_DIALOG";

} // namespace

TfrmLanguages::TfrmLanguages(QWidget* Parent) : QDialog(Parent) {
    setFont(DialogFont());
    MakeDialogWindow(*this);
    setWindowTitle(QStringLiteral("Språkinställningar"));

    stChooseLanguage = PlacedLabel(this, 16, 16, QStringLiteral("Välj språk"));
    lstLanguages = new QListWidget(this);
    lstLanguages->setGeometry(16, 40, 233, 81);
    stChooseLanguage->setBuddy(lstLanguages);
    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setGeometry(40, 136, 75, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setGeometry(144, 136, 75, 25);

    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });

    setFixedSize(266, 169);
}

void TfrmLanguages::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FormShow();
}

void TfrmLanguages::FormShow() {
    LoadTexts();
    lstLanguages->clear();
    int Index = 0;
    for (const std::string& Name : TTranslator::GetLanguages(Index)) {
        lstLanguages->addItem(QText(Name));
    }
    lstLanguages->setCurrentRow(Index);
    lstLanguages->setFocus();
}

void TfrmLanguages::LoadTexts() {
    setWindowTitle(QText(TTranslator::GetText(Section, "TITLE")));
    stChooseLanguage->setText(QText(TTranslator::GetText(Section, "LBL_CHOOSE_LANGUAGE")));
    stChooseLanguage->adjustSize();
    btnOK->setText(QText(TTranslator::GetText(Section, "BTN_OK")));
    btnCancel->setText(QText(TTranslator::GetText(Section, "BTN_CANCEL")));
}

void TfrmLanguages::btnOKClick() {
    TTranslator::SetLanguage(lstLanguages->currentRow());
    FollowLanguageInQtDialogs(TTranslator::GetLanguageCode());
    accept();
}

void TfrmLanguages::btnCancelClick() {
    reject();
}

} // namespace psykrona
