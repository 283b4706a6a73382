// The main window: its controls and their places, its texts, and the
// window's own events. The commands live beside it: files and options in
// FormMainFiles.cpp, the point list and flow data in FormMainPoints.cpp, the
// chart in FormMainChart.cpp, the Tools menu in FormMainTools.cpp.
#include "ui/FormMain.h"

#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "localisation/FormIntro2.h"
#include "localisation/Translator.h"
#include "ui/DialogLayout.h"
#include "ui/FormEditPoint.h"
#include "ui/PaintBox.h"
#include "ui/PointBlocks.h"
#include "ui/PsykronaIcons.h"
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
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <functional>

namespace psykrona {

namespace {

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
    // A project file dropped on the window opens (FormMainFiles.cpp).
    setAcceptDrops(true);
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
    Document->AirFlow = StrToFloat(edtFlowAirFlow->text().toStdString());
    Document->Density = TMain::NormalDensity;
    ProductCaption = "Psykrona " + TMain::GetVersion();
    FileHandling = std::make_unique<TMollierFileHandling>(FDomImpl, FXMLParser);
    FileHandling->FProject = Document.get();
    // Maximised; the geometry too, for desktops without a window manager.
    if (QScreen* Screen = QGuiApplication::primaryScreen()) {
        setGeometry(Screen->availableGeometry());
    }
    setWindowState(windowState() | Qt::WindowMaximized);
    setWindowTitle(QText(ProductCaption));
    Modified = false;
    DrawingEnabled = true;
    // Messages shown before the first paint need their texts.
    ApplyTexts();
}

void TfrmMain::setVisible(bool Visible) {
    if (Visible && !FShown) {
        FShown = true;
        // The start-up step runs before the window appears, so the language
        // choice is the first thing on screen and the window's first paint
        // is in the chosen language. Made native first, so the start-up
        // window stands over it (and closing that one never ends the run).
        create();
        try {
            FormShow();
        } catch (const std::exception& Failure) {
            ReportFailure(Failure);
        }
        if (FEnded) {
            return;
        }
    }
    QMainWindow::setVisible(Visible);
}

void TfrmMain::FormShow() {
    if (Forms.frmIntro != nullptr && Forms.frmIntro->exec() == QDialog::Rejected) {
        // The user ended the program at the language choice; the window
        // never appears.
        FEnded = true;
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
    auto Set = [](auto* Control, const std::string& Text) { Control->setText(QText(Text)); };
    gbPoints->setTitle(QText(TTranslator::GetText("POINTS_PANEL", "TITLE")));
    Set(btnAdd, TTranslator::GetText("POINTS_PANEL", "BTN_ADD"));
    Set(btnDelete, TTranslator::GetText("POINTS_PANEL", "BTN_DELETE"));
    Set(btnInsert, TTranslator::GetText("POINTS_PANEL", "BTN_INSERT"));
    Set(btnEdit, TTranslator::GetText("POINTS_PANEL", "BTN_EDIT"));
    gbFlowData->setTitle(QText(TTranslator::GetText("FLOW_DATA_PANEL", "TITLE")));
    Set(stFlowHeader, TTranslator::GetText("FLOW_DATA_PANEL", "LBL_AIR_FLOW"));
    Set(stDensHeader, TTranslator::GetText("FLOW_DATA_PANEL", "LBL_DENSITY"));
    Set(rbDensNormal, TTranslator::GetText("FLOW_DATA_PANEL", "RDB_NORMAL") + " (1.2 kg/m³)");
    Set(rbDensReal, TTranslator::GetText("FLOW_DATA_PANEL", "RDB_REAL"));
    Set(stDensTemp, TTranslator::GetText("FLOW_DATA_PANEL", "LBL_TEMPERATURE"));
    Set(stDensPatm, TTranslator::GetText("FLOW_DATA_PANEL", "LBL_BAROMETRIC_PRESSURE"));
    Set(stDensDensity, TTranslator::GetText("FLOW_DATA_PANEL", "LBL_DENSITY_REAL"));
    Set(btnUpdateFlowData, TTranslator::GetText("FLOW_DATA_PANEL", "BTN_UPDATE"));
    for (QLabel* Label : {stFlowHeader, stDensHeader, stDensTemp, stDensPatm, stDensDensity}) {
        Label->adjustSize();
    }
    LayoutFlowData();
    mnuFile->setTitle(QText(TTranslator::GetText("MENUS", "MNU_FILE")));
    Set(mnuFileNew, TTranslator::GetText("MENUS", "MNU_FILE_NEW"));
    Set(mnuFileOpen, TTranslator::GetText("MENUS", "MNU_FILE_OPEN"));
    Set(mnuFileSave, TTranslator::GetText("MENUS", "MNU_FILE_SAVE"));
    Set(mnuFileSaveAs, TTranslator::GetText("MENUS", "MNU_FILE_SAVE_AS"));
    Set(mnuFileSaveChartAsPicture, TTranslator::GetText("MENUS", "MNU_FILE_SAVE_CHART_AS_PICTURE"));
    Set(mnuFilePrint, TTranslator::GetText("MENUS", "MNU_FILE_PRINT"));
    Set(mnuFileExit, TTranslator::GetText("MENUS", "MNU_FILE_EXIT"));
    mnuOptions->setTitle(QText(TTranslator::GetText("MENUS", "MNU_OPTIONS")));
    Set(MnuOptionsChart, TTranslator::GetText("MENUS", "MNU_OPTIONS_LIMITS"));
    Set(mnuOptionsLanguage, TTranslator::GetText("MENUS", "MNU_OPTIONS_LANGUAGE"));
    mnuHelp->setTitle(QText(TTranslator::GetText("MENUS", "MNU_HELP")));
    Set(mnuHelpHelp, TTranslator::GetText("MENUS", "MNU_HELP_HELP"));
    Set(mnuHelpAbout, TTranslator::GetText("MENUS", "MNU_HELP_ABOUT"));
    ApplyToolsTexts();
    FTexts.Temperature = TTranslator::GetText("POINTS_DATA_LIST", "LBL_TEMPERATURE");
    FTexts.RelHum = TTranslator::GetText("POINTS_DATA_LIST", "LBL_REL_HUM");
    FTexts.SpecHum = TTranslator::GetText("POINTS_DATA_LIST", "LBL_SPEC_HUM");
    FTexts.Enthalpy = TTranslator::GetText("POINTS_DATA_LIST", "LBL_ENTHALPY");
    FTexts.Power = TTranslator::GetText("POINTS_DATA_LIST", "LBL_POWER");
    FTexts.SensPower = TTranslator::GetText("POINTS_DATA_LIST", "LBL_SENS_POWER");
    FTexts.Water = TTranslator::GetText("POINTS_DATA_LIST", "LBL_WATER");
    tbNew->setToolTip(QText(TTranslator::GetText("TOOLTIPS", "TIP_NEW")));
    tbOpen->setToolTip(QText(TTranslator::GetText("TOOLTIPS", "TIP_OPEN")));
    tbSave->setToolTip(QText(TTranslator::GetText("TOOLTIPS", "TIP_SAVE")));
    tbPrint->setToolTip(QText(TTranslator::GetText("TOOLTIPS", "TIP_PRINT")));
    tbAdd->setToolTip(QText(TTranslator::GetText("TOOLTIPS", "TIP_ADD_POINT")));
    tbDelete->setToolTip(QText(TTranslator::GetText("TOOLTIPS", "TIP_DELETE_POINT")));
    tbInsert->setToolTip(QText(TTranslator::GetText("TOOLTIPS", "TIP_INSERT_POINT")));
    tbEdit->setToolTip(QText(TTranslator::GetText("TOOLTIPS", "TIP_EDIT_POINT")));
    FTexts.FileNotFound = TTranslator::GetText("MESSAGES", "MSG_FILE_NOT_FOUND");
    FTexts.FileNotOpened = TTranslator::GetText("MESSAGES", "MSG_FILE_NOT_OPENED");
    FTexts.FileNotSaved = TTranslator::GetText("MESSAGES", "MSG_FILE_NOT_SAVED");
    FTexts.ConfirmErasePoint = TTranslator::GetText("MESSAGES", "MSG_CONFIRM_ERASE_POINT");
    FTexts.SaveChanges = TTranslator::GetText("MESSAGES", "MSG_SAVE_CHANGES");
    FTexts.QuitWithoutSaving = TTranslator::GetText("MESSAGES", "MSG_QUIT_WITHOUT_SAVING");
}

void TfrmMain::InvalidateWindow() {
    // Texts of a newly chosen language may widen the flow-data panel and
    // move the chart; laid out now, the one coming paint draws it in place.
    ApplyTexts();
    PaintBox1->update();
}

void TfrmMain::SetStatusText(int Panel, const std::string& Text) {
    StatusPanels.at(static_cast<std::size_t>(Panel))->setText(QText(Text));
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

} // namespace psykrona
