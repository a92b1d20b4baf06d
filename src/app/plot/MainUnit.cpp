#include "app/plot/MainUnit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPalette>
#include <QProcess>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <algorithm>

#include "app/adjust/EZKAdjustUnit.h"
#include "app/adjust/LHAdjustUnit.h"
#include "app/document/KelvaneDocument.h"
#include "app/document/Prompts.h"
#include "app/document/QtText.h"
#include "app/logdata/LogLoadProgress.h"
#include "app/plot/LogDataUnit.h"
#include "app/plot/MainImage.h"
#include "app/plot/PlotLayers.h"
#include "app/projects/ProjectUnit.h"
#include "app/shell/QtPrompts.h"
#include "app/shell/StartupWindow.h"
#include "core/adjust/TargetAfrMap.h"
#include "core/display/ColorTableFile.h"
#include "core/ground/IniKeys.h"
#include "core/ground/SettingsValues.h"
#include "core/ground/WriteFailures.h"
#include "core/logdata/LogCaption.h"
#include "core/logdata/LogFileReader.h"
#include "core/logdata/LogFirstLine.h"
#include "core/logdata/LogHeader.h"
#include "core/logdata/PlotMafPass.h"
#include "core/maps/EngineSetupText.h"
#include "core/maps/MapText.h"
#include "core/plot/PlotGeometry.h"
#include "core/shell/ManualFiles.h"
#include "core/shell/MapClipboard.h"
#include "core/shell/MapLoading.h"
#include "core/shell/SettingsMainFile.h"
#include "core/shell/StartupClosing.h"
#include "core/shell/StartupLogOptions.h"
#include "core/shell/StartupUpdates.h"
#include "core/shell/StartupWindowRules.h"
#include "core/shell/TargetAfrMapHooks.h"
#include "core/state/DerivedData.h"
#include "core/state/PlotRanges.h"

namespace kelvane {

namespace {

// Posted once the window is shown: the start-up check runs on the first idle moment.
const QEvent::Type StartupCheckEvent = static_cast<QEvent::Type>(QEvent::User + 2);
const QEvent::Type EngineSetupChangedEvent =
    static_cast<QEvent::Type>(QEvent::User + EngineSetupChangedMessage);

constexpr const char* LogFileFilter = "VX Log Files (*.txt)|*.txt|All Files (*.*)|*.*";

std::vector<std::string> ArgumentsWithoutProgram() {
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (int i = 1; i < all.size(); ++i) arguments.push_back(all.at(i).toStdString());
    return arguments;
}

// "Default Folder", or its parent when it no longer exists.
QString ExistingFolderOrParent(const QString& folder) {
    if (folder.isEmpty() || QFileInfo(folder).isDir()) return folder;
    return QFileInfo(QDir::cleanPath(folder)).path();
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : TMainForm(TMainFormOptions{}, parent) {}

TMainForm::TMainForm(TMainFormOptions options, QWidget* parent)
    : QMainWindow(parent),
      FProgram(options.Program ? std::move(*options.Program)
                               : MakeProgramValues(QCoreApplication::applicationFilePath().toStdString(),
                                                   ArgumentsWithoutProgram())),
      FStartupWindowWanted(options.StartupWindow),
      FFolderWorkerOptions(options.FolderWorker) {
    setObjectName(QStringLiteral("MainForm"));
    if (!options.Prompts) FOwnPrompts = std::make_unique<TQtPrompts>(this);
    TPrompts& prompts = options.Prompts ? *options.Prompts : *FOwnPrompts;

    // Logging is on only when the user created the file beforehand.
    if (FLog.Open(DebugLogPath())) FLog.LogLine("Kelvane starting, " + FProgram.ProgramFile.string());

    // Tests and screenshots name their own data folder; the program asks the system.
    const TPlatformFolders platform =
        options.CommonRoot.isEmpty()
            ? SystemDataFolders(FProgram.ProgramRoot,
                                ToPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)))
            : TPlatformFolders{ToPath(options.CommonRoot), ToPath(options.CommonRoot), {}, {}};
    const TFolderSetup folders = SetUpFolders(FProgram, platform, FLog.Callback());
    FDocument = std::make_unique<TKelvaneDocument>(
        std::make_unique<TSettingsStore>(folders.CommonRoot, FProgram.BaseName), prompts,
        !options.SecondCopy);
    connect(FDocument.get(), &TKelvaneDocument::HistoryChanged, this, &TMainForm::UpdateUndoItems);
    if (!WriteFolderSection(Store().Main(), folders, platform, FLog.Callback()))
        Prompts().ShowError(FromStd(WriteFailureText(Store().Main())));

    FPlotArea = new TMainImage(this);
    FPlotArea->SetRender([this](QSize size) { return RenderMainImage(size); });
    connect(FPlotArea, &TMainImage::MouseDown, this, &TMainForm::MainImageMouseDown);
    connect(FPlotArea, &TMainImage::MouseMove, this, &TMainForm::MainImageMouseMove);
    connect(FPlotArea, &TMainImage::MouseUp, this, &TMainForm::MainImageMouseUp);
    connect(FPlotArea, &TMainImage::MouseLeft, this, &TMainForm::MainImageMouseLeft);
    connect(FPlotArea, &TMainImage::Wheel, this, &TMainForm::PlotWheel);

    CreateMenus();
    CreateToolBar();
    CreateAdjustCommands();
    CreateStatusBar();
    LoadStartSettings();
    CreateDataPanels();
    CreateMapWindowItems();
    CreateOptionsItems();

