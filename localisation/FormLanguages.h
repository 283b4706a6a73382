#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace psykrona {

// The language dialog of the Options menu. OK makes the selected language
// current and remembers it for the next start; the main window shows the new
// texts at its next repaint. Cancel changes nothing.
class TfrmLanguages : public QDialog {
    Q_OBJECT

public:
    explicit TfrmLanguages(QWidget* Parent = nullptr);

    QLabel* stChooseLanguage;
    QListWidget* lstLanguages;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void FormShow();
    void LoadTexts();
    void btnOKClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* Event) override;
};

} // namespace psykrona
