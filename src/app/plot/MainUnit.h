#pragma once

#include <QImage>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/document/KelvaneDocument.h"
#include "app/document/Prompts.h"
#include "app/plot/PlotLayers.h"
#include "app/plot/SelectionLayers.h"
#include "core/display/ColorTable.h"
#include "core/ground/DebugLog.h"
#include "core/ground/ProgramFolders.h"
#include "core/logdata/LogFileReader.h"
#include "core/plot/CellStatistics.h"
#include "core/plot/NearestSample.h"
#include "core/plot/PlotDisplay.h"
#include "core/plot/RangeDrags.h"
#include "core/plot/SampleClicks.h"
#include "core/projects/FolderThreadUnit.h"
#include "core/projects/PendingSelection.h"
#include "core/shell/LogOpening.h"
#include "core/shell/MapLoading.h"
#include "core/shell/SettingsWindows.h"
#include "core/state/KelvaneState.h"
#include "core/state/MapHistory.h"
#include "core/state/StateChange.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;

namespace kelvane {

class TPrompts;
class TMainImage;
class TStartupForm;
class TDataGraph;
class TLogGrid;
class TLogDataForm;
class TLHAdjustForm;
class TEZKAdjustForm;
struct TLHAdjustValues;
struct TEZKAdjustValues;
class TProjectForm;
class TFuelMapForm;
class TEZKMapForm;
class TMapViewerForm;
class TUpdaterForm;
class TVXStatusForm;
class TOptionsForm;
class TColorForm;

// How the main window is made; the defaults are the real program's.
struct TMainFormOptions {
    // Scripted prompts for tests; nothing means the real dialogs.
    TPrompts* Prompts = nullptr;
    // The program's values; nothing means this program with its own arguments.
    std::optional<TProgramValues> Program;
    // The data folder; empty means the system's per-machine data folder.
    QString CommonRoot;
    // The start-up window after showing (off for screenshots and tests).
    bool StartupWindow = true;
    // Another copy runs on the same settings and could not take over: this
    // one writes no settings at exit and says so in its status bar.
    bool SecondCopy = false;
    // ---- Projects (MainProjects.cpp) ----
    // The session folder worker's waits; tests shorten them.
    TFolderThreadOptions FolderWorker;
    // ---- end of projects ----
};

// Posted by the project window after it changed the engine setup: the axes
// are set up again and the window refreshed.
inline constexpr int EngineSetupChangedMessage = 4;

// The LH plot's lines: around the map cells, or through the breakpoints.
enum class TPlotFormat { Cells, Grid };

// Logs opened from the File menu start a new plot or join the current one.
enum class TLogOpen { NewPlot, AddToPlot };

// Logs are opened after asking the Log File Options window, or with its
// preselection taken as chosen (for a screenshot from the command line).
enum class TLogOptionsChoice { Ask, Preselected };

// ---- Data panels (MainPanels.cpp) ----
// Where a click on a sample came from: the log grids share their rules.
enum class TSampleClickSource { LogGrid, LogWindow, DataGraph };
// ---- end of data panels ----

// The main window: menus, plot area and status bar over the program's state.
class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMainForm(QWidget* parent = nullptr);
    explicit TMainForm(TMainFormOptions options, QWidget* parent = nullptr);
    ~TMainForm() override;

    TKelvaneDocument& Document() { return *FDocument; }
    TKelvaneState& State() { return FDocument->State(); }
    const TKelvaneState& State() const { return FDocument->State(); }
    // The composed plot as last drawn, with its cursor layer.
    QImage PlotImage() const;
    TSettingsStore& Store() { return FDocument->Store(); }
    const TLayoutSettings& Layout() const { return FDocument->Layout(); }
    const TProgramValues& Program() const { return FProgram; }
    QLabel* StatusPanel(int index) const { return FStatusPanels.at(static_cast<std::size_t>(index)); }
    // The engine setup in force, always in view at the right of the status bar.
    QLabel* SetupPanel() const { return FSetupPanel; }
    QMenu* CloseLogFile1() const { return FCloseLogFile1; }
    // Status panel 2 says why the chosen overlay prints nothing (a map not loaded).
    void ShowOverlayStatus();

    // ---- Pictures (MainScreenshots.cpp) ----
    // The named window of "--window", set up to show its work, grabbed.
    QImage ScreenshotOf(const QString& window);