    // The windows that show the plot's data hear of a change before it is drawn.
    connect(FDocument.get(), &TKelvaneDocument::Changed, this, &TMainForm::DocumentChanged);
    PlaceOnScreen();
    UpdateCaptionAndStatus();
    UpdateSetupPanel();
    setAcceptDrops(true);
    if (!FDocument->WritesSettings()) ShowSecondCopyNotice();

    FTimer = new QTimer(this);
    connect(FTimer, &QTimer::timeout, this, [this] {
        FLog.FlushLog();
        if (FStartupForm) FStartupForm->Tick(std::chrono::steady_clock::now());
    });
    FTimer->start(1000);
    qApp->installEventFilter(this);
    FCreated = true;
}

TMainForm::~TMainForm() {
    qApp->removeEventFilter(this);
    StopFolderWorker();
    // Tool windows tell this window when they go: they go while it still is one.
    delete FLogDataForm;
    delete FLHAdjustForm;
    delete FEZKAdjustForm;
    delete FProjectForm;
    DeleteMapWindows();
    DeleteShellWindows();
    DeleteOptionsWindows();
    // The plot, the panels and the graph show the document's data: they go
    // while it is still there, not in the window's own teardown after it.
    FCreated = false;
    delete takeCentralWidget();
    FLog.LogLine(".");
    FLog.FlushLog();
}

void TMainForm::PlaceOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const TWindowSize placement =
        MainWindowPlacement(ReadWindowSizeText(Store().Main(), MainWindowSection), 1000, 700,
                            TWindowSize{area.left(), area.top(), area.width(), area.height()});
    setGeometry(placement.Left, placement.Top, placement.Width, placement.Height);
}

void TMainForm::LoadStartSettings() {
    TSettingsHooks hooks = TargetAfrMapHooks(State());
    hooks.SetupAxes = [this](const TEngineSetup&) { State().RecomputeAxes(); };
    LoadSettings(Store(), State().Settings, TSettingsLoad::Startup, hooks);
    State().Settings.StoredFilters = State().Settings.ActiveFilters;
    SetUpAxes(State());
    State().Display.PlotAfr = true;
    State().Display.PlotO2Adj = true;
    State().Fuel.ResetAdjustments(TFuelLimits{});
    LoadStartupValues(Store().Main(), State().Settings);
    LoadStartupTargetAfrMap(Store().CommonRoot(), State().Fuel);
    FDocument->ColorScale() = LoadColorTable(Store().Main());
    if (!WriteStartStamp(Store().Main(), FProgram.VersionText, CurrentDateTimeText()))
        Prompts().ShowError(FromStd(WriteFailureText(Store().Main())));
    ReadLayoutSettings(Store().Main(), FDocument->Layout());
    ReadAfrScaleSettings(Store().Main(), State().PlotDisplay);
    ReadWindowSettings(Store().Main(), State().Settings.KnockLimits[0], FDocument->Windows());
    State().Settings.RecentFiles = LoadRecentFiles(Store().Main());
}

// ---- Menus -------------------------------------------------------------

void TMainForm::CreateMenus() {
    CreateFileMenu();
    CreateEditMenu();
    CreateViewMenu();
    CreateWindowMenu();
    CreateHelpMenu();
}

namespace {

enum class TItemState { Enabled, Disabled };

QAction* AddItem(QMenu* menu, const QString& caption, const QString& name,
                 TItemState state = TItemState::Enabled) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setEnabled(state == TItemState::Enabled);
    return action;
}

}  // namespace

void TMainForm::CreateFileMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&File"));
    menu->setObjectName(QStringLiteral("File1"));
    FOpenNewPlot1 = AddItem(menu, QStringLiteral("O&pen Log File (new plot)"), QStringLiteral("OpenFile1"));
    connect(FOpenNewPlot1, &QAction::triggered, this, [this] { OpenFile1Click(TLogOpen::NewPlot); });
    FOpenAddToPlot1 =
        AddItem(menu, QStringLiteral("Open Log File (add to Plot)"), QStringLiteral("AddFile1"));
    connect(FOpenAddToPlot1, &QAction::triggered, this, [this] { OpenFile1Click(TLogOpen::AddToPlot); });
    FCloseLogFile1 = menu->addMenu(QStringLiteral("&Close Log File"));
    FCloseLogFile1->setObjectName(QStringLiteral("CloseLogFile1"));
    connect(FCloseLogFile1, &QMenu::aboutToShow, this, &TMainForm::CloseLogFileOpening);
    FNewPlot1 = AddItem(menu, QStringLiteral("&New Plot"), QStringLiteral("NewPlot1"));
    connect(FNewPlot1, &QAction::triggered, this, &TMainForm::NewPlot1Click);

    FRecentFiles1 = menu->addMenu(QStringLiteral("&Recent Files"));
    FRecentFiles1->setObjectName(QStringLiteral("RecentFiles1"));
    for (int tag = 1; tag <= static_cast<int>(FRecentItems.size()); ++tag) {
        QAction* item =
            AddItem(FRecentFiles1, QStringLiteral("&%1").arg(tag), QStringLiteral("RecentFile%1").arg(tag));
        item->setData(tag);
        connect(item, &QAction::triggered, this, [this, tag] { RecentFileClick(tag); });
        FRecentItems[static_cast<std::size_t>(tag - 1)] = item;
    }
    connect(FRecentFiles1, &QMenu::aboutToShow, this, &TMainForm::RecentFilesOpening);
    FSaveLogData1 = AddItem(menu, QStringLiteral("Save Log &Data As"), QStringLiteral("SaveLogData1"));
    connect(FSaveLogData1, &QAction::triggered, this, &TMainForm::SaveLogData1Click);
    connect(menu, &QMenu::aboutToShow, this,
            [this] { FSaveLogData1->setEnabled(!State().Logs.Data.Empty()); });

    menu->addSeparator();
    FLoadMapFile1 = AddItem(menu, QStringLiteral("Load &Map File..."), QStringLiteral("LoadMapFile1"));
    connect(FLoadMapFile1, &QAction::triggered, this, &TMainForm::LoadMapFile1Click);
    FCompareMapFile1 =
        AddItem(menu, QStringLiteral("Co&mpare Map File..."), QStringLiteral("CompareMapFile1"));
    connect(FCompareMapFile1, &QAction::triggered, this, &TMainForm::CompareMapFile1Click);
    FSaveMaps1 = AddItem(menu, QStringLiteral("&Save Maps"), QStringLiteral("SaveMaps1"));
    connect(FSaveMaps1, &QAction::triggered, this, &TMainForm::SaveMaps1Click);
    FSavePlotImage1 = AddItem(menu, QStringLiteral("Save Plot &Image..."), QStringLiteral("SavePlotImage1"));
    connect(FSavePlotImage1, &QAction::triggered, this, &TMainForm::SavePlotImage1Click);

    menu->addSeparator();
    FOpenProject1 = AddItem(menu, QStringLiteral("&Open Project  (Ctrl+O)"), QStringLiteral("OpenProject1"));
    connect(FOpenProject1, &QAction::triggered, this, &TMainForm::OpenProject1Click);
    menu->addSeparator();
    FExit1 = AddItem(menu, QStringLiteral("E&xit"), QStringLiteral("Exit1"));
    connect(FExit1, &QAction::triggered, this, &QWidget::close);
}

