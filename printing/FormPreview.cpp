#include "printing/FormPreview.h"

#include "chart/MollierDraw.h"
#include "localisation/Translator.h"
#include "printing/MollierPrint.h"
#include "qt/QtCanvas.h"
#include "ui/DialogLayout.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>

#include <cmath>
#include <exception>

namespace psykrona {

namespace {

const char* const Section = "PREVIEW_DIALOG";

QPushButton* Button(QWidget* Parent, int Left, int Width, const char* Caption) {
    auto* B = new QPushButton(QString::fromUtf8(Caption), Parent);
    B->setGeometry(Left, 8, Width, 25);
    B->setAutoDefault(false);
    return B;
}

} // namespace

TfrmPreview::TfrmPreview(QWidget* Parent) : QDialog(Parent) {
    setFont(DialogFont());
    setWindowFlags(Qt::Dialog | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8("Förhandsgranskning"));

    btnPage1 = Button(this, 8, 75, "S&ida 1");
    btnPage2 = Button(this, 88, 73, "Si&da 2");
    btnPrint = Button(this, 184, 75, "Skriv &ut");
    btnClose = Button(this, 264, 75, "&Stäng");
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    Image1 = new QLabel;
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setWidget(Image1);
    ScrollBox1->viewport()->installEventFilter(this);

    ScreenSize = [this] {
        QScreen* Screen = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
        return Screen != nullptr ? Screen->geometry().size() : QSize(1024, 768);
    };

    connect(btnPage1, &QPushButton::clicked, this, [this] { btnPage1Click(); });
    connect(btnPage2, &QPushButton::clicked, this, [this] { btnPage2Click(); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
}

TfrmPreview::~TfrmPreview() = default;

void TfrmPreview::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FormShow();
}

void TfrmPreview::FormShow() {
    LoadTexts();
    // Maximised; the geometry too, for desktops without a window manager.
    if (QScreen* Screen = screen() != nullptr ? screen() : QGuiApplication::primaryScreen()) {
        setGeometry(Screen->availableGeometry());
    }
    setWindowState(windowState() | Qt::WindowMaximized);
    const QSize Screen = ScreenSize();
    ScrollBox1->setGeometry(5, 40, Screen.width() - 12, Screen.height() - 100);
    // The factor goes on the scroll box's width, the page's width leaves
    // room for the vertical scroll bar. The page keeps that size in logical
    // pixels on a bitmap of the screen's density, so a screen of twice the
    // density shows it sharp, not enlarged.
    const QSize Logical(ScrollBox1->width() - 22, static_cast<int>(std::lround(ScrollBox1->width() * KPageFactor)));
    const qreal Ratio = devicePixelRatioF();
    FPage = QImage((QSizeF(Logical) * Ratio).toSize(), QImage::Format_RGB32);
    FPage.setDevicePixelRatio(Ratio);
    FPage.fill(Qt::white);
    ShowPage();
    FCurrentPage = 1;
    RenderPage(1);
}

void TfrmPreview::LoadTexts() {
    auto Text = [](const char* Key) { return QText(TTranslator::GetText(Section, Key)); };
    setWindowTitle(Text("TITLE"));
    btnPage1->setText(Text("BTN_DATA"));
    btnPage2->setText(Text("BTN_CHART"));
    btnPrint->setText(Text("BTN_PRINT"));
    btnClose->setText(Text("BTN_CLOSE"));
}

// The page is drawn on a copy and becomes the shown one only when whole, so
// a failure leaves the picture as it was.
void TfrmPreview::RenderPage(int Page) {
    if (FPrintLayout == nullptr || FPage.isNull()) {
        return;
    }
    try {
        QImage Sheet(FPage.size(), QImage::Format_RGB32);
        if (Sheet.isNull()) {
            return;
        }
        Sheet.setDevicePixelRatio(FPage.devicePixelRatio());
        const QSize Logical = Sheet.deviceIndependentSize().toSize();
        {
            TQtCanvas Canvas(Sheet);
            Canvas.SetPenColor(clBlack);
            Canvas.SetPenWidth(2);
            Canvas.SetFillColor(clWhite);
            Canvas.SetFillStyle(TFillStyle::Solid);
            Canvas.Rectangle(0, 0, Logical.width(), Logical.height());
            TMollierPrint& Layout = *FPrintLayout;
            Layout.FCanvas = &Canvas;
            Layout.FPageWidth = Logical.width();
            Layout.FPageHeight = Logical.height();
            // Neither the layout nor the renderer may keep this canvas.
            struct TDetach {
                TMollierPrint& L;
                ~TDetach() {
                    L.FCanvas = nullptr;
                    if (L.FDraw != nullptr) {
                        TMollierDraw& D = *L.FDraw;
                        D.SetCanvas(nullptr, D.ChartLeft(), D.ChartTop(), D.ChartWidth(), D.ChartHeight());
                    }
                }
            } Detach{Layout};
            Layout.PrintPage(Page, false);
        }
        FPage = std::move(Sheet);
        ShowPage();
    } catch (const std::exception&) {
        // Swallowed: the preview shows what it could draw before.
    }
}

void TfrmPreview::ShowPage() {
    Image1->setPixmap(QPixmap::fromImage(FPage));
    Image1->resize(FPage.deviceIndependentSize().toSize());
}

void TfrmPreview::btnPage1Click() {
    FCurrentPage = 1;
    RenderPage(1);
}

void TfrmPreview::btnPage2Click() {
    FCurrentPage = 2;
    RenderPage(2);
}

void TfrmPreview::btnPrintClick() {
    accept();
}

void TfrmPreview::btnCloseClick() {
    reject();
}

// A click beside the page shows the page again, whatever became of the
// picture meanwhile.
bool TfrmPreview::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == ScrollBox1->viewport() && Event->type() == QEvent::MouseButtonPress) {
        ShowPage();
    }
    return QDialog::eventFilter(Watched, Event);
}

} // namespace psykrona
