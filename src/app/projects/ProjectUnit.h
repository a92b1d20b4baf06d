#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "core/ground/SettingsValues.h"
#include "core/maps/BinEZKImage.h"
#include "core/maps/BinLHImage.h"
#include "core/projects/MapBoxes.h"
#include "core/projects/PendingSelection.h"
#include "core/shell/Settings.h"
#include "core/state/StateChange.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace kelvane {

class TKelvaneDocument;

// "Project Manager": picks the project folder and a session, the logs to
// plot, the session's starting and updated maps and the car's setup, and
// hands every change to the main window as one selection. Made once, hidden
// when closed.
class TProjectForm : public QWidget {
    Q_OBJECT

  public:
    explicit TProjectForm(TKelvaneDocument& document, QWidget* parent = nullptr);

    // The Open command: placed, filled from the main window's project and
    // session, shown, and the selection handed over.
    void ShowProject(const std::optional<TWindowSize>& placement);
    // The folder worker saw new or changed logs: the session is loaded again
    // (logs that appeared since are ticked) and handed over.
    void NewFilesSeen();

    // Commands of the buttons.
    void BrowseClick();
    void NewSessionClick();
    void PasteClick();
    // Fills the session list of the project and, once shown, loads the
    // session (or the last one).
    void SelectProject(const std::filesystem::path& folder, const std::string& sessionName);
    // Fills the controls from the session folder and its settings file.
    void LoadSession();

    std::filesystem::path ProjectFolder() const { return FProjectFolder; }
    std::filesystem::path SessionFolder() const;
    TWindowSize Placement() const;

    QLineEdit* ProjectFolderEdit() const { return FProjectFolderEdit; }
    QPushButton* BrowseButton() const { return FBrowseButton; }
    QComboBox* SessionList() const { return FSessionList; }
    QPushButton* NewButton() const { return FNewButton; }
    QListWidget* FileList() const { return FFileList; }
    QCheckBox* SelectAllBox() const { return FSelectAll; }
    QComboBox* MapBox(TMapBox box) const { return FMapBoxes[MapBoxIndex(box)]; }
    QPushButton* PasteButton() const { return FPasteButton; }
    QPushButton* CopyButton() const { return FCopyButton; }
    QCheckBox* IncludeAdjustmentsBox() const { return FIncludeAdjustments; }
    QRadioButton* LH23Button() const { return FLH23; }
    QRadioButton* LH22Button() const { return FLH22; }
    QRadioButton* S4Button() const { return FS4; }
    QRadioButton* GTButton() const { return FGT; }
    QRadioButton* MafButton() const { return FMaf; }
    QRadioButton* HexaMafButton() const { return FHexaMaf; }
    QRadioButton* AlphaButton() const { return FAlpha; }
    QRadioButton* MapButton() const { return FMap; }
    QRadioButton* LHCatButton() const { return FLHCat; }
    QRadioButton* LHNoCatButton() const { return FLHNoCat; }
    QRadioButton* PrimaryLoadMapButton() const { return FPrimaryLoadMap; }
    QRadioButton* EZKCatButton() const { return FEZKCat; }
    QRadioButton* EZKNoCatButton() const { return FEZKNoCat; }
    QRadioButton* LowOctaneButton() const { return FLowOctane; }
    QLabel* WarningPicture() const { return FWarningPicture; }
    QLabel* WarningText() const { return FWarningText; }
    QPushButton* CloseButton() const { return FCloseButton; }

    void StateChanged(TChangeSet changes);

  signals:
    // The window is closing: its placement, to be stored.
    void Closing(kelvane::TWindowSize placement);
    // The user picked a session (and its logs, maps and setup) to plot.
    void SelectionChosen(const kelvane::TPendingSelection& selection);
    // The engine setup was changed here: the axes are set up again.
    void EngineSetupChanged();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    // The project settings choices follow the main window's engine setup.
    void ShowEngineSetup();
    void FillSessionList(const std::string& selectName);
    void FillMapBoxes(const std::filesystem::path& sessionFolder);
    void LHMapBoxChanged();
    void EZKMapBoxChanged();
    void ShowWarnings();
    // A version or configuration choice clicked: written to the project file
    // and taken by the main window at once.
    void SetupChoiceClicked();
    void MapInUseClicked();
    void FileTicked(QListWidgetItem* item);
    void SelectAllClicked(bool checked);
    // "Cat" and "No Cat" of a group ask for a choice in yellow.
    void HighlightMapInUse(QRadioButton* cat, QRadioButton* noCat, bool ask);
    void HandOver();
    void WriteSessionSettings();
    TLHConfig ChosenLHConfig() const;
    QRadioButton* ConfigButton(TLHConfig config) const;
    // The "Map in use" choice a project file's code names; nothing for 0.
    QRadioButton* LHInUseButton(int code) const;
    QRadioButton* EZKInUseButton(int code) const;
    TLHMapSource LHMapInUse() const;
    TEZKMapSource EZKMapInUse() const;

    TKelvaneDocument& FDocument;
    // While above 0 no change is handed over: a compound change hands over
    // once at its end.
    int FBusy = 0;
    bool FLoading = false;
    bool FShown = false;
    bool FTicking = false;  // the ticks are being set, not clicked
    std::filesystem::path FProjectFolder;
    // The window's own handles on the settings files, so that browsing
    // never moves the main window's cached project file.
    TFolderSettingsFile FProjectFile;
    TFolderSettingsFile FSessionFile;
    // The bin images the starting map boxes name, for the warnings.
    std::unique_ptr<TLHbinFile> FLHImage;
    std::unique_ptr<TEZKbinFile> FEZKImage;
    // Logs listed before the worker's news: the others are new and ticked.
    std::optional<std::set<std::string>> FListedBefore;

    QLineEdit* FProjectFolderEdit = nullptr;
    QPushButton* FBrowseButton = nullptr;
    QComboBox* FSessionList = nullptr;
    QPushButton* FNewButton = nullptr;
    QListWidget* FFileList = nullptr;
    QCheckBox* FSelectAll = nullptr;
    std::array<QComboBox*, 4> FMapBoxes{};
    QPushButton* FPasteButton = nullptr;
    QPushButton* FCopyButton = nullptr;
    QCheckBox* FIncludeAdjustments = nullptr;
    QRadioButton* FLH23 = nullptr;
    QRadioButton* FLH22 = nullptr;
    QRadioButton* FS4 = nullptr;
    QRadioButton* FGT = nullptr;
    QRadioButton* FMaf = nullptr;
    QRadioButton* FHexaMaf = nullptr;
    QRadioButton* FAlpha = nullptr;
    QRadioButton* FMap = nullptr;
    QButtonGroup* FLHInUseGroup = nullptr;
    QRadioButton* FLHCat = nullptr;
    QRadioButton* FLHNoCat = nullptr;
    QRadioButton* FPrimaryLoadMap = nullptr;
    QButtonGroup* FEZKInUseGroup = nullptr;
    QRadioButton* FEZKCat = nullptr;
    QRadioButton* FEZKNoCat = nullptr;
    QRadioButton* FLowOctane = nullptr;
    QLabel* FWarningPicture = nullptr;
    QLabel* FWarningText = nullptr;
    QPushButton* FCloseButton = nullptr;
};

}  // namespace kelvane
