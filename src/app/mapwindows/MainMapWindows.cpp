// The main window's map windows and the undo history of the map sets.
#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "app/mapwindows/EZKMapUnit.h"
#include "app/mapwindows/FuelMapUnit.h"
#include "app/mapwindows/MapViewerUnit.h"
#include "app/plot/MainUnit.h"
#include "app/shell/Prompts.h"
#include "core/ground/IniKeys.h"
#include "core/ground/WriteFailures.h"
#include "core/shell/LogOpening.h"
#include "core/shell/SettingsWindows.h"

namespace kelvane {

namespace {

QAction* ActionNamed(QMenu* menu, const QString& name) {
    for (QAction* action : menu->actions())
        if (action->objectName() == name) return action;
    return nullptr;
}

}  // namespace

void TMainForm::CreateMapWindowItems() {
    // Undo and Redo head the Edit menu; their keys work in every window of the program.
    QAction* first = FEditMenu->actions().value(0);
    FUndo1 = new QAction(QStringLiteral("&Undo"), FEditMenu);
    FUndo1->setObjectName(QStringLiteral("Undo1"));
    FUndo1->setShortcut(QKeySequence::Undo);
    FUndo1->setShortcutContext(Qt::ApplicationShortcut);
    connect(FUndo1, &QAction::triggered, this, &TMainForm::Undo1Click);
    FRedo1 = new QAction(QStringLiteral("&Redo"), FEditMenu);
    FRedo1->setObjectName(QStringLiteral("Redo1"));
    FRedo1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    FRedo1->setShortcutContext(Qt::ApplicationShortcut);
    connect(FRedo1, &QAction::triggered, this, &TMainForm::Redo1Click);
    FEditMenu->insertAction(first, FUndo1);
    FEditMenu->insertAction(first, FRedo1);
    FEditMenu->insertSeparator(first);
    connect(FEditMenu, &QMenu::aboutToShow, this, &TMainForm::UpdateUndoItems);

    FMapsWindow1->setEnabled(true);
    connect(FMapsWindow1, &QAction::triggered, this, &TMainForm::MapsWindow1Click);
    FMap3DView1 = ActionNamed(FWindowMenu, QStringLiteral("Map3DView1"));
    if (FMap3DView1) {
        FMap3DView1->setEnabled(true);
        connect(FMap3DView1, &QAction::triggered, this, &TMainForm::Map3DView1Click);
    }
    FMapButton->setEnabled(true);
    connect(FMapButton, &QAction::triggered, this, [this] {
        if (FFuelMapForm)
            FFuelMapForm->close();
        else if (FEZKMapForm)
            FEZKMapForm->close();
        else
            MapsWindow1Click();
        RefreshMainWindow();
    });
    FMap3DButton->setEnabled(true);
    connect(FMap3DButton, &QAction::triggered, this, &TMainForm::Map3DView1Click);

    FMapHistory.Reset(FState);
    UpdateUndoItems();
}

// ---- Undo ---------------------------------------------------------------

void TMainForm::BeginMapAction(std::string name) {
    FMapHistory.Begin(FState, std::move(name));
    UpdateUndoItems();
}

void TMainForm::EndMapAction() {
    FMapHistory.End(FState);
    UpdateUndoItems();
}

void TMainForm::RecordMapHistory() {
    FMapHistory.Record(FState);
    UpdateUndoItems();
}

void TMainForm::UpdateUndoItems() {
    if (!FUndo1) return;
    const auto caption = [](const QString& verb, std::string_view name) {
        return name.empty() ? verb
                            : QStringLiteral("%1 %2").arg(
                                  verb, QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    };
    FUndo1->setEnabled(FMapHistory.CanUndo());
    FUndo1->setText(caption(QStringLiteral("&Undo"), FMapHistory.UndoName()));
    FRedo1->setEnabled(FMapHistory.CanRedo());
    FRedo1->setText(caption(QStringLiteral("&Redo"), FMapHistory.RedoName()));
}

void TMainForm::Undo1Click() {
    TChangeSet changes = FMapHistory.Undo(FState);
    // A reference from another source has other limits, and the plot its ranges.
    if (changes.Has(TChange::Axes)) changes |= SetUpAxes(FState);
    ApplyChanges(changes);
    UpdateUndoItems();
}

void TMainForm::Redo1Click() {
    TChangeSet changes = FMapHistory.Redo(FState);
    if (changes.Has(TChange::Axes)) changes |= SetUpAxes(FState);
    ApplyChanges(changes);
    UpdateUndoItems();
}

// ---- Map windows --------------------------------------------------------

bool TMainForm::MapWindowShown() const {
    return (FFuelMapForm && FFuelMapForm->isVisible()) || (FEZKMapForm && FEZKMapForm->isVisible());
}

void TMainForm::MapsWindow1Click() {
    ShowMapForm(FState.Display.View);
}

void TMainForm::ShowTargetAfrMap() {
    ShowMapForm(TPlotView::LH);
    if (FFuelMapForm) FFuelMapForm->SetTab(TFuelMapTab::TargetAfr);
}

void TMainForm::ShowMapForm(TPlotView view) {
    // One map window at a time: the other kind closes.
    TMapFormBase* form = nullptr;
    if (view == TPlotView::EZK) {
        if (FState.Setup().LHVersion == TLHVersion::LH22) return;
        if (FFuelMapForm) FFuelMapForm->close();
        if (!FEZKMapForm) {
            FEZKMapForm = new TEZKMapForm(*this, this);
            connect(FEZKMapForm, &QObject::destroyed, this, [this] {
                FEZKMapForm = nullptr;
                UpdateToolbar();
            });
            form = FEZKMapForm;
        }
    } else {
        if (FEZKMapForm) FEZKMapForm->close();
        if (!FFuelMapForm) {
            FFuelMapForm = new TFuelMapForm(*this, this);
            connect(FFuelMapForm, &QObject::destroyed, this, [this] {
                FFuelMapForm = nullptr;
                UpdateToolbar();
            });
            form = FFuelMapForm;
        }
    }
    if (form) {
        form->setAttribute(Qt::WA_DeleteOnClose);
        connect(this, &TMainForm::StateChanged, form, &TMapFormBase::StateChanged);
        connect(form, &TMapFormBase::Closing, this, &TMainForm::MapWindowClosing);
        form->ShowPlaced(ReadWindowSizeText(FStore->Main(), MapWindowSection),
                         FStore->Main().ReadBool(MapWindowSection, StayOnTopKey, true));
    } else {
        QWidget* shown =
            view == TPlotView::EZK ? static_cast<QWidget*>(FEZKMapForm) : static_cast<QWidget*>(FFuelMapForm);
        shown->show();
        shown->raise();
        shown->activateWindow();
    }
    UpdateToolbar();
}

void TMainForm::Map3DView1Click() {
    if (!FMapViewerForm) {
        FMapViewerForm = new TMapViewerForm(*this, this);
        FMapViewerForm->setAttribute(Qt::WA_DeleteOnClose);
        connect(FMapViewerForm, &QObject::destroyed, this, [this] { FMapViewerForm = nullptr; });
        connect(this, &TMainForm::StateChanged, FMapViewerForm, &TMapViewerForm::StateChanged);
        connect(FMapViewerForm, &TMapViewerForm::Closing, this, &TMainForm::MapViewerClosing);
        FMapViewerForm->ShowPlaced(ReadWindowSizeText(FStore->Main(), MapViewerWindowSection),
                                   FWindows.MapViewerViewAngle,
                                   FStore->Main().ReadBool(MapViewerWindowSection, StayOnTopKey, false));
        return;
    }
    FMapViewerForm->show();
    FMapViewerForm->raise();
    FMapViewerForm->activateWindow();
}

void TMainForm::MapWindowClosing(TWindowSize placement, bool stayOnTop) {
    FWindows.MapWindow = placement;
    FWindows.MapWindowStayOnTop = stayOnTop;
    if (FSecondCopy) return;
    TIniFile2& main = FStore->Main();
    if (!WriteWindowSize(main, MapWindowSection, placement) ||
        !main.WriteBool(MapWindowSection, StayOnTopKey, stayOnTop))
        FPrompts->ShowError(QString::fromStdString(WriteFailureText(main)));
}

void TMainForm::MapViewerClosing(TWindowSize placement, bool stayOnTop) {
    FWindows.MapViewerWindow = placement;
    FWindows.MapViewerStayOnTop = stayOnTop;
    if (FSecondCopy) return;
    TIniFile2& main = FStore->Main();
    if (!WriteWindowSize(main, MapViewerWindowSection, placement) ||
        !main.WriteBool(MapViewerWindowSection, StayOnTopKey, stayOnTop))
        FPrompts->ShowError(QString::fromStdString(WriteFailureText(main)));
}

void TMainForm::CloseMapWindows() {
    if (FFuelMapForm) FFuelMapForm->close();
    if (FEZKMapForm) FEZKMapForm->close();
    if (FMapViewerForm) FMapViewerForm->close();
}

void TMainForm::DeleteMapWindows() {
    // Gone with this window: they tell it nothing more.
    for (QWidget* form : {static_cast<QWidget*>(FFuelMapForm), static_cast<QWidget*>(FEZKMapForm),
                          static_cast<QWidget*>(FMapViewerForm)})
        if (form) form->disconnect(this);
    delete FFuelMapForm;
    delete FEZKMapForm;
    delete FMapViewerForm;
    FFuelMapForm = nullptr;
    FEZKMapForm = nullptr;
    FMapViewerForm = nullptr;
}

}  // namespace kelvane
