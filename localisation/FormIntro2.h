#pragma once

#include <QDialog>
#include <QPixmap>

class QComboBox;
class QLabel;
class QPushButton;

namespace psykrona {

// The start-up window: the user picks the language before anything else is
// shown. Its captions are fixed, since no language has been chosen yet. OK
// makes the chosen language current and remembers it; Cancel (exec()
// returning Rejected) means the user does not want to go on, and the caller
// ends the program.
//
// The flag beside the list belongs to the list position, not to the language
// code: the language list names English, Swedish and Hungarian first.
class TfrmIntro : public QDialog {
    Q_OBJECT

public:
    explicit TfrmIntro(QWidget* Parent = nullptr);

    QLabel* stTitle;
    QLabel* imgBritain;
    QLabel* imgSweden;
    QLabel* imgHungary;
    QComboBox* cboLanguages;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void FormShow();
    void cboLanguagesChange();
    void btnOKClick();
    void btnCancelClick();

    // The 32 × 32 flags drawn beside the list: 0 British, 1 Swedish,
    // 2 Hungarian.
    static QPixmap FlagPicture(int Position);

protected:
    void showEvent(QShowEvent* Event) override;
};

} // namespace psykrona
