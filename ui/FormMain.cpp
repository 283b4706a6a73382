#include "ui/FormMain.h"

#include "chart/FormOptionsChart.h"
#include "ui/ChartPicture.h"
#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"
#include "localisation/Translator.h"
#include "printing/FormPrint.h"
#include "ui/FormEditPoint.h"
#include "ui/DialogLayout.h"
#include "ui/FormVersion.h"
#include "ui/PaintBox.h"
#include "ui/PointBlocks.h"
#include "ui/PsykronaIcons.h"
#include "ui/QtCanvas.h"
#include "ui/UserDialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <cmath>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <utility>

namespace psykrona {

namespace {

QString Q(const std::string& Text) {
    return QString::fromStdString(Text);
}

std::string S(const QString& Text) {
    return Text.toStdString();
}

std::string Tr(const char* Section, const char* Key) {
    return TTranslator::GetText(Section, Key);
}

bool EndsWith(const std::string& Text, const std::string& End) {
    return Text.size() >= End.size() && Text.compare(Text.size() - End.size(), End.size(), End) == 0;
}

// Places of the work area, in pixels from the top left of the area below
// the tool bar.
// The flow-data box is a few pixels wider than designed: the unit captions at
// its right edge are wider in the fonts of the free desktops.
constexpr int FlowDataLeft = 8, FlowDataTop = 2, FlowDataWidth = 326, FlowDataHeight = 137;
constexpr int PointsTop = 146;
constexpr int BlocksLeft = 8, BlocksWidth = 209;
constexpr int ListLeft = 224, ListWidth = 105;
constexpr int ChartLeft = 336, ChartTop = 10;
constexpr int Margin = 8;

// Restores a flag on every way out of a scope.
class TFlagScope {
public:
    TFlagScope(bool& Flag, bool Value) : FFlag(Flag), FOld(Flag) { FFlag = Value; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

// Flow data that cannot be physical: the user's message and the field to
// correct.
class EFlowDataRefused : public std::runtime_error {
public:
    EFlowDataRefused(const std::string& Message, QLineEdit* Field) : std::runtime_error(Message), FField(Field) {}
    QLineEdit* Field() const { return FField; }

private:
    QLineEdit* FField;
};

// A project file that could not be written, with its name; the message is
// the failure's own.
class EProjectNotWritten : public std::runtime_error {
public:
    EProjectNotWritten(const std::exception& Cause, std::string Name)
        : std::runtime_error(Cause.what()), FileName(std::move(Name)) {}
    std::string FileName;
};

} // namespace

template <typename TSender, typename TSignal, typename THandler>
void TfrmMain::Connect(TSender* Sender, TSignal Signal, THandler Handler) {
    connect(Sender, Signal, this, [this, Handler] {
        try {
            std::invoke(Handler, this);
        } catch (const std::exception& Failure) {
            ReportFailure(Failure);
        }
    });
}

TfrmMain::TfrmMain(QWidget* Parent) : TfrmMain(std::string(), Parent) {}

TfrmMain::TfrmMain(const std::string& ProgramDir, QWidget* Parent) : QMainWindow(Parent) {
    setObjectName(QStringLiteral("frmMain"));
    setFont(DialogFont());
    setWindowIcon(PsykronaIcon(imgChart));
    resize(674, 537);

    BuildMenus();
    BuildToolBar();
    FWorkArea = new QWidget(this);
    FWorkArea->setObjectName(QStringLiteral("WorkArea"));
    setCentralWidget(FWorkArea);
    BuildFlowDataPanel(FWorkArea);
    BuildPointsPanel(FWorkArea);
    PaintBox1 = new TPaintBox(FWorkArea);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->OnPaint = [this](QPainter& Painter) { FormPaint(Painter); };
    PaintBox1->OnMouseMove = [this](int X, int Y) { PaintBox1MouseMove(X, Y); };
    FWorkArea->installEventFilter(this);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (std::size_t I = 0; I < StatusPanels.size(); ++I) {
        StatusPanels[I] = new QLabel(StatusBar1);
        StatusPanels[I]->setObjectName(QStringLiteral("StatusPanel%1").arg(I));
        StatusPanels[I]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    StatusPanels[1]->setAlignment(Qt::AlignCenter);
    StatusBar1->addWidget(StatusPanels[0]);
    StatusBar1->addWidget(StatusPanels[1], 1);
    setStatusBar(StatusBar1);

    FormCreate(ProgramDir);
    LayoutWorkArea();
    FormResize();
}

TfrmMain::~TfrmMain() {
    for (QLineEdit* Edit : {edtFlowAirFlow, edtDensTemp, edtDensPatm}) {
        Edit->removeEventFilter(this);
    }
    FWorkArea->removeEventFilter(this);
    PaintBox1->OnPaint = nullptr;
    PaintBox1->OnMouseMove = nullptr;
    // The translator's documents belong to FDomImpl, which goes with us.
    TTranslator::DestroyInstance();
}

void TfrmMain::BuildMenus() {
    QMenuBar* MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto Item = [this](QMenu* Menu, const char* Name, int Image) {
        QAction* Action = Menu->addAction(QString());
        Action->setObjectName(QString::fromLatin1(Name));
        if (Image >= 0) {
            Action->setIcon(PsykronaIcon(Image));
        }
        return Action;
    };
    mnuFile = MainMenu1->addMenu(QString());
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileNew = Item(mnuFile, "mnuFileNew", imgNew);
    mnuFileOpen = Item(mnuFile, "mnuFileOpen", imgOpen);
    mnuFile->addSeparator();
    mnuFileSave = Item(mnuFile, "mnuFileSave", imgSave);
    mnuFileSaveAs = Item(mnuFile, "mnuFileSaveAs", imgSave);
    mnuFileSaveChartAsPicture = Item(mnuFile, "mnuFileSaveChartAsPicture", -1);
    mnuFile->addSeparator();
    mnuFilePrint = Item(mnuFile, "mnuFilePrint", imgPrint);
    mnuFile->addSeparator();
    mnuFileExit = Item(mnuFile, "mnuFileExit", -1);
    mnuOptions = MainMenu1->addMenu(QString());
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    MnuOptionsChart = Item(mnuOptions, "MnuOptionsChart", -1);
    mnuOptionsLanguage = Item(mnuOptions, "mnuOptionsLanguage", -1);
    BuildToolsMenu();
    mnuHelp = MainMenu1->addMenu(QString());
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpHelp = Item(mnuHelp, "mnuHelpHelp", -1);
    mnuHelp->addSeparator();
    mnuHelpAbout = Item(mnuHelp, "mnuHelpAbout", -1);

    Connect(mnuFileNew, &QAction::triggered, &TfrmMain::mnuFileNewClick);
    Connect(mnuFileOpen, &QAction::triggered, &TfrmMain::mnuFileOpenClick);
    Connect(mnuFileSave, &QAction::triggered, &TfrmMain::mnuFileSaveClick);
    Connect(mnuFileSaveAs, &QAction::triggered, &TfrmMain::mnuFileSaveAsClick);
    Connect(mnuFileSaveChartAsPicture, &QAction::triggered, &TfrmMain::mnuFileSaveChartAsPictureClick);
    Connect(mnuFilePrint, &QAction::triggered, &TfrmMain::mnuFilePrintClick);
    Connect(mnuFileExit, &QAction::triggered, &TfrmMain::mnuFileExitClick);
    Connect(MnuOptionsChart, &QAction::triggered, &TfrmMain::MnuOptionsChartClick);
    Connect(mnuOptionsLanguage, &QAction::triggered, &TfrmMain::mnuOptionsLanguageClick);
    Connect(mnuHelpHelp, &QAction::triggered, &TfrmMain::mnuHelpHelpClick);
    Connect(mnuHelpAbout, &QAction::triggered, &TfrmMain::mnuHelpAboutClick);
}

void TfrmMain::BuildToolBar() {
    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar);
    auto Button = [this](const char* Name, int Image) {
        QAction* Action = ToolBar->addAction(PsykronaIcon(Image), QString());
        Action->setObjectName(QString::fromLatin1(Name));
        return Action;
    };
    tbNew = Button("tbNew", imgNew);
    tbOpen = Button("tbOpen", imgOpen);
    tbSave = Button("tbSave", imgSave);
    tbPrint = Button("tbPrint", imgPrint);
    ToolBar->addSeparator();
    tbAdd = Button("tbAdd", imgAddPoint);
    tbDelete = Button("tbDelete", imgDeletePoint);
    tbInsert = Button("tbInsert", imgInsertPoint);
    tbEdit = Button("tbEdit", imgEditPoint);

    Connect(tbNew, &QAction::triggered, &TfrmMain::mnuFileNewClick);
    Connect(tbOpen, &QAction::triggered, &TfrmMain::mnuFileOpenClick);
    Connect(tbSave, &QAction::triggered, &TfrmMain::mnuFileSaveClick);
    Connect(tbPrint, &QAction::triggered, &TfrmMain::mnuFilePrintClick);
    Connect(tbAdd, &QAction::triggered, &TfrmMain::btnAddClick);
    Connect(tbDelete, &QAction::triggered, &TfrmMain::btnDeleteClick);
    Connect(tbInsert, &QAction::triggered, &TfrmMain::btnInsertClick);
    Connect(tbEdit, &QAction::triggered, &TfrmMain::btnEditClick);
}

void TfrmMain::BuildFlowDataPanel(QWidget* Parent) {
    gbFlowData = new QGroupBox(Parent);
    gbFlowData->setObjectName(QStringLiteral("gbFlowData"));
    auto Static = [this](const char* Name, const QString& Text, int X, int Y) {
        auto* Label = new QLabel(Text, gbFlowData);
        Label->setObjectName(QString::fromLatin1(Name));
        Label->move(X, Y);
        return Label;
    };
    auto Edit = [this](const char* Name, const char* Text, int X, int Y) {
        auto* Field = new QLineEdit(QString::fromLatin1(Text), gbFlowData);
        Field->setObjectName(QString::fromLatin1(Name));
        Field->setGeometry(X, Y, 41, 21);
        Field->installEventFilter(this);
        return Field;
    };
    stFlowHeader = Static("stFlowHeader", QString(), 16, 16);
    edtFlowAirFlow = Edit("edtFlowAirFlow", "0", 16, 36);
    stFlowUnit = Static("stFlowUnit", QString::fromUtf8("m³/s"), 60, 39);
    stDensHeader = Static("stDensHeader", QString(), 104, 16);
    for (QLabel* Header : {stFlowHeader, stDensHeader}) {
        QFont F = Header->font();
        F.setUnderline(true);
        Header->setFont(F);
    }
    rbDensNormal = new QRadioButton(gbFlowData);
    rbDensNormal->setObjectName(QStringLiteral("rbDensNormal"));
    rbDensNormal->setGeometry(104, 38, 210, 20);
    rbDensReal = new QRadioButton(gbFlowData);
    rbDensReal->setObjectName(QStringLiteral("rbDensReal"));
    rbDensReal->setGeometry(104, 62, 62, 20);
    stDensTemp = Static("stDensTemp", QString(), 168, 65);
    edtDensTemp = Edit("edtDensTemp", "20", 248, 62);
    stDensUnitTemp = Static("stDensUnitTemp", QString::fromUtf8("°C"), 291, 66);
    stDensPatm = Static("stDensPatm", QString(), 168, 90);
    edtDensPatm = Edit("edtDensPatm", "1013", 248, 87);
    stDensUnitPatm = Static("stDensUnitPatm", QStringLiteral("mbar"), 291, 91);
    stDensDensity = Static("stDensDensity", QString(), 168, 112);
    lblDensDensity = Static("lblDensDensity", QString(), 248, 112);
    stDensUnitDensity = Static("stDensUnitDensity", QString::fromUtf8("kg/m³"), 282, 112);
    btnUpdateFlowData = new QPushButton(gbFlowData);
    btnUpdateFlowData->setObjectName(QStringLiteral("btnUpdateFlowData"));
    btnUpdateFlowData->setGeometry(32, 96, 75, 25);
    btnUpdateFlowData->setAutoDefault(false);
    rbDensNormal->setChecked(true);
    SetRealDensityEnabled(false);

    for (QLineEdit* Field : {edtFlowAirFlow, edtDensTemp, edtDensPatm}) {
        connect(Field, &QLineEdit::returnPressed, this, &TfrmMain::FlowDataTrigger);
    }
    connect(btnUpdateFlowData, &QPushButton::clicked, this, &TfrmMain::FlowDataTrigger);
    // The program selects choices with signals blocked, so these come from the user.
    connect(rbDensNormal, &QRadioButton::toggled, this, [this](bool On) {
        if (On) {
            SetRealDensityEnabled(false);
            FlowDataTrigger();
        }
    });
    connect(rbDensReal, &QRadioButton::toggled, this, [this](bool On) {
        if (On) {
            SetRealDensityEnabled(true);
            FlowDataTrigger();
        }
    });
}

void TfrmMain::BuildPointsPanel(QWidget* Parent) {
    PointBlocks = new TPointBlocks(Parent);
    PointBlocks->setObjectName(QStringLiteral("sbPoints"));
    PointBlocks->SetSources([this](int K) { return PointBlockOf(K); }, [this](int I) { return ProcessRowsOf(I); });
    sbPoints = PointBlocks;

    gbPoints = new QGroupBox(Parent);
    gbPoints->setObjectName(QStringLiteral("gbPoints"));
    ListBox1 = new QListWidget(gbPoints);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(16, 24, 73, 153);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setUniformItemSizes(true);
    auto Button = [this](const char* Name, int Y) {
        auto* B = new QPushButton(gbPoints);
        B->setObjectName(QString::fromLatin1(Name));
        B->setGeometry(14, Y, 75, 25);
        B->setAutoDefault(false);
        return B;
    };
    btnAdd = Button("btnAdd", 192);
    btnDelete = Button("btnDelete", 224);
    btnInsert = Button("btnInsert", 256);
    btnEdit = Button("btnEdit", 288);
    SetPointButtonsEnabled(false);

    Connect(btnAdd, &QPushButton::clicked, &TfrmMain::btnAddClick);
    Connect(btnDelete, &QPushButton::clicked, &TfrmMain::btnDeleteClick);
    Connect(btnInsert, &QPushButton::clicked, &TfrmMain::btnInsertClick);
    Connect(btnEdit, &QPushButton::clicked, &TfrmMain::btnEditClick);
    Connect(ListBox1, &QListWidget::itemDoubleClicked, &TfrmMain::ListBox1DblClick);
}

void TfrmMain::LayoutWorkArea() {
    const int W = FWorkArea->width();
    const int H = FWorkArea->height();
    const int PointsHeight = std::max(0, H - PointsTop - Margin);
    const int FlowWidth = std::max(FlowDataWidth, FFlowDataWidth);
    const int Left = ChartLeft + FlowWidth - FlowDataWidth;
    gbFlowData->setGeometry(FlowDataLeft, FlowDataTop, FlowWidth, FlowDataHeight);
    sbPoints->setGeometry(BlocksLeft, PointsTop, BlocksWidth, PointsHeight);
    gbPoints->setGeometry(ListLeft, PointsTop, ListWidth, PointsHeight);
    PaintBox1->setGeometry(Left, ChartTop, std::max(0, W - Left - Margin),
                           std::max(0, H - ChartTop - Margin));
}

// The design places fit the English texts. A longer caption moves the
// columns to its right on, just enough to keep a gap, and widens the panel
// (and so moves the chart) only when the units would reach its frame.
void TfrmMain::LayoutFlowData() {
    constexpr int Gap = 6;
    auto TextRight = [](const QWidget* W) { return W->x() + W->sizeHint().width(); };
    const int DensLeft = std::max({104, TextRight(stFlowHeader) + Gap, TextRight(stFlowUnit) + Gap});
    stDensHeader->move(DensLeft, 16);
    rbDensNormal->setGeometry(DensLeft, 38, std::max(210, rbDensNormal->sizeHint().width()), 20);
    const int LabelsLeft = std::max(168, DensLeft + rbDensReal->sizeHint().width() + Gap);
    rbDensReal->setGeometry(DensLeft, 62, LabelsLeft - 2 - DensLeft, 20);
    int LabelsWidth = 0;
    for (QLabel* Label : {stDensTemp, stDensPatm, stDensDensity}) {
        Label->move(LabelsLeft, Label->y());
        LabelsWidth = std::max(LabelsWidth, Label->sizeHint().width());
    }
    const int FieldsLeft = std::max(248, LabelsLeft + LabelsWidth + Gap);
    edtDensTemp->move(FieldsLeft, 62);
    edtDensPatm->move(FieldsLeft, 87);
    stDensUnitTemp->move(FieldsLeft + 43, 66);
    stDensUnitPatm->move(FieldsLeft + 43, 91);
    lblDensDensity->move(FieldsLeft, 112);
    stDensUnitDensity->move(std::max(FieldsLeft + 34, TextRight(lblDensDensity) + 4), 112);
    btnUpdateFlowData->setGeometry(32, 96, std::max(75, btnUpdateFlowData->sizeHint().width()), 25);
    int Right = 0;
    for (QWidget* W :
         std::initializer_list<QWidget*>{stDensUnitTemp, stDensUnitPatm, stDensUnitDensity, rbDensNormal}) {
        Right = std::max(Right, TextRight(W));
    }
    const int Width = std::max(FlowDataWidth, Right + Gap);
    if (Width != FFlowDataWidth) {
        FFlowDataWidth = Width;
        LayoutWorkArea();
        FormResize();
    }
}

bool TfrmMain::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == FWorkArea && Event->type() == QEvent::Resize) {
        LayoutWorkArea();
    } else if (Event->type() == QEvent::FocusOut &&
               (Watched == edtFlowAirFlow || Watched == edtDensTemp || Watched == edtDensPatm)) {
        // Leaving a field for another control of this window updates the
        // flow data; the window losing the focus to a box, another window or
        // a menu (also one opened from the keyboard) does not.
        const Qt::FocusReason Reason = static_cast<QFocusEvent*>(Event)->reason();
        if (Reason != Qt::ActiveWindowFocusReason && Reason != Qt::PopupFocusReason &&
            Reason != Qt::MenuBarFocusReason) {
            FlowDataTrigger();
        }
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TfrmMain::FormCreate(const std::string& ProgramDir) {
    FXMLParser.SetDomImpl(&FDomImpl);
    if (ProgramDir.empty()) {
        TTranslator::CreateInstance(FDomImpl, FXMLParser);
    } else {
        TTranslator::CreateInstance(FDomImpl, FXMLParser, ProgramDir);
    }
    Document = std::make_unique<TMain>();
    Options = std::make_unique<TMollierOptions>();
    Draw = std::make_unique<TMollierDraw>();
    Draw->Options = Options.get();
    Draw->Document = Document.get();
    Document->AirFlow = StrToFloat(S(edtFlowAirFlow->text()));
    Document->Density = TMain::NormalDensity;
    ProductCaption = "Psykrona " + TMain::GetVersion();
    FileHandling = std::make_unique<TMollierFileHandling>(FDomImpl, FXMLParser);
    FileHandling->FProject = Document.get();
    // Maximised; the geometry too, for desktops without a window manager.
    if (QScreen* Screen = QGuiApplication::primaryScreen()) {
        setGeometry(Screen->availableGeometry());
    }
    setWindowState(windowState() | Qt::WindowMaximized);
    setWindowTitle(Q(ProductCaption));
    Modified = false;
    DrawingEnabled = true;
    // Messages shown before the first paint need their texts.
    ApplyTexts();
}

void TfrmMain::showEvent(QShowEvent* Event) {
    QMainWindow::showEvent(Event);
    if (!FShown && !Event->spontaneous()) {
        FShown = true;
        // After the window is on screen, from the message loop.
        QMetaObject::invokeMethod(
            this,
            [this] {
                try {
                    FormShow();
                } catch (const std::exception& Failure) {
                    ReportFailure(Failure);
                }
            },
            Qt::QueuedConnection);
    }
}

void TfrmMain::FormShow() {
    if (Forms.frmIntro != nullptr && Forms.frmIntro->exec() == QDialog::Rejected) {
        // The user ended the program at the language choice.
        close();
        QCoreApplication::exit(0);
        return;
    }
    ApplyTexts();
    if (Forms.frmEditPoint != nullptr) {
        Forms.frmEditPoint->Document = Document.get();
    }
    mnuFileNewClick();
    if (StartFileName) {
        OpenProjectFile(*StartFileName);
    }
}

void TfrmMain::closeEvent(QCloseEvent* Event) {
    bool MayClose = false;
    try {
        MayClose = FormCloseQuery();
    } catch (const std::exception& Failure) {
        ReportFailure(Failure);
    }
    if (MayClose) {
        Event->accept();
    } else {
        Event->ignore();
    }
}

bool TfrmMain::FormCloseQuery() {
    if (!Modified) {
        return true;
    }
    switch (TUserDialogs::Current().AskYesNoCancel(FTexts.QuitWithoutSaving + "?")) {
    case TAnswer::Yes:
        return true;
    case TAnswer::No:
        // Closing goes on only once the work is safe.
        return mnuFileSaveClick();
    default:
        return false;
    }
}

void TfrmMain::resizeEvent(QResizeEvent* Event) {
    QMainWindow::resizeEvent(Event);
    FormResize();
}

void TfrmMain::FormResize() {
    // The file name stands under the panels, the read-out under the chart.
    const int Left = PaintBox1->mapTo(this, QPoint(0, 0)).x();
    const int PanelLeft = StatusPanels[0]->mapTo(this, QPoint(0, 0)).x();
    StatusPanels[0]->setFixedWidth(std::max(0, Left - PanelLeft));
}

void TfrmMain::ApplyTexts() {
    auto Set = [](auto* Control, const std::string& Text) { Control->setText(Q(Text)); };
    gbPoints->setTitle(Q(Tr("POINTS_PANEL", "TITLE")));
    Set(btnAdd, Tr("POINTS_PANEL", "BTN_ADD"));
    Set(btnDelete, Tr("POINTS_PANEL", "BTN_DELETE"));
    Set(btnInsert, Tr("POINTS_PANEL", "BTN_INSERT"));
    Set(btnEdit, Tr("POINTS_PANEL", "BTN_EDIT"));
    gbFlowData->setTitle(Q(Tr("FLOW_DATA_PANEL", "TITLE")));
    Set(stFlowHeader, Tr("FLOW_DATA_PANEL", "LBL_AIR_FLOW"));
    Set(stDensHeader, Tr("FLOW_DATA_PANEL", "LBL_DENSITY"));
    Set(rbDensNormal, Tr("FLOW_DATA_PANEL", "RDB_NORMAL") + " (1.2 kg/m³)");
    Set(rbDensReal, Tr("FLOW_DATA_PANEL", "RDB_REAL"));
    Set(stDensTemp, Tr("FLOW_DATA_PANEL", "LBL_TEMPERATURE"));
    Set(stDensPatm, Tr("FLOW_DATA_PANEL", "LBL_BAROMETRIC_PRESSURE"));
    Set(stDensDensity, Tr("FLOW_DATA_PANEL", "LBL_DENSITY_REAL"));
    Set(btnUpdateFlowData, Tr("FLOW_DATA_PANEL", "BTN_UPDATE"));
    for (QLabel* Label : {stFlowHeader, stDensHeader, stDensTemp, stDensPatm, stDensDensity}) {
        Label->adjustSize();
    }
    LayoutFlowData();
    mnuFile->setTitle(Q(Tr("MENUS", "MNU_FILE")));
    Set(mnuFileNew, Tr("MENUS", "MNU_FILE_NEW"));
    Set(mnuFileOpen, Tr("MENUS", "MNU_FILE_OPEN"));
    Set(mnuFileSave, Tr("MENUS", "MNU_FILE_SAVE"));
    Set(mnuFileSaveAs, Tr("MENUS", "MNU_FILE_SAVE_AS"));
    Set(mnuFileSaveChartAsPicture, Tr("MENUS", "MNU_FILE_SAVE_CHART_AS_PICTURE"));
    Set(mnuFilePrint, Tr("MENUS", "MNU_FILE_PRINT"));
    Set(mnuFileExit, Tr("MENUS", "MNU_FILE_EXIT"));
    mnuOptions->setTitle(Q(Tr("MENUS", "MNU_OPTIONS")));
    Set(MnuOptionsChart, Tr("MENUS", "MNU_OPTIONS_LIMITS"));
    Set(mnuOptionsLanguage, Tr("MENUS", "MNU_OPTIONS_LANGUAGE"));
    mnuHelp->setTitle(Q(Tr("MENUS", "MNU_HELP")));
    Set(mnuHelpHelp, Tr("MENUS", "MNU_HELP_HELP"));
    Set(mnuHelpAbout, Tr("MENUS", "MNU_HELP_ABOUT"));
    ApplyToolsTexts();
    FTexts.Temperature = Tr("POINTS_DATA_LIST", "LBL_TEMPERATURE");
    FTexts.RelHum = Tr("POINTS_DATA_LIST", "LBL_REL_HUM");
    FTexts.SpecHum = Tr("POINTS_DATA_LIST", "LBL_SPEC_HUM");
    FTexts.Enthalpy = Tr("POINTS_DATA_LIST", "LBL_ENTHALPY");
    FTexts.Power = Tr("POINTS_DATA_LIST", "LBL_POWER");
    FTexts.SensPower = Tr("POINTS_DATA_LIST", "LBL_SENS_POWER");
    FTexts.Water = Tr("POINTS_DATA_LIST", "LBL_WATER");
    tbNew->setToolTip(Q(Tr("TOOLTIPS", "TIP_NEW")));
    tbOpen->setToolTip(Q(Tr("TOOLTIPS", "TIP_OPEN")));
    tbSave->setToolTip(Q(Tr("TOOLTIPS", "TIP_SAVE")));
    tbPrint->setToolTip(Q(Tr("TOOLTIPS", "TIP_PRINT")));
    tbAdd->setToolTip(Q(Tr("TOOLTIPS", "TIP_ADD_POINT")));
    tbDelete->setToolTip(Q(Tr("TOOLTIPS", "TIP_DELETE_POINT")));
    tbInsert->setToolTip(Q(Tr("TOOLTIPS", "TIP_INSERT_POINT")));
    tbEdit->setToolTip(Q(Tr("TOOLTIPS", "TIP_EDIT_POINT")));
    FTexts.FileNotFound = Tr("MESSAGES", "MSG_FILE_NOT_FOUND");
    FTexts.FileNotOpened = Tr("MESSAGES", "MSG_FILE_NOT_OPENED");
    FTexts.FileNotSaved = Tr("MESSAGES", "MSG_FILE_NOT_SAVED");
    FTexts.ConfirmErasePoint = Tr("MESSAGES", "MSG_CONFIRM_ERASE_POINT");
    FTexts.SaveChanges = Tr("MESSAGES", "MSG_SAVE_CHANGES");
    FTexts.QuitWithoutSaving = Tr("MESSAGES", "MSG_QUIT_WITHOUT_SAVING");
}

void TfrmMain::InvalidateWindow() {
    // Texts of a newly chosen language may widen the flow-data panel and
    // move the chart; laid out now, the one coming paint draws it in place.
    ApplyTexts();
    PaintBox1->update();
}

void TfrmMain::SetStatusText(int Panel, const std::string& Text) {
    StatusPanels.at(static_cast<std::size_t>(Panel))->setText(Q(Text));
}

QString TfrmMain::StatusText(int Panel) const {
    return StatusPanels.at(static_cast<std::size_t>(Panel))->text();
}

int TfrmMain::SelectedRow() const {
    const QList<QListWidgetItem*> Selected = ListBox1->selectedItems();
    return Selected.isEmpty() ? -1 : ListBox1->row(Selected.first());
}

void TfrmMain::SetPointButtonsEnabled(bool Enabled) {
    for (QPushButton* B : {btnInsert, btnDelete, btnEdit}) {
        B->setEnabled(Enabled);
    }
    for (QAction* A : {tbInsert, tbDelete, tbEdit}) {
        A->setEnabled(Enabled);
    }
}

void TfrmMain::SetRealDensityEnabled(bool Enabled) {
    for (QWidget* W :
         std::initializer_list<QWidget*>{stDensTemp, edtDensTemp, stDensUnitTemp, stDensPatm, edtDensPatm,
                                         stDensUnitPatm, stDensDensity, lblDensDensity, stDensUnitDensity}) {
        W->setEnabled(Enabled);
    }
}

// ---- File commands ----

// Before New and Open: a modified project may be saved first. False when the
// user cancelled, or chose to save and the save did not happen: work the user
// chose to keep is never dropped because saving it failed.
bool TfrmMain::SaveChangesFirst() {
    if (!Modified) {
        return true;
    }
    const TAnswer Answer = TUserDialogs::Current().AskYesNoCancel(FTexts.SaveChanges + "?");
    if (Answer == TAnswer::Cancel) {
        return false;
    }
    return Answer == TAnswer::No || mnuFileSaveClick();
}

bool TfrmMain::mnuFileNewClick() {
    if (!SaveChangesFirst()) {
        return false;
    }
    ClearProject();
    FileHandling->FProject = Document.get();
    FileHandling->FFileName.clear();
    setWindowTitle(Q(ProductCaption));
    SetStatusText(0, "");
    SelectDensityChoice(rbDensNormal);
    Modified = false;
    return true;
}

bool TfrmMain::mnuFileOpenClick() {
    if (!SaveChangesFirst()) {
        return false;
    }
    TFileDialogRequest Request;
    Request.Filter = OpenFilter;
    Request.DefaultExt = ProjectExtension;
    Request.InitialDir = std::filesystem::path(FileHandling->FFileName).parent_path().string();
    const std::optional<std::string> FileName = TUserDialogs::Current().OpenFileName(Request);
    if (!FileName) {
        return false;
    }
    OpenProjectFile(*FileName);
    return true;
}

void TfrmMain::OpenProjectFile(const std::string& FileName) {
    TFlagScope Opening(DrawingEnabled, false);
    const bool OldFormat = EndsWith(FileName, ".pkr");
    if (!OldFormat && !EndsWith(FileName, ".pkx")) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Plain, FTexts.FileNotFound + "\n" + FileName);
        return;
    }
    try {
        ClearProject();
        FileHandling->FProject = Document.get();
        if (OldFormat) {
            FileHandling->OpenOldProject(FileName);
        } else {
            FileHandling->OpenProject(FileName);
        }
        setWindowTitle(Q(ProductCaption + " - " + FileName));
        SetStatusText(0, " " + FileName);
        FileHandling->FFileName = FileName;
        ShowLoadedProject();
        Modified = false;
    } catch (const std::exception& Failure) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Plain,
                                            FileFailureText(FTexts.FileNotOpened, FileName, Failure));
        Modified = false;
        mnuFileNewClick();
    }
}

