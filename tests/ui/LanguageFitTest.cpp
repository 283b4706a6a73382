// Every language fits: in each shipped language, with the fonts the program
// really gets, no caption or value of the main window's panels, the point
// blocks, the point editor and the dialogs is cut, runs into its neighbour or
// reaches its frame; and Qt's own dialogs follow the chosen language.
#include "chart/FormOptionsChart.h"
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"
#include "printing/FormPreview.h"
#include "printing/FormPrint.h"
#include "ui/FormVersion.h"
#include "ui/PointBlocks.h"

#include "tests/ui/UiFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>

#include <string>
#include <vector>

namespace psykrona::test {
namespace {

// Pixels kept free between neighbours (the design's closest pair, a field
// and its unit, is 2 apart) and inside a frame.
constexpr int Gap = 2;

bool IsControl(const QWidget* W) {
    return qobject_cast<const QLabel*>(W) || qobject_cast<const QAbstractButton*>(W) ||
           qobject_cast<const QLineEdit*>(W) || qobject_cast<const QComboBox*>(W) ||
           qobject_cast<const QListWidget*>(W) || qobject_cast<const QGroupBox*>(W);
}

// Our controls, placed by us: those on the window, on the main window's work
// area and in group boxes (not the insides of Qt's own widgets and bars).
bool IsPlaced(const QWidget* W, const QWidget& Window) {
    const QWidget* P = W->parentWidget();
    const auto* Main = qobject_cast<const QMainWindow*>(&Window);
    return IsControl(W) && W->isVisibleTo(&Window) &&
           (P == &Window || qobject_cast<const QGroupBox*>(P) || (Main && P == Main->centralWidget()));
}

QString Plain(QString Caption) {
    return Caption.remove(QLatin1Char('&'));
}

// The part of a control that shows something: a label's, check box's or
// radio button's text from its left edge as far as the text needs, any
// other control whole.
QRect Occupied(const QWidget* W) {
    if (qobject_cast<const QLabel*>(W) ||
        (qobject_cast<const QAbstractButton*>(W) && !qobject_cast<const QPushButton*>(W))) {
        return {W->pos(), QSize(std::min(W->width(), W->sizeHint().width()), W->height())};
    }
    return W->geometry();
}

// The faults in one window: texts cut by their control, controls running
// into a sibling or out of their container's frame.
std::vector<std::string> LayoutFaults(const QWidget& Window) {
    std::vector<std::string> Faults;
    auto Name = [](const QWidget* W) {
        const auto* B = qobject_cast<const QAbstractButton*>(W);
        const auto* L = qobject_cast<const QLabel*>(W);
        const QString Text = B ? B->text() : L ? L->text() : QString();
        return (W->objectName() + " \"" + Text + "\"").toStdString();
    };
    const QList<QWidget*> All = Window.findChildren<QWidget*>();
    for (const QWidget* W : All) {
        if (!IsPlaced(W, Window)) {
            continue;
        }
        const QFontMetrics M(W->font());
        if (const auto* Push = qobject_cast<const QPushButton*>(W)) {
            if (M.horizontalAdvance(Plain(Push->text())) + 4 * Gap > Push->width()) {
                Faults.push_back(Name(W) + " is cut");
            }
        } else if (const auto* Box = qobject_cast<const QGroupBox*>(W)) {
            if (M.horizontalAdvance(Plain(Box->title())) + 8 * Gap > Box->width()) {
                Faults.push_back(Name(W) + " title is cut");
            }
        } else if (const auto* L = qobject_cast<const QLabel*>(W);
                   L && !L->wordWrap() && L->pixmap().isNull()) {
            if (L->width() < L->sizeHint().width()) {
                Faults.push_back(Name(W) + " is cut");
            }
        } else if (qobject_cast<const QAbstractButton*>(W) && W->width() < W->sizeHint().width()) {
            Faults.push_back(Name(W) + " is cut");
        }
        const QWidget* Parent = W->parentWidget();
        const QRect Mine = Occupied(W);
        if (!Parent->rect().adjusted(Gap, 0, -Gap, -Gap).contains(Mine)) {
            Faults.push_back(Name(W) + " reaches the frame of " + Parent->objectName().toStdString());
        }
        for (const QWidget* Other : Parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (Other <= W || !IsPlaced(Other, Window)) {
                continue;
            }
            if (Mine.adjusted(-Gap, 0, Gap, 0).intersects(Occupied(Other))) {
                Faults.push_back(Name(W) + " touches " + Name(Other));
            }
        }
    }
    return Faults;
}

class LanguageFitTest : public TMainWindowTest {
protected:
    // The point blocks: a caption leaves room before the value column, in
    // bold for the four properties (any of them may be prescribed) and as
    // drawn for the process rows.
    std::vector<std::string> BlockFaults() const {
        std::vector<std::string> Faults;
        QFont Bold = Form->PointBlocks->font();
        Bold.setBold(true);
        const int Room = TPointBlocks::ValueX - TPointBlocks::LabelX - 2 * Gap;
        for (const TBlockRow& Row : Form->PointBlocks->Block(2).Rows) {
            if (QFontMetrics(Bold).horizontalAdvance(Row.Label) > Room) {
                Faults.push_back("caption \"" + Row.Label.toStdString() + "\" is cut");
            }
        }
        for (const TBlockRow& Row : Form->PointBlocks->Process(1).Rows) {
            if (QFontMetrics(Row.Bold ? Bold : Form->PointBlocks->font()).horizontalAdvance(Row.Label) >
                Room) {
                Faults.push_back("caption \"" + Row.Label.toStdString() + "\" is cut");
            }
        }
        return Faults;
    }
};

TEST_F(LanguageFitTest, NoCaptionOrValueIsCutOrTouchesItsNeighbourInAnyLanguage) {
    AddPoint("Outdoor air", "-12.5", "85");
    AddPoint("After the heating coil", "22", "20");
    Form->rbDensReal->click();
    auto* Chart = new TfrmOptionsChart(Form.get());
    Chart->Options = Form->Options.get();
    auto* Version = new TfrmVersion(Form.get());
    auto* Print = new TfrmPrint(Form.get());
    auto* Preview = new TfrmPreview(Form.get());
    auto* Languages = new TfrmLanguages(Form.get());
    auto* Intro = new TfrmIntro(Form.get());
    Editor->Document = Form->Document.get();
    Editor->Point = &Form->Document->Points[0];
    const std::vector<QWidget*> Windows{Editor, Chart, Version, Print, Languages, Intro};
    const int EnglishChartLeft = Form->PaintBox1->x();

    for (int Language = 0; Language < 3; ++Language) {
        TTranslator::SetLanguage(Language);
        const std::string Code = TTranslator::GetLanguageCode();
        Form->PaintBox1->grab(); // a repaint takes up the language's texts
        QCoreApplication::processEvents();
        for (const std::string& F : LayoutFaults(*Form)) {
            ADD_FAILURE() << Code << ", main window: " << F;
        }
        for (const std::string& F : BlockFaults()) {
            ADD_FAILURE() << Code << ", point blocks: " << F;
        }
        for (QWidget* Dialog : Windows) {
            Dialog->show();
            QCoreApplication::processEvents();
            for (const std::string& F : LayoutFaults(*Dialog)) {
                ADD_FAILURE() << Code << ", " << Dialog->metaObject()->className() << ": " << F;
            }
            Dialog->hide();
        }
        Preview->resize(1000, 700);
        Preview->LoadTexts();
        for (const std::string& F : LayoutFaults(*Preview)) {
            ADD_FAILURE() << Code << ", preview: " << F;
        }
        if (Language == 0) {
            EXPECT_EQ(Form->edtDensTemp->x(), 248) << "English keeps the design places";
            EXPECT_EQ(Form->gbFlowData->width(), 326);
            EXPECT_EQ(EnglishChartLeft, Form->PaintBox1->x());
        }
    }
}

// A caption of Qt's file dialogs and one of its printer dialog, as the
// current language gives them.
std::string QtCaptions() {
    return (QCoreApplication::translate("QFileDialog", "&Open") + " / " +
            QCoreApplication::translate("QPrintDialog", "Print"))
        .toStdString();
}

TEST_F(LanguageFitTest, QtsOwnDialogsFollowTheLanguageChosenAtStartAndFromTheMenu) {
    TfrmIntro Intro(Form.get());
    TfrmLanguages Languages(Form.get());
    const std::string Expected[] = {"&Open / Print", "&Öppna / Skriv ut", "&Megnyitás / Nyomtatás"};
    Intro.show();
    for (int Language : {2, 0, 1, 2}) {
        Intro.cboLanguages->setCurrentIndex(Language);
        Intro.btnOKClick();
        EXPECT_EQ(QtCaptions(), Expected[Language]) << "chosen at start";
    }
    // Ends in English, as the other tests expect.
    for (int Language : {1, 0}) {
        Languages.show();
        Languages.lstLanguages->setCurrentRow(Language);
        Languages.btnOKClick();
        EXPECT_EQ(QtCaptions(), Expected[Language]) << "chosen from the menu";
    }
}

} // namespace
} // namespace psykrona::test
