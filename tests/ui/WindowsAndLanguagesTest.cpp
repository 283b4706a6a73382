// The windows as a window manager and the three languages meet them: every
// language fits, and the dialogs behave as dialogs.
#include "chart/FormOptionsChart.h"
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"
#include "printing/FormPreview.h"
#include "printing/FormPrint.h"
#include "ui/FormVersion.h"
#include "ui/PaintBox.h"
#include "ui/PointBlocks.h"
#include "ui/ProgramStart.h"

#include "tests/ui/UiFixture.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QMainWindow>
#include <QRegularExpression>

namespace psykrona::test {
namespace {

// Pixels kept free between neighbours (a field and its unit are 2 apart) and inside a frame.
constexpr int Gap = 2;

// Our controls: on the window, its work area or a group box (not inside Qt's widgets and bars).
bool IsPlaced(const QWidget* W, const QWidget& Window) {
    const QWidget* P = W->parentWidget();
    const auto* Main = qobject_cast<const QMainWindow*>(&Window);
    return (qobject_cast<const QLabel*>(W) || qobject_cast<const QAbstractButton*>(W) ||
            qobject_cast<const QLineEdit*>(W) || qobject_cast<const QComboBox*>(W) ||
            qobject_cast<const QListWidget*>(W) || qobject_cast<const QGroupBox*>(W)) &&
           W->isVisibleTo(&Window) &&
           (P == &Window || qobject_cast<const QGroupBox*>(P) || (Main && P == Main->centralWidget()));
}

// What a control shows: a label's, check box's or radio button's text as far as it needs, else all.
QRect Occupied(const QWidget* W) {
    const bool Text = qobject_cast<const QLabel*>(W) || (qobject_cast<const QAbstractButton*>(W) && !qobject_cast<const QPushButton*>(W));
    return Text ? QRect(W->pos(), QSize(std::min(W->width(), W->sizeHint().width()), W->height())) : W->geometry();
}

Strings LayoutFaults(const QWidget& Window) {
    Strings Faults;
    auto Name = [](const QWidget* W) {
        const QVariant Text = W->property(qobject_cast<const QGroupBox*>(W) ? "title" : "text");
        return (W->objectName() + " \"" + Text.toString() + "\"").toStdString();
    };
    for (const QWidget* W : Window.findChildren<QWidget*>()) {
        if (!IsPlaced(W, Window)) {
            continue;
        }
        const QFontMetrics M(W->font());
        const auto* L = qobject_cast<const QLabel*>(W);
        const int Room = qobject_cast<const QPushButton*>(W) ? 4 * Gap : qobject_cast<const QGroupBox*>(W) ? 8 * Gap : -1;
        if (QRegularExpression("\"[A-Z]+_[A-Z_]+").match(QString::fromStdString(Name(W))).hasMatch()) {
            Faults.push_back(Name(W) + " shows a text's key");
        }
        if ((Room > 0 && M.horizontalAdvance(W->property(Room == 4 * Gap ? "text" : "title").toString().remove('&')) + Room > W->width()) ||
            (L && !L->wordWrap() && L->pixmap().isNull() && L->width() < L->sizeHint().width()) ||
            (Room < 0 && qobject_cast<const QAbstractButton*>(W) && W->width() < W->sizeHint().width())) {
            Faults.push_back(Name(W) + " is cut");
        }
        const QWidget* Parent = W->parentWidget();
        if (!Parent->rect().adjusted(Gap, 0, -Gap, -Gap).contains(Occupied(W))) {
            Faults.push_back(Name(W) + " reaches the frame of " + Parent->objectName().toStdString());
        }
        for (const QWidget* Other : Parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (Other > W && IsPlaced(Other, Window) &&
                Occupied(W).adjusted(-Gap, 0, Gap, 0).intersects(Occupied(Other))) {
                Faults.push_back(Name(W) + " touches " + Name(Other));
            }
        }
    }
    return Faults;
}

using LanguageFitTest = TMainWindowTest;

// In each language, with the real fonts, no caption or value of the main window, the point
// blocks, the point editor and the dialogs is cut, touches a neighbour or its frame, or shows a
// key. A dialog asks for no minimise or maximise button, and where a window manager offers them
// anyway (openbox draws them on every title bar) it comes straight back instead of vanishing.
TEST_F(LanguageFitTest, NothingIsCutOrTouchesItsNeighbourInAnyLanguageAndDialogsStayDialogs) {
    AddPoint("Outdoor air", "-12.5", "85");
    AddPoint("After the heating coil", "22", "20");
    Form->rbDensReal->click();
    auto* Chart = new TfrmOptionsChart(Form.get());
    Chart->Options = Form->Options.get();
    auto* Preview = new TfrmPreview(Form.get());
    Preview->resize(1000, 700);
    Editor->Document = Form->Document.get();
    Editor->Point = &Form->Document->Points[0];
    const std::vector<QWidget*> Windows{Form.get(), Preview, Editor, Chart, new TfrmVersion(Form.get()),
                                        new TfrmPrint(Form.get()), new TfrmLanguages(Form.get()), new TfrmIntro(Form.get())};
    QFont Bold = Form->PointBlocks->font();
    Bold.setBold(true); // any of the four properties may be prescribed
    // Without CustomizeWindowHint the platform adds the buttons it thinks fit.
    const Qt::WindowFlags Asked = Qt::WindowType_Mask | Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint |
                                  Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
    for (int Language = 0; Language < 3; ++Language) {
        TTranslator::SetLanguage(Language);
        const std::string Code = TTranslator::GetLanguageCode();
        Form->PaintBox1->grab(); // a repaint takes up the language's texts
        Preview->LoadTexts();
        auto Fit = [&](const auto& Rows) { // the point blocks are painted, not laid out
            for (const TBlockRow& Row : Rows) {
                EXPECT_LE(QFontMetrics(Bold).horizontalAdvance(Row.Label), TPointBlocks::ValueX - TPointBlocks::LabelX - 2 * Gap)
                    << Code << ", point block caption " << Row.Label.toStdString();
            }
        };
        Fit(Form->PointBlocks->Block(2).Rows);
        Fit(Form->PointBlocks->Process(1).Rows);
        for (QWidget* Window : Windows) {
            SCOPED_TRACE(Code + ", " + Window->metaObject()->className());
            auto* D = Window == Form.get() || Window == Preview ? nullptr : qobject_cast<QDialog*>(Window);
            if (D != nullptr) {
                D->move(3, 7 + 300 * Language);
                D->show();
            }
            QCoreApplication::processEvents();
            for (const std::string& F : LayoutFaults(*Window)) {
                ADD_FAILURE() << F;
            }
            if (D == nullptr) {
                continue;
            }
            EXPECT_EQ(D->windowFlags() & Asked, Qt::Dialog | Qt::CustomizeWindowHint |
                                                    (qobject_cast<TfrmIntro*>(D) ? Qt::Widget : Qt::WindowCloseButtonHint));
            for (auto State : {Qt::WindowMinimized, Qt::WindowMaximized, Qt::WindowFullScreen}) {
                D->setWindowState(State);
                QCoreApplication::processEvents();
                EXPECT_TRUE(D->windowState() == Qt::WindowNoState && D->isVisible()) << State;
            }
            D->hide();
        }
    }
}

// The program's own start: the language choice is the first window to paint; after OK the main
// window appears and paints, after Cancel the run ends (0) with nothing else shown.
TEST_F(TWindowTest, TheLanguageChoicePaintsFirstAndItsCancelEndsTheRunUnseen) {
    for (const bool Ok : {true, false}) {
        struct TFirstPaints : QObject {
            std::string Log;
            bool Ok = true;
            bool eventFilter(QObject* Watched, QEvent* Event) override {
                auto* W = Watched->isWidgetType() ? static_cast<QWidget*>(Watched)->window() : nullptr;
                auto* Intro = qobject_cast<TfrmIntro*>(W);
                auto* Main = qobject_cast<TfrmMain*>(W);
                const bool Paint = Event->type() == QEvent::Paint;
                const std::string Seen = std::string(Intro ? "intro" : "main") + (Paint ? " painted " : " shown ");
                if ((Intro || Main) && (Paint || (Event->type() == QEvent::Show && Watched == Main)) &&
                    Log.find(Seen) == std::string::npos) {
                    Log += Seen;
                    if (Intro && Paint) {
                        QTimer::singleShot(0, Ok ? Intro->btnOK : Intro->btnCancel, &QPushButton::click);
                    } else if (Paint) {
                        QTimer::singleShot(0, Main, &QWidget::close);
                    }
                }
                return false;
            }
        } Filter;
        Filter.Ok = Ok;
        qApp->installEventFilter(&Filter);
        EXPECT_EQ(RunPsykrona({}, ProgramDir.Dir()), 0);
        qApp->removeEventFilter(&Filter);
        EXPECT_EQ(Filter.Log, Ok ? "intro painted main shown main painted " : "intro painted ");
    }
}

} // namespace
} // namespace psykrona::test