bool TfrmMain::mnuFileSaveClick() {
    bool Written = false;
    try {
        // An older ".pkr" file is never overwritten with the XML format.
        if (FileHandling->FFileName.empty() || FileHandling->IsOldFormat()) {
            Written = mnuFileSaveAsClick();
        } else {
            FileHandling->FProject = Document.get();
            FileHandling->SaveProject();
            Written = true;
        }
    } catch (const EProjectNotWritten& Failure) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Plain,
                                            FileFailureText(FTexts.FileNotSaved, Failure.FileName, Failure));
        return false;
    } catch (const std::exception& Failure) {
        TUserDialogs::Current().ShowMessage(
            TMessageKind::Plain, FileFailureText(FTexts.FileNotSaved, FileHandling->FFileName, Failure));
        return false;
    }
    if (Written) {
        Modified = false;
    }
    return Written;
}

bool TfrmMain::mnuFileSaveAsClick() {
    const std::filesystem::path Current(FileHandling->FFileName);
    std::filesystem::path Proposed = Current.filename();
    if (FileHandling->IsOldFormat()) {
        Proposed.replace_extension(".pkx");
    }
    TFileDialogRequest Request;
    Request.Filter = SaveFilter;
    Request.DefaultExt = ProjectExtension;
    Request.InitialDir = Current.parent_path().string();
    Request.FileName = Proposed.string();
    const std::optional<std::string> FileName = TUserDialogs::Current().SaveFileName(Request);
    if (!FileName) {
        return false;
    }
    FileHandling->FProject = Document.get();
    try {
        FileHandling->SaveProjectAs(*FileName);
    } catch (const std::exception& Failure) {
        throw EProjectNotWritten(Failure, *FileName);
    }
    setWindowTitle(Q(ProductCaption + " - " + *FileName));
    SetStatusText(0, " " + FileHandling->FFileName);
    return true;
}

