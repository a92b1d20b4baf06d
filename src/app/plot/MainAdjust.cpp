// The main window's side of map adjustment: the two adjustment windows, the
// commands refused while the ignition passes run, saving the updated maps,
// the save question at plot close and the base maps, and the reset commands.
#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include "app/adjust/EZKAdjustUnit.h"
#include "app/adjust/LHAdjustUnit.h"
#include "app/document/KelvaneDocument.h"
#include "app/document/Prompts.h"
#include "app/document/QtText.h"
#include "app/plot/MainUnit.h"
#include "core/adjust/UpdatedMaps.h"
#include "core/ground/WriteFailures.h"
#include "core/shell/StartupWindowRules.h"

namespace kelvane {

void TMainForm::CreateAdjustCommands() {
    FAdjustMapsButton->setEnabled(true);
    connect(FAdjustMapsButton, &QAction::triggered, this, &TMainForm::AdjustMapsButtonClick);
    // LH 2.2 has no ignition ECU to adjust.
    connect(FEditMenu, &QMenu::aboutToShow, this,
            [this] { FUpdateIgnitionTiming1->setEnabled(State().Setup().LHVersion != TLHVersion::LH22); });
}

bool TMainForm::MapWorkRunning() const {
    return FEZKAdjustForm && FEZKAdjustForm->PassesRunning();
}

bool TMainForm::RefuseDuringMapWork() {
    if (!MapWorkRunning()) return false;
    statusBar()->showMessage(
        QStringLiteral(
            "Not while the ignition map is being adjusted: wait for the passes to end, or Stop them"),
        10000);
    return true;
}

void TMainForm::PlaceToolWindow(QWidget* window, const std::optional<TWindowSize>& placement,
                                std::string_view section) {
    const QScreen* screen = this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // Where it was left in this run, else the stored text (one that is no
    // placement puts the window in the corner); nothing stored centres it.
    const std::string stored =
        placement ? FormatWindowSize(*placement) : ReadWindowSizeText(Store().Main(), section);
    window->adjustSize();
    const TWindowSize placed = MainWindowPlacement(stored, window->width(), window->height(),
                                                   {area.left(), area.top(), area.width(), area.height()});
    // The window keeps its own size; the stored one only keeps it on the screen.
    window->setGeometry(placed.Left, placed.Top, window->width(), window->height());
}

void TMainForm::UpdateFuelTrim1Click() {
    if (!FLHAdjustForm) {
        FLHAdjustForm = new TLHAdjustForm(*FDocument, FDocument->Windows(), this);
        FLHAdjustForm->setAttribute(Qt::WA_DeleteOnClose);
        connect(FLHAdjustForm, &QObject::destroyed, this, [this] { FLHAdjustForm = nullptr; });
        connect(FLHAdjustForm, &TLHAdjustForm::Closing, this, &TMainForm::LHAdjustFormClosing);
        connect(FLHAdjustForm, &TLHAdjustForm::ViewTargetMapRequested, this, &TMainForm::ShowTargetAfrMap);
        PlaceToolWindow(FLHAdjustForm, FDocument->Windows().LHAdjustWindow, LHAdjustSection);
    }
    FLHAdjustForm->show();
    FLHAdjustForm->raise();
    FLHAdjustForm->activateWindow();
}

void TMainForm::UpdateIgnitionTiming1Click() {
    if (State().Setup().LHVersion == TLHVersion::LH22) return;
    if (!FEZKAdjustForm) {
        FEZKAdjustForm = new TEZKAdjustForm(*FDocument, FDocument->Windows(), this);
        FEZKAdjustForm->setAttribute(Qt::WA_DeleteOnClose);
        connect(FEZKAdjustForm, &QObject::destroyed, this, [this] { FEZKAdjustForm = nullptr; });
        connect(FEZKAdjustForm, &TEZKAdjustForm::Closing, this, &TMainForm::EZKAdjustFormClosing);
        // A whole run of passes is one step to undo.
        connect(FEZKAdjustForm, &TEZKAdjustForm::PassesStarted, this,
                [this] { FDocument->BeginMapAction("Ignition Adjustment"); });
        connect(FEZKAdjustForm, &TEZKAdjustForm::PassesEnded, this, [this] { FDocument->EndMapAction(); });
        PlaceToolWindow(FEZKAdjustForm, FDocument->Windows().EZKAdjustWindow, EZKAdjustSection);
    }
    FEZKAdjustForm->show();
    FEZKAdjustForm->raise();
    FEZKAdjustForm->activateWindow();
}

void TMainForm::AdjustMapsButtonClick() {
    if (State().Display.View == TPlotView::LH)
        UpdateFuelTrim1Click();
    else
        UpdateIgnitionTiming1Click();
}

void TMainForm::LHAdjustFormClosing(const TLHAdjustValues& values) {
    FDocument->Windows().LHAdjustWindow = values.Placement;
    FDocument->Windows().LHAdjustTargetAfr = values.TargetAfr;
    FDocument->Windows().LHAdjustTargetMap = values.TargetMap;
    FDocument->WriteSettings([&](TIniFile2& main) {
        return WriteLHAdjustSettings(main, FDocument->Windows(), values.VertWidth, values.HorizWidth);
    });
}

void TMainForm::EZKAdjustFormClosing(const TEZKAdjustValues& values) {
    FDocument->Windows().EZKAdjustWindow = values.Placement;
    FDocument->Windows().EZKAdjustMaxCyls = values.MaxCyls;
    FDocument->Windows().EZKAdjustMaxRetard = values.MaxRetard;
    FDocument->WriteSettings(
        [&](TIniFile2& main) { return WriteEZKAdjustSettings(main, FDocument->Windows()); });
}

void TMainForm::CloseAdjustForms() {
    if (FLHAdjustForm) FLHAdjustForm->close();
    if (FEZKAdjustForm) FEZKAdjustForm->close();
}

// ---- Updated maps ----------------------------------------------------------

void TMainForm::ReportMapSave(const TMapSaveResult& result) {
    for (const std::string& error : result.Errors) Prompts().ShowError(FromStd(error));
}

std::optional<std::filesystem::path> TMainForm::MapSaveFolder() {
    const std::filesystem::path session = SessionFolder(State().Settings);
    if (!session.empty()) return session;
    // No session to save into: the user picks the folder rather than the
    // files landing wherever the working folder happens to be.
    const std::optional<QString> chosen = Prompts().BrowseFolder(QStringLiteral("Save Maps to Folder"),
                                                                 FromStd(FDocument->Layout().DefaultFolder));
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    return ToPath(*chosen);
}

void TMainForm::SaveMaps1Click() {
    if (RefuseDuringMapWork()) return;
    if (UpdatedMapsToSave(State())) {
        // Each flag is cleared only by its own successful write.
        if (const std::optional<std::filesystem::path> folder = MapSaveFolder())
            ReportMapSave(SaveUpdatedMaps(State(), *folder));
    }
    RefreshMainWindow();
}

bool TMainForm::SavePromptAndBaseMaps() {
    const std::string question = SavePromptText(State());
    if (!question.empty()) {
        switch (Prompts().AskYesNoCancel(FromStd(question))) {
            case TPromptAnswer::Cancel:
                return false;
            case TPromptAnswer::No:
                DiscardAdjustments(State());
                FDocument->Apply({TChange::FuelMaps, TChange::IgnitionMaps});
                break;
            case TPromptAnswer::Yes: {
                // The user wants these maps kept: without a folder to put them
                // in, or when they could not be written, the plot stays open.
                const std::optional<std::filesystem::path> folder = MapSaveFolder();
                if (!folder) return false;
                const TMapSaveResult saved = SaveUpdatedMaps(State(), *folder);
                ReportMapSave(saved);
                if (!saved.Ok()) return false;
                break;
            }
        }
    }
    const std::filesystem::path session = SessionFolder(State().Settings);
    if (!session.empty()) {
        // A base map written gives the reference its file: a change of the maps like any other.
        const TMapSnapshot before = SnapshotOf(State());
        ReportMapSave(SaveBaseMaps(State(), session));
        FDocument->Apply(MapDifferences(before, SnapshotOf(State())));
    }
    return true;
}

void TMainForm::ResetFuelMapAdjustment1Click() {
    if (RefuseDuringMapWork()) return;
    const TMapAction action(*FDocument, "Reset Fuel Map Adjustment");
    ResetFuelAdjustment(State());
    FDocument->Apply(TChange::FuelMaps);
}

void TMainForm::ResetIgntionmadadjustment1Click() {
    if (RefuseDuringMapWork()) return;
    const TMapAction action(*FDocument, "Reset Ignition Map Adjustment");
    if (ResetIgnitionAdjustment(State())) FDocument->Apply(TChange::IgnitionMaps);
}

}  // namespace kelvane
