#include "app/plot/MainUnit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
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
#include <fstream>

#include "app/logdata/LogLoadProgress.h"
#include "app/maps/BinOptionsDialogs.h"
#include "app/plot/MainImage.h"
#include "app/plot/PlotLayers.h"
#include "app/shell/Prompts.h"
#include "app/shell/StartupWindow.h"
#include "app/shell/VXConfigurationUnit.h"
#include "core/adjust/TargetAfrMap.h"
#include "core/adjust/UpdatedMaps.h"
#include "core/display/ColorTableFile.h"
#include "core/logdata/LogCaption.h"
#include "core/logdata/LogFileReader.h"
#include "core/logdata/PlotMafPass.h"
#include "core/shell/MapLoading.h"
#include "core/plot/MeanAfrGrid.h"
#include "core/plot/PlotGeometry.h"
#include "core/shell/SettingsMainFile.h"
#include "core/ground/SettingsValues.h"
#include "core/shell/StartupClosing.h"
#include "core/shell/StartupLogOptions.h"
#include "core/shell/StartupUpdates.h"
#include "core/shell/StartupWindowRules.h"
#include "core/shell/TargetAfrMapHooks.h"

namespace kelvane {

namespace {

// Posted once the window is shown: the start-up check runs on the first idle moment.
const QEvent::Type StartupCheckEvent = static_cast<QEvent::Type>(QEvent::User + 2);
const QEvent::Type EngineSetupChangedEvent =
    static_cast<QEvent::Type>(QEvent::User + EngineSetupChangedMessage);

constexpr const char* LogFileFilter = "VX Log Files (*.txt)|*.txt|All Files (*.*)|*.*";

std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}
QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}
QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

std::vector<std::string> ArgumentsWithoutProgram() {
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (int i = 1; i < all.size(); ++i) arguments.push_back(all.at(i).toStdString());
    return arguments;
}

