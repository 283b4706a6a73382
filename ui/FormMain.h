#pragma once

#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMimeData;
class QPushButton;
class QRadioButton;
class QAbstractScrollArea;
class QStatusBar;
class QToolBar;

namespace psykrona {

class TCanvas;
class TMain;
class TMollierPoint;
class TMollierDraw;
class TMollierFileHandling;
class TMollierOptions;
class TPaintBox;
class TPointBlocks;
struct TPointBlock;
struct TProcessRows;
class TfrmEditPoint;
class TfrmIntro;
class TfrmLanguages;
class TfrmOptionsChart;
class TfrmPreview;
class TfrmPrint;
class TfrmVersion;
class TfrmProcess;
class TfrmMix;
class TfrmPointProperties;
class TfrmDewWetPoint;
class TfrmAltitude;
struct TMoistAirState;

// The program's other windows. The program entry creates them after the
// main window and hands them over before showing it; they are not owned
// here. A window left out makes its command do nothing.
struct TPsykronaForms {
    TfrmPreview* frmPreview = nullptr;
    TfrmEditPoint* frmEditPoint = nullptr;
    TfrmOptionsChart* frmOptionsChart = nullptr;
    TfrmVersion* frmVersion = nullptr;
    TfrmPrint* frmPrint = nullptr;
    TfrmLanguages* frmLanguages = nullptr;
    TfrmIntro* frmIntro = nullptr;
};

// The main window and owner of the running project: the flow-data panel,
// the point list and blocks, the chart with the cursor read-out, and the
// file, print, option and help commands. One class in several sources:
// FormMain.cpp (controls, texts, window events), FormMainFiles.cpp,
// FormMainPoints.cpp, FormMainChart.cpp and FormMainTools.cpp.
//
// Repaint model: every paint of the chart area applies the current
// language's texts to the whole window, rewrites the point blocks from the
// document and draws the chart from the document and the options. Commands
// that change any of these invalidate the chart area (InvalidateWindow).
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    // Builds the window and runs FormCreate with the language files of
    // ProgramDir (the program's own directory when empty). Throws
    // ETranslatorError when the languages cannot be loaded.
    explicit TfrmMain(QWidget* Parent = nullptr);
    explicit TfrmMain(const std::string& ProgramDir, QWidget* Parent = nullptr);
    ~TfrmMain() override;

    // Owned for the whole run.
    TDomImplementation FDomImpl;
    TXmlParser FXMLParser;
    std::unique_ptr<TMain> Document; // replaced on New and Open
    std::unique_ptr<TMollierOptions> Options;
    std::unique_ptr<TMollierDraw> Draw;
    std::unique_ptr<TMollierFileHandling> FileHandling;

    std::string ProductCaption;
    bool Modified = false;
    bool DrawingEnabled = true;
    double LastPressure = 0; // kPa

    TPsykronaForms Forms;
    // The project named on the command line, opened by FormShow.
    std::optional<std::string> StartFileName;
    // The help command, carried out by the program start; the menu item does
    // nothing while unset.
    std::function<void()> OnHelp;

    // Controls.
    QToolBar* ToolBar;
    QAction* tbNew;
    QAction* tbOpen;
    QAction* tbSave;
    QAction* tbPrint;
    QAction* tbAdd;
    QAction* tbDelete;
    QAction* tbInsert;
    QAction* tbEdit;
    QMenu* mnuFile;
    QAction* mnuFileNew;
    QAction* mnuFileOpen;
    QAction* mnuFileSave;
    QAction* mnuFileSaveAs;
    QAction* mnuFileSaveChartAsPicture;
    QAction* mnuFilePrint;
    QAction* mnuFileExit;
    QMenu* mnuOptions;
    QAction* MnuOptionsChart;
    QAction* mnuOptionsLanguage;
    QMenu* mnuHelp;
    QAction* mnuHelpHelp;
    QAction* mnuHelpAbout;
    QMenu* mnuTools;
    QAction* mnuToolsProcess;
    QAction* mnuToolsMix;
    QAction* mnuToolsProperties;
    QAction* mnuToolsDewWetPoint;
    QAction* mnuToolsAltitude;
    QAction* mnuToolsCopyChart;
    QAction* mnuToolsExportCsv;
    // The Tools menu's windows, children of this one.
    TfrmProcess* frmProcess = nullptr;
    TfrmMix* frmMix = nullptr;
    TfrmPointProperties* frmPointProperties = nullptr;
    TfrmDewWetPoint* frmDewWetPoint = nullptr;
    TfrmAltitude* frmAltitude = nullptr;