    QAction* Exit1() const { return FExit1; }
    QAction* OpenNewPlot1() const { return FOpenNewPlot1; }
    QAction* OpenAddToPlot1() const { return FOpenAddToPlot1; }
    QAction* NewPlot1() const { return FNewPlot1; }
    QMenu* RecentFiles1() const { return FRecentFiles1; }
    QAction* RecentFileItem(int tag) const { return FRecentItems.at(static_cast<std::size_t>(tag - 1)); }
    QAction* LoadMapFile1() const { return FLoadMapFile1; }
    QAction* CompareMapFile1() const { return FCompareMapFile1; }
    QMenu* EditMenu() const { return FEditMenu; }
    QAction* CopyUpdatedMap1() const { return FCopyUpdatedMap1; }
    QAction* PasteMap1() const { return FPasteMap1; }
    QMenu* WindowMenu() const { return FWindowMenu; }
    QAction* VXStatus1() const { return FVXStatus1; }
    QAction* MapsWindow1() const { return FMapsWindow1; }
    QAction* SavePlotImage1() const { return FSavePlotImage1; }
    QAction* SaveMaps1() const { return FSaveMaps1; }
    QAction* ResetFuelMapAdjustment1() const { return FResetFuelMapAdjustment1; }
    QAction* ResetIgntionmadadjustment1() const { return FResetIgntionmadadjustment1; }
    QMenu* ViewMenu() const { return FViewMenu; }
    QAction* UseAdjustments1() const { return FUseAdjustments1; }
    QAction* ShowKnocks1() const { return FShowKnocks1; }
    QAction* AFRScale1() const { return FAFRScale1; }
    QAction* LHFormat1() const { return FLHFormat1; }
    QAction* EZKFormat1() const { return FEZKFormat1; }
    QAction* GridFormat1() const { return FGridFormat1; }
    QAction* CellFormat1() const { return FCellFormat1; }
    QAction* ShowReferenceMap1() const { return FShowReferenceMap1; }
    QAction* ShowAdjustments1() const { return FShowAdjustments1; }
    QAction* ShowUpdatedMap1() const { return FShowUpdatedMap1; }

    QToolBar* ToolBar() const { return FToolBar; }
    QAction* LHButton() const { return FLHButton; }
    QAction* EZKButton() const { return FEZKButton; }
    QAction* ShowRefButton() const { return FShowRefButton; }
    QAction* ShowAdjButton() const { return FShowAdjButton; }
    QAction* ShowUpdButton() const { return FShowUpdButton; }
    QToolButton* OverlayDropDown() const { return FOverlayDropDown; }
    QMenu* OverlayMenu() const { return FOverlayMenu; }

    const TPlotDisplay& PlotDisplay() const { return State().PlotDisplay; }
    const TColorTable& ColorTable() const { return FDocument->ColorTable(); }
    TMainImage* MainImage() const { return FPlotArea; }
    const TPlotRanges& PlotRanges() const { return State().PlotRanges; }
    // The geometry of the plot as last drawn; nothing before the first drawing.
    const std::optional<TPlotGeometry>& PlotGeometry() const { return FGeometry; }
    const TPlotLayers& Layers() const { return FLayers; }

    // Menu commands.
    void OpenFile1Click(TLogOpen open);
    // Takes one open log (by its full name) out of the plot.
    void CloseLogFile1Click(const QString& fileName);
    // Files dropped on the window or handed over: logs join the plot through
    // the "Log File Options" window, map text files and bin images load as
    // with "Load Map File".
    void OpenDroppedFiles(const QStringList& files);
    void NewPlot1Click();
    void RecentFileClick(int tag);
    void LoadMapFile1Click();
    void SavePlotImage1Click();
    void CompareMapFile1Click();
    void CopyUpdatedMap1Click();
    void PasteMap1Click();
    // Writes the adjusted maps into the session folder; without one, into a
    // folder the user picks.
    void SaveMaps1Click();
    void ResetFuelMapAdjustment1Click();
    void ResetIgntionmadadjustment1Click();