// The first line of a file, for the Log File Options preselection.
std::string FirstLine(const QString& path) {
    std::ifstream file(ToPath(path), std::ios::binary);
    std::string line;
    std::getline(file, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
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
      FStartupWindowWanted(options.StartupWindow) {
    setObjectName(QStringLiteral("MainForm"));
    if (options.Prompts) {
        FPrompts = options.Prompts;
    } else {
        FOwnPrompts = std::make_unique<TQtPrompts>(this);
        FPrompts = FOwnPrompts.get();
    }

    // Logging is on only when the user created the file beforehand.
    if (FLog.Open(ToPath(QDir(QDir::tempPath()).filePath(FromStd(std::string(DebugLogFileName))))))
        FLog.LogLine("Kelvane starting, " + FProgram.ProgramFile.string());

    const QString commonRoot = options.CommonRoot.isEmpty()
                                   ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                   : options.CommonRoot;
    const TPlatformFolders platform{ToPath(commonRoot), ToPath(commonRoot), {}};
    const TFolderSetup folders = SetUpFolders(FProgram, platform, FLog.Callback());
    FStore = std::make_unique<TSettingsStore>(folders.CommonRoot, FProgram.BaseName);
    WriteFolderSection(FStore->Main(), folders, platform, FLog.Callback());

    FPlotArea = new TMainImage(this);
    FPlotArea->SetRender([this](QSize size) { return RenderMainImage(size); });
    connect(FPlotArea, &TMainImage::MouseDown, this, &TMainForm::MainImageMouseDown);
    connect(FPlotArea, &TMainImage::MouseMove, this, &TMainForm::MainImageMouseMove);
    connect(FPlotArea, &TMainImage::MouseUp, this, &TMainForm::MainImageMouseUp);
    setCentralWidget(FPlotArea);

    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    LoadStartSettings();

    PlaceOnScreen();
    UpdateCaption(CaptionText(FState.Logs.OpenFiles, FState.Settings.SessionName));
    FStatusPanels[0]->setText(FromStd(StatusText(0, 0)));

    FTimer = new QTimer(this);
    connect(FTimer, &QTimer::timeout, this, [this] {
        FLog.FlushLog();
        if (FStartupForm) FStartupForm->Tick(std::chrono::steady_clock::now());
    });
    FTimer->start(1000);
    FCreated = true;
}

TMainForm::~TMainForm() {
    FLog.LogLine(".");
    FLog.FlushLog();
}

void TMainForm::PlaceOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const TWindowSize placement =
        MainWindowPlacement(ReadWindowSizeText(FStore->Main(), MainWindowSection), 1000, 700,
                            TWindowSize{area.left(), area.top(), area.width(), area.height()});
    setGeometry(placement.Left, placement.Top, placement.Width, placement.Height);
}

void TMainForm::LoadStartSettings() {
    TSettingsHooks hooks = TargetAfrMapHooks(FState);
    hooks.SetupAxes = [this](const TEngineSetup&) { FState.RecomputeAxes(); };
    LoadSettings(*FStore, FState.Settings, TSettingsLoad::Startup, hooks);
    FState.Settings.StoredFilters = FState.Settings.ActiveFilters;
    SetupAxes();
    FState.Display.PlotAfr = true;
    FState.Display.PlotO2Adj = true;
    FState.Fuel.ResetAdjustments(TFuelLimits{});
    LoadStartupValues(FStore->Main(), FState.Settings);
    LoadStartupTargetAfrMap(FStore->CommonRoot(), FState.Fuel);
    FColorScale = LoadColorTable(FStore->Main());
    WriteStartStamp(FStore->Main(), FProgram.VersionText, CurrentDateTimeText());
    ReadLayoutSettings(FStore->Main(), FLayout);
    FPlotDisplay.ShowAfrScale = FLayout.AfrScaleVisible;
    ReadWindowSettings(FStore->Main(), FState.Settings.KnockLimits[0], FWindows);
    FState.Settings.RecentFiles = LoadRecentFiles(FStore->Main());
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
    AddItem(menu, QStringLiteral("Save Log &Data As"), QStringLiteral("SaveLogData1"), TItemState::Disabled);

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
    AddItem(menu, QStringLiteral("&Open Project  (Ctrl+O)"), QStringLiteral("OpenProject1"),
            TItemState::Disabled);
    menu->addSeparator();
    FExit1 = AddItem(menu, QStringLiteral("E&xit"), QStringLiteral("Exit1"));
    connect(FExit1, &QAction::triggered, this, &QWidget::close);
}

void TMainForm::CreateEditMenu() {
    FEditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    FEditMenu->setObjectName(QStringLiteral("Edit1"));
    AddItem(FEditMenu, QStringLiteral("&Copy  Log Data (Ctrl+C)"), QStringLiteral("CopyLogData1"),
            TItemState::Disabled);
    FEditMenu->addSeparator();
    FCopyUpdatedMap1 =
        AddItem(FEditMenu, QStringLiteral("Copy Updated LH &Map"), QStringLiteral("CopyUpdatedMap1"));
    connect(FCopyUpdatedMap1, &QAction::triggered, this, &TMainForm::CopyUpdatedMap1Click);
    FPasteMap1 =
        AddItem(FEditMenu, QStringLiteral("Paste Map"), QStringLiteral("PasteMap1"), TItemState::Disabled);
    connect(FPasteMap1, &QAction::triggered, this, &TMainForm::PasteMap1Click);
    FEditMenu->addSeparator();
    AddItem(FEditMenu, QStringLiteral("&Adjust Fuel Map"), QStringLiteral("UpdateFuelTrim1"),
            TItemState::Disabled);
    AddItem(FEditMenu, QStringLiteral("Adjust &Ignition Map"), QStringLiteral("UpdateIgnitionTiming1"),
            TItemState::Disabled);
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
    connect(FShowReferenceMap1, &QAction::triggered, this,
            [this] { ToggleOverlay(TMapOverlay::Reference, TOverlayRedraw::WholeWindow); });
    FShowAdjustments1 = checkItem("Show &Adjustments", "ShowAdjustments1");
    connect(FShowAdjustments1, &QAction::triggered, this,
            [this] { ToggleOverlay(TMapOverlay::Adjustments, TOverlayRedraw::WholeWindow); });
    FShowUpdatedMap1 = checkItem("Show &Updated Map", "ShowUpdatedMap1");
    connect(FShowUpdatedMap1, &QAction::triggered, this,
            [this] { ToggleOverlay(TMapOverlay::Updated, TOverlayRedraw::WholeWindow); });
    menu->addSeparator();
    FUseAdjustments1 =
        AddItem(menu, QStringLiteral("Include Adjustments"), QStringLiteral("UseAdjustments1"));
    FUseAdjustments1->setCheckable(true);
    connect(FUseAdjustments1, &QAction::triggered, this, [this] {
        FState.FiltersDirty = true;  // statistics and knock measures change with it
        ToggleViewOption(FUseAdjustments1, FState.Display.IncludeAdjustments);
    });
    FShowKnocks1 = AddItem(menu, QStringLiteral("Show &Knocks on fuel plot"), QStringLiteral("ShowKnocks1"));
    FShowKnocks1->setCheckable(true);
    connect(FShowKnocks1, &QAction::triggered, this,
            [this] { ToggleViewOption(FShowKnocks1, FState.Display.ShowKnocks); });
    FAFRScale1 = AddItem(menu, QStringLiteral("Show AFR &Scale"), QStringLiteral("AFRScale1"));
    FAFRScale1->setCheckable(true);
    connect(FAFRScale1, &QAction::triggered, this,
            [this] { ToggleViewOption(FAFRScale1, FPlotDisplay.ShowAfrScale); });
    menu->addSeparator();
    // The data log and data graph panels are not part of the window yet.
    FDataLog1 = checkItem("Data &Log", "DataLog1", TItemState::Disabled);
    FDataGraph1 = checkItem("Data &Graph", "DataGraph1", TItemState::Disabled);
    connect(menu, &QMenu::aboutToShow, this, &TMainForm::ViewMenuOpening);
    ViewMenuOpening();
}

void TMainForm::ViewMenuOpening() {
    const bool lh22 = FState.Setup().LHVersion == TLHVersion::LH22;
    const bool ezk = FState.Display.View == TPlotView::EZK;
    FUseAdjustments1->setChecked(FState.Display.IncludeAdjustments);
    FShowKnocks1->setChecked(FState.Display.ShowKnocks && !lh22);
    FShowKnocks1->setEnabled(!lh22);
    FEZKFormat1->setChecked(ezk && !lh22);
    FEZKFormat1->setEnabled(!lh22);
    FLHFormat1->setChecked(!ezk);
    FGridFormat1->setChecked(!ezk && FPlotDisplay.GridFormat);
    FCellFormat1->setChecked(!ezk && !FPlotDisplay.GridFormat);
    FShowReferenceMap1->setChecked(FPlotDisplay.Overlay == TMapOverlay::Reference);
    FShowAdjustments1->setChecked(FPlotDisplay.Overlay == TMapOverlay::Adjustments);
    FShowUpdatedMap1->setChecked(FPlotDisplay.Overlay == TMapOverlay::Updated);
    FAFRScale1->setChecked(FPlotDisplay.ShowAfrScale);
    FDataLog1->setChecked(false);
    FDataGraph1->setChecked(false);
}

// The menu's own check mark has already toggled; the flag takes it.
void TMainForm::ToggleViewOption(QAction* item, bool& flag) {
    flag = item->isChecked();
    RefreshMainWindow();
}

void TMainForm::CreateWindowMenu() {
    FWindowMenu = menuBar()->addMenu(QStringLiteral("&Window"));
    FWindowMenu->setObjectName(QStringLiteral("Window1"));
    AddItem(FWindowMenu, QStringLiteral("&Log Data"), QStringLiteral("LogData1"), TItemState::Disabled);
    FMapsWindow1 = AddItem(FWindowMenu, QStringLiteral("&Maps Window"), QStringLiteral("MapsWindow1"),
                           TItemState::Disabled);
    AddItem(FWindowMenu, QStringLiteral("Map &3D View"), QStringLiteral("Map3DView1"), TItemState::Disabled);
    AddItem(FWindowMenu, QStringLiteral("&Options"), QStringLiteral("Options1"), TItemState::Disabled);
    FVXStatus1 =
        AddItem(FWindowMenu, QStringLiteral("VX Status"), QStringLiteral("VXStatus1"), TItemState::Disabled);
    connect(FWindowMenu, &QMenu::aboutToShow, this, &TMainForm::WindowMenuOpening);
    WindowMenuOpening();
}

void TMainForm::CreateHelpMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Help"));
    menu->setObjectName(QStringLiteral("Help1"));
    connect(AddItem(menu, QStringLiteral("Kelvane &Manual"), QStringLiteral("Manual1")), &QAction::triggered,
            this, &TMainForm::ShowManual);
    AddItem(menu, QStringLiteral("Check for &Updates"), QStringLiteral("CheckForUpdates1"),
            TItemState::Disabled);
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
}