    QGroupBox* gbFlowData;
    QLabel* stFlowHeader;
    QLineEdit* edtFlowAirFlow;
    QLabel* stFlowUnit;
    QLabel* stDensHeader;
    QRadioButton* rbDensNormal;
    QRadioButton* rbDensReal;
    QLabel* stDensTemp;
    QLineEdit* edtDensTemp;
    QLabel* stDensUnitTemp;
    QLabel* stDensPatm;
    QLineEdit* edtDensPatm;
    QLabel* stDensUnitPatm;
    QLabel* stDensDensity;
    QLabel* lblDensDensity;
    QLabel* stDensUnitDensity;
    QPushButton* btnUpdateFlowData;

    QAbstractScrollArea* sbPoints;
    TPointBlocks* PointBlocks; // sbPoints itself, with its blocks
    QGroupBox* gbPoints;
    QListWidget* ListBox1;
    QPushButton* btnAdd;
    QPushButton* btnDelete;
    QPushButton* btnInsert;
    QPushButton* btnEdit;

    TPaintBox* PaintBox1;
    QStatusBar* StatusBar1;
    std::array<QLabel*, 2> StatusPanels; // file name; cursor read-out

    // Window events.
    void FormCreate(const std::string& ProgramDir);
    void FormShow();
    // Asks about unsaved work; whether the window may close.
    bool FormCloseQuery();
    void FormResize();
    void FormPaint(QPainter& Painter);
    void ApplyTexts();
    void InvalidateWindow();

    // File commands; each returns whether it went through.
    bool SaveChangesFirst();
    bool mnuFileNewClick();
    bool mnuFileOpenClick();
    void OpenProjectFile(const std::string& FileName);
    // True when a file was written.
    bool mnuFileSaveClick();
    bool mnuFileSaveAsClick();
    void mnuFileSaveChartAsPictureClick();
    // The one project file, ".pkx" or ".pkr", that Data carries, as a drop
    // on the window would open it; nothing for anything else.
    static std::optional<std::string> DroppedProjectFile(const QMimeData* Data);
    // A project file dropped on the window: opened as Open does, after the
    // same save question.
    void OpenDroppedFile(const std::string& FileName);
    void mnuFilePrintClick();
    void mnuFileExitClick();
    void MnuOptionsChartClick();
    void mnuOptionsLanguageClick();
    void mnuHelpHelpClick();
    void mnuHelpAboutClick();

    // Tools menu (FormMainTools.cpp).
    void BuildToolsMenu();
    void ApplyToolsTexts();
    void mnuToolsProcessClick();
    void mnuToolsMixClick();
    void mnuToolsPropertiesClick();
    void mnuToolsDewWetPointClick();
    void mnuToolsAltitudeClick();
    // The chart as the view shows it, at the view's size, on the clipboard:
    // a picture, and an SVG drawing for programs that take one.
    void mnuToolsCopyChartClick();
    // The points and processes as CSV, as psykrona-cli table writes them.
    void mnuToolsExportCsvClick();
    // Inserts a point made by a tool at Position (1 .. PointCount + 1),
    // prescribed by temperature and humidity ratio, or by enthalpy and
    // humidity ratio, rounded as a user would type them; the point before it
    // gets a line to the next. The project is modified and the new point
    // selected.
    void InsertToolPoint(int Position, const std::string& Name, const TMoistAirState& State, bool ByEnthalpy);
    // The point-properties window follows the selection and the project.
    void RefreshPointProperties();