void TMainForm::CreateEditMenu() {
    FEditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    FEditMenu->setObjectName(QStringLiteral("Edit1"));
    FCopyLogData1 =
        AddItem(FEditMenu, QStringLiteral("&Copy  Log Data (Ctrl+C)"), QStringLiteral("CopyLogData1"));
    connect(FCopyLogData1, &QAction::triggered, this, &TMainForm::CopyLogData1Click);
    FEditMenu->addSeparator();
    FCopyUpdatedMap1 =
        AddItem(FEditMenu, QStringLiteral("Copy Updated LH &Map"), QStringLiteral("CopyUpdatedMap1"));
    connect(FCopyUpdatedMap1, &QAction::triggered, this, &TMainForm::CopyUpdatedMap1Click);
    FPasteMap1 =
        AddItem(FEditMenu, QStringLiteral("Paste Map"), QStringLiteral("PasteMap1"), TItemState::Disabled);
    connect(FPasteMap1, &QAction::triggered, this, &TMainForm::PasteMap1Click);
    FEditMenu->addSeparator();
    FUpdateFuelTrim1 =
        AddItem(FEditMenu, QStringLiteral("&Adjust Fuel Map"), QStringLiteral("UpdateFuelTrim1"));
    connect(FUpdateFuelTrim1, &QAction::triggered, this, &TMainForm::UpdateFuelTrim1Click);
    FUpdateIgnitionTiming1 =
        AddItem(FEditMenu, QStringLiteral("Adjust &Ignition Map"), QStringLiteral("UpdateIgnitionTiming1"));
    connect(FUpdateIgnitionTiming1, &QAction::triggered, this, &TMainForm::UpdateIgnitionTiming1Click);
    FResetFuelMapAdjustment1 = AddItem(FEditMenu, QStringLiteral("&Reset Fuel Map Adjustment"),
                                       QStringLiteral("ResetFuelMapAdjustment1"));
    connect(FResetFuelMapAdjustment1, &QAction::triggered, this, &TMainForm::ResetFuelMapAdjustment1Click);
    FResetIgntionmadadjustment1 = AddItem(FEditMenu, QStringLiteral("R&eset Igntion Map Adjustment"),
                                          QStringLiteral("ResetIgntionmadadjustment1"));
    connect(FResetIgntionmadadjustment1, &QAction::triggered, this,
            &TMainForm::ResetIgntionmadadjustment1Click);
    connect(FEditMenu, &QMenu::aboutToShow, this, &TMainForm::EditMenuOpening);
    EditMenuOpening();
}