void TMainForm::EditMenuOpening() {
    const TMenuItemState copy = CopyMapItem(FState);
    FCopyUpdatedMap1->setText(FromStd(copy.Caption));
    FCopyUpdatedMap1->setEnabled(copy.Enabled);
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const TMenuItemState paste = PasteMapItem(clipboard ? clipboard->text().toStdString() : std::string());
    FPasteMap1->setText(FromStd(paste.Caption));
    FPasteMap1->setEnabled(paste.Enabled);
}

void TMainForm::RecentFilesOpening() {
    const auto& recent = FState.Settings.RecentFiles;
    for (std::size_t i = 0; i < FRecentItems.size(); ++i) {
        const bool shown = i < recent.size();
        if (shown) FRecentItems[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(FromPath(recent[i])));
        FRecentItems[i]->setVisible(shown);
    }
}

void TMainForm::WindowMenuOpening() {
    FVXStatus1->setVisible(FProgram.HasArgument("Text"));
    FMapsWindow1->setText(FState.Display.View == TPlotView::EZK ? QStringLiteral("EZK Igntion &Map")
                                                                : QStringLiteral("LH Fuel &Map"));
}

// ---- Logs --------------------------------------------------------------

void TMainForm::UpdateCaption(const std::string& caption) {
    // The caption ends in a blank when nothing is open; the title bar shows it without.
    setWindowTitle(FromStd(caption).trimmed());
}