// The 680 x 680 chart picture; the name's ending picks the format. A failure
// to write, or a name that is a project file, goes to the top-level report
// with its own message.
void TfrmMain::mnuFileSaveChartAsPictureClick() {
    TFileDialogRequest Request;
    Request.Filter = "Bitmaps (*.bmp)|*.bmp|JPEG Image (*.jpg)|*.jpg|PNG Image (*.png)|*.png|"
                     "SVG Drawing (*.svg)|*.svg";
    Request.DefaultExt = "bmp";
    const std::optional<std::string> FileName = TUserDialogs::Current().SaveFileName(Request);
    if (!FileName) {
        return;
    }
    SaveChartPicture(*Draw, *Document, *FileName, {FileHandling->FFileName});
    InvalidateWindow();
}

void TfrmMain::mnuFilePrintClick() {
    if (Forms.frmPrint == nullptr) {
        return;
    }
    Forms.frmPrint->FDraw = Draw.get();
    Forms.frmPrint->FDocument = Document.get();
    Forms.frmPrint->exec();
    InvalidateWindow();
}

void TfrmMain::mnuFileExitClick() {
    close();
}

void TfrmMain::MnuOptionsChartClick() {
    if (Forms.frmOptionsChart == nullptr) {
        return;
    }
    Forms.frmOptionsChart->Options = Options.get();
    Forms.frmOptionsChart->exec();
    InvalidateWindow();
}