void TMainForm::CreateViewMenu() {
    FViewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    FViewMenu->setObjectName(QStringLiteral("View1"));
    QMenu* menu = FViewMenu;
    auto checkItem = [menu](const char* caption, const char* name, TItemState state = TItemState::Enabled) {
        QAction* item = AddItem(menu, QString::fromUtf8(caption), QString::fromUtf8(name), state);
        item->setCheckable(true);
        return item;
    };
    FLHFormat1 = checkItem("&LH Format", "LHFormat1");
    connect(FLHFormat1, &QAction::triggered, this, [this] { SetView(TPlotView::LH, TPlotFormat::Cells); });
    FEZKFormat1 = checkItem("E&ZK Format", "EZKFormat1");
    connect(FEZKFormat1, &QAction::triggered, this, [this] { SetView(TPlotView::EZK, TPlotFormat::Cells); });
    FGridFormat1 = checkItem("G&rid Format", "GridFormat1");
    connect(FGridFormat1, &QAction::triggered, this, [this] { SetView(TPlotView::LH, TPlotFormat::Grid); });
    FCellFormat1 = checkItem("&Cell Format", "CellFormat1");
    connect(FCellFormat1, &QAction::triggered, this, [this] { SetView(TPlotView::LH, TPlotFormat::Cells); });
    menu->addSeparator();
    FShowReferenceMap1 = checkItem("Show &Reference Map", "ShowReferenceMap1");
    connect(FShowReferenceMap1, &QAction::triggered, this, [this] { ToggleOverlay(TMapOverlay::Reference); });
    FShowAdjustments1 = checkItem("Show &Adjustments", "ShowAdjustments1");
    connect(FShowAdjustments1, &QAction::triggered, this,
            [this] { ToggleOverlay(TMapOverlay::Adjustments); });
    FShowUpdatedMap1 = checkItem("Show &Updated Map", "ShowUpdatedMap1");
    connect(FShowUpdatedMap1, &QAction::triggered, this, [this] { ToggleOverlay(TMapOverlay::Updated); });
    menu->addSeparator();
    FUseAdjustments1 =
        AddItem(menu, QStringLiteral("Include Adjustments"), QStringLiteral("UseAdjustments1"));
    FUseAdjustments1->setCheckable(true);
    connect(FUseAdjustments1, &QAction::triggered, this, [this] {
        ToggleViewOption(FUseAdjustments1, State().Display.IncludeAdjustments, TChange::PlottedValues);
    });
    FShowKnocks1 = AddItem(menu, QStringLiteral("Show &Knocks on fuel plot"), QStringLiteral("ShowKnocks1"));
    FShowKnocks1->setCheckable(true);
    connect(FShowKnocks1, &QAction::triggered, this,
            [this] { ToggleViewOption(FShowKnocks1, State().Display.ShowKnocks, TChange::Display); });
    FAFRScale1 = AddItem(menu, QStringLiteral("Show AFR &Scale"), QStringLiteral("AFRScale1"));
    FAFRScale1->setCheckable(true);
    connect(FAFRScale1, &QAction::triggered, this,
            [this] { ToggleViewOption(FAFRScale1, State().PlotDisplay.ShowAfrScale, TChange::Display); });
    menu->addSeparator();
    FDataLog1 = checkItem("Data &Log", "DataLog1");
    FDataGraph1 = checkItem("Data &Graph", "DataGraph1");
    connect(menu, &QMenu::aboutToShow, this, &TMainForm::ViewMenuOpening);
    ViewMenuOpening();
}

void TMainForm::ViewMenuOpening() {
    const bool lh22 = State().Setup().LHVersion == TLHVersion::LH22;
    const bool ezk = State().Display.View == TPlotView::EZK;
    FUseAdjustments1->setChecked(State().Display.IncludeAdjustments);
    FShowKnocks1->setChecked(State().Display.ShowKnocks && !lh22);
    FShowKnocks1->setEnabled(!lh22);
    FEZKFormat1->setChecked(ezk && !lh22);
    FEZKFormat1->setEnabled(!lh22);
    FLHFormat1->setChecked(!ezk);
    FGridFormat1->setChecked(!ezk && State().PlotDisplay.GridFormat);
    FCellFormat1->setChecked(!ezk && !State().PlotDisplay.GridFormat);
    FShowReferenceMap1->setChecked(State().PlotDisplay.Overlay == TMapOverlay::Reference);
    FShowAdjustments1->setChecked(State().PlotDisplay.Overlay == TMapOverlay::Adjustments);
    FShowUpdatedMap1->setChecked(State().PlotDisplay.Overlay == TMapOverlay::Updated);
    FAFRScale1->setChecked(State().PlotDisplay.ShowAfrScale);
    UpdatePanelChecks();
}

// The menu's own check mark has already toggled; the flag takes it.
void TMainForm::ToggleViewOption(QAction* item, bool& flag, TChange change) {
    flag = item->isChecked();
    FDocument->Apply(change);
}

void TMainForm::CreateWindowMenu() {
    FWindowMenu = menuBar()->addMenu(QStringLiteral("&Window"));
    FWindowMenu->setObjectName(QStringLiteral("Window1"));
    connect(AddItem(FWindowMenu, QStringLiteral("&Log Data"), QStringLiteral("LogData1")),
            &QAction::triggered, this, &TMainForm::LogData1Click);
    FMapsWindow1 = AddItem(FWindowMenu, QStringLiteral("&Maps Window"), QStringLiteral("MapsWindow1"),
                           TItemState::Disabled);
    AddItem(FWindowMenu, QStringLiteral("Map &3D View"), QStringLiteral("Map3DView1"), TItemState::Disabled);
    AddItem(FWindowMenu, QStringLiteral("&Options"), QStringLiteral("Options1"), TItemState::Disabled);
    FVXStatus1 = AddItem(FWindowMenu, QStringLiteral("VX Status"), QStringLiteral("VXStatus1"));
    connect(FVXStatus1, &QAction::triggered, this, &TMainForm::VXStatus1Click);
    connect(FWindowMenu, &QMenu::aboutToShow, this, &TMainForm::WindowMenuOpening);
    WindowMenuOpening();
}

void TMainForm::CreateHelpMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Help"));
    menu->setObjectName(QStringLiteral("Help1"));
    connect(AddItem(menu, QStringLiteral("Kelvane &Manual"), QStringLiteral("Manual1")), &QAction::triggered,
            this, &TMainForm::ShowManual);
    connect(AddItem(menu, QStringLiteral("Check for &Updates"), QStringLiteral("CheckForUpdates1")),
            &QAction::triggered, this, &TMainForm::CheckForUpdates1Click);
    connect(AddItem(menu, QStringLiteral("&About"), QStringLiteral("About1")), &QAction::triggered, this,
            &TMainForm::ShowAbout);
}

