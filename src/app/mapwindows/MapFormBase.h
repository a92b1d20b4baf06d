#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/mapwindows/MapGridView.h"
#include "core/ground/SettingsValues.h"
#include "core/mapwindows/MapEditing.h"
#include "core/plot/DisplayOptions.h"
#include "core/state/StateChange.h"

class QCheckBox;
class QHBoxLayout;
class QKeyEvent;
class QPushButton;
class QTabWidget;

namespace kelvane {

class TKelvaneDocument;
struct TKelvaneState;

// What the fuel and the ignition map windows share: a page of tabs with one
// grid each, a bottom panel of buttons, one selection for all grids that
// follows the plot's cell selection and replaces it on a click, the inline
// edit box, the window keys, placement and "Stay on top". Every change goes
// to the main window as one named undo step; the grids repaint when the
// main window says the state changed.
class TMapFormBase : public QWidget {
    Q_OBJECT

  public:
    TMapFormBase(TKelvaneDocument& document, TPlotView view, QWidget* parent);

    // Placed from the stored "Window Size" (left and top only), first tab
    // active, "Stay on top" applied, shown.
    void ShowPlaced(std::string_view storedSize, bool stayOnTop);
    void StateChanged(TChangeSet changes);

    QTabWidget* Tabs() const { return FTabs; }
    TMapGridView* Grid(int tab) const { return FGrids.at(static_cast<std::size_t>(tab)); }
    TMapGridView* ActiveGrid() const;
    int ActiveTab() const;
    void SetActiveTab(int tab);
    QPushButton* CopyMapButton() const { return FCopyMap; }
    QPushButton* PasteMapButton() const { return FPasteMap; }
    QPushButton* StepButton(TMapStep step) const;
    QPushButton* CloseButton() const { return FClose; }
    QCheckBox* StayOnTopBox() const { return FStayOnTop; }
    TWindowSize Placement() const;

  signals:
    // The window is closing: its placement and "Stay on top", to be stored.
    void Closing(kelvane::TWindowSize placement, bool stayOnTop);

  protected:
    TKelvaneState& State() const;
    TKelvaneDocument& Document() const { return FDocument; }

    // Made by the window: a grid per tab, then the panel's buttons.
    void AddTab(const QString& caption);
    void AddCopyPaste(const QString& copyHint, const QString& pasteHint);
    QPushButton* AddButton(const QString& caption, const QString& hint, const QString& name);
    QCheckBox* AddCheckBox(const QString& caption, const QString& hint, const QString& name);
    void AddStepButtons(const std::vector<TMapStep>& order);
    void FinishPanel(const QString& stayOnTopCaption);

    virtual TGridCellLook CellLook(int tab, int column, int row) const = 0;
    // The buttons follow the active tab.
    virtual void TabShown() = 0;
    // Captions and tabs that follow the state.
    virtual void UpdateFromState() {}
    virtual bool ConcernsWindow(TChangeSet changes) const = 0;
    virtual TMapEditResult Step(TMapStep step) = 0;
    virtual TMapEditResult TypeValue(const QString& text) = 0;
    virtual TMapEditResult PasteCells(const std::string& text) = 0;
    virtual std::optional<std::string> CopyCells() const = 0;
    virtual TMapEditResult PasteMap(const std::string& text) = 0;
    virtual std::string CopyMap() const = 0;
    // The text F2 starts the edit box with; nothing where no typing is allowed.
    virtual std::optional<QString> EditText() const = 0;
    virtual bool MinusStartsEditing() const = 0;

    // Runs an edit as one named undo step, hands its changes to the main
    // window and shows its message.
    TMapEditResult RunEdit(const QString& action, const std::function<TMapEditResult()>& edit);
    QString ActiveTabCaption() const;
    void RepaintGrids();

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void GridSelectionMade(TMapGridView* grid);
    void SelectionFromPlot();
    void StartEditing(const QString& text, bool selectAll);
    void CommitEdit(const QString& text);
    void CopyToClipboard(const std::string& text);
    QString ClipboardText() const;
    void SetStayOnTop(bool stayOnTop);
    void PasteMapClick();

    TKelvaneDocument& FDocument;
    TPlotView FView;
    QTabWidget* FTabs = nullptr;
    std::vector<TMapGridView*> FGrids;
    QHBoxLayout* FPanel = nullptr;
    QPushButton* FCopyMap = nullptr;
    QPushButton* FPasteMap = nullptr;
    std::vector<std::pair<TMapStep, QPushButton*>> FStepButtons;
    QPushButton* FClose = nullptr;
    QCheckBox* FStayOnTop = nullptr;
    bool FSyncing = false;              // the window is handing its selection to the plot
    std::optional<QString> FShownText;  // what F2 put into the edit box
};

}  // namespace kelvane
