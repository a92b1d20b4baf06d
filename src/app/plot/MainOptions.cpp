// The main window's Options and Color Adjustment windows, and the quick
// recolouring of the plot while the colour scale is edited.
#include <QAction>
#include <QMenu>

#include "app/display/ColorUnit.h"
#include "app/display/OptionsUnit.h"
#include "app/document/Prompts.h"
#include "app/plot/MainImage.h"
#include "app/plot/MainUnit.h"
#include "app/plot/SelectionLayers.h"
#include "core/ground/IniKeys.h"
#include "core/ground/WriteFailures.h"
#include "core/shell/SettingsWindows.h"

namespace kelvane {

void TMainForm::CreateOptionsItems() {
    for (QAction* action : FWindowMenu->actions())
        if (action->objectName() == QStringLiteral("Options1")) FOptions1 = action;
    if (FOptions1) {
        FOptions1->setEnabled(true);
        connect(FOptions1, &QAction::triggered, this, &TMainForm::Options1Click);
    }
    FDisplaySettingsButton->setEnabled(true);
    connect(FDisplaySettingsButton, &QAction::triggered, this, &TMainForm::DisplaySettingsButtonClick);
}

void TMainForm::Options1Click() {
    ShowOptionsForm(false);
}

void TMainForm::DisplaySettingsButtonClick() {
    ShowOptionsForm(true);
}

void TMainForm::ShowOptionsForm(bool firstPage) {
    if (!FOptionsForm) {
        FOptionsForm = new TOptionsForm(*FDocument, this);
        FOptionsForm->setAttribute(Qt::WA_DeleteOnClose);
        connect(FOptionsForm, &QObject::destroyed, this, [this] { FOptionsForm = nullptr; });
        connect(FOptionsForm, &TOptionsForm::Closing, this, &TMainForm::OptionsFormClosing);
        connect(FOptionsForm, &TOptionsForm::ColorsRequested, this, &TMainForm::ShowColorForm);
        FOptionsForm->ShowOptions();
        PlaceToolWindow(FOptionsForm, FDocument->Windows().OptionsWindow, OptionsWindowSection);
    }
    if (firstPage) FOptionsForm->Pages()->setCurrentIndex(TOptionsForm::DisplayPage);
    FOptionsForm->show();
    FOptionsForm->raise();
    FOptionsForm->activateWindow();
}

void TMainForm::OptionsFormClosing(TWindowSize placement, int page, bool saveAsDefaults) {
    FDocument->Windows().OptionsWindow = placement;
    FDocument->Windows().OptionsActiveTabIndex = page;
    FDocument->Windows().OptionsSetDefaultFilters = saveAsDefaults;
    FDocument->WriteSettings(
        [&](TIniFile2& main) { return WriteOptionsWindowSettings(main, FDocument->Windows()); });
}

TColorForm& TMainForm::ColorForm() {
    if (!FColorForm) {
        FColorForm = new TColorForm(*FDocument, this);
        connect(FColorForm, &TColorForm::Closing, this, &TMainForm::ColorFormClosing);
    }
    return *FColorForm;
}

void TMainForm::ShowColorForm() {
    ColorForm().Execute();
}

void TMainForm::ColorFormClosing(TWindowSize placement, bool rgbMode) {
    FDocument->Windows().ColorWindow = placement;
    FDocument->Windows().ColorWindowRgbMode = rgbMode;
    FDocument->WriteSettings(
        [&](TIniFile2& main) { return WriteColorWindowSettings(main, FDocument->Windows()); });
}

void TMainForm::RecolourPlot() {
    UpdateToolbar();
    if (!FCreated || FClosing) return;
    // Without a drawing of this size to colour again, the plot is drawn whole.
    if (!FGeometry || FPlotArea->RedrawPending() ||
        !RecolourPointsLayer(FLayers, FDocument->ColorScale().Table)) {
        DrawPlot();
        return;
    }
    DrawAfrScaleLayer(FLayers, *FGeometry, FDocument->ColorScale().Table, State().PlotDisplay);
    DrawSelectionLayer(FLayers, *FGeometry, State(), FDocument->ColorScale().Table);
    DrawCursorLayer(FLayers, *FGeometry, State(), FDocument->ColorScale().Table, FHover);
    ShowComposedPlot();
}

void TMainForm::CloseOptionsForm() {
    if (FOptionsForm) FOptionsForm->close();
    if (FColorForm && FColorForm->isVisible()) FColorForm->reject();
}

void TMainForm::DeleteOptionsWindows() {
    delete FOptionsForm;
    delete FColorForm;
    FColorForm = nullptr;
}

}  // namespace kelvane