void TMainForm::CreateStatusBar() {
    const std::array<int, 3> widths{250, 250, 0};
    for (std::size_t i = 0; i < FStatusPanels.size(); ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        if (widths[i] > 0) panel->setMinimumWidth(widths[i]);
        statusBar()->addWidget(panel, widths[i] > 0 ? 0 : 1);
        FStatusPanels[i] = panel;
    }
    FSetupPanel = new QLabel(this);
    FSetupPanel->setObjectName(QStringLiteral("SetupPanel"));
    FSetupPanel->setToolTip(QStringLiteral("Engine setup: LH version, LH configuration, EZK version"));
    statusBar()->addPermanentWidget(FSetupPanel);
}

void TMainForm::UpdateSetupPanel() {
    const TEngineSetup& setup = State().Setup();
    FSetupPanel->setText(FromStd(EngineSetupDisplayText(setup)));
    if (FShownSetup) {
        const std::string change = EngineSetupChangeText(*FShownSetup, setup);
        if (!change.empty()) statusBar()->showMessage(FromStd(change), 10000);
    }
    FShownSetup = setup;
}

void TMainForm::CloseLogFileOpening() {
    FCloseLogFile1->clear();
    const TOpenFiles& open = State().Logs.OpenFiles;
    for (std::size_t i = 0; i < open.Count(); ++i) {
        const QString name = FromStd(open.Name(i));
        QAction* item = FCloseLogFile1->addAction(QFileInfo(name).fileName());
        item->setToolTip(name);
        connect(item, &QAction::triggered, this, [this, name] { CloseLogFile1Click(name); });
    }
}

void TMainForm::CloseLogFile1Click(const QString& fileName) {
    if (RefuseDuringMapWork()) return;
    FDocument->Apply(CloseLogFile(State(), fileName.toStdString()));
}

void TMainForm::EditMenuOpening() {
    FCopyLogData1->setEnabled(!State().Logs.Data.Empty());
    FCopyLogData1->setText(State().Selection.Empty() ? QStringLiteral("&Copy All Log Data")
                                                     : QStringLiteral("&Copy Selected Log Data"));
    const TMenuItemState copy = CopyMapItem(State());
    FCopyUpdatedMap1->setText(FromStd(copy.Caption));
    FCopyUpdatedMap1->setEnabled(copy.Enabled);
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const TMenuItemState paste = PasteMapItem(clipboard ? clipboard->text().toStdString() : std::string());
    FPasteMap1->setText(FromStd(paste.Caption));
    FPasteMap1->setEnabled(paste.Enabled);
}

void TMainForm::RecentFilesOpening() {
    const std::vector<std::string> captions = RecentFileCaptions(State().Settings.RecentFiles);
    for (std::size_t i = 0; i < FRecentItems.size(); ++i) {
        const bool shown = i < captions.size();
        if (shown) FRecentItems[i]->setText(FromStd(captions[i]));
        FRecentItems[i]->setVisible(shown);
    }
}

void TMainForm::WindowMenuOpening() {
    FVXStatus1->setVisible(FProgram.HasArgument("Text"));
    FMapsWindow1->setText(State().Display.View == TPlotView::EZK ? QStringLiteral("EZK Igntion &Map")
                                                                 : QStringLiteral("LH Fuel &Map"));
}

// ---- Logs --------------------------------------------------------------

void TMainForm::UpdateCaptionAndStatus() {
    // The caption ends in a blank when nothing is open; the title bar shows it without.
    setWindowTitle(FromStd(CaptionText(State().Logs.OpenFiles, State().Settings.SessionName)).trimmed());
    FStatusPanels[0]->setText(FromStd(StatusText(State().Logs.OpenFiles.Count(), State().Logs.Data.Count())));
}

bool TMainForm::ClosePlot() {
    if (RefuseDuringMapWork()) return false;
    // The question and the base maps need the session folder, so they come
    // before the session name is cleared.
    if (!SavePromptAndBaseMaps()) return false;
    FDocument->Apply(CloseLogs(State()));
    SessionPlotClosed();
    FDocument->StartNewHistory();
    return true;
}

bool TMainForm::StartNewPlot() {
    if (!ClosePlot()) return false;
    FDocument->Apply(ClearMapsAndConfiguration(State()));
    // Nothing of the last plot's maps comes back with an undo.
    FDocument->StartNewHistory();
    return true;
}

bool TMainForm::LoadLogFile(const QString& path) {
    return OpenLogs({path}, TOpenLogsOptions{});
}

bool TMainForm::OpenLogs(const QStringList& files, const TOpenLogsOptions& options) {
    std::vector<std::filesystem::path> paths;
    for (const QString& file : files) paths.push_back(ToPath(file));
    TOpenLogsOptions withDialog = options;
    withDialog.Read = [this](TLogState& logs, const std::filesystem::path& path,
                             const TLoadLogOptions& load) {
        return LoadLogFileWithProgress(this, logs, path, load);
    };
    const TOpenLogsResult result = kelvane::OpenLogs(State(), paths, withDialog);
    FDocument->Apply(result.Changes);
    ReportReadLogs(result.Files);
    return result.AnyLoaded;
}

void TMainForm::ReportReadLogs(const std::vector<std::pair<std::filesystem::path, TLoadLogResult>>& files) {
    QStringList skipped;
    for (const auto& [path, file] : files) {
        if (file.HeaderRejected)
            Prompts().ShowError(
                QStringLiteral("%1: %2").arg(FromPath(path.filename()), FromStd(file.Message)));
        // A file that could not be read gets a box; one with no data, a line in the status bar.
        const std::string notLoaded = NotLoadedMessage(path, file);
        if (!notLoaded.empty()) FLog.LogLine(notLoaded);
        if (file.Unreadable) Prompts().ShowError(FromStd(notLoaded));
        if (file.NoData) skipped << FromStd(notLoaded);
        const std::string message = SkippedLinesMessage(path, file);
        if (message.empty()) continue;
        FLog.LogLine(message);
        skipped << FromStd(message);
        // A file that gave nothing at all would otherwise open without a word.
        if (file.NothingRead()) Prompts().ShowError(FromStd(message));
    }
    // The file count stays in view; the skipped lines follow it.
    if (!skipped.isEmpty())
        FStatusPanels[0]->setText(FStatusPanels[0]->text() + QStringLiteral("; ") +
                                  skipped.join(QStringLiteral("; ")));
}

