// The main window's Tools menu: the next point from a process, mixing, the
// point-properties window, a new point from dew point or wet bulb, the
// pressure from the altitude, and the chart and the points handed to other
// programs. Every point a tool makes is an ordinary point of the project.
#include "ui/FormMain.h"

#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/MollierPoint.h"
#include "engine/NumberText.h"
#include "engine/PointTable.h"
#include "files/MollierFileHandling.h"
#include "printing/PictureFiles.h"
#include "qt/ChartPicture.h"
#include "ui/DialogLayout.h"
#include "ui/FormAltitude.h"
#include "ui/FormDewWetPoint.h"
#include "ui/FormMix.h"
#include "ui/FormPointProperties.h"
#include "ui/FormProcess.h"
#include "ui/PaintBox.h"
#include "ui/ToolDialogs.h"
#include "ui/UserDialogs.h"
#include "xml/FileAccess.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace psykrona {

namespace {

// Runs a menu command; a failure is shown with its own message.
template <typename THandler> void Guarded(THandler Handler) {
    try {
        Handler();
    } catch (const std::exception& Failure) {
        ReportFailure(Failure);
    }
}

// Every repaint of the chart follows a change of the project, so the
// point-properties window refreshes with it.
class TChartPaintWatcher final : public QObject {
public:
    TChartPaintWatcher(QObject* Parent, TfrmMain& Main) : QObject(Parent), FMain(Main) {}
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Event->type() == QEvent::Paint) {
            FMain.RefreshPointProperties();
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    TfrmMain& FMain;
};

} // namespace

void TfrmMain::BuildToolsMenu() {
    mnuTools = menuBar()->addMenu(QString());
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    auto Item = [this](const char* Name, void (TfrmMain::*Handler)()) {
        QAction* Action = mnuTools->addAction(QString());
        Action->setObjectName(QString::fromLatin1(Name));
        connect(Action, &QAction::triggered, this, [this, Handler] { Guarded([&] { (this->*Handler)(); }); });
        return Action;
    };
    mnuToolsProcess = Item("mnuToolsProcess", &TfrmMain::mnuToolsProcessClick);
    mnuToolsMix = Item("mnuToolsMix", &TfrmMain::mnuToolsMixClick);
    mnuToolsDewWetPoint = Item("mnuToolsDewWetPoint", &TfrmMain::mnuToolsDewWetPointClick);
    mnuTools->addSeparator();
    mnuToolsProperties = Item("mnuToolsProperties", &TfrmMain::mnuToolsPropertiesClick);
    mnuTools->addSeparator();
    mnuToolsAltitude = Item("mnuToolsAltitude", &TfrmMain::mnuToolsAltitudeClick);
    mnuTools->addSeparator();
    mnuToolsCopyChart = Item("mnuToolsCopyChart", &TfrmMain::mnuToolsCopyChartClick);
    mnuToolsExportCsv = Item("mnuToolsExportCsv", &TfrmMain::mnuToolsExportCsvClick);
}

void TfrmMain::ApplyToolsTexts() {
    mnuTools->setTitle(ToolQText("MNU_TOOLS"));
    mnuToolsProcess->setText(ToolQText("MNU_TOOLS_PROCESS"));
    mnuToolsMix->setText(ToolQText("MNU_TOOLS_MIX"));
    mnuToolsDewWetPoint->setText(ToolQText("MNU_TOOLS_DEW_WET_POINT"));
    mnuToolsProperties->setText(ToolQText("MNU_TOOLS_PROPERTIES"));
    mnuToolsAltitude->setText(ToolQText("MNU_TOOLS_ALTITUDE"));
    mnuToolsCopyChart->setText(ToolQText("MNU_TOOLS_COPY_CHART"));
    mnuToolsExportCsv->setText(ToolQText("MNU_TOOLS_EXPORT_CSV"));
}

void TfrmMain::InsertToolPoint(int Position, const std::string& Name, const TMoistAirState& State,
                               bool ByEnthalpy) {
    // The prescribed values as a user would type them (0.01 °C, 0.001 g/kg,
    // 0.01 kJ/kg), so that the point blocks and the editor show them
    // readably; a saturated result is kept at or below saturation.
    auto Rounded = [](double Value, double Step) { return std::round(Value / Step) * Step; };
    TMoistAirState S;
    S.Temp = Rounded(State.Temp, 0.01);
    S.SpecHum = Rounded(State.SpecHum, 1e-6);
    S.Enthalpy = Rounded(State.Enthalpy, 0.01);
    // The smaller code first, as the point editor writes them.
    const int Code1 = ByEnthalpy ? PROP_SPECHUM : PROP_TEMP;
    const int Code2 = ByEnthalpy ? PROP_ENTHALPY : PROP_SPECHUM;
    TMollierCalculate& Calc = TMollierCalculate::GetInstance();
    Calc.Pressure = Document->Pressure;
    Calc.SolveFromPair(Code1, Code2, S);
    while (S.RelHum > 100 && S.SpecHum >= 1e-6) {
        S.SpecHum -= 1e-6;
        Calc.SolveFromPair(Code1, Code2, S);
    }
    TMollierPoint& P = Document->InsertPoint(Position);
    P.Number = Position;
    P.Name = Name;
    P.Temp = S.Temp;
    P.SpecHum = S.SpecHum;
    P.RelHum = S.RelHum;
    P.Enthalpy = S.Enthalpy;
    P.Prescribed1 = Code1;
    P.Prescribed2 = Code2;
    if (Position > 1) {
        Document->Points[static_cast<std::size_t>(Position - 2)].LineToNext = true;
    }
    MatchPointRows();
    RefreshPointsPanel();
    ListBox1->setCurrentRow(Position - 1);
    SetPointButtonsEnabled(true);
    Modified = true;
    InvalidateWindow();
}