void TMainForm::ClearMapsAndConfiguration() {
    TMapGrid target = FState.Fuel.TargetAfr;
    const bool targetEdited = FState.Fuel.TargetEdited;
    FState.Fuel = TFuelMapSet{};
    FState.Fuel.TargetAfr = target;  // the target AFR map is not one of the plot's maps
    FState.Fuel.TargetEdited = targetEdited;
    FState.Ignition = TIgnitionMapSet{};
    FState.LHImage = TCurrentLHImage{};
    FState.EZKImage = TCurrentEZKImage{};
    FState.Setup().LHVersion = TLHVersion::Unset;
    FState.Setup().LHConfig = TLHConfig::Unset;
    FState.Setup().EZKVersion = TEZKVersion::Unset;
    SetupAxes();
}

bool TMainForm::ClosePlot() {
    // The question and the base maps need the session folder, so they come
    // before the session name is cleared.
    if (!SavePromptAndBaseMaps()) return false;
    FState.Settings.SessionName.clear();
    ClearLogState(FState.Logs);
    FRanges = SettingsPlotRanges(FState);
    FState.Settings.ActiveFilters = FState.Settings.StoredFilters;
    FState.FiltersDirty = true;
    UpdateCaption(CaptionText(FState.Logs.OpenFiles, FState.Settings.SessionName));
    FStatusPanels[0]->setText(FromStd(StatusText(0, 0)));
    RefreshMainWindow();
    return true;
}

bool TMainForm::LoadLogFile(const QString& path) {
    return ReadLogFile(path).Loaded;
}

TLoadLogResult TMainForm::ReadLogFile(const QString& path) {
    TLoadLogOptions options;
    options.AfrSmoothing = FState.Settings.AfrSmoothing;
    options.LHConfig = FState.Setup().LHConfig;
    options.SessionName = FState.Settings.SessionName;
    const TLoadLogResult result = LoadLogFileWithProgress(this, FState.Logs, ToPath(path), options);
    if (result.FiltersDirty) FState.FiltersDirty = true;
    UpdateCaption(result.Caption);
    FStatusPanels[0]->setText(FromStd(result.Status));
    if (result.HeaderRejected) FPrompts->ShowError(FromStd(result.Message));
    return result;
}

void TMainForm::AddRecentFile(const std::filesystem::path& path) {
    auto& recent = FState.Settings.RecentFiles;
    std::erase(recent, path);
    recent.insert(recent.begin(), path);
}

bool TMainForm::LoadFilesInOrder(QStringList files, TRecentFiles recent) {
    files.sort();
    bool any = false;
    for (const QString& file : files) {
        const QString full = QFileInfo(file).absoluteFilePath();
        const TLoadLogResult result = ReadLogFile(full);
        if (result.Cancelled) break;  // the user stopped the whole open, not one file
        if (!result.Loaded) continue;
        any = true;
        if (recent == TRecentFiles::Add) AddRecentFile(ToPath(full));
    }
    return any;
}