void TMainForm::OpenFile1Click(TLogOpen open) {
    if (RefuseDuringMapWork()) return;
    TFileRequest request;
    request.Caption = QStringLiteral("Open Log Files");
    request.Filter = QString::fromUtf8(LogFileFilter);
    request.InitialFolder = ExistingFolderOrParent(FromStd(FDocument->Layout().DefaultFolder));
    const TFileChoice choice = Prompts().OpenFiles(request, TFileSelection::Multiple);
    if (!choice.Accepted()) return;

    FDocument->Layout().DefaultFolder = QFileInfo(choice.Files.first()).absolutePath().toStdString();
    if (!Store().Main().WriteString(SettingsSection, DefaultFolderKey, FDocument->Layout().DefaultFolder))
        Prompts().ShowError(FromStd(WriteFailureText(Store().Main())));

    ReadWithLogFileOptions(choice.Files, open);
}

void TMainForm::OpenLogFilesAsNewPlot(QStringList files, TLogOptionsChoice choice) {
    if (files.isEmpty()) return;
    ReadWithLogFileOptions(std::move(files), TLogOpen::NewPlot, choice);
}

void TMainForm::TakeHandedOverFiles(QStringList files) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    if (!files.isEmpty()) ReadWithLogFileOptions(std::move(files), TLogOpen::AddToPlot);
}

void TMainForm::ShowSecondCopyNotice() {
    auto* notice =
        new QLabel(QStringLiteral("Kelvane is running twice: this copy does not save its settings"), this);
    notice->setObjectName(QStringLiteral("SecondCopyNotice"));
    statusBar()->addPermanentWidget(notice);
}

void TMainForm::ReadWithLogFileOptions(QStringList files, TLogOpen open, TLogOptionsChoice choice) {
    if (RefuseDuringMapWork()) return;
    // A new plot starts without an engine setup, so nothing of the current one is preselected.
    const TEngineSetup current = open == TLogOpen::NewPlot ? TEngineSetup{} : State().Setup();
    // A pipe or a device is refused here, before anything waits on it.
    std::string firstLine, error;
    if (!ReadLogFirstLine(ToPath(files.first()), firstLine, error)) {
        Prompts().ShowError(QStringLiteral("%1: %2").arg(files.first(), FromStd(error)));
        return;
    }
    const TEngineSetup preselection = LogFileOptionsPreselection(firstLine, current);
    const std::optional<TEngineSetup> chosen =
        choice == TLogOptionsChoice::Ask ? Prompts().AskLogFileOptions(preselection) : preselection;
    if (!chosen) return;
    // The plot is closed only now: a cancel anywhere before leaves it as it was.
    if (open == TLogOpen::NewPlot && !StartNewPlot()) return;
    TOpenLogsOptions options;
    options.ChosenSetup = chosen;
    options.Store = &Store();
    options.AddToRecentFiles = true;
    OpenLogs(files, options);
}

void TMainForm::NewPlot1Click() {
    StartNewPlot();
}

void TMainForm::RecentFileClick(int tag) {
    if (RefuseDuringMapWork()) return;
    const auto& recent = State().Settings.RecentFiles;
    if (tag < 1 || tag > static_cast<int>(recent.size())) return;
    const std::filesystem::path path = recent[static_cast<std::size_t>(tag - 1)];
    // A file that is gone or is no log leaves the plot as it was.
    const QString name = FromPath(path.filename());
    std::string firstLine, error;
    if (!ReadLogFirstLine(path, firstLine, error)) {
        Prompts().ShowError(QStringLiteral("%1: %2").arg(FromPath(path), FromStd(error)));
        return;
    }
    const TLogHeader header = ParseLogHeader(firstLine);
    if (!header.Accepted()) {
        Prompts().ShowError(QStringLiteral("%1: %2").arg(name, FromStd(header.RejectionMessage())));
        return;
    }
    if (!StartNewPlot()) return;
    TOpenLogsOptions options;
    options.Store = &Store();
    OpenLogs({FromPath(path)}, options);
}

namespace {

// Map text files are told from logs by the map kind tests; bin images by their name.
bool IsMapFile(const QString& file) {
    const std::filesystem::path path = ToPath(file);
    return HasBinExtension(path) || IsLHMapText(path) || IsEZKMapText(path);
}

QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

}  // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    OpenDroppedFiles(files);
}

void TMainForm::OpenDroppedFiles(const QStringList& files) {
    if (RefuseDuringMapWork()) return;
    QStringList logs;
    for (const QString& file : files) {
        if (!IsMapFile(file)) {
            logs << file;  // the open makes names full
            continue;
        }
        TPromptedBinChooser chooser(Prompts());
        const TMapAction action(*FDocument, "Load Map File");
        ApplyMapResult(kelvane::LoadMapFile(State(), ToPath(file), chooser));
    }
    if (!logs.isEmpty()) ReadWithLogFileOptions(logs, TLogOpen::AddToPlot);
}

// ---- Maps --------------------------------------------------------------