    // View commands.
    void SetView(TPlotView view, TPlotFormat format);
    void EZKButtonClick();
    void ToggleOverlay(TMapOverlay overlay);
    void SetOverlay(TMapOverlay overlay);
    // The drop-down button's own click: none, reference, adjustments,
    // updated, mean AFR, none ...
    void CycleOverlay();

    // Log files named on the command line: a new plot through the Log File
    // Options window.
    void OpenLogFilesAsNewPlot(QStringList files, TLogOptionsChoice choice = TLogOptionsChoice::Ask);
    // ---- Demo and project folders (MainDemo.cpp) ----
    // A project or session folder named on the command line opens as if
    // picked in the Project Manager. False when it is neither.
    bool OpenFolderFromCommandLine(const QString& folder);
    // With nothing to open and no recent file, asks once whether to open the
    // demo project, and opens it on yes.
    void OfferDemoProject();
    // ---- end of demo and project folders ----
    // Files a later start of the program handed over: the window comes
    // forward and they join the plot as "Open Log File (add to Plot)" adds.
    void TakeHandedOverFiles(QStringList files);

    // Reads one log, with a progress dialog when it takes long; a refused
    // header is shown in an error box.
    bool LoadLogFile(const QString& path);
    // False when the user chose to keep adjusted maps that could not be
    // written: the plot then stays as it is.
    bool ClosePlot();
    // The plot closed, then emptied of its maps, bin images and engine
    // setup, with a history of its own; false when the user kept the plot.
    bool StartNewPlot();

    void RefreshMainWindow();

    // ---- Data panels (MainPanels.cpp) ----
    // A sample the selection just marked comes into view: at the top of the
    // Data Log window, and in the log grid and the data graph while their
    // panels are shown.
    void BringSampleIntoView(std::size_t index);
    // The data graph's bar on the sample under the mouse; -1 erases it.
    void ShowHoverSampleInPanels(int index);
    // A click on a sample in a log grid or the data graph: the selection
    // changes by the click rules and the sample comes into view.
    void SampleClicked(int index, Qt::KeyboardModifiers modifiers, TSampleClickSource source);
    // "Data &Log" and "Data &Graph" with their buttons show or hide the panels.
    void DataLog1Click();
    void DataGraph1Click();
    // "&Log Data": the Data Log window, made on first use.
    void LogData1Click();
    bool LogPanelShown() const;
    bool GraphPanelShown() const;
    TLogGrid* LogGrid() const { return FLogGrid; }
    TDataGraph* DataGraph() const { return FDataGraph; }
    TLogDataForm* LogDataForm() const { return FLogDataForm; }
    QAction* DataLog1() const { return FDataLog1; }
    QAction* DataGraph1() const { return FDataGraph1; }
    QAction* DataLogButton() const { return FDataLogButton; }
    QAction* DataGraphButton() const { return FDataGraphButton; }
    QSplitter* PanelSplitter() const { return FPanelSplitter; }
    // ---- end of data panels ----
    // ---- The plot under the mouse and the keyboard (MainPlotMouse.cpp)
    // The cursor buttons: cells or single samples.
    void SetCellCursor(bool cellCursor);
    void CopyLogData1Click();
    void SaveLogData1Click();
    // The tool-tip text of the last mouse move over the plot.
    const QString& HoverText() const { return FHoverText; }
    const THover& Hover() const { return FHover; }
    // ---- Map adjustment (MainAdjust.cpp) ----
    // "&Adjust Fuel Map", "Adjust &Ignition Map" and the Adjust button: the
    // adjustment windows, made on first use.
    void UpdateFuelTrim1Click();
    void UpdateIgnitionTiming1Click();
    void AdjustMapsButtonClick();
    // True while the ignition passes run: the commands that would change the
    // plot or the maps under them are refused until the passes end.
    bool MapWorkRunning() const;
    QAction* UpdateFuelTrim1() const { return FUpdateFuelTrim1; }
    QAction* UpdateIgnitionTiming1() const { return FUpdateIgnitionTiming1; }
    QAction* AdjustMapsButton() const { return FAdjustMapsButton; }
    TLHAdjustForm* LHAdjustForm() const { return FLHAdjustForm; }
    TEZKAdjustForm* EZKAdjustForm() const { return FEZKAdjustForm; }
    TPrompts& Prompts() const { return FDocument->Prompts(); }
    // ---- end of map adjustment ----