void TMainForm::ReapplySettings(const std::optional<TEngineSetup>& chosen) {
    TSettingsHooks hooks;
    // A target AFR map edited in this run and not yet saved is kept rather
    // than read over from its file.
    if (!FState.Fuel.TargetEdited) hooks = TargetAfrMapHooks(FState);
    LoadSettings(*FStore, FState.Settings, TSettingsLoad::Startup, hooks);
    if (chosen) FState.Setup() = *chosen;
    // A recent file is read before the stored setup is known, so its
    // PlotMaf may have been made for another LH configuration.
    PlotMafPass(FState.Logs.Data, FState.Setup().LHConfig);
    SetupAxes();
    FState.FiltersDirty = true;
}

void TMainForm::SetupAxes() {
    FState.RecomputeAxes();
    FRanges = SettingsPlotRanges(FState);
}

void TMainForm::FitPlotToLogs() {
    AutoScalePlot(FState, FRanges);
}

void TMainForm::OpenFile1Click(TLogOpen open) {
    if (open == TLogOpen::NewPlot) {
        if (!ClosePlot()) return;
        ClearMapsAndConfiguration();
    }
    TFileRequest request;
    request.Filter = QString::fromUtf8(LogFileFilter);
    request.InitialFolder = ExistingFolderOrParent(FromStd(FLayout.DefaultFolder));
    const TFileChoice choice = FPrompts->OpenFiles(request, TFileSelection::Multiple);
    if (!choice.Accepted()) return;

    FLayout.DefaultFolder = QFileInfo(choice.Files.first()).absolutePath().toStdString();
    FStore->Main().WriteString(SettingsSection, "Default Folder", FLayout.DefaultFolder);

    ReadWithLogFileOptions(choice.Files);
}

void TMainForm::OpenLogFilesAsNewPlot(QStringList files) {
    if (files.isEmpty()) return;
    if (!ClosePlot()) return;
    ClearMapsAndConfiguration();
    ReadWithLogFileOptions(std::move(files));
}

void TMainForm::ReadWithLogFileOptions(QStringList files) {
    const TEngineSetup preselection = LogFileOptionsPreselection(FirstLine(files.first()), FState.Setup());
    const std::optional<TEngineSetup> chosen = AskLogFileOptions(this, preselection);
    if (!chosen) return;
    FState.Setup() = *chosen;
    LoadFilesInOrder(std::move(files), TRecentFiles::Add);
    ReapplySettings(chosen);
    FitPlotToLogs();
    RefreshMainWindow();
}

void TMainForm::NewPlot1Click() {
    if (!ClosePlot()) return;
    ClearMapsAndConfiguration();
    RefreshMainWindow();
}

void TMainForm::RecentFileClick(int tag) {
    const auto& recent = FState.Settings.RecentFiles;
    if (tag < 1 || tag > static_cast<int>(recent.size())) return;
    const std::filesystem::path path = recent[static_cast<std::size_t>(tag - 1)];
    if (!ClosePlot()) return;
    ClearMapsAndConfiguration();
    if (!LoadLogFile(FromPath(path))) return;
    ReapplySettings();
    FitPlotToLogs();
    RefreshMainWindow();
}

// ---- Maps --------------------------------------------------------------

std::optional<TFileChoice> TMainForm::AskMapFile() {
    TFileRequest request;
    request.Filter = FromStd(std::string(MapFileFilter));
    request.FilterIndex = FLayout.MapFilter;
    request.InitialFolder = FromStd(FLayout.MapFolder);
    request.FileName = FromStd(FLayout.MapFile);
    const TFileChoice choice = FPrompts->OpenFiles(request, TFileSelection::Single);
    if (!choice.Accepted()) return std::nullopt;
    return choice;
}

void TMainForm::FinishMapCommand(const TMapLoadResult& result, const QString& path, int filterIndex) {
    if (!result.ErrorText.empty()) FPrompts->ShowError(FromStd(result.ErrorText));
    // Loading may have set up the axes for another engine setup.
    FRanges = SettingsPlotRanges(FState);
    if (result.ShowReferenceValues) FPlotDisplay.Overlay = TMapOverlay::Reference;
    if (result.Ok) {
        const TMapFileSettings values = MapFileSettingsFor(ToPath(path), filterIndex);
        FLayout.MapFolder = values.MapFolder.string();
        FLayout.MapFile = values.MapFile.string();
        FLayout.MapFilter = values.MapFilter;
        TIniFile2& main = FStore->Main();
        main.WriteString(SettingsSection, MapFolderKey, FLayout.MapFolder);
        main.WriteString(SettingsSection, MapFileKey, FLayout.MapFile);
        main.WriteInteger(SettingsSection, MapFilterKey, FLayout.MapFilter);
    }
    RefreshMainWindow();
}