    // Points panel and flow data.
    void btnAddClick();
    void btnInsertClick();
    void btnDeleteClick();
    void btnEditClick();
    void ListBox1DblClick();
    bool RunPointEditor(TMollierPoint& P);
    void RefreshPointsPanel();
    void ClearProject();
    void ShowLoadedProject();
    void UpdateFlowData(bool MarkModified);
    void rbDensNormalClick();
    void rbDensRealClick();

    // Chart.
    // The chart area as the view shows it: a white field with a black frame
    // and the chart, at the view's size in logical pixels on any painter.
    void PaintChartView(QPainter& Painter);
    void DrawChart(TCanvas& Canvas);
    void PaintBox1MouseMove(int X, int Y);

    // The selected row of the point list, or -1.
    int SelectedRow() const;
    QString StatusText(int Panel) const;

    // The stored texts of the point blocks and the messages.
    struct TStoredTexts {
        std::string Temperature, RelHum, SpecHum, Enthalpy, Power, SensPower, Water;
        std::string FileNotFound, FileNotOpened, FileNotSaved, ConfirmErasePoint, SaveChanges,
            QuitWithoutSaving;
    };
    const TStoredTexts& StoredTexts() const { return FTexts; }

    // The filters of the project and picture dialogs.
    static constexpr const char* OpenFilter =
        "Psykrona file (*.pkx)|*.pkx|Psykrona 1.x file (*.pkr)|*.pkr|All  files (*.*)|*.*";
    static constexpr const char* SaveFilter = "Psykrona file (*.pkx)|*.pkx|All files (*.*)|*.*";
    static constexpr const char* PictureFilter = "Bitmaps (*.bmp)|*.bmp|JPEG Image (*.jpg)|*.jpg|PNG Image "
                                                 "(*.png)|*.png|SVG Drawing (*.svg)|*.svg";
    static constexpr const char* ProjectExtension = "pkx";

    // The first showing runs FormShow before the window appears; when the
    // user ends the program there, the window stays hidden.
    void setVisible(bool Visible) override;

protected:
    void closeEvent(QCloseEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dragMoveEvent(QDragMoveEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildFlowDataPanel(QWidget* Parent);
    void BuildPointsPanel(QWidget* Parent);
    // Makes the point list and the point blocks as long as the document.
    void MatchPointRows(bool Numbered = false);
    // The texts of block K and of the process from point I to I + 1, from
    // the document; the panel asks for those it shows.
    TPointBlock PointBlockOf(int K) const;
    TProcessRows ProcessRowsOf(int I) const;
    void LayoutWorkArea();
    // Places the flow-data controls for the current texts.
    void LayoutFlowData();
    void SetPointButtonsEnabled(bool Enabled);
    void SetRealDensityEnabled(bool Enabled);
    // Selects a density choice from the program and runs its handling when
    // it was not selected; failures go to the caller.
    void SelectDensityChoice(QRadioButton* Choice);
    void UncheckDensityChoices();
    // A flow-data update asked for by the user: a failure is reported once,
    // and the focus changes the report itself causes start no second one.
    void FlowDataTrigger();
    void SetStatusText(int Panel, const std::string& Text);
    // Connects a control's signal to a handler; a failure in the handler is
    // reported and the program goes on.
    template <typename TSender, typename TSignal, typename THandler>
    void Connect(TSender* Sender, TSignal Signal, THandler Handler);

    QWidget* FWorkArea = nullptr;
    TStoredTexts FTexts;
    bool FShown = false;
    bool FEnded = false;
    bool FReportingFlowFailure = false;
    bool FPaintFailureQueued = false;
    int FFlowDataWidth = 0;
};

} // namespace psykrona