    // ---- Projects (MainProjects.cpp) ----
    // "&Open Project  (Ctrl+O)": the project window, made on first use.
    void OpenProject1Click();
    TProjectForm* ProjectForm() const { return FProjectForm; }
    QAction* OpenProject1() const { return FOpenProject1; }
    // The project window's choice: applied by user message 1, unless it is
    // the one applied last.
    void HandOverSelection(const TPendingSelection& selection);
    // The worker watching the session folder; nothing before it is first needed.
    TFolderThread* FolderWorker() const { return FFolderWorker.get(); }
    // ---- end of projects ----

    // ---- Map windows and undo (MainMapWindows.cpp) ----
    void Undo1Click();
    void Redo1Click();
    QAction* Undo1() const { return FUndo1; }
    QAction* Redo1() const { return FRedo1; }
    const TMapHistory& MapHistory() const { return FDocument->History(); }
    // "LH Fuel Map" / "EZK Igntion Map" and the Map button: the view's map
    // window; "Map 3D View" and the 3D button: the viewer.
    void MapsWindow1Click();
    void Map3DView1Click();
    // The fuel map window on its "Target AFR" page (the ignition window closes).
    void ShowTargetAfrMap();
    QAction* Map3DView1() const { return FMap3DView1; }
    QAction* MapButton() const { return FMapButton; }
    QAction* Map3DButton() const { return FMap3DButton; }
    TFuelMapForm* FuelMapForm() const { return FFuelMapForm; }
    TEZKMapForm* EZKMapForm() const { return FEZKMapForm; }
    TMapViewerForm* MapViewerForm() const { return FMapViewerForm; }
    // ---- end of map windows and undo ----

    // ---- Updates and device status (MainUpdates.cpp) ----
    // "Check for &Updates": the update window, made on first use, shown modally.
    void CheckForUpdates1Click();
    // "VX Status": the device status window, made on first use.
    void VXStatus1Click();
    TUpdaterForm* UpdaterForm() const { return FUpdaterForm; }
    TVXStatusForm* VXStatusForm() const { return FVXStatusForm; }
    // The updates the last check left for a restart to finish.
    int UpdatesPending() const;
    // ---- end of updates and device status ----

    // ---- Options and colours (MainOptions.cpp) ----
    // "&Options" and the Opt button (which turns it to its first page): the
    // Options window, made on first use and destroyed when closed.
    void Options1Click();
    void DisplaySettingsButtonClick();
    // The Color Adjustment window, made on first use and kept; shown modally.
    void ShowColorForm();
    TColorForm& ColorForm();
    TOptionsForm* OptionsForm() const { return FOptionsForm; }
    QAction* Options1() const { return FOptions1; }
    QAction* DisplaySettingsButton() const { return FDisplaySettingsButton; }
    // The active colour scale; a change of it arrives as TChange::Colors.
    TColorScale& ColorScale() { return FDocument->ColorScale(); }
    const TWindowSettings& WindowSettings() const { return FDocument->Windows(); }
    // ---- end of options and colours ----

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Sees the window's keys before its controls do.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void customEvent(QEvent* event) override;