void TMainForm::RunMapFileCommand(const TMapFileCommand& command) {
    const std::optional<TFileChoice> choice = AskMapFile();
    if (!choice) return;
    const QString path = choice->Files.first();
    TBinOptionsChooser chooser(this);
    // The dialog's folder, file and filter are remembered only when the map was taken.
    FinishMapCommand(command(FState, ToPath(path), chooser), path, choice->FilterIndex);
}

void TMainForm::LoadMapFile1Click() {
    RunMapFileCommand(kelvane::LoadMapFile);
}

void TMainForm::CompareMapFile1Click() {
    RunMapFileCommand(kelvane::CompareMapFile);
}

void TMainForm::SavePlotImage1Click() {
    TFileRequest request;
    request.Caption = QStringLiteral("Save Plot Image");
    request.Filter = QStringLiteral("PNG Images (*.png)|*.png");
    request.InitialFolder = FromStd(FLayout.DefaultFolder);
    request.FileName = QStringLiteral("Plot.png");
    const TFileChoice choice = FPrompts->SaveFile(request);
    if (!choice.Accepted()) return;
    QString path = choice.Files.first();
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path += QStringLiteral(".png");

    // Written beside the target and renamed over it, so a failed save leaves any older image whole.
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly) && PlotImage().save(&file, "PNG") && file.commit();
    if (!saved)
        FPrompts->ShowError(
            QStringLiteral("Could not save the plot image \"%1\": %2").arg(path, file.errorString()));
}

void TMainForm::CopyUpdatedMap1Click() {
    const std::optional<std::string> text = CopyUpdatedMap(FState);
    if (text && QGuiApplication::clipboard()) QGuiApplication::clipboard()->setText(FromStd(*text));
}

void TMainForm::PasteMap1Click() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return;
    if (PasteMap(FState, clipboard->text().toStdString())) RefreshMainWindow();
}

void TMainForm::ReportMapSave(const TMapSaveResult& result) {
    for (const std::string& error : result.Errors) FPrompts->ShowError(FromStd(error));
}

void TMainForm::SaveMaps1Click() {
    std::filesystem::path folder = SessionFolder(FState.Settings);
    const bool anyEdited = FState.Fuel.AdjustmentsEdited || FState.Ignition.AdjustmentsEdited;
    if (folder.empty() && anyEdited) {
        // No session to save into: the user picks the folder rather than the
        // files landing wherever the working folder happens to be.
        const std::optional<QString> chosen =
            FPrompts->BrowseFolder(QStringLiteral("Save Maps to Folder"), FromStd(FLayout.DefaultFolder));
        if (!chosen || chosen->isEmpty()) {
            RefreshMainWindow();
            return;
        }
        folder = ToPath(*chosen);
    }
    if (anyEdited) ReportMapSave(SaveUpdatedMaps(FState, folder));
    RefreshMainWindow();
}

bool TMainForm::SavePromptAndBaseMaps() {
    const std::filesystem::path folder = SessionFolder(FState.Settings);
    if (folder.empty()) return true;
    const std::string question = SavePromptText(FState);
    if (!question.empty()) {
        if (FPrompts->AskYesNo(FromStd(question))) {
            const TMapSaveResult saved = SaveUpdatedMaps(FState, folder);
            ReportMapSave(saved);
            // The user wanted these maps kept: the plot stays open so they can be saved elsewhere.
            if (!saved.Ok()) return false;
        } else {
            DiscardAdjustments(FState);
        }
    }
    ReportMapSave(SaveBaseMaps(FState, folder));
    return true;
}

void TMainForm::ResetFuelMapAdjustment1Click() {
    ResetFuelAdjustment(FState);
    FState.FiltersDirty = true;
    RefreshMainWindow();
}

void TMainForm::ResetIgntionmadadjustment1Click() {
    if (ResetIgnitionAdjustment(FState)) FState.FiltersDirty = true;
    RefreshMainWindow();
}

// ---- Refresh -----------------------------------------------------------

void TMainForm::RefreshMainWindow() {
    UpdateToolbar();
    if (!FCreated || FClosing) return;
    if (FState.FiltersDirty)
        FState.MeanAfrGrid = ApplyFiltersAndComputeMeanAfrGrid(
            FState.Logs.Data, FState.Settings.ActiveFilters, FState.FiltersDirty, FState.PlotContext());
    DrawPlot();
}

