#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace psykrona {

// The about box: program name and version, product information and the
// developers. Its title stays "Psykrona" in every language.
class TfrmVersion : public QDialog {
    Q_OBJECT

public:
    explicit TfrmVersion(QWidget* Parent = nullptr);

    QLabel* lblTitle;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* lblBy;
    QLabel* lblName;
    QLabel* lblCompanyName;
    QLabel* lblMadeDate;
    QPushButton* btnClose;

    void FormShow();
    void btnCloseClick();

protected:
    void showEvent(QShowEvent* Event) override;
};

} // namespace psykrona
