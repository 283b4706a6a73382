#include "localisation/FormIntro2.h"

#include "engine/Main.h"
#include "localisation/Translator.h"
#include "ui/DialogLayout.h"
#include "ui/QtTranslations.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QPushButton>

#include <cmath>
#include <string>
#include <vector>

namespace psykrona {

namespace {

constexpr int FlagSide = 32;

// The Union Flag squeezed into a square, in units of 1/30 of its height:
// white saltire 6 wide with the red one 2 wide set off its centre line in
// turn (the broad white uppermost at the hoist), then the white cross 10 wide
// and the red cross 6 wide on top.
void DrawBritain(QPainter& P) {
    const double U = FlagSide / 30.0;
    const QColor Blue(0x01, 0x21, 0x69);
    const QColor Red(0xC8, 0x10, 0x2E);
    P.fillRect(QRectF(0, 0, FlagSide, FlagSide), Blue);

    P.setPen(QPen(Qt::white, 6 * U, Qt::SolidLine, Qt::FlatCap));
    P.drawLine(QPointF(0, 0), QPointF(FlagSide, FlagSide));
    P.drawLine(QPointF(FlagSide, 0), QPointF(0, FlagSide));

    // Each arm runs from the centre to a corner; its red band lies on the
    // side reached by turning the arm a quarter anticlockwise (as seen on
    // the flag, y up), which on screen coordinates (y down) is (dy, -dx).
    const QPointF C(FlagSide / 2.0, FlagSide / 2.0);
    const QPointF Corners[] = {{0, 0}, {FlagSide, 0}, {FlagSide, FlagSide}, {0, FlagSide}};
    P.setPen(Qt::NoPen);
    P.setBrush(Red);
    for (const QPointF& Corner : Corners) {
        const QPointF D = Corner - C;
        const double Len = std::hypot(D.x(), D.y());
        const QPointF Side = QPointF(D.y(), -D.x()) / Len * (2 * U);
        P.drawPolygon(QPolygonF({C, Corner, Corner + Side, C + Side}));
    }

    const double Mid = FlagSide / 2.0;
    P.fillRect(QRectF(Mid - 5 * U, 0, 10 * U, FlagSide), Qt::white);
    P.fillRect(QRectF(0, Mid - 5 * U, FlagSide, 10 * U), Qt::white);
    P.fillRect(QRectF(Mid - 3 * U, 0, 6 * U, FlagSide), Red);
    P.fillRect(QRectF(0, Mid - 3 * U, FlagSide, 6 * U), Red);
}

// Blue with a yellow Nordic cross; the upright is set towards the hoist.
void DrawSweden(QPainter& P) {
    P.fillRect(0, 0, FlagSide, FlagSide, QColor(0x00, 0x6A, 0xA7));
    const QColor Yellow(0xFE, 0xCC, 0x02);
    P.fillRect(9, 0, 6, FlagSide, Yellow);
    P.fillRect(0, 13, FlagSide, 6, Yellow);
}

// Red, white and green bands.
void DrawHungary(QPainter& P) {
    P.fillRect(0, 0, FlagSide, 11, QColor(0xCD, 0x2A, 0x3E));
    P.fillRect(0, 11, FlagSide, 10, Qt::white);
    P.fillRect(0, 21, FlagSide, 11, QColor(0x43, 0x6F, 0x4D));
}

QLabel* FlagLabel(QWidget* Parent, int Position) {
    auto* L = new QLabel(Parent);
    L->setGeometry(48, 57, FlagSide, FlagSide);
    L->setPixmap(TfrmIntro::FlagPicture(Position));
    L->hide();
    return L;
}

QPushButton* Button(QWidget* Parent, int Left, const char* Caption) {
    auto* B = new QPushButton(QString::fromLatin1(Caption), Parent);
    B->setGeometry(Left, 104, 75, 25);
    return B;
}

} // namespace

QPixmap TfrmIntro::FlagPicture(int Position) {
    // At the screen's pixel density, so the flags stay sharp on a dense one.
    const qreal Ratio = qApp != nullptr ? qApp->devicePixelRatio() : 1.0;
    QPixmap Picture(QSize(FlagSide, FlagSide) * Ratio);
    Picture.setDevicePixelRatio(Ratio);
    Picture.fill(Qt::transparent);
    QPainter P(&Picture);
    P.setRenderHint(QPainter::Antialiasing, Position == 0);
    switch (Position) {
    case 0:
        DrawBritain(P);
        break;
    case 1:
        DrawSweden(P);
        break;
    case 2:
        DrawHungary(P);
        break;
    default:
        break;
    }
    return Picture;
}

TfrmIntro::TfrmIntro(QWidget* Parent) : QDialog(Parent) {
    setFont(DialogFont());
    // No close box: the only ways on are OK and Cancel.
    MakeDialogWindow(*this, false);
    setWindowTitle(QStringLiteral("Psykrona"));

    stTitle = new QLabel(this);
    stTitle->setGeometry(31, 16, 221, 31);
    QFont TitleFont(QStringLiteral("MS Serif"));
    TitleFont.setStyleHint(QFont::Serif);
    TitleFont.setPixelSize(25);
    TitleFont.setBold(true);
    stTitle->setFont(TitleFont);
    QPalette Black = stTitle->palette();
    Black.setColor(QPalette::WindowText, Qt::black);
    stTitle->setPalette(Black);
    stTitle->setText(QText("Psykrona " + TMain::GetVersion()));

    imgBritain = FlagLabel(this, 0);
    imgSweden = FlagLabel(this, 1);
    imgHungary = FlagLabel(this, 2);

    cboLanguages = new QComboBox(this);
    cboLanguages->setGeometry(88, 64, 140, 21);

    btnOK = Button(this, 48, "OK");
    btnOK->setDefault(true);
    btnCancel = Button(this, 152, "Cancel");

    connect(cboLanguages, &QComboBox::currentIndexChanged, this, [this] { cboLanguagesChange(); });
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });

    setFixedSize(280, 146);
}

void TfrmIntro::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FormShow();
}

void TfrmIntro::FormShow() {
    PlaceOnScreen(*this, 2);
    const QSignalBlocker Quiet(cboLanguages);
    cboLanguages->clear();
    int Index = 0;
    for (const std::string& Name : TTranslator::GetLanguages(Index)) {
        cboLanguages->addItem(QText(Name));
    }
    cboLanguages->setCurrentIndex(Index);
    cboLanguagesChange();
    cboLanguages->setFocus();
}

void TfrmIntro::cboLanguagesChange() {
    imgBritain->hide();
    imgSweden->hide();
    imgHungary->hide();
    switch (cboLanguages->currentIndex()) {
    case 0:
        imgBritain->show();
        break;
    case 1:
        imgSweden->show();
        break;
    case 2:
        imgHungary->show();
        break;
    default:
        break;
    }
}

void TfrmIntro::btnOKClick() {
    TTranslator::SetLanguage(cboLanguages->currentIndex());
    FollowLanguageInQtDialogs(TTranslator::GetLanguageCode());
    accept();
}

void TfrmIntro::btnCancelClick() {
    reject();
}

} // namespace psykrona