std::optional<TFileChoice> TMainForm::AskMapFile(const QString& caption) {
    TFileRequest request;
    request.Caption = caption;
    request.Filter = FromStd(std::string(MapFileFilter));
    request.FilterIndex = FDocument->Layout().MapFilter;
    request.InitialFolder = FromStd(FDocument->Layout().MapFolder);
    request.FileName = FromStd(FDocument->Layout().MapFile);
    const TFileChoice choice = Prompts().OpenFiles(request, TFileSelection::Single);
    if (!choice.Accepted()) return std::nullopt;
    return choice;
}

void TMainForm::ApplyMapResult(const TMapLoadResult& result) {
    if (!result.ErrorText.empty()) Prompts().ShowError(FromStd(result.ErrorText));
    TChangeSet changes = result.Changes;
    // Loading may have set up the axes for another engine setup.
    if (changes.Has(TChange::Axes)) changes |= SetUpAxes(State());
    FDocument->Apply(changes);
    if (!result.Notice.empty()) statusBar()->showMessage(FromStd(result.Notice), 10000);
}

void TMainForm::FinishMapCommand(const TMapLoadResult& result, const QString& path, int filterIndex) {
    if (result.Ok) {
        const TMapFileSettings values = MapFileSettingsFor(ToPath(path), filterIndex);
        FDocument->Layout().MapFolder = values.MapFolder.string();
        FDocument->Layout().MapFile = values.MapFile.string();
        FDocument->Layout().MapFilter = values.MapFilter;
        TIniFile2& main = Store().Main();
        bool written = main.WriteString(SettingsSection, MapFolderKey, FDocument->Layout().MapFolder);
        written &= main.WriteString(SettingsSection, MapFileKey, FDocument->Layout().MapFile);
        written &= main.WriteInteger(SettingsSection, MapFilterKey, FDocument->Layout().MapFilter);
        if (!written) Prompts().ShowError(FromStd(WriteFailureText(main)));
    }
    ApplyMapResult(result);
}

void TMainForm::RunMapFileCommand(const TMapFileCommand& command, const QString& caption) {
    if (RefuseDuringMapWork()) return;
    const std::optional<TFileChoice> choice = AskMapFile(caption);
    if (!choice) return;
    const QString path = choice->Files.first();
    TPromptedBinChooser chooser(Prompts());
    // The dialog's folder, file and filter are remembered only when the map was taken.
    FinishMapCommand(command(State(), ToPath(path), chooser), path, choice->FilterIndex);
}

void TMainForm::LoadMapFile1Click() {
    const TMapAction action(*FDocument, "Load Map File");
    RunMapFileCommand(kelvane::LoadMapFile, QStringLiteral("Load Map File"));
}

void TMainForm::CompareMapFile1Click() {
    const TMapAction action(*FDocument, "Compare Map File");
    RunMapFileCommand(kelvane::CompareMapFile, QStringLiteral("Compare Map File"));
}

void TMainForm::SavePlotImage1Click() {
    TFileRequest request;
    request.Caption = QStringLiteral("Save Plot Image");
    request.Filter = QStringLiteral("PNG Images (*.png)|*.png");
    // The log folder may be read-only; the folder the last image went to is not a guess.
    request.InitialFolder =
        FromStd(FDocument->Layout().PlotImageFolder.empty() ? FDocument->Layout().DefaultFolder
                                                            : FDocument->Layout().PlotImageFolder);
    request.FileName = QStringLiteral("Plot.png");
    const TFileChoice choice = Prompts().SaveFile(request);
    if (!choice.Accepted()) return;
    QString path = choice.Files.first();
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path += QStringLiteral(".png");

    // Written beside the target and renamed over it, so a failed save leaves any older image whole.
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly) &&
                       CaptionedPlotImage(PlotImage(), windowTitle()).save(&file, "PNG") && file.commit();
    if (!saved) {
        Prompts().ShowError(
            QStringLiteral("Could not save the plot image \"%1\": %2").arg(path, file.errorString()));
        return;
    }
    FDocument->Layout().PlotImageFolder = QFileInfo(path).absolutePath().toStdString();
    if (!Store().Main().WriteString(SettingsSection, PlotImageFolderKey, FDocument->Layout().PlotImageFolder))
        Prompts().ShowError(FromStd(WriteFailureText(Store().Main())));
}

void TMainForm::CopyUpdatedMap1Click() {
    const std::optional<std::string> text = CopyUpdatedMap(State());
    if (text && QGuiApplication::clipboard()) QGuiApplication::clipboard()->setText(FromStd(*text));
}

void TMainForm::PasteMap1Click() {
    if (RefuseDuringMapWork()) return;
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return;
    const TMapAction action(*FDocument, "Paste Map");
    FDocument->Apply(PasteMap(State(), clipboard->text().toStdString()));
}

// ---- Refresh -----------------------------------------------------------

void TMainForm::DocumentChanged(TChangeSet changes) {
    if (changes.Has(TChange::Samples)) UpdateCaptionAndStatus();
    if (changes.Has(TChange::Axes)) UpdateSetupPanel();
    if (changes.Has(TChange::Samples)) FAnchorCell.reset();
    if (changes.Only(TChange::Selection)) {
        RedrawSelection();
        return;
    }
    if (changes.Only(TChange::Colors)) {
        RecolourPlot();
        return;
    }
    if (changes.Only(TChange::Overlay)) {
        // Only the printed values: the other layers stay as they are.
        UpdateToolbar();
        RedrawOverlay();
        return;
    }
    RefreshMainWindow();
}

void TMainForm::RefreshMainWindow() {
    UpdateToolbar();
    if (!FCreated || FClosing) return;
    DrawPlot();
}