void TfrmMain::mnuOptionsLanguageClick() {
    if (Forms.frmLanguages == nullptr) {
        return;
    }
    Forms.frmLanguages->exec();
    InvalidateWindow();
}

void TfrmMain::mnuHelpHelpClick() {
    if (OnHelp) {
        OnHelp();
    }
}

void TfrmMain::mnuHelpAboutClick() {
    if (Forms.frmVersion != nullptr) {
        Forms.frmVersion->exec();
    }
}

// ---- Points panel ----

void TfrmMain::CreatePointBlock(int K) {
    if (K != PointBlocks->BlockCount() + 1) {
        throw std::logic_error("Point blocks are only ever added at the end");
    }
    PointBlocks->AddBlock();
}

void TfrmMain::RemoveLastPointBlock() {
    PointBlocks->RemoveLastBlock();
}

// The panel shows the document as it is at every paint; a refresh repaints
// the blocks in view when their texts changed.
void TfrmMain::RefreshPointsPanel() {
    PointBlocks->Refresh();
}

TPointBlock TfrmMain::PointBlockOf(int K) const {
    const TMain& Doc = *Document;
    if (K > Doc.PointCount()) {
        return TPointBlocks::NewBlock();
    }
    const TMollierPoint& P = Doc.Points[static_cast<std::size_t>(K - 1)];
    const QString Labels[] = {Q(FTexts.Temperature), Q(FTexts.RelHum), Q(FTexts.SpecHum), Q(FTexts.Enthalpy)};
    TPointBlock Block = TPointBlocks::NewBlock();
    Block.Header = Q(std::to_string(P.Number) + ". " + P.Name);
    struct TShown {
        int Row;
        int Code;
        double Value;
        int Decimals;
    };
    const TShown Shown[] = {{TPointBlock::Temp, PROP_TEMP, P.Temp, 1},
                            {TPointBlock::RelHum, PROP_RELHUM, P.RelHum, 1},
                            {TPointBlock::SpecHum, PROP_SPECHUM, P.SpecHum * 1000, 2},
                            {TPointBlock::Enthalpy, PROP_ENTHALPY, P.Enthalpy, 1}};
    for (const TShown& Item : Shown) {
        TBlockRow& Row = Block.Rows[Item.Row];
        Row.Label = Labels[Item.Row];
        Row.Bold = P.IsPrescribed(Item.Code);
        Row.Value = Q(Row.Bold ? FloatToStr(Item.Value) : FormatFixed(Item.Value, Item.Decimals));
    }
    return Block;
}