  private:
    void CreateMenus();
    void CreateFileMenu();
    void CreateEditMenu();
    void CreateViewMenu();
    void CreateWindowMenu();
    void CreateHelpMenu();
    void CreateStatusBar();
    void CreateToolBar();
    void CreateOverlayDropDown();
    // The buttons follow the view, the printed values and the open windows.
    void UpdateToolbar();
    void RedrawOverlay();
    void ShowComposedPlot();
    void MainImageMouseDown(QPoint position, Qt::MouseButton button, Qt::KeyboardModifiers keys);
    void MainImageMouseMove(QPoint position, Qt::MouseButtons buttons);
    void MainImageMouseUp(QPoint position, Qt::MouseButton button);
    void MainImageMouseLeft();
    void PlotWheel(QPoint position, int angleDelta, Qt::KeyboardModifiers keys);
    bool OverAfrScale(QPoint position) const;
    enum class TPlotPlace { Outside, Plot, LeftMargin, TopMargin };
    TPlotPlace PlotPlaceOf(QPoint position) const;
    // Cursor values, hovered cell and sample for a position inside the plot.
    void UpdatePointer(QPoint position);
    // The load under the mouse in the view's own terms.
    double ViewLoad() const;
    void CellCursorClick(Qt::KeyboardModifiers keys);
    void PointCursorClick(Qt::KeyboardModifiers keys);
    void SelectCellRectangle(TCell from, TCell to);
    // Status panels 1 and 2 and the plot's tool-tip.
    void ShowPointerTexts(QPoint position);
    void ShowSelectionStatus();
    void RescalePlot(const TPlotRanges& ranges);
    void RedrawSelection();
    void ShowCursorLayer();
    bool PlotKey(const QKeyEvent& event);
    void SelectAllCells();
    bool StepFuelFactors(double delta);
    bool StepPointSelection(int direction, bool extend);
    void EscapeKey();
    // Brings the last sample a selection marked into view in the panels.
    void NotifySelected(std::optional<std::size_t> lastMarked);
    // True when the log grid or the data graph has the keyboard.
    bool PanelHasFocus() const;
    // A legend position read from the settings counts from the right or
    // bottom edge when it lies beyond the middle of the plot.
    void PlaceAfrScale();
    void PlaceOnScreen();
    void LoadStartSettings();
    void StartupCheck();
    // The status bar tells a second copy that its settings are not saved.
    void ShowSecondCopyNotice();

    void EditMenuOpening();
    void RecentFilesOpening();
    void CloseLogFileOpening();
    // Shows the engine setup, and says in the status bar what changed in it.
    void UpdateSetupPanel();
    void WindowMenuOpening();
    void ViewMenuOpening();
    void ToggleViewOption(QAction* item, bool& flag, TChange change);

    // Shows one error box per map file that could not be written.
    void ReportMapSave(const struct TMapSaveResult& result);
    // At plot close: the question about adjusted maps, then the base maps.
    bool SavePromptAndBaseMaps();

    // The Log File Options window for the files, then the files opened.
    void ReadWithLogFileOptions(QStringList files, TLogOpen open,
                                TLogOptionsChoice choice = TLogOptionsChoice::Ask);
    // Opens logs into the plot; refused files are shown in error boxes.
    bool OpenLogs(const QStringList& files, const TOpenLogsOptions& options);
    // Error boxes for refused logs, and the status line for skipped lines.
    void ReportReadLogs(const std::vector<std::pair<std::filesystem::path, TLoadLogResult>>& files);
    // Caption and file count follow the open files.
    void UpdateCaptionAndStatus();
    using TMapFileCommand =
        std::function<TMapLoadResult(TKelvaneState&, const std::filesystem::path&, TBinMapChooser&)>;
    std::optional<TFileChoice> AskMapFile(const QString& caption);
    void RunMapFileCommand(const TMapFileCommand& command, const QString& caption);
    // The error box of a map command, then its changes, with the axes set up again.
    void ApplyMapResult(const TMapLoadResult& result);
    void FinishMapCommand(const TMapLoadResult& result, const QString& path, int filterIndex);
    void ShowManual();
    void ShowAbout();
    void SelectBusiestCells();
    void RunFuelAdjustmentForPicture();

    // Paints the plot; the plot layers take this over.
    void DrawPlot();
    QImage RenderMainImage(QSize size);

    // The plot's changes reach the window: repainted as far as they reach.
    void DocumentChanged(TChangeSet changes);

    TProgramValues FProgram;
    TDebugLog FLog;
    // The real dialogs, unless the prompts are scripted.
    std::unique_ptr<TPrompts> FOwnPrompts;
    std::unique_ptr<TKelvaneDocument> FDocument;
    TPlotLayers FLayers;
    std::optional<TPlotGeometry> FGeometry;
    // What the last press started, and where the mouse is over the plot.
    enum class TPress { None, AfrScale, LeftMargin, TopMargin, Plot };
    struct TPointer {
        TPress Press = TPress::None;
        QPoint PressPoint;
        TPlotRanges PressRanges;
        TRangeLimits Limits;
        QPoint LastMove{-1, -1};
        Qt::MouseButtons LastButtons;
        double Rpm = 0, LhLoad = 0, EzkLoad = 0;
    };
    TPointer FPointer;
    THover FHover;
    // Corner of rectangle selections; reset with the sample list.
    std::optional<TCell> FAnchorCell;
    std::optional<TCell> FTextCell;  // the cell whose statistics the tool-tip shows
    QString FHoverText;
    QPoint FDragOffset;
    bool FStartupWindowWanted = true;
    bool FShownOnce = false;
    bool FCreated = false;
    bool FClosing = false;
    TStartupForm* FStartupForm = nullptr;
    QTimer* FTimer = nullptr;