void TfrmMain::mnuToolsProcessClick() {
    const int Row = SelectedRow();
    if (Row < 0 || Row >= Document->PointCount()) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Plain, ToolText("MSG_SELECT_POINT"));
        return;
    }
    if (frmProcess == nullptr) {
        frmProcess = new TfrmProcess(this);
    }
    frmProcess->Document = Document.get();
    frmProcess->Point = &Document->Points[static_cast<std::size_t>(Row)];
    if (frmProcess->exec() == QDialog::Accepted) {
        InsertToolPoint(Row + 2, frmProcess->ProcessName(), frmProcess->Result(), frmProcess->ByEnthalpy());
    }
}

void TfrmMain::mnuToolsMixClick() {
    if (Document->PointCount() < 2) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Plain, ToolText("MSG_TWO_POINTS"));
        return;
    }
    if (frmMix == nullptr) {
        frmMix = new TfrmMix(this);
    }
    frmMix->Document = Document.get();
    frmMix->SelectedRow = std::max(0, SelectedRow());
    if (frmMix->exec() == QDialog::Accepted) {
        InsertToolPoint(frmMix->LaterPosition() + 1, ToolText("TXT_NAME_MIXED"), frmMix->Result(), false);
    }
}

void TfrmMain::mnuToolsDewWetPointClick() {
    if (frmDewWetPoint == nullptr) {
        frmDewWetPoint = new TfrmDewWetPoint(this);
    }
    frmDewWetPoint->Document = Document.get();
    if (frmDewWetPoint->exec() == QDialog::Accepted) {
        const int Row = SelectedRow();
        InsertToolPoint(Row >= 0 ? Row + 2 : Document->PointCount() + 1, "", frmDewWetPoint->Result(), false);
    }
}

void TfrmMain::mnuToolsPropertiesClick() {
    if (frmPointProperties == nullptr) {
        frmPointProperties = new TfrmPointProperties(this);
        frmPointProperties->setWindowFlag(Qt::Tool);
        connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] { RefreshPointProperties(); });
        PaintBox1->installEventFilter(new TChartPaintWatcher(frmPointProperties, *this));
    }
    frmPointProperties->show();
    frmPointProperties->raise();
    RefreshPointProperties();
}

void TfrmMain::RefreshPointProperties() {
    if (frmPointProperties != nullptr && frmPointProperties->isVisible()) {
        frmPointProperties->ShowPoint(*Document, SelectedRow());
    }
}

// The normal-density choice resets the pressure to 101.3 kPa, so the
// pressure goes into the real-density field and the flow data are updated:
// every point and the density are calculated again at the new pressure.
void TfrmMain::mnuToolsAltitudeClick() {
    if (frmAltitude == nullptr) {
        frmAltitude = new TfrmAltitude(this);
    }
    if (frmAltitude->exec() != QDialog::Accepted) {
        return;
    }
    edtDensPatm->setText(QText(FormatFixed(frmAltitude->Pressure() * 10, 1)));
    SelectDensityChoice(rbDensReal);
    UpdateFlowData(true);
    InvalidateWindow();
}

// Both flavours come from the view's own drawing, so what is pasted is what
// the window shows.
void TfrmMain::mnuToolsCopyChartClick() {
    const auto Paint = [this](QPainter& Painter) { PaintChartView(Painter); };
    const QImage Picture = PixelDrawing(PaintBox1->width(), PaintBox1->height(), Paint);
    const QByteArray Svg = SvgDrawing(PaintBox1->width(), PaintBox1->height(), Paint);
    auto* Data = new QMimeData;
    Data->setImageData(Picture);
    Data->setData(QStringLiteral("image/svg+xml"), Svg);
    QGuiApplication::clipboard()->setMimeData(Data);
}

// Proposed beside the project and named after it. A project file is never
// overwritten, and a failure leaves whatever file was there.
void TfrmMain::mnuToolsExportCsvClick() {
    const std::filesystem::path Project(FileHandling->FFileName);
    TFileDialogRequest Request;
    Request.Filter = ToolText("TXT_CSV_FILES") + " (*.csv)|*.csv";
    Request.DefaultExt = "csv";
    Request.InitialDir = Project.parent_path().string();
    Request.FileName = Project.empty() ? std::string() : Project.stem().string() + ".csv";
    const std::optional<std::string> FileName = TUserDialogs::Current().SaveFileName(Request);
    if (!FileName) {
        return;
    }
    try {
        CheckOutputFile(*FileName, {FileHandling->FFileName});
        WriteFileAtomically(*FileName, PointTableCsv(*Document));
    } catch (const std::exception& Failure) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Plain,
                                            FileFailureText(ToolText("MSG_CSV_NOT_WRITTEN"), *FileName, Failure));
    }
}

} // namespace psykrona