TProcessRows TfrmMain::ProcessRowsOf(int I) const {
    const TMain& Doc = *Document;
    TProcessRows Process = TPointBlocks::NewProcess();
    if (I + 1 > Doc.PointCount()) {
        return Process;
    }
    const TMollierPoint& Prev = Doc.Points[static_cast<std::size_t>(I - 1)];
    const TMollierPoint& P = Doc.Points[static_cast<std::size_t>(I)];
    const QString ProcessLabels[] = {Q(FTexts.Power), Q(FTexts.SensPower), Q(FTexts.Water)};
    for (int R = 0; R < 3; ++R) {
        Process.Rows[R].Label = ProcessLabels[R];
    }
    Process.Rows[TProcessRows::Power].Value = Q(FormatFixed(Doc.Power(Prev.Enthalpy, P.Enthalpy), 1));
    Process.Rows[TProcessRows::SensPower].Value =
        Q(FormatFixed(Doc.SensiblePower(Prev.Temp, P.Temp, Prev.SpecHum, P.SpecHum), 1));
    Process.Rows[TProcessRows::Water].Value = Q(FormatFixed(Doc.Water(Prev.SpecHum, P.SpecHum), 2));
    Process.Visible = Prev.LineToNext;
    return Process;
}

// A row in the list and a block for the point just added at the end of the
// document, shown before the editor opens on it.
void TfrmMain::AppendPointRow() {
    ListBox1->addItem(QString::number(Document->PointCount()));
    CreatePointBlock(Document->PointCount());
    RefreshPointsPanel();
}

