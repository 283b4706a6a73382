// The main window among other programs: a project file dropped on it, the
// chart copied to the clipboard, the points exported as CSV, and the chart
// view on a screen of twice the pixel density.
#include "chart/MollierDraw.h"
#include "qt/QtCanvas.h"
#include "ui/PaintBox.h"

#include "tests/support/ChildProcess.h"
#include "tests/ui/UiFixture.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QSvgRenderer>
#include <QUrl>

namespace psykrona {
namespace {

using DesktopHabitsTest = test::TMainWindowTest;

// Drags Files over the chart and drops them, as a file manager does; whether
// the window took the drop.
bool Drop(TfrmMain& Form, const std::vector<std::string>& Files) {
    QMimeData Data;
    QList<QUrl> Urls;
    for (const std::string& F : Files) {
        Urls.append(QUrl::fromLocalFile(QString::fromStdString(F)));
    }
    Data.setUrls(Urls);
    const QPoint At = Form.PaintBox1->rect().center();
    QDragEnterEvent Enter(At, Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form.PaintBox1, &Enter);
    if (!Enter.isAccepted()) {
        return false;
    }
    QDropEvent Dropped(QPointF(At), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form.PaintBox1, &Dropped);
    QCoreApplication::processEvents();
    return Dropped.isAccepted();
}

TEST_F(DesktopHabitsTest, AProjectFileDroppedOnTheWindowOpensAsFileOpenWould) {
    const std::string Plan = Work.File("plan.pkx");
    Work.Write("plan.pkx", test::RandomProjectXml(5, 7));
    Work.Write("notes.txt", "5 points");
    AddPoint("Outdoor", "20", "50");
    Dialogs.Answers = {TAnswer::Cancel, TAnswer::No};
    EXPECT_TRUE(Drop(*Form, {Plan}));
    ASSERT_EQ(Form->Document->Points.size(), 1u) << "Cancel in the save question keeps the project";
    EXPECT_EQ(Form->Document->Points[0].Name, "Outdoor");
    EXPECT_TRUE(Form->Modified);
    EXPECT_FALSE(Drop(*Form, {Work.File("notes.txt")}));
    EXPECT_FALSE(Drop(*Form, {Plan, Plan}));
    EXPECT_TRUE(Drop(*Form, {Plan}));
    EXPECT_EQ(Form->Document->Points.size(), 5u);
    EXPECT_EQ(Form->windowTitle().toStdString(), Form->ProductCaption + " - " + Plan);
    EXPECT_FALSE(Form->Modified);
    ASSERT_EQ(Dialogs.Asked.size(), 2u) << "a refused drop asks nothing";
    for (const auto& Asked : Dialogs.Asked) {
        EXPECT_EQ(Asked.Text, Form->StoredTexts().SaveChanges + "?");
    }
}

TEST_F(DesktopHabitsTest, PointsExportedAsCsvAreTheCommandLineToolsTableByteForByte) {
    const unsigned Seed = 20261206;
    SCOPED_TRACE("seed " + std::to_string(Seed));
    const std::string Plan = Work.File("plan.pkx");
    Work.Write("plan.pkx", test::RandomProjectXml(9, Seed));
    Form->OpenProjectFile(Plan);
    ASSERT_EQ(Form->Document->PointCount(), 9);
    // The window shows the user's separator; the CSV never takes it.
    SetDecimalSeparator(',');
    const std::string Project = Work.Read("plan.pkx");
    Dialogs.Files = {Plan, Work.File("missing/plan.csv"), Work.File("plan.csv")};
    for (int I = 0; I < 3; ++I) {
        Form->mnuToolsExportCsv->trigger();
    }
    EXPECT_EQ(Dialogs.Asked.front().Request.FileName, "plan.csv");
    const std::string Refused = TTranslator::GetText("TOOLS", "MSG_CSV_NOT_WRITTEN");
    ASSERT_EQ(Dialogs.Asked.size(), 5u);
    for (std::size_t I : {1u, 3u}) {
        EXPECT_EQ(Dialogs.Asked[I].Text.rfind(Refused, 0), 0u) << Dialogs.Asked[I].Text;
    }
    EXPECT_EQ(Work.Read("plan.pkx"), Project);
    EXPECT_FALSE(Form->Modified);
    const test::TProcessResult Cli = test::RunProcess(test::CliPath(), {"table", Plan, "--format", "csv"});
    ASSERT_EQ(Cli.ExitCode, 0) << Cli.Err;
    EXPECT_EQ(Work.Read("plan.csv"), Cli.Out);
}

TEST_F(DesktopHabitsTest, CopyChartPutsTheViewAsShownOnTheClipboardAsPictureAndSvg) {
    Work.Write("plan.pkx", test::RandomProjectXml(6, 11));
    Form->OpenProjectFile(Work.File("plan.pkx"));
    QGuiApplication::clipboard()->clear();
    Form->mnuToolsCopyChart->trigger();
    const QMimeData* Data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(Data, nullptr);
    const QImage Shown = Form->PaintBox1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage Picture = qvariant_cast<QImage>(Data->imageData()).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Picture, Shown);
    // The drawing, rendered, lies where the picture's lines and letters lie.
    QSvgRenderer Svg(Data->data(QStringLiteral("image/svg+xml")));
    ASSERT_TRUE(Svg.isValid());
    EXPECT_EQ(Svg.viewBox().size(), Form->PaintBox1->size());
    QImage Drawn(Shown.size(), QImage::Format_RGB32);
    Drawn.fill(Qt::white);
    QPainter Painter(&Drawn);
    Svg.render(&Painter);
    Painter.end();
    long Inked = 0, Apart = 0;
    for (int Y = 0; Y < Shown.height(); ++Y) {
        for (int X = 0; X < Shown.width(); ++X) {
            const bool InPicture = qGray(Shown.pixel(X, Y)) < 128;
            Inked += InPicture;
            Apart += InPicture != (qGray(Drawn.pixel(X, Y)) < 128);
        }
    }
    EXPECT_LT(Apart, Inked / 10) << Inked << " dark pixels";
}

// An enlarged picture differs from one drawn at full resolution along every
// line and letter.
TEST_F(DesktopHabitsTest, ChartViewDrawsEveryPixelOfADoubleDensityScreen) {
    Work.Write("plan.pkx", test::RandomProjectXml(6, 5));
    Form->OpenProjectFile(Work.File("plan.pkx"));
    const QSize Size = Form->PaintBox1->size();
    auto Screen = [&] {
        QImage Image(Size * 2, QImage::Format_RGB32);
        Image.setDevicePixelRatio(2);
        Image.fill(Qt::white);
        return Image;
    };
    QImage View = Screen();
    Form->PaintBox1->render(&View);
    QImage Direct = Screen();
    {
        TQtCanvas Canvas(Direct);
        Canvas.SetPenWidth(3);
        Canvas.Rectangle(0, 0, Size.width(), Size.height());
        Form->Draw->SetCanvas(&Canvas, 0, 0, Size.width(), Size.height());
        Form->Draw->DrawDiagram(false);
    }
    EXPECT_EQ(View, Direct);
}

} // namespace
} // namespace psykrona