QImage TMainForm::RenderMainImage(QSize size) {
    if (!FCreated) return {};  // resizes while the window builds itself
    TPlotLayerOptions options;
    options.Scale = FPlotArea->devicePixelRatioF();
    FGeometry = DrawPlotLayers(FLayers, State(), FDocument->ColorScale().Table, size, options);
    DrawCursorLayer(FLayers, *FGeometry, State(), FDocument->ColorScale().Table, FHover);
    FPlotArea->SetCursorLayer(&FLayers.Cursor, FLayers.PlotOrigin);
    return ComposePlot(FLayers, TCursorLayer::Left);
}

QImage TMainForm::PlotImage() const {
    if (FLayers.ImageSize.isEmpty()) return FPlotArea->Image();
    return ComposePlot(FLayers);
}

void TMainForm::DrawPlot() {
    FPlotArea->Redraw();
    ShowSelectionStatus();
}

// ---- Help --------------------------------------------------------------

void TMainForm::ShowManual() {
    const std::optional<std::filesystem::path> manual = FindManual(FProgram.ProgramRoot);
    if (!manual) {
        QStringList places;
        for (const std::filesystem::path& candidate : ManualCandidates(FProgram.ProgramRoot))
            places.append(FromPath(candidate));
        Prompts().ShowMessage(QStringLiteral("The manual was not found. It is looked for in:\n") +
                                  places.join(QLatin1Char('\n')),
                              QStringLiteral("Kelvane Manual"));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(FromPath(*manual))))
        Prompts().ShowError(QStringLiteral("No program to show ") + FromPath(*manual) +
                                QStringLiteral(" was found on this desktop."),
                            QStringLiteral("Kelvane Manual"));
}

void TMainForm::ShowAbout() {
    Prompts().ShowMessage(FromStd(FProgram.Title), QStringLiteral("About"));
}

// ---- Life cycle --------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (FShownOnce) return;
    FShownOnce = true;
    PlaceAfrScale();
    RefreshMainWindow();
    QCoreApplication::postEvent(this, new QEvent(StartupCheckEvent));
}

void TMainForm::customEvent(QEvent* event) {
    if (ProjectEvent(event)) return;
    if (event->type() == StartupCheckEvent) {
        StartupCheck();
        return;
    }
    if (event->type() == EngineSetupChangedEvent) {
        // New axes would move the samples under the ignition passes: they come after.
        if (MapWorkRunning()) {
            QTimer::singleShot(250, this, [this] {
                QCoreApplication::postEvent(this, new QEvent(EngineSetupChangedEvent));
            });
            return;
        }
        FDocument->Apply(SetUpForEngineSetup(State()));
        return;
    }
    QMainWindow::customEvent(event);
}

void TMainForm::StartupCheck() {
    InstallPendingUpdates(Store().CommonRoot(), FProgram.ProgramRoot, StartupCheckLogTag, FLog.Callback());
    if (!FStartupWindowWanted || !StartupWindowWanted(Store().Main())) return;
    FStartupForm =
        new TStartupForm(FromStd(FProgram.BaseName), FromStd(FProgram.VersionText), Store().Main(), this);
    FStartupForm->setAttribute(Qt::WA_DeleteOnClose);
    connect(FStartupForm, &QObject::destroyed, this, [this] { FStartupForm = nullptr; });
    // Shown once the panel has gone.
    const auto showError = [this](const QString& text) { Prompts().ShowError(text); };
    connect(FStartupForm, &TStartupForm::WriteFailed, this, showError, Qt::QueuedConnection);
    FStartupForm->ShowCentredOn(this);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FClosing) {
        event->accept();
        return;
    }
    // Passes still running end first; their work then meets the save question.
    if (FEZKAdjustForm) FEZKAdjustForm->StopPasses();
    // Adjusted maps the user chose to keep but that could not be written keep
    // the program open.
    if (!ClosePlot()) {
        event->ignore();
        return;
    }
    FClosing = true;
    TSettingsHooks hooks = TargetAfrMapHooks(State());
    hooks.SetupAxes = [this](const TEngineSetup&) { State().RecomputeAxes(); };

    TClosingValues values;
    const QRect frame = geometry();
    values.MainWindowSize = TWindowSize{frame.left(), frame.top(), frame.width(), frame.height()};
    values.RecentFiles = State().Settings.RecentFiles;
    values.Layout = FDocument->Layout();
    values.PlotDisplay = State().PlotDisplay;
    values.WriteSettings = FDocument->WritesSettings();

    TClosingActions actions;
    actions.ClosePlot = [this] { ClosePlot(); };
    actions.CloseToolWindows = [this] {
        CloseLogDataForm();
        CloseAdjustForms();
        CloseProjectForm();
        CloseMapWindows();
        CloseOptionsForm();
    };
    actions.StopFolderWorker = [this] { StopFolderWorker(); };
    actions.WriteTargetAfrMap = [this] {
        return WriteTargetAfrMapFile(Store().CommonRoot() / TargetAfrMapFileName, State().Fuel.TargetAfr);
    };
    actions.WriteColorTable = [this] { return SaveColorTable(Store().Main(), FDocument->ColorScale()); };
    const TWriteFailures failures =
        RunClosingSequence(Store(), State().Settings, values, actions, &FLog, hooks);
    if (!failures.Ok()) Prompts().ShowError(FromStd(failures.Text()));

    const std::filesystem::path updater = FProgram.ProgramRoot / UpdaterProgramName;
    if (std::filesystem::exists(updater) && ShouldStartUpdaterAtExit(Store().CommonRoot(), UpdatesPending()))
        QProcess::startDetached(FromPath(updater), {FromStd(std::string(UpdaterExitArgument))},
                                FromPath(Store().CommonRoot()));
    event->accept();
}

}  // namespace kelvane