// The point editor on P; true when the user confirmed it.
bool TfrmMain::RunPointEditor(TMollierPoint& P) {
    if (Forms.frmEditPoint == nullptr) {
        return false;
    }
    Forms.frmEditPoint->Document = Document.get();
    Forms.frmEditPoint->Point = &P;
    return Forms.frmEditPoint->exec() == QDialog::Accepted;
}

void TfrmMain::btnAddClick() {
    Document->AddPoint();
    TMollierPoint& P = Document->Points[Document->PointCount() - 1];
    P.Number = Document->PointCount();
    AppendPointRow();
    if (!RunPointEditor(P)) {
        Document->DeletePoint(Document->PointCount());
        delete ListBox1->takeItem(ListBox1->count() - 1);
        RemoveLastPointBlock();
    } else {
        ListBox1->setCurrentRow(ListBox1->count() - 1);
        SetPointButtonsEnabled(true);
        Modified = true;
    }
    RefreshPointsPanel();
    InvalidateWindow();
}

void TfrmMain::btnInsertClick() {
    const int Row = SelectedRow();
    if (Row < 0) {
        return;
    }
    Document->InsertPoint(Row + 1);
    TMollierPoint& P = Document->Points[Row];
    P.Number = Row + 1;
    AppendPointRow();
    if (RunPointEditor(P)) {
        Modified = true;
    } else {
        // Taken away again, the new point changed nothing; kept, it is a
        // change like any other.
        const bool WasModified = Modified;
        const int Count = Document->PointCount();
        btnDeleteClick();
        Modified = Document->PointCount() < Count ? WasModified : true;
    }
    RefreshPointsPanel();
    InvalidateWindow();
}