    TMainImage* FPlotArea = nullptr;
    std::array<QLabel*, 3> FStatusPanels{};
    QLabel* FSetupPanel = nullptr;
    std::optional<TEngineSetup> FShownSetup;  // what the setup panel shows
    QMenu* FCloseLogFile1 = nullptr;
    QAction* FExit1 = nullptr;
    QAction* FOpenNewPlot1 = nullptr;
    QAction* FOpenAddToPlot1 = nullptr;
    QAction* FNewPlot1 = nullptr;
    QAction* FSaveLogData1 = nullptr;
    QAction* FCopyLogData1 = nullptr;
    QMenu* FRecentFiles1 = nullptr;
    std::array<QAction*, 6> FRecentItems{};
    QAction* FLoadMapFile1 = nullptr;
    QAction* FCompareMapFile1 = nullptr;
    QMenu* FEditMenu = nullptr;
    QAction* FCopyUpdatedMap1 = nullptr;
    QAction* FPasteMap1 = nullptr;
    QMenu* FWindowMenu = nullptr;
    QAction* FVXStatus1 = nullptr;
    QAction* FMapsWindow1 = nullptr;
    QAction* FSaveMaps1 = nullptr;
    QAction* FSavePlotImage1 = nullptr;
    QAction* FResetFuelMapAdjustment1 = nullptr;
    QAction* FResetIgntionmadadjustment1 = nullptr;
    QMenu* FViewMenu = nullptr;
    QAction* FLHFormat1 = nullptr;
    QAction* FEZKFormat1 = nullptr;
    QAction* FGridFormat1 = nullptr;
    QAction* FCellFormat1 = nullptr;
    QAction* FShowReferenceMap1 = nullptr;
    QAction* FShowAdjustments1 = nullptr;
    QAction* FShowUpdatedMap1 = nullptr;
    QAction* FUseAdjustments1 = nullptr;
    QAction* FShowKnocks1 = nullptr;
    QAction* FAFRScale1 = nullptr;
    QAction* FDataLog1 = nullptr;
    QAction* FDataGraph1 = nullptr;

    QToolBar* FToolBar = nullptr;
    QAction* FCellCursorButton = nullptr;
    QAction* FPointCursorButton = nullptr;
    QAction* FLHButton = nullptr;
    QAction* FEZKButton = nullptr;
    QAction* FShowRefButton = nullptr;
    QAction* FShowAdjButton = nullptr;
    QAction* FShowUpdButton = nullptr;
    QToolButton* FOverlayDropDown = nullptr;
    QMenu* FOverlayMenu = nullptr;
    QAction* FMapButton = nullptr;
    QAction* FMap3DButton = nullptr;
    QAction* FAdjustMapsButton = nullptr;
    QAction* FDisplaySettingsButton = nullptr;
    QAction* FDataLogButton = nullptr;
    QAction* FDataGraphButton = nullptr;

    // ---- Map adjustment (MainAdjust.cpp) ----
    void CreateAdjustCommands();
    // Says in the status bar why a command is refused while the ignition
    // passes run; false when nothing runs.
    bool RefuseDuringMapWork();
    // Where adjusted maps are saved: the session folder, or a folder the
    // user picks; nothing when the choice was cancelled.
    std::optional<std::filesystem::path> MapSaveFolder();
    // Places a tool window from its stored "Window Size" text.
    void PlaceToolWindow(QWidget* window, const std::optional<TWindowSize>& placement,
                         std::string_view section);
    void LHAdjustFormClosing(const TLHAdjustValues& values);
    void EZKAdjustFormClosing(const TEZKAdjustValues& values);
    void CloseAdjustForms();