QImage TMainForm::RenderMainImage(QSize size) {
    if (!FCreated) return {};  // resizes while the window builds itself
    TPlotLayerOptions options;
    options.Ranges = FRanges;
    options.Display = FPlotDisplay;
    FGeometry = DrawPlotLayers(FLayers, FState, FColorScale.Table, size, options);
    return ComposePlot(FLayers);
}

const QImage& TMainForm::PlotImage() const {
    return FPlotArea->Image();
}

void TMainForm::DrawPlot() {
    FPlotArea->Redraw();
}

// ---- Help --------------------------------------------------------------

void TMainForm::ShowManual() {
    for (const char* name : {"KVManual.pdf", "KelvaneManual.pdf", "Kelvane Manual.pdf"}) {
        const QString path = FromPath(FProgram.ProgramRoot / name);
        if (QFileInfo::exists(path)) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
            return;
        }
    }
}

void TMainForm::ShowAbout() {
    FPrompts->ShowMessage(FromStd(FProgram.Title), QStringLiteral("About"));
}

// ---- Life cycle --------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (FShownOnce) return;
    FShownOnce = true;
    PlaceAfrScaleFromLayout();
    RefreshMainWindow();
    QCoreApplication::postEvent(this, new QEvent(StartupCheckEvent));
}

void TMainForm::customEvent(QEvent* event) {
    if (event->type() == StartupCheckEvent) {
        StartupCheck();
        return;
    }
    if (event->type() == EngineSetupChangedEvent) {
        SetupAxes();
        RefreshMainWindow();
        return;
    }
    QMainWindow::customEvent(event);
}

void TMainForm::StartupCheck() {
    InstallPendingUpdates(FStore->CommonRoot(), FProgram.ProgramRoot, StartupCheckLogTag, FLog.Callback());
    if (!FStartupWindowWanted || !StartupWindowWanted(FStore->Main())) return;
    FStartupForm =
        new TStartupForm(FromStd(FProgram.BaseName), FromStd(FProgram.VersionText), FStore->Main(), this);
    FStartupForm->setAttribute(Qt::WA_DeleteOnClose);
    connect(FStartupForm, &QObject::destroyed, this, [this] { FStartupForm = nullptr; });
    FStartupForm->ShowCentredOn(this);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FClosing) {
        event->accept();
        return;
    }
    // Adjusted maps the user chose to keep but that could not be written keep
    // the program open.
    if (!ClosePlot()) {
        event->ignore();
        return;
    }
    FClosing = true;
    TSettingsHooks hooks = TargetAfrMapHooks(FState);
    hooks.SetupAxes = [this](const TEngineSetup&) { FState.RecomputeAxes(); };

    TClosingValues values;
    const QRect frame = geometry();
    values.MainWindowSize = TWindowSize{frame.left(), frame.top(), frame.width(), frame.height()};
    values.RecentFiles = FState.Settings.RecentFiles;
    FLayout.AfrScaleVisible = FPlotDisplay.ShowAfrScale;
    FLayout.AfrScaleX = FPlotDisplay.AfrScaleX;
    FLayout.AfrScaleY = FPlotDisplay.AfrScaleY;
    values.Layout = FLayout;
    values.AfrScaleX = FLayout.AfrScaleX;
    values.AfrScaleY = FLayout.AfrScaleY;

    TClosingActions actions;
    actions.ClosePlot = [this] { ClosePlot(); };
    actions.WriteTargetAfrMap = [this] {
        return WriteTargetAfrMapFile(FStore->CommonRoot() / TargetAfrMapFileName, FState.Fuel.TargetAfr);
    };
    actions.WriteColorTable = [this] { return SaveColorTable(FStore->Main(), FColorScale); };
    RunClosingSequence(*FStore, FState.Settings, values, actions, &FLog, hooks);

    const std::filesystem::path updater = FProgram.ProgramRoot / UpdaterProgramName;
    if (std::filesystem::exists(updater) && ShouldStartUpdaterAtExit(FStore->CommonRoot(), 0))
        QProcess::startDetached(FromPath(updater), {FromStd(std::string(UpdaterExitArgument))},
                                FromPath(FStore->CommonRoot()));
    event->accept();
}

}  // namespace kelvane