void TfrmMain::btnDeleteClick() {
    const int Row = SelectedRow();
    if (Row < 0) {
        return;
    }
    const std::string Question = FTexts.ConfirmErasePoint + " " + std::to_string(Row + 1) + "?";
    if (TUserDialogs::Current().AskYesNo(Question) != TAnswer::Yes) {
        return;
    }
    if (ListBox1->count() == 1) {
        SetPointButtonsEnabled(false);
    }
    if (Row == ListBox1->count() - 1) {
        if (Row > 0) {
            ListBox1->setCurrentRow(Row - 1);
        } else {
            ListBox1->setCurrentRow(-1);
            ListBox1->clearSelection();
        }
    }
    Document->DeletePoint(Row + 1);
    delete ListBox1->takeItem(ListBox1->count() - 1);
    RemoveLastPointBlock();
    Modified = true;
    RefreshPointsPanel();
    sbPoints->viewport()->update();
    InvalidateWindow();
}

void TfrmMain::btnEditClick() {
    const int Row = SelectedRow();
    if (Row < 0 || Row >= Document->PointCount()) {
        return;
    }
    if (RunPointEditor(Document->Points[Row])) {
        Modified = true;
    }
    RefreshPointsPanel();
    InvalidateWindow();
}

void TfrmMain::ListBox1DblClick() {
    if (SelectedRow() >= 0) {
        btnEditClick();
    }
}

void TfrmMain::ClearProject() {
    // Every block and row goes at once: the result is the same as removing
    // the points one by one, without the cost in large projects.
    PointBlocks->RemoveAllBlocks();
    ListBox1->clear();
    Document = std::make_unique<TMain>();
    FileHandling->FProject = Document.get();
    Draw->Document = Document.get();
    if (Forms.frmEditPoint != nullptr) {
        Forms.frmEditPoint->Document = Document.get();
        Forms.frmEditPoint->Point = nullptr;
    }
    edtFlowAirFlow->setText(QStringLiteral("0"));
    edtDensTemp->setText(QStringLiteral("20"));
    edtDensPatm->setText(QStringLiteral("1013"));
    UncheckDensityChoices();
    SetPointButtonsEnabled(false);
    InvalidateWindow();
}

void TfrmMain::ShowLoadedProject() {
    const int Count = Document->PointCount();
    QStringList Rows;
    Rows.reserve(Count);
    for (int K = 1; K <= Count; ++K) {
        CreatePointBlock(K);
        Rows << QString::number(Document->Points[K - 1].Number);
    }
    ListBox1->addItems(Rows);
    if (Count > 0) {
        ListBox1->setCurrentRow(0);
        SetPointButtonsEnabled(true);
    }
    edtFlowAirFlow->setText(Q(FloatToStr(Document->AirFlow)));
    edtDensTemp->setText(Q(FloatToStr(Document->DensityTemp)));
    edtDensPatm->setText(Q(FloatToStr(Document->Pressure * 10)));
    if (edtDensTemp->text() == QLatin1String("20") && edtDensPatm->text() == QLatin1String("1013")) {
        SelectDensityChoice(rbDensNormal);
    } else {
        SelectDensityChoice(rbDensReal);
    }
    RefreshPointsPanel();
    InvalidateWindow();
}

// ---- Flow data ----

double TfrmMain::RealDensity(double Temp, double Pressure) {
    return TMain::RealDensity(Temp, Pressure);
}