    TLHAdjustForm* FLHAdjustForm = nullptr;
    TEZKAdjustForm* FEZKAdjustForm = nullptr;
    QAction* FUpdateFuelTrim1 = nullptr;
    QAction* FUpdateIgnitionTiming1 = nullptr;
    // ---- end of map adjustment ----
    // ---- Projects (MainProjects.cpp) ----
    // User messages 1 and 3, and the worker's lost folder: true when handled.
    bool ProjectEvent(QEvent* event);
    // User message 1: the pending selection applied.
    void ApplyPendingSelection();
    // User message 3: the logs the worker queued.
    void ReadNewLogFiles();
    void SessionFolderLost();
    // The plot was closed: the worker watches nothing, and the project
    // window's next choice is applied whatever it holds.
    void SessionPlotClosed();
    // At exit, and before the window goes.
    void StopFolderWorker();
    void CloseProjectForm();
    void ProjectFormClosing(TWindowSize placement);
    TFolderThread& Worker();
    // Messages wait while a dialog or a log read holds the event loop.
    bool DeferWhileBusy(void (TMainForm::*handler)());

    TFolderThreadOptions FFolderWorkerOptions;
    std::unique_ptr<TFolderThread> FFolderWorker;
    TProjectForm* FProjectForm = nullptr;
    TSelectionHandOver FHandOver;
    bool FApplyingSelection = false;
    QAction* FOpenProject1 = nullptr;
    // ---- end of projects ----

    // ---- Data panels (MainPanels.cpp) ----
    // The plot with the graph panel under it, and the log panel at the right.
    void CreateDataPanels();
    void ShowLogPanel(bool shown);
    void ShowGraphPanel(bool shown);
    // The menu checks and the buttons follow the panels.
    void UpdatePanelChecks();
    void PanelsStateChanged(TChangeSet changes);
    // The log panel's width once its columns are sized.
    void FitLogPanel();
    void PanelSplitterMoved();
    void ClearSelectionFromGrid();
    void CloseLogDataForm();
    void LogDataFormClosing(TWindowSize placement, bool stayOnTop);

    QSplitter* FPanelSplitter = nullptr;  // plot and graph | log panel
    QSplitter* FPlotSplitter = nullptr;   // plot over graph
    TLogGrid* FLogGrid = nullptr;
    TDataGraph* FDataGraph = nullptr;
    TLogDataForm* FLogDataForm = nullptr;
    TSampleClicks FSampleClicks;
    // ---- end of data panels ----

    // ---- Map windows and undo (MainMapWindows.cpp) ----
    // The Edit menu's Undo and Redo, the Window menu's map items and the
    // Map and 3D buttons; the history starts from the maps as they are.
    void CreateMapWindowItems();
    // The fuel (LH) or ignition (EZK) map window, made if needed and shown.
    void ShowMapForm(TPlotView view);
    void UpdateUndoItems();
    bool MapWindowShown() const;
    void MapWindowClosing(TWindowSize placement, bool stayOnTop);
    void MapViewerClosing(TWindowSize placement, bool stayOnTop);
    void CloseMapWindows();
    void DeleteMapWindows();

    QAction* FUndo1 = nullptr;
    QAction* FRedo1 = nullptr;
    QAction* FMap3DView1 = nullptr;
    TFuelMapForm* FFuelMapForm = nullptr;
    TEZKMapForm* FEZKMapForm = nullptr;
    TMapViewerForm* FMapViewerForm = nullptr;
    // ---- end of map windows and undo ----

    // ---- Options and colours (MainOptions.cpp) ----
    void CreateOptionsItems();
    void ShowOptionsForm(bool firstPage);
    void OptionsFormClosing(TWindowSize placement, int page, bool saveAsDefaults);
    void ColorFormClosing(TWindowSize placement, bool rgbMode);
    // A change of the colour scale alone: the points layer is coloured again
    // from the means its last drawing kept, without gathering the samples.
    void RecolourPlot();
    void CloseOptionsForm();
    void DeleteOptionsWindows();
    TOptionsForm* FOptionsForm = nullptr;
    TColorForm* FColorForm = nullptr;
    QAction* FOptions1 = nullptr;
    // ---- end of options and colours ----

    // ---- Updates and device status (MainUpdates.cpp) ----
    // The updater program finishes the update; this window closes for it.
    void RestartForUpdate();
    void DeleteShellWindows();
    TUpdaterForm* FUpdaterForm = nullptr;
    TVXStatusForm* FVXStatusForm = nullptr;
    // ---- end of updates and device status ----
};

}  // namespace kelvane
