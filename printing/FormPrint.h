#pragma once

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace psykrona {

class TMain;
class TMollierDraw;
class TMollierPrint;
class TfrmPreview;

// The print dialog: four lines of project data for the printed pages, the
// choice of pages, printing and the preview. It lives for the whole run and
// keeps what was typed until the program ends; the texts belong to no
// project.
//
// Printing asks for a printer through the program's dialogs; cancelling that
// leaves this dialog open. A page that fails while printing goes to the
// program's error report, its job dropped, and this dialog stays open.
class TfrmPrint : public QDialog {
    Q_OBJECT

public:
    explicit TfrmPrint(QWidget* Parent = nullptr);
    ~TfrmPrint() override;

    TMollierDraw* FDraw = nullptr; // not owned; set before every showing
    TMain* FDocument = nullptr;    // not owned; set before every showing
    std::unique_ptr<TMollierPrint> FPrintLayout;
    // The preview window this dialog shows; not owned. Without it the
    // preview button does nothing.
    TfrmPreview* frmPreview = nullptr;

    QLabel* stProject;
    QLineEdit* edtProject;
    QLabel* stDate;
    QLineEdit* edtDate;
    QLabel* stSignature;
    QLineEdit* edtSignature;
    QLabel* stCompany;
    QLineEdit* edtCompany;
    QCheckBox* chkPrintData;
    QCheckBox* chkPrintChart;
    QPushButton* btnPreview;
    QPushButton* btnPrint;
    QPushButton* btnCancel;

    void FormShow();
    void LoadTexts();
    void btnPrintClick();
    void btnPreviewClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* Event) override;

private:
    // Gives the layout the renderer, the document, the current printer and
    // the typed texts.
    void HandOver();
    // The ticked pages, each a print job of its own, the data page first.
    void PrintTickedPages();
};

} // namespace psykrona