void TfrmMain::UpdateFlowData(bool MarkModified) {
    auto Refuse = [](const char* Key, QLineEdit* Field) {
        throw EFlowDataRefused(Tr("FLOW_DATA_PANEL", Key), Field);
    };
    const bool Real = rbDensReal->isChecked();
    const double Temp = StrToFloat(S(edtDensTemp->text()));
    const double Patm = StrToFloat(S(edtDensPatm->text()));
    const double Rho = RealDensity(Temp, Patm);
    lblDensDensity->setText(std::isfinite(Rho) ? Q(FormatFixed(Rho, 2)) : QString());
    lblDensDensity->adjustSize();
    const double Flow = StrToFloat(S(edtFlowAirFlow->text()));
    // Nothing the points and the powers cannot be computed from reaches the
    // document.
    if (Real) {
        for (auto [Value, Field] : {std::pair(Temp, edtDensTemp), std::pair(Patm, edtDensPatm)}) {
            if (!std::isfinite(Value)) {
                Refuse("MSG_NOT_FINITE", Field);
            }
        }
        if (!(Patm > 0)) {
            Refuse("MSG_PRESSURE_NOT_POSITIVE", edtDensPatm);
        }
        // 351.6 / (273 + t): no density at or below -273 °C.
        if (!(std::isfinite(Rho) && Rho > 0)) {
            Refuse("MSG_DENSITY_NOT_POSITIVE", edtDensTemp);
        }
    }
    if (!std::isfinite(Flow)) {
        Refuse("MSG_NOT_FINITE", edtFlowAirFlow);
    }

    struct TFlowData {
        double Density, DensityTemp, Pressure, AirFlow;
    };
    const TFlowData Before{Document->Density, Document->DensityTemp, Document->Pressure, Document->AirFlow};
    if (rbDensNormal->isChecked()) {
        Document->SetNormalDensity();
    } else if (Real) {
        Document->SetRealDensity(Temp, Patm);
    }
    Document->AirFlow = Flow;
    try {
        if (Document->Pressure != LastPressure) {
            InvalidateWindow();
            Document->CalculateAll();
        }
        bool Finite = std::isfinite(Document->AirFlow * Document->Density);
        for (int K = 1; Finite && K < Document->PointCount(); ++K) {
            const TMollierPoint& From = Document->Points[K - 1];
            const TMollierPoint& To = Document->Points[K];
            Finite = std::isfinite(Document->Power(From.Enthalpy, To.Enthalpy)) &&
                     std::isfinite(Document->SensiblePower(From.Temp, To.Temp, From.SpecHum, To.SpecHum)) &&
                     std::isfinite(Document->Water(From.SpecHum, To.SpecHum));
        }
        if (!Finite) {
            Refuse("MSG_AIR_FLOW_TOO_LARGE", edtFlowAirFlow);
        }
    } catch (...) {
        // The document keeps the flow data and the points it had.
        const bool Recalculate = Document->Pressure != Before.Pressure;
        Document->Density = Before.Density;
        Document->DensityTemp = Before.DensityTemp;
        Document->AirFlow = Before.AirFlow;
        Document->SetPressure(Before.Pressure);
        if (Recalculate) {
            try {
                Document->CalculateAll();
            } catch (const std::exception&) {
                // The points computed at this pressure before, so they do again.
            }
        }
        RefreshPointsPanel();
        throw;
    }
    RefreshPointsPanel();
    LastPressure = Document->Pressure;
    if (MarkModified) {
        Modified = true;
    }
}

void TfrmMain::FlowDataTrigger() {
    if (FReportingFlowFailure) {
        return;
    }
    try {
        UpdateFlowData(true);
    } catch (const EFlowDataRefused& Refused) {
        TFlagScope Reporting(FReportingFlowFailure, true);
        TUserDialogs::Current().ShowMessage(TMessageKind::Error, Refused.what());
        // The typed text stays, selected, so that typing replaces it; once
        // the focus change that may have started the update is over, and
        // without another update for leaving the control it went to.
        QMetaObject::invokeMethod(
            this,
            [this, Field = Refused.Field()] {
                TFlagScope Refocusing(FReportingFlowFailure, true);
                Field->setFocus(Qt::OtherFocusReason);
                Field->selectAll();
            },
            Qt::QueuedConnection);
    } catch (const std::exception& Failure) {
        TFlagScope Reporting(FReportingFlowFailure, true);
        ReportFailure(Failure);
    }
}

void TfrmMain::btnUpdateFlowDataClick() {
    UpdateFlowData(true);
}

void TfrmMain::rbDensNormalClick() {
    SetRealDensityEnabled(false);
    UpdateFlowData(true);
}

void TfrmMain::rbDensRealClick() {
    SetRealDensityEnabled(true);
    UpdateFlowData(true);
}

void TfrmMain::SelectDensityChoice(QRadioButton* Choice) {
    if (Choice->isChecked()) {
        return;
    }
    {
        const QSignalBlocker BlockNormal(rbDensNormal);
        const QSignalBlocker BlockReal(rbDensReal);
        Choice->setChecked(true);
    }
    if (Choice == rbDensNormal) {
        rbDensNormalClick();
    } else {
        rbDensRealClick();
    }
}

void TfrmMain::UncheckDensityChoices() {
    const QSignalBlocker BlockNormal(rbDensNormal);
    const QSignalBlocker BlockReal(rbDensReal);
    // Exclusive radio buttons cannot be cleared while exclusive.
    for (QRadioButton* Choice : {rbDensNormal, rbDensReal}) {
        Choice->setAutoExclusive(false);
        Choice->setChecked(false);
        Choice->setAutoExclusive(true);
    }
}

// ---- Chart ----

void TfrmMain::FormPaint(QPainter& Painter) {
    try {
        ApplyTexts();
        RefreshPointsPanel();
        TQtCanvas Canvas(Painter);
        Canvas.SetPenColor(clBlack);
        Canvas.SetPenWidth(3);
        Canvas.SetFillColor(clWhite);
        Canvas.SetFillStyle(TFillStyle::Solid);
        Canvas.Rectangle(0, 0, PaintBox1->width(), PaintBox1->height());
        DrawChart(Canvas);
        RefreshPointsPanel();
    } catch (const std::exception& Failure) {
        // A box cannot open inside a paint event; it opens right after, once.
        if (!FPaintFailureQueued) {
            FPaintFailureQueued = true;
            const std::string Message = Failure.what();
            QMetaObject::invokeMethod(
                this,
                [this, Message] {
                    ReportFailure(std::runtime_error(Message));
                    FPaintFailureQueued = false;
                },
                Qt::QueuedConnection);
        }
    }
}

void TfrmMain::DrawChart(TCanvas& Canvas) {
    if (!DrawingEnabled) {
        return;
    }
    Draw->SetCanvas(&Canvas, 0, 0, PaintBox1->width(), PaintBox1->height());
    Draw->Document = Document.get();
    Draw->DrawDiagram(false);
}

void TfrmMain::PaintBox1MouseMove(int X, int Y) {
    try {
        const TMoistAirState State = Draw->PixelToState(X, Y);
        std::string Text;
        if (Draw->MinTemp() <= State.Temp && State.Temp <= Draw->MaxTemp() &&
            Draw->MinSpecHum() <= State.SpecHum && State.SpecHum <= Draw->MaxSpecHum() &&
            State.RelHum <= 100) {
            Text = "T=" + FormatFixed(State.Temp, 1) + " °C    " + "RH=" + FormatFixed(State.RelHum, 1) +
                   " %    " + "x=" + FormatFixed(State.SpecHum * 1000, 1) + " g/kg    " +
                   "i=" + FormatFixed(State.Enthalpy, 1) + " kJ/kg";
        }
        SetStatusText(1, Text);
    } catch (...) {
        // The read-out keeps its last text where the pointer has no state.
    }
}

} // namespace psykrona
